// xboard protocol through the polyglot adapter, as xboard and WinBoard run the engine: every move
// Quoril plays must come back as a legal xboard move.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "engine_pipe.h"
#include "board/legal.h"
#include "support.h"

namespace {

std::string find_polyglot() {
    for (const char* path : {"/usr/games/polyglot", "/usr/bin/polyglot", "/usr/local/bin/polyglot"})
        if (std::filesystem::exists(path)) return path;
    return "";
}

// Plays a legal move drawn from rng and returns it as "usermove X".
std::string play_any(GameLine& game, std::mt19937& rng) {
    Move moves[MAX_MOVES];
    const int n = generate_legal_moves(game.now(), moves);
    const std::string text = n ? move_str(moves[rng() % unsigned(n)]) : "";
    game.play(text);
    return "usermove " + text;
}

// Reads the adapter's next "move X" and plays X on the game.
testing::AssertionResult engine_replied_legally(EnginePipe& pg, GameLine& game) {
    const std::vector<std::string> lines = engine_read_until(pg, "move ", 20000);
    const std::string last = lines.empty() ? "" : lines.back();
    if (last.rfind("move ", 0) != 0)
        return testing::AssertionFailure() << "no move from the engine; last line: " << last;
    if (!game.play(last.substr(5)))
        return testing::AssertionFailure() << "illegal " << last << " in " << fen_of(game.now());
    return testing::AssertionSuccess();
}

TEST(Xboard, PolyglotPlaysSetboardAndQuits) {
    // The adapter is a Linux program of the build machine, and it starts the engine itself: an
    // emulated target's engine would need binfmt_misc, a Windows one Wine.
    if (emulated_target()) GTEST_SKIP() << "the polyglot adapter cannot start this target's engine: xboard test skipped";
    const std::string polyglot = find_polyglot();
    if (polyglot.empty())
        GTEST_SKIP() << "polyglot is not installed (apt-get install -y polyglot): xboard test skipped";
    // The adapter and the engine run in a folder of the build tree, where nothing else is written.
    const std::filesystem::path dir = std::filesystem::current_path() / "xboard";
    std::filesystem::create_directories(dir);
    const std::string ini = (dir / "quoril.ini").string();
    std::ofstream(ini) << "[PolyGlot]\nEngineCommand = " << QUORIL_BINARY << "\nEngineDir = " << dir.string()
                       << "\nBook = false\nLog = false\n[Engine]\nHash = 16\n";

    EnginePipe pg;
    ASSERT_TRUE(process_start(pg, polyglot.c_str(), {ini}));
    // The name shown by the GUI is the engine's own UCI id, passed on by the adapter.
    const std::vector<std::string> features = send_and_read(pg, "xboard\nprotover 2", "feature done=1");
    EXPECT_TRUE(found_line(features, "feature myname=\"Quoril ")) << "adapter did not start the engine";
    ASSERT_TRUE(found_line(features, "feature done=1"));

    // Engine white from the start (Black's moves over UCI are in the protocol tests).
    GameLine game(START_FEN);
    std::mt19937 rng(7);
    engine_send(pg, "new\nsd 3\ngo");
    for (int i = 0; i < 3; i++) {
        ASSERT_TRUE(engine_replied_legally(pg, game));
        engine_send(pg, play_any(game, rng));
    }
    ASSERT_TRUE(engine_replied_legally(pg, game));

    // A position sent with setboard; the promotion comes back with its piece letter.
    engine_send(pg, "force\nsetboard 8/P7/8/8/8/8/k7/4K3 w - - 0 1\ngo");
    EXPECT_TRUE(found_line(engine_read_until(pg, "move "), "move a7a8q"));

    engine_send(pg, "quit");
    EXPECT_EQ(engine_wait_exit(pg), 0);
}

}  // namespace

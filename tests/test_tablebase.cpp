// Syzygy tables: the root verdict against the independent fathom prober, the move played keeping
// it, the options, and broken table directories.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "board/makemove.h"
#include "engine_pipe.h"
#include "platform/file.h"
#include "board/legal.h"
#include "support.h"

namespace {

const std::string TABLES = QUORIL_TEST_DATA "/syzygy";

// What the fathom prober prints for fen, with its exit status.
std::pair<std::string, int> run_prober(const std::string& fen) {
    EnginePipe prober;
    int status = -1;
    if (process_start(prober, QUORIL_FATHOM, {"--path=" + TABLES, fen})) {
        process_close_input(prober);
        status = process_wait(prober, 60000);
    }
    return {prober.out_text + prober.err_text, status};
}

// The fathom prober's verdict for the side to move: 1 win, 0 draw (cursed wins and blessed losses
// too), -1 loss; a failure showing what it printed when it gave none.
int fathom_outcome(const std::string& fen) {
    const auto [out, status] = run_prober(fen);
    const size_t at = out.find("[WDL \"");
    if (at == std::string::npos) {
        ADD_FAILURE() << "the prober gave no verdict for " << fen << " (exit status " << status << ")\n" << out;
        return 9;
    }
    const std::string wdl = out.substr(at + 6, out.find('"', at + 6) - at - 6);
    return wdl == "Win" ? 1 : (wdl == "Loss" ? -1 : 0);
}

// The verdict for the side to move after the game has reached pos (mates and bare kings need no table).
int outcome_after(const Position& pos) {
    Move moves[256];
    if (generate_legal_moves(pos, moves) == 0) return side_in_check(pos, side_to_move(pos)) ? -1 : 0;
    if (popcount(occupied(pos)) == 2) return 0;
    return fathom_outcome(fen_of(pos) + " 0 1");
}

// A random legal position of three or four pieces with some moves.
std::string random_ending(std::mt19937_64& rng, bool white_to_move) {
    static const char extras[] = "QRBNPqrbnp";
    for (;;) {
        std::string pieces(1 + rng() % 2, ' ');
        for (char& c : pieces) c = extras[rng() % 10];
        const std::string fen = random_placement(pieces, rng, white_to_move);
        Position pos = from_fen(fen.c_str());
        Move moves[256];
        if (generate_legal_moves(pos, moves)) return fen;
    }
}

int engine_outcome(const std::vector<std::string>& lines) {
    const std::pair<const char*, int> verdicts[] = {{"win", 1}, {"draw", 0}, {"loss", -1}};
    for (const auto& [word, v] : verdicts)
        if (found_line(lines, std::string("info string tablebase ") + word)) return v;
    return 9;
}

}  // namespace

TEST(Tablebase, RootVerdictAgreesWithFathomAndThePlayedMoveKeepsIt) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    replies(e, "setoption name SyzygyPath value " + TABLES);
    std::mt19937_64 rng(20261206);
    int wins = 0, losses = 0;
    // Each position starts the prober twice: under an emulator, where a start takes a fifth of a
    // second, a quarter of them.
    const int COUNT = emulated_target() ? 60 : 240;
    for (int i = 0; i < COUNT; i++) {
        const std::string fen = random_ending(rng, i % 2 == 0);
        const auto lines = send_and_read(e, "position fen " + fen + "\ngo depth 1", "bestmove");
        const int expected = fathom_outcome(fen);
        EXPECT_EQ(engine_outcome(lines), expected) << fen;
        wins += expected == 1, losses += expected == -1;
        const Position pos = from_fen(fen.c_str());
        const Move m = legal_move(pos, bestmove_of(lines));
        ASSERT_NE(m, 0u) << fen;
        Position child;
        make_move(pos, child, m);
        child.in_check = side_in_check(child, side_to_move(child));
        EXPECT_EQ(outcome_after(child), -expected) << fen << " " << bestmove_of(lines);
    }
    EXPECT_GT(wins, COUNT / 10);
    EXPECT_GT(losses, COUNT / 20);
}

TEST(Tablebase, OptionsLimitsFiftyMoveRuleAndBrokenDirectories) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    // Without a path nothing is probed.
    const std::string kqk = "position fen 8/8/8/3k4/8/8/8/KQ6 w - - 0 1\ngo depth 6";
    auto lines = send_and_read(e, kqk, "bestmove");
    EXPECT_EQ(engine_outcome(lines), 9);
    EXPECT_TRUE(found_line(replies(e, "setoption name SyzygyPath value " + TABLES),
                           "info string Syzygy tables found: largest 4 pieces"));
    lines = send_and_read(e, kqk, "bestmove");
    EXPECT_EQ(engine_outcome(lines), 1);
    EXPECT_TRUE(any_line_has(lines, " score cp 309"));
    // A win the clock cannot reach is a draw under the rule, a win without it.
    const std::string late = "position fen 8/8/8/3k4/8/8/8/KQ6 w - - 98 80\ngo depth 1";
    EXPECT_EQ(engine_outcome(send_and_read(e, late, "bestmove")), 0);
    replies(e, "setoption name Syzygy50MoveRule value false");
    EXPECT_EQ(engine_outcome(send_and_read(e, late, "bestmove")), 1);
    // The probe limit below the position's piece count switches the tables off for it.
    replies(e, "setoption name SyzygyProbeLimit value 2");
    EXPECT_EQ(engine_outcome(send_and_read(e, kqk, "bestmove")), 9);
    replies(e, "setoption name SyzygyProbeLimit value 7");
    // Captures into the tables are probed in the search and counted.
    lines = send_and_read(e, "position fen 8/8/3k4/8/3q4/8/3QK3/8 w - - 0 1\ngo depth 8", "bestmove");
    EXPECT_TRUE(any_line_has(lines, " tbhits ") && !any_line_has(lines, " tbhits 0 ")) << "Qxd4 is probed from depth 1";

    // Missing, empty and damaged table directories: the engine keeps answering with legal moves. The
    // directories' names hold spaces (and on Windows a drive letter and backslashes).
    const std::string empty_dir = make_temp_dir("quoril tb empty"), damaged_dir = make_temp_dir("quoril tb damaged");
    ASSERT_FALSE(empty_dir.empty() || damaged_dir.empty());
    namespace fs = std::filesystem;
    for (const auto& f : fs::directory_iterator(TABLES)) fs::copy_file(f.path(), fs::path(damaged_dir) / f.path().filename());
    fs::permissions(fs::path(damaged_dir) / "KQvKR.rtbw", fs::perms::owner_write, fs::perm_options::add);
    fs::permissions(fs::path(damaged_dir) / "KRvK.rtbz", fs::perms::owner_write, fs::perm_options::add);
    fs::resize_file(fs::path(damaged_dir) / "KQvKR.rtbw", 1000);
    fs::resize_file(fs::path(damaged_dir) / "KRvK.rtbz", 2000);
    const std::string list = std::string("/no/such") + PATH_LIST_SEPARATOR + empty_dir + PATH_LIST_SEPARATOR + damaged_dir;
    const std::string paths[] = {"/no/such/dir", empty_dir, damaged_dir, list};
    for (const std::string& path : paths) {
        const auto set = replies(e, "setoption name SyzygyPath value " + path);
        EXPECT_FALSE(found_line(set, "no readyok")) << path;
        EXPECT_EQ(found_line(set, "info string no Syzygy tables found"), path == paths[0] || path == paths[1]) << path;
        for (const std::string fen : {"8/8/8/8/8/2k5/8/KQ2r3 w - - 0 1", "8/8/8/8/8/2k5/8/KR6 w - - 0 1"}) {
            const auto lines = send_and_read(e, "position fen " + fen + "\ngo depth 6", "bestmove");
            EXPECT_NE(legal_move(from_fen(fen.c_str()), bestmove_of(lines)), 0u) << path << " " << fen;
        }
    }
    // Windows keeps files that a process has mapped: the engine ends before they are removed.
    engine_send(e, "quit");
    EXPECT_EQ(engine_wait_exit(e), 0) << e.err_text.substr(0, 4000);
    fs::remove_all(empty_dir);
    fs::remove_all(damaged_dir);
}

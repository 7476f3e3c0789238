// The UCI front end: command parsing in-process, then the real binary driven over pipes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "engine_pipe.h"
#include "shell/options.h"
#include "shell/session.h"
#include "shell/uci.h"
#include "support.h"

namespace {

using Lines = std::vector<std::string>;

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A command line split the way the command loop splits it.
struct Command {
    std::vector<char> text;
    std::vector<char*> words;
    explicit Command(const std::string& line) : text(line.begin(), line.end()), words(MAX_WORDS) {
        text.push_back(0);
        words.resize(size_t(split_words(text.data(), words.data(), MAX_WORDS)));
    }
};

GoRequest go_of(const std::string& line) {
    Command c(line);
    GoRequest go;
    parse_go(c.words.data(), int(c.words.size()), go);
    return go;
}

// Position commands on a session of each test's own.
class PositionCommand : public testing::Test {
protected:
    std::unique_ptr<Session> session{(init_engine_tables(), new_session())};
    Session& s = *session;

    // Runs a position command and returns what it printed.
    std::string position(const std::string& line) {
        Command c(line);
        testing::internal::CaptureStdout();
        set_position(s, c.words.data(), int(c.words.size()));
        return testing::internal::GetCapturedStdout();
    }
    std::string current_fen() { return fen_of(s.history[s.index]); }
};

// Knight moves out and back, four moves a cycle.
std::string shuffle_moves(int cycles) {
    std::string s;
    while (cycles-- > 0) s += " g1f3 g8f6 f3g1 f6g8";
    return s;
}

TEST(GoParsing, KeywordsSearchmovesAndBounds) {
    // Words are split at blanks, tabs and line ends.
    GoRequest go = go_of(
        "go wtime 60000\tbtime  1500 winc 250 binc 100 movestogo 12 movetime 2500 depth 7 "
        "nodes 123456789012 ponder \r infinite\r\n");
    EXPECT_EQ(std::vector<double>({go.time[WHITE], go.time[BLACK], go.inc[WHITE], go.inc[BLACK], go.movetime,
                                   double(go.movestogo), double(go.depth), double(go.nodes)}),
              std::vector<double>({60, 1.5, 0.25, 0.1, 2.5, 12, 7, 123456789012.0}));
    EXPECT_TRUE(go.nodes_given && go.ponder && go.infinite);
    // A keyword ends the move list; unknown words are skipped; bad numbers are clamped.
    EXPECT_STREQ(go_of("go searchmoves e2e4 d2d4 infinite h2h4 mate 3").searchmoves, "e2e4 d2d4 ");
    go = go_of("go nodes -5 movestogo 99999999999 depth");
    EXPECT_EQ(std::vector<int64_t>({int64_t(go.nodes), go.movestogo, go.depth}),
              std::vector<int64_t>({0, 2147483647, 0}));
    testing::internal::CaptureStderr();
    go = go_of("go searchmoves" + shuffle_moves(375));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("searchmoves list longer"), std::string::npos);
    const size_t len = strlen(go.searchmoves);
    EXPECT_LT(len, size_t(SEARCHMOVES_SIZE));
    EXPECT_EQ(len % 5, 0u);
}

TEST_F(PositionCommand, MovesArePlayedInOrder) {
    EXPECT_EQ(position("position startpos moves e2e4 e7e5"), "");
    EXPECT_TRUE(have_position(s));
    EXPECT_EQ(current_fen(), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -");
    EXPECT_EQ(s.history[2].prev, &s.history[1]);  // chained so that repetitions are seen
    EXPECT_EQ(position("position startpos moves" + shuffle_moves(511) + " g1f3 g8f6 f3g1"), "");
    EXPECT_EQ(s.index, GAME_HISTORY_SIZE - 1);
}

// A repaired FEN reads as the FEN written correctly (same key, same fields); the GUI is told once
// what was dropped, and a correct FEN prints nothing.
TEST_F(PositionCommand, RepairedFensMatchTheirCorrectForm) {
    for (const auto& [broken, correct, note] :
         {std::tuple{"4k3/8/8/8/8/8/8/4K2R w Kk - 0 1", "4k3/8/8/8/8/8/8/4K2R w K - 0 1", "castling k dropped"},
          {"r3k2r/8/8/8/8/8/8/R2K3R w KQkq - 3 9", "r3k2r/8/8/8/8/8/8/R2K3R w kq - 3 9", "castling K dropped"},
          {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e6 0 1",
           "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", "en passant e6 dropped"},
          {"rnbqkbnr/ppp1pppp/8/4P3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2",
           "rnbqkbnr/ppp1pppp/8/4P3/8/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", "en passant d6 dropped"},
          {"8/8/8/4k3/8/8/3QK3/8 w - - x 12", "8/8/8/4k3/8/8/3QK3/8 w - - 0 12", "half-move counter \"x\" read as 0"}}) {
        EXPECT_EQ(position(std::string("position fen ") + correct), "") << correct;
        const Position right = s.history[0];
        const std::string out = position(std::string("position fen ") + broken);
        EXPECT_EQ(out.rfind(std::string("info string FEN repaired: ") + note, 0), 0u) << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        const Position& read = s.history[0];
        EXPECT_EQ(std::tuple(read.key, read.ep_mask, read.last_move, read.rule50, read.ply, fen_of(read)),
                  std::tuple(right.key, right.ep_mask, right.last_move, right.rule50, right.ply, fen_of(right)))
            << broken;
        EXPECT_TRUE(have_position(s));
    }
    // A real double step without a capturer reads like the move itself: not keyed, not noted.
    position("position startpos moves e2e4");
    const uint64_t after_e4 = s.history[1].key;
    EXPECT_EQ(position("position fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"), "");
    EXPECT_EQ(s.history[0].key, after_e4);
}

// A command that is not a chess position, or whose move list has a move that is not legal where
// it stands, leaves the engine without a position (until a valid one), whatever came before.
TEST_F(PositionCommand, RefusedCommandsLeaveNoPosition) {
    for (const char* cmd :
         {"position fen 8/8/8/8/8/8/8/8 w - -", "position fen 4k3/8/8/8/8/8/8/P3K3 w - -",
          "position fen 4k3/8/8/8/8/8/8/4K2r b - -", "position fen 4k2k/8/8/8/8/8/8/4K3 w - -",
          "position fen 4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - -", "position fen 4k3/8/8/8/8/8/8/R3K3 w Kx -",
          "position fen 4k3/8/8/8/8/8/8/R3K4 w - -", "position fen 4k3/8/8/8/8/8/8/R3K3 - - -",
          "position fen 4k3/8/8/8/8/8/8/R3K3 w - i3", "position fen", "position", "position foo", "position Startpos",
          "position fen 8/8/8/8/8/8/8/K6k", "position fen 4k3/4r3/8/8/8/8/4B3/4K3 w - - moves e2d3",
          "position startpos moves e2e4 zz99 e7e5", "position startpos moves e2e4 e2e4", "position startpos moves e7e5",
          "position fen r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1 moves e1g1"}) {
        position("position startpos moves e2e4");
        ASSERT_TRUE(have_position(s));
        const std::string out = position(cmd);
        EXPECT_EQ(out.rfind("info string position refused (", 0), 0u) << cmd << ": " << out;
        EXPECT_NE(out.find("): no position until a valid one arrives\n"), std::string::npos) << out;
        EXPECT_FALSE(have_position(s)) << cmd;
    }
    testing::internal::CaptureStderr();
    position("position fen " + std::string(300, '8') + " w - -");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("FEN longer"), std::string::npos);
    EXPECT_FALSE(have_position(s));
    EXPECT_NE(position("position startpos moves" + shuffle_moves(512)).find("(more than 2047 moves)"), std::string::npos);
    EXPECT_FALSE(have_position(s));
    EXPECT_EQ(position("position fen 4k3/8/8/8/8/8/8/R3K3 w A -"), "");  // the a-file rook's right in Shredder-FEN
    EXPECT_TRUE(have_position(s));
    EXPECT_EQ(current_fen(), "4k3/8/8/8/8/8/8/R3K3 w Q -");
}

// Castling text in both modes: the king's target square, or in Chess960 the king taking its rook;
// the other form is refused. The rook may already stand on its target.
TEST_F(PositionCommand, CastlingTextInBothModes) {
    const std::string standard = "position fen r3k2r/3p1p2/8/8/8/8/8/R3K2R w KQkq - moves ";
    const std::string fischer = "position fen r3k2r/3p1p2/8/8/8/8/8/RK3R2 w FAha - moves ";
    for (const auto& [mode, moves, after] :
         {std::tuple{0, "e1g1", "r3k2r/3p1p2/8/8/8/8/8/R4RK1 b kq -"}, {0, "e1c1", "r3k2r/3p1p2/8/8/8/8/8/2KR3R b kq -"},
          {0, "e1h1", ""}, {1, "b1f1 e8h8", "r4rk1/3p1p2/8/8/8/8/8/R4RK1 w - -"},
          {1, "b1a1 e8a8", "2kr3r/3p1p2/8/8/8/8/8/2KR1R2 w - -"}, {1, "b1g1", ""}}) {
        s.options.chess960 = mode;
        const std::string out = position((mode ? fischer : standard) + moves);
        if (*after) {
            EXPECT_EQ(out, "") << moves;
            EXPECT_EQ(current_fen(), after) << moves;
        } else {
            EXPECT_NE(out.find("illegal move"), std::string::npos) << moves;
        }
    }
}

TEST_F(PositionCommand, FenCountersAreRead) {
    position("position fen 8/8/8/4k3/8/8/3QK3/8 w - - 100 120");
    EXPECT_EQ(std::vector<int>({s.history[0].rule50, s.history[0].ply}), std::vector<int>({100, 238}));
    position("position fen 8/8/8/4k3/8/8/3QK3/8 b - - 7 x moves e5e4");
    EXPECT_EQ(std::vector<int>({s.history[0].rule50, s.history[0].ply, s.history[1].rule50}),
              std::vector<int>({7, 1, 8}));
    position("position fen 8/8/8/4k3/8/8/3QK3/8 b");
    EXPECT_EQ(std::vector<int>({s.history[0].rule50, s.history[0].ply}), std::vector<int>({0, 1}));
}

// ---- the binary ----

TEST(EngineProcess, IdentifiesItselfAndTakesOptions) {
    EnginePipe e;
    ASSERT_TRUE(engine_start(e));
    Lines lines = send_and_read(e, "uci", "uciok");
    ASSERT_FALSE(lines.empty());
    const std::string bits = " " + std::to_string(sizeof(void*) * 8) + "-bit ";  // the build's word size
    EXPECT_EQ(lines[0], std::string("Quoril ") + VERSION_TAG + bits + "by " + AUTHORS);  // the banner
    lines.erase(lines.begin(), std::find(lines.begin(), lines.end(), std::string("id name Quoril ") + VERSION_TAG + bits));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], std::string("id author ") + AUTHORS);
    EXPECT_EQ(lines.back(), "uciok");
    for (size_t i = 2; i + 1 < lines.size(); i++) EXPECT_EQ(lines[i].rfind("option name ", 0), 0u) << lines[i];
    const std::pair<const char*, Lines> answers[] = {
        {"setoption name Hash value 0\nsetoption name Clear Hash",
         {"info string Hash tables turned OFF", "info string Clearing Hash"}},
        {"setoption name Hash value 16", {"info string Hash table size is now 16 meg"}},
        {"setoption name MultiPV value 0", {"info string MultiPV 0 out of range 1..99: using 1"}},
        {"setoption name hmb open value 99999", {"info string hmb open 99999 out of range -9999..9999: using 9999"}},
        {"setoption name pval open value 3", {"info string pval open not recognized"}},  // only hmb is reachable
        {"setoption name Use Lmr value maybe", {"info string maybe not recognized as checkbox argument"}},
        {"setoption name Book File value My  Book.BIN", {"info string book file is my book.bin"}},
        {"setoption name HMB Open value 200\nsetoption name USE LMR value FALSE", {}},
    };
    for (const auto& [commands, reply] : answers) EXPECT_EQ(replies(e, commands), reply) << commands;
    lines = send_and_read(e, "uci", "uciok");
    for (const char* changed : {"Hash type spin default 16 ", "Book File type string default my book.bin",
                                "hmb open type spin default 200 ", "Use Lmr type check default false"})
        EXPECT_TRUE(found_line(lines, std::string("option name ") + changed)) << changed;
}

// Input lines of every kind, commands during a search, end of input, and the log of it all.
TEST(EngineProcess, InputLinesCommandsDuringASearchAndTheLog) {
    const std::string path = testing::TempDir() + "quoril_uci.log";
    remove(path.c_str());
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e, {"-log", path}));
    // Command words are exact: QUIT is not quit.
    EXPECT_EQ(replies(e, "\n   \n\t\nxyzzy 1 2 3\nucinewgame\n\x01\x02\xff\xfe\nQUIT"),
              (Lines{"info string unknown command xyzzy ignored", "info string unknown command \x01\x02\xff\xfe ignored",
                     "info string unknown command QUIT ignored"}));
    // A piece of a cut line must never run as a command of its own: "quit" appears throughout.
    std::string huge = "hello";
    while (huge.size() < 100000) huge += " quit" + std::string(size_t(huge.size() % 97), ' ');
    EXPECT_EQ(replies(e, huge), Lines{"info string unknown command hello ignored"});
    EXPECT_NE(engine_stderr(e).find("cut to its first 8190"), std::string::npos);
    // A move list cut with its line is not the game the GUI has: no position, so no count.
    const Lines perft = replies(e, "position startpos moves" + shuffle_moves(513) + "\ngo perft 1");
    EXPECT_EQ(perft, (Lines{"info string position refused (illegal move g at move 1634 of the list): no position until a valid one arrives",
                            "info string no position (the last position command was refused: illegal move g at move 1634 of the list)"}));
    // 8190 characters still fit; one more is cut.
    e.err_text.clear();
    const std::string longest = "isready" + std::string(8183, ' ');
    EXPECT_EQ(send_and_read(e, longest, "readyok"), Lines{"readyok"});
    EXPECT_EQ(engine_stderr(e), "");
    EXPECT_EQ(send_and_read(e, longest + "x", "readyok"), Lines{"readyok"});
    EXPECT_NE(engine_stderr(e).find("input line of 8191 characters cut"), std::string::npos);
    // Commands during a search wait for its move; the second search runs after 1.e4, so Black moves.
    Lines lines = send_and_read(e, "position startpos\ngo infinite\nisready\nposition startpos moves e2e4\ngo depth 1\nstop",
                                "bestmove");
    EXPECT_TRUE(found_line(lines, "readyok"));
    const std::string black = bestmove_of(engine_read_until(e, "bestmove"));
    EXPECT_TRUE(black.size() >= 4 && (black[1] == '7' || black[1] == '8')) << black;
    send_and_read(e, "position startpos\ngo wtime 1000 btime 1000", "bestmove");
    replies(e, "setoption name Foo value 1");
    // End of input is a quit, even during a search, which still prints its move.
    engine_send(e, "position startpos\ngo infinite");
    process_close_input(e);
    EXPECT_EQ(engine_wait_exit(e, 3000), 0);
    const size_t played = e.out_text.rfind("bestmove ");
    ASSERT_NE(played, std::string::npos);
    // The log is complete when the engine has ended: its last line is that move.
    const std::string text = read_file(path);
    EXPECT_EQ(text.substr(text.rfind("\nbestmove ") + 1), e.out_text.substr(played));
    for (const char* want : {"uci -> go wtime 1000 btime 1000\n", "option foo (value 1) not understood.\n",
                             "-----[ CTM = 0   INCHECK = 0   last: N/A null   rights: KQkq]-----\n r n b q k b n r\n"})
        EXPECT_NE(text.find(want), std::string::npos) << want;
}

// The last line with a pv of line 1.
std::string last_pv_line(const Lines& lines) {
    for (auto l = lines.rbegin(); l != lines.rend(); ++l)
        if (l->find(" pv ") != std::string::npos &&
            (l->find(" multipv ") == std::string::npos || l->find(" multipv 1 ") != std::string::npos))
            return *l;
    return "";
}

// The first move of the last pv line printed before bestmove.
std::string last_pv_move(const Lines& lines) {
    const std::string l = last_pv_line(lines);
    const size_t at = l.find(" pv ");
    return at == std::string::npos ? "" : l.substr(at + 4, l.find(' ', at + 4) - at - 4);
}

const char* const SICILIAN = "position startpos moves e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6 b1c3 a7a6";

TEST(EngineGo, LimitedStrengthSearchesLittleAndShowsTheMovePlayed) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    replies(e, "setoption name OwnBook value false\nsetoption name UCI_LimitStrength value true\n"
               "setoption name UCI_Elo value 1\nsetoption name Deterministic value true");
    const Position sicilian = from_fen("rnbqkb1r/1p2pppp/p2p1n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R w KQkq - 0 6");
    const Lines lines = send_and_read(e, std::string(SICILIAN) + "\ngo wtime 60000 btime 60000", "bestmove");
    EXPECT_NE(legal_move(sicilian, bestmove_of(lines)), 0u);
    EXPECT_EQ(last_pv_move(lines), bestmove_of(lines));
    EXPECT_FALSE(found_line(lines, "info multipv 2")) << "only the lines asked for are shown";
    const std::string nodes = lines[lines.size() - 2];
    ASSERT_EQ(nodes.rfind("info nodes ", 0), 0u);
    EXPECT_LT(std::stoll(nodes.substr(11)), 5000) << "the weakest level searches a few hundred nodes";
    // The deeper limit is not reached: the level's node budget ends the search with the same choice.
    EXPECT_EQ(bestmove_of(lines), bestmove_of(send_and_read(e, std::string(SICILIAN) + "\ngo depth 20", "bestmove")))
        << "Deterministic repeats the choice";
}

// Every limit ends the search in time, and the last pv line printed leads with the move played, also
// when the search was cut short or several lines were asked for.
TEST(EngineGo, EveryLimitAppliesAndMateIsSought) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    replies(e, "setoption name OwnBook value false");
    for (const char* go : {"go depth 40 movetime 300", "go depth 40 wtime 1000 btime 1000",
                           "go nodes 50000000 wtime 1000 btime 1000", "go mate 30 movetime 200",
                           "setoption name MultiPV value 3\ngo nodes 20000\nsetoption name MultiPV value 1"}) {
        const long long start = pipe_now_ms();
        const Lines lines = send_and_read(e, std::string(SICILIAN) + "\n" + go, "bestmove", 5000);
        EXPECT_LT(pipe_now_ms() - start, emulated_target() ? 3000 : 1500) << go;  // emulated, slower
        EXPECT_EQ(bestmove_of(lines).size(), 4u) << go;
        EXPECT_EQ(last_pv_move(lines), bestmove_of(lines)) << go;
    }
    // Mate in three is searched until proven, with no time given.
    Lines lines = send_and_read(e, "position fen r5rk/5p1p/5R2/4B3/8/8/7P/7K w - - 0 1\ngo mate 3", "bestmove");
    EXPECT_EQ(bestmove_of(lines), "f6a6");
    EXPECT_TRUE(found_line({last_pv_line(lines)}, "info depth")) << "a pv line before the move";
    EXPECT_NE(last_pv_line(lines).find(" score mate 3 "), std::string::npos) << last_pv_line(lines);
    // No legal move: one line and at once.
    EXPECT_EQ(send_and_read(e, "position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\ngo infinite", "bestmove", 2000),
              (Lines{"info depth 0 score mate 0", "bestmove 0000"}));
    EXPECT_EQ(send_and_read(e, "position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1\ngo depth 5", "bestmove", 2000),
              (Lines{"info depth 0 score cp 0", "bestmove 0000"}));
    // Aspiration fails are marked as bounds; the selective depth never falls short of the depth.
    lines = send_and_read(e, "ucinewgame\nposition fen 2r3k1/pp3ppp/8/3q4/8/1B6/PPP2PPP/3RR1K1 w - - 0 1\ngo depth 9",
                          "bestmove");
    bool lower = false, upper = false;
    for (const std::string& l : lines) {
        if (l.find(" pv ") == std::string::npos) continue;
        lower |= l.find(" lowerbound nps ") != std::string::npos;
        upper |= l.find(" upperbound nps ") != std::string::npos;
        EXPECT_GE(atoi(l.c_str() + l.find(" seldepth ") + 10), atoi(l.c_str() + 11)) << l;
    }
    EXPECT_TRUE(lower && upper);
}

// After a refused position nothing is searched, counted or evaluated until a valid one arrives;
// a repaired FEN is searched; a mate on the hundredth half-move is a mate.
TEST(EngineGo, PositionsTheGuiDidNotSendAreNeverAnswered) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    replies(e, "setoption name OwnBook value false\nsetoption name Deterministic value true");
    const std::string why = "illegal move e2e4 at move 2 of the list";
    EXPECT_EQ(send_and_read(e, "position startpos moves e2e4 e2e4\ngo depth 6", "bestmove", 3000),
              (Lines{"info string position refused (" + why + "): no position until a valid one arrives",
                     "info string no position (the last position command was refused: " + why + ")", "bestmove 0000"}));
    EXPECT_EQ(replies(e, "go perft 1\neval\nucinewgame\ngo infinite"),
              (Lines(3, "info string no position (the last position command was refused: " + why + ")") +
               Lines{"bestmove 0000"}));
    const Lines black = send_and_read(e, "position startpos moves e2e4\ngo depth 6", "bestmove");
    EXPECT_NE(legal_move(from_fen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq -"), bestmove_of(black)), 0u);
    // A castling letter without its rook, as board editors write it: repaired, and White moves.
    const char* editor_fen = "4k3/8/8/8/8/8/8/4K2R w Kk - 0 1";
    const Lines repaired = send_and_read(e, std::string("position fen ") + editor_fen + "\ngo depth 6", "bestmove");
    EXPECT_TRUE(found_line(repaired, "info string FEN repaired: castling k dropped (no rook on its square)"));
    EXPECT_NE(legal_move(from_fen(editor_fen), bestmove_of(repaired)), 0u);
    const Lines mate = send_and_read(e, "position fen 7k/8/6K1/8/8/8/8/R7 w - - 99 80\ngo depth 8", "bestmove");
    EXPECT_EQ(bestmove_of(mate), "a1a8");
    EXPECT_TRUE(any_line_has(mate, " score mate 1 ")) << "mate, not the fifty-move draw";
}

// UCI_ShowWDL: off, no line has odds; on, every line with a score carries them, summing to 1000,
// certain for a mate or stalemate at the root.
TEST(EngineGo, WinDrawLossOddsExactlyWhenAsked) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    EXPECT_TRUE(found_line(send_and_read(e, "uci", "uciok"), "option name UCI_ShowWDL type check default false"));
    const std::string search = "setoption name OwnBook value false\nposition startpos moves e2e4\ngo depth 7";
    for (const bool on : {false, true}) {
        replies(e, std::string("setoption name UCI_ShowWDL value ") + (on ? "true" : "false"));
        int scored = 0;
        for (const std::string& l : send_and_read(e, search, "bestmove")) {
            const size_t at = l.find(" wdl ");
            if (l.find(" score ") == std::string::npos) {
                EXPECT_EQ(at, std::string::npos) << l;
                continue;
            }
            scored++;
            ASSERT_EQ(at != std::string::npos, on) << l;
            if (!on) continue;
            int w = -1, d = -1, x = -1;
            ASSERT_EQ(sscanf(l.c_str() + at, " wdl %d %d %d", &w, &d, &x), 3) << l;
            EXPECT_TRUE(w >= 0 && d >= 0 && x >= 0 && w + d + x == 1000) << l;
        }
        EXPECT_GT(scored, 3);
    }
    EXPECT_EQ(send_and_read(e, "position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1\ngo depth 3", "bestmove"),
              (Lines{"info depth 0 score mate 0 wdl 0 0 1000", "bestmove 0000"}));
    EXPECT_EQ(send_and_read(e, "position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1\ngo depth 3", "bestmove"),
              (Lines{"info depth 0 score cp 0 wdl 0 1000 0", "bestmove 0000"}));
}

}  // namespace

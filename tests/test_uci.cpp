// The UCI front end: command parsing in-process, then the real binary driven over pipes.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/perft.h"
#include "engine_pipe.h"
#include "shell/options.h"
#include "shell/uci.h"
#include "support.h"

namespace {

// A command line split the way the command loop splits it.
struct Command {
    std::vector<char> text;
    std::vector<char*> words;
    explicit Command(const std::string& line) : text(line.begin(), line.end()), words(MAX_WORDS) {
        text.push_back(0);
        words.resize(size_t(split_words(text.data(), words.data(), MAX_WORDS)));
    }
    int count() const { return int(words.size()); }
};

GoRequest go_of(const std::string& line) {
    Command c(line);
    GoRequest go;
    parse_go(c.words.data(), c.count(), go);
    return go;
}

// Runs a position command and returns what it printed.
std::string position(const std::string& line) {
    init_engine_tables();
    Command c(line);
    testing::internal::CaptureStdout();
    set_position(c.words.data(), c.count());
    return testing::internal::GetCapturedStdout();
}

std::string current_fen() {
    char fen[FEN_BUFFER];
    position_to_fen(game_history[game_index], fen, sizeof fen);
    return fen;
}

std::string shuffle_moves(int count) {
    static const char* const cycle[4] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    std::string s;
    for (int i = 0; i < count; i++) s += std::string(" ") + cycle[i % 4];
    return s;
}

TEST(CommandWords, SplitsAtBlanksTabsAndLineEnds) {
    Command c("  go\twtime  100 \r\n btime 5\n");
    ASSERT_EQ(c.count(), 5);
    EXPECT_STREQ(c.words[0], "go");
    EXPECT_STREQ(c.words[2], "100");
    EXPECT_STREQ(c.words[4], "5");
    EXPECT_EQ(Command(" \t \r").count(), 0);
}

TEST(CommandWords, WordListIsBounded) {
    char line[] = "a b c d e f";
    char* words[3];
    testing::internal::CaptureStderr();
    EXPECT_EQ(split_words(line, words, 3), 3);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("more than 3 words"), std::string::npos);
    EXPECT_STREQ(words[2], "c");
}

TEST(CommandWords, HashIsDjb2OverSignedBytes) {
    EXPECT_EQ(command_hash(""), 5381u);
    EXPECT_EQ(command_hash("go"), (5381u * 33 + 'g') * 33 + 'o');
    // A byte above 127 counts as negative.
    EXPECT_EQ(command_hash("\xff"), 5381u * 33 - 1);
}

TEST(GoParsing, ReadsEveryKeyword) {
    const GoRequest go = go_of("go wtime 60000 btime 1500 winc 250 binc 100 movestogo 12 movetime 2500 depth 7 "
                               "nodes 123456789012 ponder infinite");
    EXPECT_DOUBLE_EQ(go.time[WHITE], 60.0);
    EXPECT_DOUBLE_EQ(go.time[BLACK], 1.5);
    EXPECT_DOUBLE_EQ(go.inc[WHITE], 0.25);
    EXPECT_DOUBLE_EQ(go.inc[BLACK], 0.1);
    EXPECT_EQ(go.movestogo, 12);
    EXPECT_DOUBLE_EQ(go.movetime, 2.5);
    EXPECT_EQ(go.depth, 7);
    EXPECT_TRUE(go.nodes_given);
    EXPECT_EQ(go.nodes, 123456789012ULL);
    EXPECT_TRUE(go.ponder);
    EXPECT_TRUE(go.infinite);
    EXPECT_STREQ(go.searchmoves, "");
}

TEST(GoParsing, SearchMovesListAndUnknownWords) {
    GoRequest go = go_of("go searchmoves e2e4 d2d4 depth 5");
    EXPECT_STREQ(go.searchmoves, "e2e4 d2d4 ");
    EXPECT_EQ(go.depth, 5);
    // A keyword ends the list; words outside it are skipped.
    go = go_of("go searchmoves e2e4 infinite d2d4");
    EXPECT_STREQ(go.searchmoves, "e2e4 ");
    go = go_of("go wtime 60000 btime 60000 mate 3");
    EXPECT_STREQ(go.searchmoves, "");
    EXPECT_DOUBLE_EQ(go.time[BLACK], 60.0);
    EXPECT_EQ(go.depth, 0);
}

TEST(GoParsing, BoundsAndMissingArguments) {
    std::string line = "go searchmoves";
    for (int i = 0; i < 1500; i++) line += " a2a3";
    testing::internal::CaptureStderr();
    GoRequest go = go_of(line);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("searchmoves list longer"), std::string::npos);
    const size_t len = strlen(go.searchmoves);
    EXPECT_LT(len, size_t(SEARCHMOVES_SIZE));
    EXPECT_EQ(len % 5, 0u);
    EXPECT_EQ(go.searchmoves[len - 1], ' ');

    go = go_of("go depth");
    EXPECT_EQ(go.depth, 0);
    go = go_of("go nodes -5 movestogo 99999999999");
    EXPECT_EQ(go.nodes, 0u);
    EXPECT_EQ(go.movestogo, 2147483647);
}

TEST(PositionCommand, StartposAndFenWithMoves) {
    EXPECT_EQ(position("position startpos moves e2e4 e7e5"), "");
    EXPECT_EQ(game_index, 2);
    EXPECT_EQ(current_fen(), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -");
    // The move counters are dropped; the moves after them are played.
    position("position fen 8/8/8/8/8/8/8/K6k w - - 12 40 moves a1a2");
    EXPECT_EQ(game_index, 1);
    EXPECT_EQ(current_fen(), "8/8/8/8/8/8/K7/7k b - -");
    // The move texts are chained through prev so that repetitions can be seen.
    EXPECT_EQ(game_history[1].prev, &game_history[0]);
}

TEST(PositionCommand, StopsAtTheFirstIllegalMove) {
    const std::string out = position("position startpos moves e2e4 e7e5 e1e3 g1f3");
    EXPECT_NE(out.find("info string illegal move e1e3"), std::string::npos);
    EXPECT_EQ(game_index, 2);
    EXPECT_EQ(perft(game_history[game_index], 1), 29u);

    // A pinned bishop may not leave its king in check.
    EXPECT_NE(position("position fen 4k3/4r3/8/8/8/8/4B3/4K3 w - - moves e2d3").find("illegal move e2d3"),
              std::string::npos);
    EXPECT_EQ(game_index, 0);
    EXPECT_NE(position("position startpos moves e2e4 zz99").find("illegal move zz99"), std::string::npos);
    EXPECT_EQ(game_index, 1);
}

TEST(PositionCommand, RefusedFenLeavesTheGameAlone) {
    position("position startpos moves e2e4");
    const std::string before = current_fen();
    const char* const bad[] = {
        "position fen 8/8/8/8/8/8/8/8 w - -",             // no kings
        "position fen 4k3/8/8/8/8/8/8/P3K3 w - -",        // pawn on the first rank
        "position fen 4k3/8/8/8/8/8/8/4K2r b - -",        // the side not to move is in check
        "position fen 4k2k/8/8/8/8/8/8/4K3 w - -",        // two black kings
        "position fen",                                    // nothing to parse
    };
    for (const char* cmd : bad) {
        EXPECT_NE(position(cmd).find("info string"), std::string::npos) << cmd;
        EXPECT_EQ(game_index, 1) << cmd;
        EXPECT_EQ(current_fen(), before) << cmd;
    }
    std::string huge = "position fen " + std::string(300, '8') + " w - -";
    testing::internal::CaptureStderr();
    position(huge);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("FEN longer"), std::string::npos);
    EXPECT_EQ(current_fen(), before);
}

TEST(PositionCommand, ImpossibleCastlingAndEnPassantAreDropped) {
    position("position fen 4k3/8/8/8/8/8/8/4K3 w KQkq -");
    EXPECT_EQ(perft(game_history[0], 1), 5u);
    EXPECT_EQ(game_history[0].key, from_fen("4k3/8/8/8/8/8/8/4K3 w - -").key);

    // No black pawn made a double step to e5: no en-passant capture on e6.
    position("position fen 4k3/8/8/3P4/8/8/8/4K3 w - e6");
    EXPECT_EQ(game_history[0].ep_mask, 0u);
    EXPECT_EQ(game_history[0].key, from_fen("4k3/8/8/3P4/8/8/8/4K3 w - -").key);
    position("position fen 4k3/8/8/3Pp3/8/8/8/4K3 w - e6 moves d5e6");
    EXPECT_EQ(game_index, 1);
    EXPECT_EQ(current_fen(), "4k3/8/4P3/8/8/8/8/4K3 b - -");
}

TEST(PositionCommand, GameHistoryHoldsAtMost2047Moves) {
    const std::string out = position("position startpos moves" + shuffle_moves(2050));
    EXPECT_EQ(game_index, GAME_HISTORY_SIZE - 1);
    EXPECT_NE(out.find("game longer than 2047 moves"), std::string::npos);
}

TEST(PositionCommandDeathTest, MissingStartEndsTheProcess) {
    EXPECT_EXIT(position("position foo"), testing::ExitedWithCode(1), "Error here!");
    EXPECT_EXIT(position("position"), testing::ExitedWithCode(1), "Error here!");
    EXPECT_EXIT(position("position fen 8/8/8/8/8/8/8/K6k x - -"), testing::ExitedWithCode(1), "Error in ctm for fen");
}

// ---- the binary ----

std::vector<std::string> send_and_read(EnginePipe& e, const std::string& commands, const std::string& until) {
    engine_send(e, commands);
    return engine_read_until(e, until);
}

// Lines up to the answer of an isready sent after commands.
std::vector<std::string> replies(EnginePipe& e, const std::string& commands) {
    std::vector<std::string> lines = send_and_read(e, commands + "\nisready", "readyok");
    EXPECT_FALSE(lines.empty());
    if (!lines.empty()) {
        EXPECT_EQ(lines.back(), "readyok");
        lines.pop_back();
    }
    return lines;
}

std::vector<std::string> option_lines(EnginePipe& e) {
    std::vector<std::string> lines = send_and_read(e, "uci", "uciok");
    std::vector<std::string> options;
    for (const std::string& l : lines)
        if (l.rfind("option ", 0) == 0) options.push_back(l);
    return options;
}

TEST(EngineProcess, IdentifiesItselfAndListsOptionsInOrder) {
    EnginePipe e;
    ASSERT_TRUE(engine_start(e));
    std::vector<std::string> lines = send_and_read(e, "uci", "uciok");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "uciok");
    // The banner comes first.
    EXPECT_EQ(lines[0], std::string("Quoril ") + VERSION_TAG + " 32-bit by " + AUTHORS);
    std::vector<std::string> from_id;
    for (const std::string& l : lines)
        if (!from_id.empty() || l.rfind("id name", 0) == 0) from_id.push_back(l);
    const std::vector<std::string> expected = {
        std::string("id name Quoril ") + VERSION_TAG + " 32-bit ",
        std::string("id author ") + AUTHORS,
        "option name Ponder type check default true",
        "option name Hash type spin default 64 min 0 max 4096",
        "option name OwnBook type check default true",
        "option name MultiPV type spin default 1 min 1 max 99",
        "option name Book File type string default quoril.bin",
        "option name Clear Hash type button",
        "option name hmb open type spin default 114 min -9999 max 9999",
        "option name hmb end type spin default 50 min -9999 max 9999",
        "option name UCI_AnalyseMode type check default false",
        "option name Use Lmr type check default true",
        "option name Null Move pruning type check default true",
        "option name Deterministic type check default false",
        "option name Special Node Level type check default false",
        "option name Best Book Line type check default true",
        "option name move overhead milliseconds type spin default 10 min 0 max 50000",
        "option name Drawscore type spin default -7 min -200 max 200",
        "uciok",
    };
    EXPECT_EQ(from_id, expected);
    EXPECT_EQ(replies(e, ""), std::vector<std::string>{});
}

TEST(EngineProcess, SetoptionRepliesAndStoredValues) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    using L = std::vector<std::string>;
    EXPECT_EQ(replies(e, "setoption name Hash value 0\nsetoption name Clear Hash"),
              (L{"info string Hash tables turned OFF", "info string Clearing Hash"}));
    EXPECT_EQ(replies(e, "setoption name Hash value 16"), L{"info string Hash table size is now 16 meg"});
    EXPECT_EQ(replies(e, "setoption name Frobnicate value 3"), L{"info string frobnicate not recognized"});
    // Only the first parameter record is reachable.
    EXPECT_EQ(replies(e, "setoption name pval open value 3"), L{"info string pval open not recognized"});
    EXPECT_EQ(replies(e, "setoption name Use Lmr value maybe"),
              L{"info string maybe not recognized as checkbox argument"});
    EXPECT_EQ(replies(e, "setoption name Book File value My  Book.BIN"), L{"info string book file is my book.bin"});
    EXPECT_EQ(replies(e,
                      "setoption name HMB Open value 200\n"
                      "setoption name hmb end value -5\n"
                      "setoption name USE LMR value FALSE\n"
                      "setoption name Deterministic value True\n"
                      "setoption name OwnBook value false\n"
                      "setoption name MultiPV value 3\n"
                      "setoption name Drawscore value -20\n"
                      "setoption name move overhead milliseconds value 50\n"
                      "setoption name Ponder value false"),
              L{});
    const L options = option_lines(e);
    const L expected = {
        "option name Ponder type check default true",
        "option name Hash type spin default 16 min 0 max 4096",
        "option name OwnBook type check default false",
        "option name MultiPV type spin default 3 min 1 max 99",
        "option name Book File type string default my book.bin",
        "option name Clear Hash type button",
        "option name hmb open type spin default 200 min -9999 max 9999",
        "option name hmb end type spin default -5 min -9999 max 9999",
        "option name UCI_AnalyseMode type check default false",
        "option name Use Lmr type check default false",
        "option name Null Move pruning type check default true",
        "option name Deterministic type check default true",
        "option name Special Node Level type check default false",
        "option name Best Book Line type check default true",
        "option name move overhead milliseconds type spin default 50 min 0 max 50000",
        "option name Drawscore type spin default -20 min -200 max 200",
    };
    EXPECT_EQ(options, expected);
}

TEST(EngineProcess, GarbageEmptyAndHugeLinesLoseNothing) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    EXPECT_EQ(replies(e, "\n   \n\t\nxyzzy 1 2 3\nucinewgame\n\x01\x02\xff\xfe"), std::vector<std::string>{});
    // A piece of a cut line must never run as a command of its own: "quit" appears throughout.
    std::string huge = "hello";
    while (huge.size() < 100000) huge += " quit" + std::string(size_t(huge.size() % 97), ' ');
    EXPECT_EQ(replies(e, huge), std::vector<std::string>{});
    EXPECT_TRUE(engine_alive(e));
    EXPECT_NE(engine_stderr(e).find("cut to its first 8190"), std::string::npos);
    EXPECT_EQ(replies(e, "go perft 1").back(), "Nodes searched: 20");
    // 8190 characters still fit; one more is cut.
    e.err_text.clear();
    std::string longest = "isready" + std::string(8183, ' ');
    EXPECT_EQ(send_and_read(e, longest, "readyok"), std::vector<std::string>{"readyok"});
    EXPECT_EQ(engine_stderr(e), "");
    EXPECT_EQ(send_and_read(e, longest + "x", "readyok"), std::vector<std::string>{"readyok"});
    EXPECT_NE(engine_stderr(e).find("input line of 8191 characters cut"), std::string::npos);
}

TEST(EngineProcess, BurstOfIsreadyIsAnsweredInFull) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    std::string burst;
    for (int i = 0; i < 200; i++) burst += "isready\n";
    engine_send(e, burst, false);
    int answers = 0;
    std::string line;
    while (answers < 200 && engine_read_line(e, line))
        if (line == "readyok") answers++;
    EXPECT_EQ(answers, 200);
}

TEST(EngineProcess, PerftIllegalMovesAndRefusedFens) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    std::vector<std::string> lines = send_and_read(e, "position startpos\ngo perft 3", "Nodes searched");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Nodes searched: 8902");
    EXPECT_TRUE(found_line(lines, "e2e4: 600"));
    EXPECT_TRUE(found_line(lines, "g1f3: 440"));

    lines = send_and_read(e, "position startpos moves e2e4 e7e5 e1e3 g1f3\ngo perft 1", "Nodes searched");
    EXPECT_TRUE(found_line(lines, "info string illegal move e1e3"));
    EXPECT_EQ(lines.back(), "Nodes searched: 29");
    lines = send_and_read(e, "position fen 8/8/8/8/8/8/8/8 w - -\ngo perft 1", "Nodes searched");
    EXPECT_TRUE(found_line(lines, "info string invalid position"));
    EXPECT_EQ(lines.back(), "Nodes searched: 29");
}

TEST(EngineProcess, OverlongMoveListDoesNotCrash) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    // Longer than an input line can hold: it is cut, and the game keeps a legal prefix.
    std::vector<std::string> lines = replies(e, "position startpos moves" + shuffle_moves(2050) + "\ngo perft 1");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Nodes searched: 20");
    EXPECT_TRUE(engine_alive(e));
}

TEST(EngineProcess, CommandsDuringASearchWaitForItsMove) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    std::vector<std::string> lines =
        send_and_read(e, "position startpos\ngo infinite\nisready\nposition startpos moves e2e4\neval\ngo depth 1\nstop",
                      "info string eval");
    // The first search ends with its own move before the deferred commands run.
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(found_line(lines, "readyok"));
    EXPECT_TRUE(found_line(lines, "bestmove"));
    std::vector<std::string> rest = engine_read_until(e, "bestmove");
    ASSERT_FALSE(rest.empty());
    const std::string& reply = rest.back();
    ASSERT_EQ(reply.rfind("bestmove ", 0), 0u) << reply;
    // The second search ran on the position after 1.e4: Black moves from rank 7 or 8.
    EXPECT_TRUE(reply[10] == '7' || reply[10] == '8') << reply;

    EnginePipe fresh;
    ASSERT_TRUE(engine_start_ready(fresh));
    const std::vector<std::string> direct = send_and_read(fresh, "position startpos moves e2e4\neval", "info string eval");
    ASSERT_FALSE(direct.empty());
    std::string deferred_eval;
    for (const std::string& l : lines)
        if (l.rfind("info string eval", 0) == 0) deferred_eval = l;
    EXPECT_EQ(deferred_eval, direct.back());
}

TEST(EngineProcess, PonderSearchWaitsForPonderhit) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    engine_send(e, "position startpos moves e2e4\ngo ponder wtime 1000 btime 1000");
    // The budget is a few milliseconds, but no move may come while pondering.
    EXPECT_FALSE(found_line(engine_read_until(e, "bestmove", 700), "bestmove"));
    engine_send(e, "ponderhit");
    const std::vector<std::string> lines = engine_read_until(e, "bestmove", 10000);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("bestmove ", 0), 0u);
}

TEST(EngineProcess, QuitEndsWithStatusZero) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    engine_send(e, "isready\nquit");
    EXPECT_EQ(engine_wait_exit(e), 0);
    // Also in the middle of an endless search, after its move.
    EnginePipe f;
    ASSERT_TRUE(engine_start_ready(f));
    engine_send(f, "go infinite");
    engine_read_until(f, "info depth 3");
    engine_send(f, "quit");
    EXPECT_TRUE(found_line(engine_read_until(f, "bestmove"), "bestmove"));
    EXPECT_EQ(engine_wait_exit(f), 0);
}

TEST(EngineProcess, EndOfInputDoesNotEndTheEngine) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    EXPECT_EQ(replies(e, ""), std::vector<std::string>{});
    engine_close_input(e);
    EXPECT_EQ(engine_wait_exit(e, 300), -1);
    EXPECT_TRUE(engine_alive(e));
}

TEST(EngineProcess, FatalPositionErrorsExitWithOne) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    engine_send(e, "position foo");
    EXPECT_EQ(engine_wait_exit(e), 1);
    EXPECT_NE(engine_stderr(e).find("Error here!\n"), std::string::npos);

    EnginePipe f;
    ASSERT_TRUE(engine_start_ready(f));
    engine_send(f, "position fen 8/8/8/8/8/8/8/K6k x - -");
    EXPECT_EQ(engine_wait_exit(f), 1);
    EXPECT_NE(engine_stderr(f).find("Error in ctm for fen"), std::string::npos);
}

TEST(EngineProcess, LogRecordsCommandsBudgetsAndOptions) {
    char path[] = "/tmp/quoril_log_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        EnginePipe e;
        ASSERT_TRUE(engine_start_ready(e, {"-log", path}));
        send_and_read(e, "go wtime 1000 btime 1000", "bestmove");
        send_and_read(e, "go movetime 100", "bestmove");
        send_and_read(e, "go movestogo 1 wtime 300", "bestmove");
        replies(e, "setoption name Hash value 0\nsetoption name Ponder value false\nsetoption name Foo value 1");
        engine_send(e, "quit");
        EXPECT_EQ(engine_wait_exit(e), 0);
    }
    std::ifstream in(path);
    std::stringstream log;
    log << in.rdbuf();
    unlink(path);
    const std::string text = log.str();
    for (const char* want : {"uci -> go wtime 1000 btime 1000\n", "cmd = go\n",
                             "TC: ply: 0)   1.00 rem   0.01 goal  6.00 mgp\n", "Time Left:      0.1\n",
                             "We have      0.3 seconds to make 1 moves =      0.1 goal\n", "Hash tables turned off\n",
                             "Ponder set to 0\n", "option foo (value 1) not understood.\n", "cmd = quit\n"})
        EXPECT_NE(text.find(want), std::string::npos) << want;
}

}  // namespace

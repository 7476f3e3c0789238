// The searches: scores of mates, stalemates and draws, the search tables, tactics at fixed depth,
// and the engine binary's stop, ponder, infinite, multi-PV and deterministic behaviour.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "search/worker.h"
#include "engine_pipe.h"
#include "eval/evaluate.h"
#include "search/search.h"
#include "search/tt.h"
#include "shell/driver.h"
#include "shell/session.h"
#include "support.h"

namespace {

// A session that searches like the benchmark: quietly, and every search from cleared tables.
Session& bench_session() {
    static Session* s = nullptr;
    if (!s) {
        init_engine_tables();
        tt_allocate(16);
        s = new_session();
        s->bench = true;
        s->options.own_book = 0;
    }
    return *s;
}

// The score of a search; played receives its move.
int search(const Position& pos, int depth, const char* moves = "", Move* played = nullptr, int drawscore = -7) {
    Session& s = bench_session();
    s.options.drawscore = drawscore;
    SearchRequest r = base_request(s, pos, depth);
    if (*moves) r.moves.count = 0;
    std::istringstream words(moves);
    for (std::string w; words >> w;) r.moves.add(move_from_text(pos, w.c_str()));
    SearchResult result;
    play_request(s, r, false, result);
    if (played) *played = result.line[0];
    return result.score;
}

TEST(RootScores, MatesStalemateAndDraws) {
    Move played = 1;
    EXPECT_EQ(search(GameLine("R5k1/5ppp/8/8/8/8/8/6K1 b - -").now(), 3, "", &played), -MATE_SCORE);
    EXPECT_EQ(played, 0u) << "no move to play";
    EXPECT_EQ(search(GameLine("7k/5Q2/6K1/8/8/8/8/8 b - -").now(), 3), 0) << "stalemate";
    // Back rank; Opera game: 16.Qb8+ Nxb8 17.Rd8 mate; Reti-Tartakower: 9.Qd8+ Kxd8 10.Bg5+ Kc7 11.Bd8 mate.
    for (const auto& [fen, depth, score] : {std::tuple{"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", 4, MATE_SCORE - 1},
                                            {"4kb1r/p2n1ppp/4q3/4p1B1/4P3/1Q6/PPP2PPP/2KR4 w k -", 6, MATE_SCORE - 3},
                                            {"rnb1kb1r/pp3ppp/2p5/4q3/4n3/3Q4/PPPB1PPP/2KR1BNR w kq -", 8, MATE_SCORE - 5}})
        EXPECT_EQ(search(GameLine(fen).now(), depth), score) << fen;
    // After Nf3 Nf6 Ng1 the knight's way back repeats the start position: phase 96 x -48 / 48.
    GameLine g("", {"g1f3", "g8f6", "f3g1"});
    EXPECT_EQ(search(g.now(), 5, "f6g8", nullptr, -48), -96);
    // Any move that is not a pawn move or capture completes the hundredth ply: phase 9 (a rook) x -48 / 48.
    GameLine rook("4k3/8/8/8/8/8/8/R3K3 w - -");
    rook.now().rule50 = 99;
    EXPECT_EQ(search(rook.now(), 5, "", nullptr, -48), -9);
    rook.now().rule50 = 0;
    EXPECT_GT(search(rook.now(), 5), 200) << "with the clock reset the rook counts";
}

TEST(Quiescence, MatesAndDrawsByPly) {
    bench_session();
    tt_clear();
    Move pv[PV_SIZE];
    GameLine mated("6k1/5ppp/8/8/8/8/8/R5K1 w - -", {"a1a8"});
    mated.now().in_check = 1;
    EXPECT_EQ(qsearch(test_worker(), mated.now(), 100, 200, 0, 5, pv), 5 - MATE_SCORE) << "mated whatever the window";
    // Insufficient material scores the draw score by ply, but not at the first two plies.
    GameLine knk("4k3/8/8/8/8/8/8/4KN2 w - -", {"e1d1"});
    test_worker().opt.draw_score = 37;
    EXPECT_EQ(qsearch(test_worker(), knk.now(), -100, 100, 0, 3, pv), -37);
    EXPECT_EQ(qsearch(test_worker(), knk.now(), -100, 100, 0, 4, pv), 37);
    EXPECT_EQ(qsearch(test_worker(), knk.now(), -100, 100, 0, 2, pv), evaluate(knk.now(), test_worker().eval));
    test_worker().opt.draw_score = -12;
}

// Positions with one winning move: mates from games and classic combinations.
TEST(Tactics, SolvedAtModestDepth) {
    const std::vector<std::string> lines = read_data_lines("tactics.epd");
    ASSERT_GE(lines.size(), 20u);
    for (const std::string& line : lines) {
        const size_t semi = line.find(';');
        Move played = 0;
        search(GameLine(line.substr(0, semi).c_str()).now(), 9, "", &played);
        EXPECT_EQ(move_str(played), line.substr(semi + 1, line.find(' ', semi) - semi - 1)) << line;
    }
}

// ---- the engine binary ----

void wait_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The words of a line, each followed by a space, with the "time" and "nps" figures replaced by "-"
// and other numbers by "#"; a mate score reads as a centipawn one.
std::string shape(const std::string& line, bool keep_numbers = false) {
    std::istringstream in(line);
    std::string out, last;
    for (std::string w; in >> w; last = w) {
        const bool number = w.find_first_not_of("0123456789", w[0] == '-') == std::string::npos;
        out += (last == "time" || last == "nps" ? "-" : keep_numbers ? w : number ? "#" : w == "mate" ? "cp" : w) + " ";
    }
    return out;
}

// A mate ends a fixed-depth search at once, with its score line; an infinite one waits for quit,
// then plays its move. (Stop, isready during a search and end of input are in the protocol tests.)
TEST(EngineSearch, MateEndsADepthSearchButNotAnInfiniteOne) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    std::vector<std::string> lines = send_and_read(
        e, "setoption name OwnBook value false\nposition fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\ngo depth 40",
        "bestmove", 2000);
    EXPECT_EQ(bestmove_of(lines), "d1d8");
    EXPECT_TRUE(any_line_has(lines, " mate 1 "));
    ASSERT_TRUE(engine_send(e, "go infinite"));
    wait_ms(300);
    EXPECT_FALSE(found_line(engine_read_until(e, "bestmove", 50), "bestmove"));
    EXPECT_EQ(bestmove_of(send_and_read(e, "quit", "bestmove", 3000)), "d1d8");
    EXPECT_EQ(engine_wait_exit(e, 3000), 0);
}

TEST(EngineSearch, ReportsMultiPv) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    std::vector<std::string> lines =
        send_and_read(e, "setoption name OwnBook value false\nposition startpos\ngo depth 1", "bestmove");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(shape(lines[0]) + shape(lines[1]) + shape(lines[2]),
              "info depth # info depth # time - nodes # score cp # nps - seldepth # hashfull # tbhits # pv " +
                  bestmove_of(lines) + " info nodes # ");
    std::set<std::string> numbered;
    for (const std::string& l : send_and_read(e, "setoption name MultiPV value 3\ngo depth 6", "bestmove")) {
        EXPECT_NE(shape(l).rfind("info depth # time ", 0), 0u) << "no plain score lines: " << l;
        if (l.rfind("info multipv ", 0) != 0) continue;
        EXPECT_EQ(shape(l).rfind("info multipv # score cp # depth # time - nodes # nps - seldepth # hashfull # tbhits # pv ", 0), 0u)
            << l;
        numbered.insert(l.substr(13, 2));
    }
    EXPECT_EQ(numbered, (std::set<std::string>{"1 ", "2 ", "3 "}));
}

TEST(EngineSearch, PonderhitKeepsTheBudgetOfThePonderStart) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    ASSERT_TRUE(engine_send(e, "setoption name OwnBook value false\nposition startpos moves d2d4"));
    // Pondering past the move time: nothing until ponderhit, then the move at once.
    ASSERT_TRUE(engine_send(e, "go ponder movetime 300"));
    wait_ms(800);
    EXPECT_FALSE(found_line(engine_read_until(e, "bestmove", 50), "bestmove")) << "a ponder search waits";
    long long hit = pipe_now_ms();
    std::vector<std::string> lines = send_and_read(e, "ponderhit", "bestmove", 3000);
    EXPECT_LT(pipe_now_ms() - hit, 400) << "the time was spent while pondering";
    EXPECT_NE(lines.back().find(" ponder "), std::string::npos) << lines.back();
    // An early ponderhit: the search still runs until the budget is spent.
    hit = pipe_now_ms();
    ASSERT_TRUE(engine_send(e, "go ponder movetime 1000"));
    wait_ms(150);
    EXPECT_TRUE(found_line(send_and_read(e, "ponderhit", "bestmove", 5000), "bestmove"));
    EXPECT_GE(pipe_now_ms() - hit, 850);
    EXPECT_LT(pipe_now_ms() - hit, 2000);
}

// After ucinewgame, or with Deterministic on, a search repeats exactly what a fresh start does,
// whatever was searched before it.
TEST(EngineSearch, NewGameAndDeterministicSearchesRepeatExactly) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    ASSERT_TRUE(engine_send(e, "setoption name OwnBook value false"));
    std::vector<std::string> runs[4];
    for (int run = 0; run < 4; run++) {
        const std::string reset = run < 2 ? "ucinewgame\n" : "setoption name Deterministic value true\n";
        for (const std::string& l :
             send_and_read(e, reset + "position startpos moves e2e4 e7e5 g1f3 b8c6\ngo depth 10", "bestmove", 60000))
            if (l.rfind("info depth ", 0) == 0) runs[run].push_back(shape(l, true));
        send_and_read(e, "position startpos moves d2d4\ngo depth 7", "bestmove", 60000);  // must leave nothing behind
    }
    ASSERT_GE(runs[0].size(), 10u);
    for (int run = 1; run < 4; run++) EXPECT_EQ(runs[0], runs[run]) << run;
}

}  // namespace

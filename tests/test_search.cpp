// The searches: scores of mates, stalemates and draws, the search tables, tactics at fixed depth,
// and the engine binary's stop, ponder, infinite, multi-PV and deterministic behaviour.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "board/draw.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "engine_pipe.h"
#include "eval/endgame.h"
#include "eval/evaluate.h"
#include "eval/tables.h"
#include "search/search.h"
#include "search/state.h"
#include "search/tt.h"
#include "shell/driver.h"
#include "shell/options.h"
#include "support.h"

namespace {

void init_search() {
    static bool done = false;
    if (done) return;
    done = true;
    init_engine_tables();
    build_ending_hash();
    buildEvalTables();
    tt_allocate(16);
    rebuild_search_tables();
    bench_mode = 1;  // the driver prints nothing and starts every search from cleared tables
}

std::string text(Move m) {
    char t[MOVE_TEXT_SIZE];
    move_to_text(m, t);
    return t;
}

// A game position reached from a FEN by move texts, kept alive for the repetition chain.
struct Game {
    std::vector<Position> line = std::vector<Position>(64);
    int index = 0;
    explicit Game(const char* fen, const std::vector<std::string>& moves = {}) {
        init_search();
        position_from_fen(line[0], fen);
        for (const std::string& m : moves) {
            EXPECT_TRUE(apply_move_text(line[index], line[index + 1], m.c_str())) << m;
            index++;
        }
    }
    Position& now() { return line[index]; }
};

struct Outcome {
    int score;
    std::string best;
};

Outcome search(Position& pos, int depth, const char* moves = "") {
    init_search();
    char list[SEARCHMOVES_SIZE];
    snprintf(list, sizeof list, "%s", moves);
    const int score = search_driver(pos, ONE_YEAR, depth, list);
    return {score, best_move_text};
}

Outcome search_fen(const char* fen, int depth) {
    Game g(fen);
    return search(g.now(), depth);
}

// A position made by one move from a FEN, so that it has a parent as every searched node has.
struct Node {
    Position parent, pos;
    explicit Node(const char* fen, const char* move) {
        init_search();
        position_from_fen(parent, fen);
        parent.phase = int16_t(compute_phase(parent));
        parent.pst = compute_pst(parent);
        EXPECT_TRUE(apply_move_text(parent, pos, move));
    }
};

TEST(SearchTables, ReductionRows) {
    init_search();
    const int zw[][2] = {{1, 0}, {2, 0}, {3, 2}, {5, 3}, {7, 4}, {10, 4}, {11, 5}, {16, 6}, {22, 6}, {23, 7}, {35, 8}, {399, 8}};
    for (const auto& r : zw) EXPECT_EQ(lmr_table_zw[r[0]], r[1]) << r[0];
    const int pv[][2] = {{4, 0}, {5, 2}, {9, 2}, {10, 3}, {19, 3}, {20, 4}, {39, 4}, {40, 5}, {399, 5}};
    for (const auto& r : pv) EXPECT_EQ(lmr_table_pv[r[0]], r[1]) << r[0];
}

TEST(SearchTables, NullMoveReductionCurve) {
    const int rows[][2] = {{1, 15},    {10, 153},   {40, 595},   {80, 1093},  {100, 1290},
                           {120, 1452}, {160, 1684}, {200, 1822}, {300, 1960}, {600, 1999}};
    for (const auto& r : rows) EXPECT_NEAR(null_move_depth_table[r[0]], r[1], 1) << r[0];
    for (int x = 1; x < 640; x++) ASSERT_GE(null_move_depth_table[x], null_move_depth_table[x - 1]);
}

TEST(SearchTables, DrawnMaterial) {
    init_search();
    for (const char* fen : {"4k3/8/8/8/8/8/8/4K3 w - -", "4k3/8/8/8/8/8/8/4KN2 w - -", "4kb2/8/8/8/8/8/8/4K3 w - -",
                            "4k3/8/8/8/8/8/8/3NKN2 w - -", "4kn2/8/8/8/8/8/8/4KB2 w - -", "4kb2/8/8/8/8/8/8/4KB2 w - -"})
        EXPECT_TRUE(is_drawn_material_key(from_fen(fen).material_key)) << fen;
    for (const char* fen : {"4k3/8/8/8/8/8/8/4KR2 w - -", "4k3/8/8/8/8/8/8/3BKB2 w - -", "4k3/8/8/8/8/8/4P3/4K3 w - -"})
        EXPECT_FALSE(is_drawn_material_key(from_fen(fen).material_key)) << fen;
}

TEST(ScoreText, MatesCountMoves) {
    char t[32];
    const std::pair<int, const char*> rows[] = {{31999, "mate 1"}, {31998, "mate 2"}, {31997, "mate 2"},
                                                {-32000, "mate -1"}, {-31998, "mate -1"}, {-31997, "mate -2"},
                                                {31799, "cp 31799"}, {-57, "cp -57"}};
    for (const auto& r : rows) {
        score_to_text(r.first, t, sizeof t);
        EXPECT_STREQ(t, r.second) << r.first;
    }
}

TEST(TranspositionScores, MateScoresAreStoredRelativeToTheNode) {
    init_search();
    EXPECT_EQ(score_to_tt(31990, 4), 31994);
    EXPECT_EQ(score_from_tt(31994, 6), 31988);
    EXPECT_EQ(score_to_tt(-31990, 4), -31994);
    EXPECT_EQ(score_from_tt(-31994, 6), -31988);
    EXPECT_EQ(score_to_tt(250, 9), 250);
    tt_clear();
    const uint64_t key = 0x123456789ABCDEFULL;
    tt_store(key, 6, score_to_tt(31990, 4), BOUND_EXACT, 0);
    const TTEntry* e = tt_probe(key);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(score_from_tt(e->score, 6), 31988);
    tt_clear();
}

TEST(RootScores, MateAndStalemate) {
    const Outcome mated = search_fen("R5k1/5ppp/8/8/8/8/8/6K1 b - -", 3);
    EXPECT_EQ(mated.score, -MATE_SCORE);
    EXPECT_EQ(mated.best, "ZZZZ") << "no move to play";
    const Outcome stalemate = search_fen("7k/5Q2/6K1/8/8/8/8/8 b - -", 3);
    EXPECT_EQ(stalemate.score, 0);
    const Outcome mate_in_1 = search_fen("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", 4);
    EXPECT_EQ(mate_in_1.score, MATE_SCORE - 1);
    EXPECT_EQ(mate_in_1.best, "d1d8");
}

TEST(RootScores, MateInTwoAndThreeFromGames) {
    // Opera game: 16.Qb8+ Nxb8 17.Rd8 mate.
    Game opera("", {"e2e4", "e7e5", "g1f3", "d7d6", "d2d4", "c8g4", "d4e5", "g4f3", "d1f3", "d6e5",
                    "f1c4", "g8f6", "f3b3", "d8e7", "b1c3", "c7c6", "c1g5", "b7b5", "c3b5", "c6b5",
                    "c4b5", "b8d7", "e1c1", "a8d8", "d1d7", "d8d7", "h1d1", "e7e6", "b5d7", "f6d7"});
    const Outcome two = search(opera.now(), 6);
    EXPECT_EQ(two.best, "b3b8");
    EXPECT_EQ(two.score, MATE_SCORE - 3);
    // Reti-Tartakower: 9.Qd8+ Kxd8 10.Bg5+ Kc7 11.Bd8 mate.
    Game reti("", {"e2e4", "c7c6", "d2d4", "d7d5", "b1c3", "d5e4", "c3e4", "g8f6", "d1d3", "e7e5", "d4e5",
                   "d8a5", "c1d2", "a5e5", "e1c1", "f6e4"});
    const Outcome three = search(reti.now(), 8);
    EXPECT_EQ(three.best, "d3d8");
    EXPECT_EQ(three.score, MATE_SCORE - 5);
}

TEST(RootScores, RepetitionScoresTheDrawScore) {
    // After Nf3 Nf6 Ng1, the knight's way back repeats the start position.
    Game g("", {"g1f3", "g8f6", "f3g1"});
    drawscore_option = -48;
    const Outcome back = search(g.now(), 5, "f6g8");
    drawscore_option = -7;
    EXPECT_EQ(back.best, "f6g8");
    EXPECT_EQ(back.score, -96) << "phase 96 times -48 / 48";
    EXPECT_EQ(draw_score, -96);
}

TEST(RootScores, FiftyMoveRuleScoresTheDrawScore) {
    Game g("4k3/8/8/8/8/8/8/R3K3 w - -");
    g.now().rule50 = 99;  // any move that is not a pawn move or capture completes the hundredth ply
    drawscore_option = -48;
    const Outcome o = search(g.now(), 5);
    drawscore_option = -7;
    EXPECT_EQ(o.score, -9) << "phase 9 (a rook) times -48 / 48";
    g.now().rule50 = 0;
    EXPECT_GT(search(g.now(), 5).score, 200) << "with the clock reset the rook counts";
}

TEST(Quiescence, StandsPatAndFindsMates) {
    init_search();
    tt_clear();
    Node quiet("4k3/8/8/8/8/8/4P3/4K3 w - -", "e1d1");
    Move pv[2];
    const int eval = evaluate(quiet.pos);
    EXPECT_EQ(qsearch(quiet.pos, -INFINITE_SCORE, eval, 0, 1, pv), eval) << "eval at beta stands pat";
    Node mated("6k1/5ppp/8/8/8/8/8/R5K1 w - -", "a1a8");
    mated.pos.in_check = 1;
    EXPECT_EQ(qsearch(mated.pos, 100, 200, 0, 5, pv), 5 - MATE_SCORE) << "mated whatever the window";
    EXPECT_EQ(qsearch(mated.pos, -30000, 30000, -20, 3, pv), 3 - MATE_SCORE);
}

TEST(Quiescence, InsufficientMaterialScoresTheDrawScoreByPly) {
    init_search();
    Node knk("4k3/8/8/8/8/8/8/4KN2 w - -", "e1d1");
    Move pv[2];
    draw_score = 37;
    EXPECT_EQ(qsearch(knk.pos, -100, 100, 0, 3, pv), -37);
    EXPECT_EQ(qsearch(knk.pos, -100, 100, 0, 4, pv), 37);
    EXPECT_EQ(qsearch(knk.pos, -100, 100, 0, 2, pv), evaluate(knk.pos)) << "not at the first two plies";
    draw_score = -12;
}

TEST(Searches, StoppedSearchesReturnZero) {
    init_search();
    Node n("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -", "f1b5");
    Move pv[PV_SIZE];
    stop_search = 1;
    EXPECT_EQ(qsearch(n.pos, -500, 500, 0, 1, pv), 0);
    EXPECT_EQ(zw_search(n.pos, 30, 8, 1, pv, 0, 0), 0);
    EXPECT_EQ(pv_search(n.pos, -500, 500, 8, 1, pv), 0);
    stop_search = 0;
}

// Positions with one winning move: mates from games and classic combinations.
struct Tactic {
    const char* name;
    const char* fen;  // "" for the start position
    std::vector<std::string> moves;
    const char* solution;
};

const std::vector<Tactic>& tactics() {
    static const std::vector<Tactic> t = {
        {"legal mate in 2", "", {"e2e4", "e7e5", "g1f3", "d7d6", "f1c4", "c8g4", "b1c3", "g7g6", "f3e5", "g4d1"}, "c4f7"},
        {"scholar mate in 1", "", {"e2e4", "e7e5", "f1c4", "b8c6", "d1h5", "g8f6"}, "h5f7"},
        {"fool mate in 1", "", {"f2f3", "e7e5", "g2g4"}, "d8h4"},
        {"smothered in 1", "", {"e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "c6d4", "f3e5", "d8g5", "e5f7", "g5g2",
                                "h1f1", "g2e4", "c4e2"}, "d4f3"},
        {"knight underpromotion", "", {"d2d4", "d7d5", "c2c4", "e7e5", "d4e5", "d5d4", "e2e3", "f8b4", "c1d2",
                                        "d4e3", "d2b4", "e3f2", "e1e2"}, "f2g1n"},
        {"fork", "r3k3/8/8/1N6/8/8/5PPP/6K1 w - -", {}, "b5c7"},
        {"smothered knight", "6rk/6pp/8/6N1/8/8/6PP/6K1 w - -", {}, "g5f7"},
        {"queen sac mate", "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - -", {}, "g3g6"},
        {"rook lift", "5rk1/1ppb3p/p1pb4/6q1/3P1p1r/2P1R2P/PP1BQ1P1/5RKN w - -", {}, "e3g3"},
        {"queen takes h7", "r1bq2rk/pp3pbp/2p1p1pQ/7P/3P4/2PB1N2/PP3PPR/2KR4 w - -", {}, "h6h7"},
        {"queen check mates", "5k2/6pp/p1qN4/1p1p4/3P4/2PKP2Q/PP3r2/3R4 b - -", {}, "c6c4"},
        {"rook endgame", "7k/p7/1R5K/6r1/6p1/6P1/8/8 w - -", {}, "b6b7"},
        {"knight trap", "rnbqkb1r/pppp1ppp/8/4P3/6n1/7P/PPPNPPP1/R1BQKBNR b KQkq -", {}, "g4e3"},
        {"bishop check", "3q1rk1/p4pp1/2pb3p/3p4/6Pr/1PNQ4/P1PB1PP1/4RRK1 b - -", {}, "d6h2"},
        {"rook sac", "2br2k1/2q3rn/p2NppQ1/2p1P3/Pp5R/4P3/1P3PPP/3R2K1 w - -", {}, "h4h7"},
        {"bishop takes", "r1b1kb1r/3q1ppp/pBp1pn2/8/Np3P2/5B2/PPP3PP/R2Q1RK1 w kq -", {}, "f3c6"},
        {"queen takes knight", "4k1r1/2p3r1/1pR1p3/3pP2p/3P2qP/P4N2/1PQ4P/5R1K b - -", {}, "g4f3"},
        {"mate in 4", "r2rb1k1/pp1q1p1p/2n1p1p1/2bp4/5P2/PP1BPR1Q/1BPN2PP/R5K1 w - -", {}, "h3h7"},
        {"knight defends", "r4rk1/ppp2ppp/2n5/2bqp3/8/P2PB3/1PP1NPPP/R2Q1RK1 w - -", {}, "e2c3"},
        {"skewer", "R7/P4k2/8/8/8/8/r7/6K1 w - -", {}, "a8h8"},
        {"queen to h6", "5rk1/1b3p1p/pp3p2/3n1N2/1P6/P1qB1PP1/3Q3P/4R1K1 w - -", {}, "d2h6"},
        {"bishop centre", "6k1/1b1nqpbp/pp4p1/5P2/1PN5/4Q3/P5PP/1B2B1K1 b - -", {}, "g7d4"},
        {"queen check wins", "3R1rk1/8/5Qpp/2p5/2P1p1q1/P3P3/1P2PK2/8 b - -", {}, "g4h4"},
    };
    return t;
}

#ifdef QUORIL_SANITIZE
constexpr int TACTIC_DEPTH = 8;
#else
constexpr int TACTIC_DEPTH = 9;
#endif

TEST(Tactics, SolvedAtModestDepth) {
    int solved = 0;
    for (const Tactic& t : tactics()) {
        Game g(t.fen, t.moves);
        const Outcome o = search(g.now(), TACTIC_DEPTH);
        EXPECT_EQ(o.best, t.solution) << t.name;
        solved += o.best == t.solution;
    }
    EXPECT_EQ(solved, int(tactics().size()));
}

// ---- the engine binary ----

std::vector<std::string> send_and_read(EnginePipe& e, const std::string& cmds, const std::string& until, int ms = 20000) {
    EXPECT_TRUE(engine_send(e, cmds));
    return engine_read_until(e, until, ms);
}

bool is_legal_text(const Position& pos, const std::string& move) {
    Move moves[MAX_MOVES];
    const int n = generate_legal_moves(pos, moves);
    for (int i = 0; i < n; i++)
        if (text(moves[i]) == move) return true;
    return false;
}

std::string best_of(const std::vector<std::string>& lines) {
    if (lines.empty() || lines.back().compare(0, 9, "bestmove ") != 0) return "";
    const std::string rest = lines.back().substr(9);
    return rest.substr(0, rest.find(' '));
}

long long now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TEST(EngineSearch, StopEndsAnInfiniteSearchWithALegalMove) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    ASSERT_TRUE(engine_send(e, "setoption name OwnBook value false\nposition startpos moves e2e4 c7c5\ngo infinite"));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_FALSE(found_line(engine_read_until(e, "bestmove", 100), "bestmove")) << "infinite waits for stop";
    const std::vector<std::string> lines = send_and_read(e, "isready\nstop", "bestmove", 3000);
    EXPECT_TRUE(found_line(lines, "readyok")) << "isready is answered while searching";
    Game g("", {"e2e4", "c7c5"});
    EXPECT_TRUE(is_legal_text(g.now(), best_of(lines))) << (lines.empty() ? "" : lines.back());
    EXPECT_TRUE(engine_alive(e));
}

TEST(EngineSearch, InfiniteKeepsSearchingAfterAMateAndDepthStopsAtOnce) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    ASSERT_TRUE(engine_send(e, "position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\ngo infinite"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::vector<std::string> lines = engine_read_until(e, "bestmove", 100);
    EXPECT_FALSE(found_line(lines, "bestmove"));
    lines = send_and_read(e, "stop", "bestmove", 3000);
    EXPECT_EQ(best_of(lines), "d1d8");
    const long long start = now_ms();
    lines = send_and_read(e, "go depth 40", "bestmove", 5000);
    EXPECT_EQ(best_of(lines), "d1d8");
    EXPECT_LT(now_ms() - start, 2000) << "a mate ends a fixed-depth search";
    EXPECT_TRUE(found_line(lines, "info depth 1 time")) << "with its score line";
    bool mate_line = false;
    for (const std::string& l : lines) mate_line |= l.find("score mate 1 ") != std::string::npos;
    EXPECT_TRUE(mate_line);
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

bool is_number(const std::string& w) {
    size_t i = w[0] == '-' ? 1 : 0;
    return i < w.size() && w.find_first_not_of("0123456789", i) == std::string::npos;
}

// Whether the words of line follow the pattern, where "#" stands for a number and "*" for any rest.
bool matches(const std::string& line, const std::vector<std::string>& pattern) {
    const std::vector<std::string> w = words(line);
    for (size_t i = 0; i < pattern.size(); i++) {
        if (pattern[i] == "*") return i < w.size();
        if (i >= w.size()) return false;
        if (pattern[i] == "#" ? !is_number(w[i]) : w[i] != pattern[i]) return false;
    }
    return w.size() == pattern.size();
}

TEST(EngineSearch, DepthOneReport) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    const std::vector<std::string> lines =
        send_and_read(e, "setoption name OwnBook value false\nposition startpos\ngo depth 1", "bestmove");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "info depth 1");
    EXPECT_TRUE(matches(lines[1], {"info", "depth", "1", "time", "#", "nodes", "#", "score", "cp", "#", "nps", "#", "pv", "*"}))
        << lines[1];
    EXPECT_EQ(words(lines[1]).size(), 14u) << "a one-move line at depth 1";
    EXPECT_EQ(lines[1].back(), ' ') << "each pv move is followed by a space";
    EXPECT_TRUE(matches(lines[2], {"info", "nodes", "#"})) << lines[2];
    EXPECT_TRUE(matches(lines[3], {"bestmove", "*"})) << lines[3];
    EXPECT_EQ(words(lines[3]).size(), 2u);
}

TEST(EngineSearch, PonderhitKeepsTheBudgetOfThePonderStart) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    ASSERT_TRUE(engine_send(e, "setoption name OwnBook value false\nposition startpos moves d2d4"));
    // Pondering past the move time: nothing until ponderhit, then the move at once.
    long long start = now_ms();
    ASSERT_TRUE(engine_send(e, "go ponder movetime 400"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    EXPECT_FALSE(found_line(engine_read_until(e, "bestmove", 50), "bestmove")) << "a ponder search waits";
    long long hit = now_ms();
    std::vector<std::string> lines = send_and_read(e, "ponderhit", "bestmove", 3000);
    EXPECT_TRUE(found_line(lines, "bestmove"));
    EXPECT_LT(now_ms() - hit, 400) << "the time was spent while pondering";
    EXPECT_NE(lines.back().find(" ponder "), std::string::npos) << lines.back();
    // An early ponderhit: the search still ends on the budget counted from the ponder start.
    start = now_ms();
    ASSERT_TRUE(engine_send(e, "go ponder movetime 1500"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    lines = send_and_read(e, "ponderhit", "bestmove", 5000);
    const long long took = now_ms() - start;
    EXPECT_TRUE(found_line(lines, "bestmove"));
    EXPECT_GE(took, 1300);
    EXPECT_LT(took, 2500);
    // A stop during pondering ends it at once.
    ASSERT_TRUE(engine_send(e, "go ponder wtime 60000 btime 60000"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    hit = now_ms();
    lines = send_and_read(e, "stop", "bestmove", 3000);
    EXPECT_TRUE(found_line(lines, "bestmove"));
    EXPECT_LT(now_ms() - hit, 400);
}

// Info lines without their timing fields.
std::vector<std::string> depth_lines(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& l : lines) {
        if (l.compare(0, 11, "info depth ") != 0) continue;
        const std::vector<std::string> w = words(l);
        std::string kept;
        for (size_t i = 0; i < w.size(); i++) {
            if ((w[i] == "time" || w[i] == "nps") && i + 1 < w.size()) {
                i++;
                continue;
            }
            kept += w[i] + " ";
        }
        out.push_back(kept);
    }
    return out;
}

TEST(EngineSearch, DeterministicSearchesRepeatExactly) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    ASSERT_TRUE(engine_send(e, "setoption name OwnBook value false\nsetoption name Deterministic value true"));
    const std::string go = "position startpos moves e2e4 e7e5 g1f3 b8c6\ngo depth 10";
    const std::vector<std::string> first = depth_lines(send_and_read(e, go, "bestmove", 60000));
    // Another search in between must leave nothing behind.
    send_and_read(e, "position startpos moves d2d4\ngo depth 7", "bestmove", 60000);
    const std::vector<std::string> second = depth_lines(send_and_read(e, go, "bestmove", 60000));
    ASSERT_GE(first.size(), 10u);
    EXPECT_EQ(first, second);
}

TEST(EngineSearch, MultiPvReportsNumberedLines) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    const std::vector<std::string> lines = send_and_read(
        e, "setoption name OwnBook value false\nsetoption name MultiPV value 3\nposition startpos\ngo depth 6", "bestmove");
    bool numbered[4] = {false, false, false, false};
    for (const std::string& l : lines) {
        for (const char* kind : {"cp", "mate"})
            if (matches(l, {"info", "multipv", "#", "score", kind, "#", "depth", "#", "time", "#", "nodes", "#", "nps", "#",
                            "pv", "*"})) {
                const int n = std::stoi(words(l)[2]);
                ASSERT_TRUE(n >= 1 && n <= 3) << l;
                numbered[n] = true;
            }
        EXPECT_FALSE(matches(l, {"info", "depth", "#", "time", "*"})) << "no plain score lines: " << l;
    }
    EXPECT_TRUE(numbered[1] && numbered[2] && numbered[3]);
    EXPECT_TRUE(is_legal_text(from_fen(""), best_of(lines)));
}

TEST(EngineSearch, NodeLimitAndSearchmoves) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    std::vector<std::string> lines =
        send_and_read(e, "setoption name OwnBook value false\nposition startpos\ngo nodes 20000", "bestmove");
    EXPECT_TRUE(is_legal_text(from_fen(""), best_of(lines)));
    lines = send_and_read(e, "go depth 6 searchmoves a2a3 h2h4", "bestmove");
    const std::string best = best_of(lines);
    EXPECT_TRUE(best == "a2a3" || best == "h2h4") << best;
}

TEST(EngineSearch, QuitEndsARunningSearch) {
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    ASSERT_TRUE(engine_send(e, "setoption name OwnBook value false\nposition startpos\ngo infinite"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(engine_send(e, "quit"));
    EXPECT_EQ(engine_wait_exit(e, 3000), 0);
}

}  // namespace

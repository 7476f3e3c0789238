// Pawn structure, passed pawns, king shelter and the pawn table.
#include <gtest/gtest.h>

#include <tuple>

#include "eval_support.h"

namespace {

std::vector<int> passers(const PawnEntry& e, int side) {
    std::vector<int> v;
    for (Bitboard b = e.passed[side]; b;) v.push_back(pop_lsb(b));
    return v;
}

// Net count (white minus black) of each term; shelter and storm are sums of rank entries.
TEST(Pawns, TermCounts) {
    const std::tuple<const char*, const char*, int> rows[] = {
        {"4k3/pp6/8/8/8/8/P1P2P1P/4K3 w - -", "islands", 3},
        // Three white pawns on the c-file against g7 and h7, which stand side by side.
        {"4k3/6pp/8/8/2P5/2P5/2P5/4K3 w - -", "pdoubled", 2},
        {"4k3/6pp/8/8/2P5/2P5/2P5/4K3 w - -", "pdoubndef", 1},
        {"4k3/6pp/8/8/2P5/2P5/2P5/4K3 w - -", "isoo", 3},
        {"4k3/6pp/8/8/2P5/2P5/2P5/4K3 w - -", "duofended", -2},
        {"4k3/2p3pp/8/8/2P5/2P5/2P5/4K3 w - -", "isoh", 3 - 1},  // facing an enemy on the file
        // The front pawn of a doubled file is defended only when a pawn attacks it.
        {"4k3/6pp/8/8/2PP4/2P5/8/4K3 w - -", "duofended", 1 - 2},
        {"4k3/6pp/8/8/2P5/1PP5/8/4K3 w - -", "pdoubndef", 0},
        // d3 cannot be defended and its stop square is hit by c5 on a file without black pawns.
        {"4k3/8/8/2p5/4P3/3P4/8/4K3 w - -", "pbkwd", 1},
        {"4k3/8/8/2p5/4P3/3P4/8/4K3 w - -", "blockedopen", 1},
        {"4k3/8/8/2p5/4P3/3P4/8/4K3 w - -", "predundant", 4 - 2},
        {"4k3/8/8/8/P6P/8/8/4K3 w - -", "twopassed", 1},
        {"k7/8/8/8/8/8/6PP/7K w - -", "luftp", 1},
        {"k7/8/8/8/8/5PPP/8/6K1 w - -", "luftp", 0},
        // f2 g2 h2: from e1 only f2 counts (27); from g1 f2 + 2 x g2 + h2; on the third rank 22 each.
        {"k7/8/8/8/8/8/5PPP/4K3 w - -", "shelter", 108},
        {"k7/8/8/8/8/5PPP/8/6K1 w - -", "shelter", 88},
        {"6k1/8/7P/6P1/8/8/8/K7 w - -", "storm", 45 + 13},
    };
    for (const auto& [fen, name, count] : rows)
        EXPECT_EQ(pair_open(pawn_delta(fen, name, 1, 0)), count) << name << " " << fen;
    // The square ahead of e4: white king 4 steps away (x 3), black king 3 (x 4).
    EXPECT_EQ(pair_end(pawn_delta("4k3/8/8/8/4P3/8/8/4K3 w - -", "kppdist", 0, 1)), -1);
}

TEST(Pawns, PassedBlockedAndCandidates) {
    const PawnEntry* e;
    pawns_of("4k3/8/8/2p5/4P3/3P4/8/4K3 w - -", e);
    EXPECT_EQ(passers(*e, WHITE), std::vector<int>({28}));
    EXPECT_TRUE(passers(*e, BLACK).empty());
    pawns_of("4k3/8/4p3/4P3/8/8/8/4K3 w - -", e);
    EXPECT_EQ(passer_count(*e, WHITE) + passer_count(*e, BLACK), 0) << "blocked";
    pawns_of("4k3/8/8/3pP3/8/8/8/4K3 w - -", e);
    EXPECT_EQ(passers(*e, WHITE), std::vector<int>({36})) << "side by side both are passed";
    EXPECT_EQ(passers(*e, BLACK), std::vector<int>({35}));
    // Passers on a4 and h4 are not connected; on a4 and b4 they collect their square entries.
    ScorePair saved[64];
    std::copy(connected_passer[WHITE], connected_passer[WHITE] + 64, saved);
    const ScorePair far = pawns_of("4k3/8/8/8/P6P/8/8/4K3 w - -", e), near = pawns_of("4k3/8/8/8/PP6/8/8/4K3 w - -", e);
    std::fill(connected_passer[WHITE], connected_passer[WHITE] + 64, make_pair_score(1000, 0));
    EXPECT_EQ(pawns_of("4k3/8/8/8/P6P/8/8/4K3 w - -", e), far);
    EXPECT_EQ(pair_open(pawns_of("4k3/8/8/8/PP6/8/8/4K3 w - -", e)) - pair_open(near),
              2000 - pair_open(saved[24]) - pair_open(saved[25]));
    std::copy(saved, saved + 64, connected_passer[WHITE]);
    // a4 backed by b4 faces only b7 ahead: a candidate; a second enemy pawn stops it.
    const ScorePair cand = pawns_of("4k3/1p6/8/8/PP6/8/8/4K3 w - -", e),
                    stopped = pawns_of("4k3/1p6/1p6/8/PP6/8/8/4K3 w - -", e);
    candidate_passer[WHITE][24] = pair_add(candidate_passer[WHITE][24], make_pair_score(1000, 0));
    EXPECT_EQ(pair_open(pawns_of("4k3/1p6/8/8/PP6/8/8/4K3 w - -", e)) - pair_open(cand), 1000);
    EXPECT_EQ(pawns_of("4k3/1p6/1p6/8/PP6/8/8/4K3 w - -", e), stopped);
    candidate_passer[WHITE][24] = pair_sub(candidate_passer[WHITE][24], make_pair_score(1000, 0));
}

TEST(Pawns, TableRemembersScoreAndPassers) {
    Position p = eval_position("4k3/8/8/8/P6P/8/8/4K3 w - -"), q = eval_position("3k4/8/8/8/P6P/8/8/4K3 w - -");
    const PawnEntry *first, *second, *third;
    pawn_table_clear(test_worker().eval.pawns);
    const uint64_t hits = test_worker().eval.pawns.hits;
    EXPECT_EQ(evaluatePawns(p, test_worker().eval.pawns, first), evaluatePawns(p, test_worker().eval.pawns, second));
    EXPECT_EQ(first, second);
    EXPECT_EQ(passers(*second, WHITE), std::vector<int>({24, 31}));
    evaluatePawns(q, test_worker().eval.pawns, third);  // a king move changes the key: a miss
    EXPECT_EQ(test_worker().eval.pawns.hits, hits + 1);
}

}  // namespace

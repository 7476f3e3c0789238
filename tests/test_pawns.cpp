// Pawn structure, passed pawns, king shelter and the pawn table.
#include <gtest/gtest.h>

#include "eval_support.h"

namespace {

// Net count (white minus black) of a pawn term, read from the opening half.
int count_of(const char* fen, const char* name) { return pair_open(pawn_delta(fen, name, 1000, 1000)) / 1000; }

std::vector<int> passers(const PawnEntry& e, int side) {
    std::vector<int> v;
    for (int i = 0; i < passer_count(e, side); i++) v.push_back(e.passed[side][i]);
    return v;
}

TEST(Pawns, NoPawnsLeavesOnlyKingTerms) {
    Position p = eval_position("4k3/8/8/8/8/8/8/4K3 w - -");
    const PawnEntry* e;
    pawn_table_clear();
    EXPECT_EQ(evaluatePawns(p, e), 0u);
    EXPECT_EQ(passer_count(*e, WHITE), 0);
    EXPECT_EQ(passer_count(*e, BLACK), 0);
}

TEST(Pawns, Islands) {
    EXPECT_EQ(count_of("4k3/pp6/8/8/8/8/P1P2P1P/4K3 w - -", "islands"), 3);
    EXPECT_EQ(count_of("4k3/pp6/8/8/8/8/2PPP3/4K3 w - -", "islands"), 0);
    EXPECT_EQ(count_of("4k3/p1p4p/8/8/8/8/PP6/4K3 w - -", "islands"), -2);
}

TEST(Pawns, DoubledAndIsolated) {
    // Three white pawns on the c-file against g7 and h7.
    const char* fen = "4k3/6pp/8/8/2P5/2P5/2P5/4K3 w - -";
    EXPECT_EQ(count_of(fen, "pdoubled"), 2);
    EXPECT_EQ(count_of(fen, "pdoubndef"), 1);
    EXPECT_EQ(count_of(fen, "isoo"), 3);
    EXPECT_EQ(count_of(fen, "isoh"), 0);
    EXPECT_EQ(count_of(fen, "disoo"), 1);
    EXPECT_EQ(count_of(fen, "disoh"), 0);
    // g7 and h7 stand side by side.
    EXPECT_EQ(count_of(fen, "duofended"), -2);
    // With a black c-pawn the isolated pawns face an enemy on their file.
    const char* facing = "4k3/2p3pp/8/8/2P5/2P5/2P5/4K3 w - -";
    EXPECT_EQ(count_of(facing, "isoh"), 3 - 1);
    EXPECT_EQ(count_of(facing, "disoh"), 1);
    // The front pawn of a doubled file counts as defended only when a pawn attacks it, not
    // for standing beside one; d4 beside it does count.
    EXPECT_EQ(count_of("4k3/6pp/8/8/2PP4/2P5/8/4K3 w - -", "duofended"), 1 - 2);
    // A defended front pawn of a doubled file is no weakness.
    EXPECT_EQ(count_of("4k3/6pp/8/8/2P5/1PP5/8/4K3 w - -", "pdoubndef"), 0);
}

TEST(Pawns, BackwardAndDefended) {
    // d3 cannot be defended and its stop square d4 is hit by c5, on a file without black pawns.
    const char* fen = "4k3/8/8/2p5/4P3/3P4/8/4K3 w - -";
    EXPECT_EQ(count_of(fen, "pbkwd"), 1);
    EXPECT_EQ(count_of(fen, "blockedopen"), 1);
    EXPECT_EQ(count_of(fen, "duofended"), 1);
    EXPECT_EQ(count_of(fen, "isoo"), -1);
    EXPECT_EQ(count_of(fen, "predundant"), 4 - 2);
    const PawnEntry* e;
    Position p = eval_position(fen);
    evaluatePawns(p, e);
    EXPECT_EQ(passers(*e, WHITE), std::vector<int>({28}));
    EXPECT_TRUE(passers(*e, BLACK).empty());
}

TEST(Pawns, PassedPawnsAndKingDistance) {
    // The square ahead of e4 is e5: white king 4 steps away (x 3), black king 3 (x 4).
    EXPECT_EQ(pair_end(pawn_delta("4k3/8/8/8/4P3/8/8/4K3 w - -", "kppdist", 0, 1000)), -1000);
    // Passers on a4 and h4: two of them, not connected.
    const char* fen = "4k3/8/8/8/P6P/8/8/4K3 w - -";
    EXPECT_EQ(count_of(fen, "twopassed"), 1);
    Position p = eval_position(fen);
    const PawnEntry* e;
    pawn_table_clear();
    const ScorePair plain = evaluatePawns(p, e);
    EXPECT_EQ(passers(*e, WHITE), std::vector<int>({24, 31}));
    ScorePair saved[64];
    for (int s = 0; s < 64; s++) saved[s] = connected_passer[WHITE][s], connected_passer[WHITE][s] = make_pair_score(1000, 0);
    pawn_table_clear();
    EXPECT_EQ(evaluatePawns(p, e), plain);
    // Side by side they are connected: both collect their square entry.
    Position q = eval_position("4k3/8/8/8/PP6/8/8/4K3 w - -");
    pawn_table_clear();
    const ScorePair marked = evaluatePawns(q, e);
    for (int s = 0; s < 64; s++) connected_passer[WHITE][s] = saved[s];
    pawn_table_clear();
    EXPECT_EQ(pair_open(pair_sub(marked, evaluatePawns(q, e))),
              2 * 1000 - pair_open(connected_passer[WHITE][24]) - pair_open(connected_passer[WHITE][25]));
}

TEST(Pawns, BlockedPawnIsNotPassed) {
    Position p = eval_position("4k3/8/4p3/4P3/8/8/8/4K3 w - -");
    const PawnEntry* e;
    pawn_table_clear();
    evaluatePawns(p, e);
    EXPECT_EQ(passer_count(*e, WHITE), 0);
    EXPECT_EQ(passer_count(*e, BLACK), 0);
    // A black pawn beside, not ahead, leaves both passed.
    Position q = eval_position("4k3/8/8/3pP3/8/8/8/4K3 w - -");
    pawn_table_clear();
    evaluatePawns(q, e);
    EXPECT_EQ(passers(*e, WHITE), std::vector<int>({36}));
    EXPECT_EQ(passers(*e, BLACK), std::vector<int>({35}));
}

TEST(Pawns, CandidatePasser) {
    // a4 is backed by b4 and faces only b7 on the adjacent files ahead.
    Position p = eval_position("4k3/1p6/8/8/PP6/8/8/4K3 w - -");
    const PawnEntry* e;
    pawn_table_clear();
    const ScorePair plain = evaluatePawns(p, e);
    const ScorePair saved = candidate_passer[WHITE][24];
    candidate_passer[WHITE][24] = pair_add(saved, make_pair_score(1000, 0));
    pawn_table_clear();
    const ScorePair marked = evaluatePawns(p, e);
    candidate_passer[WHITE][24] = saved;
    EXPECT_EQ(pair_open(pair_sub(marked, plain)), 1000);
    // Two enemy pawns on the adjacent files ahead stop it.
    Position q = eval_position("4k3/1p6/1p6/8/PP6/8/8/4K3 w - -");
    pawn_table_clear();
    const ScorePair plain_q = evaluatePawns(q, e);
    candidate_passer[WHITE][24] = pair_add(saved, make_pair_score(1000, 0));
    pawn_table_clear();
    const ScorePair marked_q = evaluatePawns(q, e);
    candidate_passer[WHITE][24] = saved;
    EXPECT_EQ(marked_q, plain_q);
}

TEST(Pawns, ShelterPrefersTheCastledFilesForAnUncastledKing) {
    // f2, g2, h2: from e1 only f2 counts (27); from g1 f2 + 2 x g2 + h2 (108).
    EXPECT_EQ(pair_open(pawn_delta("k7/8/8/8/8/8/5PPP/4K3 w - -", "shelter", 1, 0)), 108);
    EXPECT_EQ(pair_open(pawn_delta("k7/8/8/8/8/8/5PPP/5K2 w - -", "shelter", 1, 0)), 81);
    EXPECT_EQ(pair_open(pawn_delta("k7/8/8/8/8/8/5PPP/3K4 w - -", "shelter", 1, 0)), 0);
    EXPECT_EQ(pair_open(pawn_delta("4k3/5ppp/8/8/8/8/8/K7 w - -", "shelter", 1, 0)), -108);
    // Pawns on the third rank shelter less (22 each).
    EXPECT_EQ(pair_open(pawn_delta("k7/8/8/8/8/5PPP/8/6K1 w - -", "shelter", 1, 0)), 88);
}

TEST(Pawns, StormAgainstTheEnemyKing) {
    // h6 (sixth rank, 45) and g5 (fifth, 13) next to the g8 king.
    EXPECT_EQ(pair_open(pawn_delta("6k1/8/7P/6P1/8/8/8/K7 w - -", "storm", 1, 0)), 58);
    EXPECT_EQ(pair_open(pawn_delta("k7/8/8/8/6p1/7p/8/6K1 w - -", "storm", 1, 0)), -58);
}

TEST(Pawns, KingWithoutAirSquare) {
    EXPECT_EQ(count_of("k7/8/8/8/8/8/6PP/7K w - -", "luftp"), 1);
    EXPECT_EQ(count_of("k7/8/8/8/8/8/6P1/7K w - -", "luftp"), 0);
    EXPECT_EQ(count_of("k7/8/8/8/8/8/5PPP/6K1 w - -", "luftp"), 1);
    EXPECT_EQ(count_of("k7/8/8/8/8/5PPP/8/6K1 w - -", "luftp"), 0);
    EXPECT_EQ(count_of("6k1/5ppp/8/8/8/8/8/K7 w - -", "luftp"), -1);
}

TEST(Pawns, TableRemembersScoreAndPassers) {
    Position p = eval_position("4k3/8/8/8/P6P/8/8/4K3 w - -");
    const PawnEntry* first;
    const PawnEntry* second;
    pawn_table_clear();
    const uint64_t hits = pawn_table_hits, probes = pawn_table_probes;
    const ScorePair a = evaluatePawns(p, first);
    EXPECT_EQ(pawn_table_hits, hits);
    const ScorePair b = evaluate_pawns_with<popcount_soft>(p, second);
    EXPECT_EQ(a, b);
    EXPECT_EQ(first, second);
    EXPECT_EQ(pawn_table_hits, hits + 1);
    EXPECT_EQ(pawn_table_probes, probes + 2);
    EXPECT_EQ(passers(*second, WHITE), std::vector<int>({24, 31}));
    // A king move changes the key: a miss.
    Position q = eval_position("3k4/8/8/8/P6P/8/8/4K3 w - -");
    evaluatePawns(q, second);
    EXPECT_EQ(pawn_table_hits, hits + 1);
}

}  // namespace

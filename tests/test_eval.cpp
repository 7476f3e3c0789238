// Derived evaluation tables and the static evaluation's terms, signs, scaling and rounding: what the
// colour-symmetry run cannot see.
#include <gtest/gtest.h>

#include <tuple>

#include "eval_support.h"

namespace {

constexpr int NO = 99999;  // half not checked

TEST(Evaluate, CacheAnswersTheSecondCallWithItsKingDanger) {
    Position p = eval_position("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    eval_tables_clear(test_worker().eval);
    const int first = evaluate(p, test_worker().eval);
    const uint16_t danger0 = p.king_danger[0], danger1 = p.king_danger[1];
    EvalCacheEntry& c = test_worker().eval.cache[uint32_t(p.key) & (EVAL_CACHE_SIZE - 1)];
    EXPECT_EQ(c.score, first);
    c.score = 4321;
    p.king_danger[0] = p.king_danger[1] = 999;
    EXPECT_EQ(evaluate(p, test_worker().eval), 4321);
    EXPECT_EQ(std::tuple(p.king_danger[0], p.king_danger[1]), std::tuple(danger0, danger1));
    eval_tables_clear(test_worker().eval);
}

TEST(Evaluate, KingDanger) {
    const std::tuple<const char*, int, int> rows[] = {
        // Knight g5 hits f7 and h7 next to the g8 king, whose own danger starts at 0.
        {"6k1/5ppp/8/6N1/8/8/5PPP/6K1 w - -", 4, 0},
        // Queen h5: checks on e8 and d5 (+3 each), contact on h7 and f7 (+1 each: the king takes),
        // the zone (+2). A rook on f2 makes the f7 contact check hold (+9 more), reaches the zone
        // (+2) and the check square f8 (+3). The exchange starts with white's queen whoever moves.
        {"6k1/6pp/8/7Q/8/8/6PP/6K1 w - -", 10, NO},
        {"6k1/6pp/8/7Q/8/8/5RPP/6K1 w - -", 24, NO},
        {"6k1/6pp/8/7Q/8/8/5RPP/6K1 b - -", 24, NO},
        // Qxf7 backed by the c4 bishop through the queen's own square holds (+10); checks on d8
        // and a8, the zone. A knight on e5 also guards f7: the queen is lost there (+1).
        {"6k1/5ppp/8/3Q4/2B5/8/6PP/6K1 w - -", 18, NO},
        {"6k1/5ppp/8/3Qn3/2B5/8/6PP/6K1 w - -", 9, NO},
        // Qg6 holds: the g8 rook guards g6 once the g7 king has left its square; Qh7 does not.
        {"6R1/6k1/8/8/8/3Q4/6PP/6K1 b - -", 30, NO},
    };
    for (const auto& [fen, white, black] : rows) {
        Position p = eval_position(fen);
        evaluate_uncached(p, test_worker().eval);
        EXPECT_EQ(p.king_danger[WHITE], white) << fen;
        if (black != NO) {
            EXPECT_EQ(p.king_danger[BLACK], black) << fen;
        }
    }
}

// Net count (white minus black) of a term x the scale in force, in per mille.
TEST(Evaluate, TermsAndScales) {
    const std::tuple<const char*, const char*, int> rows[] = {
        {"6k1/ppp2ppp/8/8/8/8/PPP2PPP/R5K1 w - -", "rconnected", 1000},
        {"r5k1/ppp2ppp/8/8/8/8/PPP2PPP/R4RK1 w - -", "rpair", 1000},
        {"r5k1/ppp2ppp/8/8/8/8/PPP2PPP/R2Q2K1 b - -", "qpair", 1000},
        {"6kr/ppp2ppp/8/8/8/8/PPP2PPP/5RK1 w - -", "hemrook", -1000},
        {"6k1/pp1R1ppp/8/8/8/8/PPP2PPP/6K1 w - -", "rook7th", 1000},
        {"8/pp1R1ppp/5k2/8/8/8/PPP2PPP/6K1 w - -", "rook7th", 0},  // the king is off the eighth
        {"6k1/ppp2ppp/8/8/8/8/PPP2PPP/3R2K1 w - -", "ropen", 1000},
        {"6k1/ppp2ppp/8/3p4/8/8/PPP2PPP/3R2K1 w - -", "rhalf", 1000},
        {"6k1/ppp2ppp/3p4/8/8/8/PPP2PPP/3R2K1 w - -", "rquarter", 1000},
        {"r3k2r/ppp2ppp/8/8/8/8/PPP2PPP/R3K2R w Kq -", "krights", 1000},
        {"r3k2r/ppp2ppp/8/8/8/8/PPP2PPP/R3K2R w Kq -", "qrights", -1000},
        {"6k1/ppp2ppp/8/8/8/8/PPP2PPP/2B2BK1 w - -", "bpair", 1000},
        {"6k1/ppp2ppp/8/8/8/8/PPP1BPPP/4K3 w - -", "binfrontk", 1000},
        {"4k3/pppn1ppp/8/1B6/8/8/PPP2PPP/4K3 w - -", "pin", 1000},
        {"6k1/ppp2ppp/3n4/8/8/3B4/PPP2PPP/6K1 w - -", "bnopp", 1000},
        {"6k1/ppp2ppp/8/8/8/8/PPP2PPP/5NK1 w - -", "kndist", 8000},  // one step: x 8
        {"6k1/ppp2ppp/8/8/3P4/3N4/PPP2PPP/6K1 w - -", "minorbehind", 1000},
        // Dark pawns b2 f2 h2, light a2 c2 g2: the same colour counts twice.
        {"6k1/ppp2ppp/8/8/8/8/PPP2PPP/2B3K1 w - -", "bwps", 2000},
        {"6k1/ppp2ppp/8/8/8/8/PPP2PPP/2B3K1 w - -", "bwpo", 1000},
        {"6k1/pp3ppp/8/3N4/4P3/8/PP3PPP/6K1 w - -", "outsq", 1000},
        {"6k1/pp3ppp/8/3N4/4P3/8/PP3PPP/6K1 w - -", "eternal", 1000},
        {"6k1/pp3ppp/8/3N4/4P3/8/PP3PPP/6K1 w - -", "outpost", 1000},
        {"2b3k1/pp3ppp/8/3N4/4P3/8/PP3PPP/6K1 w - -", "eternal", 0},  // a light bishop challenges d5
        {"6k1/ppp2ppp/2N5/8/8/8/PPP2PPP/6K1 w - -", "pdev", 1000},
        {"1k6/ppp2ppp/2N5/8/8/8/PPP2PPP/6K1 w - -", "pdev", 0},  // c7 is no development pawn here
        {"6k1/ppp2ppp/8/8/8/8/PPP2PPP/RN4K1 w - -", "extra", 1000},
        {"5r1k/pppN2pp/8/8/8/8/PPP2PPP/6K1 w - -", "upThreat", 1000},
        {"1q3r1k/pppN2pp/8/8/8/8/PPP2PPP/6K1 w - -", "upThreat", 4000},  // count 2 weighs 4
        {"6k1/ppp2ppp/1n6/3n4/8/8/PPP2PPP/3R2K1 w - -", "gaThreat", 1000},
        {"6k1/pp3ppp/1np5/3n4/8/8/PPP2PPP/3R2K1 w - -", "gaThreat", 0},  // pawn-guarded: no target
        // Passed pawns (kings and pawns only: scale 1300).
        {"3k4/ppp3pp/4P3/8/8/8/PPP3PP/6K1 w - -", "reKinFront", -1300},
        {"6k1/ppp3pp/8/4P3/8/8/PPP3PP/4R1K1 w - -", "reRookBehind", 1000},
        {"6k1/ppp3pp/8/3PP3/8/8/PP4PP/6K1 w - -", "protectedPassed", 2600},  // (i - 1) = 2 on e5
        {"6k1/ppp3pp/8/4P3/3P4/8/PP4PP/6K1 w - -", "protectedPassed", 0},
        // e6 has four ranks behind it: i (i - 1) = 12.
        {"6k1/ppp3pp/4P3/8/8/8/PP4PP/4R1K1 w - -", "pathClearAndProtected", 12000},
        {"6k1/ppp3pp/4P3/8/8/8/PP4PP/R5K1 w - -", "pathClearNotProtected", 12000},
        {"r5k1/ppp3pp/4P3/8/8/8/PP4PP/4R1K1 w - -", "pathProtected", 12000},
        {"r5k1/ppp3pp/4P3/8/8/8/PP4PP/R5K1 w - -", "pathNotProtected", 12000},
        {"4N1k1/ppp3pp/4P3/8/8/8/PP4PP/4R1K1 w - -", "pathOpenFriendly", 0},
        // Scaling.
        {"6k1/6p1/8/8/8/8/5PP1/6K1 w - -", "pval", 1300},
        {"6k1/3b1pp1/8/8/P7/8/5PP1/2B3K1 w - -", "pval", 283},  // opposite bishops: (1414 + 2) / 5
        {"6k1/4bpp1/8/8/P7/8/5PP1/2B3K1 w - -", "pval", 800},
        {"6k1/3b4/8/8/8/8/8/2B3K1 w - -", "bval", 0},
        {"6k1/8/8/3r4/8/8/8/1B1R2K1 w - -", "bval", 200},    // pawnless, d = 3
        {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", "rval", 800},  // a leader with few pawns
    };
    for (const auto& [fen, name, units] : rows) EXPECT_EQ(term_units(fen, name), units) << name << " in " << fen;
    // One half moved alone gives count x scale x that half's weight: at phase 36 (four rooks) 36 and 60.
    EXPECT_EQ(param_gain("r3k2r/ppp2ppp/8/8/8/8/PPP2PPP/R3K2R w Kq -", "krights", 960000, 0), 36 * 1000);
    EXPECT_EQ(param_gain("r3k2r/ppp2ppp/8/8/8/8/PPP2PPP/R3K2R w Kq -", "krights", 0, 960000), 60 * 1000);
}

// Material entries are kept across positions and replaced on a slot clash: the evaluation through
// the table equals one with the material counted afresh, over games that trade and promote.
TEST(Evaluate, MaterialTableAgreesWithAFreshCount) {
    eval_tables_clear(test_worker().eval);
    int checked = 0;
    for (Position p : sample_positions(3000, 31)) {
        if (p.in_check) continue;
        const int through_table = evaluate(p, test_worker().eval);
        EXPECT_EQ(evaluate_uncached(p, test_worker().eval), through_table) << fen_of(p);
        checked++;
    }
    EXPECT_GT(checked, 2000);
    eval_tables_clear(test_worker().eval);
}

}  // namespace

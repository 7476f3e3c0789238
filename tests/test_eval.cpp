// Derived evaluation tables and the static evaluation's terms, signs, scaling and rounding: what the
// colour-symmetry run cannot see.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <tuple>
#include <vector>

#include "search/worker.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "eval_support.h"

namespace {

constexpr int NO = 99999;  // half not checked

TEST(EvalTables, WorkedEntries) {
    init_eval();
    const std::tuple<const char*, ScorePair, int, int> rows[] = {
        // Pawn e4: (2 + 9) x 10 + 2 x 10 + 600 opening, (2 - 3) x 9 + 900 endgame; e5 the same for black.
        {"pawn e4", pst_table[WHITE][PAWN][28], 730, 891},
        {"black pawn e5", pst_table[BLACK][PAWN][36], -730, -891},
        {"pawn a7", pst_table[WHITE][PAWN][48], -80 + 600, (6 + 3) * 9 + 900},
        {"pawn e1", pst_table[WHITE][PAWN][4], 600, 900},
        {"knight a8", pst_table[WHITE][KNIGHT][56], 3000 - 1375, 3000 - 560},
        {"king g1", pst_table[WHITE][KING][6], 0, -1280},
        {"rook d7", pst_table[WHITE][ROOK][51], 72 + 4300, 32 + 5400},
        {"islands a c f h", islands_table[1 | 4 | 32 | 128], -78, -162},
        {"base passed 5", base_passed[5], 45 * 20, 32 * 26},
        // (sqrt(4) - 1) x 6 x -45 + 0.5 truncates to -269; 75 x 6 + 0.5 to 450.
        {"own king passer 3 3", own_king_passer[3][3], NO, -269},
        {"enemy king passer 3 3", enemy_king_passer[3][3], NO, 450},
        // Sixth rank: A + 6B = (899, 584), x 5 / 16 and x 3 / 4 truncated.
        {"connected passer e6", connected_passer[WHITE][44], 280, 182},
        {"candidate passer a4", candidate_passer[WHITE][24], 141, 93},
    };
    for (const auto& [what, value, open, end] : rows) {
        if (open != NO) {
            EXPECT_EQ(pair_open(value), open) << what;
        }
        if (end != NO) {
            EXPECT_EQ(pair_end(value), end) << what;
        }
    }
    EXPECT_EQ(islands_table[0x81], islands);
    // Piece values for the search: plain, and at phases 96 and 0.
    using Row = std::vector<int>;
    EXPECT_EQ(Row(piece_value, piece_value + 7), Row({0, 90, 300, 315, 540, 960, 0}));
    EXPECT_EQ(Row(phase_piece_value[96], phase_piece_value[96] + 7), Row({0, 60, 300, 340, 430, 900, 10000}));
    EXPECT_EQ(Row(phase_piece_value[0], phase_piece_value[0] + 7), Row({0, 90, 300, 330, 540, 960, 10000}));
}

TEST(EvalTables, SideToMoveBonusRoundsHalvesAwayFromZero) {
    init_eval();
    EXPECT_EQ(side_to_move_bonus[0], 50);
    EXPECT_EQ(side_to_move_bonus[96], 114);
    {
        ParamNudge n("hmb", 96 - 114, -50);  // (96, 0)
        for (int p = 0; p <= 96; p++) EXPECT_EQ(side_to_move_bonus[p], p);
    }
    ParamNudge n("hmb", -114, -51);         // (0, -1)
    EXPECT_EQ(side_to_move_bonus[47], -1);  // -49/96
    EXPECT_EQ(side_to_move_bonus[48], -1);  // -48/96, exactly half
    EXPECT_EQ(side_to_move_bonus[49], 0);   // -47/96
}

TEST(Evaluate, CacheAnswersTheSecondCallWithItsKingDanger) {
    Position p = eval_position("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    eval_tables_clear(main_worker.eval);
    const int first = evaluate(p, main_worker.eval);
    const uint16_t danger0 = p.king_danger[0], danger1 = p.king_danger[1];
    EvalCacheEntry& c = main_worker.eval.cache[uint32_t(p.key) & (EVAL_CACHE_SIZE - 1)];
    EXPECT_EQ(c.score, first);
    c.score = 4321;
    p.king_danger[0] = p.king_danger[1] = 999;
    EXPECT_EQ(evaluate(p, main_worker.eval), 4321);
    EXPECT_EQ(p.king_danger[0], danger0);
    EXPECT_EQ(p.king_danger[1], danger1);
    eval_tables_clear(main_worker.eval);
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
    };
    for (const auto& [fen, white, black] : rows) {
        Position p = eval_position(fen);
        evaluate_uncached(p, main_worker.eval);
        EXPECT_EQ(p.king_danger[WHITE], white) << fen;
        if (black != NO) {
            EXPECT_EQ(p.king_danger[BLACK], black) << fen;
        }
    }
}

TEST(Evaluate, BareKingsRoundTheSideToMoveBonus) {
    const char* kings = "8/8/4k3/8/8/4K3/8/8 w - -";
    EXPECT_EQ(fresh_eval(kings), 5);  // (50 + 5) / 10
    EXPECT_EQ(fresh_eval("8/8/4k3/8/8/4K3/8/8 b - -"), 5);
    ParamNudge n("hmb", 0, -95);       // endgame -45
    EXPECT_EQ(fresh_eval(kings), -5);  // (-45 - 5) / 10, not -4
    ParamNudge m("hmb", 0, 1);         // -44
    EXPECT_EQ(fresh_eval(kings), -4);
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
        {"3rq1k1/1b3ppp/pp6/8/8/P7/PP3PPP/2BRQ1K1 w - -", "pval", 1000},
        {"6k1/3b4/8/8/8/8/8/2B3K1 w - -", "bval", 0},
        {"6k1/8/8/3r4/8/8/8/1B1R2K1 w - -", "bval", 200},    // pawnless, d = 3
        {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", "rval", 800},  // a leader with few pawns
        {"6k1/8/8/3r4/8/8/8/3Q2K1 w - -", "qval", 500},      // ending records
        {"6k1/8/8/3p4/8/8/8/3N2K1 w - -", "nval", 300},
    };
    for (const auto& [fen, name, units] : rows) EXPECT_EQ(term_units(fen, name), units) << name << " in " << fen;
    // One half moved alone gives count x scale x that half's weight: at phase 36 (four rooks) 36 and 60.
    EXPECT_EQ(param_gain("r3k2r/ppp2ppp/8/8/8/8/PPP2PPP/R3K2R w Kq -", "krights", 960000, 0), 36 * 1000);
    EXPECT_EQ(param_gain("r3k2r/ppp2ppp/8/8/8/8/PPP2PPP/R3K2R w Kq -", "krights", 0, 960000), 60 * 1000);
}

// Net sum of the indexes a count table is read at, x the scale.
TEST(Evaluate, TableIndexes) {
    // Knight d4: eight squares (e6 holds a knight), four ahead: 12; knight e6: 7 + 4 = 11.
    EXPECT_EQ(table_index_units("6k1/p4ppp/4n3/8/3N4/8/PP3PPP/6K1 w - -", knight_mobility, 16), 1000);
    EXPECT_EQ(table_index_units("6k1/p4ppp/8/8/3N4/8/PP3PPP/6K1 w - -", knight_mobility, 16), 10000);
    // Rook d1: d2-d8, a1-c1 and e1-g1, its own king's square included.
    EXPECT_EQ(table_index_units("6k1/p4ppp/8/8/8/8/PP3PPP/3R2K1 w - -", rook_mobility, 16), 13000);
    // e6: own king g1 six steps from e7, black king g8 two; read flat at 9 i + d.
    const char* fen = "6k1/ppp3pp/4P3/8/8/8/PPP3PP/6K1 w - -";
    EXPECT_EQ(table_index_units(fen, &own_king_passer[0][0], 81), (9 * 4 + 6) * 1300);
    EXPECT_EQ(table_index_units(fen, &enemy_king_passer[0][0], 81), (9 * 4 + 2) * 1300);
    // On its fourth rank (i = 2) a pawn is still measured; on its third not.
    EXPECT_EQ(table_index_units("6k1/ppp3pp/8/8/4P3/8/PPP3PP/6K1 w - -", &own_king_passer[0][0], 81),
              (9 * 2 + 4) * 1300);
    EXPECT_EQ(table_index_units("6k1/ppp3pp/8/8/8/4P3/PPP3PP/6K1 w - -", &own_king_passer[0][0], 81), 0);
}

}  // namespace

// Evaluation parameters, derived tables and the static evaluation's terms, scaling and rounding.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "eval_support.h"
#include "search/tt.h"
#include "shell/options.h"

namespace {

constexpr int E4 = 28, E5 = 36;

// ---- Parameter table -------------------------------------------------------------------

TEST(EvalParams, TableLayoutHidesAllButTheSideToMoveBonus) {
    EXPECT_STREQ(eval_params[0].name, "hmb");
    EXPECT_EQ(eval_params[0].value, &hmb);
    EXPECT_EQ(eval_params[1].name[0], 0);
    EXPECT_EQ(eval_params[1].value, nullptr);
    EXPECT_EQ(eval_params[1].min, 0);
    EXPECT_EQ(eval_params[1].max, 0);
    int named = 0;
    for (int i = 0; i < EVAL_PARAM_RECORDS; i++) named += eval_params[i].name[0] != 0;
    EXPECT_EQ(named, 74);
    EXPECT_STREQ(eval_params[2].name, "bwps");
    EXPECT_STREQ(eval_params[74].name, "outsq");
    EXPECT_EQ(eval_params[75].name[0], 0);
    // The records name the live pairs.
    EXPECT_EQ(param_named("pval").value, &pval);
    EXPECT_EQ(param_named("qval").min, -20000);
    EXPECT_EQ(param_named("upThreat").min, 0);
    EXPECT_EQ(param_named("upThreat").max, 500);
    EXPECT_EQ(param_named("pathProtected").max, 999);
    EXPECT_EQ(param_named("pathClearNotProtected").max, 9999);
}

TEST(EvalParams, DefaultsKeepEndgameInTheLowHalf) {
    EXPECT_EQ(pval, (uint64_t(600) << 32) | 900u);
    EXPECT_EQ(pair_open(hemrook), -300);
    EXPECT_EQ(pair_end(fkpass), -45);
    EXPECT_EQ(pair_end(connected_numerator), 5);
}

TEST(EvalParams, LookupReachesOnlyRecordsBeforeTheTerminator) {
    bool opening = false;
    EXPECT_EQ(find_eval_param("hmb open", &opening), &eval_params[0]);
    EXPECT_TRUE(opening);
    EXPECT_EQ(find_eval_param("hmb end", &opening), &eval_params[0]);
    EXPECT_FALSE(opening);
    EXPECT_EQ(find_eval_param("pval open", &opening), nullptr);
    EXPECT_EQ(find_eval_param("hmb", &opening), nullptr);
    EXPECT_EQ(find_eval_param("hmb  open", &opening), nullptr);
}

TEST(EvalParams, SettingAHalfStoresItsLow31Bits) {
    ScorePair saved = hmb;
    set_eval_param_half(eval_params[0], true, -5);
    EXPECT_EQ(uint32_t(hmb >> 32), 0x7FFFFFFBu);
    EXPECT_EQ(eval_param_half(eval_params[0], true), -5);
    EXPECT_EQ(eval_param_half(eval_params[0], false), 50);
    set_eval_param_half(eval_params[0], false, 0);
    EXPECT_EQ(eval_param_half(eval_params[0], true), -5);
    EXPECT_EQ(eval_param_half(eval_params[0], false), 0);
    // Out-of-range values wrap rather than spill into the other half.
    set_eval_param_half(eval_params[0], false, (1L << 31) + 7);
    EXPECT_EQ(eval_param_half(eval_params[0], false), 7);
    EXPECT_EQ(eval_param_half(eval_params[0], true), -5);
    hmb = saved;
}

TEST(EvalParams, OptionListingShowsCurrentValues) {
    ScorePair saved = hmb;
    set_eval_param_half(eval_params[0], true, 200);
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    print_eval_param_options(out);
    fclose(out);
    EXPECT_STREQ(text,
                 "option name hmb open type spin default 200 min -9999 max 9999\n"
                 "option name hmb end type spin default 50 min -9999 max 9999\n");
    free(text);
    hmb = saved;
}

// ---- Derived tables ---------------------------------------------------------------------

TEST(EvalTables, MobilityIsZeroAtTheNeutralCount) {
    init_eval();
    EXPECT_EQ(knight_mobility[9], 0u);
    for (int n = 0; n < 9; n++) {
        EXPECT_LT(pair_open(knight_mobility[n]), 0) << n;
        EXPECT_LT(pair_end(knight_mobility[n]), 0) << n;
    }
    EXPECT_GT(pair_open(knight_mobility[10]), 0);
    EXPECT_EQ(bishop_mobility[7], 0u);
    EXPECT_EQ(rook_mobility[8], 0u);
    EXPECT_EQ(queen_mobility[14], 0u);
    // About one slope per square around the neutral count.
    EXPECT_NEAR(pair_open(knight_mobility[10]), 39, 1);
    EXPECT_NEAR(pair_end(rook_mobility[7]), -35, 1);
}

TEST(EvalTables, IslandsCountRunsOfFiles) {
    init_eval();
    const int acfh = 1 | 4 | 32 | 128;
    EXPECT_EQ(pair_open(islands_table[acfh]), -78);
    EXPECT_EQ(pair_end(islands_table[acfh]), -162);
    EXPECT_EQ(islands_table[0xFF], 0u);
    EXPECT_EQ(islands_table[0x3C], 0u);
    EXPECT_EQ(islands_table[0], 0u);
    EXPECT_EQ(islands_table[0x81], islands);
}

TEST(EvalTables, SideToMoveBonusRoundsHalvesAwayFromZero) {
    init_eval();
    EXPECT_EQ(side_to_move_bonus[0], 50);
    EXPECT_EQ(side_to_move_bonus[96], 114);
    ScorePair saved = hmb;
    hmb = make_pair_score(96, 0);
    buildEvalTables();
    for (int p = 0; p <= 96; p++) EXPECT_EQ(side_to_move_bonus[p], p);
    hmb = make_pair_score(0, -1);
    buildEvalTables();
    EXPECT_EQ(side_to_move_bonus[47], -1);  // -49/96
    EXPECT_EQ(side_to_move_bonus[48], -1);  // -48/96, exactly half
    EXPECT_EQ(side_to_move_bonus[49], 0);   // -47/96
    hmb = saved;
    buildEvalTables();
}

TEST(EvalTables, PieceSquareEntries) {
    init_eval();
    // Pawn e4: (2 + 9) x 10 + 2 x 10 + 600 opening, (2 - 3) x 9 + 900 endgame.
    EXPECT_EQ(pair_open(pst_table[WHITE][PAWN][E4]), 730);
    EXPECT_EQ(pair_end(pst_table[WHITE][PAWN][E4]), 891);
    EXPECT_EQ(pair_open(pst_table[BLACK][PAWN][E5]), -730);
    EXPECT_EQ(pair_end(pst_table[BLACK][PAWN][E5]), -891);
    // a3: (0 - 11) x 10 - 0 x 5; a7: (6 - 11) x 10 - 6 x 5; c7: (6 + 4) x 10 + 6 x 5.
    EXPECT_EQ(pair_open(pst_table[WHITE][PAWN][16]), -110 + 600);
    EXPECT_EQ(pair_open(pst_table[WHITE][PAWN][48]), -80 + 600);
    EXPECT_EQ(pair_open(pst_table[WHITE][PAWN][50]), 130 + 600);
    EXPECT_EQ(pair_end(pst_table[WHITE][PAWN][48]), (6 + 3) * 9 + 900);
    // Back-rank pawn squares carry the value only.
    EXPECT_EQ(pst_table[WHITE][PAWN][4], pval);
    EXPECT_EQ(pst_table[BLACK][PAWN][60], pair_neg(pval));
    // Knight in the far corner of its owner: -55 x 25 and -40 x 14 on top of the value.
    EXPECT_EQ(pair_open(pst_table[WHITE][KNIGHT][56]), 3000 - 1375);
    EXPECT_EQ(pair_end(pst_table[WHITE][KNIGHT][56]), 3000 - 560);
    EXPECT_EQ(pair_open(pst_table[BLACK][KNIGHT][0]), -(3000 - 1375));
    EXPECT_EQ(pair_end(pst_table[WHITE][KNIGHT][63]), 3000 - 560);
    // Kings carry no value: g1 is (0, -80) x (8, 16), h8 for black is the negated (-6, -100) x (8, 16).
    EXPECT_EQ(pair_open(pst_table[WHITE][KING][6]), 0);
    EXPECT_EQ(pair_end(pst_table[WHITE][KING][6]), -1280);
    EXPECT_EQ(pair_open(pst_table[BLACK][KING][63]), 48);
    EXPECT_EQ(pair_end(pst_table[BLACK][KING][63]), 1600);
    // Rook on its owner's seventh rank (row 1): d7 for white is (6, 2) x (12, 16).
    EXPECT_EQ(pair_open(pst_table[WHITE][ROOK][51]), 72 + 4300);
    EXPECT_EQ(pair_end(pst_table[WHITE][ROOK][51]), 32 + 5400);
    for (int s = 0; s < 64; s++) EXPECT_EQ(pst_table[WHITE][0][s] | pst_table[BLACK][7][s], 0u);
}

TEST(EvalTables, PieceValuesForTheSearch) {
    init_eval();
    const int plain[7] = {0, 90, 300, 315, 540, 960, 0};
    const int row96[7] = {0, 60, 300, 340, 430, 900, 10000};
    const int row0[7] = {0, 90, 300, 330, 540, 960, 10000};
    for (int t = 0; t < 7; t++) {
        EXPECT_EQ(piece_value[t], plain[t]) << t;
        EXPECT_EQ(phase_piece_value[96][t], row96[t]) << t;
        EXPECT_EQ(phase_piece_value[0][t], row0[t]) << t;
    }
}

TEST(EvalTables, CountAndDistanceTables) {
    init_eval();
    EXPECT_EQ(king_safety[0], 0u);
    EXPECT_EQ(pair_open(king_safety[10]), 6 * 68);
    EXPECT_EQ(pair_end(king_safety[10]), 0);
    EXPECT_EQ(pair_open(king_safety[127]), 6 * 1475);
    EXPECT_EQ(king_safety[255], king_safety[127]);
    EXPECT_EQ(up_threat_count[1], upThreat);
    EXPECT_EQ(pair_open(up_threat_count[2]), 4 * 113);
    EXPECT_EQ(pair_end(up_threat_count[3]), 5 * 125);
    EXPECT_EQ(pair_end(king_pawn_distance[0]), 325);
    EXPECT_EQ(king_pawn_distance[7], 0u);
    EXPECT_EQ(pair_open(knight_king_distance[1]), 32);
    EXPECT_EQ(pair_end(knight_king_distance[7]), -15);
    EXPECT_EQ(pair_open(knight_pawns[8]), 63);
    EXPECT_EQ(pair_open(rook_pawns[2]), 63);
    EXPECT_EQ(pair_end(bishop_same_colour_pawns[0]), 30);
    EXPECT_EQ(pair_open(base_passed[5]), 45 * 20);
    EXPECT_EQ(pair_end(base_passed[5]), 32 * 26);
    EXPECT_EQ(pair_end(base_passed[0]), 32);
    EXPECT_EQ(pair_open(protected_passed[0]), -18);
    EXPECT_EQ(pair_end(path_clear_protected[4]), 66 * 12);
    // (sqrt(4) - 1) x 6 x -45 + 0.5 truncates to -269; 75 x 6 + 0.5 to 450.
    EXPECT_EQ(pair_end(own_king_passer[3][3]), -269);
    EXPECT_EQ(pair_end(enemy_king_passer[3][3]), 450);
    EXPECT_EQ(own_king_passer[5][0], 0u);
    EXPECT_EQ(pair_open(shelter_rank[1]), 11 * 27);
    EXPECT_EQ(pair_open(storm_rank[5]), 11 * 45);
    EXPECT_EQ(storm_rank[6], 0u);
}

TEST(EvalTables, PassedPawnSquareTables) {
    init_eval();
    // Sixth rank: A + 6B = (899, 584); x 5 / 16 and x 3 / 4 truncated.
    EXPECT_EQ(pair_open(connected_passer[WHITE][44]), 280);
    EXPECT_EQ(pair_end(connected_passer[WHITE][44]), 182);
    EXPECT_EQ(connected_passer[BLACK][20], connected_passer[WHITE][44]);
    EXPECT_EQ(pair_open(candidate_passer[WHITE][24]), 141);
    EXPECT_EQ(pair_end(candidate_passer[WHITE][24]), 93);
    EXPECT_EQ(connected_passer[WHITE][60], 0u);
    EXPECT_EQ(candidate_passer[BLACK][60], 0u);
}

TEST(EvalTables, RebuildEmptiesThePawnTable) {
    Position p = eval_position("4k3/pp6/8/8/8/8/PP6/4K3 w - -");
    const PawnEntry* e;
    evaluatePawns(p, e);
    EXPECT_EQ(e->key, p.pawn_key);
    buildEvalTables();
    EXPECT_EQ(e->key, 0u);
}

// ---- Evaluation: cache, king danger, rounding ------------------------------------------

TEST(Evaluate, CacheAnswersTheSecondCall) {
    Position p = eval_position("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    eval_cache_clear();
    const int first = evaluate(p);
    EXPECT_EQ(evaluate(p), first);
    EvalCacheEntry& c = eval_cache[uint32_t(p.key) & (EVAL_CACHE_SIZE - 1)];
    EXPECT_EQ(c.key, p.key);
    EXPECT_EQ(c.score, first);
    const uint16_t danger0 = p.king_danger[0], danger1 = p.king_danger[1];
    c.score = 4321;
    p.king_danger[0] = p.king_danger[1] = 999;
    EXPECT_EQ(evaluate(p), 4321);
    EXPECT_EQ(p.king_danger[0], danger0);
    EXPECT_EQ(p.king_danger[1], danger1);
    eval_cache_clear();
}

TEST(Evaluate, KingDangerStartsFromTheKingSquare) {
    Position p = eval_position("");
    evaluate_uncached(p, true);
    EXPECT_EQ(p.king_danger[WHITE], 3);
    EXPECT_EQ(p.king_danger[BLACK], 3);
    // Knight on g5 hits f7 and h7 next to the g8 king (+4) and checks from f6? no: f6/h6 are
    // covered by black pawns; initial danger of g8 is 0.
    Position q = eval_position("6k1/5ppp/8/6N1/8/8/5PPP/6K1 w - -");
    evaluate_uncached(q, true);
    EXPECT_EQ(q.king_danger[WHITE], 4);
    EXPECT_EQ(q.king_danger[BLACK], 0);
}

TEST(Evaluate, QueenContactCheckCountsTheExchange) {
    // Queen h5 checks on e8 and d5 (+3 each), on h7 and f7 next to the king (+1 each: the king takes).
    // A rook on f2 guards f7, so that contact check now holds (+10 instead of +1); the rook
    // also reaches the king zone (+2) and the check square f8 (+3).
    Position p = eval_position("6k1/6pp/8/7Q/8/8/6PP/6K1 w - -");
    Position q = eval_position("6k1/6pp/8/7Q/8/8/5RPP/6K1 w - -");
    evaluate_uncached(p, true);
    evaluate_uncached(q, true);
    EXPECT_EQ(p.king_danger[WHITE], 0 + 3 + 3 + 1 + 1 + 2);  // g8 starts at 0; the queen hits the zone (+2)
    EXPECT_EQ(q.king_danger[WHITE] - p.king_danger[WHITE], 9 + 2 + 3);
    // The same with black to move: the exchange is still white's queen moving first.
    Position pb = eval_position("6k1/6pp/8/7Q/8/8/6PP/6K1 b - -");
    Position qb = eval_position("6k1/6pp/8/7Q/8/8/5RPP/6K1 b - -");
    evaluate_uncached(pb, true);
    evaluate_uncached(qb, true);
    EXPECT_EQ(pb.king_danger[WHITE], p.king_danger[WHITE]);
    EXPECT_EQ(qb.king_danger[WHITE], q.king_danger[WHITE]);
}

TEST(Evaluate, BareKingsRoundTheSideToMoveBonus) {
    init_eval();
    EXPECT_EQ(fresh_eval("8/8/4k3/8/8/4K3/8/8 w - -"), 5);  // (50 + 5) / 10
    EXPECT_EQ(fresh_eval("8/8/4k3/8/8/4K3/8/8 b - -"), 5);
    ParamNudge n("hmb", 0, -95);  // endgame -45
    EXPECT_EQ(fresh_eval("8/8/4k3/8/8/4K3/8/8 w - -"), -5);  // (-45 - 5) / 10, not -4
    ParamNudge m("hmb", 0, 1);  // -44
    EXPECT_EQ(fresh_eval("8/8/4k3/8/8/4K3/8/8 w - -"), -4);
}

// ---- Evaluation terms, measured as net counts (white minus black) x scale --------------

TEST(EvaluateTerms, Rooks) {
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/8/8/8/PPP2PPP/R5K1 w - -", "rconnected"), 1000);
    EXPECT_EQ(term_units("r5k1/ppp2ppp/8/8/8/8/PPP2PPP/R4RK1 w - -", "rconnected"), 1000);
    EXPECT_EQ(term_units("r5k1/ppp2ppp/8/8/8/8/PPP2PPP/R4RK1 w - -", "rpair"), 1000);
    EXPECT_EQ(term_units("r5k1/ppp2ppp/8/8/8/8/PPP2PPP/R2Q2K1 b - -", "qpair"), 1000);
    EXPECT_EQ(term_units("3q2k1/ppp2ppp/8/8/8/8/PPP2PPP/R5K1 w - -", "qpair"), 0);
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/8/8/8/PPP2PPP/6KR w - -", "hemrook"), 1000);
    EXPECT_EQ(term_units("6kr/ppp2ppp/8/8/8/8/PPP2PPP/5RK1 w - -", "hemrook"), -1000);
    EXPECT_EQ(term_units("6k1/pp1R1ppp/8/8/8/8/PPP2PPP/6K1 w - -", "rook7th"), 1000);
    EXPECT_EQ(term_units("8/pp1R1ppp/5k2/8/8/8/PPP2PPP/6K1 w - -", "rook7th"), 0);
}

TEST(EvaluateTerms, RookFiles) {
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/8/8/8/PPP2PPP/3R2K1 w - -", "ropen"), 1000);
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/3p4/8/8/PPP2PPP/3R2K1 w - -", "rhalf"), 1000);
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/3p4/8/8/PPP2PPP/3R2K1 w - -", "ropen"), 0);
    EXPECT_EQ(term_units("6k1/ppp2ppp/3p4/8/8/8/PPP2PPP/3R2K1 w - -", "rquarter"), 1000);
    EXPECT_EQ(term_units("6k1/ppp2ppp/3p4/8/8/8/PPP2PPP/3R2K1 w - -", "rhalf"), 0);
}

TEST(EvaluateTerms, CastlingRightsAndPhaseBlend) {
    const char* fen = "r3k2r/ppp2ppp/8/8/8/8/PPP2PPP/R3K2R w Kq -";
    EXPECT_EQ(term_units(fen, "krights"), 1000);
    EXPECT_EQ(term_units(fen, "qrights"), -1000);
    // Phase 36 (four rooks): the opening half weighs 36, the endgame half 60.
    EXPECT_EQ(half_units(fen, "krights", true), 36 * 1000);
    EXPECT_EQ(half_units(fen, "krights", false), 60 * 1000);
}

TEST(EvaluateTerms, MinorPieces) {
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/8/8/8/PPP2PPP/2B2BK1 w - -", "bpair"), 1000);
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/8/8/8/PPPB1PPP/2B2BK1 w - -", "bpair"), 0);
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/8/8/8/PPP1BPPP/4K3 w - -", "binfrontk"), 1000);
    EXPECT_EQ(term_units("4k3/ppp2ppp/8/1B6/8/8/PPP2PPP/4K3 w - -", "pin"), 1000);
    EXPECT_EQ(term_units("4k3/pppn1ppp/8/1B6/8/8/PPP2PPP/4K3 w - -", "pin"), 1000);
    EXPECT_EQ(term_units("4k3/pppb1ppp/8/1B6/8/8/PPP2PPP/4K3 w - -", "pin"), 0);
    EXPECT_EQ(term_units("6k1/ppp2ppp/3n4/8/8/3B4/PPP2PPP/6K1 w - -", "bnopp"), 1000);
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/3n4/8/3B4/PPP2PPP/6K1 w - -", "bnopp"), 0);
    // Knight f3 is two king steps from g1 (x 3), f1 one step (x 8).
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/8/8/5N2/PPP2PPP/6K1 w - -", "kndist"), 3000);
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/8/8/8/PPP2PPP/5NK1 w - -", "kndist"), 8000);
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/8/3P4/3N4/PPP2PPP/6K1 w - -", "minorbehind"), 1000);
}

TEST(EvaluateTerms, BishopAndItsPawns) {
    // Three white pawns on dark squares (b2, f2, h2) and three on light ones (a2, c2, g2).
    const char* one = "6k1/ppp2ppp/8/8/8/8/PPP2PPP/2B3K1 w - -";
    EXPECT_EQ(term_units(one, "bwps"), 2000);  // same colour counted twice
    EXPECT_EQ(term_units(one, "bwpo"), 1000);
    // Two bishops and no black bishop: the same-colour entry a third time for each.
    const char* two = "6k1/ppp2ppp/8/8/8/8/PPP2PPP/2B2BK1 w - -";
    EXPECT_EQ(term_units(two, "bwps"), 6000);
    EXPECT_EQ(term_units(two, "bwpo"), 2000);
    // A black dark-squared bishop (its own pawns: three and three) takes the third entry
    // from white's c1 bishop and scores 2 x 1 for itself.
    EXPECT_EQ(term_units("5bk1/ppp2ppp/8/8/8/8/PPP2PPP/2B2BK1 w - -", "bwps"), 5000 - 2000);
}

TEST(EvaluateTerms, MobilityCountsSquaresHeldByEnemyPieces) {
    // Knight d4: all eight squares (e6 is covered by f7 but holds a knight), four of them ahead:
    // 12. Knight e6: seven squares (g7 holds its own pawn), four ahead: 11.
    EXPECT_EQ(table_index_units("6k1/p4ppp/4n3/8/3N4/8/PP3PPP/6K1 w - -", knight_mobility, 16), 1000);
    // Without the black knight e6 is unsafe for white's knight.
    EXPECT_EQ(table_index_units("6k1/p4ppp/8/8/3N4/8/PP3PPP/6K1 w - -", knight_mobility, 16), 10000);
    // Rook d1 on an open file: d2-d8, a1-c1 and e1-g1; only own pawns are left out, so the
    // square of its own king counts: 13.
    EXPECT_EQ(table_index_units("6k1/p4ppp/8/8/8/8/PP3PPP/3R2K1 w - -", rook_mobility, 16), 13000);
}

TEST(EvaluateTerms, Outposts) {
    const char* fen = "6k1/pp3ppp/8/3N4/4P3/8/PP3PPP/6K1 w - -";
    EXPECT_EQ(term_units(fen, "outsq"), 1000);
    EXPECT_EQ(term_units(fen, "eternal"), 1000);
    EXPECT_EQ(term_units(fen, "outpost"), 1000);
    // A light-squared bishop could challenge d5, a dark one not; any knight spoils it.
    EXPECT_EQ(term_units("2b3k1/pp3ppp/8/3N4/4P3/8/PP3PPP/6K1 w - -", "eternal"), 0);
    EXPECT_EQ(term_units("5bk1/pp3ppp/8/3N4/4P3/8/PP3PPP/6K1 w - -", "eternal"), 1000);
    EXPECT_EQ(term_units("1n4k1/pp3ppp/8/3N4/4P3/8/PP3PPP/6K1 w - -", "eternal"), 0);
    // With a black c-pawn the square can be attacked one day.
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/3N4/4P3/8/PP3PPP/6K1 w - -", "outsq"), 0);
}

TEST(EvaluateTerms, BlockedPawns) {
    // Knight c6 blocks c7, one of the four development pawns when the king is on the g-file.
    EXPECT_EQ(term_units("6k1/ppp2ppp/2N5/8/8/8/PPP2PPP/6K1 w - -", "pmob"), 1000);
    EXPECT_EQ(term_units("6k1/ppp2ppp/2N5/8/8/8/PPP2PPP/6K1 w - -", "pdev"), 1000);
    EXPECT_EQ(term_units("1k6/ppp2ppp/2N5/8/8/8/PPP2PPP/6K1 w - -", "pdev"), 0);
}

TEST(EvaluateTerms, MaterialSurplus) {
    EXPECT_EQ(term_units("6k1/ppp2ppp/8/8/8/8/PPP2PPP/RN4K1 w - -", "extra"), 1000);
    EXPECT_EQ(term_units("1n4k1/ppp2ppp/8/8/8/8/PPP2PPP/RN4K1 w - -", "extra"), 0);
}

TEST(EvaluateTerms, Threats) {
    // Knight d7 forks nothing but the f8 rook: count 1.
    EXPECT_EQ(term_units("5r1k/pppN2pp/8/8/8/8/PPP2PPP/6K1 w - -", "upThreat"), 1000);
    // Rook and queen both hit: count 2 weighs 4.
    EXPECT_EQ(term_units("1q3r1k/pppN2pp/8/8/8/8/PPP2PPP/6K1 w - -", "upThreat"), 4000);
    // Rook d1 on a knight that another knight guards.
    EXPECT_EQ(term_units("6k1/ppp2ppp/1n6/3n4/8/8/PPP2PPP/3R2K1 w - -", "gaThreat"), 1000);
    // Guarded by a pawn as well, the knight is no target.
    EXPECT_EQ(term_units("6k1/pp3ppp/1np5/3n4/8/8/PPP2PPP/3R2K1 w - -", "gaThreat"), 0);
}

TEST(EvaluateTerms, PassedPawnsWithPieces) {
    // The defending king next to e8 earns the bonus for black (kings and pawns: scale 1300).
    EXPECT_EQ(term_units("3k4/ppp3pp/4P3/8/8/8/PPP3PP/6K1 w - -", "reKinFront"), -1300);
    EXPECT_EQ(term_units("3k4/ppp2Kpp/4P3/8/8/8/PPP3PP/8 w - -", "reKinFront"), 0);
    EXPECT_EQ(term_units("6k1/ppp3pp/8/4P3/8/8/PPP3PP/4R1K1 w - -", "reRookBehind"), 1000);
    EXPECT_EQ(term_units("6k1/ppp3pp/8/4P3/8/8/PPP1r1PP/4R1K1 w - -", "reRookBehind"), 0);
    EXPECT_EQ(term_units("6k1/ppp3pp/8/8/4P3/8/PPP3PP/4R1K1 w - -", "reRookBehind"), 0);
    // e5 is three ranks on: (i - 1) = 2 when a pawn stands beside it or right behind it.
    EXPECT_EQ(term_units("6k1/ppp3pp/8/3PP3/8/8/PP4PP/6K1 w - -", "protectedPassed"), 2600);
    EXPECT_EQ(term_units("6k1/ppp3pp/8/4P3/4P3/8/PP4PP/6K1 w - -", "protectedPassed"), 2600);
    EXPECT_EQ(term_units("6k1/ppp3pp/8/4P3/3P4/8/PP4PP/6K1 w - -", "protectedPassed"), 0);
}

TEST(EvaluateTerms, KingDistanceToThePasser) {
    // e6 (four ranks on): own king g1 is 6 steps from e7, the black king g8 two. Kings and
    // pawns only, so scale 1300; the tables are read flat, index = 9 i + d.
    const char* fen = "6k1/ppp3pp/4P3/8/8/8/PPP3PP/6K1 w - -";
    EXPECT_EQ(table_index_units(fen, &own_king_passer[0][0], 81), (9 * 4 + 6) * 1300);
    EXPECT_EQ(table_index_units(fen, &enemy_king_passer[0][0], 81), (9 * 4 + 2) * 1300);
    // On its fourth rank (i = 2) the pawn is still measured; on its third (i = 1) not.
    EXPECT_EQ(table_index_units("6k1/ppp3pp/8/8/4P3/8/PPP3PP/6K1 w - -", &own_king_passer[0][0], 81),
              (9 * 2 + 4) * 1300);
    EXPECT_EQ(table_index_units("6k1/ppp3pp/8/8/8/4P3/PPP3PP/6K1 w - -", &own_king_passer[0][0], 81), 0);
}

TEST(EvaluateTerms, PassedPawnPath) {
    // e6 has four ranks behind it: i (i - 1) = 12. The rook behind guards the whole path.
    const char* guarded = "6k1/ppp3pp/4P3/8/8/8/PP4PP/4R1K1 w - -";
    EXPECT_EQ(term_units(guarded, "pathClearAndProtected"), 12000);
    EXPECT_EQ(term_units(guarded, "pathClearNotProtected"), 0);
    EXPECT_EQ(term_units(guarded, "pathOpenFriendly"), 12000);
    EXPECT_EQ(term_units("6k1/ppp3pp/4P3/8/8/8/PP4PP/R5K1 w - -", "pathClearNotProtected"), 12000);
    // The a8 rook hits e8: guarded from behind, or not.
    EXPECT_EQ(term_units("r5k1/ppp3pp/4P3/8/8/8/PP4PP/4R1K1 w - -", "pathProtected"), 12000);
    EXPECT_EQ(term_units("r5k1/ppp3pp/4P3/8/8/8/PP4PP/R5K1 w - -", "pathNotProtected"), 12000);
    // Its own knight on e8 closes the path to friends but defends that square.
    EXPECT_EQ(term_units("4N1k1/ppp3pp/4P3/8/8/8/PP4PP/4R1K1 w - -", "pathOpenFriendly"), 0);
    // An enemy piece there does not close it.
    EXPECT_EQ(term_units("4n1k1/ppp3pp/4P3/8/8/8/PP4PP/4R1K1 w - -", "pathOpenFriendly"), 12000);
}

// ---- Scaling ----------------------------------------------------------------------------

TEST(EvaluateScaling, KingsAndPawnsOnly) {
    EXPECT_EQ(term_units("6k1/6p1/8/8/8/8/5PP1/6K1 w - -", "pval"), 1300);
}

TEST(EvaluateScaling, OppositeBishops) {
    // Leader: three pawns, a4 passed: n = 3 - 2 + 1 = 2, s = (1414 + 2) / 5.
    EXPECT_EQ(term_units("6k1/3b1pp1/8/8/P7/8/5PP1/2B3K1 w - -", "pval"), 283);
    // Same-coloured bishops: pieces with pawns, leader has three pawns.
    EXPECT_EQ(term_units("6k1/4bpp1/8/8/P7/8/5PP1/2B3K1 w - -", "pval"), 800);
    // More pieces, phase 24: 900; with queens (phase 68) no bishop scaling, leader has six pawns.
    EXPECT_EQ(term_units("3r2k1/1b3ppp/pp6/8/8/P7/PP3PPP/2BR2K1 w - -", "pval"), 900);
    EXPECT_EQ(term_units("3rq1k1/1b3ppp/pp6/8/8/P7/PP3PPP/2BRQ1K1 w - -", "pval"), 1000);
    // Lone bishops, no pawns: scale (0 + 2) / 5 = 0, whatever the record adds.
    EXPECT_EQ(term_units("6k1/3b4/8/8/8/8/8/2B3K1 w - -", "bval"), 0);
}

TEST(EvaluateScaling, PawnlessMaterial) {
    EXPECT_EQ(term_units("6k1/8/8/3r4/8/8/8/1B1R2K1 w - -", "bval"), 200);    // d = 3
    EXPECT_EQ(term_units("6k1/8/8/3r4/8/8/8/R2R2K1 w - -", "rval"), 400);    // d = 5
    EXPECT_EQ(term_units("6k1/8/2n5/3r4/8/8/8/1B1R2K1 w - -", "bval"), 100); // d = 0
}

TEST(EvaluateScaling, LeaderWithFewPawns) {
    EXPECT_EQ(term_units("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", "rval"), 800);
    EXPECT_EQ(term_units("6k1/4pppp/8/8/8/8/4PPPP/3R2K1 w - -", "rval"), 900);
    EXPECT_EQ(term_units("6k1/3ppppp/8/8/8/8/3PPPPP/3R2K1 w - -", "rval"), 1000);
    EXPECT_EQ(term_units("6k1/3ppppp/8/8/8/8/8/3R2K1 w - -", "rval"), 400);
}

TEST(EvaluateScaling, EndingRecordScale) {
    // Queen against rook: record scale 500.
    EXPECT_EQ(term_units("6k1/8/8/3r4/8/8/8/3Q2K1 w - -", "qval"), 500);
    // Rook against knight: 200; knight against pawn: 300.
    EXPECT_EQ(term_units("6k1/8/8/3n4/8/8/8/3R2K1 w - -", "rval"), 200);
    EXPECT_EQ(term_units("6k1/8/8/3p4/8/8/8/3N2K1 w - -", "nval"), 300);
}

// ---- Speed (run by hand: --gtest_also_run_disabled_tests) --------------------------------

TEST(Evaluate, DISABLED_Speed) {
    init_eval();
    std::vector<Position> set;
    for (const std::string& fen : read_data_lines("openings.epd")) {
        Position p = eval_position(fen.c_str());
        set.push_back(p);
        Move moves[MAX_MOVES];
        const int n = generate_all_moves(p, moves);
        for (int i = 0; i < n; i++) {
            Position c;
            make_move(p, c, moves[i]);
            if (!side_in_check(c, p.ply & 1)) set.push_back(c);
        }
    }
    const int saved = popcnt_available;
    for (int hardware = 1; hardware >= 0; hardware--) {
        popcnt_available = hardware;
        long long sum = 0;
        const int rounds = 5;
        double best = 1e9;
        for (int r = 0; r < rounds; r++) {
            eval_cache_clear();
            pawn_table_clear();
            const auto t0 = std::chrono::steady_clock::now();
            for (Position& p : set) sum += evaluate(p);
            const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            best = s < best ? s : best;
        }
        printf("%s bit count, %zu positions, cold caches: %.0f evaluations per second (best of %d; checksum %lld)\n",
               hardware ? "hardware" : "portable", set.size(), double(set.size()) / best, rounds, sum);
    }
    popcnt_available = saved;
}

}  // namespace

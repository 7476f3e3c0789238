#include "eval/tables.h"

#include <cmath>
#include <initializer_list>

#include "board/position.h"
#include "eval/params.h"
#include "eval/pawns.h"

ScorePair islands_table[256];
ScorePair knight_mobility[16], bishop_mobility[16], rook_mobility[16], queen_mobility[32];
ScorePair own_king_passer[9][9], enemy_king_passer[9][9];
ScorePair king_safety[KING_SAFETY_ENTRIES];
ScorePair king_pawn_distance[8];
ScorePair knight_king_distance[8];
ScorePair pdoubled_count[COUNT_TABLE], duofended_count[COUNT_TABLE], nblockade_count[COUNT_TABLE],
    disoo_count[COUNT_TABLE], disoh_count[COUNT_TABLE], isoh_count[COUNT_TABLE], isoo_count[COUNT_TABLE],
    pbkwd_count[COUNT_TABLE], blockedopen_count[COUNT_TABLE], pmob_count[COUNT_TABLE], pdev_count[COUNT_TABLE],
    minorbehind_count[COUNT_TABLE];
ScorePair knight_pawns[COUNT_TABLE], rook_pawns[COUNT_TABLE], queen_pawns[COUNT_TABLE];
ScorePair bishop_same_colour_pawns[COUNT_TABLE], bishop_other_colour_pawns[COUNT_TABLE];
ScorePair path_clear_protected[COUNT_TABLE], path_clear_unprotected[COUNT_TABLE], path_protected[COUNT_TABLE],
    path_unprotected[COUNT_TABLE], path_open_friendly[COUNT_TABLE], base_passed[COUNT_TABLE],
    protected_passed[COUNT_TABLE];
ScorePair up_threat_count[WIDE_COUNT_TABLE], ga_threat_count[WIDE_COUNT_TABLE], outsq_count[WIDE_COUNT_TABLE],
    outpost_count[WIDE_COUNT_TABLE], predundant_count[WIDE_COUNT_TABLE];
ScorePair shelter_rank[8], storm_rank[8];
ScorePair connected_passer[2][64], candidate_passer[2][64];
int piece_value[7];
EvalWeights eval_weights;
ScorePair pst_table[2][8][64];
int phase_piece_value[MAX_PHASE + 1][7];

namespace {

// Applies f to each half of a pair.
template <typename F>
ScorePair per_half(ScorePair p, F f) {
    return make_pair_score(f(pair_open(p)), f(pair_end(p)));
}

void build_islands() {
    for (int set = 0; set < 256; set++) {
        int runs = 0;
        for (int f = 0; f < 8; f++)
            if ((set >> f & 1) && !(f > 0 && (set >> (f - 1) & 1))) runs++;
        islands_table[set] = pair_mul(eval_weights.islands, runs > 1 ? runs - 1 : 0);
    }
}

// curve(n) - curve(neutral): zero at the neutral count, about `slope` per square around it.
void build_mobility(ScorePair* table, int size, int neutral, ScorePair slope) {
    auto curve = [neutral](int p, int x) {
        return int(p * (std::sqrt(x + 1.5) - std::sqrt(1.5)) / (std::sqrt(neutral + 2.0) - std::sqrt(neutral + 1.0)));
    };
    for (int n = 0; n < size; n++)
        table[n] = per_half(slope, [&](int p) { return curve(p, n) - curve(p, neutral); });
}

void build_king_passer(ScorePair table[9][9], ScorePair v) {
    for (int i = 0; i < 9; i++)
        for (int d = 0; d < 9; d++)
            table[i][d] = per_half(v, [&](int h) { return int(h * (std::sqrt(d + 1.0) - 1.0) * i * (i - 1) + 0.5); });
}

const int danger_curve[128] = {
    0,    1,    3,    6,    11,   17,   25,   34,   44,   55,   68,   81,   96,   112,  129,  147,
    166,  185,  205,  227,  248,  270,  293,  317,  340,  364,  388,  413,  438,  463,  487,  512,
    537,  562,  587,  611,  636,  660,  684,  708,  731,  754,  777,  799,  821,  842,  863,  884,
    904,  924,  943,  962,  980,  998,  1016, 1033, 1049, 1065, 1081, 1096, 1111, 1125, 1139, 1152,
    1165, 1178, 1190, 1201, 1213, 1224, 1234, 1245, 1254, 1264, 1273, 1282, 1291, 1299, 1307, 1314,
    1322, 1329, 1336, 1342, 1349, 1355, 1360, 1366, 1371, 1377, 1382, 1387, 1391, 1396, 1400, 1404,
    1408, 1412, 1415, 1419, 1422, 1425, 1428, 1431, 1434, 1437, 1439, 1442, 1444, 1447, 1449, 1451,
    1453, 1455, 1457, 1459, 1460, 1462, 1464, 1465, 1467, 1468, 1469, 1471, 1472, 1473, 1474, 1475,
};

void build_king_safety() {
    // Past the curve the table stays at its last value.
    for (int k = 0; k < KING_SAFETY_ENTRIES; k++) king_safety[k] = pair_mul(eval_weights.ksafety, danger_curve[k < 128 ? k : 127]);
}

void build_factor_table(ScorePair* table, int size, ScorePair param, const int* factors) {
    for (int i = 0; i < size; i++) table[i] = pair_mul(param, factors[i]);
}

void build_count_tables() {
    ScorePair* plain[] = {pdoubled_count, duofended_count, nblockade_count, disoo_count,
                          disoh_count,    isoh_count,      isoo_count,      pbkwd_count,
                          blockedopen_count, pmob_count,   pdev_count,      minorbehind_count};
    const ScorePair params[] = {eval_weights.pdoubled, eval_weights.duofended, eval_weights.nblockade, eval_weights.disoo, eval_weights.disoh, eval_weights.isoh,
                                eval_weights.isoo,     eval_weights.pbkwd,     eval_weights.blockedopen, eval_weights.pmob, eval_weights.pdev, eval_weights.minorbehind};
    for (int t = 0; t < 12; t++)
        for (int i = 0; i < COUNT_TABLE; i++) plain[t][i] = pair_mul(params[t], i);
    for (int i = 0; i < COUNT_TABLE; i++) {
        knight_pawns[i] = pair_mul(eval_weights.nwp, i - 5);
        rook_pawns[i] = pair_mul(eval_weights.rwp, i - 5);
        queen_pawns[i] = pair_mul(eval_weights.qwp, i - 5);
        bishop_same_colour_pawns[i] = pair_mul(eval_weights.bwps, i - 2);
        bishop_other_colour_pawns[i] = pair_mul(eval_weights.bwpo, i - 2);
        const int quad = i * (i - 1);
        path_clear_protected[i] = pair_mul(eval_weights.pathClearAndProtected, quad);
        path_clear_unprotected[i] = pair_mul(eval_weights.pathClearNotProtected, quad);
        path_protected[i] = pair_mul(eval_weights.pathProtected, quad);
        path_unprotected[i] = pair_mul(eval_weights.pathNotProtected, quad);
        path_open_friendly[i] = pair_mul(eval_weights.pathOpenFriendly, quad);
        base_passed[i] = make_pair_score(pair_open(eval_weights.basePassed) * quad, pair_end(eval_weights.basePassed) * (i * i + 1));
        protected_passed[i] = pair_mul(eval_weights.protectedPassed, i - 1);
    }
}

void build_wide_count_tables() {
    for (int i = 0; i < WIDE_COUNT_TABLE; i++) {
        up_threat_count[i] = pair_mul(eval_weights.upThreat, i < 2 ? i : i + 2);
        ga_threat_count[i] = pair_mul(eval_weights.gaThreat, i);
        outsq_count[i] = pair_mul(eval_weights.outsq, i);
        outpost_count[i] = pair_mul(eval_weights.outpost, i);
        predundant_count[i] = pair_mul(eval_weights.predundant, i);
    }
}

void build_shelter_storm() {
    static const int shelter_f[8] = {0, 27, 22, 10, 5, 0, 0, 0};
    static const int storm_f[8] = {6, 0, 0, 6, 13, 45, 0, 0};
    build_factor_table(shelter_rank, 8, eval_weights.shelter, shelter_f);
    build_factor_table(storm_rank, 8, eval_weights.storm, storm_f);
}

// Passer value by rank counted from the pawn's own first rank.
ScorePair passer_rank_value(int r) {
    static const int b_steps[8] = {0, 0, 0, 1, 3, 6, 10, 0};
    if (r == 0 || r == 7) return 0;
    return pair_add(passer_step_a, pair_mul(passer_step_b, b_steps[r]));
}

void build_passer_squares() {
    const int num = pair_end(connected_numerator);
    for (int side = 0; side < 2; side++)
        for (int s = 0; s < 64; s++) {
            const int r = side == WHITE ? rank_of(s) : 7 - rank_of(s);
            const ScorePair v = passer_rank_value(r);
            connected_passer[side][s] = per_half(v, [&](int h) { return h * num / 16; });
            candidate_passer[side][s] = per_half(v, [](int h) { return h * 3 / 4; });
        }
}

// Base tables as the owner sees them: row 0 is the far rank, files a-d, {opening, endgame}.
const int knight_base[8][4][2] = {
    {{-55, -40}, {-3, -3}, {-1, -1}, {0, 0}},     {{-5, -5}, {-1, -1}, {2, 2}, {3, 3}},
    {{-4, -4}, {0, 0}, {3, 3}, {5, 5}},           {{-4, -4}, {0, 0}, {3, 3}, {5, 5}},
    {{-5, -5}, {-1, -1}, {2, 2}, {3, 3}},         {{-7, -7}, {-3, -3}, {-1, -1}, {0, 0}},
    {{-10, -10}, {-7, -7}, {-5, -5}, {-4, -4}},   {{-15, -15}, {-12, -12}, {-10, -10}, {-9, -9}},
};
const int bishop_base[8][4][2] = {
    {{-4, -1}, {-5, -2}, {-5, -2}, {-4, -1}}, {{-6, -2}, {3, 1}, {5, 2}, {2, 1}},
    {{-7, -2}, {4, 1}, {6, 2}, {5, 2}},       {{-7, -2}, {0, 0}, {4, 1}, {9, 3}},
    {{-6, -2}, {1, 0}, {5, 2}, {10, 3}},      {{-6, -2}, {3, 1}, {5, 2}, {4, 1}},
    {{-5, -2}, {2, 1}, {2, 1}, {-1, 0}},      {{-3, -1}, {-6, -2}, {-8, -3}, {-9, -3}},
};
const int rook_base[8][4][2] = {
    {{-3, 0}, {0, 0}, {3, 0}, {6, 0}},  {{-3, 2}, {0, 2}, {3, 2}, {6, 2}},  {{-3, 2}, {0, 2}, {3, 2}, {6, 2}},
    {{-4, 1}, {-1, 1}, {2, 1}, {5, 1}}, {{-4, 0}, {-1, 0}, {2, 0}, {5, 0}}, {{-4, 0}, {-1, 0}, {2, 0}, {5, 0}},
    {{-4, 0}, {-1, 0}, {2, 0}, {5, 0}}, {{-4, 0}, {-1, 0}, {2, 0}, {5, 0}},
};
const int queen_base[8][4][2] = {
    {{-6, -6}, {-6, -6}, {-6, -6}, {-6, -6}}, {{-6, -6}, {0, 0}, {0, 0}, {0, 0}},
    {{-6, -6}, {0, 0}, {5, 5}, {5, 5}},       {{-6, -6}, {0, 0}, {5, 5}, {9, 9}},
    {{-6, -6}, {0, 0}, {5, 5}, {9, 9}},       {{-6, -6}, {0, 0}, {5, 5}, {5, 5}},
    {{-6, -6}, {0, 0}, {0, 0}, {0, 0}},       {{-6, -6}, {-6, -6}, {-6, -6}, {-6, -6}},
};
const int king_base[8][4][2] = {
    {{-71, -72}, {-65, -52}, {-87, -40}, {-99, -36}}, {{-63, -52}, {-57, -32}, {-80, -20}, {-93, -16}},
    {{-56, -40}, {-50, -20}, {-74, -8}, {-88, -4}},   {{-48, -36}, {-42, -16}, {-67, -4}, {-82, 0}},
    {{-39, -40}, {-33, -20}, {-59, -8}, {-75, -4}},   {{-30, -52}, {-24, -32}, {-51, -20}, {-68, -16}},
    {{-12, -72}, {-6, -52}, {-35, -40}, {-54, -36}},  {{-6, -100}, {0, -80}, {-30, -68}, {-50, -64}},
};

void build_pawn_squares() {
    static const int ro[8] = {0, -1, 0, 2, 4, 6, 6, 0};
    static const int fo[8] = {-11, -1, 4, 9, 9, 4, -1, -11};
    static const int fe[8] = {3, 1, -1, -3, -3, -1, 1, 3};
    const int so = pair_open(eval_weights.ptabm), se = pair_end(eval_weights.ptabm), h = so / 2;
    for (int s = 8; s < 56; s++) {
        const int r = rank_of(s), f = file_of(s);
        int open = (ro[r] + fo[f]) * so;
        // Centre pawns gain more from advancing in the opening, rim pawns less.
        if (f == 3 || f == 4)
            open += ro[r] * so;
        else if (f == 2 || f == 5)
            open += ro[r] * h;
        else if (f == 0 || f == 7)
            open -= ro[r] * h;
        const ScorePair v = make_pair_score(open, (ro[r] + fe[f]) * se);
        pst_table[WHITE][PAWN][s] = v;
        pst_table[BLACK][PAWN][s ^ 56] = pair_neg(v);
    }
}

void build_piece_squares(int type, const int base[8][4][2], ScorePair scale) {
    for (int s = 0; s < 64; s++) {
        const int row = s >> 3, f = file_of(s);
        const int* b = base[row][f < 4 ? f : 7 - f];
        const ScorePair v = make_pair_score(b[0] * pair_open(scale), b[1] * pair_end(scale));
        pst_table[WHITE][type][s ^ 56] = v;
        pst_table[BLACK][type][s] = pair_neg(v);
    }
}

void build_piece_square_tables() {
    for (int side = 0; side < 2; side++)
        for (int t = 0; t < 8; t++)
            for (int s = 0; s < 64; s++) pst_table[side][t][s] = 0;
    build_pawn_squares();
    build_piece_squares(KNIGHT, knight_base, eval_weights.ntabm);
    build_piece_squares(BISHOP, bishop_base, eval_weights.btabm);
    build_piece_squares(ROOK, rook_base, eval_weights.rtabm);
    build_piece_squares(QUEEN, queen_base, eval_weights.qtabm);
    build_piece_squares(KING, king_base, eval_weights.ktabm);
    const ScorePair values[6] = {0, eval_weights.pval, eval_weights.nval, eval_weights.bval, eval_weights.rval, eval_weights.qval};
    for (int t = PAWN; t <= QUEEN; t++)
        for (int s = 0; s < 64; s++) {
            pst_table[WHITE][t][s] = pair_add(pst_table[WHITE][t][s], values[t]);
            pst_table[BLACK][t][s] = pair_sub(pst_table[BLACK][t][s], values[t]);
        }
}

void build_piece_values() {
    const ScorePair values[6] = {0, eval_weights.pval, eval_weights.nval, eval_weights.bval, eval_weights.rval, eval_weights.qval};
    piece_value[0] = piece_value[KING] = 0;
    for (int t = PAWN; t <= QUEEN; t++) {
        const int o = pair_open(values[t]), e = pair_end(values[t]);
        piece_value[t] = (o > e ? o : e) / 10;
    }
    for (int p = 0; p <= MAX_PHASE; p++) {
        int* row = phase_piece_value[p];
        row[0] = 0;
        for (int t : {PAWN, KNIGHT, ROOK, QUEEN}) {
            const int o = pair_open(values[t]), e = pair_end(values[t]);
            row[t] = (e * 96 + p * (o - e)) / 960;
        }
        const int bo = pair_open(eval_weights.bval), be = pair_end(eval_weights.bval);
        row[BISHOP] = (be * 96 + 14400 + p * (bo - be + 100)) / 960;
        row[KING] = 10000;
    }
}

}  // namespace

void buildEvalTables(const EvalWeights& w) {
    eval_weights = w;
    build_islands();
    build_mobility(knight_mobility, 16, 9, eval_weights.nmob);
    build_mobility(bishop_mobility, 16, 7, eval_weights.bmob);
    build_mobility(rook_mobility, 16, 8, eval_weights.rmob);
    build_mobility(queen_mobility, 32, 14, eval_weights.qmob);
    build_king_passer(own_king_passer, eval_weights.fkpass);
    build_king_passer(enemy_king_passer, eval_weights.ekpass);
    build_king_safety();
    static const int kpp_f[8] = {13, 9, 6, 4, 3, 2, 1, 0};
    static const int knd_f[8] = {0, 8, 3, 0, -2, -3, -4, -5};
    build_factor_table(king_pawn_distance, 8, eval_weights.kppdist, kpp_f);
    build_factor_table(knight_king_distance, 8, eval_weights.kndist, knd_f);
    build_count_tables();
    build_wide_count_tables();
    build_shelter_storm();
    build_passer_squares();
    build_piece_square_tables();
    build_piece_values();
}

// Tables derived from the evaluation parameters.
#pragma once
#include "board/position.h"
#include "board/score.h"
#include "eval/params.h"

// Builds every derived table and the piece-square table from the weights, and keeps a copy of the
// weights for the terms that read them directly. Done once at start-up; tests build other sets and
// empty the caches built on the old ones.
void buildEvalTables(const EvalWeights& w = default_weights);
extern EvalWeights eval_weights;
// Piece-square values with the piece values folded in, by side, type and square; the position keeps
// their running sum.
extern PieceSquareTable pst_table;

constexpr int COUNT_TABLE = 9;
constexpr int WIDE_COUNT_TABLE = 18;
constexpr int KING_SAFETY_ENTRIES = 256;
constexpr int MAX_PHASE = 96;

extern ScorePair islands_table[256];  // by the 8-bit set of files holding own pawns
extern ScorePair knight_mobility[16], bishop_mobility[16], rook_mobility[16], queen_mobility[32];
// [ranks advanced beyond the second][king distance to the square ahead of the passer]
extern ScorePair own_king_passer[9][9], enemy_king_passer[9][9];
extern ScorePair king_safety[KING_SAFETY_ENTRIES];
extern ScorePair king_pawn_distance[8];    // by king distance to the square ahead of a passer
extern ScorePair knight_king_distance[8];  // by knight distance to its own king

// Count tables, index = number of pieces or squares concerned.
extern ScorePair pdoubled_count[COUNT_TABLE], duofended_count[COUNT_TABLE], nblockade_count[COUNT_TABLE],
    disoo_count[COUNT_TABLE], disoh_count[COUNT_TABLE], isoh_count[COUNT_TABLE], isoo_count[COUNT_TABLE],
    pbkwd_count[COUNT_TABLE], blockedopen_count[COUNT_TABLE], pmob_count[COUNT_TABLE], pdev_count[COUNT_TABLE],
    minorbehind_count[COUNT_TABLE];
extern ScorePair knight_pawns[COUNT_TABLE], rook_pawns[COUNT_TABLE], queen_pawns[COUNT_TABLE];
extern ScorePair bishop_same_colour_pawns[COUNT_TABLE], bishop_other_colour_pawns[COUNT_TABLE];
// Passed pawns, by ranks advanced beyond the second.
extern ScorePair path_clear_protected[COUNT_TABLE], path_clear_unprotected[COUNT_TABLE],
    path_protected[COUNT_TABLE], path_unprotected[COUNT_TABLE], path_open_friendly[COUNT_TABLE],
    base_passed[COUNT_TABLE], protected_passed[COUNT_TABLE];

extern ScorePair up_threat_count[WIDE_COUNT_TABLE], ga_threat_count[WIDE_COUNT_TABLE],
    outsq_count[WIDE_COUNT_TABLE], outpost_count[WIDE_COUNT_TABLE], predundant_count[WIDE_COUNT_TABLE];


// By rank counted from the pawn's own first rank.
extern ScorePair shelter_rank[8], storm_rank[8];
// [side][square] of a passer with a passer neighbour, and of a candidate passer.
extern ScorePair connected_passer[2][64], candidate_passer[2][64];

// Plain piece values for the search: none, pawn .. king.
extern int piece_value[7];
extern int phase_piece_value[MAX_PHASE + 1][7];

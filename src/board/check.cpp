#include "board/check.h"

bool king_attacked(const Position& pos, int side) {
    const int k = lsb_index(pos.bb[side][KING]), o = 1 - side;
    const Bitboard occ = occupied(pos);
    if (knight_attacks[k] & pos.bb[o][KNIGHT]) return true;
    if (bishop_attacks(k, occ) & (pos.bb[o][BISHOP] | pos.bb[o][QUEEN])) return true;
    if (rook_attacks(k, occ) & (pos.bb[o][ROOK] | pos.bb[o][QUEEN])) return true;
    if (pawn_attacks_from(side, k) & pos.bb[o][PAWN]) return true;
    return (king_attacks[k] & pos.bb[o][KING]) != 0;
}

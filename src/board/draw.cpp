#include "board/draw.h"

#include "board/legal.h"

bool is_draw_by_rule(const Position& pos) {
    // A mate delivered by the move that completes the hundredth half-move still wins.
    if (pos.rule50 > 99) return !(pos.in_check && !has_legal_move(pos));
    if (pos.rule50 < 4) return false;
    // Same side to move only: even distances, never past the last irreversible move.
    const Position* p = pos.prev;
    if (!p || !(p = p->prev) || !(p = p->prev) || !(p = p->prev)) return false;
    for (int dist = 4;;) {
        if (p->key == pos.key) return true;
        dist += 2;
        if (dist > pos.rule50) return false;
        if (!p->prev || !(p = p->prev->prev)) return false;
    }
}

bool king_attacked(const Position& pos, int side) {
    const int k = lsb_index(pos.bb[side][KING]), o = 1 - side;
    const Bitboard occ = occupied(pos);
    if (knight_attacks[k] & pos.bb[o][KNIGHT]) return true;
    if (bishop_attacks(k, occ) & (pos.bb[o][BISHOP] | pos.bb[o][QUEEN])) return true;
    if (rook_attacks(k, occ) & (pos.bb[o][ROOK] | pos.bb[o][QUEEN])) return true;
    if (pawn_attacks_from(side, k) & pos.bb[o][PAWN]) return true;
    return (king_attacks[k] & pos.bb[o][KING]) != 0;
}

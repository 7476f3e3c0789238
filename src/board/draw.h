// Fifty-move and repetition draws, the early-exit king-attack test and its shortcuts after a move.
#pragma once
#include "board/position.h"

bool is_draw_by_rule(const Position& pos);
bool king_attacked(const Position& pos, int side);

// Whether a piece of the type and side standing on sq attacks square k, the board holding occ.
inline bool attacks_square(int type, int side, int sq, int k, Bitboard occ) {
    const Bitboard kb = square_bit[k];
    switch (type) {
        case PAWN: return (pawn_attacks(side, square_bit[sq]) & kb) != 0;
        case KNIGHT: return (knight_attacks[sq] & kb) != 0;
        case BISHOP: return (bishop_lines[sq] & kb) && !(between[sq][k] & occ);
        case ROOK: return (rook_lines[sq] & kb) && !(between[sq][k] & occ);
        case QUEEN: return (queen_lines[sq] & kb) && !(between[sq][k] & occ);
        default: return (king_attacks[sq] & kb) != 0;
    }
}

// Whether a piece leaving `from` could open a line from square k to a slider of side `by`.
inline bool may_uncover(const Position& pos, int k, int from, int by) {
    const Bitboard f = square_bit[from], queens = pos.bb[by][QUEEN];
    return ((bishop_lines[k] & f) && (bishop_lines[k] & (pos.bb[by][BISHOP] | queens))) ||
           ((rook_lines[k] & f) && (rook_lines[k] & (pos.bb[by][ROOK] | queens)));
}

// After make_move(parent, child, m): whether the mover's king stands attacked. Needs parent.in_check.
inline bool king_exposed_by(const Position& parent, const Position& child, Move m) {
    const int us = parent.ply & 1, from = move_from(m);
    const int k = lsb_index(parent.bb[us][KING]);
    // Out of check, only a king move, en passant or a piece leaving a line to an enemy slider can expose it.
    if (!parent.in_check && from != k && move_flag(m) != FLAG_EP && !may_uncover(child, k, from, 1 - us)) return false;
    return king_attacked(child, us);
}

// After make_move(parent, child, m): whether the side to move in child is in check.
inline bool check_given_by(const Position& child, Move m) {
    const int them = child.ply & 1, from = move_from(m), to = move_to(m);
    const int k = lsb_index(child.bb[them][KING]);
    // Special moves and possible discoveries take the full test; any other move can check only
    // with the piece that moved.
    if (move_flag(m) > FLAG_DOUBLE || may_uncover(child, k, from, 1 - them)) return king_attacked(child, them);
    return attacks_square(child.board[to] & 7, 1 - them, to, k, occupied(child));
}

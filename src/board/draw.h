// Fifty-move and repetition draws, the early-exit king-attack test, its shortcuts after a move, and
// the check squares that tell before a move whether it checks.
#pragma once
#include "board/position.h"

// The fifty-move rule (unless the side to move is mated) or a repetition; needs pos.in_check.
bool is_draw_by_rule(const Position& pos);
bool king_attacked(const Position& pos, int side);

// Whether a piece of the type and side standing on sq attacks square k, the board holding occ.
inline bool attacks_square(int type, int side, int sq, int k, Bitboard occ) {
    return (piece_reach[side][type][sq] & square_bit[k]) && !(between[sq][k] & occ);
}

// Whether a piece leaving `from` could open a line from square k to a slider of side `by`.
inline bool may_uncover(const Position& pos, int k, int from, int by) {
    // Masks rather than && chains: which line `from` shares with k is as good as random.
    const Bitboard queens = pos.bb[by][QUEEN];
    const Bitboard on_diag = 0 - ((bishop_lines[k] >> from) & 1), on_line = 0 - ((rook_lines[k] >> from) & 1);
    return ((on_diag & bishop_lines[k] & (pos.bb[by][BISHOP] | queens)) | (on_line & rook_lines[k] & (pos.bb[by][ROOK] | queens))) != 0;
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

// What a node needs to tell cheaply, before making them, whether its moves check: the squares from
// which each type of the mover's pieces attacks the enemy king, and the lines to that king that a
// single piece of the mover blocks in front of a slider.
struct CheckSquares {
    Bitboard direct[7];  // by the moving piece's type (0 reads like a king, as in attacks_square)
    Bitboard blocker[8], line[8];
    int lines;
};

inline void check_squares_init(const Position& pos, CheckSquares& c) {
    const int us = pos.ply & 1, them = 1 - us;
    const int k = lsb_index(pos.bb[them][KING]);
    const Bitboard occ = occupied(pos), diag = bishop_attacks(k, occ), straight = rook_attacks(k, occ);
    c.direct[0] = c.direct[KING] = king_attacks[k];
    c.direct[PAWN] = pawn_attacks_from(them, k);
    c.direct[KNIGHT] = knight_attacks[k];
    c.direct[BISHOP] = diag;
    c.direct[ROOK] = straight;
    c.direct[QUEEN] = diag | straight;
    c.lines = 0;
    const Bitboard queens = pos.bb[us][QUEEN];
    Bitboard sliders = (bishop_lines[k] & (pos.bb[us][BISHOP] | queens)) | (rook_lines[k] & (pos.bb[us][ROOK] | queens));
    while (sliders) {
        const int s = pop_lsb(sliders);
        const Bitboard b = between[s][k] & occ;
        if (b && !(b & (b - 1)) && (b & pos.bb[us][0]) && c.lines < 8) {
            c.blocker[c.lines] = b;
            c.line[c.lines++] = between[s][k];
        }
    }
}

// Whether m checks, directly or by discovery: exact for a legal move without a special flag (the
// side not to move is never in check); castling, en passant and promotions are judged like a plain
// move of the piece that moves.
inline bool checks_from(const CheckSquares& c, const Position& pos, Move m) {
    const Bitboard from = square_bit[move_from(m)], to = square_bit[move_to(m)];
    if (c.direct[pos.board[move_from(m)] & 7] & to) return true;
    for (int i = 0; i < c.lines; i++)
        if (c.blocker[i] == from && !(c.line[i] & to)) return true;
    return false;
}

#include "board/legal.h"

#include "board/draw.h"
#include "board/makemove.h"

LegalityContext legality_context(const Position& pos) {
    LegalityContext c;
    c.us = pos.ply & 1;
    c.them = 1 - c.us;
    c.king = lsb_index(pos.bb[c.us][KING]);
    c.occ = occupied(pos);
    c.checkers = attackers_to(pos, c.king, c.them, c.occ);
    c.pinned = 0;
    Bitboard snipers = (bishop_lines[c.king] & (pos.bb[c.them][BISHOP] | pos.bb[c.them][QUEEN])) |
                       (rook_lines[c.king] & (pos.bb[c.them][ROOK] | pos.bb[c.them][QUEEN]));
    while (snipers) {
        Bitboard b = between[c.king][pop_lsb(snipers)] & c.occ;
        if (b && !(b & (b - 1)) && (b & pos.bb[c.us][0])) c.pinned |= b;
    }
    return c;
}

bool is_legal(const Position& pos, const LegalityContext& c, Move m) {
    const int from = move_from(m), to = move_to(m), flag = move_flag(m);
    if (flag == FLAG_EP) {
        Position child;
        make_move(pos, child, m);
        return !king_attacked(child, c.us);
    }
    if (from == c.king) {
        if (flag == FLAG_CASTLE) return true;  // generated only through safe squares
        return !attackers_to(pos, to, c.them, c.occ ^ square_bit[from]);
    }
    if (c.checkers) {
        if (c.checkers & (c.checkers - 1)) return false;
        const int ch = lsb_index(c.checkers);
        if (to != ch && !(between[c.king][ch] & square_bit[to])) return false;
    }
    if (c.pinned & square_bit[from])
        return (between[c.king][to] & square_bit[from]) || (between[c.king][from] & square_bit[to]);
    return true;
}

int generate_legal_moves(const Position& pos, Move* out) {
    Move moves[MAX_MOVES];
    const int n = generate_all_moves(pos, moves);
    const LegalityContext c = legality_context(pos);
    int k = 0;
    for (int i = 0; i < n; i++)
        if (is_legal(pos, c, moves[i])) out[k++] = moves[i];
    return k;
}

bool has_legal_move(const Position& pos) {
    Move moves[MAX_MOVES];
    const int n = generate_all_moves(pos, moves);
    const LegalityContext c = legality_context(pos);
    for (int i = 0; i < n; i++)
        if (is_legal(pos, c, moves[i])) return true;
    return false;
}

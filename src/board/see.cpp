#include "board/see.h"

const int exchange_piece_value[8] = {0, 1, 3, 3, 5, 9, 999, 0};
const int threat_piece_value[8] = {0, 2, 6, 7, 10, 19, 999, 0};

namespace {

// En passant, castling and under-promotions to rook or bishop are never judged.
inline bool unjudged(Move m) {
    const int f = move_flag(m);
    return f == FLAG_EP || f == FLAG_CASTLE || f == FLAG_PROMO_R || f == FLAG_PROMO_B;
}

// One exchange on `to`: the board left.
struct Exchange {
    const Position* pos;
    int to;
    Bitboard occ;
};

inline Exchange start_exchange(const Position& pos, int to, Bitboard occ) { return {&pos, to, occ}; }

// Takes the least valuable attacker of `side` (the lowest square among equals) off the board and
// returns its type, 0 when the side has none left. Inlined so that the exchange stays in registers.
// The sliders are looked up afresh at each call: keeping them between calls costs more in
// mispredicted staleness tests than the lookups it saves.
template <int side>
[[gnu::always_inline]] inline int take_least(Exchange& x) {
    const Bitboard* own = x.pos->bb[side];
    Bitboard b = pawn_attacks_from(1 - side, x.to) & own[PAWN] & x.occ;
    if (b) return x.occ ^= b & (0 - b), PAWN;
    if ((b = knight_attacks[x.to] & own[KNIGHT] & x.occ)) return x.occ ^= b & (0 - b), KNIGHT;
    // The empty-board rays tell without a lookup whether the side has any slider in line.
    const Bitboard diag_sliders = (own[BISHOP] | own[QUEEN]) & x.occ, line_sliders = (own[ROOK] | own[QUEEN]) & x.occ;
    Bitboard diag = 0, line = 0;
    if (bishop_lines[x.to] & diag_sliders) {
        diag = bishop_attacks(x.to, x.occ) & diag_sliders;
        if ((b = diag & own[BISHOP])) return x.occ ^= b & (0 - b), BISHOP;
    }
    if (rook_lines[x.to] & line_sliders) {
        line = rook_attacks(x.to, x.occ) & line_sliders;
        if ((b = line & own[ROOK])) return x.occ ^= b & (0 - b), ROOK;
    }
    if ((b = diag | line)) return x.occ ^= b & (0 - b), QUEEN;  // only queens are left in them
    if ((b = king_attacks[x.to] & own[KING] & x.occ)) return x.occ ^= b, KING;
    return 0;
}

// Value of a move's destination: a square-to-itself query captures nothing.
inline int captured_type(const Position& pos, int from, int to) { return from == to ? 7 : pos.board[to] & 7; }

// Full minimax of the capture sequence on `to`, both sides free to stop after the first capture, the
// sides' turns written out. At most 35 squares (27 on lines, 8 a knight's jump away) bear on one
// square, so the gains never run past the array.
template <int mover>
int swap_sequence(Exchange& x, int captured, int on_square, const int* value) {
    int gain[40];
    int d = 0;
    gain[0] = captured;
    for (int t;;) {
        if (!(t = take_least<1 - mover>(x))) break;
        d++;
        gain[d] = on_square - gain[d - 1];
        on_square = value[t];
        if (!(t = take_least<mover>(x))) break;
        d++;
        gain[d] = on_square - gain[d - 1];
        on_square = value[t];
    }
    for (; d > 0; d--) gain[d - 1] = -(-gain[d - 1] > gain[d] ? -gain[d - 1] : gain[d]);
    return gain[0];
}

int swap_value(const Position& pos, int from, int to, int mover, const int* value) {
    Exchange x = start_exchange(pos, to, occupied(pos) & ~square_bit[from] & ~square_bit[to]);
    const int captured = value[captured_type(pos, from, to)], on_square = value[pos.board[from] & 7];
    return mover == WHITE ? swap_sequence<WHITE>(x, captured, on_square, value)
                          : swap_sequence<BLACK>(x, captured, on_square, value);
}

// The exchange after the mover's first capture, the two sides' turns written out so that each
// knows its own stopping rule. balance: the mover's gain so far; on_square: the value now on `to`.
template <int mover>
int see_exchange(Exchange& x, int balance, int on_square) {
    constexpr int them = 1 - mover;
    for (;;) {
        // The opponent stops as soon as it is ahead, and cannot win by taking when even the piece
        // on the square would leave the mover level.
        if (balance < 0) return -1;
        if (balance - on_square >= 0) return 0;
        int t = take_least<them>(x);
        if (!t) return 0;
        balance -= on_square;
        on_square = exchange_piece_value[t];
        // The mover stops as soon as it is level, and cannot recover when even the piece on the
        // square would leave it short.
        if (balance >= 0) return 0;
        if (balance + on_square < 0) return -1;
        t = take_least<mover>(x);
        if (!t) return -1;
        balance += on_square;
        on_square = exchange_piece_value[t];
    }
}

}  // namespace

int see(const Position& pos, Move m) {
    if (unjudged(m)) return 0;
    const int from = move_from(m), to = move_to(m);
    if (!pos.board[from]) return 0;
    const int v = exchange_piece_value[captured_type(pos, from, to)];
    const int a = exchange_piece_value[pos.board[from] & 7];
    if (v >= a) return 0;
    Exchange x = start_exchange(pos, to, occupied(pos) & ~square_bit[from] & ~square_bit[to]);
    return (pos.board[from] & 16) ? see_exchange<WHITE>(x, v, a) : see_exchange<BLACK>(x, v, a);
}

int exchange_value(const Position& pos, Move m, int side_flag) {
    if (unjudged(m)) return 0;
    const int from = move_from(m);
    if (!pos.board[from]) return 0;
    const int mover = side_flag ? 1 - (pos.ply & 1) : (pos.ply & 1);
    return swap_value(pos, from, move_to(m), mover, exchange_piece_value);
}

int threat_on_square(const Position& pos, int square) {
    return swap_value(pos, square, square, pos.ply & 1, threat_piece_value);
}

namespace {

// 1 when the piece on t can win one of the targets by exchange.
int wins_any(const Position& pos, int t, Bitboard targets) {
    while (targets)
        if (exchange_value(pos, make_move_word(t, pop_lsb(targets)), 1) > 0) return 1;
    return 0;
}

}  // namespace

int last_move_threat(const Position& pos) {
    if (!pos.last_move || pos.ply == 0) return 0;
    const int us = pos.ply & 1, them = 1 - us;
    const int t = move_to(pos.last_move);
    const Bitboard* s = pos.bb[us];
    const Bitboard occ = occupied(pos);
    switch (pos.board[t] & 7) {
        case PAWN:
            return (pawn_attacks_from(them, t) & (s[0] & ~s[PAWN] & ~s[KING])) ? 2 : 0;
        case KNIGHT: {
            const Bitboard a = knight_attacks[t];
            if (a & (s[ROOK] | s[QUEEN])) return 2;
            return wins_any(pos, t, a & (s[BISHOP] | s[PAWN]));
        }
        case BISHOP: {
            const Bitboard a = bishop_attacks(t, occ);
            if (a & (s[ROOK] | s[QUEEN])) return 2;
            return wins_any(pos, t, a & (s[KNIGHT] | s[PAWN]));
        }
        case ROOK: {
            const Bitboard a = rook_attacks(t, occ);
            if (a & s[QUEEN]) return 2;
            return wins_any(pos, t, a & (s[KNIGHT] | s[BISHOP] | s[PAWN]));
        }
        case QUEEN:
            return wins_any(pos, t, queen_attacks(t, occ) & s[0] & ~s[QUEEN] & ~s[KING]);
        case KING:
            return wins_any(pos, t, king_attacks[t] & s[0] & ~s[KING]);
        default:
            return 0;
    }
}

int largest_threat_above(const Position& pos, int limit) {
    const int us = pos.ply & 1, them = 1 - us;
    const Bitboard their_seventh = them == WHITE ? RANK_7_BB : RANK_2_BB;
    if (pos.bb[them][PAWN] & their_seventh) return 15;
    // Scan from the most valuable pieces down, stopping once nothing cheaper could lose more, or
    // once the loss found passes the caller's limit. A piece no enemy attacks loses nothing, so only
    // the attacked ones are judged.
    static const int order[5] = {QUEEN, ROOK, BISHOP, KNIGHT, PAWN};
    static const int stop_below[5] = {-4, -3, -2, -1, -1000};
    const Bitboard attacked = attacked_by(pos, them);
    int m = 0;
    for (int i = 0; i < 5; i++) {
        for (Bitboard b = pos.bb[us][order[i]] & attacked; b;) {
            const int v = threat_on_square(pos, pop_lsb(b));
            if (v < m) m = v;
        }
        if (m < stop_below[i] || -m > limit) break;
    }
    return -m;
}

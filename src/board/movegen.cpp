#include "board/movegen.h"

namespace {

constexpr Bitboard LAST_RANKS = 0xFF000000000000FFULL;

inline int emit_promotions(Move* out, int n, int from, int to) {
    for (int f = FLAG_PROMO_Q; f <= FLAG_PROMO_B; f++) out[n++] = make_move_word(from, to, f);
    return n;
}

// Moves from `from` to each square of `targets`, ascending.
inline int emit_targets(Move* out, int n, int from, Bitboard targets) {
    while (targets) out[n++] = make_move_word(from, pop_lsb(targets));
    return n;
}

// Pawn captures on `targets` shifted by `delta` (to = from + delta), promotions expanded.
inline int emit_pawn_captures(Move* out, int n, Bitboard targets, int delta, Bitboard ep) {
    while (targets) {
        int to = pop_lsb(targets);
        int from = to - delta;
        if (square_bit[to] & LAST_RANKS)
            n = emit_promotions(out, n, from, to);
        else
            out[n++] = make_move_word(from, to, (square_bit[to] & ep) ? FLAG_EP : FLAG_NONE);
    }
    return n;
}

inline Bitboard push_one(int side, Bitboard b) { return side == WHITE ? b << 8 : b >> 8; }

}  // namespace

// King side first. The king ends on the g or c file and the rook beside it; every square either
// crosses must be empty but for the two of them, and the king may not start in, pass through or
// land in check, judged with the castling rook lifted (it may have shielded the king on the rank).
int generate_castling(const Position& pos, int side, Move* out) {
    const Bitboard king = pos.bb[side][KING] & castle_homes(pos, side);
    if (!king) return 0;
    const int k = lsb_index(king), base = k & 56;
    const Bitboard occ = occupied(pos);
    int n = 0;
    for (int king_side = 1; king_side >= 0; king_side--) {
        const int r = castle_rook(pos, side, king_side);
        if (r < 0) continue;
        const int kt = base + (king_side ? 6 : 2), rt = base + (king_side ? 5 : 3);
        const Bitboard path = between[k][kt] | square_bit[kt] | king;
        if (occ & (path | between[r][rt] | square_bit[rt]) & ~(king | square_bit[r])) continue;
        const Bitboard lifted = occ ^ square_bit[r];
        bool safe = true;
        for (Bitboard b = path; b && safe;) safe = !attackers_to(pos, pop_lsb(b), 1 - side, lifted);
        if (safe) out[n++] = make_move_word(k, kt, FLAG_CASTLE);
    }
    return n;
}

int generate_all_moves(const Position& pos, Move* out) {
    const int us = pos.ply & 1, them = 1 - us;
    const Bitboard own = pos.bb[us][0], enemy = pos.bb[them][0], occ = own | enemy, empty = ~occ;
    const Bitboard pawns = pos.bb[us][PAWN];
    const int fwd = us == WHITE ? 8 : -8;
    const Bitboard seventh = us == WHITE ? RANK_7_BB : RANK_2_BB;
    int n = 0;

    Bitboard promo = push_one(us, pawns & seventh) & empty;
    while (promo) {
        int to = pop_lsb(promo);
        n = emit_promotions(out, n, to - fwd, to);
    }
    n += generate_castling(pos, us, out + n);

    const Bitboard victims = enemy | pos.ep_mask;
    if (us == WHITE) {
        n = emit_pawn_captures(out, n, ((pawns << 7) & NOT_FILE_H) & victims, 7, pos.ep_mask);
        n = emit_pawn_captures(out, n, ((pawns << 9) & NOT_FILE_A) & victims, 9, pos.ep_mask);
    } else {
        n = emit_pawn_captures(out, n, ((pawns >> 9) & NOT_FILE_H) & victims, -9, pos.ep_mask);
        n = emit_pawn_captures(out, n, ((pawns >> 7) & NOT_FILE_A) & victims, -7, pos.ep_mask);
    }

    Bitboard single = push_one(us, pawns & ~seventh) & empty;
    for (Bitboard b = single; b;) {
        int to = pop_lsb(b);
        out[n++] = make_move_word(to - fwd, to);
    }
    for (Bitboard b = pos.bb[us][KNIGHT]; b;) {
        int from = pop_lsb(b);
        n = emit_targets(out, n, from, knight_attacks[from] & ~own);
    }
    for (Bitboard b = pos.bb[us][BISHOP]; b;) {
        int from = pop_lsb(b);
        n = emit_targets(out, n, from, bishop_attacks(from, occ) & ~own);
    }
    for (Bitboard b = pos.bb[us][ROOK]; b;) {
        int from = pop_lsb(b);
        n = emit_targets(out, n, from, rook_attacks(from, occ) & ~own);
    }
    for (Bitboard b = pos.bb[us][QUEEN]; b;) {
        int from = pop_lsb(b);
        n = emit_targets(out, n, from, queen_attacks(from, occ) & ~own);
    }
    for (Bitboard b = pos.bb[us][KING]; b;) {
        int from = pop_lsb(b);
        n = emit_targets(out, n, from, king_attacks[from] & ~own);
    }
    const Bitboard second = us == WHITE ? RANK_2_BB : RANK_7_BB;
    Bitboard dbl = push_one(us, push_one(us, pawns & second) & empty) & empty;
    while (dbl) {
        int to = pop_lsb(dbl);
        out[n++] = make_move_word(to - 2 * fwd, to, FLAG_DOUBLE);
    }
    return n;
}

int generate_captures_on(const Position& pos, Move* out, int sq) {
    const int us = pos.ply & 1;
    const Bitboard occ = occupied(pos), target = square_bit[sq];
    int n = 0;
    Bitboard pawns = pawn_attacks_from(1 - us, sq) & pos.bb[us][PAWN];
    while (pawns) {
        int from = pop_lsb(pawns);
        if (target & LAST_RANKS)
            n = emit_promotions(out, n, from, sq);
        else
            out[n++] = make_move_word(from, sq);
    }
    for (Bitboard b = knight_attacks[sq] & pos.bb[us][KNIGHT]; b;) out[n++] = make_move_word(pop_lsb(b), sq);
    for (Bitboard b = king_attacks[sq] & pos.bb[us][KING]; b;) out[n++] = make_move_word(pop_lsb(b), sq);
    for (Bitboard b = bishop_lines[sq] & (pos.bb[us][BISHOP] | pos.bb[us][QUEEN]); b;) {
        int from = pop_lsb(b);
        if (!(between[from][sq] & occ)) out[n++] = make_move_word(from, sq);
    }
    for (Bitboard b = rook_lines[sq] & (pos.bb[us][ROOK] | pos.bb[us][QUEEN]); b;) {
        int from = pop_lsb(b);
        if (!(between[from][sq] & occ)) out[n++] = make_move_word(from, sq);
    }
    return n;
}

int generate_quiets_to(const Position& pos, Move* out, Bitboard targets) {
    const int us = pos.ply & 1;
    const Bitboard occ = occupied(pos), pawns = pos.bb[us][PAWN];
    const int fwd = us == WHITE ? 8 : -8;
    int n = 0;
    for (Bitboard b = push_one(us, pawns) & targets; b;) {
        int to = pop_lsb(b);
        out[n++] = make_move_word(to - fwd, to, (square_bit[to] & LAST_RANKS) ? FLAG_PROMO_Q : FLAG_NONE);
    }
    const Bitboard second = us == WHITE ? RANK_2_BB : RANK_7_BB;
    for (Bitboard b = push_one(us, push_one(us, pawns & second) & ~occ) & ~occ & targets; b;) {
        int to = pop_lsb(b);
        out[n++] = make_move_word(to - 2 * fwd, to, FLAG_DOUBLE);
    }
    for (Bitboard b = pos.bb[us][KNIGHT]; b;) {
        int from = pop_lsb(b);
        n = emit_targets(out, n, from, knight_attacks[from] & targets);
    }
    for (Bitboard b = pos.bb[us][BISHOP] | pos.bb[us][QUEEN]; b;) {
        int from = pop_lsb(b);
        n = emit_targets(out, n, from, bishop_attacks(from, occ) & targets);
    }
    for (Bitboard b = pos.bb[us][ROOK] | pos.bb[us][QUEEN]; b;) {
        int from = pop_lsb(b);
        n = emit_targets(out, n, from, rook_attacks(from, occ) & targets);
    }
    return n;
}

bool move_is_pseudo_legal(const Position& pos, Move m) {
    const int us = pos.ply & 1, them = 1 - us;
    const int flag = move_flag(m), from = move_from(m), to = move_to(m);
    if (flag == FLAG_EP) return false;
    if (flag == FLAG_CASTLE) {
        Move c[2];
        int n = generate_castling(pos, us, c);
        for (int i = 0; i < n; i++)
            if (c[i] == m) return true;
        return false;
    }
    if (m >> 15) return false;
    int t = piece_type_on(pos, us, from);
    if (!t || (pos.bb[us][0] & square_bit[to])) return false;
    bool enemy_on_to = (pos.bb[them][0] & square_bit[to]) != 0;
    if ((flag == FLAG_DOUBLE || flag >= FLAG_PROMO_Q) && t != PAWN) return false;
    const Bitboard occ = occupied(pos);
    switch (t) {
        case KING: return (king_attacks[from] & square_bit[to]) && flag == FLAG_NONE;
        case KNIGHT: return (knight_attacks[from] & square_bit[to]) && flag == FLAG_NONE;
        case BISHOP: return (bishop_lines[from] & square_bit[to]) && !(between[from][to] & occ) && flag == FLAG_NONE;
        case ROOK: return (rook_lines[from] & square_bit[to]) && !(between[from][to] & occ) && flag == FLAG_NONE;
        case QUEEN: return (queen_lines[from] & square_bit[to]) && !(between[from][to] & occ) && flag == FLAG_NONE;
        default: break;
    }
    int step = us == WHITE ? from + 8 : from - 8;
    if (step < 0 || step > 63) return false;
    bool last = (square_bit[step] & LAST_RANKS) != 0;
    if (last != (flag >= FLAG_PROMO_Q)) return false;
    if (enemy_on_to) {
        if (flag == FLAG_DOUBLE) return false;
        return rank_of(to) == rank_of(step) && (to == step + 1 || to == step - 1);
    }
    if (occ & square_bit[step]) return false;
    if (to == step) return flag != FLAG_DOUBLE;
    if (flag != FLAG_DOUBLE) return false;
    int second_rank = us == WHITE ? 1 : 6;
    int two = us == WHITE ? step + 8 : step - 8;
    return rank_of(from) == second_rank && to == two && !(occ & square_bit[two]);
}

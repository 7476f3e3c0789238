#include "board/makemove.h"

#include <cstring>

#include "platform/block_copy.h"

namespace {

inline void move_piece(Position& c, const PieceSquareTable& pst, int s, int t, int from, int to, Bitboard ft) {
    c.key ^= zobrist_piece[s][t][from] ^ zobrist_piece[s][t][to];
    c.pst = pair_add(c.pst, pair_sub(pst[s][t][to], pst[s][t][from]));
    c.bb[s][t] ^= ft;
    c.bb[s][0] ^= ft;
    c.board[to] = c.board[from];
    c.board[from] = 0;
}

// The king goes to the g or c file and the rook next to it on the inside; either may start where
// the other ends, or already stand on its target.
inline void castle(Position& c, const PieceSquareTable& pst, int s, int from, int to) {
    const bool king_side = file_of(to) == 6;
    const int before = castle_rights(c);
    const int rf = castle_rook(c, s, king_side), rt = king_side ? to - 1 : to + 1;
    c.key ^= zobrist_piece[s][KING][from] ^ zobrist_piece[s][KING][to] ^ zobrist_piece[s][ROOK][rf] ^
             zobrist_piece[s][ROOK][rt];
    c.pst = pair_add(c.pst, pair_sub(pst[s][KING][to], pst[s][KING][from]));
    c.pst = pair_add(c.pst, pair_sub(pst[s][ROOK][rt], pst[s][ROOK][rf]));
    c.bb[s][KING] ^= square_bit[from] ^ square_bit[to];
    c.bb[s][ROOK] ^= square_bit[rf] ^ square_bit[rt];
    c.bb[s][0] = (c.bb[s][0] & ~(square_bit[from] | square_bit[rf])) | square_bit[to] | square_bit[rt];
    c.board[from] = c.board[rf] = 0;
    c.board[to] = uint8_t(piece_code(s, KING));
    c.board[rt] = uint8_t(piece_code(s, ROOK));
    c.castle_mask |= 0xFFULL << (s == WHITE ? 0 : 56);
    c.key ^= zobrist_castle[before] ^ zobrist_castle[castle_rights(c)];
}

// The copy of make, in 16-byte moves (see copy_16_byte_blocks for why).
inline void copy_position(Position& to, const Position& from) {
    constexpr size_t WIDE = sizeof(Position) / 16 * 16;
    const char* src = reinterpret_cast<const char*>(&from);
    char* dst = reinterpret_cast<char*>(&to);
    copy_16_byte_blocks(dst, src, WIDE);
    if constexpr (sizeof(Position) > WIDE) memcpy(dst + WIDE, src + WIDE, sizeof(Position) - WIDE);
}

// The mover's colour is a template argument, so the table rows and bitboards it picks are fixed.
template <int s>
int make_side(const Position& parent, Position& c, Move m, const PieceSquareTable& pst) {
    constexpr int o = 1 - s;
    copy_position(c, parent);
    c.rule50++;
    c.captured_type = 0;
    c.moved_type = 0;
    c.prev = &parent;
    c.last_move = m;
    c.eval_cache = EVAL_UNKNOWN;

    if (c.ep_mask) c.key ^= zobrist_piece[BLACK][0][lsb_index(c.ep_mask)];
    c.ep_mask = 0;
    c.key ^= zobrist_piece[WHITE][0][s] ^ zobrist_piece[WHITE][0][o];
    if (!m) {
        c.ply++;
        c.in_check = 0;
        return 1;
    }

    const int from = move_from(m), to = move_to(m), flag = move_flag(m);
    const Bitboard ft = square_bit[from] | square_bit[to];
    const int t = c.board[from] & 7;
    c.moved_type = int16_t(t);
    c.pawn_key ^= zobrist_pawn_king[s][t][from] ^ zobrist_pawn_king[s][t][to];
    if (flag == FLAG_CASTLE) {
        castle(c, pst, s, from, to);
        c.ply++;
        c.rule50 = 0;
        return 1;
    }
    move_piece(c, pst, s, t, from, to, ft);

    // Only a move touching a home square that still carries a right can change the rights.
    if (ft & ~c.castle_mask & BACK_RANKS) {
        const int before = castle_rights(parent);
        c.castle_mask |= ft;
        c.key ^= zobrist_castle[before] ^ zobrist_castle[castle_rights(c)];
    }

    if (flag == FLAG_EP) {
        c.rule50 = 0;
        const int cs = (from & 56) | (to & 7);
        c.material_key -= zobrist_material[o][PAWN];
        c.key ^= zobrist_piece[o][PAWN][cs];
        c.pawn_key ^= zobrist_pawn_king[o][PAWN][cs];
        c.board[cs] = 0;
        c.bb[o][PAWN] ^= square_bit[cs];
        c.bb[o][0] ^= square_bit[cs];
        c.pst = pair_sub(c.pst, pst[o][PAWN][cs]);
    } else if (flag == FLAG_DOUBLE) {
        c.rule50 = 0;
        const Bitboard tb = square_bit[to];
        if ((((tb << 1) & NOT_FILE_A) | ((tb >> 1) & NOT_FILE_H)) & c.bb[o][PAWN]) {
            const int ep = (from + to) / 2;
            c.ep_mask = square_bit[ep];
            c.key ^= zobrist_piece[BLACK][0][ep];
        }
    } else if (flag >= FLAG_PROMO_Q) {
        c.rule50 = 0;
        const int q = promotion_type(m);
        c.pst = pair_sub(c.pst, pst[s][PAWN][to]);
        c.key ^= zobrist_piece[s][PAWN][to] ^ zobrist_piece[s][q][to];
        c.pawn_key ^= zobrist_pawn_king[s][PAWN][to];
        c.material_key += zobrist_material[s][q] - zobrist_material[s][PAWN];
        c.bb[s][PAWN] ^= square_bit[to];
        c.bb[s][q] |= square_bit[to];
        c.board[to] = uint8_t(piece_code(s, q));
        c.pst = pair_add(c.pst, pst[s][q][to]);
        c.phase = int16_t(c.phase + phase_weight[q]);
    }

    if (flag != FLAG_EP && (parent.bb[o][0] & square_bit[to])) {
        const int ct = parent.board[to] & 7;
        c.key ^= zobrist_piece[o][ct][to];
        c.pawn_key ^= zobrist_pawn_king[o][ct][to];
        c.material_key -= zobrist_material[o][ct];
        c.pst = pair_sub(c.pst, pst[o][ct][to]);
        c.phase = int16_t(c.phase - phase_weight[ct]);
        c.bb[o][ct] ^= square_bit[to];
        c.bb[o][0] ^= square_bit[to];
        c.captured_type = int16_t(ct);
        c.rule50 = 0;
    }
    c.ply++;
    if (t == PAWN) c.rule50 = 0;
    return 1;
}

}  // namespace

int make_move(const Position& parent, Position& c, Move m, const PieceSquareTable& pst) {
    return (parent.ply & 1) ? make_side<BLACK>(parent, c, m, pst) : make_side<WHITE>(parent, c, m, pst);
}

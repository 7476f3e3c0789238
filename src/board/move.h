// The 32-bit move word.
#pragma once
#include <cstdint>

using Move = uint32_t;

enum : int {
    FLAG_NONE = 0,
    FLAG_DOUBLE = 1,
    FLAG_EP = 2,
    FLAG_CASTLE = 3,
    FLAG_PROMO_Q = 4,
    FLAG_PROMO_N = 5,
    FLAG_PROMO_R = 6,
    FLAG_PROMO_B = 7,
};

constexpr Move MOVE_NONE = 0;
constexpr Move CASTLE_WK = 12550, CASTLE_WQ = 12546, CASTLE_BK = 16190, CASTLE_BQ = 16186;

inline int move_to(Move m) { return int(m & 63); }
inline int move_from(Move m) { return int((m >> 6) & 63); }
inline int move_flag(Move m) { return int((m >> 12) & 7); }
inline Move make_move_word(int from, int to, int flag = 0) { return Move(to | (from << 6) | (flag << 12)); }
inline bool is_promotion(Move m) { return move_flag(m) >= FLAG_PROMO_Q; }
// Piece type a promotion flag creates: queen, knight, rook, bishop.
inline int promotion_type(Move m) {
    static const int t[8] = {0, 0, 0, 0, 5, 2, 4, 3};
    return t[move_flag(m)];
}

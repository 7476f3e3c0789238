// The 32-bit move word and its text forms.
#pragma once
#include <cstdint>

struct Position;

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

constexpr int MOVE_TEXT_SIZE = 6;
constexpr int PV_TEXT_SIZE = 64 * 6 + 1;

// The word separators of move lists and commands.
inline bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Non-zero (UCI_Chess960): castling is written and read as the king taking its own rook.
extern int chess960;

// Castling is the king's move to its target square, or in Chess960 the king's square and the
// rook's, which `game` (any position of the game before the castling) supplies.
void move_to_text(Move m, char out[MOVE_TEXT_SIZE], const Position* game = nullptr);
// Writes up to 64 moves, each followed by a space; out needs PV_TEXT_SIZE bytes.
void pv_to_text(const Move* line, char* out, const Position* game = nullptr);
// Plays the pseudo-legal move whose text matches (case-insensitively); false if none does.
bool apply_move_text(const Position& from, Position& to, const char* text);

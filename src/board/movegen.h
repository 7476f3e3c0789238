// Pseudo-legal move generators and the stored-move validator.
#pragma once
#include "board/position.h"

constexpr int MAX_MOVES = 256;

// A set of moves kept in order, such as the root moves a search may play.
struct MoveList {
    int count = 0;
    Move moves[MAX_MOVES];
    bool contains(Move m) const {
        for (int i = 0; i < count; i++)
            if (moves[i] == m) return true;
        return false;
    }
    void add(Move m) {
        if (count < MAX_MOVES) moves[count++] = m;
    }
};

int generate_all_moves(const Position& pos, Move* out);
int generate_castling(const Position& pos, int side, Move* out);
int generate_captures_on(const Position& pos, Move* out, int square);
int generate_quiets_to(const Position& pos, Move* out, Bitboard targets);
bool move_is_pseudo_legal(const Position& pos, Move m);

// Type of the piece of `side` on `sq`, testing king, queen, rook, bishop, knight, pawn; 0 if none.
inline int piece_type_on(const Position& pos, int side, int sq) {
    Bitboard b = square_bit[sq];
    if (!(pos.bb[side][0] & b)) return 0;
    for (int t = KING; t >= PAWN; t--)
        if (pos.bb[side][t] & b) return t;
    return 0;
}

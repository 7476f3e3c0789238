// The position record, Zobrist keys, FEN parsing and from-scratch recomputation.
#pragma once
#include <cstdint>

#include "board/bitboard.h"
#include "board/move.h"
#include "board/score.h"

constexpr const char* START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr int FEN_BUFFER = 256;
constexpr int EVAL_UNKNOWN = 999999;
constexpr Bitboard BACK_RANKS = 0xFF000000000000FFULL;

enum : int { SQ_A1 = 0, SQ_E1 = 4, SQ_H1 = 7, SQ_A8 = 56, SQ_E8 = 60, SQ_H8 = 63 };

struct Position {
    Bitboard bb[2][7];  // [side][0 = all, 1..6 = pawn..king]
    uint8_t board[64];  // 16 + type white, 8 + type black, 0 empty
    // Back-rank squares that no longer carry castling rights. The clear ones are the homes of a king
    // that has not moved and of its castling rooks, so the rights need no other record.
    Bitboard castle_mask;
    Bitboard ep_mask;
    uint64_t key;
    uint64_t pawn_key;
    uint64_t material_key;
    ScorePair pst;
    const Position* prev;
    Move last_move;
    int32_t eval_cache;
    int16_t moved_type;
    int16_t captured_type;
    int16_t ply;
    uint16_t in_check;
    int16_t phase;
    uint16_t rule50;
    // Search bookkeeping, copied along by make.
    uint8_t last_pv_ply;
    uint8_t reduced;
    uint8_t horizon_ext;
    uint16_t king_danger[2];
    int16_t accum_ext;
};

inline int side_to_move(const Position& p) { return p.ply & 1; }
inline int piece_code(int side, int type) { return (16 >> side) | type; }
inline Bitboard occupied(const Position& p) { return p.bb[WHITE][0] | p.bb[BLACK][0]; }
inline int king_square(const Position& p, int side) { return lsb_index(p.bb[side][KING]); }

// Squares of `side`'s back rank still carrying rights; the king's home among them only while it is there.
inline Bitboard castle_homes(const Position& p, int side) {
    return ~p.castle_mask & (side == WHITE ? RANK_1_BB : RANK_8_BB);
}
// Home square of the rook castling on that wing, -1 without that right.
inline int castle_rook(const Position& p, int side, bool king_side) {
    const Bitboard homes = castle_homes(p, side), k = p.bb[side][KING] & homes;
    if (!k) return -1;
    const Bitboard r = homes & (king_side ? ~(k | (k - 1)) : k - 1);
    return r ? lsb_index(r) : -1;
}
// Bit 1 white king side, 2 white queen side, 4 and 8 the same for black.
inline int castle_rights(const Position& p) {
    int r = 0;
    for (int side = 0; side < 2; side++)
        r |= ((castle_rook(p, side, true) >= 0 ? 1 : 0) | (castle_rook(p, side, false) >= 0 ? 2 : 0)) << (2 * side);
    return r;
}

extern uint64_t zobrist_piece[2][8][64];
extern uint64_t zobrist_pawn_king[2][8][64];
extern uint64_t zobrist_castle[16];  // by the four rights
extern uint64_t zobrist_material[2][8];
extern const int phase_weight[8];
// Values by side, piece type and square whose running sum a position keeps in `pst`.
using PieceSquareTable = ScorePair[2][8][64];
extern const PieceSquareTable NO_PIECE_SQUARES;  // all zero

// Builds the key tables (idempotent); also builds the bitboard tables.
void init_position_tables();

// What reading a FEN found: why the text is not a chess position, or what was repaired on the way.
constexpr int FEN_NOTE_SIZE = 320;
struct FenNotes {
    const char* refused;            // nullptr when the text is a position
    char repaired[FEN_NOTE_SIZE];   // "" when nothing was dropped, else "; "-separated repairs
};
// Which castling rights a FEN may give: standard chess (king on e1 or e8, rooks in the corners) or
// Chess960 (any rook of the king's first rank).
enum class FenCastling { STANDARD, CHESS960 };

constexpr long FIFTY_MOVE_PLIES = 100;
constexpr long MAX_MOVE_NUMBER = 10000;  // keeps the ply count inside 16 bits

// Reads the four leading FEN fields (board, side to move, castling, en passant; the last two may be
// missing). Castling fields come as KQkq (the outermost rook on that wing, X-FEN) or the rooks'
// files (A-H white, a-h black, Shredder-FEN), mixed freely. A castling letter whose king or rook is
// not on its square, and an en-passant square that no double step can have made, are dropped and
// noted; an en-passant square that no pawn can capture onto is left out of the key, as after make.
// An empty text reads as the start position. The piece-square sum adds up pst. False, with
// the reason in notes, when a field cannot be read at all.
bool position_from_fen(Position& pos, const char* text, FenNotes* notes = nullptr,
                       FenCastling rule = FenCastling::CHESS960, const PieceSquareTable& pst = NO_PIECE_SQUARES);
// FEN fields 5 and 6 (either may be null or empty): the half-move clock, capped at the fifty-move
// limit, and the move number; one that is not a number takes its default and is noted.
void read_fen_counters(Position& pos, const char* halfmove, const char* fullmove, FenNotes* notes);
bool side_in_check(const Position& pos, int side);
// All squares attacked by `side` under the current occupancy.
Bitboard attacked_by(const Position& pos, int side);
// Pieces of `by` attacking sq when the board holds occ.
Bitboard attackers_to(const Position& pos, int sq, int by, Bitboard occ);

uint64_t compute_key(const Position& pos);
uint64_t compute_pawn_key(const Position& pos);
uint64_t compute_material_key(const Position& pos);
ScorePair compute_pst(const Position& pos, const PieceSquareTable& pst);
int compute_phase(const Position& pos);

// Why a FEN would break the engine, or nullptr when it is safe to search.
const char* position_problem(const Position& pos);
// Writes the four leading FEN fields (board, side, castling, en passant).
void position_to_fen(const Position& pos, char* out, int size);

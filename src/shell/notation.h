// Moves as the protocol writes them: from and to square, a promotion letter, and castling either as
// the king's target square or, in Chess960, as the king taking its own rook.
#pragma once
#include "board/position.h"

constexpr int MOVE_TEXT_SIZE = 6;
constexpr int PV_TEXT_SIZE = 64 * 6 + 1;

// The word separators of move lists and commands.
inline bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Castling in Chess960 names the rook's square, which `game` (any position of the game before the
// castling) supplies; "null" for no move.
void move_to_text(Move m, char out[MOVE_TEXT_SIZE], const Position* game = nullptr, bool chess960 = false);
// Writes up to 64 moves, each followed by a space; out needs PV_TEXT_SIZE bytes.
void pv_to_text(const Move* line, char* out, const Position* game = nullptr, bool chess960 = false);
// The legal move of pos that text names (letters in either case), or 0.
Move move_from_text(const Position& pos, const char* text, bool chess960 = false);
// Plays the legal move that text names into to, with the piece-square sum kept and the check flag
// set; false, with to untouched, when text names none.
bool apply_move_text(const Position& from, Position& to, const char* text, bool chess960 = false);

// Copy-make of a move or the null move (m = 0). Pure: the search counts its own nodes.
#pragma once
#include "board/position.h"

// pst: the piece-square values whose running sum the position keeps (the evaluation's); a caller
// that never evaluates may leave the sum at zero.
int make_move(const Position& parent, Position& child, Move m, const PieceSquareTable& pst = NO_PIECE_SQUARES);

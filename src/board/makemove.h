// Copy-make of a move or the null move (m = 0). Pure: the search counts its own nodes.
#pragma once
#include "board/position.h"

int make_move(const Position& parent, Position& child, Move m);

// Iterative deepening over the root search: one "go" into one "bestmove".
#pragma once
#include "board/position.h"

constexpr double ONE_YEAR = 31622400.0;
constexpr int SEARCHMOVES_SIZE = 4096;

// searchmoves: writable text of move words (empty = all legal moves), SEARCHMOVES_SIZE bytes.
int search_driver(Position& pos, double seconds, int depth_limit, char* searchmoves);

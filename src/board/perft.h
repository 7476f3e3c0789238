// Move-path counting for testing the generator and make-move.
#pragma once
#include <cstdint>
#include <cstdio>

#include "board/position.h"

// Number of legal move paths of the given depth (a move is legal when it leaves its king unattacked).
uint64_t perft(const Position& pos, int depth);
// Prints "<move>: <count>" per legal root move in generation order, a blank line and "Nodes searched: N".
uint64_t perft_divide(const Position& pos, int depth, FILE* out);
// Generates the legal moves of the side to move; returns their count.
int generate_legal_moves(const Position& pos, Move* out);

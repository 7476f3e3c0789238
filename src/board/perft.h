// Move-path counting for testing the generator and make-move.
#pragma once
#include <cstdint>

#include "board/position.h"

// Number of legal move paths of the given depth (a move is legal when it leaves its king unattacked).
uint64_t perft(const Position& pos, int depth);

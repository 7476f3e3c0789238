// Fifty-move and repetition draws, and the early-exit king-attack test.
#pragma once
#include "board/position.h"

bool is_draw_by_rule(const Position& pos);
bool king_attacked(const Position& pos, int side);

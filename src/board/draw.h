// Fifty-move and repetition draws, and the early-exit king-attack test.
#pragma once
#include "board/position.h"

bool is_draw_by_rule(const Position& pos);
bool king_attacked(const Position& pos, int side);
// Legal moves of the side to move, counted up to three (3 = three or more); meant for a side in check.
int count_legal_moves_upto3(const Position& pos);

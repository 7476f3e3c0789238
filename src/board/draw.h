// Draws by rule: the fifty-move rule and repetitions.
#pragma once
#include "board/position.h"

// The fifty-move rule (unless the side to move is mated) or a repetition; needs pos.in_check.
bool is_draw_by_rule(const Position& pos);

// The UCI command processor: handles at most one queued input line per call.
#pragma once
#include "board/position.h"

constexpr int GAME_HISTORY_SIZE = 2048;

extern Position game_history[GAME_HISTORY_SIZE];
extern int game_index;

void poll_input();

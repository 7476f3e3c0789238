// Static evaluation from the side to move's point of view.
#pragma once
#include <cstdint>

#include "board/position.h"

// Reads the cache first; writes the cache and pos.king_danger.
int evaluate(Position& pos);

struct EvalCacheEntry {
    uint64_t key;
    int32_t score;
    uint16_t king_danger[2];
};
constexpr int EVAL_CACHE_SIZE = 262144;
extern EvalCacheEntry eval_cache[EVAL_CACHE_SIZE];

// Full evaluation without the cache probe, with the hardware or the portable bit count.
// The result is stored like evaluate's; both counts give identical scores.
int evaluate_uncached(Position& pos, bool hardware_count);
// The engine never clears the cache; tests that change parameters do.
void eval_cache_clear();

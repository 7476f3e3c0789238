// Static evaluation from the side to move's point of view.
#pragma once
#include <cstdint>

#include "board/position.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/tables.h"

struct EvalCacheEntry {
    uint64_t key;
    int32_t score;
    uint16_t king_danger[2];
};
static_assert(64 % sizeof(EvalCacheEntry) == 0, "evaluation cache entries tile a cache line");
// 256 KB, so that it stays in the second-level cache: a 4 MB cache saves 12% of the evaluations
// but waits for memory longer than they take.
constexpr int EVAL_CACHE_SIZE = 16384;

// The caches one search worker writes, aligned so that no entry straddles two cache lines, and the
// side-to-move bonus by phase that its cached scores include.
struct EvalTables {
    alignas(64) EvalCacheEntry cache[EVAL_CACHE_SIZE];
    PawnTable pawns;
    MaterialTable material;
    int side_to_move_bonus[MAX_PHASE + 1];  // by phase, added after the division by 96
    ScorePair bonus_weight;  // the hmb weight the bonus was built from
    bool bonus_built;
};

// Starts loading the cache slot and the pawn entry of a position that is about to be evaluated.
inline void eval_prefetch(const EvalTables& t, const Position& pos) {
    __builtin_prefetch(&t.cache[uint32_t(pos.key) & (EVAL_CACHE_SIZE - 1)]);
    __builtin_prefetch(&t.pawns.entries[uint32_t(pos.pawn_key) & (PAWN_TABLE_SIZE - 1)]);
}

// Reads the cache first; writes the caches and pos.king_danger.
int evaluate(Position& pos, EvalTables& t);
// Full evaluation without the cache probe, its material terms computed afresh; the result is
// stored like evaluate's.
int evaluate_uncached(Position& pos, EvalTables& t);
// Empties all three caches.
void eval_tables_clear(EvalTables& t);
// Builds the side-to-move bonus from the hmb weight, emptying the evaluation cache when it changes
// (its scores include the bonus).
void eval_tables_use_bonus(EvalTables& t, ScorePair hmb);

// The transposition table: 64-byte buckets of four 16-byte entries.
#pragma once
#include <cstdint>

constexpr int MATE_SCORE = 32000;
constexpr int MATE_THRESHOLD = 31799;
constexpr int TT_SCORE_LIMIT = 32500;

enum : int { BOUND_NONE = 0, BOUND_UPPER = 1, BOUND_LOWER = 2, BOUND_EXACT = 3 };

struct TTEntry {
    uint32_t key_low;
    uint32_t key_high;
    int16_t score;
    uint16_t move;
    int16_t depth;
    uint8_t flags;
    uint8_t age;
};

struct TTBucket {
    TTEntry e[4];
};

struct TranspositionTable {
    uint64_t bucket_count;
    uint64_t mask;
    uint32_t age;
    TTBucket* buckets;
};

extern TranspositionTable tt;

// Bucket count for a request of `megabytes` (a power of two near 0.51 x the buckets it would hold).
uint64_t tt_bucket_count(uint64_t megabytes);
// False when the memory is not there: the previous table is kept.
bool tt_allocate(int megabytes);
void tt_free();
void tt_clear();
void tt_new_search();
TTEntry* tt_probe(uint64_t key);
void tt_store(uint64_t key, int depth, int score, int bound, int move);

inline bool is_mate_score(int s) { return s > MATE_THRESHOLD || s < -MATE_THRESHOLD; }
inline int score_to_tt(int s, int ply) { return s > MATE_THRESHOLD ? s + ply : (s < -31800 ? s - ply : s); }
inline int score_from_tt(int s, int ply) { return s > MATE_THRESHOLD ? s - ply : (s < -31800 ? s + ply : s); }
inline int tt_bound(const TTEntry* e) { return e->flags & 15; }

inline bool tt_cutoff(const TTEntry* e, int depth, int beta) {
    if (e->depth < depth) return false;
    const int b = tt_bound(e);
    return ((b & BOUND_LOWER) && e->score >= beta) || ((b & BOUND_UPPER) && e->score < beta);
}

inline int tt_refine_eval(const TTEntry* e, int eval) {
    if (!e || is_mate_score(e->score)) return eval;
    switch (tt_bound(e)) {
        case BOUND_EXACT: return e->score;
        case BOUND_LOWER: return e->score > eval ? e->score : eval;
        case BOUND_UPPER: return e->score < eval ? e->score : eval;
        default: return eval;
    }
}

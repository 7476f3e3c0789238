// The transposition table, shared by every search thread without locks: 64-byte buckets of four
// 16-byte slots. A slot holds the entry's data word and the key XOR that word, so a slot torn by
// two threads writing at once fails the key test and reads as a miss.
#pragma once
#include <atomic>
#include <cstdint>

constexpr int MATE_SCORE = 32000;
constexpr int MATE_THRESHOLD = 31799;
constexpr int TT_SCORE_LIMIT = 32500;

enum : int { BOUND_NONE = 0, BOUND_UPPER = 1, BOUND_LOWER = 2, BOUND_EXACT = 3 };

// An entry as read from the table (a copy: other threads may overwrite the slot at any time).
// flags: the bound in the low two bits, the clearing generation above them.
struct TTEntry {
    int16_t score;
    uint16_t move;
    int16_t depth;
    uint8_t flags;
    uint8_t age;
};

constexpr int TT_BOUND_BITS = 2;
// Clearing only advances the generation; slots of an older one read as empty. The memory is
// zeroed when the generation comes round to 0 again.
constexpr uint32_t TT_GENERATIONS = 256 >> TT_BOUND_BITS;

static_assert(sizeof(TTEntry) == 8, "an entry packs into one word");

struct TTSlot {
    std::atomic<uint64_t> check;  // key ^ data
    std::atomic<uint64_t> data;   // the TTEntry's eight bytes
};

struct TTBucket {
    TTSlot e[4];
};

struct TranspositionTable {
    uint64_t bucket_count;
    uint64_t mask;
    uint32_t age;
    uint32_t generation;  // of the slots that count; 0 in zeroed memory
    TTBucket* buckets;
    std::atomic<bool> dirty;  // anything stored since the table was last cleared: clearing a clean one is free
};

extern TranspositionTable tt;

// Bucket count for a request of `megabytes` (a power of two near 0.51 x the buckets it would hold).
uint64_t tt_bucket_count(uint64_t megabytes);
// False when the memory is not there: the previous table is kept.
bool tt_allocate(int megabytes);
void tt_free();
void tt_clear();
void tt_new_search();
// Copies the entry of the key into out: &out, or nullptr on a miss.
const TTEntry* tt_probe(uint64_t key, TTEntry& out);
// Starts loading the key's bucket, so that the probe a node makes later does not wait for memory.
inline void tt_prefetch(uint64_t key) { __builtin_prefetch(tt.buckets + (uint32_t(key) & uint32_t(tt.mask))); }
void tt_store(uint64_t key, int depth, int score, int bound, int move);
// Permille of a sample of slots written during this search.
int tt_hashfull();

inline bool is_mate_score(int s) { return s > MATE_THRESHOLD || s < -MATE_THRESHOLD; }
inline int score_to_tt(int s, int ply) { return s > MATE_THRESHOLD ? s + ply : (s < -31800 ? s - ply : s); }
inline int score_from_tt(int s, int ply) { return s > MATE_THRESHOLD ? s - ply : (s < -31800 ? s + ply : s); }
inline int tt_bound(const TTEntry* e) { return e->flags & ((1 << TT_BOUND_BITS) - 1); }

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

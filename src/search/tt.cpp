#include "search/tt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

TranspositionTable tt = {0, 0, 0, nullptr};

uint64_t tt_bucket_count(uint64_t megabytes) {
    const uint64_t n = megabytes * (1ULL << 20) / 64;
    uint64_t x = uint64_t(double(n) * 0.51);
    x--;
    x |= x >> 1;
    x |= x >> 2;
    x |= x >> 4;
    x |= x >> 8;
    x |= x >> 16;
    x |= x >> 32;
    return x + 1;
}

// Whether anything was stored since the table was last zeroed: clearing a clean table is free.
static bool tt_dirty = false;

void tt_free() {
    if (tt.buckets) munmap(tt.buckets, tt.bucket_count * sizeof(TTBucket));
    tt.buckets = nullptr;
    tt.bucket_count = tt.mask = 0;
}

bool tt_allocate(int megabytes) {
    if (megabytes <= 0) {
        tt_free();
        return true;
    }
    const uint64_t count = tt_bucket_count(uint64_t(megabytes));
    // Anonymous pages read as zero. Huge pages keep the page faults few, and every page is
    // touched here so that the kernel's zeroing happens now, not inside the first search.
    const size_t bytes = count * sizeof(TTBucket);
    void* mem = count > (~0ULL >> 8) ? MAP_FAILED
                                     : mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mem == MAP_FAILED) return false;  // the table in use stays
    tt_free();
#ifdef MADV_HUGEPAGE
    madvise(mem, bytes, MADV_HUGEPAGE);
#endif
    for (size_t i = 0; i < bytes; i += 4096) static_cast<volatile char*>(mem)[i] = 0;
    tt.buckets = static_cast<TTBucket*>(mem);
    tt.bucket_count = count;
    tt.mask = count - 1;
    tt.age = 0;
    tt_dirty = false;
    return true;
}

void tt_clear() {
    if (tt.buckets && tt_dirty) memset(tt.buckets, 0, tt.bucket_count * sizeof(TTBucket));
    tt_dirty = false;
    tt.age = 0;
}

void tt_new_search() { tt.age = (tt.age + 1) & 255; }

TTEntry* tt_probe(uint64_t key) {
    if (!tt.buckets) return nullptr;
    TTBucket& b = tt.buckets[uint32_t(key) & uint32_t(tt.mask)];
    const uint32_t lo = uint32_t(key), hi = uint32_t(key >> 32);
    for (TTEntry& e : b.e)
        if (e.key_low == lo && e.key_high == hi) return &e;
    return nullptr;
}

static void write_entry(TTEntry& e, uint32_t lo, uint32_t hi, int depth, int score, int move, int flags) {
    e.key_low = lo;
    e.key_high = hi;
    e.depth = int16_t(depth);
    e.move = uint16_t(move);
    e.age = uint8_t(tt.age);
    e.score = int16_t(score);
    e.flags = uint8_t(flags);
}

// A shallower same-key result replaces a deeper one only when it tightens the same bound.
static bool keep_deeper(const TTEntry& e, int score, int bound) {
    switch (tt_bound(&e)) {
        case BOUND_EXACT: return true;
        case BOUND_LOWER: return bound == BOUND_LOWER ? score < e.score : false;
        case BOUND_UPPER: return bound == BOUND_UPPER ? score > e.score : false;
        default: return false;
    }
}

void tt_store(uint64_t key, int depth, int score, int bound, int move) {
    if (!tt.buckets || score < -TT_SCORE_LIMIT || score > TT_SCORE_LIMIT) return;
    tt_dirty = true;
    TTBucket& b = tt.buckets[uint32_t(key) & uint32_t(tt.mask)];
    const uint32_t lo = uint32_t(key), hi = uint32_t(key >> 32);
    TTEntry* target = nullptr;
    bool same_key = false;
    TTEntry* candidate = &b.e[0];
    int best = -99;
    for (int i = 0; i < 4; i++) {
        TTEntry& e = b.e[i];
        if (e.key_low == 0 && e.key_high == 0) {
            target = &e;
            break;
        }
        if (e.key_low == lo && e.key_high == hi) {
            target = &e;
            same_key = true;
            break;
        }
        if (i == 0) continue;
        const int r = (e.age == tt.age ? -6 : 0) + (e.depth < candidate->depth ? 1 : 0);
        if (r > best) {
            best = r;
            candidate = &e;
        }
    }
    if (!target) {
        write_entry(*candidate, lo, hi, depth, score, move, bound);
        return;
    }
    if (!move) move = target->move;
    if (same_key && target->depth > depth && keep_deeper(*target, score, bound)) {
        target->age = uint8_t(tt.age);
        target->move = uint16_t(move);
        return;
    }
    write_entry(*target, lo, hi, depth, score, move, (target->flags & 0xF0) | bound);
}

#include "search/tt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/memory.h"

TranspositionTable tt = {0, 0, 0, 0, nullptr, {false}};

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


void tt_free() {
    large_free(tt.buckets, tt.bucket_count * sizeof(TTBucket));
    tt.buckets = nullptr;
    tt.bucket_count = tt.mask = 0;
}

bool tt_allocate(int megabytes) {
    if (megabytes <= 0) {
        tt_free();
        return true;
    }
    const uint64_t count = tt_bucket_count(uint64_t(megabytes));
    // Every page is touched here so that the kernel's zeroing happens now, not inside the first
    // search.
    const size_t bytes = count * sizeof(TTBucket);
    void* mem = count > (~0ULL >> 8) ? nullptr : large_alloc(bytes);
    if (!mem) return false;  // the table in use stays
    tt_free();
    for (size_t i = 0; i < bytes; i += 4096) static_cast<volatile char*>(mem)[i] = 0;
    tt.buckets = static_cast<TTBucket*>(mem);
    tt.bucket_count = count;
    tt.mask = count - 1;
    tt.age = 0;
    tt.generation = 0;
    tt.dirty = false;
    return true;
}

void tt_clear() {
    if (tt.buckets && tt.dirty) {
        tt.generation = (tt.generation + 1) % TT_GENERATIONS;
        if (tt.generation == 0) memset(static_cast<void*>(tt.buckets), 0, tt.bucket_count * sizeof(TTBucket));
    }
    tt.dirty = false;
    tt.age = 0;
}

void tt_new_search() { tt.age = (tt.age + 1) & 255; }

namespace {

uint64_t pack(const TTEntry& e) {
    uint64_t d;
    memcpy(&d, &e, sizeof d);
    return d;
}
TTEntry unpack(uint64_t d) {
    TTEntry e;
    memcpy(&e, &d, sizeof e);
    return e;
}

inline bool current(const TTEntry& e) { return uint32_t(e.flags >> TT_BOUND_BITS) == tt.generation; }

// A slot's key, and its entry in out; a torn slot gives a key that matches nothing. A slot of an
// older generation reads as empty: key 0, entry all zero.
uint64_t read_slot(const TTSlot& s, TTEntry& out) {
    const uint64_t d = s.data.load(std::memory_order_relaxed);
    out = unpack(d);
    if (!current(out)) {
        out = TTEntry{};
        return 0;
    }
    return s.check.load(std::memory_order_relaxed) ^ d;
}

void write_slot(TTSlot& s, uint64_t key, int depth, int score, int move, int bound) {
    const uint8_t flags = uint8_t(tt.generation << TT_BOUND_BITS | uint32_t(bound));
    const TTEntry e = {int16_t(score), uint16_t(move), int16_t(depth), flags, uint8_t(tt.age)};
    const uint64_t d = pack(e);
    s.data.store(d, std::memory_order_relaxed);
    s.check.store(key ^ d, std::memory_order_relaxed);
}

// A shallower same-key result replaces a deeper one only when it tightens the same bound.
bool keep_deeper(const TTEntry& e, int score, int bound) {
    switch (tt_bound(&e)) {
        case BOUND_EXACT: return true;
        case BOUND_LOWER: return bound == BOUND_LOWER ? score < e.score : false;
        case BOUND_UPPER: return bound == BOUND_UPPER ? score > e.score : false;
        default: return false;
    }
}

}  // namespace

const TTEntry* tt_probe(uint64_t key, TTEntry& out) {
    if (!tt.buckets) return nullptr;
    TTBucket& b = tt.buckets[uint32_t(key) & uint32_t(tt.mask)];
    // The key test first: it fails for almost every slot, so the generation is read only for a match.
    for (const TTSlot& s : b.e) {
        const uint64_t d = s.data.load(std::memory_order_relaxed);
        if ((s.check.load(std::memory_order_relaxed) ^ d) != key) continue;
        out = unpack(d);
        if (current(out)) return &out;
    }
    return nullptr;
}

void tt_store(uint64_t key, int depth, int score, int bound, int move) {
    if (!tt.buckets || score < -TT_SCORE_LIMIT || score > TT_SCORE_LIMIT) return;
    if (!tt.dirty.load(std::memory_order_relaxed)) tt.dirty.store(true, std::memory_order_relaxed);
    TTBucket& b = tt.buckets[uint32_t(key) & uint32_t(tt.mask)];
    TTSlot* target = nullptr;
    TTEntry found{};
    bool same_key = false;
    TTSlot* candidate = &b.e[0];
    TTEntry cand{};
    int best = -99;
    for (int i = 0; i < 4; i++) {
        TTEntry e;
        const uint64_t k = read_slot(b.e[i], e);
        if (k == 0 || k == key) {
            target = &b.e[i];
            found = e;
            same_key = k == key;
            break;
        }
        if (i == 0) {
            cand = e;
            continue;
        }
        const int r = (e.age == tt.age ? -6 : 0) + (e.depth < cand.depth ? 1 : 0);
        if (r > best) {
            best = r;
            candidate = &b.e[i];
            cand = e;
        }
    }
    if (!target) {
        write_slot(*candidate, key, depth, score, move, bound);
        return;
    }
    if (!move) move = found.move;
    if (same_key && found.depth > depth && keep_deeper(found, score, bound)) {
        write_slot(*target, key, found.depth, found.score, move, tt_bound(&found));
        return;
    }
    write_slot(*target, key, depth, score, move, bound);
}

int tt_hashfull() {
    constexpr uint64_t SAMPLE_BUCKETS = 250;  // 1000 slots
    if (!tt.buckets) return 0;
    const uint64_t n = tt.bucket_count < SAMPLE_BUCKETS ? tt.bucket_count : SAMPLE_BUCKETS;
    int used = 0;
    for (uint64_t i = 0; i < n; i++)
        for (const TTSlot& s : tt.buckets[i].e) {
            const uint64_t d = s.data.load(std::memory_order_relaxed);
            const TTEntry e = unpack(d);
            used += d && current(e) && e.age == uint8_t(tt.age);
        }
    return int(used * 1000 / (4 * n));
}

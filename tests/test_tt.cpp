// Transposition table sizing, replacement and bound rules.
#include <gtest/gtest.h>

#include <vector>

#include "platform/memory.h"
#include "search/tt.h"

namespace {

// Keys that share bucket 0: equal low halves modulo the mask, distinct high halves.
uint64_t key_in_bucket0(uint32_t n) { return (uint64_t(n + 1) << 32) | (uint64_t(n) << 20); }

TTEntry probed;
const TTEntry* probe(uint64_t key) { return tt_probe(key, probed); }

struct TableFixture : testing::Test {
    void SetUp() override { tt_allocate(1); }
    void TearDown() override { tt_free(); }
};

// A full bucket never gives up its first entry; after that the oldest search's, then the shallowest.
TEST_F(TableFixture, ReplacementKeepsFirstThenCurrentAndDeep) {
    tt_new_search();
    for (uint32_t i = 0; i < 4; i++) tt_store(key_in_bucket0(i), 10, int(i), BOUND_EXACT, 100 + int(i));
    tt_store(key_in_bucket0(4), 10, 4, BOUND_LOWER, 0);
    EXPECT_NE(probe(key_in_bucket0(0)), nullptr);
    EXPECT_EQ(probe(key_in_bucket0(1)), nullptr);
    ASSERT_NE(probe(key_in_bucket0(4)), nullptr);
    EXPECT_EQ(probe(key_in_bucket0(4))->move, 0);  // a replacement writes the move as given
    // A new search: the old entries go first, the shallowest (and first) of them.
    tt_new_search();
    tt_store(key_in_bucket0(3), 12, 0, BOUND_EXACT, 0);
    tt_store(key_in_bucket0(5), 10, 0, BOUND_EXACT, 0);
    EXPECT_EQ(probe(key_in_bucket0(4)), nullptr);
    for (uint32_t i : {0, 2, 3, 5}) EXPECT_NE(probe(key_in_bucket0(i)), nullptr) << i;
}

TEST_F(TableFixture, TornSlotReadsAsAMiss) {
    const uint64_t k = key_in_bucket0(0);
    tt_store(k, 10, 77, BOUND_EXACT, 5);
    TTSlot& s = tt.buckets[0].e[0];
    const uint64_t data = s.data.load();
    s.data.store(data ^ (1ULL << 20));  // another thread's half-written entry
    EXPECT_EQ(probe(k), nullptr);
    s.data.store(data);
    ASSERT_NE(probe(k), nullptr);
    EXPECT_EQ(probe(k)->score, 77);
}

// A shallower store of the same key keeps the deeper entry's score and depth when its bound says
// no more (a weaker lower or upper bound) but takes its move (move 0 keeps the stored one) and age.
TEST_F(TableFixture, SameKeyShallowerStoresRespectTheDeeperBound) {
    struct Store {
        int depth, score, bound, move, want_score, want_depth, want_move;
    };
    const Store steps[] = {
        {10, 50, BOUND_EXACT, 7, 50, 10, 7}, {4, 80, BOUND_LOWER, 9, 50, 10, 9},   // exact holds
        {10, 50, BOUND_LOWER, 3, 50, 10, 3}, {4, 40, BOUND_LOWER, 0, 50, 10, 3},   // weaker lower bound
        {4, 60, BOUND_LOWER, 0, 60, 4, 3},                                        // a tighter one replaces
        {10, 50, BOUND_UPPER, 0, 50, 10, 3}, {4, 60, BOUND_UPPER, 0, 50, 10, 3},  // weaker upper bound
        {4, 40, BOUND_UPPER, 0, 40, 4, 3},   {2, 99, BOUND_LOWER, 0, 99, 2, 3},   // another kind overwrites
    };
    for (const Store& st : steps) {
        tt_new_search();
        tt_store(0x123456789ULL, st.depth, st.score, st.bound, st.move);
        const TTEntry* e = probe(0x123456789ULL);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(std::vector<int>({e->score, e->depth, e->move, e->age}),
                  std::vector<int>({st.want_score, st.want_depth, st.want_move, int(tt.age)}))
            << st.depth << " " << st.score << " " << st.bound;
    }
    EXPECT_EQ(tt_bound(probe(0x123456789ULL)), BOUND_LOWER);
}

// Clearing advances a generation instead of zeroing: the old entries must read as empty slots,
// including after the generation wraps round and the memory really is zeroed.
TEST_F(TableFixture, ClearedEntriesStayGoneAcrossGenerations) {
    for (uint32_t round = 0; round < TT_GENERATIONS + 2; round++) {
        const uint64_t old_key = key_in_bucket0(round % 3);
        tt_store(old_key, 10, int(round), BOUND_EXACT, 1);
        ASSERT_NE(probe(old_key), nullptr);
        tt_clear();
        EXPECT_EQ(probe(old_key), nullptr) << round;
        EXPECT_EQ(tt_hashfull(), 0);
        // A cleared bucket fills from its first slot again.
        tt_store(key_in_bucket0(7), 4, 0, BOUND_LOWER, 0);
        EXPECT_EQ(tt.buckets[0].e[0].check.load() ^ tt.buckets[0].e[0].data.load(), key_in_bucket0(7));
        tt_clear();
    }
}

TEST(TTScores, CutoffAndEvalRefinement) {
    TTEntry e{};
    e.depth = 6;
    e.score = 100;
    e.flags = BOUND_LOWER;
    EXPECT_TRUE(tt_cutoff(&e, 6, 100) && !tt_cutoff(&e, 7, 100) && !tt_cutoff(&e, 6, 101));
    EXPECT_EQ(tt_refine_eval(&e, 50), 100);
    e.flags = 0xA0 | BOUND_UPPER;  // high bits are not interpreted
    EXPECT_TRUE(tt_cutoff(&e, 4, 101) && !tt_cutoff(&e, 4, 100));
    EXPECT_EQ(tt_refine_eval(&e, 150), 100);
    e.flags = BOUND_EXACT;
    e.score = 31900;
    EXPECT_EQ(tt_refine_eval(&e, -7), -7);  // mate scores never replace the evaluation
}

TEST(TTOff, ProbesMissAndStoresAreSkipped) {
    tt_free();
    tt_store(42, 4, 1, BOUND_EXACT, 1);
    EXPECT_EQ(probe(42), nullptr);
    tt_clear();  // harmless without a table
}

// Large tables start on a huge-page boundary, read as zero, and own every byte asked for even
// after the mapping's ends are cut away.
TEST(LargeAlloc, AlignedZeroedAndWholeToTheLastByte) {
    for (size_t bytes : {size_t(1), size_t(3) << 20 | 1, size_t(8) << 20}) {
        auto* p = static_cast<unsigned char*>(large_alloc(bytes));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % (2u << 20), 0u);
        EXPECT_EQ(p[0] | p[bytes / 2] | p[bytes - 1], 0);
        p[0] = p[bytes - 1] = 1;
        large_free(p, bytes);
    }
}

}  // namespace

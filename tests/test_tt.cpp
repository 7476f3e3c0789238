// Transposition table sizing, replacement and bound rules.
#include <gtest/gtest.h>

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

TEST_F(TableFixture, FullBucketReplacesSecondEntryNeverFirst) {
    tt_new_search();
    for (uint32_t i = 0; i < 4; i++) tt_store(key_in_bucket0(i), 10, int(i), BOUND_EXACT, 100 + int(i));
    tt_store(key_in_bucket0(4), 10, 4, BOUND_LOWER, 0);
    EXPECT_NE(probe(key_in_bucket0(0)), nullptr);
    EXPECT_EQ(probe(key_in_bucket0(1)), nullptr);
    ASSERT_NE(probe(key_in_bucket0(4)), nullptr);
    EXPECT_EQ(probe(key_in_bucket0(4))->move, 0);  // a replacement writes the move as given
    TTEntry e;
    EXPECT_EQ(tt_probe(key_in_bucket0(4), e), &e);
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

TEST_F(TableFixture, OlderSearchAndShallowerEntriesGoFirst) {
    tt_new_search();
    tt_store(key_in_bucket0(0), 10, 0, BOUND_EXACT, 0);
    tt_store(key_in_bucket0(1), 10, 0, BOUND_EXACT, 0);
    tt_store(key_in_bucket0(2), 10, 0, BOUND_EXACT, 0);
    tt_new_search();
    tt_store(key_in_bucket0(3), 10, 0, BOUND_EXACT, 0);  // current age
    tt_store(key_in_bucket0(4), 12, 0, BOUND_EXACT, 0);
    // Entry 2 (old) is the candidate; entry 3 (old, same depth) does not beat it; entry 4 is current.
    EXPECT_EQ(probe(key_in_bucket0(1)), nullptr);
    EXPECT_NE(probe(key_in_bucket0(2)), nullptr);
    EXPECT_NE(probe(key_in_bucket0(3)), nullptr);
}

TEST_F(TableFixture, SameKeyShallowerStoresRespectTheDeeperBound) {
    const uint64_t k = 0x123456789ULL;
    tt_store(k, 10, 50, BOUND_EXACT, 7);
    tt_new_search();
    tt_store(k, 4, 80, BOUND_LOWER, 9);
    const TTEntry* e = probe(k);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->score, 50);
    EXPECT_EQ(e->depth, 10);
    EXPECT_EQ(e->move, 9);           // the new move is kept
    EXPECT_EQ(e->age, tt.age);       // and the age refreshed

    const uint64_t l = 0x223456789ULL;
    tt_store(l, 10, 50, BOUND_LOWER, 3);
    tt_store(l, 4, 40, BOUND_LOWER, 0);
    EXPECT_EQ(probe(l)->score, 50);  // a weaker lower bound does not replace
    tt_store(l, 4, 60, BOUND_LOWER, 0);
    EXPECT_EQ(probe(l)->score, 60);  // a tighter one does
    EXPECT_EQ(probe(l)->move, 3);    // move 0 keeps the stored move
    EXPECT_EQ(probe(l)->depth, 4);

    const uint64_t u = 0x323456789ULL;
    tt_store(u, 10, 50, BOUND_UPPER, 0);
    tt_store(u, 4, 60, BOUND_UPPER, 0);
    EXPECT_EQ(probe(u)->score, 50);
    tt_store(u, 4, 40, BOUND_UPPER, 0);
    EXPECT_EQ(probe(u)->score, 40);
    tt_store(u, 2, 99, BOUND_LOWER, 0);  // other kinds of bound overwrite
    EXPECT_EQ(probe(u)->score, 99);
    EXPECT_EQ(tt_bound(probe(u)), BOUND_LOWER);
}

TEST_F(TableFixture, ScoresBeyondTheLimitAreNotStored) {
    tt_store(0x55ULL << 32, 4, 32600, BOUND_EXACT, 1);
    EXPECT_EQ(probe(0x55ULL << 32), nullptr);
    tt_store(0x56ULL << 32, 4, -32501, BOUND_EXACT, 1);
    EXPECT_EQ(probe(0x56ULL << 32), nullptr);
    tt_store(0x57ULL << 32, 4, 32500, BOUND_EXACT, 1);
    EXPECT_NE(probe(0x57ULL << 32), nullptr);
}

TEST(TTScores, CutoffAndEvalRefinement) {
    TTEntry e{};
    e.depth = 6;
    e.score = 100;
    e.flags = BOUND_LOWER;
    EXPECT_TRUE(tt_cutoff(&e, 6, 100));
    EXPECT_FALSE(tt_cutoff(&e, 7, 100));
    EXPECT_FALSE(tt_cutoff(&e, 6, 101));
    EXPECT_EQ(tt_refine_eval(&e, 50), 100);
    EXPECT_EQ(tt_refine_eval(&e, 150), 150);
    e.flags = 0xA0 | BOUND_UPPER;  // high bits are not interpreted
    EXPECT_TRUE(tt_cutoff(&e, 4, 101));
    EXPECT_FALSE(tt_cutoff(&e, 4, 100));
    EXPECT_EQ(tt_refine_eval(&e, 150), 100);
    e.flags = BOUND_EXACT;
    EXPECT_EQ(tt_refine_eval(&e, -7), 100);
    e.score = 31900;
    EXPECT_EQ(tt_refine_eval(&e, -7), -7);  // mate scores never replace the evaluation
    EXPECT_EQ(tt_refine_eval(nullptr, 12), 12);
}

TEST(TTOff, ProbesMissAndStoresAreSkipped) {
    tt_free();
    tt_store(42, 4, 1, BOUND_EXACT, 1);
    EXPECT_EQ(probe(42), nullptr);
    tt_clear();  // harmless without a table
}

}  // namespace

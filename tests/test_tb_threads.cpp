// Search threads that first probe the same Syzygy table at once: Fathom's locking must load it
// once and give every thread the same answer. Run by `make test-tsan` under ThreadSanitizer, which
// fails on any race in the loading.
#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

#include "search/tablebase.h"
#include "support.h"

namespace {

const std::string TABLES = QUORIL_TEST_DATA "/syzygy";

struct Ending {
    const char* fen;  // each in a table of its own, half-move clock 0 (the search probes only then)
    int outcome;      // for the side to move
};
constexpr Ending ENDINGS[] = {
    {"8/8/8/3k4/8/8/8/KQ6 w - - 0 1", 1},      {"8/8/8/3k4/8/8/8/KR6 b - - 0 1", -1},
    {"8/8/8/3k4/8/8/8/KNN5 w - - 0 1", 0},     {"8/8/2k5/8/8/8/8/KBN5 w - - 0 1", 1},
    {"8/8/8/8/8/2k5/8/KQ2r3 w - - 0 1", 1},    {"8/8/3k4/8/8/8/4P3/4K3 w - - 0 1", 0},
    {"4k3/8/8/8/8/8/8/KB2b3 w - - 0 1", 0},    {"8/3p4/8/3k4/8/8/3P4/3K4 b - - 0 1", 0},
};
constexpr int THREADS = 4;

TEST(TablebaseThreads, FirstProbesOfOneTableAtOnceAgree) {
    init_engine_tables();
    for (int round = 0; round < 2; round++) {  // the second round after a reload: every table first again
        const int pieces = tb_load(TABLES.c_str());
        ASSERT_EQ(pieces, 4);
        for (const Ending& ending : ENDINGS) {
            const Position pos = from_fen(ending.fen);
            std::latch start(THREADS);
            std::vector<int> found(THREADS, 9), outcome(THREADS, 9);
            std::vector<std::thread> threads;
            for (int t = 0; t < THREADS; t++)
                threads.emplace_back([&, t] {
                    start.arrive_and_wait();  // all probe the table at the same moment
                    int wdl = 9;
                    found[t] = tb_probe_search(pos, pieces, true, wdl);
                    outcome[t] = wdl;
                });
            for (std::thread& t : threads) t.join();
            for (int t = 0; t < THREADS; t++) {
                EXPECT_EQ(found[t], 1) << ending.fen << " thread " << t;
                EXPECT_EQ(outcome[t], ending.outcome) << ending.fen << " thread " << t;
            }
        }
    }
    tb_load("<empty>");
}

}  // namespace

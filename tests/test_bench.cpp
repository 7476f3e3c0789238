// The benchmark: its progress rows, its closing node count and the repeatability of that count.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "engine_pipe.h"
#include "search/tt.h"
#include "shell/bench.h"
#include "shell/options.h"
#include "shell/session.h"
#include "support.h"

namespace {

#ifdef QUORIL_SANITIZE
constexpr int SMALL_DEPTH = 3;
#else
constexpr int SMALL_DEPTH = 5;
#endif

std::string run_to_text(int passes, uint64_t& signature) {
    std::unique_ptr<Session> s(new_session());
    s->options.own_book = 0;  // no book answers: every position is searched
    return capture([&](FILE* f) { signature = bench_run(*s, passes, SMALL_DEPTH, f); });
}

TEST(BenchRun, OutputShapeAndRepeatableNodeCounts) {
    init_engine_tables();
    tt_allocate(16);
    uint64_t two = 0, one = 0;
    const std::string text = run_to_text(2, two);
    run_to_text(1, one);
    for (const char* pass : {"\n   1 ", "\n   2 "}) EXPECT_NE(text.find(pass + std::string(50, '.')), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.rfind("\n\nNodes")), "\n\nNodes searched: " + std::to_string(two) + "\n");
    // Each pass searches the same positions from cleared tables: two passes, twice the nodes of one.
    EXPECT_GT(one, 50u);
    EXPECT_EQ(two, 2 * one);
}

TEST(BenchRun, SwitchRunsTheBenchmarkAndQuitEndsIt) {
    EnginePipe e;
    ASSERT_TRUE(engine_start(e, {"-bench"}));
    engine_send(e, "quit");
    EXPECT_EQ(engine_wait_exit(e), 0);
    EXPECT_NE(engine_stderr(e).find("Quoril version " + std::string(VERSION_TAG) + "\n\n"), std::string::npos);
    EXPECT_NE(e.out_text.find("=======\n   1 ."), std::string::npos) << e.out_text;
}

}  // namespace

// The parallel search through the engine binary, with 1, 2 and 4 threads: legal best moves, prompt
// stop, ponder and ponderhit, quit during a search, thread-count changes and repeated go/stop. Run
// by `make test-tsan` against a ThreadSanitizer build, which fails the exit status on any race.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "engine_pipe.h"
#include "support.h"

namespace {

const char* const FEN = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N2N2/PP2BPPP/R2QKB1R w KQ - 0 8";

// The move of the last "bestmove" line, which must be legal in FEN.
void expect_legal_best(const std::vector<std::string>& lines, const std::string& what) {
    ASSERT_FALSE(lines.empty()) << what;
    EXPECT_NE(legal_move(from_fen(FEN), bestmove_of(lines)), 0u) << what << ": " << lines.back();
}

void stop_promptly(EnginePipe& e, const std::string& go, const std::string& what) {
    ASSERT_TRUE(engine_send(e, go));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const long long sent = pipe_now_ms();
    const std::vector<std::string> lines = send_and_read(e, "stop", "bestmove");
    EXPECT_LT(pipe_now_ms() - sent, 1000) << what;
    expect_legal_best(lines, what);
}

class Threads : public testing::TestWithParam<int> {};

TEST_P(Threads, SearchStopPonderAndQuit) {
    const std::string threads = std::to_string(GetParam());
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    ASSERT_TRUE(engine_send(e, "setoption name OwnBook value false"));
    ASSERT_TRUE(engine_send(e, "setoption name Threads value " + threads));
    ASSERT_TRUE(engine_send(e, std::string("position fen ") + FEN));

    expect_legal_best(send_and_read(e, "go depth 6", "bestmove", 60000), "depth 6");
    stop_promptly(e, "go infinite", "infinite");
    for (int i = 0; i < 5; i++) stop_promptly(e, "go wtime 60000 btime 60000", "go/stop cycle");

    // A ponder search runs until the hit, then plays within its own budget.
    ASSERT_TRUE(engine_send(e, "go ponder wtime 2000 btime 2000"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    expect_legal_best(send_and_read(e, "ponderhit", "bestmove", 20000), "ponderhit");

    // Another thread count between searches, then quit in the middle of one.
    ASSERT_TRUE(engine_send(e, "setoption name Threads value " + std::to_string(GetParam() % 4 + 1)));
    expect_legal_best(send_and_read(e, "go depth 5", "bestmove", 60000), "after a Threads change");
    ASSERT_TRUE(engine_send(e, "go infinite"));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_TRUE(engine_send(e, "quit"));
    EXPECT_EQ(engine_wait_exit(e, 10000), 0);
    EXPECT_EQ(engine_stderr(e, 0).find("ThreadSanitizer"), std::string::npos) << engine_stderr(e, 0);
}

INSTANTIATE_TEST_SUITE_P(Counts, Threads, testing::Values(1, 2, 4));

}  // namespace

// The clock and the per-move time budget.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "shell/log.h"
#include "shell/options.h"
#include "shell/timeman.h"
#include "support.h"

namespace {

class TimeBudget : public testing::Test {
protected:
    void SetUp() override {
        ponder_bonus = 0;
        hard_percent = 500;
        move_overhead_ms = 10;
        start = from_fen(START_FEN);
        after_e4 = from_fen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq -");
    }
    void TearDown() override {
        ponder_bonus = 0;
        move_overhead_ms = 10;
    }
    Position start, after_e4;
};

TEST_F(TimeBudget, SuddenDeathWithoutIncrement) {
    // 60 s at move 1: 49 moves expected, 1.2 s, minus 13 ms of margin.
    EXPECT_NEAR(time_budget(start, 60, 60, 0, 0, 0), 1.187, 1e-9);
    EXPECT_EQ(hard_percent, 600);
    // Black reads its own clock.
    EXPECT_NEAR(time_budget(after_e4, 1, 60, 0, 0, 0), 1.187, 1e-9);
    // From move 20 on, 30 moves are expected: 31 s / 31 = 1 s.
    Position late = start;
    late.ply = 38;
    EXPECT_NEAR(time_budget(late, 31, 31, 0, 0, 0), 0.987, 1e-9);
    late.ply = 36;  // move 19
    EXPECT_NEAR(time_budget(late, 32, 32, 0, 0, 0), 0.987, 1e-9);
}

TEST_F(TimeBudget, IncrementAndItsCap) {
    // Less time than increment: the T / 6.6 cap applies, truncated to 0.151, minus the margin.
    EXPECT_NEAR(time_budget(start, 1, 1, 2, 2, 0), 0.138, 1e-9);
    // A comfortable clock spends most of the increment: G = (T-I)/(1 + M/(1 + 5/R)) + 0.99 I.
    const double t = 100, inc = 1, r = (t - inc) / (inc + 1e-7);
    const double g = (t - inc) / (1 + 49 / (1 + 5 / r)) + 0.99 * inc;
    EXPECT_NEAR(time_budget(start, t, 5, inc, 0, 0), std::trunc(g * 1000) / 1000 - 0.013, 1e-9);
}

TEST_F(TimeBudget, MarginFollowsTheOverheadOption) {
    move_overhead_ms = 50;
    EXPECT_NEAR(time_budget(start, 60, 60, 0, 0, 0), 1.2 - 0.053, 1e-9);
}

TEST_F(TimeBudget, MovesToGo) {
    // One move to go: 10 / 3 s, hard deadline at 90% of the clock.
    const double one = 10.0 / 3 * std::pow(2.0, std::pow(1 / 40.0, 3.75));
    EXPECT_NEAR(time_budget(start, 10, 10, 0, 0, 1), one - 0.013, 1e-9);
    EXPECT_EQ(hard_percent, 269);
    // 40 to go doubles the base; beyond 40 too.
    EXPECT_NEAR(time_budget(start, 60, 60, 0, 0, 40), 2 * 60.0 / 42 - 0.013, 1e-9);
    EXPECT_EQ(hard_percent, 500);
    EXPECT_NEAR(time_budget(start, 60, 60, 5, 5, 50), 2 * 60.0 / 52 - 0.013, 1e-9);
    // Half the clock caps the hard deadline when that is less than five goals.
    const double three = 60.0 / 5 * std::pow(2.0, std::pow(3 / 40.0, 3.75));
    time_budget(start, 60, 60, 0, 0, 3);
    EXPECT_EQ(hard_percent, int(100 * 30 / three));
    EXPECT_LT(hard_percent, 500);
}

TEST_F(TimeBudget, EmptyOrNegativeClocksGiveTheFloor) {
    EXPECT_DOUBLE_EQ(time_budget(start, 0, 0, 0, 0, 0), 0.001);
    EXPECT_DOUBLE_EQ(time_budget(start, -5, 0, 0, 0, 0), 0.001);
    EXPECT_DOUBLE_EQ(time_budget(start, 0, 0, 0, 0, 3), 0.005);
    EXPECT_EQ(hard_percent, 100);
    EXPECT_DOUBLE_EQ(time_budget(start, -5, 0, 0, 0, 3), 0.005);
}

TEST_F(TimeBudget, PonderBonusLastsForTwoGoCommands) {
    ponder_bonus_new_go();
    ponder_bonus_start();  // go ponder
    EXPECT_NEAR(time_budget(start, 60, 60, 0, 0, 0), 1.56 - 0.013, 1e-9);
    ponder_bonus_new_go();  // the next go
    EXPECT_NEAR(time_budget(start, 60, 60, 0, 0, 0), 1.56 - 0.013, 1e-9);
    EXPECT_NEAR(time_budget(start, 60, 60, 0, 0, 40), 1.33 * 2 * 60.0 / 42 - 0.013, 1e-9);
    ponder_bonus_new_go();  // the one after
    EXPECT_NEAR(time_budget(start, 60, 60, 0, 0, 0), 1.187, 1e-9);
    ponder_bonus_new_go();
    EXPECT_EQ(ponder_bonus, 0);
    // The cap still holds with the bonus.
    ponder_bonus_start();
    EXPECT_NEAR(time_budget(start, 1, 1, 2, 2, 0), 0.138, 1e-9);
}

TEST_F(TimeBudget, WritesOneLogLinePerBudget) {
    char path[] = "/tmp/quoril_tm_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_TRUE(log_open(path));
    time_budget(start, 60, 60, 0, 0, 0);
    time_budget(start, 10, 10, 0, 0, 1);
    fclose(log_stream);
    log_stream = nullptr;
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    unlink(path);
    EXPECT_EQ(text.str(),
              "TC: ply: 0)   60.00 rem   1.19 goal  6.00 mgp\n"
              "We have     10.0 seconds to make 1 moves =      3.3 goal\n");
}

TEST(Clock, WholeSecondsWithTheCpuSetting) {
    const double a = clock_seconds(), b = clock_seconds();
    EXPECT_GT(a, 1.6e9);  // seconds since 1970
    EXPECT_GE(b, a);
    cpu_setting = 1;
    const double c = clock_seconds();
    cpu_setting = 0;
    EXPECT_EQ(c, std::floor(c));
    EXPECT_LE(c, clock_seconds());
}

}  // namespace

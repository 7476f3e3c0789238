// The per-move time budget: worked examples, the hard deadline and the ponder bonus.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "shell/options.h"
#include "shell/timeman.h"
#include "support.h"

namespace {

double budget(int ply, double wtime, double btime, double winc, double binc, int movestogo) {
    Position p = from_fen(START_FEN);
    p.ply = int16_t(ply);
    return time_budget(p, wtime, btime, winc, binc, movestogo);
}

TEST(TimeBudget, WorkedExamples) {
    ponder_bonus = 0;
    // Ply, clocks, increments, moves to go; the goal and the hard deadline in percent (0: not checked).
    const std::tuple<int, double, double, double, double, int, double, int> rows[] = {
        {0, 60, 60, 0, 0, 0, 1.187, 600},  // 49 moves expected: 1.2 s less 13 ms of margin
        {1, 1, 60, 0, 0, 0, 1.187, 0},     // black reads its own clock
        {0, 1, 1, 2, 2, 0, 0.138, 0},      // less time than increment: T / 6.6, truncated
        {0, 10, 10, 0, 0, 1, 3.3203356, 269},
        {0, 60, 60, 0, 0, 3, 11.987503, 249},  // half the clock caps the hard deadline
        {0, 0, 0, 0, 0, 3, 0.005, 100},        // an empty clock gives the floor
    };
    for (const auto& [ply, wtime, btime, winc, binc, movestogo, goal, hard] : rows) {
        EXPECT_NEAR(budget(ply, wtime, btime, winc, binc, movestogo), goal, 1e-6) << wtime << " " << movestogo;
        if (hard) {
            EXPECT_EQ(hard_percent, hard) << wtime << " " << movestogo;
        }
    }
    move_overhead_ms = 50;
    EXPECT_NEAR(budget(0, 60, 60, 0, 0, 0), 1.2 - 0.053, 1e-9);
    move_overhead_ms = 10;
}

// Whatever the goal and its hard percentage, one move may spend at most a quarter of the clock.
TEST(TimeBudget, HardLimitLeavesAReserve) {
    ponder_bonus = 0;
    for (const auto& [t, inc, movestogo] : {std::tuple{1.0, 0.0, 1}, {1.0, 2.0, 0}, {0.2, 0.0, 0}, {60.0, 0.0, 0}}) {
        const double goal = budget(0, t, t, inc, inc, movestogo);
        const double hard = std::min(goal * hard_percent / 100, move_time_cap);
        EXPECT_LE(hard, 0.25 * t) << t << " " << movestogo;
    }
    EXPECT_GT(budget(0, 1, 1, 0, 0, 1) * hard_percent / 100, 0.8) << "the budget itself is kept";
}

TEST(TimeBudget, PonderBonusLastsForTwoGoCommands) {
    ponder_bonus = 0;
    ponder_bonus_new_go();
    ponder_bonus_start();  // go ponder
    EXPECT_NEAR(budget(0, 60, 60, 0, 0, 0), 1.56 - 0.013, 1e-9);
    ponder_bonus_new_go();  // the next go
    EXPECT_NEAR(budget(0, 60, 60, 0, 0, 0), 1.56 - 0.013, 1e-9);
    EXPECT_NEAR(budget(0, 1, 1, 2, 2, 0), 0.138, 1e-9) << "the cap holds with the bonus";
    ponder_bonus_new_go();  // the one after
    EXPECT_NEAR(budget(0, 60, 60, 0, 0, 0), 1.187, 1e-9);
}

}  // namespace

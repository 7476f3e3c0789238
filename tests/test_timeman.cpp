// The per-move time budget: worked examples and the ponder bonus; then the search keeping to the
// hard deadline and its cap on a clock of the test's own.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "search/iterate.h"
#include "search/tt.h"
#include "shell/driver.h"
#include "shell/session.h"
#include "shell/timeman.h"
#include "support.h"

namespace {

TimeBudget budget(int ply, double wtime, double btime, double winc, double binc, int movestogo, int overhead = 10,
                  bool ponder_bonus = false) {
    Position p = from_fen(START_FEN);
    p.ply = int16_t(ply);
    return time_budget(p, GoClock{{wtime, btime}, {winc, binc}, movestogo}, overhead, ponder_bonus);
}

TEST(TimeBudget, WorkedExamples) {
    // Ply, clocks, increments, moves to go; the goal, the hard deadline in percent, and the cap: a
    // quarter of the clock less the move overhead (at least a millisecond).
    const std::tuple<int, double, double, double, double, int, double, int, double> rows[] = {
        {0, 60, 60, 0, 0, 0, 1.187, 600, 14.9975},  // 49 moves expected: 1.2 s less 13 ms of margin
        {1, 1, 60, 0, 0, 0, 1.187, 600, 14.9975},   // black reads its own clock
        {0, 1, 1, 2, 2, 0, 0.138, 600, 0.2475},     // less time than increment: T / 6.6, truncated
        {0, 10, 10, 0, 0, 1, 3.3203356, 269, 2.4975},
        {0, 60, 60, 0, 0, 3, 11.987503, 249, 14.9975},  // half the clock caps the hard deadline
        {0, 0, 0, 0, 0, 3, 0.005, 100, 0.001},          // an empty clock gives the floors
    };
    for (const auto& [ply, wtime, btime, winc, binc, movestogo, goal, hard, cap] : rows) {
        const TimeBudget b = budget(ply, wtime, btime, winc, binc, movestogo);
        EXPECT_NEAR(b.seconds, goal, 1e-6) << wtime << " " << movestogo;
        EXPECT_EQ(b.hard_percent, hard) << wtime << " " << movestogo;
        EXPECT_NEAR(b.cap, cap, 1e-9) << wtime << " " << movestogo;
        EXPECT_FALSE(b.fixed);
    }
    EXPECT_NEAR(budget(0, 60, 60, 0, 0, 0, 50).seconds, 1.2 - 0.053, 1e-9);
}

TEST(TimeBudget, PonderBonusEnlargesTheGoalButNotTheCap) {
    EXPECT_NEAR(budget(0, 60, 60, 0, 0, 0, 10, true).seconds, 1.56 - 0.013, 1e-9);
    EXPECT_NEAR(budget(0, 1, 1, 2, 2, 0, 10, true).seconds, 0.138, 1e-9) << "the T / 6.6 cap holds with the bonus";
    EXPECT_NEAR(budget(0, 10, 10, 0, 0, 1, 10, true).seconds, (3.3203356 + 0.013) * 1.33 - 0.013, 1e-6);
}

// A search whose clock is the test's: every reading advances it by a millisecond, so the search's
// own polls (one per 256 nodes) run it, and nothing depends on the machine's speed.
struct SteppedClock final : SearchReporter {
    double t = 0;
    bool cut = false;
    double now() override { return t += 0.001; }
    void poll() override {}
    void finish(bool, bool) override {}
    void iteration_started(int) override {}
    void new_best(int, int, const Move*, ScoreBound) override {}
    void current_move(Move, int) override {}
    void lines(const RootLine*, int) override {}
    void iteration_done(int, int, const Move*) override {}
    void aborted() override { cut = true; }
};

// Where the search stops on the stepped clock for a budget of one second at 600%: without a cap the
// goal ends it after an iteration past 0.75 s; with a cap of 0.25 s the hard deadline cuts the
// iteration under way there.
TEST(SearchTime, TheHardDeadlineKeepsToItsCap) {
    init_engine_tables();
    tt_allocate(16);
    std::unique_ptr<Session> s(new_session());
    s->bench = true;  // quiet, and every search from cleared tables
    s->options.drawscore = 0;
    Position start = from_fen(START_FEN);
    fill_eval_fields(start);
    for (const double cap : {0.0, 0.25}) {
        SearchRequest r = base_request(*s, start, NO_DEPTH_LIMIT);
        r.time = {0, 1.0, 600, cap, false};
        SteppedClock clock;
        SearchResult result;
        search_prepare(r, clock);
        search_run(r, clock, result);
        if (cap > 0) {
            EXPECT_TRUE(clock.cut) << "cut short by the deadline";
            EXPECT_GE(clock.t, 0.25);
            EXPECT_LT(clock.t, 0.26);
        } else {
            EXPECT_FALSE(clock.cut) << "ended after an iteration";
            EXPECT_GT(clock.t, 0.75);
        }
        EXPECT_GT(result.completed, 3);
        EXPECT_NE(result.line[0], 0u);
    }
}

}  // namespace

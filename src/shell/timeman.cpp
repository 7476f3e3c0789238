#include "shell/timeman.h"

#include <chrono>
#include <cmath>

#include "shell/log.h"

namespace {

constexpr int HORIZON_MOVES = 30;
constexpr int EARLY_GAME_MOVES = 20;
constexpr int INCREMENT_WEIGHT = 5;
constexpr int MOVESTOGO_EXPONENT = 375;  // hundredths
constexpr int MOVESTOGO_OFFSET = 2;
// Share of the clock (after the move overhead) one move may use at most: whatever the budget,
// the hard deadline leaves the rest as a reserve for the moves to come.
constexpr double MOVE_SHARE_CAP = 0.25;
constexpr double MIN_MOVE_CAP = 0.001;
// The hard deadline of a budget the clock does not set: far beyond its goal.
constexpr int UNLIMITED_HARD_PERCENT = 500;

double safety_margin(int move_overhead_ms) { return (move_overhead_ms + 3) / 1000.0; }

double sudden_death(int ply, double t, double inc, int move_overhead_ms, bool ponder_bonus, int& hard_percent) {
    const int n = ply / 2 + 1;
    const int m = n < EARLY_GAME_MOVES ? HORIZON_MOVES + EARLY_GAME_MOVES - n : HORIZON_MOVES;
    const double r = (t - inc) / (inc + 1e-7);
    double goal = (t - inc) / (1 + m / (1 + INCREMENT_WEIGHT / r)) + 0.99 * inc;
    if (ponder_bonus) goal *= 1.3;
    goal = std::fmin(goal, t / 6.6);
    hard_percent = 600;
    goal = std::trunc(goal * 1000) / 1000 - safety_margin(move_overhead_ms);
    if (!(goal >= 0.001)) goal = 0.001;
    log_printf("TC: ply: %d)   %0.2f rem   %0.2f goal  %0.2f mgp\n", ply, t, goal, 6.0);
    return goal;
}

double moves_to_go(double t, int movestogo, int move_overhead_ms, bool ponder_bonus, int& hard_percent) {
    const double base = t / (movestogo + double(MOVESTOGO_OFFSET));
    double goal = movestogo > 40 ? 2 * base : base * std::pow(2.0, std::pow(movestogo / 40.0, MOVESTOGO_EXPONENT / 100.0));
    if (ponder_bonus) goal *= 1.33;
    const double cap = movestogo == 1 ? 0.9 * t : std::fmin(0.5 * t, 5 * goal);
    // An empty or negative clock leaves no ratio to take: the hard deadline is the goal itself.
    hard_percent = goal > 0 ? int(100 * cap / goal) : 100;
    log_printf("We have %8.1f seconds to make %d moves = %8.1f goal\n", t, movestogo, goal);
    goal -= safety_margin(move_overhead_ms);
    return goal >= 0.005 ? goal : 0.005;
}

}  // namespace

double clock_seconds(bool whole_seconds) {
    using namespace std::chrono;
    const double s = duration<double>(steady_clock::now().time_since_epoch()).count();
    return whole_seconds ? std::floor(s) : s;
}

TimeBudget time_budget(const Position& pos, const GoClock& clock, int move_overhead_ms, bool ponder_bonus) {
    const int side = side_to_move(pos);
    const double t = clock.time[side];
    const double cap = MOVE_SHARE_CAP * (t - move_overhead_ms / 1000.0);
    TimeBudget b = {0, 0, UNLIMITED_HARD_PERCENT, cap > MIN_MOVE_CAP ? cap : MIN_MOVE_CAP, false};
    b.seconds = clock.movestogo > 0 ? moves_to_go(t, clock.movestogo, move_overhead_ms, ponder_bonus, b.hard_percent)
                                    : sudden_death(pos.ply, t, clock.inc[side], move_overhead_ms, ponder_bonus, b.hard_percent);
    return b;
}

TimeBudget fixed_time_budget(double seconds) { return {0, seconds, UNLIMITED_HARD_PERCENT, 0, true}; }

TimeBudget unlimited_time_budget() { return {0, ONE_YEAR, UNLIMITED_HARD_PERCENT, 0, false}; }

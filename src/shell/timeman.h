// The engine's clock and the time budget of one move.
#pragma once
#include "board/position.h"
#include "search/request.h"

// Wall clock in seconds; whole seconds only when whole_seconds (the -cpu switch).
double clock_seconds(bool whole_seconds);

// What a "go" says about the clocks, in seconds.
struct GoClock {
    double time[2];  // remaining, white and black
    double inc[2];
    int movestogo;
};

// The goal for the side to move from its clock, with the hard deadline's percentage and the cap
// that keeps a reserve for the moves to come; logs one line. ponder_bonus: this goal is enlarged
// (a "go ponder", or the go after one). The start is left for the caller.
TimeBudget time_budget(const Position& pos, const GoClock& clock, int move_overhead_ms, bool ponder_bonus);
// The budget of a fixed time per move, and of no time limit at all.
TimeBudget fixed_time_budget(double seconds);
TimeBudget unlimited_time_budget();

#include "shell/timeman.h"

#include <chrono>
#include <cmath>

#include "shell/log.h"
#include "shell/options.h"

int hard_percent = 500;
int ponder_bonus = 0;
double go_movetime = 0;
int go_mate_moves = 0;
bool go_analysis = false;
double move_time_cap = 0;

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

double safety_margin() { return (move_overhead_ms + 3) / 1000.0; }

double sudden_death(int ply, double t, double inc) {
    const int n = ply / 2 + 1;
    const int m = n < EARLY_GAME_MOVES ? HORIZON_MOVES + EARLY_GAME_MOVES - n : HORIZON_MOVES;
    const double r = (t - inc) / (inc + 1e-7);
    double goal = (t - inc) / (1 + m / (1 + INCREMENT_WEIGHT / r)) + 0.99 * inc;
    if (ponder_bonus > 0) goal *= 1.3;
    goal = std::fmin(goal, t / 6.6);
    hard_percent = 600;
    goal = std::trunc(goal * 1000) / 1000 - safety_margin();
    if (!(goal >= 0.001)) goal = 0.001;
    log_printf("TC: ply: %d)   %0.2f rem   %0.2f goal  %0.2f mgp\n", ply, t, goal, 6.0);
    return goal;
}

double moves_to_go(double t, int movestogo) {
    const double base = t / (movestogo + double(MOVESTOGO_OFFSET));
    double goal = movestogo > 40 ? 2 * base : base * std::pow(2.0, std::pow(movestogo / 40.0, MOVESTOGO_EXPONENT / 100.0));
    if (ponder_bonus > 0) goal *= 1.33;
    const double cap = movestogo == 1 ? 0.9 * t : std::fmin(0.5 * t, 5 * goal);
    // An empty or negative clock leaves no ratio to take: the hard deadline is the goal itself.
    hard_percent = goal > 0 ? int(100 * cap / goal) : 100;
    log_printf("We have %8.1f seconds to make %d moves = %8.1f goal\n", t, movestogo, goal);
    goal -= safety_margin();
    return goal >= 0.005 ? goal : 0.005;
}

}  // namespace

double clock_seconds() {
    using namespace std::chrono;
    const double s = duration<double>(steady_clock::now().time_since_epoch()).count();
    return cpu_setting ? std::floor(s) : s;
}

double time_budget(const Position& pos, double wtime, double btime, double winc, double binc, int movestogo) {
    const bool white = (pos.ply & 1) == 0;
    const double t = white ? wtime : btime;
    const double cap = MOVE_SHARE_CAP * (t - move_overhead_ms / 1000.0);
    move_time_cap = cap > MIN_MOVE_CAP ? cap : MIN_MOVE_CAP;
    if (movestogo > 0) return moves_to_go(t, movestogo);
    return sudden_death(pos.ply, t, white ? winc : binc);
}

void ponder_bonus_new_go() {
    if (ponder_bonus > 0) ponder_bonus--;
}

void ponder_bonus_start() { ponder_bonus = 2; }

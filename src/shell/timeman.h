// The engine's clock and the time budget of one move.
#pragma once
#include "board/position.h"

// Wall clock in seconds (whole seconds when the cpu setting is on).
double clock_seconds();

extern int hard_percent;       // hard deadline as a percentage of the goal
extern int ponder_bonus;       // enlarges the goal while above 0
extern double go_movetime;     // seconds; 0 when the go command gave no move time
extern int go_mate_moves;      // go mate N: N, else 0
extern bool go_analysis;       // analysis search: the book stays shut
extern double move_time_cap;   // seconds the hard deadline may reach; 0 for no cap

// Goal in seconds for the side to move from its clock; sets hard_percent and logs one line.
double time_budget(const Position& pos, double wtime, double btime, double winc, double binc, int movestogo);

// A new go: the ponder bonus wears off by one go.
void ponder_bonus_new_go();
// A go with the word "ponder": this goal and the next go's are enlarged.
void ponder_bonus_start();

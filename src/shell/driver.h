// Iterative deepening over the root search: one "go" into one "bestmove".
#pragma once
#include <cstdint>

#include "board/movegen.h"
#include "board/position.h"
#include "search/worker.h"

constexpr double ONE_YEAR = 31622400.0;
constexpr int SEARCHMOVES_SIZE = 4096;

// searchmoves: the root moves to search (none: every legal move). Returns the score; played, when
// given, receives the move chosen (0 when there is none).
int search_driver(Position& pos, double seconds, int depth_limit, const MoveList& searchmoves, Move* played = nullptr);
// ucinewgame: the next search starts from cleared tables.
void driver_new_game();
// The root search found a new best move (plies: iteration; alpha, beta: its window).
void report_root_best(int plies, int score, const Move* pv, int alpha, int beta);

// Per completed iteration, read by the benchmark.
extern double iter_elapsed[MAX_ITERATIONS];
extern uint64_t iter_nodes[MAX_ITERATIONS];

extern double search_start;

// Lines of a multi-PV search, appended by the root search.
constexpr int MULTIPV_LINE_WORDS = 64;
constexpr int MULTIPV_CAPACITY = 512;
struct MultiPvLine {
    int depth;  // iteration, in plies
    int score;
    Move move;
    Move line[MULTIPV_LINE_WORDS];  // root move first, 0-terminated
};
extern MultiPvLine multipv_lines[MULTIPV_CAPACITY];
extern int multipv_count;

void record_multipv(int depth, int score, const Move* line);
// Prints the best lines; returns the lowest printed score at the newest depth (2100000000 if none).
int report_multipv();

// Search control shared by the workers and the command loop, and the read-only search tables.
#pragma once
#include <atomic>
#include <cstdint>

#include "board/position.h"

constexpr uint64_t NO_NODE_LIMIT = ~0ULL;

// Set by "stop", "quit", the limits or the end of the main worker's search; every worker unwinds.
extern std::atomic<int> stop_search;
extern std::atomic<int> pondering;
extern std::atomic<int> quit_flag;  // set by "quit"

// Limits: read by the main worker only.
extern int poll_suppressed;
extern uint64_t hard_node_limit;
extern uint64_t soft_node_budget;

// Polling: the input and the limits are looked at once every (poll_mask + 1) nodes.
extern uint32_t poll_mask;
// Installed by the shell: reads the command input; the clock the deadline is measured on.
extern void (*poll_input_hook)();
extern double (*clock_hook)();

// Installed by the shell: what the main worker's root search shows while an iteration runs.
struct RootReports {
    void (*new_best)(int plies, int score, const Move* pv, int alpha, int beta);
    void (*multipv_record)(int plies, int score, const Move* line);
    int (*multipv_show)();  // prints the best lines; the lowest shown score at the newest depth
    double (*elapsed)();    // seconds since go
    void (*current_move)(Move m, int number);  // the root move being searched, counted from 1
};
extern RootReports root_reports;
// Wall-clock second at which the searches give up (the driver's hard deadline).
extern double hard_deadline;

constexpr int MAX_PLY = 256;
constexpr int LMR_TABLE_SIZE = 400;
constexpr int DRAWN_KEY_COUNT = 11;

// Material signatures of the piece sets that cannot mate.
extern uint64_t drawn_material_keys[DRAWN_KEY_COUNT];
// Late-move reductions in half plies by move number (1 upward).
extern int lmr_table_zw[LMR_TABLE_SIZE];
extern int lmr_table_pv[LMR_TABLE_SIZE];

struct CounterMove {
    int32_t type;  // moved piece type of the move answered
    uint32_t move;
};

using HistoryTable = int32_t[2][8][64];

constexpr int HISTORY_START = 5000;
constexpr int HISTORY_MAX = 32640;

// Rebuilds the tables derived from the settings (reductions, insufficient-material keys).
void rebuild_search_tables();
inline bool is_drawn_material_key(uint64_t key) {
    for (uint64_t k : drawn_material_keys)
        if (k == key) return true;
    return false;
}


// The thread pool: the main worker and the helper threads of the parallel search, with the control
// block they all read. Helpers run iterative deepening on the main worker's root and share only the
// transposition table; they never print, never read input and stop as soon as the main worker does.
#pragma once
#include <cstdint>

#include "search/request.h"
#include "search/worker.h"

constexpr int MAX_THREADS = 256;

// The worker of the command loop's thread, created on first use: the one that handles input, time,
// output and the best move.
Worker& main_worker();

// Threads in all, the main worker included: helpers are created or joined here, never at "go".
void set_thread_count(int threads);
int thread_count();

// Wakes the helpers on a copy of the request's root, moves and settings.
void start_helpers(const SearchRequest& request);
// Stops the helpers and waits until every one is parked again; the stop flag is left as it was.
void stop_helpers();

// Nodes of every worker of the current search.
uint64_t total_nodes();
uint64_t total_tbhits();
// Empties the pawn and material tables of every worker.
void clear_pawn_and_material_tables();

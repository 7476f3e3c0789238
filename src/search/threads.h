// Helper threads of the parallel search. Helpers run iterative deepening on the main worker's root
// and share only the transposition table; they never print, never read input and stop as soon as
// the main worker stops.
#pragma once
#include <cstddef>
#include <cstdint>

#include "board/movegen.h"
#include "board/position.h"
#include "search/worker.h"

constexpr int MAX_THREADS = 256;

// Threads in all, the main worker included: helpers are created or joined here, never at "go".
void set_thread_count(int threads);
int thread_count();

// Wakes the helpers on a copy of the root. reset_ordering: forget history and counter-moves first.
void start_helpers(const Position& root, const MoveList& moves, const SearchOptions& opt, bool reset_ordering);
// Stops the helpers and waits until every one is parked again; the stop flag is left as it was.
void stop_helpers();

// Nodes of every worker of the current search.
uint64_t total_nodes();
uint64_t total_tbhits();
// Empties the pawn and material tables of every worker (their terms depend on the evaluation parameters).
void clear_pawn_and_material_tables();
// Memory one helper thread owns besides its stack.
constexpr size_t HELPER_BYTES = sizeof(Worker);

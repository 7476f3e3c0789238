// Iterative deepening over the root search, one loop for the main worker and the helpers, and one
// search request from its start to its result.
#pragma once
#include <cstdint>

#include "search/lines.h"
#include "search/report.h"
#include "search/request.h"
#include "search/search.h"
#include "search/worker.h"

struct SearchResult {
    Move line[PV_SIZE];  // of the last completed iteration: its first move is the one to play
    int score;
    int completed;       // that iteration, 0 when none was
    RootLine choices[STRENGTH_LINES];  // that iteration's best lines, kept for a limited strength
    int choice_count;
    double iter_elapsed[MAX_ITERATIONS];  // per completed iteration, seconds from the start
    uint64_t iter_nodes[MAX_ITERATIONS];  // and the main worker's nodes by then
};

// Gets the main worker and the shared table ready for the request; a book move, which searches
// nothing, still counts as a search of the game and comes after this too.
void search_prepare(const SearchRequest& request, SearchReporter& reporter);
// Then runs the request on the main worker, and on the helpers when its settings say so, until a
// limit ends it, and finishes it.
void search_run(const SearchRequest& request, SearchReporter& reporter, SearchResult& result);
// Lets a ponder search, or one without a depth limit, wait for the GUI's word; stops the helpers.
void search_finish(const SearchRequest& request, SearchReporter& reporter);

// What only the main worker's loop does: keep time, report, keep the result. Null on a helper,
// which leaves out iterations by a rule of its own and only fills the shared table.
struct MainSearch;
void iterative_deepening(Worker& w, Position& root, const MoveList& moves, MainSearch* main);

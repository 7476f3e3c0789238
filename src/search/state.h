// Search-wide control state shared by make-move, the searches and the command loop.
#pragma once
#include <cstdint>

constexpr uint64_t NO_NODE_LIMIT = ~0ULL;

extern int stop_search;
extern int pondering;
extern int poll_suppressed;
extern uint64_t node_count;
extern uint64_t hard_node_limit;
extern uint64_t soft_node_budget;

#include "search/state.h"

int stop_search = 0;
int pondering = 0;
int poll_suppressed = 0;
uint64_t node_count = 0;
uint64_t hard_node_limit = NO_NODE_LIMIT;
uint64_t soft_node_budget = NO_NODE_LIMIT;

// Memory for the large tables that every node reads at random: a miss in the address cache costs
// as much as one in the data cache, so they sit in huge pages where the system offers them (Linux:
// transparent huge pages; Windows: large pages when the user holds the "lock pages in memory" right).
#pragma once
#include <cstddef>

// Zeroed memory of at least `bytes`, aligned to a huge page and backed by huge pages where the
// system allows; nullptr when there is no memory.
void* large_alloc(size_t bytes);
// Returns what large_alloc gave for the same `bytes`.
void large_free(void* p, size_t bytes);

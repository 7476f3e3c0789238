// The control every search thread reads at every node. The command loop sets it ("stop",
// "ponderhit", "quit"), and so do the main worker's limits and the end of its search.
#pragma once
#include <atomic>

struct SearchControl {
    std::atomic<int> stop{0};       // every worker unwinds
    std::atomic<int> pondering{0};  // a ponder search: its limits wait for ponderhit
};

// Kept with the thread pool (search/threads.cpp); at a fixed address each read is one instruction.
extern SearchControl search_control;

inline bool stopped() { return search_control.stop.load(std::memory_order_relaxed) != 0; }
inline void request_stop() { search_control.stop.store(1); }
inline bool pondering() { return search_control.pondering.load(std::memory_order_relaxed) != 0; }

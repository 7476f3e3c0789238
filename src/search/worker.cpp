#include "search/worker.h"

#include <cstring>
#include <new>

#include "platform/memory.h"
#include "search/report.h"

void* Worker::operator new(size_t bytes) {
    void* p = large_alloc(bytes);
    if (!p) throw std::bad_alloc();
    return p;
}
void Worker::operator delete(void* p, size_t bytes) { large_free(p, bytes); }

Worker* new_worker() {
    Worker* w = new Worker();
    eval_tables_use_bonus(w->eval, default_weights.hmb);
    return w;
}

void reset_move_ordering(Worker& w) {
    memset(w.counters, 0, sizeof w.counters);
    for (auto& side : w.history)
        for (auto& type : side)
            for (int32_t& h : type) h = HISTORY_START;
}

void clear_killers(Worker& w) { memset(w.killers, 0, sizeof w.killers); }

bool poll_limits(Worker& w) {
    w.reporter->poll();
    // A ponder search runs on until the hit; "stop" and "quit" end it through the stop flag.
    if (pondering()) return false;
    if (stopped()) return true;
    const uint64_t nodes = worker_nodes(w);
    const bool soft_spent = w.soft_nodes != NO_NODE_LIMIT && nodes / 5 >= w.soft_nodes;
    if (nodes >= w.node_limit || soft_spent || w.reporter->now() >= w.deadline) {
        request_stop();
        return true;
    }
    return false;
}

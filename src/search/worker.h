// The search worker: everything one search thread writes. The main worker runs on the command
// loop's thread; helpers run on threads of their own (search/threads.*).
#pragma once
#include <atomic>
#include <cstdint>

#include "board/position.h"
#include "eval/evaluate.h"
#include "search/control.h"
#include "search/lines.h"
#include "search/request.h"
#include "search/tables.h"

struct SearchReporter;

constexpr int MAX_ROOT_MOVES = 256;
// The main worker looks at its input and limits once every POLL_MASK + 1 nodes.
constexpr uint32_t POLL_MASK = 255;

struct RootMove {
    Move move;
    int32_t score;
    uint64_t nodes;  // spent on the move in the latest iteration
};

struct CounterMove {
    int32_t type;  // moved piece type of the move answered
    uint32_t move;
};

using HistoryTable = int32_t[2][8][64];

constexpr int HISTORY_START = 5000;
constexpr int HISTORY_MAX = 32640;

struct Worker {
    bool main;
    int index;  // 0 for the main worker, helpers from 1
    // Read by other threads for the summed counts in info lines, so atomic (relaxed).
    std::atomic<uint64_t> nodes;
    std::atomic<uint64_t> tbhits;  // tablebase probes answered
    uint32_t poll_counter;
    int sel_depth;  // deepest ply reached in this search
    SearchSettings opt;
    // The main worker's limits and its reporter; helpers stop only when the main worker does.
    uint64_t node_limit;  // the search stops at exactly this many nodes
    uint64_t soft_nodes;  // Special Node Level: the poll stops the search at five times this
    double deadline;      // clock second at which the search gives up
    double start;         // clock second of the "go"
    bool poll_suppressed; // the first iteration reads no input and counts past the node limit
    SearchReporter* reporter;
    Position root_child;
    RootMove root_moves[MAX_ROOT_MOVES];
    int root_move_count;
    int iter_score[MAX_ITERATIONS];
    int iter_best_move[MAX_ITERATIONS];
    Move killers[MAX_PLY][2];
    HistoryTable history;
    CounterMove counters[2][7][4096];
    RootLines lines;  // the main worker's multi-PV records
    EvalTables eval;

    // Workers live in huge pages: their caches are read at random at every node.
    static void* operator new(size_t bytes);
    static void operator delete(void* p, size_t bytes);
};

// A worker with its tables zeroed and its evaluation's bonus built.
Worker* new_worker();
// Forgets history and counter-moves (a new game, or every search when deterministic).
void reset_move_ordering(Worker& w);
void clear_killers(Worker& w);

inline uint64_t worker_nodes(const Worker& w) { return w.nodes.load(std::memory_order_relaxed); }

// A draw seen from the side to move at `ply`.
inline int draw_for_ply(const Worker& w, int ply) { return (ply & 1) ? -w.opt.draw_score : w.opt.draw_score; }

// Called when the main worker's poll counter comes round: reads input, then tests stop, node limits
// and the deadline.
bool poll_limits(Worker& w);

// The polling step of every node: true when the search must unwind now. Helpers never poll; they
// see the shared stop flag at the next node.
inline bool poll_step(Worker& w) {
    if (!w.main || (++w.poll_counter & POLL_MASK) != 0 || w.poll_suppressed) return false;
    return poll_limits(w);
}

// Every position the search makes is a node; on the main worker the node limit stops the search at
// exactly the limit.
inline void count_node(Worker& w) {
    if (stopped()) return;
    const uint64_t n = w.nodes.load(std::memory_order_relaxed);
    if (!w.main || n < w.node_limit || w.poll_suppressed)
        w.nodes.store(n + 1, std::memory_order_relaxed);
    else
        request_stop();
}

// Quiet cut-off bookkeeping: the cut move gains, the other quiet moves tried lose.
inline void history_reward(Worker& w, int side, int type, int to, int depth) {
    int32_t& h = w.history[side][type][to];
    h = int32_t(h + int64_t(HISTORY_MAX - h) * depth / 64);
}
inline void history_penalty(Worker& w, int side, int type, int to, int depth) {
    int32_t& h = w.history[side][type][to];
    h = int32_t(h - int64_t(h) * depth / 64);
}
// After a quiet cut-off or best move at a node of the given depth (capped so the values stay in range).
inline void update_history(Worker& w, const Position& pos, Move best, const Move* quiets, int quiet_count, int depth) {
    const int side = pos.ply & 1, d = depth < 64 ? depth : 64;
    for (int i = 0; i < quiet_count; i++)
        if (quiets[i] != best) history_penalty(w, side, pos.board[move_from(quiets[i])] & 7, move_to(quiets[i]), d);
    history_reward(w, side, pos.board[move_from(best)] & 7, move_to(best), d);
}
inline void update_killers(Worker& w, int ply, Move m) {
    if (w.killers[ply][0] == m) return;
    w.killers[ply][1] = w.killers[ply][0];
    w.killers[ply][0] = m;
}

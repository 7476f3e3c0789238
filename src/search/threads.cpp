#include "search/threads.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "search/search.h"

namespace {

struct Helper {
    std::unique_ptr<Worker> worker;
    std::thread thread;
};

// The pool: helpers wait on `wake` for a new generation and report on `parked` when done.
struct Pool {
    std::mutex mutex;
    std::condition_variable wake, parked;
    uint64_t generation = 0;
    int searching = 0;
    bool exiting = false;
    MoveList moves;
    std::vector<Helper> helpers;

    ~Pool() { join_all(); }
    void join_all() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            exiting = true;
        }
        wake.notify_all();
        for (Helper& h : helpers) h.thread.join();
        helpers.clear();
        exiting = false;
    }
};

Pool pool;

// Helpers search different depth sequences so that they do not all walk the same tree: helper i
// leaves out every (2 + i % 3)-th iteration, at a phase of its own.
bool skips_iteration(int index, int iteration) {
    const int cycle = 2 + index % 3;
    return iteration > 2 && (iteration + index) % cycle == 0;
}

void helper_search(Worker& w, int index) {
    Position pos = w.root;
    Move line[PV_SIZE] = {0};
    for (int iteration = 1; iteration < MAX_ITERATIONS && !stop_search; iteration++) {
        if (skips_iteration(index, iteration)) {
            w.iter_score[iteration] = w.iter_score[iteration - 1];
            continue;
        }
        uint64_t best_nodes = 0, other_nodes = 0;
        const int score = aspiration_search(w, pos, iteration, pool.moves, line, best_nodes, other_nodes);
        if (stop_search) break;
        w.iter_score[iteration] = score;
    }
}

// seen: the generation current at creation, between searches; the helper waits for the next one.
void helper_main(Worker& w, int index, uint64_t seen) {
    std::unique_lock<std::mutex> lock(pool.mutex);
    for (;;) {
        pool.wake.wait(lock, [&] { return pool.exiting || pool.generation != seen; });
        if (pool.exiting) return;
        seen = pool.generation;
        lock.unlock();
        helper_search(w, index);
        lock.lock();
        if (--pool.searching == 0) pool.parked.notify_all();
    }
}

}  // namespace

void set_thread_count(int threads) {
    threads = threads < 1 ? 1 : (threads > MAX_THREADS ? MAX_THREADS : threads);
    if (threads == thread_count()) return;
    pool.join_all();
    pool.helpers.resize(size_t(threads - 1));
    for (size_t i = 0; i < pool.helpers.size(); i++) {
        Helper& h = pool.helpers[i];
        h.worker.reset(new_worker());
        reset_move_ordering(*h.worker);
        h.thread = std::thread(helper_main, std::ref(*h.worker), int(i + 1), pool.generation);
    }
}

int thread_count() { return int(pool.helpers.size()) + 1; }

void start_helpers(const Position& root, const MoveList& moves, const SearchOptions& opt, bool reset_ordering) {
    if (pool.helpers.empty()) return;
    std::lock_guard<std::mutex> lock(pool.mutex);
    pool.moves = moves;
    for (Helper& h : pool.helpers) {
        Worker& w = *h.worker;
        w.root = root;
        w.opt = opt;
        w.opt.quiet = 1;
        eval_tables_use_bonus(w.eval, opt.hmb);
        w.nodes.store(0, std::memory_order_relaxed);
        clear_killers(w);
        if (reset_ordering) reset_move_ordering(w);
    }
    pool.searching = int(pool.helpers.size());
    pool.generation++;
    pool.wake.notify_all();
}

void stop_helpers() {
    if (pool.helpers.empty()) return;
    const int was = stop_search;
    stop_search = 1;
    std::unique_lock<std::mutex> lock(pool.mutex);
    pool.parked.wait(lock, [] { return pool.searching == 0; });
    stop_search = was;
}

uint64_t total_nodes() {
    uint64_t n = worker_nodes(main_worker);
    for (const Helper& h : pool.helpers) n += worker_nodes(*h.worker);
    return n;
}

uint64_t total_tbhits() {
    uint64_t n = main_worker.tbhits.load(std::memory_order_relaxed);
    for (const Helper& h : pool.helpers) n += h.worker->tbhits.load(std::memory_order_relaxed);
    return n;
}

void clear_pawn_and_material_tables() {
    auto clear = [](EvalTables& t) {
        pawn_table_clear(t.pawns);
        material_table_clear(t.material);
    };
    clear(main_worker.eval);
    for (Helper& h : pool.helpers) clear(h.worker->eval);
}

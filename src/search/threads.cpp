#include "search/threads.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "search/iterate.h"

SearchControl search_control;

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
    // What the helpers search: written only while they are parked.
    Position root;
    MoveList moves;
    Worker* main = nullptr;
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

// seen: the generation current at creation, between searches; the helper waits for the next one.
void helper_main(Worker& w, uint64_t seen) {
    std::unique_lock<std::mutex> lock(pool.mutex);
    for (;;) {
        pool.wake.wait(lock, [&] { return pool.exiting || pool.generation != seen; });
        if (pool.exiting) return;
        seen = pool.generation;
        lock.unlock();
        Position root = pool.root;
        iterative_deepening(w, root, pool.moves, nullptr);
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
        h.worker->index = int(i + 1);
        reset_move_ordering(*h.worker);
        h.thread = std::thread(helper_main, std::ref(*h.worker), pool.generation);
    }
}

int thread_count() { return int(pool.helpers.size()) + 1; }

Worker& main_worker() {
    if (!pool.main) {
        pool.main = new_worker();
        pool.main->main = true;
    }
    return *pool.main;
}

void start_helpers(const SearchRequest& request) {
    if (pool.helpers.empty()) return;
    std::lock_guard<std::mutex> lock(pool.mutex);
    pool.root = request.root;
    pool.moves = request.moves;
    for (Helper& h : pool.helpers) {
        Worker& w = *h.worker;
        // A helper's settings are what keeps it silent and on the best move alone.
        w.opt = request.settings;
        w.opt.quiet = true;
        w.opt.lines = 1;
        eval_tables_use_bonus(w.eval, w.opt.hmb);
        w.nodes.store(0, std::memory_order_relaxed);
        clear_killers(w);
        if (request.settings.fresh) reset_move_ordering(w);
    }
    pool.searching = int(pool.helpers.size());
    pool.generation++;
    pool.wake.notify_all();
}

void stop_helpers() {
    if (pool.helpers.empty()) return;
    const int was = search_control.stop;
    request_stop();
    std::unique_lock<std::mutex> lock(pool.mutex);
    pool.parked.wait(lock, [] { return pool.searching == 0; });
    search_control.stop = was;
}

uint64_t total_nodes() {
    uint64_t n = worker_nodes(main_worker());
    for (const Helper& h : pool.helpers) n += worker_nodes(*h.worker);
    return n;
}

uint64_t total_tbhits() {
    uint64_t n = main_worker().tbhits.load(std::memory_order_relaxed);
    for (const Helper& h : pool.helpers) n += h.worker->tbhits.load(std::memory_order_relaxed);
    return n;
}

void clear_pawn_and_material_tables() {
    auto clear = [](EvalTables& t) {
        pawn_table_clear(t.pawns);
        material_table_clear(t.material);
    };
    clear(main_worker().eval);
    for (Helper& h : pool.helpers) clear(h.worker->eval);
}

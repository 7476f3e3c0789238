#include "search/iterate.h"

#include <cstdlib>
#include <cstring>

#include "search/threads.h"
#include "search/tt.h"

namespace {

// Aspiration windows: at least this wide around the last score, widened by half when it fails.
constexpr int ASPIRATION_FIRST_ITERATION = 5;
constexpr int MIN_ASPIRATION_WIDTH = 16;
constexpr double ASPIRATION_GROWTH = 1.5;
// Time: the first goal is this share of the budget, a mate stops after a tenth of that, and a best
// move that keeps its place lets the goal shrink towards 80%; a new one stretches it to 120%.
constexpr int SOFT_GOAL_PERCENT = 75;
constexpr double MATE_GOAL_SHARE = 0.075;
constexpr int STEADY_GOAL_MAX_PERCENT = 80;
constexpr int CHANGED_GOAL_PERCENT = 120;
constexpr int FIRST_TIME_ADJUSTMENT = 5;  // iteration

int clamp_window(int v) { return v < -INFINITE_SCORE ? -INFINITE_SCORE : (v > INFINITE_SCORE ? INFINITE_SCORE : v); }

// Helpers search different depth sequences so that they do not all walk the same tree: helper i
// leaves out every (2 + i % 3)-th iteration, at a phase of its own.
bool skips_iteration(int index, int iteration) {
    const int cycle = 2 + index % 3;
    return iteration > 2 && (iteration + index) % cycle == 0;
}

// The main worker's clock: goals and deadlines in clock seconds, computed from the request's budget.
struct TimeKeeper {
    double soft, mate;   // the goal, and the goal once a mate is found
    double share;        // running share of the nodes the best move took
    bool time_up;
};

TimeKeeper time_keeper(const TimeBudget& b) {
    TimeKeeper t = {0, 0, 0.5, false};
    if (b.fixed) {
        t.soft = t.mate = b.start + b.seconds;
    } else {
        t.soft = b.start + b.seconds * SOFT_GOAL_PERCENT / 100;
        t.mate = b.start + MATE_GOAL_SHARE * b.seconds;
    }
    return t;
}

double hard_deadline(const TimeBudget& b) {
    if (b.fixed) return b.start + b.seconds;
    const double hard = b.start + b.seconds * b.hard_percent / 100;
    return b.cap > 0 && hard > b.start + b.cap ? b.start + b.cap : hard;
}

// One iteration with its aspiration re-searches; the score of the last search made.
int aspiration_search(Worker& w, Position& pos, int iteration, const MoveList& moves, Move* line,
                      uint64_t& best_nodes, uint64_t& other_nodes) {
    int alpha = -INFINITE_SCORE, beta = INFINITE_SCORE;
    if (iteration >= ASPIRATION_FIRST_ITERATION && w.opt.lines <= 1) {
        const int s1 = w.iter_score[iteration - 1], s2 = w.iter_score[iteration - 2], s3 = w.iter_score[iteration - 3];
        int width = (abs(s1 - s2) + abs(s2 - s3)) / 2;
        if (width < MIN_ASPIRATION_WIDTH) width = MIN_ASPIRATION_WIDTH;
        alpha = clamp_window(s1 - width);
        beta = clamp_window(s1 + width);
    }
    int score = root_search(w, pos, 2 * iteration, alpha, beta, line, moves, best_nodes, other_nodes);
    int last_fail = 0;  // +1 after a fail high, -1 after a fail low
    while (!stopped() && (score >= beta || score <= alpha)) {
        const int fail = score >= beta ? 1 : -1;
        const int width = int(ASPIRATION_GROWTH * (beta - alpha));
        if (last_fail == -fail) {
            alpha = -INFINITE_SCORE;
            beta = INFINITE_SCORE;
        } else if (fail > 0) {
            alpha = clamp_window(score - 1);
            beta = clamp_window(score - 1 + width);
        } else {
            alpha = clamp_window(score + 1 - width);
            beta = clamp_window(score + 1);
        }
        last_fail = fail;
        score = root_search(w, pos, 2 * iteration, alpha, beta, line, moves, best_nodes, other_nodes);
        if (alpha == -INFINITE_SCORE && beta == INFINITE_SCORE) break;
    }
    return score;
}

}  // namespace

struct MainSearch {
    const SearchRequest& request;
    SearchReporter& reporter;
    SearchResult& result;
    TimeKeeper time;

    double elapsed() {
        const double e = reporter.now() - request.time.start;
        return e > 0 ? e : 0;
    }

    void adjust_time(Worker& w, int iteration, Move first) {
        if (request.time.fixed || iteration < FIRST_TIME_ADJUSTMENT || stopped()) return;
        const double start = request.time.start, seconds = request.time.seconds;
        if (first == Move(w.iter_best_move[iteration - 1])) {
            double pct = 2.5 * (102 - 100 * time.share);
            if (pct > STEADY_GOAL_MAX_PERCENT) pct = STEADY_GOAL_MAX_PERCENT;
            time.soft = start + seconds * pct / 100;
        } else {
            time.soft = start + seconds * CHANGED_GOAL_PERCENT / 100;
            time.share *= 0.9;
        }
    }

    bool ends_search(const Worker& w, int iteration, int score) {
        const SearchLimits& limits = request.limits;
        const double now = reporter.now();
        if (now > time.soft) time.time_up = true;
        if (is_mate_score(score) && now > time.mate) time.time_up = true;
        if (!pondering() && time.time_up) return true;
        if (limits.soft_nodes != NO_NODE_LIMIT && worker_nodes(w) >= limits.soft_nodes) return true;
        if (limits.depth < NO_DEPTH_LIMIT && is_mate_score(score)) return true;
        if (limits.mate && score > 0 && is_mate_score(score) && mate_in_moves(score) <= limits.mate) return true;
        return iteration >= limits.depth;
    }

    // After the iteration's search; true when the loop ends here.
    bool after_iteration(Worker& w, int iteration, int score, const Move* line, uint64_t best_nodes,
                         uint64_t other_nodes) {
        other_nodes += 1;
        time.share = 0.75 * time.share + 0.25 * double(best_nodes) / double(best_nodes + other_nodes);
        adjust_time(w, iteration, line[0]);
        if (stopped()) {
            reporter.aborted();
            return true;
        }
        memcpy(result.line, line, sizeof result.line);
        result.score = score;
        result.completed = iteration;
        w.iter_best_move[iteration] = int(line[0]);
        w.iter_score[iteration] = score;
        if (request.settings.keep_choices) result.choice_count = best_lines_of_iteration(w.lines, iteration, result.choices);
        reporter.iteration_done(iteration, score, result.line);
        result.iter_elapsed[iteration] = elapsed();
        result.iter_nodes[iteration] = worker_nodes(w);
        return ends_search(w, iteration, score);
    }
};

void iterative_deepening(Worker& w, Position& root, const MoveList& moves, MainSearch* main) {
    Move line[PV_SIZE] = {0};
    for (int iteration = 1; iteration < MAX_ITERATIONS && !stopped(); iteration++) {
        if (!main && skips_iteration(w.index, iteration)) {
            w.iter_score[iteration] = w.iter_score[iteration - 1];
            continue;
        }
        if (main) {
            if (iteration > 1) w.poll_suppressed = false;
            main->reporter.iteration_started(iteration);
        }
        uint64_t best_nodes = 0, other_nodes = 0;
        const int score = aspiration_search(w, root, iteration, moves, line, best_nodes, other_nodes);
        if (main) {
            if (main->after_iteration(w, iteration, score, line, best_nodes, other_nodes)) break;
        } else {
            if (stopped()) break;
            w.iter_score[iteration] = score;
        }
    }
}

void search_prepare(const SearchRequest& request, SearchReporter& reporter) {
    const SearchSettings& settings = request.settings;
    Worker& w = main_worker();
    search_control.stop = 0;
    w.lines.count = 0;
    w.poll_suppressed = true;
    clear_killers(w);
    if (settings.fresh) reset_move_ordering(w);
    w.opt = settings;
    eval_tables_use_bonus(w.eval, settings.hmb);
    if (tt.buckets && settings.fresh) tt_clear();
    if (tt.buckets) tt_new_search();
    w.node_limit = request.limits.nodes;
    w.soft_nodes = request.limits.soft_nodes;
    w.start = request.time.start;
    w.deadline = hard_deadline(request.time);
    w.sel_depth = 0;
    w.reporter = &reporter;
}

void search_run(const SearchRequest& request, SearchReporter& reporter, SearchResult& result) {
    memset(&result, 0, sizeof result);
    MainSearch main = {request, reporter, result, time_keeper(request.time)};
    if (request.settings.helpers) start_helpers(request);
    Position root = request.root;
    iterative_deepening(main_worker(), root, request.moves, &main);
    search_finish(request, reporter);
}

void search_finish(const SearchRequest& request, SearchReporter& reporter) {
    const SearchLimits& limits = request.limits;
    const bool infinite = limits.depth >= NO_DEPTH_LIMIT && request.time.seconds >= ONE_YEAR && limits.nodes == NO_NODE_LIMIT &&
                          limits.soft_nodes == NO_NODE_LIMIT && !limits.mate;
    reporter.finish(pondering() || limits.depth >= NO_DEPTH_LIMIT, infinite);
    stop_helpers();
}

#include "shell/driver.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "board/movegen.h"
#include "board/legal.h"
#include "book/book.h"
#include "eval/pawns.h"
#include "search/search.h"
#include "search/sort.h"
#include "search/strength.h"
#include "search/tablebase.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/notation.h"
#include "shell/options.h"
#include "shell/timeman.h"
#include "shell/uci.h"

double iter_elapsed[MAX_ITERATIONS];
uint64_t iter_nodes[MAX_ITERATIONS];

double search_start = 0;

MultiPvLine multipv_lines[MULTIPV_CAPACITY];
int multipv_count = 0;

namespace {

constexpr int NO_LINE_SCORE = 2100000000;

bool new_game = true;
// The line printed last (the first line of a multi-PV report): its first move must be the move played.
Move last_printed_move = 0;

bool reset_ordering = false;
double soft_limit = 0, mate_limit = 0;
bool time_up = false;
double best_move_share = 0.5;
char ponder_move_text[MOVE_TEXT_SIZE];
const Position* search_root = nullptr;
// A limited strength chooses among the best lines of the last completed iteration.
MultiPvLine strength_choices[STRENGTH_LINES];
int strength_choice_count = 0;
// Seeded from the clock so games differ; Deterministic seeds it from the position instead.
uint64_t strength_random = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());  // names the castling rooks in Chess960 move text
// What the tables say about the root of this search; outcome and distance replace plain scores.
bool root_in_tables = false;
TbRoot root_tables;

double elapsed_since_start() {
    const double e = clock_seconds() - search_start;
    return e > 0 ? e : 0;
}
double rate_time(double elapsed) { return elapsed > 0.0001 ? elapsed : 0.0001; }

// The log shows "MT n" for a mate and pawns with two decimals otherwise.
void log_score_text(int score, char* out, int size) {
    if (is_mate_score(score))
        snprintf(out, size, "MT %d", mate_in_moves(score));
    else
        snprintf(out, size, "%0.2f", score / 100.0);
}

// "cp N" or "mate N".
void score_to_text(int score, char* out, int size) {
    if (is_mate_score(score))
        snprintf(out, size, "mate %d", mate_in_moves(score));
    else
        snprintf(out, size, "cp %d", score);
}

// One "info ... pv" line; multipv 0 leaves the field out, bound is "" for an exact score.
void print_pv_info(int depth, int multipv, int score, const char* bound, const Move* pv) {
    const double elapsed = elapsed_since_start();
    const uint64_t node_count = total_nodes();
    char score_text[32], text[PV_TEXT_SIZE], head[96];
    if (root_in_tables && !is_mate_score(score)) score = tb_root_score(root_tables);
    score_to_text(score, score_text, sizeof score_text);
    pv_to_text(pv, text, search_root, chess960);
    if (multipv)
        snprintf(head, sizeof head, "multipv %d score %s%s depth %d", multipv, score_text, bound, depth);
    else
        snprintf(head, sizeof head, "depth %d", depth);
    printf("info %s time %d nodes %" PRIu64, head, int(elapsed * 1000 + 0.5), node_count);
    if (!multipv) printf(" score %s%s", score_text, bound);
    printf(" nps %" PRIu64 " seldepth %d hashfull %d tbhits %" PRIu64 " pv %s\n",
           uint64_t(node_count / rate_time(elapsed)), main_worker.sel_depth > depth ? main_worker.sel_depth : depth,
           tt_hashfull(), total_tbhits(), text);
    fflush(stdout);
    if (multipv <= 1) last_printed_move = pv[0];
}

// The book's move; a book file that cannot be read is shut, and the GUI is told.
Move book_move(const Position& pos) {
    const bool was_open = book_is_open();
    const Move m = book_probe(pos, best_book_line);
    if (was_open && !book_is_open()) {
        printf("info string book file %s cannot be read: book disabled\n", book_file_name);
        fflush(stdout);
    }
    return m;
}

void report_current_move(Move m, int number) {
    char text[MOVE_TEXT_SIZE];
    move_to_text(m, text, search_root, chess960);
    printf("info currmove %s currmovenumber %d\n", text, number);
    fflush(stdout);
}

void prepare(Position& pos, double seconds) {
    multipv_count = 0;
    poll_mask = 255;
    if (bench_mode) deterministic = 1;
    poll_suppressed = 1;
    poll_input_hook = poll_input;
    clock_hook = clock_seconds;
    root_reports = {report_root_best, record_multipv, report_multipv, elapsed_since_start, report_current_move};
    time_up = false;
    stop_search = 0;
    clear_killers(main_worker);
    reset_ordering = new_game || deterministic;
    if (reset_ordering) {
        reset_move_ordering(main_worker);
        rebuild_search_tables();
    }
    const bool weaker = limit_strength && !bench_mode;
    const int lines = weaker && multi_pv < STRENGTH_LINES ? STRENGTH_LINES : multi_pv;
    main_worker.opt =
        SearchOptions{lines, use_lmr, null_move_pruning, pos.phase * drawscore_option / 48, bench_mode, option_weights.hmb};
    eval_tables_use_bonus(main_worker.eval, option_weights.hmb);
    if (weaker && deterministic) strength_random = pos.key;
    strength_choice_count = 0;
    if (tt.buckets && (new_game || deterministic)) {
        tt_clear();
        new_game = false;
    }
    if (tt.buckets) tt_new_search();

    search_start = clock_seconds();
    hard_deadline = search_start + seconds * hard_percent / 100;
    if (go_movetime > 0) {
        soft_limit = hard_deadline = mate_limit = search_start + seconds;
    } else {
        soft_limit = search_start + seconds * 75 / 100;
        mate_limit = search_start + 0.075 * seconds;
    }
    if (move_time_cap > 0 && hard_deadline > search_start + move_time_cap) hard_deadline = search_start + move_time_cap;
    main_worker.sel_depth = 0;
    last_printed_move = 0;
    best_move_share = 0.5;
    log_board(pos);
    log_printf("DEPTH      TIME         NODES      KNPS    SCORE   PRINCIPAL VARIATION\n");
    log_printf("-----  --------  ------------  --------  -------   -------------------------------------------------\n");
}

void report_iteration(int iteration, int score, const char* line_text, const Move* line) {
    const double elapsed = elapsed_since_start();
    const uint64_t node_count = total_nodes();
    char log_score[32];
    log_score_text(score, log_score, sizeof log_score);
    log_printf("%5d  %8.1f  %12" PRIu64 "  %8.1f  %7s   %s\n", iteration, elapsed, node_count,
               node_count / rate_time(elapsed) / 1000, log_score, line_text);
    if (bench_mode || main_worker.opt.multi_pv > 1) return;
    print_pv_info(iteration, 0, score, "", line);
}

void adjust_time(int iteration, Move first, double seconds) {
    if (go_movetime > 0 || iteration <= 4 || stop_search) return;
    if (first == Move(main_worker.iter_best_move[iteration - 1])) {
        double pct = 2.5 * (102 - 100 * best_move_share);
        if (pct > 80) pct = 80;
        soft_limit = search_start + seconds * pct / 100;
    } else {
        soft_limit = search_start + seconds * 120 / 100;
        best_move_share *= 0.9;
    }
}

bool iteration_ends_search(int iteration, int score, int depth_limit) {
    const double now = clock_seconds();
    if (now > soft_limit) time_up = true;
    if (is_mate_score(score) && now > mate_limit) time_up = true;
    if (!pondering && time_up) return true;
    if (soft_node_budget != NO_NODE_LIMIT && worker_nodes(main_worker) >= soft_node_budget) return true;
    if (depth_limit <= 98 && is_mate_score(score)) return true;
    if (go_mate_moves && score > 0 && is_mate_score(score) && mate_in_moves(score) <= go_mate_moves) return true;
    return iteration >= depth_limit;
}

// Narrows the root moves to those that keep the tables' outcome and says what that is. When the
// moves searched exclude all of them the search goes on as asked.
void filter_by_tables(const Position& pos, MoveList& list) {
    root_in_tables = false;
    if (!tb_pieces || bench_mode || !tb_probe_root_moves(pos, root_tables)) return;
    MoveList kept;
    char text[SEARCHMOVES_SIZE] = "";
    int used = 0;
    for (int i = 0; i < root_tables.kept; i++) {
        const Move m = root_tables.moves[i];
        if (!list.contains(m)) continue;
        kept.add(m);
        char t[MOVE_TEXT_SIZE];
        move_to_text(m, t, &pos, chess960);
        used += snprintf(text + used, sizeof text - size_t(used), "%s ", t);
    }
    if (!kept.count) return;
    list = kept;
    root_in_tables = true;
    static const char* const names[3] = {"loss", "draw", "win"};
    printf("info string tablebase %s dtz %d keeps %s\n", names[root_tables.outcome + 1], root_tables.dtz, text);
    fflush(stdout);
}

// The root moves of a search: those asked for, or every legal move when none was.
MoveList root_move_list(const Position& pos, const MoveList& searchmoves) {
    if (searchmoves.count) return searchmoves;
    MoveList all;
    all.count = generate_legal_moves(pos, all.moves);
    return all;
}

// An analysis without limits, and a ponder search, hand over their move only when told.
void wait_for_release(double seconds, int depth_limit) {
    const bool infinite = depth_limit >= 99 && seconds >= ONE_YEAR && hard_node_limit == NO_NODE_LIMIT &&
                          soft_node_budget == NO_NODE_LIMIT && !go_mate_moves;
    if (!pondering && depth_limit < 99) return;
    poll_input();
    while (!stop_search && !quit_flag && (pondering || infinite)) {
        input_wait(100);
        poll_input();
    }
}

// The move of the last completed iteration is played even when a move became best in the
// iteration cut short (games favoured that); its line is shown again if another came after.
void show_result_line(const Move* result, int score, int completed) {
    if (last_printed_move != result[0]) print_pv_info(completed, main_worker.opt.multi_pv > 1 ? 1 : 0, score, "", result);
}

// The best line of each of the best moves of a completed iteration, best first; of equal scores
// the one recorded first ranks higher. One pass over the records, without copying them.
void keep_strength_choices(int iteration) {
    int pick[STRENGTH_LINES], n = 0;
    for (int i = 0; i < multipv_count; i++) {
        const MultiPvLine& r = multipv_lines[i];
        if (r.depth != iteration) continue;
        int at = 0, same = 0;
        while (at < n && multipv_lines[pick[at]].score >= r.score) at++;
        while (same < n && multipv_lines[pick[same]].move != r.move) same++;
        if (same < at || at == STRENGTH_LINES) continue;  // its move has a better line, or four lines rank above
        if (same < n) n--;  // the move's weaker line leaves
        for (int j = same; j < n; j++) pick[j] = pick[j + 1];
        if (n == STRENGTH_LINES) n--;
        for (int j = n; j > at; j--) pick[j] = pick[j - 1];
        pick[at] = i;
        n++;
    }
    strength_choice_count = n;
    for (int i = 0; i < n; i++) strength_choices[i] = multipv_lines[pick[i]];
}

// A limited strength may play one of the other good lines instead of the best.
void choose_weaker_line(Move* result, int& score) {
    if (strength_choice_count < 2 || is_mate_score(strength_choices[0].score)) return;
    int scores[STRENGTH_LINES];
    for (int i = 0; i < strength_choice_count; i++) scores[i] = strength_choices[i].score;
    const int pick = choose_line(scores, strength_choice_count, strength_level(uci_elo), strength_random);
    if (!pick) return;
    const MultiPvLine& r = strength_choices[pick];
    int i = 0;
    for (; r.line[i] && i < PV_SIZE - 1; i++) result[i] = r.line[i];
    result[i] = 0;
    score = r.score;
}

void print_best_move(const Move* line) {
    const uint64_t node_count = total_nodes();
    char best[MOVE_TEXT_SIZE];
    move_to_text(line[0], best, search_root, chess960);
    if (line[0] && line[1]) {
        move_to_text(line[1], ponder_move_text, search_root, chess960);
        printf("info nodes %" PRIu64 "\n", node_count);
        printf("bestmove %s ponder %s\n", best, ponder_move_text);
        log_printf("info nodes %" PRIu64 "\n", node_count);
        log_printf("bestmove %s ponder %s\n", best, ponder_move_text);
    } else {
        ponder_move_text[0] = 0;
        log_printf("bestmove %s\n", best);
        printf("info nodes %" PRIu64 "\n", node_count);
        printf("bestmove %s\n", best);
    }
    fflush(stdout);
}

}  // namespace

void driver_new_game() {
    new_game = true;
    ponder_bonus = 0;
}

void report_root_best(int plies, int score, const Move* pv, int alpha, int beta) {
    if (bench_mode || plies <= 4) return;
    print_pv_info(plies, 0, score, score >= beta ? " lowerbound" : (score <= alpha ? " upperbound" : ""), pv);
}

int search_driver(Position& pos, double seconds, int depth_limit, const MoveList& searchmoves, Move* played) {
    if (depth_limit < 1) depth_limit = 1;
    if (depth_limit >= MAX_ITERATIONS) depth_limit = MAX_ITERATIONS - 1;
    prepare(pos, seconds);
    search_root = &pos;

    MoveList list = root_move_list(pos, searchmoves);
    filter_by_tables(pos, list);

    Move result[PV_SIZE] = {0}, line[PV_SIZE] = {0};
    int result_score = 0, completed = 0;
    for (int iteration = 1;; iteration++) {
        uint64_t ca = 0, cb = 0;
        if (iteration == 1) {
            const Move book = go_analysis || chess960 ? 0 : book_move(pos);  // a standard-chess book
            if (book) {
                char text[MOVE_TEXT_SIZE];
                move_to_text(book, text, &pos, chess960);
                if (!bench_mode) printf("info string book move %s\n", text);
                result[0] = book;
                result[1] = 0;
                result_score = 0;
                break;
            }
            if (!limit_strength) start_helpers(pos, list, main_worker.opt, reset_ordering);
        } else {
            poll_suppressed = 0;
        }
        if (!bench_mode) {
            printf("info depth %d\n", iteration);
            fflush(stdout);
        }
        const int score = aspiration_search(main_worker, pos, iteration, list, line, ca, cb);
        cb += 1;
        best_move_share = 0.75 * best_move_share + 0.25 * double(ca) / double(ca + cb);
        adjust_time(iteration, line[0], seconds);
        if (!stop_search) {
            memcpy(result, line, sizeof result);
            result_score = score;
            completed = iteration;
            main_worker.iter_best_move[iteration] = int(line[0]);
            main_worker.iter_score[iteration] = score;
            if (limit_strength) keep_strength_choices(iteration);
        }
        char text[PV_TEXT_SIZE];
        pv_to_text(result, text, &pos, chess960);
        if (stop_search) {
            log_printf("search aborted\n");
            break;
        }
        report_iteration(iteration, score, text, result);
        if (bench_mode) {
            iter_elapsed[iteration] = elapsed_since_start();
            iter_nodes[iteration] = worker_nodes(main_worker);
        }
        if (iteration_ends_search(iteration, score, depth_limit)) break;
    }

    log_printf("Total move time %8.1f\n", elapsed_since_start());
    wait_for_release(seconds, depth_limit);
    stop_helpers();
    if (played) *played = result[0];
    if (bench_mode) return result_score;
    if (limit_strength) choose_weaker_line(result, result_score);
    show_result_line(result, result_score, completed);
    const PawnTable& pawns = main_worker.eval.pawns;
    const double rate = pawns.probes ? 100.0 * double(pawns.hits) / double(pawns.probes) : 0.0;
    log_printf("\nEtable statistics: %12" PRIu64 " hits  %12" PRIu64 " probes   Rate = %8.3f percent\n",
               pawns.hits, pawns.probes, rate);
    print_best_move(result);
    return result_score;
}

void record_multipv(int depth, int score, const Move* line) {
    if (multipv_count >= MULTIPV_CAPACITY) return;
    MultiPvLine& r = multipv_lines[multipv_count++];
    r.depth = depth;
    r.score = score;
    r.move = line[0];
    int i = 0;
    for (; i < MULTIPV_LINE_WORDS - 1 && line[i]; i++) r.line[i] = line[i];
    r.line[i] = 0;
}

int report_multipv() {
    // Newest depth first, best score first; records of equal key keep their order.
    auto key = [](const MultiPvLine& r) { return int64_t(r.depth) * (1LL << 30) + r.score; };
    sort_descending(multipv_lines, multipv_count, key);
    // One line per root move: its deepest and best record.
    int kept = 0;
    for (int i = 0; i < multipv_count; i++) {
        bool seen = false;
        for (int j = 0; j < kept && !seen; j++) seen = multipv_lines[j].move == multipv_lines[i].move;
        if (!seen) multipv_lines[kept++] = multipv_lines[i];
    }
    multipv_count = kept;
    // A limited strength searches more lines than it shows.
    const int lines = main_worker.opt.multi_pv;
    if (multipv_count > lines) multipv_count = lines;
    int lowest = NO_LINE_SCORE;
    for (int i = 0; i < multipv_count; i++) {
        const MultiPvLine& r = multipv_lines[i];
        if (i < multi_pv) print_pv_info(r.depth, i + 1, r.score, "", r.line);
        if (r.depth == multipv_lines[0].depth && r.score < lowest) lowest = r.score;
    }
    fflush(stdout);
    return lowest;
}

#include "shell/report.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>

#include "search/control.h"
#include "search/search.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/notation.h"
#include "shell/session.h"
#include "shell/timeman.h"
#include "shell/uci.h"

namespace {

double rate_time(double elapsed) { return elapsed > 0.0001 ? elapsed : 0.0001; }

// "cp N" or "mate N".
void score_to_text(int score, char* out, int size) {
    if (is_mate_score(score))
        snprintf(out, size_t(size), "mate %d", mate_in_moves(score));
    else
        snprintf(out, size_t(size), "cp %d", score);
}

// The log shows "MT n" for a mate and pawns with two decimals otherwise.
void log_score_text(int score, char* out, int size) {
    if (is_mate_score(score))
        snprintf(out, size_t(size), "MT %d", mate_in_moves(score));
    else
        snprintf(out, size_t(size), "%0.2f", score / 100.0);
}

}  // namespace

void info_string(const char* fmt, ...) {
    char text[512];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    printf("info string %s\n", text);
    fflush(stdout);
    log_printf("info string %s\n", text);
}

double UciReporter::now() { return clock_seconds(s.whole_seconds); }

double UciReporter::elapsed() {
    const double e = now() - r.time.start;
    return e > 0 ? e : 0;
}

void UciReporter::poll() { poll_input(s); }

void UciReporter::finish(bool wait, bool infinite) {
    log_printf("Total move time %8.1f\n", elapsed());
    if (!wait) return;
    poll_input(s);
    while (!stopped() && !s.quit && (pondering() || infinite)) {
        input_wait(100);
        poll_input(s);
    }
}

void UciReporter::iteration_started(int depth) {
    if (r.settings.quiet) return;
    printf("info depth %d\n", depth);
    fflush(stdout);
}

void UciReporter::new_best(int depth, int score, const Move* pv, ScoreBound bound) {
    pv_line(depth, 0, score, bound == ScoreBound::LOWER ? " lowerbound" : (bound == ScoreBound::UPPER ? " upperbound" : ""),
            pv);
}

void UciReporter::current_move(Move m, int number) {
    char text[MOVE_TEXT_SIZE];
    move_to_text(m, text, &r.root, s.options.chess960);
    printf("info currmove %s currmovenumber %d\n", text, number);
    fflush(stdout);
}

void UciReporter::lines(const RootLine* ranked, int count) {
    for (int i = 0; i < count; i++) pv_line(ranked[i].depth, i + 1, ranked[i].score, "", ranked[i].line);
    fflush(stdout);
}

void UciReporter::iteration_done(int depth, int score, const Move* line) {
    const double t = elapsed();
    const uint64_t nodes = total_nodes();
    char log_score[32], text[PV_TEXT_SIZE];
    log_score_text(score, log_score, sizeof log_score);
    pv_to_text(line, text, &r.root, s.options.chess960);
    log_printf("%5d  %8.1f  %12" PRIu64 "  %8.1f  %7s   %s\n", depth, t, nodes, nodes / rate_time(t) / 1000, log_score, text);
    if (r.settings.quiet || r.settings.lines > 1) return;
    pv_line(depth, 0, score, "", line);
}

void UciReporter::aborted() { log_printf("search aborted\n"); }

void UciReporter::show_result(const Move* line, int score, int completed) {
    if (last_printed != line[0]) pv_line(completed, r.settings.lines > 1 ? 1 : 0, score, "", line);
}

void UciReporter::best_move(const Move* line) {
    const uint64_t nodes = total_nodes();
    char best[MOVE_TEXT_SIZE], ponder[MOVE_TEXT_SIZE];
    move_to_text(line[0], best, &r.root, s.options.chess960);
    if (line[0] && line[1]) {
        move_to_text(line[1], ponder, &r.root, s.options.chess960);
        printf("info nodes %" PRIu64 "\n", nodes);
        printf("bestmove %s ponder %s\n", best, ponder);
        log_printf("info nodes %" PRIu64 "\n", nodes);
        log_printf("bestmove %s ponder %s\n", best, ponder);
    } else {
        log_printf("bestmove %s\n", best);
        printf("info nodes %" PRIu64 "\n", nodes);
        printf("bestmove %s\n", best);
    }
    fflush(stdout);
}

void UciReporter::pv_line(int depth, int multipv, int score, const char* bound, const Move* pv) {
    const double t = elapsed();
    const uint64_t nodes = total_nodes();
    char score_text[32], text[PV_TEXT_SIZE], head[96];
    if (tables && !is_mate_score(score)) score = tb_root_score(*tables);
    score_to_text(score, score_text, sizeof score_text);
    pv_to_text(pv, text, &r.root, s.options.chess960);
    if (multipv)
        snprintf(head, sizeof head, "multipv %d score %s%s depth %d", multipv, score_text, bound, depth);
    else
        snprintf(head, sizeof head, "depth %d", depth);
    printf("info %s time %d nodes %" PRIu64, head, int(t * 1000 + 0.5), nodes);
    if (!multipv) printf(" score %s%s", score_text, bound);
    const int sel_depth = main_worker().sel_depth;
    printf(" nps %" PRIu64 " seldepth %d hashfull %d tbhits %" PRIu64 " pv %s\n", uint64_t(nodes / rate_time(t)),
           sel_depth > depth ? sel_depth : depth, tt_hashfull(), total_tbhits(), text);
    fflush(stdout);
    if (multipv <= 1) last_printed = pv[0];
}

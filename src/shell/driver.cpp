#include "shell/driver.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "board/legal.h"
#include "book/book.h"
#include "eval/pawns.h"
#include "search/control.h"
#include "search/strength.h"
#include "search/tablebase.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/log.h"
#include "shell/notation.h"
#include "shell/report.h"
#include "shell/timeman.h"
#include "shell/uci.h"

namespace {

#ifdef QUORIL_FUZZ
// Fuzzing wants many short executions, not deep searches.
constexpr uint64_t FUZZ_NODE_LIMIT = 3000;
#endif

// Mate or stalemate at the root: nothing to search, answered at once.
bool answered_without_moves(const Session& s, const Position& pos) {
    if (has_legal_move(pos)) return false;
    const bool mated = pos.in_check != 0;
    const char* wdl = !s.options.show_wdl ? "" : (mated ? " wdl 0 0 1000" : " wdl 0 1000 0");
    printf("info depth 0 score %s%s\nbestmove 0000\n", mated ? "mate 0" : "cp 0", wdl);
    fflush(stdout);
    return true;
}

// The legal moves a searchmoves list names; the other words name nothing. None named: every move.
void narrow_to_searchmoves(const Position& pos, const char* words, bool chess960, MoveList& moves) {
    MoveList named;
    char copy[SEARCHMOVES_SIZE];
    snprintf(copy, sizeof copy, "%s", words);
    char* word[SEARCHMOVES_SIZE / 2];  // words of one letter or more, each followed by a blank
    const int n = split_words(copy, word, SEARCHMOVES_SIZE / 2);
    for (int i = 0; i < n; i++)
        if (const Move m = move_from_text(pos, word[i], chess960); m && !named.contains(m)) named.add(m);
    if (named.count) moves = named;
}

void set_node_limits(const Session& s, const GoRequest& go, SearchLimits& limits) {
    if (go.nodes_given) {
        if (s.options.special_node_level)
            limits.soft_nodes = go.nodes / 2;
        else
            limits.nodes = go.nodes;
    }
    // A limited strength searches a fixed budget of nodes per move, whatever the clock allows.
    if (s.options.limit_strength) {
        const uint64_t budget = strength_level(s.options.elo).nodes;
        if (limits.nodes > budget) limits.nodes = budget;
    }
#ifdef QUORIL_FUZZ
    if (limits.nodes > FUZZ_NODE_LIMIT) limits.nodes = FUZZ_NODE_LIMIT;
#endif
}

// Every limit given applies: the first one reached ends the search.
TimeBudget time_of(Session& s, const Position& pos, const GoRequest& go) {
    const double movetime = go.movetime > 0 ? go.movetime : 0;
    const bool other_limit = go.nodes_given || go.depth > 0 || go.mate > 0;
    if (go.infinite) return unlimited_time_budget();
    if (movetime > 0) {
        log_printf("Time Left: %8.1f\n", movetime);
        return fixed_time_budget(movetime);
    }
    if (!go.clock_given && other_limit) return unlimited_time_budget();
    const GoClock clock = {{go.time[WHITE], go.time[BLACK]}, {go.inc[WHITE], go.inc[BLACK]}, go.movestogo};
    return time_budget(pos, clock, s.options.move_overhead_ms, s.ponder_bonus > 0);
}

// Narrows the root moves to those that keep the tables' outcome and says what that is; false when
// the root is not in the tables, or the moves searched exclude all of those.
bool filter_by_tables(const Session& s, SearchRequest& r, TbRoot& tables) {
    if (!r.settings.tb_pieces || s.bench || !tb_probe_root_moves(r.root, r.settings.tb_pieces, r.settings.tb_rule50, tables))
        return false;
    MoveList kept;
    char text[SEARCHMOVES_SIZE] = "";
    int used = 0;
    for (int i = 0; i < tables.kept; i++) {
        const Move m = tables.moves[i];
        if (!r.moves.contains(m)) continue;
        kept.add(m);
        char t[MOVE_TEXT_SIZE];
        move_to_text(m, t, &r.root, s.options.chess960);
        used += snprintf(text + used, sizeof text - size_t(used), "%s ", t);
    }
    if (!kept.count) return false;
    r.moves = kept;
    static const char* const names[3] = {"loss", "draw", "win"};
    printf("info string tablebase %s dtz %d keeps %s\n", names[tables.outcome + 1], tables.dtz, text);
    fflush(stdout);
    return true;
}

// The book's move; a book file that cannot be read is shut, and the GUI is told.
Move book_move(Session& s, const Position& pos) {
    const bool was_open = book_is_open(s.book);
    const Move m = book_probe(s.book, pos, s.options.best_book_line);
    if (was_open && !book_is_open(s.book)) {
        printf("info string book file %s cannot be read: book disabled\n", s.options.book_file);
        fflush(stdout);
    }
    return m;
}

// A limited strength may play one of the other good lines instead of the best.
void choose_weaker_line(Session& s, SearchResult& result) {
    if (result.choice_count < 2 || is_mate_score(result.choices[0].score)) return;
    int scores[STRENGTH_LINES];
    for (int i = 0; i < result.choice_count; i++) scores[i] = result.choices[i].score;
    const int pick = choose_line(scores, result.choice_count, strength_level(s.options.elo), s.strength_random);
    if (!pick) return;
    const RootLine& r = result.choices[pick];
    int i = 0;
    for (; r.line[i] && i < PV_SIZE - 1; i++) result.line[i] = r.line[i];
    result.line[i] = 0;
    result.score = r.score;
}

void log_search_start(const Position& pos, bool chess960) {
    log_board(pos, chess960);
    log_printf("DEPTH      TIME         NODES      KNPS    SCORE   PRINCIPAL VARIATION\n");
    log_printf("-----  --------  ------------  --------  -------   -------------------------------------------------\n");
}

void log_pawn_table(const PawnTable& pawns) {
    const double rate = pawns.probes ? 100.0 * double(pawns.hits) / double(pawns.probes) : 0.0;
    log_printf("\nEtable statistics: %12" PRIu64 " hits  %12" PRIu64 " probes   Rate = %8.3f percent\n", pawns.hits,
               pawns.probes, rate);
}

}  // namespace

void new_game(Session& s) {
    s.new_game = true;
    s.ponder_bonus = 0;
}

SearchRequest base_request(Session& s, const Position& pos, int depth) {
    const Options& o = s.options;
    SearchRequest r;
    r.root = pos;
    r.moves.count = generate_legal_moves(pos, r.moves.moves);
    r.limits = {depth < 1 ? 1 : (depth >= MAX_ITERATIONS ? MAX_ITERATIONS - 1 : depth), NO_NODE_LIMIT, NO_NODE_LIMIT, 0};
    r.time = unlimited_time_budget();
    const bool weaker = o.limit_strength && !s.bench;
    const bool deterministic = o.deterministic || s.bench;  // the benchmark repeats whatever the option says
    SearchSettings& st = r.settings;
    st.lines = weaker && o.multi_pv < STRENGTH_LINES ? STRENGTH_LINES : o.multi_pv;
    st.shown_lines = o.multi_pv;
    st.use_lmr = o.use_lmr;
    st.null_move_pruning = o.null_move_pruning;
    st.draw_score = pos.phase * o.drawscore / 48;
    st.quiet = s.bench;
    st.fresh = s.new_game || deterministic;
    st.helpers = !o.limit_strength;
    st.keep_choices = weaker;
    st.hmb = o.weights.hmb;
    st.tb_pieces = tb_pieces(o);
    st.tb_probe_depth = o.tb_probe_depth;
    st.tb_rule50 = o.tb_rule50;
    return r;
}

void play_request(Session& s, SearchRequest& r, bool book_allowed, SearchResult& result) {
    TbRoot tables;
    UciReporter reporter(s, r);
    r.time.start = clock_seconds(s.whole_seconds);
    search_prepare(r, reporter);
    if (tt.buckets) s.new_game = false;
    log_search_start(r.root, s.options.chess960);
    if (filter_by_tables(s, r, tables)) reporter.use_tables(&tables);
    const Move book = book_allowed && !s.options.chess960 ? book_move(s, r.root) : 0;  // a standard-chess book
    if (book) {
        char text[MOVE_TEXT_SIZE];
        move_to_text(book, text, &r.root, s.options.chess960);
        if (!s.bench) printf("info string book move %s\n", text);
        memset(&result, 0, sizeof result);
        result.line[0] = book;
        search_finish(r, reporter);
    } else {
        search_run(r, reporter, result);
    }
    if (s.bench) return;
    if (r.settings.keep_choices) choose_weaker_line(s, result);
    reporter.show_result(result.line, result.score, result.completed);
    log_pawn_table(main_worker().eval.pawns);
    reporter.best_move(result.line);
}

void go_command(Session& s, const GoRequest& go) {
    const Position& pos = s.history[s.index];
    if (answered_without_moves(s, pos)) return;
    if (s.ponder_bonus > 0) s.ponder_bonus--;
    search_control.pondering = go.ponder;
    if (go.ponder) s.ponder_bonus = 2;
    SearchRequest r = base_request(s, pos, go.infinite || go.depth <= 0 || go.depth >= NO_DEPTH_LIMIT ? NO_DEPTH_LIMIT : go.depth);
    set_node_limits(s, go, r.limits);
    r.limits.mate = go.mate > 0 ? go.mate : 0;
    r.time = time_of(s, pos, go);
    narrow_to_searchmoves(pos, go.searchmoves, s.options.chess960, r.moves);
    // Deterministic makes a limited strength's choice a function of the position.
    if (r.settings.keep_choices && s.options.deterministic) s.strength_random = pos.key;
    const bool analysis = s.options.analyse_mode || go.infinite || go.searchmoves[0];
    SearchResult result;
    play_request(s, r, !analysis, result);
}

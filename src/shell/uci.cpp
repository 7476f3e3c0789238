#include "shell/uci.h"

#include <cctype>
#include <chrono>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/legal.h"
#include "board/makemove.h"
#include "board/perft.h"
#include "eval/endgame.h"
#include "eval/evaluate.h"
#include "eval/tables.h"
#include "search/control.h"
#include "search/tables.h"
#include "search/threads.h"
#include "shell/driver.h"
#include "shell/log.h"
#include "shell/notation.h"
#include "shell/report.h"

namespace {

#ifdef QUORIL_FUZZ
constexpr int MAX_PERFT_DEPTH = 3;
#else
constexpr int MAX_PERFT_DEPTH = 30;
#endif

// ---- position ----

// The engine forgets its position rather than answer for one the GUI does not have.
void refuse_position(Session& s, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void refuse_position(Session& s, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(s.refusal, sizeof s.refusal, fmt, ap);
    va_end(ap);
    info_string("position refused (%s): no position until a valid one arrives", s.refusal);
}

// The FEN's fields up to "moves", joined with single blanks: four into fen, the counters apart.
bool join_fen(Session& s, char* const* words, int count, char* fen, const char* counters[2]) {
    int n = 0, field = 0;
    fen[0] = 0;
    counters[0] = counters[1] = nullptr;
    for (int i = 2; i < count && strcmp(words[i], "moves"); i++, field++) {
        if (field >= 4) {
            if (field < 6) counters[field - 4] = words[i];
            continue;
        }
        const int len = int(strlen(words[i]));
        if (n + len + 1 >= FEN_BUFFER) {
            fprintf(stderr, "FEN longer than %d characters refused\n", FEN_BUFFER - 1);
            refuse_position(s, "FEN longer than %d characters", FEN_BUFFER - 1);
            return false;
        }
        if (n) fen[n++] = ' ';
        memcpy(fen + n, words[i], size_t(len) + 1);
        n += len;
    }
    if (!n) refuse_position(s, "fen without a FEN");
    return n > 0;
}

// Plays the moves after "moves"; false, with the position refused, at the first one that is not legal.
bool play_game_moves(Session& s, char* const* words, int count) {
    int i = 2;
    while (i < count && strcmp(words[i], "moves")) i++;
    for (i++; i < count; i++) {
        const char* text = words[i];
        if (s.index + 1 >= GAME_HISTORY_SIZE) {
            refuse_position(s, "more than %d moves", GAME_HISTORY_SIZE - 1);
            return false;
        }
        if (!apply_move_text(s.history[s.index], s.history[s.index + 1], text, s.options.chess960)) {
            refuse_position(s, "illegal move %.16s at move %d of the list", text, s.index + 1);
            return false;
        }
        s.index++;
    }
    return true;
}

// ---- go ----

double millis_to_seconds(const char* text) { return double(strtoll(text, nullptr, 10)) / 1000.0; }

// A keyword followed by its argument; false when w is not such a keyword.
bool read_go_value(const char* w, const char* arg, GoRequest& go) {
    if (!strcmp(w, "wtime")) {
        go.time[WHITE] = millis_to_seconds(arg);
        go.clock_given = true;
    } else if (!strcmp(w, "btime")) {
        go.time[BLACK] = millis_to_seconds(arg);
        go.clock_given = true;
    } else if (!strcmp(w, "winc")) {
        go.inc[WHITE] = millis_to_seconds(arg);
    } else if (!strcmp(w, "binc")) {
        go.inc[BLACK] = millis_to_seconds(arg);
    } else if (!strcmp(w, "movestogo")) {
        go.movestogo = text_to_int(arg);
    } else if (!strcmp(w, "movetime")) {
        go.movetime = text_to_int(arg) / 1000.0;
    } else if (!strcmp(w, "depth")) {
        go.depth = text_to_int(arg);
    } else if (!strcmp(w, "mate")) {
        go.mate = text_to_int(arg);
    } else if (!strcmp(w, "nodes")) {
        const long long v = strtoll(arg, nullptr, 10);
        go.nodes = v < 0 ? 0 : uint64_t(v);
        go.nodes_given = true;
    } else {
        return false;
    }
    return true;
}

void add_search_move(GoRequest& go, const char* word, size_t& used) {
    const size_t len = strlen(word);
    if (used + len + 1 >= sizeof go.searchmoves) {
        fprintf(stderr, "searchmoves list longer than %d characters: %s left out\n", SEARCHMOVES_SIZE - 1, word);
        return;
    }
    memcpy(go.searchmoves + used, word, len);
    used += len;
    go.searchmoves[used++] = ' ';
    go.searchmoves[used] = 0;
}

// "<move>: <count>" per legal root move in generation order, a blank line and "Nodes searched: N".
void perft_divide(const Position& pos, int depth, bool chess960) {
    Move moves[MAX_MOVES];
    const int n = generate_legal_moves(pos, moves);
    uint64_t total = 0;
    Position child;
    for (int i = 0; i < n; i++) {
        make_move(pos, child, moves[i]);
        const uint64_t count = depth > 1 ? perft(child, depth - 1) : 1;
        char t[MOVE_TEXT_SIZE];
        move_to_text(moves[i], t, &pos, chess960);
        printf("%s: %" PRIu64 "\n", t, count);
        total += count;
    }
    printf("\nNodes searched: %" PRIu64 "\n", total);
    fflush(stdout);
}

void run_perft(Session& s, const char* arg) {
    int depth = text_to_int(arg);
    if (depth < 1 || depth > MAX_PERFT_DEPTH) {
        const int used = depth < 1 ? 1 : MAX_PERFT_DEPTH;
        fprintf(stderr, "perft depth %d out of range: using %d\n", depth, used);
        depth = used;
    }
    perft_divide(s.history[s.index], depth, s.options.chess960);
}

// Without a position there is nothing to search, count or evaluate: the GUI is told why, and a
// search still answers with a move word so that no GUI waits for one.
bool lacks_position(const Session& s, bool answer_move) {
    if (have_position(s)) return false;
    info_string("no position (the last position command was refused: %s)", s.refusal);
    if (answer_move) printf("bestmove 0000\n"), fflush(stdout);
    return true;
}

void run_go(Session& s, char* const* words, int count) {
    const bool perft_asked = count > 1 && !strcmp(words[1], "perft");
    if (lacks_position(s, !perft_asked)) return;
    if (perft_asked) return run_perft(s, count > 2 ? words[2] : "");
    GoRequest go;
    parse_go(words, count, go);
    go_command(s, go);
}

// ---- setoption ----

// Appends " word" (no blank before the first word), cutting at the buffer's end.
void append_word(char* buf, const char* word, const char* what) {
    const size_t used = strlen(buf);
    const int wanted = snprintf(buf + used, OPTION_TEXT_SIZE - used, "%s%s", used ? " " : "", word);
    if (used + size_t(wanted) >= size_t(OPTION_TEXT_SIZE) && used + 1 < size_t(OPTION_TEXT_SIZE))
        fprintf(stderr, "setoption %s longer than %d characters cut\n", what, OPTION_TEXT_SIZE - 1);
}

void lower_case(char* s) {
    for (; *s; s++) *s = char(tolower(static_cast<unsigned char>(*s)));
}

// "setoption name N... value V...": every word after "value" belongs to the value.
void run_setoption(Session& s, char* const* words, int count) {
    char name[OPTION_TEXT_SIZE] = "", value[OPTION_TEXT_SIZE] = "";
    char* target = nullptr;
    for (int i = 1; i < count; i++) {
        if (target != value && !strcmp(words[i], "name"))
            target = name;
        else if (target != value && !strcmp(words[i], "value"))
            target = value;
        else if (target)
            append_word(target, words[i], target == name ? "name" : "value");
    }
    char value_as_given[OPTION_TEXT_SIZE];
    memcpy(value_as_given, value, sizeof value);
    lower_case(name);
    lower_case(value);
    apply_setoption(s, name, value, value_as_given);
}

// ---- the other commands ----

void show_eval(Session& s) {
    if (lacks_position(s, false)) return;
    Position p = s.history[s.index];
    EvalTables& t = main_worker().eval;
    eval_tables_use_bonus(t, s.options.weights.hmb);
    printf("info string eval %d\n", evaluate(p, t));
    fflush(stdout);
}

// "quit" (and the end of input) also ends a running search, ponder or not.
void quit(Session& s) {
    s.quit = true;
    request_stop();
    search_control.pondering = 0;
}

// ---- dispatch ----

struct CommandRow {
    const char* word;
    void (*run)(Session& s, char* const* words, int count);
    bool waits_for_search;  // deferred while a search runs
};

const CommandRow COMMANDS[] = {
    {"uci", [](Session& s, char* const*, int) { print_uci_identity(s.options); }, false},
    {"isready", [](Session&, char* const*, int) { printf("readyok\n"), fflush(stdout); }, false},
    {"ucinewgame", [](Session& s, char* const*, int) { new_game(s); }, true},
    {"position", set_position, true},
    {"go", run_go, true},
    {"stop", [](Session&, char* const*, int) { request_stop(); }, false},
    {"ponderhit", [](Session&, char* const*, int) { search_control.pondering = 0; }, false},
    {"quit", [](Session& s, char* const*, int) { quit(s); }, false},
    {"setoption", run_setoption, true},
    {"eval", [](Session& s, char* const*, int) { show_eval(s); }, true},
};

const CommandRow* find_command(const char* word) {
    for (const CommandRow& c : COMMANDS)
        if (!strcmp(word, c.word)) return &c;
    return nullptr;
}

void defer(DeferredLines& d, const char* line) {
    if (d.count == DEFERRED_SLOTS) {
        fprintf(stderr, "more than %d commands waiting for the search to end: \"%s\" ignored\n", DEFERRED_SLOTS, line);
        return;
    }
    strcpy(d.lines[(d.head + d.count) % DEFERRED_SLOTS], line);
    d.count++;
}

// fresh: the line comes from the input queue rather than from the deferred list.
void handle_line(Session& s, char* line, bool fresh) {
    line[strcspn(line, "\f\n\r")] = 0;
    if (!line[0]) return;
    log_printf(fresh ? "uci -> %s\n" : "deferred -> %s\n", line);
    char copy[INPUT_SLOT_SIZE];
    snprintf(copy, sizeof copy, "%s", line);
    char* words[MAX_WORDS];
    const int count = split_words(copy, words, MAX_WORDS);
    if (!count) return;
    log_printf("cmd = %s\n", words[0]);
    const CommandRow* c = find_command(words[0]);
    if (!c)
        info_string("unknown command %.64s ignored", words[0]);
    else if (s.poll_depth > 1 && c->waits_for_search)
        defer(s.deferred, line);
    else
        c->run(s, words, count);
}

void run_deferred(Session& s) {
    DeferredLines& d = s.deferred;
    char line[INPUT_SLOT_SIZE];
    while (d.count && !s.quit) {
        strcpy(line, d.lines[d.head]);
        d.head = (d.head + 1) % DEFERRED_SLOTS;
        d.count--;
        handle_line(s, line, false);
    }
    d.count = 0;
}

}  // namespace

int split_words(char* line, char** words, int max_words) {
    int n = 0;
    for (char* p = line;;) {
        while (*p && is_blank(*p)) p++;
        if (!*p) break;
        if (n == max_words) {
            fprintf(stderr, "more than %d words in a line: the rest is ignored\n", max_words);
            break;
        }
        words[n++] = p;
        while (*p && !is_blank(*p)) p++;
        if (*p) *p++ = 0;
    }
    return n;
}

void parse_go(char* const* words, int count, GoRequest& go) {
    memset(&go, 0, sizeof go);
    bool listing = false;  // inside a searchmoves list
    size_t used = 0;
    for (int i = 1; i < count; i++) {
        const char* w = words[i];
        if (!strcmp(w, "infinite")) {
            go.infinite = true;
            listing = false;
        } else if (!strcmp(w, "ponder")) {
            go.ponder = true;
            listing = false;
        } else if (!strcmp(w, "searchmoves")) {
            listing = true;
        } else if (read_go_value(w, i + 1 < count ? words[i + 1] : "", go)) {
            i++;
            listing = false;
        } else if (listing) {
            add_search_move(go, w, used);
        }
    }
}

void set_position(Session& s, char* const* words, int count) {
    char fen[FEN_BUFFER];
    const char* counters[2] = {nullptr, nullptr};
    if (count >= 2 && !strcmp(words[1], "startpos")) {
        snprintf(fen, sizeof fen, "%s", START_FEN);
    } else if (count >= 2 && !strcmp(words[1], "fen")) {
        if (!join_fen(s, words, count, fen, counters)) return;
    } else {
        refuse_position(s, "needs startpos or fen, got \"%.32s\"", count >= 2 ? words[1] : "");
        return;
    }
    Position start;
    FenNotes notes;
    const FenCastling rule = s.options.chess960 ? FenCastling::CHESS960 : FenCastling::STANDARD;
    if (!position_from_fen(start, fen, &notes, rule, pst_table)) return refuse_position(s, "%s", notes.refused);
    read_fen_counters(start, counters[0], counters[1], &notes);
    if (notes.repaired[0]) info_string("FEN repaired: %s", notes.repaired);
    if (const char* why = position_problem(start)) return refuse_position(s, "%s", why);
    s.history[0] = start;
    s.index = 0;
    if (play_game_moves(s, words, count)) s.refusal[0] = 0;
}

bool have_position(const Session& s) { return !s.refusal[0]; }

void poll_input(Session& s) {
    char line[INPUT_SLOT_SIZE];
    if (!input_take(line)) {
        // End of input is a quit: a running search stops and still prints its move. The
        // benchmark runs on with no input at all (only a typed quit ends it).
        if (input_ended() && !s.bench) quit(s);
        return;
    }
    s.poll_depth++;
    handle_line(s, line, true);
    if (s.poll_depth == 1) run_deferred(s);
    s.poll_depth--;
}

void build_engine_tables() {
    static bool built = false;
    if (built) return;
    built = true;
    init_position_tables();
    build_ending_hash();
    buildEvalTables();
    build_search_tables();
}

Session* new_session() {
    Session* s = new Session();
    position_from_fen(s->history[0], START_FEN, nullptr, FenCastling::CHESS960, pst_table);
    s->strength_random = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    book_set_log(s->book, log_printf);
    return s;
}

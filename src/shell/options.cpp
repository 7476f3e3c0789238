#include "shell/options.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "book/book.h"
#include "eval/endgame.h"
#include "eval/params.h"
#include "eval/tables.h"
#include "search/state.h"
#include "search/strength.h"
#include "search/tablebase.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/log.h"

#ifdef QUORIL_FUZZ
static constexpr int MAX_HASH_MB = 8;  // fuzzing runs under a memory limit
#else
static constexpr int MAX_HASH_MB = 4096;
#endif
static constexpr int MAX_MULTI_PV = 99;
static constexpr int MAX_TB_PROBE_DEPTH = 100;
static constexpr int MAX_TB_PIECES = 7;

int hash_megabytes = 64;
int opt_ponder = 1;
int own_book = 1;
int multi_pv = 1;
char book_file_name[BOOK_NAME_SIZE] = "quoril.bin";
char book_file_as_given[BOOK_NAME_SIZE] = "quoril.bin";
int uci_analyse_mode = 0;
int use_lmr = 1;
int null_move_pruning = 1;
int deterministic = 0;
int special_node_level = 0;
int best_book_line = 1;
int move_overhead_ms = 10;
int drawscore_option = -7;
int limit_strength = 0;
int uci_elo = 1800;

int bench_mode = 0;
int bench_passes = 5;
int cpu_setting = 0;
char log_file_name[LOG_NAME_SIZE] = "";

const char* const VERSION_TAG = "1.0";
const char* const AUTHORS = "the Quoril developers";
const int WORD_BITS = int(sizeof(void*) * 8);

const CheckOption check_options[] = {
    {"UCI_AnalyseMode", &uci_analyse_mode},
    {"Use Lmr", &use_lmr},
    {"Null Move pruning", &null_move_pruning},
    {"Deterministic", &deterministic},
    {"Special Node Level", &special_node_level},
    {"Best Book Line", &best_book_line},
    {"UCI_Chess960", &chess960},
    {"", nullptr},
};

const SpinOption spin_options[] = {
    {"move overhead milliseconds", &move_overhead_ms, 0, 50000},
    {"Drawscore", &drawscore_option, -200, 200},
    {"", nullptr, 0, 0},
};

void set_start_values() {
    hash_megabytes = 64;
    opt_ponder = 1;
    uci_analyse_mode = 0;
    use_lmr = 1;
    null_move_pruning = 1;
    best_book_line = 1;
    hard_node_limit = NO_NODE_LIMIT;
    soft_node_budget = NO_NODE_LIMIT;
}

void print_uci_identity() {
    char name[ENGINE_NAME_SIZE] = "QuorilXX";
    snprintf(name, sizeof name, "Quoril %s %d-bit ", VERSION_TAG, WORD_BITS);
    printf("id name %s\n", name);
    printf("id author %s\n", AUTHORS);
    printf("option name Ponder type check default true\n");
    printf("option name Hash type spin default %d min 0 max %d\n", hash_megabytes, MAX_HASH_MB);
    printf("option name Threads type spin default 1 min 1 max %d\n", MAX_THREADS);
    printf("option name OwnBook type check default %s\n", own_book ? "true" : "false");
    printf("option name MultiPV type spin default %d min 1 max %d\n", multi_pv, MAX_MULTI_PV);
    printf("option name Book File type string default %s\n", book_file_name);
    printf("option name Clear Hash type button\n");
    printf("option name UCI_LimitStrength type check default %s\n", limit_strength ? "true" : "false");
    printf("option name UCI_Elo type spin default %d min %d max %d\n", uci_elo, STRENGTH_ELO_MIN, STRENGTH_ELO_MAX);
    printf("option name SyzygyPath type string default <empty>\n");
    printf("option name SyzygyProbeDepth type spin default 1 min 1 max %d\n", MAX_TB_PROBE_DEPTH);
    printf("option name Syzygy50MoveRule type check default true\n");
    printf("option name SyzygyProbeLimit type spin default %d min 0 max %d\n", MAX_TB_PIECES, MAX_TB_PIECES);
    print_eval_param_options(stdout);
    for (const CheckOption* c = check_options; c->name[0]; c++)
        printf("option name %s type check default %s\n", c->name, *c->value ? "true" : "false");
    for (const SpinOption* s = spin_options; s->name[0]; s++)
        printf("option name %s type spin default %d min %d max %d\n", s->name, *s->value, s->min, s->max);
    printf("uciok\n");
    fflush(stdout);
}

int text_to_int(const char* text) {
    const long v = strtol(text, nullptr, 10);
    return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : int(v));
}

void reopen_book() {
    book_close();
    // The listed name is lower-cased; on a case-sensitive file system the name as sent is tried too.
    if (own_book) book_open(book_file_name, book_file_as_given);
}

namespace {

// The value as an int inside [lo, hi]; says so when it had to be moved there.
int clamped_value(const char* name, const char* value, int lo, int hi) {
    const int v = text_to_int(value);
    const int used = v < lo ? lo : (v > hi ? hi : v);
    if (used != v) {
        printf("info string %s %s out of range %d..%d: using %d\n", name, value, lo, hi, used);
        fflush(stdout);
    }
    return used;
}

// Stored scores and pawn entries were computed with the old parameters.
void rebuild_eval() {
    build_ending_hash();
    buildEvalTables();
    tt_clear();
    clear_pawn_and_material_tables();
}

bool set_eval_param(const char* name, const char* value) {
    bool opening = false;
    EvalParam* p = find_eval_param(name, &opening);
    if (!p) return false;
    set_eval_param_half(*p, opening, clamped_value(name, value, int(p->min), int(p->max)));
    rebuild_eval();
    return true;
}

bool set_spin(const char* name, const char* value) {
    for (const SpinOption* s = spin_options; s->name[0]; s++) {
        if (strcasecmp(name, s->name)) continue;
        *s->value = clamped_value(s->name, value, s->min, s->max);
        rebuild_eval();
        rebuild_search_tables();
        return true;
    }
    return false;
}

bool set_check(const char* name, const char* value) {
    for (const CheckOption* c = check_options; c->name[0]; c++) {
        if (strcasecmp(name, c->name)) continue;
        if (strcasecmp(value, "true") == 0)
            *c->value = 1;
        else if (strcasecmp(value, "false") == 0)
            *c->value = 0;
        else
            printf("info string %s not recognized as checkbox argument\n", value);
        rebuild_eval();
        return true;
    }
    return false;
}

void set_hash(const char* value) {
    const int megabytes = clamped_value("Hash", value, 0, MAX_HASH_MB);
    if (!tt_allocate(megabytes)) {
        printf("info string no memory for a %d MB hash table: keeping %d MB\n", megabytes, hash_megabytes);
        return;
    }
    hash_megabytes = megabytes;
    if (hash_megabytes <= 0) {
        printf("info string Hash tables turned OFF\n");
        log_printf("Hash tables turned off\n");
        return;
    }
    printf("info string Hash table size is now %d meg\n", hash_megabytes);
}

void set_book_file(const char* value, const char* as_given) {
    if (strlen(value) >= sizeof book_file_name)
        fprintf(stderr, "book file name cut to its first %d characters\n", int(sizeof book_file_name) - 1);
    snprintf(book_file_name, sizeof book_file_name, "%s", value);
    snprintf(book_file_as_given, sizeof book_file_as_given, "%s", as_given ? as_given : value);
    printf("info string book file is %s\n", book_file_name);
    fflush(stdout);
    reopen_book();
}

void set_syzygy_path(const char* as_given) {
    const int largest = tb_load(as_given);
    if (largest)
        printf("info string Syzygy tables found: largest %d pieces\n", largest);
    else
        printf("info string no Syzygy tables found\n");
}

// The tablebase options; false when the name is none of them.
bool set_syzygy(const char* name, const char* value, const char* as_given) {
    if (!strcmp(name, "syzygypath")) {
        set_syzygy_path(as_given ? as_given : value);
    } else if (!strcmp(name, "syzygyprobedepth")) {
        tb_options.probe_depth = clamped_value("SyzygyProbeDepth", value, 1, MAX_TB_PROBE_DEPTH);
    } else if (!strcmp(name, "syzygy50moverule")) {
        if (strcmp(value, "true") && strcmp(value, "false"))
            printf("info string %s not recognized as checkbox argument\n", value);
        else
            tb_options.rule50 = !strcmp(value, "true");
    } else if (!strcmp(name, "syzygyprobelimit")) {
        tb_options.probe_limit = clamped_value("SyzygyProbeLimit", value, 0, MAX_TB_PIECES);
        tb_apply_limit();
    } else {
        return false;
    }
    return true;
}

// The options with fixed names; false when the name is none of them.
bool set_fixed(const char* name, const char* value, const char* as_given) {
    if (!strcmp(name, "hash")) {
        set_hash(value);
    } else if (!strcmp(name, "threads")) {
        set_thread_count(clamped_value("Threads", value, 1, MAX_THREADS));
    } else if (!strcmp(name, "multipv")) {
        multi_pv = clamped_value("MultiPV", value, 1, MAX_MULTI_PV);
    } else if (!strcmp(name, "ownbook")) {
        own_book = !strcmp(value, "true");
        reopen_book();
    } else if (!strcmp(name, "ponder")) {
        opt_ponder = !strcmp(value, "true");
        log_printf("Ponder set to %d\n", opt_ponder);
    } else if (!strcmp(name, "book file")) {
        set_book_file(value, as_given);
    } else if (!strcmp(name, "uci_limitstrength")) {
        if (strcmp(value, "true") && strcmp(value, "false"))
            printf("info string %s not recognized as checkbox argument\n", value);
        else
            limit_strength = !strcmp(value, "true");
    } else if (!strcmp(name, "uci_elo")) {
        uci_elo = clamped_value("UCI_Elo", value, STRENGTH_ELO_MIN, STRENGTH_ELO_MAX);
    } else if (set_syzygy(name, value, as_given)) {
    } else if (!strcmp(name, "clear hash")) {
        tt_clear();
        printf("info string Clearing Hash\n");
    } else {
        return false;
    }
    return true;
}

}  // namespace

void apply_setoption(const char* name, const char* value, const char* value_as_given) {
    if (!set_eval_param(name, value) && !set_spin(name, value) && !set_check(name, value) &&
        !set_fixed(name, value, value_as_given)) {
        printf("info string %s not recognized\n", name);
        fflush(stdout);
        log_printf("option %s (value %s) not understood.\n", name, value);
    }
    fflush(stdout);
}

#include "shell/options.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "book/book.h"
#include "eval/params.h"
#include "platform/host.h"
#include "search/strength.h"
#include "search/tablebase.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/log.h"
#include "shell/session.h"

#ifdef QUORIL_FUZZ
static constexpr int MAX_HASH_MB = 8;  // fuzzing runs under a memory limit
#else
// A 32-bit address space (WebAssembly) holds at most a gigabyte of table beside the engine.
static constexpr int MAX_HASH_MB = sizeof(void*) < 8 ? 1024 : 4096;
#endif
static constexpr int MAX_MULTI_PV = 99;
static constexpr int MAX_TB_PROBE_DEPTH = 100;
static constexpr int MAX_TB_PIECES = 7;

const char* const VERSION_TAG = "1.0";
const char* const AUTHORS = "the Quoril developers";
const int WORD_BITS = int(sizeof(void*) * 8);

namespace {

struct CheckOption {
    const char* name;
    int Options::*value;
};
// Spin options other than the fixed ones and the evaluation parameters.
struct SpinOption {
    const char* name;
    int Options::*value;
    int min;
    int max;
};

constexpr CheckOption CHECK_OPTIONS[] = {
    {"UCI_AnalyseMode", &Options::analyse_mode},
    {"Use Lmr", &Options::use_lmr},
    {"Null Move pruning", &Options::null_move_pruning},
    {"Deterministic", &Options::deterministic},
    {"Special Node Level", &Options::special_node_level},
    {"Best Book Line", &Options::best_book_line},
    {"UCI_Chess960", &Options::chess960},
    {"UCI_ShowWDL", &Options::show_wdl},
};

constexpr SpinOption SPIN_OPTIONS[] = {
    {"move overhead milliseconds", &Options::move_overhead_ms, 0, 50000},
    {"Drawscore", &Options::drawscore, -200, 200},
};

}  // namespace

void print_uci_identity(const Options& o) {
    printf("id name Quoril %s %d-bit \n", VERSION_TAG, WORD_BITS);
    printf("id author %s\n", AUTHORS);
    printf("option name Ponder type check default true\n");
    printf("option name Hash type spin default %d min 0 max %d\n", o.hash_megabytes, MAX_HASH_MB);
    printf("option name Threads type spin default 1 min 1 max %d\n", host_thread_limit(MAX_THREADS));
    printf("option name OwnBook type check default %s\n", o.own_book ? "true" : "false");
    printf("option name MultiPV type spin default %d min 1 max %d\n", o.multi_pv, MAX_MULTI_PV);
    printf("option name Book File type string default %s\n", o.book_file);
    printf("option name Clear Hash type button\n");
    printf("option name UCI_LimitStrength type check default %s\n", o.limit_strength ? "true" : "false");
    printf("option name UCI_Elo type spin default %d min %d max %d\n", o.elo, STRENGTH_ELO_MIN, STRENGTH_ELO_MAX);
    printf("option name SyzygyPath type string default <empty>\n");
    printf("option name SyzygyProbeDepth type spin default 1 min 1 max %d\n", MAX_TB_PROBE_DEPTH);
    printf("option name Syzygy50MoveRule type check default true\n");
    printf("option name SyzygyProbeLimit type spin default %d min 0 max %d\n", MAX_TB_PIECES, MAX_TB_PIECES);
    print_eval_param_options(stdout, o.weights);
    for (const CheckOption& c : CHECK_OPTIONS)
        printf("option name %s type check default %s\n", c.name, o.*c.value ? "true" : "false");
    for (const SpinOption& s : SPIN_OPTIONS)
        printf("option name %s type spin default %d min %d max %d\n", s.name, o.*s.value, s.min, s.max);
    printf("uciok\n");
    fflush(stdout);
}

int text_to_int(const char* text) {
    const long v = strtol(text, nullptr, 10);
    return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : int(v));
}

void reopen_book(Session& s) {
    book_close(s.book);
    // The listed name is lower-cased; on a case-sensitive file system the name as sent is tried too.
    if (s.options.own_book) book_open(s.book, s.options.book_file, s.options.book_file_as_given);
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

// Every option change empties the hash table and the workers' pawn and material tables.
void clear_tables() {
    tt_clear();
    clear_pawn_and_material_tables();
}

bool set_eval_param(Options& o, const char* name, const char* value) {
    bool opening = false;
    const EvalParam* p = find_eval_param(name, &opening);
    if (!p) return false;
    set_eval_param_half(o.weights, *p, opening, clamped_value(name, value, int(p->min), int(p->max)));
    clear_tables();
    return true;
}

bool set_spin(Options& o, const char* name, const char* value) {
    for (const SpinOption& s : SPIN_OPTIONS) {
        if (strcasecmp(name, s.name)) continue;
        o.*s.value = clamped_value(s.name, value, s.min, s.max);
        clear_tables();
        return true;
    }
    return false;
}

// A check option's value: true, false, or "not recognized" and left as it was.
void set_check_value(int& target, const char* value) {
    if (strcasecmp(value, "true") == 0)
        target = 1;
    else if (strcasecmp(value, "false") == 0)
        target = 0;
    else
        printf("info string %s not recognized as checkbox argument\n", value);
}

bool set_check(Options& o, const char* name, const char* value) {
    for (const CheckOption& c : CHECK_OPTIONS) {
        if (strcasecmp(name, c.name)) continue;
        set_check_value(o.*c.value, value);
        clear_tables();
        return true;
    }
    return false;
}

void set_hash(Options& o, const char* value) {
    const int megabytes = clamped_value("Hash", value, 0, MAX_HASH_MB);
    if (!tt_allocate(megabytes)) {
        printf("info string no memory for a %d MB hash table: keeping %d MB\n", megabytes, o.hash_megabytes);
        return;
    }
    o.hash_megabytes = megabytes;
    if (o.hash_megabytes <= 0) {
        printf("info string Hash tables turned OFF\n");
        log_printf("Hash tables turned off\n");
        return;
    }
    printf("info string Hash table size is now %d meg\n", o.hash_megabytes);
}

void set_book_file(Session& s, const char* value, const char* as_given) {
    Options& o = s.options;
    if (strlen(value) >= sizeof o.book_file)
        fprintf(stderr, "book file name cut to its first %d characters\n", int(sizeof o.book_file) - 1);
    snprintf(o.book_file, sizeof o.book_file, "%s", value);
    snprintf(o.book_file_as_given, sizeof o.book_file_as_given, "%s", as_given ? as_given : value);
    printf("info string book file is %s\n", o.book_file);
    fflush(stdout);
    reopen_book(s);
}

void set_syzygy_path(Options& o, const char* as_given) {
    o.tb_largest = tb_load(as_given);
    if (o.tb_largest)
        printf("info string Syzygy tables found: largest %d pieces\n", o.tb_largest);
    else
        printf("info string no Syzygy tables found\n");
}

// The tablebase options; false when the name is none of them.
bool set_syzygy(Options& o, const char* name, const char* value, const char* as_given) {
    if (!strcmp(name, "syzygypath"))
        set_syzygy_path(o, as_given ? as_given : value);
    else if (!strcmp(name, "syzygyprobedepth"))
        o.tb_probe_depth = clamped_value("SyzygyProbeDepth", value, 1, MAX_TB_PROBE_DEPTH);
    else if (!strcmp(name, "syzygy50moverule"))
        set_check_value(o.tb_rule50, value);
    else if (!strcmp(name, "syzygyprobelimit"))
        o.tb_probe_limit = clamped_value("SyzygyProbeLimit", value, 0, MAX_TB_PIECES);
    else
        return false;
    return true;
}

// The options with fixed names; false when the name is none of them.
bool set_fixed(Session& s, const char* name, const char* value, const char* as_given) {
    Options& o = s.options;
    if (!strcmp(name, "hash")) {
        set_hash(o, value);
    } else if (!strcmp(name, "threads")) {
        set_thread_count(clamped_value("Threads", value, 1, host_thread_limit(MAX_THREADS)));
    } else if (!strcmp(name, "multipv")) {
        o.multi_pv = clamped_value("MultiPV", value, 1, MAX_MULTI_PV);
    } else if (!strcmp(name, "ownbook")) {
        o.own_book = !strcmp(value, "true");
        reopen_book(s);
    } else if (!strcmp(name, "ponder")) {
        o.ponder = !strcmp(value, "true");
        log_printf("Ponder set to %d\n", o.ponder);
    } else if (!strcmp(name, "book file")) {
        set_book_file(s, value, as_given);
    } else if (!strcmp(name, "uci_limitstrength")) {
        set_check_value(o.limit_strength, value);
    } else if (!strcmp(name, "uci_elo")) {
        o.elo = clamped_value("UCI_Elo", value, STRENGTH_ELO_MIN, STRENGTH_ELO_MAX);
    } else if (set_syzygy(o, name, value, as_given)) {
    } else if (!strcmp(name, "clear hash")) {
        tt_clear();
        printf("info string Clearing Hash\n");
    } else {
        return false;
    }
    return true;
}

}  // namespace

void apply_setoption(Session& s, const char* name, const char* value, const char* value_as_given) {
    Options& o = s.options;
    if (!set_eval_param(o, name, value) && !set_spin(o, name, value) && !set_check(o, name, value) &&
        !set_fixed(s, name, value, value_as_given)) {
        printf("info string %s not recognized\n", name);
        fflush(stdout);
        log_printf("option %s (value %s) not understood.\n", name, value);
    }
    fflush(stdout);
}

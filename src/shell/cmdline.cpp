#include "shell/cmdline.h"

#include <cstring>
#include <strings.h>

#include "shell/options.h"

namespace {

enum : int { SWITCH_ACCEPTED, SWITCH_TEXT, SWITCH_INTEGER, SWITCH_FLAG };

// size bounds a text target (bytes, NUL included); other kinds ignore it.
struct CommandSwitch {
    const char* name;
    void* target;
    int kind;
    int size;
};

// Stores the argument of a text or integer switch; false when it does not fit.
bool store_argument(const CommandSwitch& row, const char* arg, FILE* err) {
    if (row.kind == SWITCH_TEXT) {
        if (strlen(arg) >= size_t(row.size)) {
            fprintf(err, "Error.  Argument of -%s is too long (at most %d characters).\n", row.name, row.size - 1);
            return false;
        }
        strcpy(static_cast<char*>(row.target), arg);
    } else {
        *static_cast<int*>(row.target) = text_to_int(arg);
    }
    return true;
}

}  // namespace

int parse_command_line(int argc, char** argv, CommandLine& out, FILE* err) {
    const CommandSwitch table[] = {
        {"bench", &out.bench, SWITCH_FLAG, 0},
        {"passes", &out.passes, SWITCH_INTEGER, 0},
        {"log", out.log_file, SWITCH_TEXT, LOG_NAME_SIZE},
        {"cpu", &out.cpu, SWITCH_INTEGER, 0},
        {"pgn", nullptr, SWITCH_ACCEPTED, 0},
        {"quiet", nullptr, SWITCH_ACCEPTED, 0},
    };
    for (int i = 1; i < argc;) {
        const char* arg = argv[i];
        if (arg[0] != '-') {
            fprintf(err, "Error in command line processing.  option expected at argument %d\n", i);
            return 1;
        }
        const CommandSwitch* row = nullptr;
        for (const CommandSwitch& r : table)
            if (strcasecmp(arg + 1, r.name) == 0) row = &r;
        if (!row) {
            fprintf(err, "Error. option %s not found.\n", arg);
            return 1;
        }
        i++;
        if (row->kind == SWITCH_FLAG) *static_cast<int*>(row->target) = 1;
        if (row->kind == SWITCH_ACCEPTED || row->kind == SWITCH_FLAG) continue;
        if (i >= argc) {
            fprintf(err, "Error.  No argument.\n");
            return 1;
        }
        if (!store_argument(*row, argv[i++], err)) return 1;
    }
    return 0;
}

void print_usage(const char* program, FILE* err) {
    fprintf(err, "\nusage: %s {options} \n\n", program ? program : "quoril");
    fprintf(err, "  -log FILE      log file name\n");
    fprintf(err, "  -bench         run the benchmark (-passes N: N passes, default 5)\n");
    fprintf(err, "  -help          display this help message\n");
    fprintf(err, "\n");
}

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "book/book.h"
#include "platform/processor.h"
#include "platform/stack.h"
#include "eval/endgame.h"
#include "eval/tables.h"
#include "search/tt.h"
#include "shell/bench.h"
#include "shell/cmdline.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/options.h"
#include "shell/uci.h"

int main(int argc, char** argv) {
    reserve_thread_stacks(SEARCH_STACK_BYTES);
    // setvbuf is only valid on a stream nothing has been written to yet, so output goes unbuffered first.
    setvbuf(stdout, nullptr, _IONBF, 0);
    srand(unsigned(time(nullptr)));

    printf("Quoril %s %d-bit by %s\n", VERSION_TAG, WORD_BITS, AUTHORS);
    printf("using hardware POPCNT\n");  // the build requires the instruction
    if (const char* line = faster_build_line(read_processor(), THIS_BUILD)) printf("%s\n", line);

    set_start_values();
    init_position_tables();  // square_bit, three_file_mask and every other board table
    book_set_log(log_printf);
    reopen_book();

    setvbuf(stdin, nullptr, _IONBF, 0);
    fflush(nullptr);

    log_file_name[0] = 0;
    if (parse_command_line(argc, argv, command_switches)) {
        print_usage(argc > 0 ? argv[0] : nullptr);
        return 255;  // -1 on POSIX systems, and the same number on Windows
    }
    if (log_file_name[0] && !log_open(log_file_name))
        fprintf(stderr, "cannot open log file %s: running without a log\n", log_file_name);

    if (bench_mode) {
        run_benchmark();
        return 0;
    }
    build_ending_hash();
    buildEvalTables();
    if (hash_megabytes && !tt_allocate(hash_megabytes)) {
        fprintf(stderr, "no memory for a %d MB hash table\n", hash_megabytes);
        return 1;
    }
    input_start();

    // Idle, the loop sleeps on the input queue; end of input counts as quit.
    while (!quit_flag) {
        input_wait(-1);
        poll_input();
    }
    return 0;
}

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/exit.h"
#include "platform/host.h"
#include "platform/processor.h"
#include "platform/stack.h"
#include "search/tt.h"
#include "shell/bench.h"
#include "shell/cmdline.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/options.h"
#include "shell/session.h"
#include "shell/uci.h"

// A browser's worker hands the engine its input here, one line per call, and says when it ends.
extern "C" HOST_EXPORT void quoril_feed_line(const char* line) { input_feed(line); }
extern "C" HOST_EXPORT void quoril_end_input() { input_close(); }

int main(int argc, char** argv) {
    reserve_thread_stacks(SEARCH_STACK_BYTES);
    // setvbuf is only valid on a stream nothing has been written to yet, so output goes unbuffered first.
    setvbuf(stdout, nullptr, _IONBF, 0);
    srand(unsigned(time(nullptr)));

    printf("Quoril %s %d-bit by %s\n", VERSION_TAG, WORD_BITS, AUTHORS);
    // x86-64 builds require the instruction; the generic ones (ARM64, WebAssembly) print the same line.
    printf("using hardware POPCNT\n");
    if (const char* line = faster_build_line(read_processor(), THIS_BUILD)) printf("%s\n", line);

    build_engine_tables();
    static Session& session = *new_session();  // held to the end, so a leak checker sees it in use
    reopen_book(session);

    setvbuf(stdin, nullptr, _IONBF, 0);
    fflush(nullptr);

    CommandLine command_line;
    if (parse_command_line(argc, argv, command_line)) {
        print_usage(argc > 0 ? argv[0] : nullptr);
        return 255;  // -1 on POSIX systems, and the same number on Windows
    }
    session.whole_seconds = command_line.cpu != 0;
    if (command_line.log_file[0] && !log_open(command_line.log_file))
        fprintf(stderr, "cannot open log file %s: running without a log\n", command_line.log_file);

    // The input thread may still wait for a line at the end: see leave_process.
    if (command_line.bench) leave_process(run_benchmark(session, command_line.passes));
    if (session.options.hash_megabytes && !tt_allocate(session.options.hash_megabytes)) {
        fprintf(stderr, "no memory for a %d MB hash table\n", session.options.hash_megabytes);
        return 1;
    }
    input_start();

    // Idle, the loop sleeps on the input queue; end of input counts as quit.
    while (!session.quit) {
        input_wait(-1);
        poll_input(session);
    }
    leave_process(0);
}

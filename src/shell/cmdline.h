// Command-line switches of the engine.
#pragma once
#include <cstdio>

#include "shell/bench.h"

constexpr int LOG_NAME_SIZE = 512;

// What the command line asked for.
struct CommandLine {
    int bench = 0;                // -bench: the benchmark instead of the command loop
    int passes = BENCH_PASSES;    // -passes N: benchmark passes (the signature is that of the default five)
    char log_file[LOG_NAME_SIZE] = "";  // -log FILE; empty when there is no log
    int cpu = 0;                  // -cpu N: the clock counts whole seconds when non-zero
};

// Reads bench, passes, log and cpu into out; pgn and quiet are accepted and ignored. 0 when every
// argument was consumed, 1 at the first error (its message already written to err).
int parse_command_line(int argc, char** argv, CommandLine& out, FILE* err = stderr);
void print_usage(const char* program, FILE* err = stderr);

// Command-line switches of the engine.
#pragma once
#include <cstdio>

enum : int { SWITCH_ACCEPTED = 0, SWITCH_TEXT = 1, SWITCH_INTEGER = 2, SWITCH_REAL = 3, SWITCH_FLAG = 4 };

// One row of a switch table; a row with an empty name ends the table.
// size bounds a text target (bytes, NUL included); other kinds ignore it.
struct CommandSwitch {
    const char* name;
    void* target;
    int kind;
    int size;
};

// bench, passes, log, cpu; pgn and quiet are accepted and ignored.
extern const CommandSwitch command_switches[];

// 0 when every argument was consumed, 1 at the first error (its message already written to err).
int parse_command_line(int argc, char** argv, const CommandSwitch* table, FILE* err = stderr);
void print_usage(const char* program, FILE* err = stderr);

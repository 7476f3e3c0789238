// The optional log file: every write is skipped when no log is open.
#pragma once
#include <cstdio>

struct Position;

extern FILE* log_stream;

bool log_open(const char* name);
// printf into the log, flushed at once; nothing without a log.
void log_printf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// The board diagram written at the start of every logged search.
void log_board(const Position& pos, bool chess960);

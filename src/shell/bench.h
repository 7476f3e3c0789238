// The fixed benchmark run by -bench.
#pragma once
#include <cstdint>
#include <cstdio>

constexpr int BENCH_POSITION_COUNT = 50;
constexpr int BENCH_ROW_SIZE = 160;
constexpr int BENCH_PASSES = 5;
constexpr int BENCH_DEPTH = 11;

// Four FEN fields, then the best move word, score and node count of this engine's depth-11 search when the
// table was made: reference values that nothing reads.
extern const char bench_rows[BENCH_POSITION_COUNT][BENCH_ROW_SIZE];

// Joins the first four words of a row into fen; false when the row has fewer than four.
bool bench_row_fen(const char* row, char* fen, int size);
struct Session;

// Prints the header, one row of dots and figures per pass and the node signature; returns the signature,
// the total node count of all searches. Needs the engine's tables built.
uint64_t bench_run(Session& s, int passes, int depth, FILE* out);
// The -bench mode in place of the command loop; returns the exit status.
int run_benchmark(Session& s, int passes);

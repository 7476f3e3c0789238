// The lines a multi-PV search records at the root, ranked for showing and for a limited strength.
#pragma once
#include "board/move.h"

constexpr int ROOT_LINE_WORDS = 64;
constexpr int ROOT_LINE_CAPACITY = 512;
constexpr int STRENGTH_LINES = 4;  // lines searched with exact scores for a limited strength

struct RootLine {
    int depth;  // iteration, in plies
    int score;
    Move line[ROOT_LINE_WORDS];  // root move first, 0-terminated
};

struct RootLines {
    int count;
    RootLine records[ROOT_LINE_CAPACITY];
};

void record_root_line(RootLines& l, int depth, int score, const Move* line);
// Ranks the records, newest depth then best score first, one per root move, and keeps the first
// `keep`. Returns the lowest kept score at the newest depth (NO_LINE_SCORE when none).
constexpr int NO_LINE_SCORE = 2100000000;
int rank_root_lines(RootLines& l, int keep);
// The best line of each of the best moves of one iteration, best first; of equal scores the one
// recorded first ranks higher. Returns how many (at most STRENGTH_LINES).
int best_lines_of_iteration(const RootLines& l, int iteration, RootLine* out);

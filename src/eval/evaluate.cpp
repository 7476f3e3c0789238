// Placeholder until the evaluation lands.
#include "eval/evaluate.h"

int evaluate(Position& pos) {
    static const int v[8] = {0, 90, 300, 300, 500, 900, 0, 0};
    int s = 0;
    for (int t = PAWN; t <= QUEEN; t++) s += v[t] * (popcount(pos.bb[WHITE][t]) - popcount(pos.bb[BLACK][t]));
    return (pos.ply & 1) ? -s : s;
}

// Placeholder until the search lands: plays the first legal move.
#include "shell/driver.h"

#include <cstdio>

#include "board/perft.h"

int search_driver(Position& pos, double, int, char*) {
    Move moves[256];
    const int n = generate_legal_moves(pos, moves);
    char t[MOVE_TEXT_SIZE];
    move_to_text(n ? moves[0] : 0, t);
    printf("bestmove %s\n", t);
    fflush(stdout);
    return 0;
}

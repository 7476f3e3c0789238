#include <cstdio>
#include <cstdlib>

#include "board/perft.h"

int main(int argc, char** argv) {
    Position pos;
    position_from_fen(pos, argc > 2 ? argv[2] : "");
    perft_divide(pos, argc > 1 ? atoi(argv[1]) : 5, stdout);
    return 0;
}

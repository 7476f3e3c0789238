#include "board/perft.h"

#include "board/makemove.h"
#include "board/legal.h"
#include "board/movegen.h"

namespace {

uint64_t perft_inner(const Position& pos, int depth) {
    Move moves[MAX_MOVES];
    const int n = generate_all_moves(pos, moves);
    const LegalityContext c = legality_context(pos);
    uint64_t total = 0;
    if (depth == 1) {
        for (int i = 0; i < n; i++) total += is_legal(pos, c, moves[i]);
        return total;
    }
    Position child;
    for (int i = 0; i < n; i++) {
        if (!is_legal(pos, c, moves[i])) continue;
        make_move(pos, child, moves[i]);
        total += perft_inner(child, depth - 1);
    }
    return total;
}

}  // namespace

uint64_t perft(const Position& pos, int depth) { return depth <= 0 ? 1 : perft_inner(pos, depth); }

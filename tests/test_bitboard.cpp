// Slider lookups against plain ray walks.
#include <gtest/gtest.h>

#include <random>

#include "board/bitboard.h"

namespace {

// Reference slider attacks by walking rays square by square.
Bitboard walk(int s, Bitboard occ, bool diagonal) {
    static const int dirs[2][4][2] = {{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}, {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}}};
    Bitboard a = 0;
    for (auto& d : dirs[diagonal]) {
        for (int f = file_of(s) + d[0], r = rank_of(s) + d[1]; f >= 0 && f < 8 && r >= 0 && r < 8;
             f += d[0], r += d[1]) {
            a |= 1ULL << (r * 8 + f);
            if (occ & (1ULL << (r * 8 + f))) break;
        }
    }
    return a;
}

TEST(Bitboard, MagicLookupsMatchRayWalks) {
    init_bitboards();
    std::mt19937_64 rng(5);
    for (int i = 0; i < 20000; i++) {
        const int s = int(rng() % 64);
        const Bitboard occ = rng() & rng();
        ASSERT_EQ(rook_attacks(s, occ), walk(s, occ, false));
        ASSERT_EQ(bishop_attacks(s, occ), walk(s, occ, true));
    }
}

}  // namespace

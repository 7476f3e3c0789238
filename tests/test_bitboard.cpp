// Attack tables, magic lookups and the small numeric helpers.
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

TEST(Bitboard, TellingEntries) {
    init_bitboards();
    EXPECT_EQ(rook_mask[0], 0x000101010101017EULL);
    EXPECT_EQ(bishop_lines[0], 0x8040201008040201ULL);
    EXPECT_EQ(rook_attacks(0, 0), (FILE_A_BB | RANK_1_BB) & ~1ULL);
    EXPECT_EQ(rook_attacks(0, 1ULL << 24) & FILE_A_BB, 0x0000000001010100ULL | (1ULL << 24));
    const Bitboard b = bishop_attacks(27, (1ULL << 45) | (1ULL << 9));  // d4 with f6 and b2
    EXPECT_TRUE(b & (1ULL << 45));
    EXPECT_TRUE(b & (1ULL << 9));
    EXPECT_FALSE(b & (1ULL << 54));
    EXPECT_FALSE(b & (1ULL << 0));
    EXPECT_EQ(between[0][63], 0x0040201008040200ULL);
    EXPECT_EQ(between[0][17], 0u);
    EXPECT_EQ(between[0][1], 0u);
    EXPECT_EQ(lsb_index(0x8000000000000000ULL), 63);
    EXPECT_EQ(lsb_index(1), 0);
    EXPECT_EQ(lsb_index(0x0000000100000000ULL), 32);
    EXPECT_EQ(popcount(~0ULL), 64);
    EXPECT_EQ(knight_attacks[0], (1ULL << 10) | (1ULL << 17));
    EXPECT_EQ(king_attacks[63], (1ULL << 62) | (1ULL << 55) | (1ULL << 54));
    EXPECT_EQ(relative_rank_mask[0][BLACK], 0xFF00000000000000ULL);
}

TEST(Bitboard, ThreeFileMaskShiftsInwardAtTheEdges) {
    init_bitboards();
    EXPECT_EQ(three_file_mask[0], FILE_A_BB * 7);          // a, b, c
    EXPECT_EQ(three_file_mask[63], (FILE_A_BB * 7) << 5);  // f, g, h
    EXPECT_EQ(three_file_mask[28], (FILE_A_BB * 7) << 3);  // d, e, f
}

TEST(Numbers, RoundingAndIntegerRoot) {
    EXPECT_EQ(round_half_away(2.5), 3);
    EXPECT_EQ(round_half_away(-2.5), -3);
    EXPECT_EQ(round_half_away(-2.4), -2);
    EXPECT_EQ(isqrt_nearest(0), 0);
    EXPECT_EQ(isqrt_nearest(8), 3);   // 9 is nearer than 4
    EXPECT_EQ(isqrt_nearest(6), 2);   // 4 is nearer than 9
    EXPECT_EQ(isqrt_nearest(12), 3);  // 9 and 16 are 3 and 4 away
    EXPECT_EQ(isqrt_nearest(20), 4);  // tie-free: 16 vs 25
    EXPECT_EQ(manhattan_distance(0, 63), 14);
    EXPECT_EQ(square_distance(0, 63), 7);
}

}  // namespace

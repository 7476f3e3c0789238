// The partial generators and the stored-move validator against the full list (which perft checks), move text.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "board/movegen.h"
#include "support.h"

namespace {

// The partial generators and the stored-move validator against the full list of each position.
TEST(Generate, PartialListsAndValidatorAgreeWithTheFullList) {
    int accepted = 0, rejected = 0;
    for (const Position& p : sample_positions(1500, 2024)) {
        Move all[MAX_MOVES], part[MAX_MOVES];
        const int n = generate_all_moves(p, all), us = side_to_move(p);
        const Bitboard empty = ~occupied(p);
        std::multiset<Move> expected_caps, got_caps, expected_quiet, got_quiet;
        for (Bitboard e = p.bb[1 - us][0]; e;) got_caps.insert(part, part + generate_captures_on(p, part, pop_lsb(e)));
        got_quiet.insert(part, part + generate_quiets_to(p, part, empty));
        for (int i = 0; i < n; i++) {
            const Move m = all[i];
            const int f = move_flag(m);
            const bool to_empty = (empty & square_bit[move_to(m)]) != 0;
            if (!to_empty && f != FLAG_EP) expected_caps.insert(m);
            // Quiet moves to empty squares: everything but king moves, castling, under-promotions.
            if (to_empty && f != FLAG_EP && f != FLAG_CASTLE && f < FLAG_PROMO_N && (p.board[move_from(m)] & 7) != KING)
                expected_quiet.insert(m);
            EXPECT_EQ(move_is_pseudo_legal(p, m), f != FLAG_EP);  // en passant is never stored
            accepted += f != FLAG_EP;
        }
        EXPECT_EQ(got_caps, expected_caps);
        EXPECT_EQ(got_quiet, expected_quiet);
        // Every other from/to/flag word must be refused.
        const std::set<Move> generated(all, all + n);
        for (int from = 0; from < 64; from++)
            for (int to = 0; to < 64; to++)
                for (int flag : {0, 1, 3, 4, 5}) {
                    const Move m = make_move_word(from, to, flag);
                    if (generated.count(m)) continue;
                    EXPECT_FALSE(move_is_pseudo_legal(p, m)) << from << "-" << to << " flag " << flag;
                    rejected++;
                }
    }
    EXPECT_GT(accepted, 20000);
    EXPECT_GT(rejected, 1000000);
}

// Move text is read in either case; a move that is not there leaves the child untouched.
TEST(MoveText, ApplyIsCaseInsensitive) {
    Position p = from_fen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"), c;
    ASSERT_TRUE(apply_move_text(p, c, "E1G1"));
    EXPECT_EQ(c.last_move, CASTLE_WK);
    const Position untouched = c;
    EXPECT_FALSE(apply_move_text(p, c, "e1e3"));
    EXPECT_EQ(memcmp(&untouched, &c, sizeof c), 0);
    ASSERT_TRUE(apply_move_text(from_fen("8/P6k/8/8/8/8/8/K7 w - -"), c, "a7a8N"));
    EXPECT_EQ(move_flag(c.last_move), FLAG_PROMO_N);
}

}  // namespace

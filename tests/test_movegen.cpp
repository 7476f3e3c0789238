// Castling generation, the partial generators and the stored-move validator against the full list, move text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "support.h"

namespace {

std::vector<std::string> texts(const Move* m, int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; i++) out.push_back(move_str(m[i]));
    return out;
}

// Castling needs the squares the king crosses free of attack; b1 may be attacked.
TEST(Generate, CastlingRespectsAttackedSquares) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"4k3/8/8/8/8/8/7b/R3K2R w KQ -", {"e1c1"}},             // g1 attacked
        {"4k3/8/8/8/8/8/8/Rn2K2R w KQ -", {"e1g1"}},             // b1 occupied
        {"4k3/8/8/8/8/2n5/8/R3K2R w KQ -", {"e1g1"}},            // d1 attacked
        {"4k3/8/8/8/8/n7/8/R3K2R w KQ -", {"e1g1", "e1c1"}},     // only b1 attacked
        {"r3k2r/8/8/8/8/8/8/4K3 b kq -", {"e8g8", "e8c8"}},
    };
    for (const auto& [fen, castles] : cases) {
        Move m[4];
        const Position p = from_fen(fen);
        EXPECT_EQ(texts(m, generate_castling(p, side_to_move(p), m)), castles) << fen;
    }
}

TEST(Generate, CapturesOnAndQuietsToAgreeWithTheFullList) {
    for (const Position& p : sample_positions(1500, 2024)) {
        Move all[MAX_MOVES], part[MAX_MOVES];
        const int n = generate_all_moves(p, all);
        const int us = p.ply & 1;
        std::multiset<Move> expected_caps, got_caps;
        for (Bitboard e = p.bb[1 - us][0]; e;) got_caps.insert(part, part + generate_captures_on(p, part, pop_lsb(e)));
        for (int i = 0; i < n; i++)
            if ((p.bb[1 - us][0] & square_bit[move_to(all[i])]) && move_flag(all[i]) != FLAG_EP)
                expected_caps.insert(all[i]);
        EXPECT_EQ(got_caps, expected_caps);
        // Quiet moves to empty squares: everything but king moves, castling, under-promotions.
        const Bitboard empty = ~occupied(p);
        std::multiset<Move> expected_quiet, got_quiet;
        got_quiet.insert(part, part + generate_quiets_to(p, part, empty));
        for (int i = 0; i < n; i++) {
            const Move mv = all[i];
            const int f = move_flag(mv);
            if ((empty & square_bit[move_to(mv)]) && f != FLAG_EP && f != FLAG_CASTLE && f < FLAG_PROMO_N &&
                (p.board[move_from(mv)] & 7) != KING)
                expected_quiet.insert(mv);
        }
        EXPECT_EQ(got_quiet, expected_quiet);
    }
}

TEST(Validate, AgreesWithGenerationExceptEnPassant) {
    int accepted = 0, rejected = 0;
    for (const Position& p : sample_positions(1500, 2024)) {
        Move all[MAX_MOVES];
        const int n = generate_all_moves(p, all);
        std::set<Move> generated(all, all + n);
        for (int i = 0; i < n; i++) {
            const bool ep = move_flag(all[i]) == FLAG_EP;
            EXPECT_EQ(move_is_pseudo_legal(p, all[i]), !ep);
            accepted += !ep;
        }
        // Every other from/to/flag word must be refused.
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

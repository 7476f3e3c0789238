// Static exchange, exchange values and the threat helpers of the search.
#include <gtest/gtest.h>

#include <tuple>

#include "board/makemove.h"
#include "board/see.h"
#include "support.h"

namespace {

int sq(const char* name) { return (name[1] - '1') * 8 + (name[0] - 'a'); }
Move mv(const char* text, int flag = 0) { return make_move_word(sq(text), sq(text + 2), flag); }

TEST(See, WinsAndLosses) {
    const std::tuple<const char*, const char*, int, int> cases[] = {
        {"4k3/8/3q4/4P3/8/8/8/3RK3 w - -", "e5d6", 0, 0},    // a cheaper piece never loses
        {"4k3/2p5/3p4/8/8/8/3Q4/4K3 w - -", "d2d6", 0, -1},  // queen for a defended pawn
        // Rd2xd6, Rd8xd6, then the queen behind the rook recaptures through d2; a black one too.
        {"3r2k1/8/3b4/8/8/8/3R4/3Q2K1 w - -", "d2d6", 0, 0},
        {"3r2k1/8/3b4/8/8/8/3R4/6K1 w - -", "d2d6", 0, -1},
        {"3q2k1/3r4/3b4/8/8/8/3R4/3Q2K1 w - -", "d2d6", 0, -1},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5d6", FLAG_EP, 0},  // special moves are not judged
        {"3rk3/4P3/8/8/8/8/8/4K3 w - -", "e7e8", FLAG_PROMO_R, 0},
        {"3rk3/4P3/8/8/8/8/8/4K3 w - -", "e7d8", FLAG_PROMO_Q, 0},
        {"4k3/8/8/4p3/3N4/2P5/8/4K3 w - -", "d4d4", 0, -1},  // a square to itself: does the piece hang?
        {"4k3/8/8/8/3N4/8/8/4K3 w - -", "d4d4", 0, 0},
    };
    for (const auto& [fen, move, flag, value] : cases) EXPECT_EQ(see(from_fen(fen), mv(move, flag)), value) << fen;
    // Exchange values: each side may stop; flag 1 lets the side not to move start.
    const std::tuple<const char*, const char*, int, int> exchanges[] = {
        {"3r2k1/8/3b4/8/8/8/3R4/3Q2K1 w - -", "d2d6", 0, 3}, {"3r2k1/8/3b4/8/8/8/3R4/6K1 w - -", "d2d6", 0, -2},
        {"4k3/8/5n2/3p4/8/8/6B1/4K3 w - -", "g2d5", 0, -2},  // the knight recaptures
        {"4k3/8/5n2/3p4/8/8/6B1/3RK3 w - -", "g2d5", 0, 1},  // and the rook wins it back
        {"4k3/8/5n2/3p4/8/8/6B1/3RK3 b - -", "g2d5", 1, 1},
    };
    for (const auto& [fen, move, side, value] : exchanges)
        EXPECT_EQ(exchange_value(from_fen(fen), mv(move), side), value) << fen;
}

// The largest loss a side faces, and what the move just made attacks.
TEST(Threats, LossesAndWhatTheLastMoveAttacks) {
    const std::pair<const char*, int> largest[] = {
        {"4k3/8/8/4p3/3Q4/8/1p6/4K3 w - -", 15},  // a pawn on the seventh overrides everything
        {"4k3/1P6/8/8/8/8/1p6/4K3 b - -", 15},    // black's own promotion threat
        {"4k3/8/8/4p3/3Q4/8/5N2/4K3 w - -", 19},  // the worst loss among the pieces
        {"4k3/8/8/4p3/3N4/8/8/Q3K3 w - -", 4},
        {"4k3/8/8/8/3N4/8/8/Q3K3 w - -", 0}};
    for (const auto& [fen, value] : largest) EXPECT_EQ(largest_threat(from_fen(fen)), value) << fen;
    // What the move just made attacks.
    const std::tuple<const char*, const char*, int> cases[] = {
        {"4k3/2r5/8/8/8/2N5/8/4K3 w - -", "c3d5", 2},   // knight on a rook
        {"4k3/8/8/8/6p1/8/8/4K1N1 w - -", "g1f2", 1},   // on an undefended pawn
        {"4k3/8/8/2n5/8/3P4/8/4K3 w - -", "d3d4", 2},   // pawn on a knight
        {"4k3/8/7p/6p1/8/8/8/2B1K3 w - -", "c1e3", 0},  // on a defended pawn
        {"3qk3/8/8/8/8/8/8/R3K3 w - -", "a1d1", 2},     // rook on the queen's file
    };
    for (const auto& [fen, move, value] : cases) {
        const Position parent = from_fen(fen);
        Position child, after_null;
        make_move(parent, child, mv(move));
        make_move(child, after_null, MOVE_NONE);
        EXPECT_EQ(last_move_threat(child), value) << fen << " " << move;
        EXPECT_EQ(last_move_threat(after_null), 0) << "nothing after a null move";
    }
    EXPECT_EQ(last_move_threat(from_fen("4k3/2r5/8/3N4/8/8/8/4K3 b - -")), 0) << "nothing at the root";
}

}  // namespace

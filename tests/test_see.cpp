// Static exchange, exchange values and threat helpers.
#include <gtest/gtest.h>

#include "board/makemove.h"
#include "search/see.h"
#include "support.h"

namespace {

int sq(const char* name) { return (name[1] - '1') * 8 + (name[0] - 'a'); }
Move mv(const char* from, const char* to, int flag = 0) { return make_move_word(sq(from), sq(to), flag); }

TEST(See, CapturingWithACheaperPieceNeverLoses) {
    Position p = from_fen("4k3/8/3q4/4P3/8/8/8/3RK3 w - -");
    EXPECT_EQ(see(p, mv("e5", "d6")), 0);  // the queen is defended by nothing, but it does not matter
    Position q = from_fen("3rk3/8/3q4/4P3/8/8/8/4K3 w - -");
    EXPECT_EQ(see(q, mv("e5", "d6")), 0);
}

TEST(See, QueenTakingAPawnDefendedByAPawnLoses) {
    Position p = from_fen("4k3/2p5/3p4/8/8/8/3Q4/4K3 w - -");
    EXPECT_EQ(see(p, mv("d2", "d6")), -1);
    // Undefended, it wins.
    Position q = from_fen("4k3/8/3p4/8/8/8/3Q4/4K3 w - -");
    EXPECT_EQ(see(q, mv("d2", "d6")), 0);
}

TEST(See, QueenBehindTheRookRecapturesThroughTheVacatedSquare) {
    // Rd2xd6, Rd8xd6, then Qd1 reaches d6 through d2.
    Position with_queen = from_fen("3r2k1/8/3b4/8/8/8/3R4/3Q2K1 w - -");
    Position without = from_fen("3r2k1/8/3b4/8/8/8/3R4/6K1 w - -");
    EXPECT_EQ(see(with_queen, mv("d2", "d6")), 0);
    EXPECT_EQ(see(without, mv("d2", "d6")), -1);
    EXPECT_EQ(exchange_value(with_queen, mv("d2", "d6"), 0), 3);
    EXPECT_EQ(exchange_value(without, mv("d2", "d6"), 0), -2);
    // A black queen behind the black rook joins the other side the same way.
    Position both = from_fen("3q2k1/3r4/3b4/8/8/8/3R4/3Q2K1 w - -");
    EXPECT_EQ(see(both, mv("d2", "d6")), -1);
}

TEST(See, SpecialMovesAreNotJudged) {
    Position ep = from_fen("4k3/8/8/3pP3/8/8/8/4K3 w - d6");
    EXPECT_EQ(see(ep, mv("e5", "d6", FLAG_EP)), 0);
    EXPECT_EQ(exchange_value(ep, mv("e5", "d6", FLAG_EP), 0), 0);
    Position castle = from_fen("4k3/8/8/8/8/8/8/4K2R w K -");
    EXPECT_EQ(see(castle, CASTLE_WK), 0);
    // Promotions to rook or bishop on a guarded square are let through; to a queen they are judged.
    Position promo = from_fen("3rk3/4P3/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(see(promo, mv("e7", "e8", FLAG_PROMO_R)), 0);
    EXPECT_EQ(see(promo, mv("e7", "e8", FLAG_PROMO_B)), 0);
    EXPECT_EQ(exchange_value(promo, mv("e7", "e8", FLAG_PROMO_R), 0), 0);
    EXPECT_EQ(see(promo, mv("e7", "d8", FLAG_PROMO_Q)), 0);
}

TEST(See, StandingPieceQuery) {
    // Knight d4 attacked by e5: a square-to-itself query asks whether it hangs.
    Position p = from_fen("4k3/8/8/4p3/3N4/8/8/4K3 w - -");
    EXPECT_EQ(see(p, mv("d4", "d4")), -1);
    Position q = from_fen("4k3/8/8/4p3/3N4/2P5/8/4K3 w - -");
    EXPECT_EQ(see(q, mv("d4", "d4")), -1);  // pawn for knight is still a loss
    Position r = from_fen("4k3/8/8/8/3N4/8/8/4K3 w - -");
    EXPECT_EQ(see(r, mv("d4", "d4")), 0);
}

TEST(ExchangeValue, EachSideMayStop) {
    // Bxd5 on a pawn defended by a knight: black recaptures (+1 - 3 for white).
    Position p = from_fen("4k3/8/5n2/3p4/8/8/6B1/4K3 w - -");
    EXPECT_EQ(exchange_value(p, mv("g2", "d5"), 0), -2);
    // A rook on the d-file wins the knight back.
    Position q = from_fen("4k3/8/5n2/3p4/8/8/6B1/3RK3 w - -");
    EXPECT_EQ(exchange_value(q, mv("g2", "d5"), 0), 1);
    // Side flag 1: the side not to move makes the first capture.
    Position r = from_fen("4k3/8/5n2/3p4/8/8/6B1/3RK3 b - -");
    EXPECT_EQ(exchange_value(r, mv("g2", "d5"), 1), 1);
}

TEST(ThreatOnSquare, LossInThreatValues) {
    Position hanging = from_fen("4k3/8/8/4p3/3N4/8/8/4K3 w - -");
    EXPECT_EQ(threat_on_square(hanging, sq("d4")), -6);
    Position guarded = from_fen("4k3/8/8/4p3/3N4/2P5/8/4K3 w - -");
    EXPECT_EQ(threat_on_square(guarded, sq("d4")), -4);
    Position safe = from_fen("4k3/8/8/8/3N4/2P5/8/4K3 w - -");
    EXPECT_EQ(threat_on_square(safe, sq("d4")), 0);
    // A guarded rook attacked by a knight still loses the difference (10 - 6).
    Position rook = from_fen("4k3/8/4n3/8/3R4/2P5/8/4K3 w - -");
    EXPECT_EQ(threat_on_square(rook, sq("d4")), -4);
}

TEST(LargestThreat, PawnOnTheSeventhOverridesEverything) {
    Position p = from_fen("4k3/8/8/8/8/8/1p6/4K3 w - -");
    EXPECT_EQ(largest_threat(p), 15);
    Position q = from_fen("4k3/8/8/4p3/3Q4/8/1p6/4K3 w - -");
    EXPECT_EQ(largest_threat(q), 15);
    // Black's own pawn on the second rank is its promotion threat, not white's.
    Position r = from_fen("4k3/1P6/8/8/8/8/1p6/4K3 b - -");
    EXPECT_EQ(largest_threat(r), 15);
}

TEST(LargestThreat, WorstLossAmongThePieces) {
    // Queen hit by a pawn: 19; the knight's loss (6) is not looked at after that.
    Position p = from_fen("4k3/8/8/4p3/3Q4/8/5N2/4K3 w - -");
    EXPECT_EQ(largest_threat(p), 19);
    Position q = from_fen("4k3/8/8/4p3/3N4/8/8/4K2Q w - -");
    EXPECT_EQ(largest_threat(q), 6);
    // Guarded by the queen the knight costs only the difference.
    Position r = from_fen("4k3/8/8/4p3/3N4/8/8/Q3K3 w - -");
    EXPECT_EQ(largest_threat(r), 4);
    Position quiet = from_fen("4k3/8/8/8/3N4/8/8/Q3K3 w - -");
    EXPECT_EQ(largest_threat(quiet), 0);
}

Position after(const char* fen, Move m) {
    static Position parent;
    parent = from_fen(fen);
    Position child;
    make_move(parent, child, m);
    return child;
}

TEST(LastMoveThreat, WhatTheMoveJustMadeAttacks) {
    // Knight hitting a rook: 2; an undefended pawn: 1; nothing: 0.
    EXPECT_EQ(last_move_threat(after("4k3/2r5/8/8/8/2N5/8/4K3 w - -", mv("c3", "d5"))), 2);
    EXPECT_EQ(last_move_threat(after("4k3/8/8/8/6p1/8/8/4K1N1 w - -", mv("g1", "f2"))), 1);
    EXPECT_EQ(last_move_threat(after("4k3/8/8/8/6p1/8/8/4K1N1 w - -", mv("g1", "e2"))), 0);
    // Pawn attacking a knight: 2; attacking a pawn only: 0.
    EXPECT_EQ(last_move_threat(after("4k3/8/8/2n5/8/3P4/8/4K3 w - -", mv("d3", "d4"))), 2);
    EXPECT_EQ(last_move_threat(after("4k3/8/8/2p5/8/3P4/8/4K3 w - -", mv("d3", "d4"))), 0);
    // Bishop hitting an undefended pawn: 1; a defended one: 0.
    EXPECT_EQ(last_move_threat(after("4k3/8/8/6p1/8/8/8/2B1K3 w - -", mv("c1", "e3"))), 1);
    EXPECT_EQ(last_move_threat(after("4k3/8/7p/6p1/8/8/8/2B1K3 w - -", mv("c1", "e3"))), 0);
    // Rook on the queen's file: 2.
    EXPECT_EQ(last_move_threat(after("3qk3/8/8/8/8/8/8/R3K3 w - -", mv("a1", "d1"))), 2);
}

TEST(LastMoveThreat, NothingAfterANullMoveOrAtTheRoot) {
    Position root = from_fen("4k3/2r5/8/3N4/8/8/8/4K3 b - -");
    EXPECT_EQ(last_move_threat(root), 0);
    Position child;
    make_move(root, child, MOVE_NONE);
    EXPECT_EQ(last_move_threat(child), 0);
}

}  // namespace

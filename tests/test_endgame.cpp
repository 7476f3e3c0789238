// Ending records, the ending hash and the specialised evaluators.
#include <gtest/gtest.h>

#include <string>

#include "eval/kpk.h"
#include "eval_support.h"

namespace {

int eval_of(const char* fen) {
    Position p = eval_position(fen);
    return evaluate(p);
}

TEST(EndingHash, BuildsWithoutConflictForBothColours) {
    init_eval();
    build_ending_hash();  // a slot collision would have ended the process
    int rows = 0, symmetric = 0;
    for (const EndingRecord* r = ending_records; r->signature[0] != '-'; r++) {
        rows++;
        const uint64_t key = signature_key(r->signature, false), swapped = signature_key(r->signature, true);
        const EndingSlot* a = find_ending(key);
        const EndingSlot* b = find_ending(swapped);
        ASSERT_NE(a, nullptr) << r->signature;
        ASSERT_NE(b, nullptr) << r->signature;
        EXPECT_EQ(a->scale, r->scale);
        EXPECT_EQ(b->scale, r->scale);
        EXPECT_EQ(a->evaluator, r->evaluator);
        EXPECT_EQ(b->evaluator, r->evaluator);
        if (key == swapped) {
            symmetric++;
            EXPECT_EQ(r->bonus, 0) << r->signature;
        } else {
            EXPECT_EQ(a->bonus, r->bonus) << r->signature;
            EXPECT_EQ(b->bonus, -r->bonus) << r->signature;
        }
    }
    EXPECT_EQ(rows, 29);
    EXPECT_EQ(symmetric, 5);  // bare kings, Bb, Nn, Qq, Rr
    int used = 0;
    for (const EndingSlot& s : ending_hash) {
        used += s.occupied == 1;
        if (s.occupied != 1) {
            EXPECT_EQ(s.key, 1u);
            EXPECT_EQ(s.scale, 1024);
        }
    }
    EXPECT_EQ(used, 2 * 29 - 5);
}

TEST(EndingHash, KeysMatchPositionMaterial) {
    init_eval();
    EXPECT_EQ(eval_position("8/8/4k3/8/8/2B5/2N5/4K3 w - -").material_key, signature_key("BN", false));
    EXPECT_EQ(eval_position("8/2b5/2b1k3/8/8/2B5/8/4K3 w - -").material_key, signature_key("BBb", true));
    EXPECT_EQ(signature_key("", false), 0u);
    EXPECT_EQ(signature_key("Bb", false), signature_key("Bb", true));
}

TEST(EndingHash, ColourSwappedBonusChangesSign) {
    init_eval();
    const EndingSlot* white_pair = find_ending(signature_key("BBb", false));
    const EndingSlot* black_pair = find_ending(signature_key("BBb", true));
    ASSERT_TRUE(white_pair && black_pair);
    EXPECT_EQ(white_pair->bonus, -3000);
    EXPECT_EQ(black_pair->bonus, 3000);
    EXPECT_EQ(black_pair->scale, 200);
    EXPECT_EQ(find_ending(signature_key("Qr", true))->bonus, 1000);
    // Two rooks against one match nothing and are evaluated in full.
    EXPECT_EQ(find_ending(signature_key("RRr", false)), nullptr);
}

TEST(EndingRecords, KnightAloneIsADraw) {
    init_eval();
    // Only the side-to-move bonus remains: (51 + 5) / 10 at phase 1.
    EXPECT_EQ(fresh_eval("8/8/4k3/8/8/2N5/8/4K3 w - -"), 5);
    EXPECT_EQ(fresh_eval("8/8/4k3/8/8/2N5/8/4K3 b - -"), 5);
    ParamNudge no_tempo("hmb", -114, -50);
    EXPECT_EQ(fresh_eval("8/8/4k3/8/8/2N5/8/4K3 w - -"), 0);
    EXPECT_EQ(fresh_eval("8/8/4k3/8/8/2n5/8/4K3 w - -"), 0);
    EXPECT_EQ(fresh_eval("8/8/4k3/3N4/8/8/8/4K3 b - -"), 0);
}

TEST(EndingRecords, BonusCountsForTheSideNamedInUpperCase) {
    init_eval();
    // Two bishops against one: -3000 x 96 for the pair's side, then the scale of 200,
    // so the record takes 3000 x 0.2 / 10 = 60 from the pair's side.
    const char* fen = "4k3/8/3b4/8/8/2BB4/8/4K3 w - -";
    const int with_bonus = fresh_eval(fen);
    EndingSlot& slot = ending_hash[signature_key("BBb", false) & (ENDING_SLOTS - 1)];
    slot.bonus = 0;
    const int without = fresh_eval(fen);
    build_ending_hash();
    EXPECT_EQ(with_bonus - without, -60);
    // Colour-swapped, the bonus follows the pair.
    EXPECT_EQ(fresh_eval("4k3/8/2bb4/8/8/3B4/8/4K3 b - -"), with_bonus);
}

TEST(KingAndPawn, DrawnPositionScoresThree) {
    init_eval();
    // Defender in front with the opposition held: the bitbase says draw.
    const char* fen_w = "4k3/8/4P3/4K3/8/8/8/8 w - -";
    Position p = eval_position(fen_w);
    ASSERT_FALSE(kpk_probe(WHITE, king_square(p, WHITE), 44, king_square(p, BLACK), true));
    EXPECT_EQ(evaluate(p), 3);
    EXPECT_EQ(eval_of("4k3/8/4P3/4K3/8/8/8/8 b - -"), -3);
    EXPECT_EQ(eval_of("8/8/8/8/4k3/4p3/8/4K3 b - -"), 3);
}

TEST(KingAndPawn, WonPositionGrowsWithAdvance) {
    init_eval();
    const char* fen = "4k3/8/3K4/4P3/8/8/8/8 w - -";
    Position p = eval_position(fen);
    ASSERT_TRUE(kpk_probe(WHITE, king_square(p, WHITE), 36, king_square(p, BLACK), true));
    EXPECT_EQ(evaluate(p), 450 + 16 * 4);
    // The same for black, pawn on its fifth rank, seen from white to move.
    Position q = eval_position("8/8/8/8/4p3/3k4/8/4K3 w - -");
    ASSERT_TRUE(kpk_probe(BLACK, king_square(q, BLACK), 28, king_square(q, WHITE), false));
    EXPECT_EQ(evaluate(q), -(450 + 16 * 4));
}

TEST(KingAndPawn, EvaluatorResultIsNotCached) {
    Position p = eval_position("4k3/8/3K4/4P3/8/8/8/8 w - -");
    eval_cache_clear();
    evaluate(p);
    EXPECT_NE(eval_cache[uint32_t(p.key) & (EVAL_CACHE_SIZE - 1)].key, p.key);
}

TEST(BishopKnightMate, DrivesTowardTheBishopsCorner) {
    init_eval();
    // Dark bishop e5: a1 is the right corner (c = 0), h1 the wrong one (c = 7).
    EXPECT_EQ(eval_of("8/8/8/4B3/8/2KN4/8/k7 w - -"), 400 - 0 - 4 * 2 - 2 * 3);
    EXPECT_EQ(eval_of("8/8/8/4B3/8/4NK2/8/7k w - -"), 400 - 20 * 7 - 4 * 2 - 2 * 3);
    // A light bishop prefers h1.
    EXPECT_EQ(eval_of("8/8/8/3B4/8/4NK2/8/7k w - -"), 400 - 0 - 4 * 2 - 2 * 3);
    // Black to move sees it negated; black with the pieces mirrors it.
    EXPECT_EQ(eval_of("8/8/8/4B3/8/2KN4/8/k7 b - -"), -(400 - 14));
    EXPECT_EQ(eval_of("K7/8/2kn4/8/4b3/8/8/8 b - -"), 400 - 14);
}

TEST(KnightAndPawn, RookPawnOnTheSeventhWithTheDefenderInFront) {
    init_eval();
    // a7 pawn, defender b8 next to a8: 10 - distance(c5, a8) = 10 - 3.
    EXPECT_EQ(eval_of("1k6/P7/8/2K5/4N3/8/8/8 w - -"), 7);
    // Otherwise 420 + 5 x 2 - 5 x 1 - 3 x 2 - 10 x 4 for e4 with kings e6/e3 and knight c3.
    EXPECT_EQ(eval_of("8/8/4k3/8/4P3/2N1K3/8/8 w - -"), 379);
    EXPECT_EQ(eval_of("8/8/2n1k3/4p3/8/4K3/8/8 w - -"), -379);
}

TEST(BishopAndPawn, WrongRookPawn) {
    init_eval();
    // h5 pawn, light bishop c2, promotion square h8 dark, defender g8 in time:
    // 12 + 1 - 3 - distance(e4, h8) = 6.
    EXPECT_EQ(eval_of("6k1/8/8/7P/4K3/8/2B5/8 w - -"), 6);
    // Dark bishop covers h8: 440 + 2 x 1 - 10 x 3 - 2 x 4.
    EXPECT_EQ(eval_of("6k1/8/8/4B2P/4K3/8/8/8 w - -"), 404);
    // The defender on d6 is one step short with white to move, in time with black to move.
    EXPECT_EQ(eval_of("8/8/3k4/7P/4K3/8/2B5/8 w - -"), 440 + 2 * 4 - 30 - 2 * 4);
    EXPECT_EQ(eval_of("8/8/3k4/7P/4K3/8/2B5/8 b - -"), -(12 + 4 - 3 - 4));
    // Defender far away: the normal formula even with the wrong bishop.
    EXPECT_EQ(eval_of("8/8/8/7P/4K3/8/2B5/k7 w - -"), 440 + 2 * 7 - 30 - 8);
}

}  // namespace

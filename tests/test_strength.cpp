// Limited strength: the node budget grows with the Elo asked for, and the choice among lines is
// bounded and favours the better lines (the engine test repeats a seeded choice).
#include <gtest/gtest.h>

#include "search/strength.h"

TEST(Strength, BudgetGrowsAndSpreadShrinksWithElo) {
    StrengthLevel previous = strength_level(STRENGTH_ELO_MIN);
    for (int elo = STRENGTH_ELO_MIN + 100; elo <= STRENGTH_ELO_MAX; elo += 100) {
        const StrengthLevel level = strength_level(elo);
        EXPECT_GT(level.nodes, previous.nodes) << elo;
        EXPECT_LE(level.spread, previous.spread) << elo;
        EXPECT_LE(level.max_loss, previous.max_loss) << elo;
        previous = level;
    }
    EXPECT_EQ(strength_level(STRENGTH_ELO_MIN - 500).nodes, strength_level(STRENGTH_ELO_MIN).nodes);
    EXPECT_EQ(strength_level(STRENGTH_ELO_MAX + 500).nodes, strength_level(STRENGTH_ELO_MAX).nodes);
}

TEST(Strength, ChoiceIsBoundedAndFavoursBetterLines) {
    const StrengthLevel weak = strength_level(STRENGTH_ELO_MIN);
    const int scores[4] = {50, 50 - weak.spread / 4, 50 - weak.spread, 50 - weak.max_loss - 1};
    int picked[4] = {0, 0, 0, 0};
    uint64_t rng = 1;
    for (int i = 0; i < 4000; i++) picked[choose_line(scores, 4, weak, rng)]++;
    EXPECT_GT(picked[0], picked[1]);
    EXPECT_GT(picked[1], picked[2]);
    EXPECT_GT(picked[2], 0);
    EXPECT_EQ(picked[3], 0) << "a line beyond the largest loss";
    // Full strength keeps the best line; so does a single line.
    StrengthLevel exact = weak;
    exact.spread = 0;
    for (int i = 0; i < 100; i++) EXPECT_EQ(choose_line(scores, 4, exact, rng), 0);
    EXPECT_EQ(choose_line(scores, 1, weak, rng), 0);
}

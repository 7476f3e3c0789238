// The win/draw/loss model: its shape over every score and material, the certain scores, the
// material count, and agreement with the fit that produced its coefficients.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "eval/wdl.h"
#include "search/tablebase.h"
#include "search/tt.h"
#include "support.h"

namespace {

constexpr int SCORE_LIMIT = 32767;
// Every material the board can hold, and some it cannot, to reach the clamp from both sides.
constexpr int MATERIAL_LOW = -20, MATERIAL_HIGH = 120;

bool same(const Wdl& x, const Wdl& y) { return x.win == y.win && x.draw == y.draw && x.loss == y.loss; }
std::string text(const Wdl& w) {
    return std::to_string(w.win) + "/" + std::to_string(w.draw) + "/" + std::to_string(w.loss);
}

// Over every score and material: permille summing to 1000 with none below zero, win rising and
// loss falling with the score, and a negated score swapping them exactly.
TEST(Wdl, EveryScoreGivesOddsMonotoneAndSymmetric) {
    for (int m = MATERIAL_LOW; m <= MATERIAL_HIGH; m++) {
        Wdl before = wdl_from_score(-SCORE_LIMIT, m);
        for (int s = -SCORE_LIMIT; s <= SCORE_LIMIT; s++) {
            const Wdl w = wdl_from_score(s, m), mirrored = wdl_from_score(-s, m);
            ASSERT_TRUE(w.win >= 0 && w.draw >= 0 && w.loss >= 0 && w.win + w.draw + w.loss == 1000)
                << s << " at " << m << ": " << text(w);
            ASSERT_TRUE(w.win >= before.win && w.loss <= before.loss) << s << " at " << m;
            ASSERT_TRUE(same(w, Wdl{mirrored.loss, mirrored.draw, mirrored.win}))
                << s << " at " << m << ": " << text(w) << " against " << text(mirrored);
            before = w;
        }
    }
}

// Mates and tablebase results are certain; so, to the permille, is a score of many queens.
TEST(Wdl, DecidedScoresAreCertain) {
    const int bands[][2] = {{TB_WIN_LIMIT, TB_WIN_SCORE}, {MATE_THRESHOLD + 1, MATE_SCORE}};
    for (int m = 0; m <= 78; m++) {
        for (const auto& band : bands)
            for (int s = band[0]; s <= band[1]; s++) {
                ASSERT_TRUE(same(wdl_from_score(s, m), Wdl{1000, 0, 0})) << s << " at " << m;
                ASSERT_TRUE(same(wdl_from_score(-s, m), Wdl{0, 0, 1000})) << -s << " at " << m;
            }
        EXPECT_EQ(wdl_from_score(5000, m).win, 1000) << m;
    }
}

// Even scores are drawn more often than not decided either way, whatever the material.
TEST(Wdl, EvenScoreIsMostLikelyADraw) {
    for (int m = 0; m <= 78; m++) {
        const Wdl w = wdl_from_score(0, m);
        EXPECT_GT(w.draw, w.win) << m << ": " << text(w);
    }
}

TEST(Wdl, MaterialOutsideTheFittedRangeCountsAsItsEnd) {
    bool material_matters = false;
    for (int s = -2000; s <= 2000; s++) {
        const Wdl low = wdl_from_score(s, WDL_MATERIAL_MIN), high = wdl_from_score(s, WDL_MATERIAL_MAX);
        for (int m : {MATERIAL_LOW, 0, WDL_MATERIAL_MIN - 1})
            ASSERT_TRUE(same(wdl_from_score(s, m), low)) << s << " at " << m;
        for (int m : {WDL_MATERIAL_MAX + 1, MATERIAL_HIGH})
            ASSERT_TRUE(same(wdl_from_score(s, m), high)) << s << " at " << m;
        material_matters |= !same(low, high);
    }
    EXPECT_TRUE(material_matters);
}

// Printed by tools/wdl/fit.mjs for these inputs; the engine rounds alike, so they agree to within
// one permille (exp may differ in its last bit between the two).
TEST(Wdl, AgreesWithTheFit) {
    struct Case {
        int score, material;
        Wdl expected;
    };
    const Case cases[] = {
        {0, 78, {305, 390, 305}}, {50, 78, {454, 358, 188}}, {-120, 60, {47, 265, 688}}, {100, 40, {633, 333, 34}},
        {200, 24, {921, 78, 1}},  {-40, 10, {6, 942, 52}},   {300, 5, {984, 16, 0}},
    };
    for (const Case& c : cases) {
        const Wdl w = wdl_from_score(c.score, c.material);
        EXPECT_NEAR(w.win, c.expected.win, 1) << c.score << " at " << c.material << ": " << text(w);
        EXPECT_NEAR(w.loss, c.expected.loss, 1) << c.score << " at " << c.material << ": " << text(w);
    }
}

// Material read from the FEN letters, as the fit counted it.
int fen_material(const std::string& fen) {
    int m = 0;
    for (char c : fen.substr(0, fen.find(' '))) switch (c | 0x20) {
            case 'p': m += 1; break;
            case 'n': case 'b': m += 3; break;
            case 'r': m += 5; break;
            case 'q': m += 9; break;
        }
    return m;
}

TEST(Wdl, MaterialCountsPiecesOfBothSides) {
    init_engine_tables();
    EXPECT_EQ(wdl_material(from_fen(START_FEN)), 78);
    EXPECT_EQ(wdl_material(from_fen("8/8/4k3/8/8/3K4/8/8 w - - 0 1")), 0);
    EXPECT_EQ(wdl_material(from_fen("8/2p5/4k3/1r6/8/3K1N2/6Q1/8 b - - 0 1")), 1 + 5 + 3 + 9);
    for (const Position& p : sample_positions(2000, 7)) {
        const std::string fen = fen_of(p);
        ASSERT_EQ(wdl_material(p), fen_material(fen)) << fen;
    }
}

}  // namespace

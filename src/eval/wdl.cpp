#include "eval/wdl.h"

#include <algorithm>
#include <cmath>

namespace {

// Fitted by tools/wdl/fit.mjs on 1614 of 2000 self-play games of this engine (tools/wdl/play.mjs:
// every opening of tests/data/openings.epd twice, 40000 and 42000 nodes per move; doc/wdl.md has
// the held-out check). With x = material / 78, material clamped to the fitted range, a win is
// 1 / (1 + exp((a(x) - score) / b(x))), a and b cubic in x, lowest power first.
constexpr double WDL_A[4] = {201.64686106211255, -554.7593034403467, 767.7708934181098, -350.0156343931595};
constexpr double WDL_B[4] = {28.112484843366104, 61.40697094489416, -51.94240674372036, 40.9293670439539};
constexpr double WDL_MATERIAL_SCALE = 78;
// The logistic is 0 or 1 to double precision long before this; the cap keeps exp finite.
constexpr double WDL_LOGIT_CAP = 50;

double cubic(const double* c, double x) { return ((c[3] * x + c[2]) * x + c[1]) * x + c[0]; }

int logistic_permille(double u) {
    u = std::clamp(u, -WDL_LOGIT_CAP, WDL_LOGIT_CAP);
    return int(1000.0 / (1.0 + std::exp(-u)) + 0.5);
}

}  // namespace

int wdl_material(const Position& pos) {
    int m = 0;
    for (int side = WHITE; side <= BLACK; side++) {
        const Bitboard* b = pos.bb[side];
        m += popcount(b[PAWN]) + 3 * popcount(b[KNIGHT] | b[BISHOP]) + 5 * popcount(b[ROOK]) + 9 * popcount(b[QUEEN]);
    }
    return m;
}

// Win and loss are rounded alike from mirrored arguments, so negating the score swaps them exactly;
// a(x) > 0 keeps their exact sum below 1, so the rounded sum stays at most 1000.
Wdl wdl_from_score(int score, int material) {
    if (score >= WDL_DECIDED) return {1000, 0, 0};
    if (score <= -WDL_DECIDED) return {0, 0, 1000};
    const double x = std::clamp(material, WDL_MATERIAL_MIN, WDL_MATERIAL_MAX) / WDL_MATERIAL_SCALE;
    const double a = cubic(WDL_A, x), b = cubic(WDL_B, x);
    const int win = logistic_permille((score - a) / b), loss = logistic_permille((-score - a) / b);
    return {win, 1000 - win - loss, loss};
}

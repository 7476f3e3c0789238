#include "eval/wdl.h"

#include <algorithm>
#include <cmath>

namespace {

// Fitted by tools/wdl/fit.mjs on GAMES self-play games of this engine at 40000 nodes per move
// (tools/wdl/play.mjs; doc/wdl.md has the data and the held-out check). For x = material / 78,
// clamped to the fitted range, a win is 1 / (1 + exp((a(x) - score) / b(x))), with a and b cubic.
constexpr double WDL_A[4] = {172.74289317930968, -506.51632516730564, 924.6080034553532, -513.7776016499295};
constexpr double WDL_B[4] = {28.684317901625565, -94.08543286699336, 339.83191161159925, -210.67997923721342};
constexpr double WDL_MATERIAL_SCALE = 78;
// Scores from here outward are tablebase results and mates: no longer odds.
constexpr int WDL_DECIDED = 30744;
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

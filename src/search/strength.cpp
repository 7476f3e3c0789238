#include "search/strength.h"

#include <cmath>

namespace {

// Fitted to games against an engine of known limited strength (doc/strength.md): the node budget
// doubles every 120 Elo up to the knee, then every 75 Elo.
constexpr double NODES_AT_MIN = 800;
constexpr int KNEE_ELO = 1600;
constexpr double ELO_PER_DOUBLING_BELOW_KNEE = 120;
constexpr double ELO_PER_DOUBLING_ABOVE_KNEE = 75;
constexpr double SPREAD_AT_MIN = 80;
constexpr double MAX_LOSS_AT_MIN = 250;
constexpr double MAX_LOSS_AT_MAX = 0;

double fraction_of_range(int elo) {
    const int e = elo < STRENGTH_ELO_MIN ? STRENGTH_ELO_MIN : (elo > STRENGTH_ELO_MAX ? STRENGTH_ELO_MAX : elo);
    return double(e - STRENGTH_ELO_MIN) / (STRENGTH_ELO_MAX - STRENGTH_ELO_MIN);
}

uint64_t next_random(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

StrengthLevel strength_level(int elo) {
    const double f = fraction_of_range(elo);
    const double e = STRENGTH_ELO_MIN + f * (STRENGTH_ELO_MAX - STRENGTH_ELO_MIN);
    const double below = (e < KNEE_ELO ? e : KNEE_ELO) - STRENGTH_ELO_MIN, above = e > KNEE_ELO ? e - KNEE_ELO : 0;
    const double doublings = below / ELO_PER_DOUBLING_BELOW_KNEE + above / ELO_PER_DOUBLING_ABOVE_KNEE;
    StrengthLevel level;
    level.nodes = uint64_t(NODES_AT_MIN * std::exp2(doublings));
    level.spread = int(SPREAD_AT_MIN * (1 - f));
    level.max_loss = int(MAX_LOSS_AT_MIN + (MAX_LOSS_AT_MAX - MAX_LOSS_AT_MIN) * f);
    return level;
}

// Each line's chance falls off as exp(-loss / spread): near-equal moves are near-equal choices,
// a clear mistake is rare, and nothing beyond max_loss is played.
int choose_line(const int* scores, int count, const StrengthLevel& level, uint64_t& rng) {
    if (count <= 1 || level.spread <= 0) return 0;
    double weight[64], total = 0;
    int n = 0;
    for (; n < count && n < 64; n++) {
        const double loss = double(scores[0]) - double(scores[n]);
        if (loss > level.max_loss) break;
        weight[n] = std::exp(-loss / level.spread);
        total += weight[n];
    }
    double draw = double(next_random(rng) >> 11) / double(1ULL << 53) * total;
    for (int i = 0; i < n; i++) {
        draw -= weight[i];
        if (draw < 0) return i;
    }
    return 0;
}

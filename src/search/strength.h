// Playing below full strength: a node budget per move and a seeded choice among the best lines,
// both set by one Elo figure.
#pragma once
#include <cstdint>

constexpr int STRENGTH_ELO_MIN = 1200;
constexpr int STRENGTH_ELO_MAX = 2200;

struct StrengthLevel {
    uint64_t nodes;  // per move
    int spread;      // centipawns: how far below the best a move keeps a fair chance
    int max_loss;    // centipawns: no move further below the best is ever chosen
};

StrengthLevel strength_level(int elo);

// The index of the chosen line among count lines, best first; scores are from the mover's side.
int choose_line(const int* scores, int count, const StrengthLevel& level, uint64_t& rng);

// Win/draw/loss odds of a search score, from a model fitted on the engine's own games.
#pragma once
#include "board/position.h"

// Permille from the side to move's view; the three always sum to 1000.
struct Wdl {
    int win, draw, loss;
};

// The material the model was fitted on: pawn 1, knight and bishop 3, rook 5, queen 9, both sides
// summed, so 78 at the start and 0 with bare kings.
int wdl_material(const Position& pos);

// The fitted range of material; the model reads material outside it as the nearer end.
constexpr int WDL_MATERIAL_MIN = 4;
constexpr int WDL_MATERIAL_MAX = 78;

// Scores from here outward are tablebase results and mates: no longer odds.
constexpr int WDL_DECIDED = 30744;

// The odds of `score` as the search reports it, from the mover's view. Mate and tablebase scores
// are certain.
Wdl wdl_from_score(int score, int material);

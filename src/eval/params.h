// Named opening/endgame evaluation weights and their UCI exposure.
#pragma once
#include <cstdint>

#include "eval/score.h"

struct EvalParam {
    char name[64];
    ScorePair* value;
    int32_t min;
    int32_t max;
};

// Ends at the first record with an empty name.
extern EvalParam eval_params[];

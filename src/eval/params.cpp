// Placeholder until the evaluation lands.
#include "eval/params.h"

static ScorePair hmb = make_pair_score(114, 50);
EvalParam eval_params[] = {{"hmb", &hmb, -9999, 9999}, {"", nullptr, 0, 0}};

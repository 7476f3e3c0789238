// Named opening/endgame evaluation weights and their UCI exposure.
#pragma once
#include <cstdint>
#include <cstdio>

#include "board/score.h"

// Every weight of the evaluation (endgame in the low half of each pair).
struct EvalWeights {
    ScorePair hmb, bwps, bwpo, upThreat, gaThreat, nmob, bmob, rmob;
    ScorePair qmob, hemrook, binfrontk, bnopp, reRookBehind, reKinFront, kppdist, nblockade;
    ScorePair pathClearAndProtected, pathClearNotProtected, pathProtected, pathNotProtected, pathOpenFriendly, protectedPassed, fkpass, ekpass;
    ScorePair basePassed, eternal, pval, nval, bval, rval, qval, bpair;
    ScorePair rpair, qpair, nwp, rwp, qwp, extra, rconnected, kndist;
    ScorePair twopassed, pmob, pdev, ropen, rquarter, rhalf, blockedopen, ntabm;
    ScorePair btabm, rtabm, qtabm, ktabm, luftp, pin, outpost, minorbehind;
    ScorePair rook7th, krights, qrights, pdoubndef, pdoubled, predundant, islands, isoh;
    ScorePair isoo, disoo, disoh, duofended, pbkwd, ptabm, ksafety, storm;
    ScorePair shelter, outsq;
};

// The engine's weights. A search reads them through the tables built from them; tests that want
// others build their own set and pass it to the table builder.
extern const EvalWeights default_weights;

// Fixed pairs read only by the table builder: passed-pawn rank steps and the connected-passer numerator.
extern const ScorePair passer_step_a, passer_step_b, connected_numerator;

// A weight by name with its option range.
struct EvalParam {
    char name[64];
    ScorePair EvalWeights::*field;
    int32_t min;
    int32_t max;
};
// The records that options reach end at the first empty name; all records follow, closed by one more.
extern const EvalParam eval_params[];
constexpr int EVAL_PARAM_RECORDS = 76;

// The reachable record whose lower-cased "<name> open" or "<name> end" equals name
// (already lower-cased), or nullptr; *opening tells which half matched.
const EvalParam* find_eval_param(const char* name, bool* opening);
// Stores the low 31 bits of value into one half of the record's weight; the other half is kept.
void set_eval_param_half(EvalWeights& w, const EvalParam& p, bool opening, long value);
// Two spin-option lines per reachable record, with the weights' values as defaults.
void print_eval_param_options(FILE* out, const EvalWeights& w);

// Named opening/endgame evaluation weights and their UCI exposure.
#pragma once
#include <cstdint>
#include <cstdio>

#include "board/score.h"

struct EvalParam {
    char name[64];
    ScorePair* value;
    int32_t min;
    int32_t max;
};

// Ends at the first record with an empty name.
extern EvalParam eval_params[];
// Every record including those past the first terminator; the array closes with one more empty record.
constexpr int EVAL_PARAM_RECORDS = 76;

// The weights themselves (endgame in the low half). Tuning writes them through eval_params.
extern ScorePair hmb, bwps, bwpo, upThreat, gaThreat, nmob, bmob, rmob, qmob, hemrook, binfrontk, bnopp,
    reRookBehind, reKinFront, kppdist, nblockade, pathClearAndProtected, pathClearNotProtected, pathProtected,
    pathNotProtected, pathOpenFriendly, protectedPassed, fkpass, ekpass, basePassed, eternal, pval, nval, bval,
    rval, qval, bpair, rpair, qpair, nwp, rwp, qwp, extra, rconnected, kndist, twopassed, pmob, pdev, ropen,
    rquarter, rhalf, blockedopen, ntabm, btabm, rtabm, qtabm, ktabm, luftp, pin, outpost, minorbehind, rook7th,
    krights, qrights, pdoubndef, pdoubled, predundant, islands, isoh, isoo, disoo, disoh, duofended, pbkwd, ptabm,
    ksafety, storm, shelter, outsq;

// Fixed pairs read only by the table builder: passed-pawn rank steps and the connected-passer numerator.
extern const ScorePair passer_step_a, passer_step_b, connected_numerator;

// Stores the low 31 bits of value into one half; the other half is kept.
void set_eval_param_half(EvalParam& p, bool opening, long value);
// One half, sign-extended.
int eval_param_half(const EvalParam& p, bool opening);

// The reachable record whose lower-cased "<name> open" or "<name> end" equals name
// (already lower-cased), or nullptr; *opening tells which half matched.
EvalParam* find_eval_param(const char* name, bool* opening);
// Two spin-option lines per reachable record, with the current values as defaults.
void print_eval_param_options(FILE* out);

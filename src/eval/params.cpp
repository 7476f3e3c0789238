#include "eval/params.h"

#include <cctype>
#include <cstring>

// make_pair_score takes (opening, endgame).
ScorePair hmb = make_pair_score(114, 50);
ScorePair bwps = make_pair_score(-16, -15);
ScorePair bwpo = make_pair_score(23, 18);
ScorePair upThreat = make_pair_score(113, 125);
ScorePair gaThreat = make_pair_score(30, 36);
ScorePair nmob = make_pair_score(39, 29);
ScorePair bmob = make_pair_score(44, 50);
ScorePair rmob = make_pair_score(14, 35);
ScorePair qmob = make_pair_score(26, 24);
ScorePair hemrook = make_pair_score(-300, -100);
ScorePair binfrontk = make_pair_score(55, 0);
ScorePair bnopp = make_pair_score(15, 16);
ScorePair reRookBehind = make_pair_score(64, 400);
ScorePair reKinFront = make_pair_score(0, 130);
ScorePair kppdist = make_pair_score(0, 25);
ScorePair nblockade = make_pair_score(20, 40);
ScorePair pathClearAndProtected = make_pair_score(11, 66);
ScorePair pathClearNotProtected = make_pair_score(10, 60);
ScorePair pathProtected = make_pair_score(9, 40);
ScorePair pathNotProtected = make_pair_score(5, 24);
ScorePair pathOpenFriendly = make_pair_score(1, 4);
ScorePair protectedPassed = make_pair_score(18, 30);
ScorePair fkpass = make_pair_score(0, -45);
ScorePair ekpass = make_pair_score(0, 75);
ScorePair basePassed = make_pair_score(45, 32);
ScorePair eternal = make_pair_score(208, 120);
ScorePair pval = make_pair_score(600, 900);
ScorePair nval = make_pair_score(3000, 3000);
ScorePair bval = make_pair_score(3150, 3150);
ScorePair rval = make_pair_score(4300, 5400);
ScorePair qval = make_pair_score(9000, 9600);
ScorePair bpair = make_pair_score(325, 500);
ScorePair rpair = make_pair_score(-200, -120);
ScorePair qpair = make_pair_score(-150, -100);
ScorePair nwp = make_pair_score(21, 21);
ScorePair rwp = make_pair_score(-21, -21);
ScorePair qwp = make_pair_score(-6, -5);
ScorePair extra = make_pair_score(600, 250);
ScorePair rconnected = make_pair_score(22, 7);
ScorePair kndist = make_pair_score(4, 3);
ScorePair twopassed = make_pair_score(35, 117);
ScorePair pmob = make_pair_score(36, 157);
ScorePair pdev = make_pair_score(17, 4);
ScorePair ropen = make_pair_score(171, 154);
ScorePair rquarter = make_pair_score(28, 60);
ScorePair rhalf = make_pair_score(106, 95);
ScorePair blockedopen = make_pair_score(-53, -92);
ScorePair ntabm = make_pair_score(25, 14);
ScorePair btabm = make_pair_score(10, 12);
ScorePair rtabm = make_pair_score(12, 16);
ScorePair qtabm = make_pair_score(10, 11);
ScorePair ktabm = make_pair_score(8, 16);
ScorePair luftp = make_pair_score(-91, -180);
ScorePair pin = make_pair_score(30, 42);
ScorePair outpost = make_pair_score(43, 28);
ScorePair minorbehind = make_pair_score(28, 9);
ScorePair rook7th = make_pair_score(61, 167);
ScorePair krights = make_pair_score(92, 0);
ScorePair qrights = make_pair_score(70, 0);
ScorePair pdoubndef = make_pair_score(-34, -35);
ScorePair pdoubled = make_pair_score(-37, -59);
ScorePair predundant = make_pair_score(6, 9);
ScorePair islands = make_pair_score(-26, -54);
ScorePair isoh = make_pair_score(-30, -31);
ScorePair isoo = make_pair_score(-115, -133);
ScorePair disoo = make_pair_score(-27, -48);
ScorePair disoh = make_pair_score(-13, -7);
ScorePair duofended = make_pair_score(32, 4);
ScorePair pbkwd = make_pair_score(-34, -32);
ScorePair ptabm = make_pair_score(10, 9);
ScorePair ksafety = make_pair_score(6, 0);
ScorePair storm = make_pair_score(11, 0);
ScorePair shelter = make_pair_score(11, 0);
ScorePair outsq = make_pair_score(72, 83);

const ScorePair passer_step_a = make_pair_score(47, 32);
const ScorePair passer_step_b = make_pair_score(142, 92);
const ScorePair connected_numerator = make_pair_score(0, 5);

// Only hmb precedes the first terminator, so only hmb is listed and settable;
// the rest still name their pairs for anyone walking past it.
EvalParam eval_params[EVAL_PARAM_RECORDS] = {
    {"hmb", &hmb, -9999, 9999},
    {"", nullptr, 0, 0},
    {"bwps", &bwps, -9999, 9999},
    {"bwpo", &bwpo, -9999, 9999},
    {"upThreat", &upThreat, 0, 500},
    {"gaThreat", &gaThreat, 0, 500},
    {"nmob", &nmob, -9999, 9999},
    {"bmob", &bmob, -9999, 9999},
    {"rmob", &rmob, -9999, 9999},
    {"qmob", &qmob, -9999, 9999},
    {"hemrook", &hemrook, -9999, 9999},
    {"binfrontk", &binfrontk, -9999, 9999},
    {"bnopp", &bnopp, -9999, 9999},
    {"reRookBehind", &reRookBehind, -9999, 9999},
    {"reKinFront", &reKinFront, -9999, 9999},
    {"kppdist", &kppdist, -9999, 9999},
    {"nblockade", &nblockade, -9999, 9999},
    {"pathClearAndProtected", &pathClearAndProtected, -9999, 9999},
    {"pathClearNotProtected", &pathClearNotProtected, -9999, 9999},
    {"pathProtected", &pathProtected, -9999, 999},
    {"pathNotProtected", &pathNotProtected, -9999, 999},
    {"pathOpenFriendly", &pathOpenFriendly, -9999, 999},
    {"protectedPassed", &protectedPassed, -9999, 999},
    {"fkpass", &fkpass, -9999, 9999},
    {"ekpass", &ekpass, -9999, 9999},
    {"basePassed", &basePassed, -9999, 9999},
    {"eternal", &eternal, -9999, 9999},
    {"pval", &pval, -9999, 9999},
    {"nval", &nval, -9999, 9999},
    {"bval", &bval, -9999, 9999},
    {"rval", &rval, -9999, 9999},
    {"qval", &qval, -20000, 20000},
    {"bpair", &bpair, -9999, 9999},
    {"rpair", &rpair, -9999, 9999},
    {"qpair", &qpair, -9999, 9999},
    {"nwp", &nwp, -9999, 9999},
    {"rwp", &rwp, -9999, 9999},
    {"qwp", &qwp, -9999, 9999},
    {"extra", &extra, -9999, 9999},
    {"rconnected", &rconnected, -9999, 9999},
    {"kndist", &kndist, -9999, 9999},
    {"twopassed", &twopassed, -9999, 9999},
    {"pmob", &pmob, -9999, 9999},
    {"pdev", &pdev, -9999, 9999},
    {"ropen", &ropen, -9999, 9999},
    {"rquarter", &rquarter, -9999, 9999},
    {"rhalf", &rhalf, -9999, 9999},
    {"blockedopen", &blockedopen, -9999, 9999},
    {"ntabm", &ntabm, -9999, 9999},
    {"btabm", &btabm, -9999, 9999},
    {"rtabm", &rtabm, -9999, 9999},
    {"qtabm", &qtabm, -9999, 9999},
    {"ktabm", &ktabm, -9999, 9999},
    {"luftp", &luftp, -9999, 9999},
    {"pin", &pin, -9999, 9999},
    {"outpost", &outpost, -9999, 9999},
    {"minorbehind", &minorbehind, -9999, 9999},
    {"rook7th", &rook7th, -9999, 9999},
    {"krights", &krights, -9999, 9999},
    {"qrights", &qrights, -9999, 9999},
    {"pdoubndef", &pdoubndef, -9999, 9999},
    {"pdoubled", &pdoubled, -9999, 9999},
    {"predundant", &predundant, -9999, 9999},
    {"islands", &islands, -9999, 9999},
    {"isoh", &isoh, -9999, 9999},
    {"isoo", &isoo, -9999, 9999},
    {"disoo", &disoo, -9999, 9999},
    {"disoh", &disoh, -9999, 9999},
    {"duofended", &duofended, -9999, 9999},
    {"pbkwd", &pbkwd, -9999, 9999},
    {"ptabm", &ptabm, -9999, 9999},
    {"ksafety", &ksafety, -9999, 9999},
    {"storm", &storm, -9999, 9999},
    {"shelter", &shelter, -9999, 9999},
    {"outsq", &outsq, -9999, 9999},
    {"", nullptr, 0, 0},
};

void set_eval_param_half(EvalParam& p, bool opening, long value) {
    if (!p.value) return;
    const int32_t v = int32_t(value);
    *p.value = opening ? make_pair_score(v, pair_end(*p.value)) : make_pair_score(pair_open(*p.value), v);
}

int eval_param_half(const EvalParam& p, bool opening) {
    if (!p.value) return 0;
    return opening ? pair_open(*p.value) : pair_end(*p.value);
}

// Lower-cased record name plus suffix, cut to the record's name size.
static void option_name(const EvalParam& p, const char* suffix, char* out) {
    int n = 0;
    for (; p.name[n] && n < 63; n++) out[n] = char(tolower(static_cast<unsigned char>(p.name[n])));
    for (int i = 0; suffix[i] && n < 79; i++) out[n++] = suffix[i];
    out[n] = 0;
}

EvalParam* find_eval_param(const char* name, bool* opening) {
    char buf[80];
    for (EvalParam* p = eval_params; p->name[0]; p++) {
        option_name(*p, " open", buf);
        if (!strcmp(buf, name)) {
            *opening = true;
            return p;
        }
        option_name(*p, " end", buf);
        if (!strcmp(buf, name)) {
            *opening = false;
            return p;
        }
    }
    return nullptr;
}

void print_eval_param_options(FILE* out) {
    for (const EvalParam* p = eval_params; p->name[0]; p++) {
        fprintf(out, "option name %s open type spin default %d min %d max %d\n", p->name, pair_open(*p->value),
                int(p->min), int(p->max));
        fprintf(out, "option name %s end type spin default %d min %d max %d\n", p->name, pair_end(*p->value),
                int(p->min), int(p->max));
    }
}

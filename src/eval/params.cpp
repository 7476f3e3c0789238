#include "eval/params.h"

#include <cctype>
#include <cstring>

// make_pair_score takes (opening, endgame).
const EvalWeights default_weights = {
    .hmb = make_pair_score(114, 50),
    .bwps = make_pair_score(-16, -15),
    .bwpo = make_pair_score(23, 18),
    .upThreat = make_pair_score(113, 125),
    .gaThreat = make_pair_score(30, 36),
    .nmob = make_pair_score(39, 29),
    .bmob = make_pair_score(44, 50),
    .rmob = make_pair_score(14, 35),
    .qmob = make_pair_score(26, 24),
    .hemrook = make_pair_score(-300, -100),
    .binfrontk = make_pair_score(55, 0),
    .bnopp = make_pair_score(15, 16),
    .reRookBehind = make_pair_score(64, 400),
    .reKinFront = make_pair_score(0, 130),
    .kppdist = make_pair_score(0, 25),
    .nblockade = make_pair_score(20, 40),
    .pathClearAndProtected = make_pair_score(11, 66),
    .pathClearNotProtected = make_pair_score(10, 60),
    .pathProtected = make_pair_score(9, 40),
    .pathNotProtected = make_pair_score(5, 24),
    .pathOpenFriendly = make_pair_score(1, 4),
    .protectedPassed = make_pair_score(18, 30),
    .fkpass = make_pair_score(0, -45),
    .ekpass = make_pair_score(0, 75),
    .basePassed = make_pair_score(45, 32),
    .eternal = make_pair_score(208, 120),
    .pval = make_pair_score(600, 900),
    .nval = make_pair_score(3000, 3000),
    .bval = make_pair_score(3150, 3150),
    .rval = make_pair_score(4300, 5400),
    .qval = make_pair_score(9000, 9600),
    .bpair = make_pair_score(325, 500),
    .rpair = make_pair_score(-200, -120),
    .qpair = make_pair_score(-150, -100),
    .nwp = make_pair_score(21, 21),
    .rwp = make_pair_score(-21, -21),
    .qwp = make_pair_score(-6, -5),
    .extra = make_pair_score(600, 250),
    .rconnected = make_pair_score(22, 7),
    .kndist = make_pair_score(4, 3),
    .twopassed = make_pair_score(35, 117),
    .pmob = make_pair_score(36, 157),
    .pdev = make_pair_score(17, 4),
    .ropen = make_pair_score(171, 154),
    .rquarter = make_pair_score(28, 60),
    .rhalf = make_pair_score(106, 95),
    .blockedopen = make_pair_score(-53, -92),
    .ntabm = make_pair_score(25, 14),
    .btabm = make_pair_score(10, 12),
    .rtabm = make_pair_score(12, 16),
    .qtabm = make_pair_score(10, 11),
    .ktabm = make_pair_score(8, 16),
    .luftp = make_pair_score(-91, -180),
    .pin = make_pair_score(30, 42),
    .outpost = make_pair_score(43, 28),
    .minorbehind = make_pair_score(28, 9),
    .rook7th = make_pair_score(61, 167),
    .krights = make_pair_score(92, 0),
    .qrights = make_pair_score(70, 0),
    .pdoubndef = make_pair_score(-34, -35),
    .pdoubled = make_pair_score(-37, -59),
    .predundant = make_pair_score(6, 9),
    .islands = make_pair_score(-26, -54),
    .isoh = make_pair_score(-30, -31),
    .isoo = make_pair_score(-115, -133),
    .disoo = make_pair_score(-27, -48),
    .disoh = make_pair_score(-13, -7),
    .duofended = make_pair_score(32, 4),
    .pbkwd = make_pair_score(-34, -32),
    .ptabm = make_pair_score(10, 9),
    .ksafety = make_pair_score(6, 0),
    .storm = make_pair_score(11, 0),
    .shelter = make_pair_score(11, 0),
    .outsq = make_pair_score(72, 83),
};

const ScorePair passer_step_a = make_pair_score(47, 32);
const ScorePair passer_step_b = make_pair_score(142, 92);
const ScorePair connected_numerator = make_pair_score(0, 5);

// Only hmb precedes the first terminator, so only hmb is listed and settable.
const EvalParam eval_params[EVAL_PARAM_RECORDS] = {
    {"hmb", &EvalWeights::hmb, -9999, 9999},
    {"", nullptr, 0, 0},
    {"bwps", &EvalWeights::bwps, -9999, 9999},
    {"bwpo", &EvalWeights::bwpo, -9999, 9999},
    {"upThreat", &EvalWeights::upThreat, 0, 500},
    {"gaThreat", &EvalWeights::gaThreat, 0, 500},
    {"nmob", &EvalWeights::nmob, -9999, 9999},
    {"bmob", &EvalWeights::bmob, -9999, 9999},
    {"rmob", &EvalWeights::rmob, -9999, 9999},
    {"qmob", &EvalWeights::qmob, -9999, 9999},
    {"hemrook", &EvalWeights::hemrook, -9999, 9999},
    {"binfrontk", &EvalWeights::binfrontk, -9999, 9999},
    {"bnopp", &EvalWeights::bnopp, -9999, 9999},
    {"reRookBehind", &EvalWeights::reRookBehind, -9999, 9999},
    {"reKinFront", &EvalWeights::reKinFront, -9999, 9999},
    {"kppdist", &EvalWeights::kppdist, -9999, 9999},
    {"nblockade", &EvalWeights::nblockade, -9999, 9999},
    {"pathClearAndProtected", &EvalWeights::pathClearAndProtected, -9999, 9999},
    {"pathClearNotProtected", &EvalWeights::pathClearNotProtected, -9999, 9999},
    {"pathProtected", &EvalWeights::pathProtected, -9999, 999},
    {"pathNotProtected", &EvalWeights::pathNotProtected, -9999, 999},
    {"pathOpenFriendly", &EvalWeights::pathOpenFriendly, -9999, 999},
    {"protectedPassed", &EvalWeights::protectedPassed, -9999, 999},
    {"fkpass", &EvalWeights::fkpass, -9999, 9999},
    {"ekpass", &EvalWeights::ekpass, -9999, 9999},
    {"basePassed", &EvalWeights::basePassed, -9999, 9999},
    {"eternal", &EvalWeights::eternal, -9999, 9999},
    {"pval", &EvalWeights::pval, -9999, 9999},
    {"nval", &EvalWeights::nval, -9999, 9999},
    {"bval", &EvalWeights::bval, -9999, 9999},
    {"rval", &EvalWeights::rval, -9999, 9999},
    {"qval", &EvalWeights::qval, -20000, 20000},
    {"bpair", &EvalWeights::bpair, -9999, 9999},
    {"rpair", &EvalWeights::rpair, -9999, 9999},
    {"qpair", &EvalWeights::qpair, -9999, 9999},
    {"nwp", &EvalWeights::nwp, -9999, 9999},
    {"rwp", &EvalWeights::rwp, -9999, 9999},
    {"qwp", &EvalWeights::qwp, -9999, 9999},
    {"extra", &EvalWeights::extra, -9999, 9999},
    {"rconnected", &EvalWeights::rconnected, -9999, 9999},
    {"kndist", &EvalWeights::kndist, -9999, 9999},
    {"twopassed", &EvalWeights::twopassed, -9999, 9999},
    {"pmob", &EvalWeights::pmob, -9999, 9999},
    {"pdev", &EvalWeights::pdev, -9999, 9999},
    {"ropen", &EvalWeights::ropen, -9999, 9999},
    {"rquarter", &EvalWeights::rquarter, -9999, 9999},
    {"rhalf", &EvalWeights::rhalf, -9999, 9999},
    {"blockedopen", &EvalWeights::blockedopen, -9999, 9999},
    {"ntabm", &EvalWeights::ntabm, -9999, 9999},
    {"btabm", &EvalWeights::btabm, -9999, 9999},
    {"rtabm", &EvalWeights::rtabm, -9999, 9999},
    {"qtabm", &EvalWeights::qtabm, -9999, 9999},
    {"ktabm", &EvalWeights::ktabm, -9999, 9999},
    {"luftp", &EvalWeights::luftp, -9999, 9999},
    {"pin", &EvalWeights::pin, -9999, 9999},
    {"outpost", &EvalWeights::outpost, -9999, 9999},
    {"minorbehind", &EvalWeights::minorbehind, -9999, 9999},
    {"rook7th", &EvalWeights::rook7th, -9999, 9999},
    {"krights", &EvalWeights::krights, -9999, 9999},
    {"qrights", &EvalWeights::qrights, -9999, 9999},
    {"pdoubndef", &EvalWeights::pdoubndef, -9999, 9999},
    {"pdoubled", &EvalWeights::pdoubled, -9999, 9999},
    {"predundant", &EvalWeights::predundant, -9999, 9999},
    {"islands", &EvalWeights::islands, -9999, 9999},
    {"isoh", &EvalWeights::isoh, -9999, 9999},
    {"isoo", &EvalWeights::isoo, -9999, 9999},
    {"disoo", &EvalWeights::disoo, -9999, 9999},
    {"disoh", &EvalWeights::disoh, -9999, 9999},
    {"duofended", &EvalWeights::duofended, -9999, 9999},
    {"pbkwd", &EvalWeights::pbkwd, -9999, 9999},
    {"ptabm", &EvalWeights::ptabm, -9999, 9999},
    {"ksafety", &EvalWeights::ksafety, -9999, 9999},
    {"storm", &EvalWeights::storm, -9999, 9999},
    {"shelter", &EvalWeights::shelter, -9999, 9999},
    {"outsq", &EvalWeights::outsq, -9999, 9999},
    {"", nullptr, 0, 0},
};

void set_eval_param_half(EvalWeights& w, const EvalParam& p, bool opening, long value) {
    ScorePair& pair = w.*p.field;
    const int32_t v = int32_t(value);
    pair = opening ? make_pair_score(v, pair_end(pair)) : make_pair_score(pair_open(pair), v);
}

// Lower-cased record name plus suffix, cut to the record's name size.
static void option_name(const EvalParam& p, const char* suffix, char* out) {
    int n = 0;
    for (; p.name[n] && n < 63; n++) out[n] = char(tolower(static_cast<unsigned char>(p.name[n])));
    for (int i = 0; suffix[i] && n < 79; i++) out[n++] = suffix[i];
    out[n] = 0;
}

const EvalParam* find_eval_param(const char* name, bool* opening) {
    char buf[80];
    for (const EvalParam* p = eval_params; p->name[0]; p++) {
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

void print_eval_param_options(FILE* out, const EvalWeights& w) {
    for (const EvalParam* p = eval_params; p->name[0]; p++) {
        const ScorePair v = w.*p->field;
        fprintf(out, "option name %s open type spin default %d min %d max %d\n", p->name, pair_open(v), int(p->min),
                int(p->max));
        fprintf(out, "option name %s end type spin default %d min %d max %d\n", p->name, pair_end(v), int(p->min),
                int(p->max));
    }
}

// Helpers for the evaluation tests: evaluable positions, colour mirrors, parameter nudges.
#pragma once
#include <cstring>
#include <sstream>
#include <string>

#include "search/worker.h"
#include "board/position.h"
#include "eval/endgame.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "eval/pawns.h"
#include "eval/tables.h"
#include "support.h"

// A FEN position with the piece-square sum and phase filled in, as the driver does.
inline Position eval_position(const char* fen) {
    Position p = from_fen(fen);
    fill_eval_fields(p);
    return p;
}

// Board flipped top to bottom, colours, side to move, castling and en passant swapped.
inline std::string mirror_fen(const std::string& fen) {
    std::istringstream in(fen);
    std::string board, side, castle, ep = "-", rank, out;
    in >> board >> side >> castle >> ep;
    std::istringstream ranks(board);
    while (std::getline(ranks, rank, '/')) out = rank + (out.empty() ? "" : "/") + out;
    for (char& c : out) c = isalpha(static_cast<unsigned char>(c)) ? char(c ^ 0x20) : c;
    out += side == "w" ? " b " : " w ";
    const size_t rights = out.size();
    for (char c : {'K', 'Q', 'k', 'q'})
        if (castle.find(char(c ^ 0x20)) != std::string::npos) out += c;
    if (out.size() == rights) out += '-';
    if (ep.size() == 2) ep[1] = char('1' + ('8' - ep[1]));
    return out + " " + ep;
}

inline Position mirrored(const Position& p) { return eval_position(mirror_fen(fen_of(p)).c_str()); }

// The record of a weight by name, reachable by options or not.
inline const EvalParam* param_record(const char* name) {
    for (int i = 0; i < EVAL_PARAM_RECORDS; i++)
        if (!strcmp(eval_params[i].name, name)) return &eval_params[i];
    return nullptr;
}

// The evaluation built from weights that differ from the engine's in one pair, for the life of the
// object; the side-to-move bonus follows hmb. Back to the engine's weights afterwards.
struct ParamNudge {
    explicit ParamNudge(const char* name, int d_open, int d_end) {
        EvalWeights w = default_weights;
        ScorePair& v = w.*param_record(name)->field;
        v = pair_add(v, make_pair_score(d_open, d_end));
        use(w);
    }
    ~ParamNudge() { use(default_weights); }
    static void use(const EvalWeights& w) {
        buildEvalTables(w);
        eval_tables_clear(test_worker().eval);
        eval_tables_use_bonus(test_worker().eval, w.hmb);
    }
};

inline int fresh_eval(const char* fen) {
    Position p = eval_position(fen);
    return evaluate_uncached(p, test_worker().eval);
}

// The pawn structure pair of a position, read afresh, and the entry it left.
inline ScorePair pawns_of(const char* fen, const PawnEntry*& e) {
    Position p = eval_position(fen);
    pawn_table_clear(test_worker().eval.pawns);
    return evaluatePawns(p, test_worker().eval.pawns, e);
}

// Change of the pawn-structure pair when a parameter moves.
inline ScorePair pawn_delta(const char* fen, const char* name, int d_open, int d_end) {
    const PawnEntry* e;
    const ScorePair before = pawns_of(fen, e);
    ParamNudge nudge(name, d_open, d_end);
    return pair_sub(pawns_of(fen, e), before);
}

// White's gain between the parameter moved by (d_open, d_end) and by twice that; D = 960000 is far
// above any real score so that no rounding step changes between the two evaluations.
inline int param_gain(const char* fen, const char* name, int d_open, int d_end) {
    int a[3];
    for (int k = 1; k <= 2; k++) {
        ParamNudge nudge(name, k * d_open, k * d_end);
        a[k] = fresh_eval(fen);
    }
    return (eval_position(fen).ply & 1) ? a[1] - a[2] : a[2] - a[1];
}

// The gain per unit of D: the net count of a term (white minus black) times the scale, in per mille.
inline int term_units(const char* fen, const char* name) {
    const int gain = param_gain(fen, name, 960000, 960000);
    return gain % 96 ? 999999999 : gain / 96;
}

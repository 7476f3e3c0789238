// Helpers for the evaluation tests: evaluable positions, colour mirrors, parameter nudges.
#pragma once
#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "board/position.h"
#include "eval/endgame.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "eval/pawns.h"
#include "eval/tables.h"
#include "support.h"

// Builds the tables once; parameter nudges rebuild them themselves.
inline void init_eval() {
    static bool done = false;
    if (done) return;
    done = true;
    init_engine_tables();
    build_ending_hash();
    buildEvalTables();
}

// A FEN position with the piece-square sum and phase filled in, as the driver does.
inline Position eval_position(const char* fen) {
    init_eval();
    Position p = from_fen(fen);
    p.pst = compute_pst(p);
    p.phase = int16_t(compute_phase(p));
    return p;
}

inline std::string fen_of(const Position& p) {
    char buf[128];
    position_to_fen(p, buf, sizeof buf);
    return buf;
}

// Board flipped top to bottom, colours, side to move, castling and en passant swapped.
inline std::string mirror_fen(const std::string& fen) {
    std::istringstream in(fen);
    std::string board, side, castle, ep = "-";
    in >> board >> side >> castle >> ep;
    std::string ranks[8];
    int r = 0;
    for (char c : board) {
        if (c == '/') {
            r = r < 7 ? r + 1 : 7;
            continue;
        }
        if (isalpha(static_cast<unsigned char>(c))) c = char(c ^ 0x20);
        ranks[r].push_back(c);
    }
    std::ostringstream out;
    for (int i = 7; i >= 0; i--) out << ranks[i] << (i ? "/" : "");
    out << ' ' << (side == "w" ? 'b' : 'w') << ' ';
    bool any = false;
    for (char c : {'K', 'Q', 'k', 'q'})
        if (castle.find(char(c ^ 0x20)) != std::string::npos) out << c, any = true;
    if (!any) out << '-';
    if (ep.size() == 2) ep[1] = char('1' + ('8' - ep[1]));
    out << ' ' << ep;
    return out.str();
}

inline Position mirrored(const Position& p) { return eval_position(mirror_fen(fen_of(p)).c_str()); }

inline EvalParam& param_named(const char* name) {
    for (int i = 0; i < EVAL_PARAM_RECORDS; i++)
        if (!strcmp(eval_params[i].name, name)) return eval_params[i];
    return eval_params[EVAL_PARAM_RECORDS - 1];
}

// Changes one parameter for the life of the object, rebuilding the tables both ways.
struct ParamNudge {
    ScorePair* target;
    ScorePair saved;
    ParamNudge(const char* name, int d_open, int d_end) : target(param_named(name).value), saved(*target) {
        *target = pair_add(*target, make_pair_score(d_open, d_end));
        buildEvalTables();
        eval_cache_clear();
    }
    ~ParamNudge() {
        *target = saved;
        buildEvalTables();
        eval_cache_clear();
    }
};

inline int fresh_eval(const char* fen) {
    Position p = eval_position(fen);
    return evaluate_uncached(p, true);
}

// Change of the evaluation when a parameter moves by (d_open, d_end).
inline int eval_delta(const char* fen, const char* name, int d_open, int d_end) {
    const int before = fresh_eval(fen);
    ParamNudge nudge(name, d_open, d_end);
    return fresh_eval(fen) - before;
}

// Change of the pawn-structure pair when a parameter moves.
inline ScorePair pawn_delta(const char* fen, const char* name, int d_open, int d_end) {
    Position p = eval_position(fen);
    const PawnEntry* e;
    pawn_table_clear();
    const ScorePair before = evaluatePawns(p, e);
    ParamNudge nudge(name, d_open, d_end);
    return pair_sub(evaluatePawns(p, e), before);
}

// White's gain when a parameter moves from d to 2d (halves given), with d far above any real
// score so that no rounding step changes between the two evaluations.
inline int doubled_nudge_gain(const char* fen, const char* name, int d_open, int d_end) {
    int a[2];
    for (int k = 1; k <= 2; k++) {
        ParamNudge n(name, k * d_open, k * d_end);
        a[k - 1] = fresh_eval(fen);
    }
    return (eval_position(fen).ply & 1) ? a[0] - a[1] : a[1] - a[0];
}

// Net count of a term (white minus black, per unit of the parameter) times the scale in force,
// in per mille.
inline int term_units(const char* fen, const char* name) {
    const int diff = doubled_nudge_gain(fen, name, 960000, 960000);
    return diff % 96 ? 999999999 : diff / 96;
}

// The same with only one half moved: the count times the scale times that half's phase weight.
inline int half_units(const char* fen, const char* name, bool opening) {
    return doubled_nudge_gain(fen, name, opening ? 960000 : 0, opening ? 0 : 960000);
}

// Net sum (white minus black) of the indexes a count table is read at, times the scale:
// the table is replaced by n x D and n x 2D for a moment, as term_units does for a parameter.
inline int table_index_units(const char* fen, ScorePair* table, int size) {
    const int D = 960000;
    std::vector<ScorePair> saved(table, table + size);
    int a[2];
    for (int k = 1; k <= 2; k++) {
        for (int n = 0; n < size; n++) table[n] = make_pair_score(k * D * n, k * D * n);
        a[k - 1] = fresh_eval(fen);
    }
    std::copy(saved.begin(), saved.end(), table);
    int diff = a[1] - a[0];
    if (eval_position(fen).ply & 1) diff = -diff;
    return diff % 96 ? 999999999 : diff / 96;
}

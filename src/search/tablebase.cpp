#include "search/tablebase.h"

#include <tbprobe.h>

#include <cstdio>
#include <cstring>

#include "board/movegen.h"
#include "board/legal.h"
#include "search/search.h"

namespace {

constexpr int TB_DEPTH_BONUS = 12;  // a table result outranks any search of similar depth in the hash table

constexpr int PATH_SIZE = 4096;

struct FathomBoard {
    uint64_t white, black, kings, queens, rooks, bishops, knights, pawns;
    unsigned ep;
    bool turn;
};

FathomBoard to_fathom(const Position& pos) {
    FathomBoard b;
    b.white = pos.bb[WHITE][0];
    b.black = pos.bb[BLACK][0];
    b.kings = pos.bb[WHITE][KING] | pos.bb[BLACK][KING];
    b.queens = pos.bb[WHITE][QUEEN] | pos.bb[BLACK][QUEEN];
    b.rooks = pos.bb[WHITE][ROOK] | pos.bb[BLACK][ROOK];
    b.bishops = pos.bb[WHITE][BISHOP] | pos.bb[BLACK][BISHOP];
    b.knights = pos.bb[WHITE][KNIGHT] | pos.bb[BLACK][KNIGHT];
    b.pawns = pos.bb[WHITE][PAWN] | pos.bb[BLACK][PAWN];
    b.ep = pos.ep_mask ? unsigned(lsb_index(pos.ep_mask)) : 0;
    b.turn = side_to_move(pos) == WHITE;
    return b;
}

bool probe_ready(const Position& pos, int pieces) {
    return pieces && popcount(occupied(pos)) <= pieces && castle_rights(pos) == 0;
}

// Fathom's five-valued result as -1/0/1, the fifty-move setting deciding the cursed ones.
int outcome_of(unsigned wdl, bool rule50) {
    if (wdl == TB_WIN || (wdl == TB_CURSED_WIN && !rule50)) return 1;
    if (wdl == TB_LOSS || (wdl == TB_BLESSED_LOSS && !rule50)) return -1;
    return 0;
}

// The Quoril move matching one of Fathom's results, 0 when none does.
Move match_move(const Move* moves, int count, unsigned result) {
    static constexpr int promo_flag[5] = {0, FLAG_PROMO_Q, FLAG_PROMO_R, FLAG_PROMO_B, FLAG_PROMO_N};
    const int from = int(TB_GET_FROM(result)), to = int(TB_GET_TO(result));
    const unsigned p = TB_GET_PROMOTES(result);
    const int promo = p <= 4 ? promo_flag[p] : 0;
    for (int i = 0; i < count; i++)
        if (move_from(moves[i]) == from && move_to(moves[i]) == to && (!promo || move_flag(moves[i]) == promo))
            return moves[i];
    return 0;
}

}  // namespace

int tb_load(const char* paths) {
    char path[PATH_SIZE];
    snprintf(path, sizeof path, "%s", paths);
    if (!path[0] || !strcmp(path, "<empty>")) path[0] = 0;
    // Fathom scans every directory for every table name; one that is missing or empty adds none.
    // Its re-initialisation releases the old tables ("<empty>" loads none); tb_free as well would
    // release them twice. Given no directory it leaves the old largest size behind.
    const bool loaded = tb_init(path[0] ? path : "<empty>");
    return loaded && path[0] ? int(TB_LARGEST) : 0;
}

bool tb_probe_search(const Position& pos, int pieces, bool rule50, int& wdl) {
    if (pos.rule50 != 0 || !probe_ready(pos, pieces)) return false;
    const FathomBoard b = to_fathom(pos);
    const unsigned r =
        tb_probe_wdl(b.white, b.black, b.kings, b.queens, b.rooks, b.bishops, b.knights, b.pawns, 0, 0, b.ep, b.turn);
    if (r == TB_RESULT_FAILED) return false;
    wdl = outcome_of(r, rule50);
    return true;
}

bool tb_probe_root_moves(const Position& pos, int pieces, bool rule50, TbRoot& out) {
    if (!probe_ready(pos, pieces)) return false;
    const FathomBoard b = to_fathom(pos);
    unsigned results[TB_MAX_MOVES];
    const unsigned r = tb_probe_root(b.white, b.black, b.kings, b.queens, b.rooks, b.bishops, b.knights, b.pawns,
                                     pos.rule50, 0, b.ep, b.turn, results);
    if (r == TB_RESULT_FAILED || r == TB_RESULT_CHECKMATE || r == TB_RESULT_STALEMATE) return false;
    Move moves[MAX_MOVES];
    const int count = generate_legal_moves(pos, moves);
    // A win or loss that the clock cannot reach first is a draw under the fifty-move rule.
    auto value = [&](unsigned res) {
        const int o = outcome_of(TB_GET_WDL(res), rule50);
        return rule50 && o != 0 && int(pos.rule50 + TB_GET_DTZ(res)) > 100 ? 0 : o;
    };
    int best = -2, best_dtz = 0;
    for (int i = 0; i < TB_MAX_MOVES && results[i] != TB_RESULT_FAILED; i++) {
        const int v = value(results[i]), d = int(TB_GET_DTZ(results[i]));
        // Among wins the nearest conversion, among losses the longest resistance.
        if (v > best || (v == best && ((v > 0 && d < best_dtz) || (v < 0 && d > best_dtz)))) best = v, best_dtz = d;
    }
    if (best == -2) return false;
    out = {best, best_dtz, 0, {}};
    for (int i = 0; i < TB_MAX_MOVES && results[i] != TB_RESULT_FAILED; i++) {
        if (value(results[i]) != best || (best != 0 && int(TB_GET_DTZ(results[i])) != best_dtz)) continue;
        const Move m = match_move(moves, count, results[i]);
        if (m) out.moves[out.kept++] = m;
    }
    return out.kept > 0;
}

bool tb_node_probe(Worker& w, const Position& pos, int alpha, int beta, int depth, int ply, int& score) {
    int wdl;
    if (!tb_probe_search(pos, w.opt.tb_pieces, w.opt.tb_rule50, wdl)) return false;
    w.tbhits.store(w.tbhits.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    const int v = wdl > 0 ? TB_WIN_SCORE - ply : (wdl < 0 ? ply - TB_WIN_SCORE : draw_for_ply(w, ply));
    const int bound = wdl > 0 ? BOUND_LOWER : (wdl < 0 ? BOUND_UPPER : BOUND_EXACT);
    if (bound == BOUND_LOWER && v < beta) return false;
    if (bound == BOUND_UPPER && v > alpha) return false;
    tt_store(pos.key, depth + TB_DEPTH_BONUS, v, bound, 0);
    score = v;
    return true;
}

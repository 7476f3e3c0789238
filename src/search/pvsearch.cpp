#include "board/makemove.h"
#include "search/movepick.h"
#include "eval/evaluate.h"
#include "eval/tables.h"
#include "search/search.h"
#include "board/see.h"

namespace {

// A score this close below beta, or a threat with the score this close above, is worth one more ply
// at the horizon.
constexpr int HORIZON_BAND = 100;
// A hash entry guides the node only from this many half plies short of its depth.
constexpr int HASH_DEPTH_SLACK = 6;
// Without a hash move, a node this deep first searches itself shallower for one.
constexpr int IID_MIN_DEPTH = 10;
constexpr int IID_REDUCTION = 4;
// Under-promotions are tried only this deep: they almost never beat the queen.
constexpr int UNDERPROMOTION_DEPTH = 20;
// The in-check move count that sets the extension is taken from this depth (half plies) on.
constexpr int EVASION_COUNT_DEPTH = 6;
// King danger that rose by more than this since the parent keeps the node's moves at full depth.
constexpr int DANGER_RISE = 3;
// Shallower than this, a losing exchange after the first move is not searched at all.
constexpr int LOSING_PRUNE_DEPTH = 4;
// A quiet move of a piece that stands to lose material keeps its depth below this depth.
constexpr int THREATENED_PIECE_DEPTH = 10;
// Reductions: from this depth on, not for a piece escaping an exchange in the second band.
constexpr int REDUCTION_MIN_DEPTH = 8;
constexpr int ESCAPE_BAND_LOW = 6, ESCAPE_BAND_HIGH = 15;
constexpr int THREAT_CHECK_DEPTH = 10;  // shallower reductions first ask whether the move threatens
// The singular test: from this depth on, against the hash score less half the depth, 10 half plies shallower.
constexpr int SINGULAR_DEPTH = 16;
constexpr int SINGULAR_REDUCTION = 10;
// Phases under which a pawn's advance is extended: marked under the first, one ply under the second.
constexpr int PAWN_EXTENSION_PHASE = 48, PAWN_EXTENSION_FULL_PHASE = 24;

// Near the horizon a checked side, a score just short of beta or a threatened side looks one ply deeper.
bool extends_at_horizon(Worker& w, Position& pos, int alpha, int beta) {
    if (pos.horizon_ext) return false;
    if (pos.in_check) {
        pos.horizon_ext = 1;
        return true;
    }
    const int eval = evaluate(pos, w.eval);
    pos.eval_cache = eval;
    if ((beta - HORIZON_BAND < eval && eval < beta) ||
        (alpha <= eval && eval < beta + HORIZON_BAND && largest_threat_above(pos, 0) > 0)) {
        pos.horizon_ext++;
        return true;
    }
    return false;
}

struct PvHash {
    bool usable;
    Move move;
    int score;
};

PvHash probe_pv(const Position& pos, int depth, int ply) {
    TTEntry slot;
    const TTEntry* e = tt_probe(pos.key, slot);
    if (!e || e->depth < depth - HASH_DEPTH_SLACK) return {false, 0, 0};
    return {true, e->move, score_from_tt(e->score, ply)};
}


// What the move loop of a PV node knows about the node.
struct PvNode {
    Worker& w;
    Position& pos;
    int alpha, beta, depth, ply, evasions, phase;
    bool in_check, danger_steady;
    Move killers[4];  // this ply's and the ones two plies up
    Bitboard barrier;
    PvHash hash;
};

// Extension in half plies of the move x holds, more generous than below the PV; `mark` is set when
// the move must keep its full depth. Runs the singular test, after which the caller checks stopped().
int pv_extension(const PvNode& n, Exchanges& x, const Position& child, bool tactical, bool& mark) {
    Position& pos = n.pos;
    const Move m = x.m;
    const int ply = n.ply, depth = n.depth, evasions = n.evasions, phase = n.phase;
    const bool in_check = n.in_check;
    const Bitboard barrier = n.barrier;
    const PvHash& hash = n.hash;
    int e = 0;
    if (pos.accum_ext < 2 * ply - ply / 2) {
        if (in_check) {
            e = evasions == 1 ? 2 : (evasions == 2 ? 1 : 0);
            mark = true;
        }
        bool more = true;  // a safe check takes the full extension and nothing else
        if (child.in_check) {
            mark = true;
            more = move_loses(x);
            e += more ? 1 : 2;
        }
        if (more && phase <= PAWN_EXTENSION_PHASE && child.moved_type == PAWN && !(barrier & square_bit[move_to(m)])) {
            mark = true;
            if (phase <= PAWN_EXTENSION_FULL_PHASE) e++;
        }
        if (more && tactical && !in_check) {
            mark = true;
            if (!move_loses(x)) e++;
        }
        if (more && (e == 0 || (e == 1 && !in_check)) && m == hash.move && hash.usable && depth >= SINGULAR_DEPTH) {
            const int s = hash.score - depth / 2;
            Move scratch[2];
            if (zw_search(n.w, pos, s, depth - SINGULAR_REDUCTION, ply, scratch, m, NullMove::FORBIDDEN) < s) e++;
        }
    }
    return bounded_extension(e, child);
}

// The move loop of a PV node, and what it leaves in the pv, the history and the table.
int pv_moves(const PvNode& node, MovePicker& picker, Move* pv) {
    Worker& w = node.w;
    Position& pos = node.pos;
    const int alpha = node.alpha, beta = node.beta, depth = node.depth, ply = node.ply;
    const bool in_check = node.in_check, danger_steady = node.danger_steady;
    const Move k1 = node.killers[0], k2 = node.killers[1], k3 = node.killers[2], k4 = node.killers[3];
    int running_alpha = alpha;
    MoveLoop l;
    Move best_quiet = 0;
    Move child_pv[PV_SIZE], scratch[2];
    Position child;
    Exchanges exchanges = {pos, 0, 1, 0, 0};
    for (Move m; (m = picker_next(picker));) {
        const int flag = move_flag(m), from = move_from(m);
        if (flag >= FLAG_PROMO_N && depth < UNDERPROMOTION_DEPTH) continue;
        exchanges_next_move(exchanges, m, picker.verdict);
        if (l.count > 0 && !in_check && depth < LOSING_PRUNE_DEPTH && move_loses(exchanges)) continue;
        const bool tactical = is_tactical(pos, m);
        int v;
        bool is_draw;
        if (!loop_play(l, w, pos, child, m, ply, is_draw, v)) continue;
        child_pv[0] = 0;
        const bool checking = child.in_check != 0;
        const bool quiet = !tactical && !in_check;
        if (!is_draw) {
            if (quiet && !checking) loop_note_quiet(l, m);
            bool mark = false;
            const int e = pv_extension(node, exchanges, child, tactical, mark);
            if (stopped()) return 0;
            child.accum_ext = int16_t(child.accum_ext + e);
            const int nd = depth + e;
            if (!tactical && !in_check && nd < THREATENED_PIECE_DEPTH && piece_loses(exchanges, from)) mark = true;

            if (l.count == 1) {
                v = -pv_search(w, child, -beta, -running_alpha, nd - 2, ply + 1, child_pv);
            } else {
                const bool plain = flag == FLAG_NONE && !tactical;
                const bool escape = depth >= ESCAPE_BAND_LOW && depth <= ESCAPE_BAND_HIGH && plain &&
                                    child.moved_type != KING && piece_loses(exchanges, from) && !move_loses(exchanges);
                const int r = lmr_table_pv[l.count < LMR_TABLE_SIZE ? l.count : LMR_TABLE_SIZE - 1];
                const bool is_killer = m == k1 || m == k2 || m == k3 || m == k4;
                if (!escape && w.opt.use_lmr && !mark && !is_killer && danger_steady && nd >= REDUCTION_MIN_DEPTH && r > 1 &&
                    plain && l.best > MATED_LIMIT && (nd >= THREAT_CHECK_DEPTH || !last_move_threat(child))) {
                    const uint8_t horizon = child.horizon_ext;
                    pos.reduced = 1;
                    v = -zw_search(w, child, -running_alpha, nd - 2 - r, ply + 1, scratch);
                    pos.reduced = child.reduced = 0;
                    child.horizon_ext = horizon;
                    if (stopped()) return 0;
                    if (v <= running_alpha) continue;
                }
                const uint8_t horizon = child.horizon_ext;
                v = -zw_search(w, child, -running_alpha, nd - 2, ply + 1, scratch);
                if (stopped()) return 0;
                if (v > running_alpha) {
                    child.horizon_ext = horizon;
                    v = -pv_search(w, child, -beta, -running_alpha, nd - 2, ply + 1, child_pv);
                }
            }
            if (stopped()) return 0;
        }

        if (!loop_improves(l, v, is_draw)) continue;
        if (quiet) best_quiet = m;
        if (v > running_alpha) {
            set_line(pv, m, child_pv);
            running_alpha = v;
        }
        if (v >= beta) {
            if (quiet) update_killers(w, ply, m);
            break;
        }
    }

    if (stopped()) return 0;
    if (l.count == 0) l.best = no_move_score(in_check, ply);
    if (best_quiet) update_history(w, pos, best_quiet, l.quiets, l.quiet_count, depth);
    if (l.best_is_draw) return l.best;
    store_node(pos, depth, ply, l.best, alpha, beta, pv[0]);
    return l.best;
}

}  // namespace

int pv_search(Worker& w, Position& pos, int alpha, int beta, int depth, int ply, Move* pv) {
    if (stopped()) return 0;
    if (ply > w.sel_depth) w.sel_depth = ply;
    pos.last_pv_ply = uint8_t(ply);
    pos.reduced = 0;
    if (poll_step(w)) return 0;
    if (insufficient_material(pos, ply)) return draw_for_ply(w, ply);
    if (depth < 2 || ply >= MAX_PLY - 1) {
        if (ply < MAX_PLY - 1 && extends_at_horizon(w, pos, alpha, beta))
            return pv_search(w, pos, alpha, beta, depth + 2, ply, pv);
        return qsearch(w, pos, alpha, beta, 0, ply, pv);
    }
    int tb_score;
    if (tb_settles(w, pos, alpha, beta, depth, ply, tb_score)) return tb_score;
    // The king-danger values compared by the reduction test come from this evaluation.
    pos.eval_cache = evaluate(pos, w.eval);

    const Move k1 = w.killers[ply][0], k2 = w.killers[ply][1];
    const Move k3 = ply > 1 ? w.killers[ply - 2][0] : 0, k4 = ply > 1 ? w.killers[ply - 2][1] : 0;
    pv[0] = 0;
    PvHash hash = probe_pv(pos, depth, ply);
    if (depth >= IID_MIN_DEPTH && !hash.move) {
        Move iid[PV_SIZE] = {0};
        pv_search(w, pos, alpha, beta, depth - IID_REDUCTION, ply, iid);
        if (stopped()) return 0;
        hash = probe_pv(pos, depth, ply);
        if (iid[0]) hash.move = iid[0];
    }

    const bool in_check = pos.in_check != 0;
    const int us = side_to_move(pos), them = 1 - us;
    MovePicker picker;
    if (in_check)
        picker_init(pos, picker, PICK_EVASIONS, hash.move, 0, 0, depth, w.history);
    else
        picker_init(pos, picker, PICK_ALL, hash.move, k1, k2, depth, w.history);
    const int evasions = in_check && depth >= EVASION_COUNT_DEPTH ? count_legal_moves_upto3(w, pos) : 10;
    const Bitboard barrier = pawn_barrier(pos, them);
    const bool danger_steady = !pos.prev || pos.king_danger[them] <= pos.prev->king_danger[them] + DANGER_RISE;
    const int phase = pos.phase < MAX_PHASE ? pos.phase : MAX_PHASE;

    const PvNode node = {w, pos, alpha, beta, depth, ply, evasions, phase, in_check, danger_steady,
                         {k1, k2, k3, k4}, barrier, hash};
    return pv_moves(node, picker, pv);
}

#include "board/draw.h"
#include "board/makemove.h"
#include "search/movepick.h"
#include "eval/evaluate.h"
#include "eval/tables.h"
#include "search/search.h"
#include "board/see.h"

namespace {

constexpr int HORIZON_BAND = 100;

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
    if (!e || e->depth < depth - 6) return {false, 0, 0};
    return {true, e->move, score_from_tt(e->score, ply)};
}


// Extension of one move in half plies, more generous than below the PV; `mark` is set when the
// move must keep its full depth. Runs the singular test, after which the caller checks stopped().
int pv_extension(Worker& w, Position& pos, Exchanges& x, const Position& child, int ply, int depth, int evasions,
                 const PvHash& hash, Bitboard barrier, bool& mark) {
    const Move m = x.m;
    const int phase = pos.phase < MAX_PHASE ? pos.phase : MAX_PHASE;
    const bool in_check = pos.in_check != 0, tactical = is_tactical(pos, m);
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
        if (more && phase <= 48 && child.moved_type == PAWN && !(barrier & square_bit[move_to(m)])) {
            mark = true;
            if (phase <= 24) e++;
        }
        if (more && tactical && !in_check) {
            mark = true;
            if (!move_loses(x)) e++;
        }
        if (more && (e == 0 || (e == 1 && !in_check)) && m == hash.move && hash.usable && depth > 15) {
            const int s = hash.score - depth / 2;
            Move scratch[2];
            if (zw_search(w, pos, s, depth - 10, ply, scratch, m, 1) < s) e++;
        }
    }
    if (e > 2) e = 2;
    if (child.phase == 0 && child.captured_type > PAWN) e = 4;
    return e;
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
    if (depth > 9 && !hash.move) {
        Move iid[PV_SIZE] = {0};
        pv_search(w, pos, alpha, beta, depth - 4, ply, iid);
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
    const int evasions = in_check && depth / 2 >= 3 ? count_legal_moves_upto3(w, pos) : 10;
    const Bitboard barrier = pawn_barrier(pos, them);
    const bool danger_steady = !pos.prev || pos.king_danger[them] <= pos.prev->king_danger[them] + 3;

    int running_alpha = alpha, best = -INFINITE_SCORE, count = 0;
    bool best_is_draw = false;
    Move best_quiet = 0, quiets[MAX_MOVES];
    int quiet_count = 0;
    Move child_pv[PV_SIZE], scratch[2];
    Position child;
    Exchanges exchanges = {pos, 0, 1, 0, 0};
    for (Move m; (m = picker_next(picker));) {
        const int flag = move_flag(m), from = move_from(m);
        if (flag >= FLAG_PROMO_N && depth < 20) continue;
        exchanges_next_move(exchanges, m, picker.verdict);
        if (count > 0 && !in_check && depth / 2 < 2 && move_loses(exchanges)) continue;
        const bool tactical = is_tactical(pos, m);
        if (!play_legal(w, pos, child, m)) continue;
        count++;
        child_pv[0] = 0;
        int v;
        bool is_draw = false;
        const bool checking = child.in_check != 0;
        const bool quiet = !tactical && !in_check;
        if (is_draw_by_rule(child)) {
            v = draw_for_ply(w, ply);
            is_draw = true;
        } else {
            if (quiet && !checking && quiet_count < MAX_MOVES) quiets[quiet_count++] = m;
            bool mark = false;
            const int e = pv_extension(w, pos, exchanges, child, ply, depth, evasions, hash, barrier, mark);
            if (stopped()) return 0;
            child.accum_ext = int16_t(child.accum_ext + e);
            const int nd = depth + e;
            if (!tactical && !in_check && nd < 10 && piece_loses(exchanges, from)) mark = true;

            if (count == 1) {
                v = -pv_search(w, child, -beta, -running_alpha, nd - 2, ply + 1, child_pv);
            } else {
                const bool plain = flag == FLAG_NONE && !tactical;
                const bool escape = depth >= 6 && depth <= 15 && plain && child.moved_type != KING &&
                                    piece_loses(exchanges, from) && !move_loses(exchanges);
                const int r = lmr_table_pv[count < LMR_TABLE_SIZE ? count : LMR_TABLE_SIZE - 1];
                const bool is_killer = m == k1 || m == k2 || m == k3 || m == k4;
                if (!escape && w.opt.use_lmr && !mark && !is_killer && danger_steady && nd > 7 && r > 1 && plain &&
                    best > MATED_LIMIT && (nd >= 10 || !last_move_threat(child))) {
                    const uint8_t horizon = child.horizon_ext;
                    pos.reduced = 1;
                    v = -zw_search(w, child, -running_alpha, nd - 2 - r, ply + 1, scratch, 0, 0);
                    pos.reduced = child.reduced = 0;
                    child.horizon_ext = horizon;
                    if (stopped()) return 0;
                    if (v <= running_alpha) continue;
                }
                const uint8_t horizon = child.horizon_ext;
                v = -zw_search(w, child, -running_alpha, nd - 2, ply + 1, scratch, 0, 0);
                if (stopped()) return 0;
                if (v > running_alpha) {
                    child.horizon_ext = horizon;
                    v = -pv_search(w, child, -beta, -running_alpha, nd - 2, ply + 1, child_pv);
                }
            }
            if (stopped()) return 0;
        }

        if (v <= best) continue;
        if (quiet) best_quiet = m;
        if (v > running_alpha) {
            set_line(pv, m, child_pv);
            running_alpha = v;
        }
        best = v;
        best_is_draw = is_draw;
        if (v >= beta) {
            if (quiet) update_killers(w, ply, m);
            break;
        }
    }

    if (stopped()) return 0;
    if (count == 0) best = in_check ? ply - MATE_SCORE : 0;
    if (best_quiet) update_history(w, pos, best_quiet, quiets, quiet_count, depth);
    if (best_is_draw) return best;
    const int stored = score_to_tt(best, ply);
    if (best > alpha && best < beta)
        tt_store(pos.key, depth, stored, BOUND_EXACT, int(pv[0] & 0xFFFF));
    else if (best >= beta)
        tt_store(pos.key, depth, stored, BOUND_LOWER, int(pv[0] & 0xFFFF));
    else
        tt_store(pos.key, depth, stored, BOUND_UPPER, 0);
    return best;
}

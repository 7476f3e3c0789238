#include <cstdlib>

#include "board/draw.h"
#include "board/makemove.h"
#include "search/movepick.h"
#include "eval/evaluate.h"
#include "eval/tables.h"
#include "search/search.h"
#include "board/see.h"

// Quiescence asks about a few captures per node: this test per move costs less there than building
// the node's check squares, which pay off for the many quiet moves of a full-width node.
bool move_checks(const Position& pos, Move m) {
    const int us = side_to_move(pos), them = 1 - us;
    const int from = move_from(m), to = move_to(m);
    const int k = king_square(pos, them);
    const Bitboard occ = (occupied(pos) & ~square_bit[from]) | square_bit[to];
    if (attacks_square(pos.board[from] & 7, us, to, k, occ)) return true;
    // The side not to move is never in check, so only a line from the king through `from` can open.
    if (!may_uncover(pos, k, from, us)) return false;
    // The moving piece itself cannot uncover a check from the square it leaves.
    const Bitboard stay = ~square_bit[from];
    if (bishop_attacks(k, occ) & (pos.bb[us][BISHOP] | pos.bb[us][QUEEN]) & stay) return true;
    return (rook_attacks(k, occ) & (pos.bb[us][ROOK] | pos.bb[us][QUEEN]) & stay) != 0;
}

namespace {

constexpr int QS_MAX_DEPTH = -59;   // below it a quiet node only stands pat
constexpr int RECAPTURE_DEPTH = -16;  // below it only recaptures are searched
constexpr int QS_HASH_DEPTH = -2;     // below it a node neither probes nor stores the hash table

// Capturing a piece of type v cannot lift the score to alpha even with a margin.
inline bool futile_victim(int v, int alpha, int eval, int phase, int depth) {
    const int margin = v == PAWN ? 80 : 120;
    return alpha > eval + phase_piece_value[phase][v] + margin + 5 * depth;
}

inline bool futile(const Position& pos, Move m, int alpha, int eval, int phase, int depth) {
    const int flag = move_flag(m);
    if (flag != FLAG_NONE && flag != FLAG_DOUBLE && flag != FLAG_CASTLE) return false;
    return futile_victim(pos.board[move_to(m)] & 7, alpha, eval, phase, depth);
}

// The victims worth listing: the move loop skips captures of the others whatever their exchange,
// since alpha only rises. At depth 0 a futile capture may still be searched as a check.
inline Bitboard worthwhile_victims(const Position& pos, int alpha, int eval, int phase, int depth) {
    if (depth == 0) return ~0ULL;
    const Bitboard* enemy = pos.bb[1 - side_to_move(pos)];
    Bitboard targets = 0;
    for (int v = PAWN; v <= QUEEN; v++)
        if (!futile_victim(v, alpha, eval, phase, depth)) targets |= enemy[v];
    return depth < RECAPTURE_DEPTH ? targets & square_bit[move_to(pos.last_move)] : targets;
}

// running_alpha already includes the stand-pat score.
inline bool use_checks_mode(bool pv_node, int running_alpha, int beta, int depth, int eval) {
    if (depth == 0) return true;
    if (pv_node) return depth >= -2 || (depth == -4 && eval > running_alpha - 10);
    return depth == -2 && eval > beta - 10;
}

}  // namespace

int qsearch(Worker& w, Position& pos, int alpha, int beta, int depth, int ply, Move* pv) {
    const int phase = pos.phase < MAX_PHASE ? pos.phase : MAX_PHASE;
    if (stopped()) return 0;
    if (ply > w.sel_depth) w.sel_depth = ply;
    if (poll_step(w)) return 0;
    if (insufficient_material(pos, ply)) return draw_for_ply(w, ply);
    pv[0] = 0;
    if (ply >= MAX_PLY - 1) return pos.in_check ? 0 : evaluate(pos, w.eval);

    // Evaluated before the hash probe, like a zero-window node, to hide the bucket's load.
    int eval = 0;
    if (!pos.in_check) {
        eval = evaluate(pos, w.eval);
        pos.eval_cache = eval;
    }
    Move hash_move = 0;
    TTEntry slot;
    const TTEntry* entry = nullptr;
    if (depth >= QS_HASH_DEPTH && (entry = tt_probe(pos.key, slot))) {
        hash_move = entry->move;
        if (beta == alpha + 1 && tt_cutoff(entry, depth, beta)) return score_from_tt(entry->score, ply);
    }

    const int us = side_to_move(pos);
    const bool pv_node = beta - alpha != 1;
    MovePicker picker;
    int best, legal;
    bool checks_mode = false;
    if (!pos.in_check) {
        eval = tt_refine_eval(entry, eval);
        if (depth < QS_MAX_DEPTH || eval >= beta) return eval;
        if (eval > alpha) alpha = eval;
        best = eval;
        legal = 1;
        checks_mode = use_checks_mode(pv_node, alpha, beta, depth, eval);
        if (checks_mode)
            picker_init(pos, picker, PICK_CHECKS, hash_move, 0, 0, depth, w.history);
        else
            picker_init(pos, picker, PICK_CAPTURES, 0, 0, 0, depth, w.history);
        picker_limit_captures(picker, worthwhile_victims(pos, alpha, eval, phase, depth));
    } else {
        best = -INFINITE_SCORE;
        legal = 0;
        picker_init(pos, picker, PICK_EVASIONS, hash_move, 0, 0, depth, w.history);
    }

    Position child;
    Move child_pv[2];
    bool best_is_draw = false;
    for (Move m; (m = picker_next(picker));) {
        const int flag = move_flag(m);
        if (flag >= FLAG_PROMO_N) continue;
        const bool captures = (pos.bb[1 - us][0] & square_bit[move_to(m)]) != 0;
        if (pos.in_check) {
            if (best >= MATED_LIMIT && flag <= FLAG_DOUBLE && !captures && picker_see(picker, m) < 0) continue;
        } else {
            // At depth 0 a check is never futile.
            if (futile(pos, m, alpha, eval, phase, depth) && !(depth == 0 && move_checks(pos, m))) continue;
            if (depth < RECAPTURE_DEPTH && move_to(m) != move_to(pos.last_move)) continue;
        }
        if (!play_legal(w, pos, child, m, depth - 2 >= QS_HASH_DEPTH)) continue;
        legal++;
        const bool tactical = child.captured_type || flag == FLAG_EP || flag >= FLAG_PROMO_Q;
        int score;
        bool is_draw = false;
        if (!tactical && is_draw_by_rule(child)) {
            score = draw_for_ply(w, ply);
            is_draw = true;
            child_pv[0] = 0;
        } else {
            if (checks_mode && !tactical && !child.in_check && m != hash_move) continue;
            score = -qsearch(w, child, -beta, -alpha, depth - 2, ply + 1, child_pv);
            if (stopped()) return 0;
        }
        if (score <= best) continue;
        if (score > alpha) {
            pv[0] = m;
            pv[1] = 0;
            alpha = score;
        }
        best = score;
        best_is_draw = is_draw;
        if (score >= beta) break;
    }

    if (stopped()) return 0;
    if (!legal) best = ply - MATE_SCORE;
    if (best_is_draw || depth < QS_HASH_DEPTH) return best;
    const int stored = score_to_tt(best, ply);
    if (stored < -TT_SCORE_LIMIT || stored > TT_SCORE_LIMIT) return best;
    const int store_depth = depth >= 0 ? 0 : -2;
    if (best >= beta)
        tt_store(pos.key, store_depth, stored, BOUND_LOWER, int(pv[0] & 0xFFFF));
    else
        tt_store(pos.key, store_depth, stored, BOUND_UPPER, 0);
    return best;
}

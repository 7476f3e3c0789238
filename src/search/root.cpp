#include <cinttypes>
#include <cstdlib>
#include <cstring>

#include "board/draw.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/legal.h"
#include "eval/evaluate.h"
#include "search/search.h"
#include "search/threads.h"
#include "board/see.h"

namespace {

// First iteration: order the legal moves by a one-ply look at the result.
void build_root_moves(Worker& w, Position& pos) {
    Move moves[MAX_MOVES];
    w.root_move_count = generate_legal_moves(pos, moves);
    for (int i = 0; i < w.root_move_count; i++) {
        play(w, pos, w.root_child, moves[i]);
        int score = -evaluate(w.root_child, w.eval);
        if (see(pos, moves[i]) < 0) score -= 50;
        if (last_move_threat(w.root_child)) score += 25;
        w.root_moves[i] = RootMove{moves[i], int32_t(score), 0};
    }
    // An exchange sort, not sort_descending: its order of equal scores is part of the benchmark signature.
    for (int i = 0; i < w.root_move_count; i++)
        for (int j = i + 1; j < w.root_move_count; j++)
            if (w.root_moves[j].score > w.root_moves[i].score) {
                const RootMove t = w.root_moves[i];
                w.root_moves[i] = w.root_moves[j];
                w.root_moves[j] = t;
            }
    w.nodes.store(0, std::memory_order_relaxed);
    w.tbhits.store(0, std::memory_order_relaxed);
}

// The best move goes first for the next iteration; the others keep their order.
void move_to_front(Worker& w, Move m) {
    for (int i = 0; i < w.root_move_count; i++) {
        if (w.root_moves[i].move != m) continue;
        const RootMove best = w.root_moves[i];
        memmove(w.root_moves + 1, w.root_moves, size_t(i) * sizeof(RootMove));
        w.root_moves[0] = best;
        return;
    }
}

void record_line(int depth, int score, Move m, const Move* child_pv) {
    Move line[PV_SIZE];
    set_line(line, m, child_pv);
    root_reports.multipv_record(depth / 2, score, line);
}

}  // namespace

int root_search(Worker& w, Position& pos, int depth, int alpha, int beta, Move* pv, const MoveList& allowed,
                uint64_t& best_nodes, uint64_t& other_nodes) {
    if (stop_search) return 0;
    pos.last_pv_ply = 0;
    pos.horizon_ext = 0;
    pos.reduced = 0;
    pos.accum_ext = -8;
    evaluate(pos, w.eval);
    const bool progress = w.main && depth / 2 >= 6 && root_reports.elapsed() > 0.25;
    if (poll_step(w)) return 0;
    pv[0] = 0;
    if (depth / 2 == 1) build_root_moves(w, pos);
    for (int i = 0; i < w.root_move_count; i++) w.root_moves[i].nodes = 0;

    const int us = side_to_move(pos), them = 1 - us;
    const Bitboard far_ranks = relative_rank_mask[5][us] | relative_rank_mask[6][us] | relative_rank_mask[7][us];
    const Bitboard passed_targets = far_ranks & ~pawn_barrier(pos, them);
    const int lines = w.main ? w.opt.multi_pv : 1;  // helpers search for the best move only
    const bool report = w.main && !w.opt.quiet;
    int best = -INFINITE_SCORE, count = 0;
    int reference = alpha;  // what a later move must beat: alpha, or the N-th best line
    Move child_pv[PV_SIZE], scratch[2];

    Position& root_child = w.root_child;
    for (int i = 0; i < w.root_move_count && !stop_search; i++) {
        const Move m = w.root_moves[i].move;
        if (!allowed.contains(m)) continue;
        if (!play_legal(w, pos, root_child, m)) continue;
        count++;
        const uint64_t nodes_before = worker_nodes(w);
        if (progress && lines <= 1 && report) root_reports.current_move(m, count);
        child_pv[0] = 0;
        int v;
        if (is_draw_by_rule(root_child)) {
            v = w.opt.draw_score;
        } else {
            const bool tactical = is_tactical(pos, m);
            int e = 0;
            bool unreducible = pos.in_check != 0;
            if (root_child.in_check) {
                e = 2;
                unreducible = true;
            } else if (tactical && see(pos, m) >= 0) {
                e = 1;
            }
            if ((pos.board[move_from(m)] & 7) == PAWN && (passed_targets & square_bit[move_to(m)])) {
                unreducible = true;
                if (e == 0 && see(pos, m) >= 0) e = 2;
            }
            root_child.accum_ext = int16_t(root_child.accum_ext + e);
            const int nd = depth - 2 + e;

            if (count == 1 || (lines >= 2 && count <= lines)) {
                const int lo = lines >= 2 ? -INFINITE_SCORE : alpha, hi = lines >= 2 ? INFINITE_SCORE : beta;
                v = -pv_search(w, root_child, -hi, -lo, nd, 1, child_pv);
                if (stop_search) return 0;
                if (lines >= 2) {
                    record_line(depth, v, m, child_pv);
                    if (depth > 3) reference = root_reports.multipv_show();
                }
            } else {
                if (lines < 2) reference = alpha;
                bool full = true;
                if (w.opt.use_lmr && !unreducible && depth >= 8 && count >= 5 && !tactical && !root_child.in_check &&
                    best > MATED_LIMIT) {
                    const int r = count >= 10 ? 3 : 2;
                    pos.reduced = 1;
                    v = -zw_search(w, root_child, -reference, depth - 2 - r, 1, scratch, 0, 0);
                    pos.reduced = 0;
                    if (stop_search) return 0;
                    full = v > reference;
                }
                if (full) {
                    v = -zw_search(w, root_child, -reference, nd, 1, scratch, 0, 0);
                    if (stop_search) return 0;
                    if (v > reference) {
                        v = -pv_search(w, root_child, -beta, -reference, nd, 1, child_pv);
                        if (stop_search) return 0;
                        if (lines >= 2 && v > reference) {
                            record_line(depth, v, m, child_pv);
                            if (depth > 3) reference = root_reports.multipv_show();
                        }
                    }
                }
            }
        }
        w.root_moves[i].nodes = worker_nodes(w) - nodes_before;
        if (v > best) {
            set_line(pv, m, child_pv);
            update_killers(w, 0, m);
            if (lines <= 1 && report) root_reports.new_best(depth / 2, v, pv, alpha, beta);
            best = v;
            if (v >= beta) break;
            if (v > alpha) alpha = v;
        }
    }

    if (stop_search) return 0;
    if (pv[0]) move_to_front(w, pv[0]);
    if (!count) best = pos.in_check ? -MATE_SCORE : 0;
    for (int i = 0; i < w.root_move_count; i++)
        (w.root_moves[i].move == pv[0] ? best_nodes : other_nodes) += w.root_moves[i].nodes;
    return best;
}

namespace {
int clamp_window(int v) { return v < -INFINITE_SCORE ? -INFINITE_SCORE : (v > INFINITE_SCORE ? INFINITE_SCORE : v); }
}  // namespace

int aspiration_search(Worker& w, Position& pos, int iteration, const MoveList& list, Move* line, uint64_t& best_nodes,
                      uint64_t& other_nodes) {
    int alpha = -INFINITE_SCORE, beta = INFINITE_SCORE;
    if (iteration > 4 && (w.opt.multi_pv <= 1 || !w.main)) {
        const int s1 = w.iter_score[iteration - 1], s2 = w.iter_score[iteration - 2], s3 = w.iter_score[iteration - 3];
        int width = (abs(s1 - s2) + abs(s2 - s3)) / 2;
        if (width < 16) width = 16;
        alpha = clamp_window(s1 - width);
        beta = clamp_window(s1 + width);
    }
    int score = root_search(w, pos, 2 * iteration, alpha, beta, line, list, best_nodes, other_nodes);
    int last_fail = 0;  // +1 after a fail high, -1 after a fail low
    while (!stop_search && (score >= beta || score <= alpha)) {
        const int fail = score >= beta ? 1 : -1;
        const int width = int(1.5 * (beta - alpha));
        if (last_fail == -fail) {
            alpha = -INFINITE_SCORE;
            beta = INFINITE_SCORE;
        } else if (fail > 0) {
            alpha = clamp_window(score - 1);
            beta = clamp_window(score - 1 + width);
        } else {
            alpha = clamp_window(score + 1 - width);
            beta = clamp_window(score + 1);
        }
        last_fail = fail;
        score = root_search(w, pos, 2 * iteration, alpha, beta, line, list, best_nodes, other_nodes);
        if (alpha == -INFINITE_SCORE && beta == INFINITE_SCORE) break;
    }
    return score;
}

#include <cstring>

#include "board/draw.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/legal.h"
#include "eval/evaluate.h"
#include "search/search.h"
#include "search/report.h"
#include "board/see.h"

namespace {

// The first iterations are too quick to show a new best move, or the move being searched.
constexpr int QUIET_DEPTHS = 4;
constexpr int PROGRESS_DEPTH = 6;
constexpr double PROGRESS_SECONDS = 0.25;
// Root ordering at the first iteration: a losing exchange costs, a threat gains.
constexpr int LOSING_EXCHANGE_PENALTY = 50;
constexpr int THREAT_BONUS = 25;
// Late root moves are reduced from this depth and move number, by a ply, or by one and a half
// from the later number on.
constexpr int ROOT_REDUCTION_DEPTH = 8, ROOT_REDUCTION_FROM = 5, ROOT_DEEPER_FROM = 10;
constexpr int ROOT_REDUCTION = 2, ROOT_DEEPER_REDUCTION = 3;

// First iteration: order the legal moves by a one-ply look at the result.
void build_root_moves(Worker& w, Position& pos) {
    Move moves[MAX_MOVES];
    w.root_move_count = generate_legal_moves(pos, moves);
    for (int i = 0; i < w.root_move_count; i++) {
        play(w, pos, w.root_child, moves[i]);
        int score = -evaluate(w.root_child, w.eval);
        if (see(pos, moves[i]) < 0) score -= LOSING_EXCHANGE_PENALTY;
        if (last_move_threat(w.root_child)) score += THREAT_BONUS;
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

// Records the line of a multi-PV search; from depth 2 on the best lines are shown again, and the
// lowest of them is what a later move must beat.
int record_line(Worker& w, int depth, int score, Move m, const Move* child_pv, int reference) {
    Move line[PV_SIZE];
    set_line(line, m, child_pv);
    record_root_line(w.lines, depth / 2, score, line);
    if (depth <= 3) return reference;
    const int lowest = rank_root_lines(w.lines, w.opt.lines);
    const int shown = w.lines.count < w.opt.shown_lines ? w.lines.count : w.opt.shown_lines;
    w.reporter->lines(w.lines.records, shown);
    return lowest;
}

}  // namespace

int root_search(Worker& w, Position& pos, int depth, int alpha, int beta, Move* pv, const MoveList& allowed,
                uint64_t& best_nodes, uint64_t& other_nodes) {
    if (stopped()) return 0;
    pos.last_pv_ply = 0;
    pos.horizon_ext = 0;
    pos.reduced = 0;
    pos.accum_ext = -8;
    evaluate(pos, w.eval);
    const bool progress = w.main && depth / 2 >= PROGRESS_DEPTH && w.reporter->now() - w.start > PROGRESS_SECONDS;
    if (poll_step(w)) return 0;
    pv[0] = 0;
    if (depth / 2 == 1) build_root_moves(w, pos);
    for (int i = 0; i < w.root_move_count; i++) w.root_moves[i].nodes = 0;

    const int us = side_to_move(pos), them = 1 - us;
    const Bitboard far_ranks = relative_rank_mask[5][us] | relative_rank_mask[6][us] | relative_rank_mask[7][us];
    const Bitboard passed_targets = far_ranks & ~pawn_barrier(pos, them);
    const int lines = w.opt.lines;
    const bool report = !w.opt.quiet;
    int best = -INFINITE_SCORE, count = 0;
    int reference = alpha;  // what a later move must beat: alpha, or the N-th best line
    Move child_pv[PV_SIZE], scratch[2];

    Position& root_child = w.root_child;
    for (int i = 0; i < w.root_move_count && !stopped(); i++) {
        const Move m = w.root_moves[i].move;
        if (!allowed.contains(m)) continue;
        if (!play_legal(w, pos, root_child, m)) continue;
        count++;
        const uint64_t nodes_before = worker_nodes(w);
        if (progress && lines <= 1 && report) w.reporter->current_move(m, count);
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
                if (stopped()) return 0;
                if (lines >= 2) reference = record_line(w, depth, v, m, child_pv, reference);
            } else {
                if (lines < 2) reference = alpha;
                bool full = true;
                if (w.opt.use_lmr && !unreducible && depth >= ROOT_REDUCTION_DEPTH && count >= ROOT_REDUCTION_FROM &&
                    !tactical && !root_child.in_check && best > MATED_LIMIT) {
                    const int r = count >= ROOT_DEEPER_FROM ? ROOT_DEEPER_REDUCTION : ROOT_REDUCTION;
                    pos.reduced = 1;
                    v = -zw_search(w, root_child, -reference, depth - 2 - r, 1, scratch);
                    pos.reduced = 0;
                    if (stopped()) return 0;
                    full = v > reference;
                }
                if (full) {
                    v = -zw_search(w, root_child, -reference, nd, 1, scratch);
                    if (stopped()) return 0;
                    if (v > reference) {
                        v = -pv_search(w, root_child, -beta, -reference, nd, 1, child_pv);
                        if (stopped()) return 0;
                        if (lines >= 2 && v > reference) reference = record_line(w, depth, v, m, child_pv, reference);
                    }
                }
            }
        }
        w.root_moves[i].nodes = worker_nodes(w) - nodes_before;
        if (v > best) {
            set_line(pv, m, child_pv);
            update_killers(w, 0, m);
            if (lines <= 1 && report && depth / 2 > QUIET_DEPTHS)
                w.reporter->new_best(depth / 2, v, pv,
                                     v >= beta ? ScoreBound::LOWER : (v <= alpha ? ScoreBound::UPPER : ScoreBound::EXACT));
            best = v;
            if (v >= beta) break;
            if (v > alpha) alpha = v;
        }
    }

    if (stopped()) return 0;
    if (pv[0]) move_to_front(w, pv[0]);
    if (!count) best = no_move_score(pos.in_check, 0);
    for (int i = 0; i < w.root_move_count; i++)
        (w.root_moves[i].move == pv[0] ? best_nodes : other_nodes) += w.root_moves[i].nodes;
    return best;
}

#include <cinttypes>
#include <cstring>

#include "board/draw.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "eval/evaluate.h"
#include "search/search.h"
#include "search/see.h"
#include "shell/driver.h"
#include "shell/options.h"
#include "shell/timeman.h"

RootMove root_moves[MAX_ROOT_MOVES];
int root_move_count = 0;

namespace {
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
}  // namespace

bool move_list_has(const char* list, const char* word) {
    const size_t n = strlen(word);
    for (const char* p = list; *p;) {
        while (*p && is_blank(*p)) p++;
        const char* w = p;
        while (*p && !is_blank(*p)) p++;
        if (n && size_t(p - w) == n && !memcmp(w, word, n)) return true;
    }
    return false;
}

namespace {

Position root_child;

// First iteration: order the legal moves by a one-ply look at the result.
void build_root_moves(Position& pos) {
    Move moves[MAX_MOVES];
    root_move_count = generate_legal_moves(pos, moves);
    for (int i = 0; i < root_move_count; i++) {
        make_move(pos, root_child, moves[i]);
        int score = -evaluate(root_child);
        if (see(pos, moves[i]) < 0) score -= 50;
        if (last_move_threat(root_child)) score += 25;
        root_moves[i] = RootMove{moves[i], int32_t(score), 0};
    }
    for (int i = 0; i < root_move_count; i++)
        for (int j = i + 1; j < root_move_count; j++)
            if (root_moves[j].score > root_moves[i].score) {
                const RootMove t = root_moves[i];
                root_moves[i] = root_moves[j];
                root_moves[j] = t;
            }
    node_count = 0;
}

// The best move goes first for the next iteration; the others keep their order.
void move_to_front(Move m) {
    for (int i = 0; i < root_move_count; i++) {
        if (root_moves[i].move != m) continue;
        const RootMove best = root_moves[i];
        memmove(root_moves + 1, root_moves, size_t(i) * sizeof(RootMove));
        root_moves[0] = best;
        return;
    }
}

void record_line(int depth, int score, Move m, const Move* child_pv) {
    Move line[PV_SIZE];
    set_line(line, m, child_pv);
    record_multipv(depth / 2, score, line);
}

}  // namespace

int root_search(Position& pos, int depth, int alpha, int beta, Move* pv, const char* move_list,
                uint64_t& best_nodes, uint64_t& other_nodes) {
    if (stop_search) return 0;
    pos.last_pv_ply = 0;
    pos.horizon_ext = 0;
    pos.reduced = 0;
    pos.accum_ext = -8;
    evaluate(pos);
    const bool progress = depth / 2 >= 6 && clock_seconds() - search_start > 0.25;
    if (poll_step()) return 0;
    pv[0] = 0;
    if (depth / 2 == 1) build_root_moves(pos);
    for (int i = 0; i < root_move_count; i++) root_moves[i].nodes = 0;

    const int us = side_to_move(pos), them = 1 - us;
    const Bitboard far_ranks = relative_rank_mask[5][us] | relative_rank_mask[6][us] | relative_rank_mask[7][us];
    const Bitboard passed_targets = far_ranks & ~pawn_barrier(pos, them);
    const int lines = multi_pv;
    int best = -INFINITE_SCORE, count = 0;
    int reference = alpha;  // what a later move must beat: alpha, or the N-th best line
    Move child_pv[PV_SIZE], scratch[2];

    for (int i = 0; i < root_move_count && !stop_search; i++) {
        const Move m = root_moves[i].move;
        char text[MOVE_TEXT_SIZE];
        move_to_text(m, text, &pos);
        if (!move_list_has(move_list, text)) continue;
        make_move(pos, root_child, m);
        if (king_attacked(root_child, us)) continue;
        root_child.in_check = king_attacked(root_child, them);
        count++;
        const uint64_t nodes_before = node_count;
        if (progress && lines <= 1 && !bench_mode) {
            printf("info currmove %s currmovenumber %d\n", text, count);
            fflush(stdout);
        }
        child_pv[0] = 0;
        int v;
        if (is_draw_by_rule(root_child)) {
            v = draw_score;
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
                v = -pv_search(root_child, -hi, -lo, nd, 1, child_pv);
                if (stop_search) return 0;
                if (lines >= 2) {
                    record_line(depth, v, m, child_pv);
                    if (depth > 3) reference = report_multipv(clock_seconds() - search_start);
                }
            } else {
                if (lines < 2) reference = alpha;
                bool full = true;
                if (use_lmr && !unreducible && depth >= 8 && count >= 5 && !tactical && !root_child.in_check &&
                    best > MATED_LIMIT) {
                    const int r = count >= 10 ? 3 : 2;
                    pos.reduced = 1;
                    v = -zw_search(root_child, -reference, depth - 2 - r, 1, scratch, 0, 0);
                    pos.reduced = 0;
                    if (stop_search) return 0;
                    full = v > reference;
                }
                if (full) {
                    v = -zw_search(root_child, -reference, nd, 1, scratch, 0, 0);
                    if (stop_search) return 0;
                    if (v > reference) {
                        v = -pv_search(root_child, -beta, -reference, nd, 1, child_pv);
                        if (stop_search) return 0;
                        if (lines >= 2 && v > reference) {
                            record_line(depth, v, m, child_pv);
                            if (depth > 3) reference = report_multipv(clock_seconds() - search_start);
                        }
                    }
                }
            }
        }
        root_moves[i].nodes = node_count - nodes_before;
        if (v > best) {
            set_line(pv, m, child_pv);
            update_killers(0, m);
            if (lines <= 1) report_root_best(depth / 2, v, pv, alpha, beta);
            best = v;
            if (v >= beta) break;
            if (v > alpha) alpha = v;
        }
    }

    if (stop_search) return 0;
    if (pv[0]) move_to_front(pv[0]);
    if (!count) best = pos.in_check ? -MATE_SCORE : 0;
    for (int i = 0; i < root_move_count; i++) (root_moves[i].move == pv[0] ? best_nodes : other_nodes) += root_moves[i].nodes;
    return best;
}

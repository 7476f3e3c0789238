#include "board/draw.h"
#include "board/makemove.h"
#include "search/movepick.h"
#include "eval/evaluate.h"
#include "eval/tables.h"
#include "search/search.h"
#include "board/see.h"

namespace {

constexpr int HOPELESS_MARGIN = 1250;
constexpr int BIG_EVAL = 400;
constexpr int HORIZON_WINDOW = 75;
constexpr int NULL_EVAL_MARGIN = 5;
constexpr int EVEN_PARITY_BONUS = 70;
constexpr int RAZOR_MARGIN = 120;
constexpr int FUTILITY_PLIES = 5;
constexpr int FUTILITY_SCALE = 100;
constexpr int ADVANCED_PAWN_BONUS = 50;
constexpr int EVASION_COUNT_PLIES = 7;
constexpr int SINGULAR_MARGIN = 20;
constexpr int LATE_FUTILITY_START = 6;

constexpr int static_null_margin_table[10] = {0, 0, 110, 115, 125, 130, 140, 165, 195, 230};
constexpr int threat_null_margin_table[6] = {0, 0, 10, 15, 30, 35};
constexpr int threat_margin_table[20] = {0,  50,  62,  70,  76,  81,  86,  90,  93,  97,
                                         100, 103, 105, 108, 110, 113, 115, 117, 119, 121};
constexpr int LARGEST_THREAT_ROW = 19;  // larger threats take the last row
constexpr int futility_margin_table[20] = {60,  62,  62,  68,  78,  92,  110, 132, 158, 188,
                                           222, 260, 302, 348, 398, 452, 510, 572, 638, 708};
constexpr int late_move_count_table[2][10] = {{0, 0, 3, 3, 4, 5, 6, 7, 8, 9}, {0, 0, 4, 4, 5, 5, 6, 6, 7, 7}};

struct HashInfo {
    bool found;
    Move move;
    int score;  // already relative to this node
    int depth;
    int bound;
};

inline bool has_pieces(const Position& pos, int side) {
    return (pos.bb[side][KNIGHT] | pos.bb[side][BISHOP] | pos.bb[side][ROOK] | pos.bb[side][QUEEN]) != 0;
}

// An opponent without queen and without far-advanced pawns cannot turn a big lead around quickly.
inline bool opponent_harmless(const Position& pos, int them) {
    const Bitboard advanced = relative_rank_mask[5][them] | relative_rank_mask[6][them];
    return !pos.bb[them][QUEEN] && !(pos.bb[them][PAWN] & advanced);
}

inline bool passer_on_sixth(const Position& pos, int us) {
    for (Bitboard b = pos.bb[us][PAWN] & relative_rank_mask[5][us]; b;)
        if (is_passed_square(pos, us, pop_lsb(b))) return true;
    return false;
}

constexpr int NO_CUTOFF = -2 * INFINITE_SCORE;

// Null-move pruning in its static and searched forms: the node's result, or NO_CUTOFF.
int null_move_result(Worker& w, Position& pos, int beta, int depth, int ply, int eval, int p, int phase) {
    const int even_bonus = p == 0 ? EVEN_PARITY_BONUS : 0;
    if (depth <= 5) {
        if (beta <= eval - static_null_margin_table[depth] + even_bonus) return beta;
        // The node is cut when the margin of the largest threat still leaves eval above beta. The
        // margins grow with the threat, so the scan only has to tell whether the threat passes the
        // largest one the lead affords.
        const int lead = eval - beta - threat_null_margin_table[depth];
        if (lead < 0) return NO_CUTOFF;
        int affordable = 0;
        while (affordable < LARGEST_THREAT_ROW && threat_margin_table[affordable + 1] <= lead) affordable++;
        if (affordable == LARGEST_THREAT_ROW) return beta;
        return largest_threat_above(pos, affordable) <= affordable ? beta : NO_CUTOFF;
    }
    if (depth <= 9 && beta <= eval - static_null_margin_table[depth] + even_bonus) return beta;
    if (!has_pieces(pos, side_to_move(pos))) return NO_CUTOFF;
    Position child;
    Move scratch[2];
    play(w, pos, child, 0);
    const int r = (phase > 23 ? 3500 : 1500) + 250 * depth + null_move_depth_table[imin(eval - beta, 639)];
    const int v = -zw_search(w, child, 1 - beta, depth - r / 1000 - 2, ply + 1, scratch, 0, 1);
    if (stopped()) return 0;
    // Under a reduction, a clear threat shown by the null move sends the node back to full depth.
    if (pos.prev && pos.prev->reduced && v < beta - 120) return v;
    if (is_mate_score(v) || v < beta) return NO_CUTOFF;
    if (depth <= 15) return beta;
    const int verify = zw_search(w, pos, beta, depth - 10, ply, scratch, 0, 1);
    if (stopped()) return 0;
    return verify >= beta ? beta : NO_CUTOFF;
}


// What the move loop of one zero-window node knows about the node.
struct ZwNode {
    Worker& w;
    Position& pos;
    int beta, depth, ply, p, phase, eval, evasions, us;
    bool in_check;
    Move excluded;
    HashInfo hash;
};

// Shallow pruning before a move is made: late quiet moves and losing exchanges.
bool pruned_before_make(const ZwNode& n, Exchanges& x, MovePicker& picker, int count, bool futility, bool is_killer) {
    const Move m = x.m;
    const int plies = n.depth / 2, flag = move_flag(m);
    bool early = is_killer || flag >= FLAG_EP || count <= late_move_count_table[n.p][n.depth];
    if (early && futility && (plies == 3 || plies == 4) && count > 0 && move_loses(x)) early = false;
    const bool captures = (n.pos.bb[1 - n.us][0] & square_bit[move_to(m)]) != 0;
    if (!early && !captures && !moves_from_sixth(n.pos, m) && !picker_move_checks(picker, m)) return true;
    return plies <= 2 && count > 0 && move_loses(x);
}

// Extension of one move in half plies; `mark` is set when the move must keep its full depth.
// Runs the singular test, after which the caller checks stopped().
int extension(const ZwNode& n, Move m, const Position& child, int count, bool& mark) {
    const Position& pos = n.pos;
    const int to = move_to(m), ply = n.ply;
    int e = 0;
    if (pos.accum_ext < 2 * ply - ply / 2) {
        if (n.in_check) e = n.evasions == 1 ? 2 : (n.evasions == 2 ? 1 : 0);
        if (child.in_check) {
            mark = true;
            e += 1 + (m == n.hash.move && n.p == 1);
        }
        if (n.phase <= 48 && child.moved_type == PAWN && relative_rank(n.us, to) >= 5 &&
            is_passed_square(pos, n.us, to)) {
            mark = true;
            if (n.phase <= 24) e++;
        }
        if (count == 1) {
            const Move last = pos.last_move;
            if (child.captured_type > PAWN && last && to == move_to(last) && pos.prev && pos.prev->captured_type &&
                m == n.hash.move)
                e++;
            if (e == 0 && !n.in_check && m == n.hash.move && n.depth >= 6 && n.depth <= 15) e = 1;
        }
        if (n.p == 1 && !n.excluded && e <= 1 && m == n.hash.move && (n.hash.bound & BOUND_LOWER) && n.depth > 15) {
            const int s = n.hash.score - SINGULAR_MARGIN;
            Move scratch[2];
            if (zw_search(n.w, n.pos, s, n.depth / 2, ply, scratch, m, 0) < s) e += 2;
        }
    }
    if (e > 2) e = 2;
    if (child.phase == 0 && child.captured_type > PAWN) e = 4;
    return e;
}

// Late quiet moves far below beta are skipped unless they create a threat.
bool late_move_futile(const ZwNode& n, Exchanges& x, Position& child, int nd, int count) {
    const int bonus = 1 << (n.p == 0 ? nd - 4 : nd - 6);
    const int f = n.eval + 30 - 4 * count + 2 * nd + bonus;
    if (f >= n.beta + 120) return false;
    if (!move_loses(x) && last_move_threat(child)) return false;
    if (f < n.beta + 40) return true;
    if (move_loses(x)) return true;
    child.eval_cache = evaluate(child, n.w.eval);
    return 2 * nd - 4 * count + bonus - child.eval_cache < n.beta;
}

}  // namespace

int zw_search(Worker& w, Position& pos, int beta, int depth, int ply, Move* pv, Move excluded, int no_null) {
    if (stopped()) return 0;
    if (ply > w.sel_depth) w.sel_depth = ply;
    pos.reduced = 0;
    if (poll_step(w)) return 0;
    if (insufficient_material(pos, ply)) return draw_for_ply(w, ply);
    const int p = (pos.last_pv_ply ^ ply) & 1;
    const bool in_check = pos.in_check != 0;
    Move scratch[2];

    if (depth <= 1 || ply >= MAX_PLY - 1) {
        if (!pos.horizon_ext && !in_check && !excluded && ply < MAX_PLY - 1) {
            // Quiescence evaluates this position next anyway, so the window test comes before the
            // costlier threat test.
            const int ev = evaluate(pos, w.eval);
            pos.eval_cache = ev;
            if (beta <= ev && ev < beta + HORIZON_WINDOW && last_move_threat(pos)) {
                pos.horizon_ext = 1;
                return zw_search(w, pos, beta, depth + 2, ply, scratch, 0, no_null);
            }
        }
        return qsearch(w, pos, beta - 1, beta, 0, ply, pv);
    }

    // The move loop reads this node's counter-move entry: start loading it now.
    __builtin_prefetch(&w.counters[side_to_move(pos)][pos.moved_type][pos.last_move & 4095]);
    pv[0] = pv[1] = 0;
    // Evaluating before the hash probe hides the wait for the bucket that make started to load;
    // the few nodes the table then cuts waste an evaluation that is mostly cached.
    int eval = 0;
    if (!in_check) {
        eval = evaluate(pos, w.eval);
        pos.eval_cache = eval;
    }
    HashInfo hash = {false, 0, 0, 0, 0};
    TTEntry slot;
    const TTEntry* entry = nullptr;
    if (!excluded && (entry = tt_probe(pos.key, slot))) {
        if (tt_cutoff(entry, depth, beta)) return score_from_tt(entry->score, ply);
        hash = {true, entry->move, score_from_tt(entry->score, ply), entry->depth, tt_bound(entry)};
    }
    int tb_score;
    if (!excluded && tb_settles(w, pos, beta - 1, beta, depth, ply, tb_score)) return tb_score;

    const int us = side_to_move(pos), them = 1 - us;
    if (!in_check) {
        eval = tt_refine_eval(entry, eval);
        if (depth <= 7 && eval < beta - HOPELESS_MARGIN) return eval;
        if (depth >= 4 && eval > BIG_EVAL && eval > beta && opponent_harmless(pos, them)) depth -= 2;
    }
    const int phase = pos.phase < MAX_PHASE ? pos.phase : MAX_PHASE;
    const int plies = depth / 2;

    if (w.opt.null_move_pruning && !no_null && !in_check && beta < -MATED_LIMIT && beta > MATED_LIMIT &&
        eval >= beta + NULL_EVAL_MARGIN) {
        const int result = null_move_result(w, pos, beta, depth, ply, eval, p, phase);
        if (result != NO_CUTOFF) return result;
    }
    if (!in_check && plies == 1 && eval < beta - RAZOR_MARGIN && pos.last_move)
        return qsearch(w, pos, beta - 1, beta, 0, ply, pv);

    // Futility mode: a node far below beta searches only captures and checks, standing pat on eval.
    int mode = PICK_ALL, best = -INFINITE_SCORE, count = 0;
    bool futility = false;
    if (in_check) {
        mode = PICK_EVASIONS;
    } else if (plies <= FUTILITY_PLIES) {
        int margin = int(futility_margin_table[depth] * FUTILITY_SCALE * 0.01);
        if (passer_on_sixth(pos, us)) margin += ADVANCED_PAWN_BONUS;
        if (eval + margin < beta) {
            futility = true;
            mode = PICK_CHECKS;
            best = eval;
            count = 1;
        }
    }
    const int evasions = in_check && plies >= EVASION_COUNT_PLIES ? count_legal_moves_upto3(w, pos) : 10;
    const Move k1 = w.killers[ply][0], k2 = w.killers[ply][1];
    MovePicker picker;
    picker_init(pos, picker, mode, hash.move, in_check ? 0 : k1, in_check ? 0 : k2, depth, w.history);

    const Move last = pos.last_move;
    const CounterMove& counter = w.counters[us][pos.moved_type][last & 4095];
    const Move counter_move = counter.type == pos.moved_type ? counter.move : 0;

    Move quiets[MAX_MOVES];
    int quiet_count = 0;
    Move cut_move = 0;
    bool best_is_draw = false;
    Position child;
    const ZwNode node = {w, pos, beta, depth, ply, p, phase, eval, evasions, us, in_check, excluded, hash};
    Exchanges exchanges = {pos, 0, 1, 0, 0};
    const bool late_pruning = depth <= 9 && !in_check;
    for (Move m; (m = picker_next(picker));) {
        if (m == excluded) continue;
        const int flag = move_flag(m), from = move_from(m);
        if (flag >= FLAG_PROMO_N && depth < 30) continue;
        const bool is_killer = m == k1 || m == k2;
        exchanges_next_move(exchanges, m, picker.verdict);
        if (late_pruning && pruned_before_make(node, exchanges, picker, count, futility, is_killer)) continue;

        if (!play_legal(w, pos, child, m)) continue;
        count++;
        // Past this count pruned_before_make drops every quiet move that is not forcing.
        if (late_pruning && count > late_move_count_table[p][depth]) picker_only_forcing_quiets(picker);
        int v;
        bool is_draw = false;
        const bool tactical = child.captured_type || flag == FLAG_EP || flag >= FLAG_PROMO_Q;
        const bool checking = child.in_check != 0;
        const bool quiet = !tactical && !in_check;
        if (is_draw_by_rule(child)) {
            v = draw_for_ply(w, ply);
            is_draw = true;
        } else {
            if (quiet && !checking && quiet_count < MAX_MOVES) quiets[quiet_count++] = m;
            bool mark = false;
            const int e = extension(node, m, child, count, mark);
            if (stopped()) return 0;
            child.accum_ext = int16_t(child.accum_ext + e);
            const int nd = depth + e;

            const bool plain = quiet && !checking;
            const bool is_counter = m == counter_move;
            if (nd >= 10 && nd <= 17 && plain && !is_counter && !is_killer && !mark && best >= MATED_LIMIT &&
                count > LATE_FUTILITY_START && late_move_futile(node, exchanges, child, nd, count))
                continue;

            int r = lmr_table_zw[count < LMR_TABLE_SIZE ? count : LMR_TABLE_SIZE - 1] + (p == 1 && !in_check ? 2 : 0);
            bool reduce = w.opt.use_lmr && nd >= 8 && !mark && !checking && (!in_check || p == 1) && best > MATED_LIMIT &&
                          count != 1 && imin(r, 8) > 1 && !is_killer && !is_counter;
            if (reduce && tactical) {
                r -= 5;
                reduce = r > 1;
            }
            if (reduce && nd <= 9 && last_move_threat(child)) reduce = false;
            // A piece stepping out of a losing exchange to a safe square is reduced less.
            if (reduce && nd <= 15 && plain && child.moved_type != KING && piece_loses(exchanges, from) &&
                !move_loses(exchanges))
                r = 2;

            const uint8_t horizon = child.horizon_ext;
            v = beta;
            if (reduce) {
                pos.reduced = 1;
                v = -zw_search(w, child, 1 - beta, nd - 2 - r, ply + 1, scratch, 0, 0);
                pos.reduced = 0;
                if (stopped()) return 0;
                child.horizon_ext = horizon;
            }
            if (v >= beta) v = -zw_search(w, child, 1 - beta, nd - 2, ply + 1, scratch, 0, 0);
            if (stopped()) return 0;
        }

        if (v <= best) continue;
        best = v;
        best_is_draw = is_draw;
        if (v >= beta) {
            pv[0] = m;
            pv[1] = 0;
            cut_move = m;
            if (quiet) {
                w.counters[us][pos.moved_type][last & 4095] = {pos.moved_type, m};
                if (!excluded) update_killers(w, ply, m);
            }
            break;
        }
    }

    if (stopped()) return 0;
    if (count == 0) best = in_check ? ply - MATE_SCORE : 0;
    if (cut_move && !is_tactical(pos, cut_move) && !in_check) update_history(w, pos, cut_move, quiets, quiet_count, depth);
    if (best_is_draw || excluded) return best;
    const int stored = score_to_tt(best, ply);
    if (best >= beta)
        tt_store(pos.key, depth, stored, BOUND_LOWER, int(cut_move & 0xFFFF));
    else
        tt_store(pos.key, depth, stored, BOUND_UPPER, 0);
    return best;
}

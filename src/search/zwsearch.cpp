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
constexpr int ADVANCED_PAWN_BONUS = 50;
constexpr int EVASION_COUNT_PLIES = 7;
constexpr int SINGULAR_MARGIN = 20;
constexpr int LATE_FUTILITY_START = 6;
// Pruning on the evaluation alone: a hopeless node this shallow returns it; a big lead over a
// harmless opponent loses a ply from this depth.
constexpr int HOPELESS_DEPTH = 7;
constexpr int BIG_LEAD_DEPTH = 4;
// Null move: the static forms up to these depths; the searched one reduces by a base (larger with
// more material, where a spare tempo is worth more), a part per ply and the lead over beta, in
// thousandths of a half ply. Under a reduction, a null move that falls this far below beta is a
// threat that sends the node back; from this depth on the null move's cut is verified, 10 half
// plies shallower.
constexpr int STATIC_NULL_THREAT_DEPTH = 5, STATIC_NULL_DEPTH = 9;
constexpr int NULL_BASE_PHASE = 24;
constexpr int NULL_BASE_OPENING = 3500, NULL_BASE_ENDING = 1500, NULL_PER_DEPTH = 250;
constexpr int NULL_LEAD_CAP = 639;
constexpr int NULL_THREAT_MARGIN = 120;
constexpr int NULL_VERIFY_DEPTH = 16, NULL_VERIFY_REDUCTION = 10;
// Under-promotions are tried only this deep: they almost never beat the queen.
constexpr int UNDERPROMOTION_DEPTH = 30;
// Late-move pruning before make reaches this depth; the losing-exchange test these plies.
constexpr int LATE_PRUNING_DEPTH = 9;
constexpr int LOSING_EXCHANGE_PLIES = 2;
// Extensions: a pawn's advance under these phases; the first move recapturing, or the hash move in
// this band, one ply; the singular test from this depth on.
constexpr int PAWN_EXTENSION_PHASE = 48, PAWN_EXTENSION_FULL_PHASE = 24;
constexpr int HASH_EXTENSION_LOW = 6, HASH_EXTENSION_HIGH = 15;
constexpr int SINGULAR_DEPTH = 16;
// Late quiet moves in this depth band are judged by a futility score: kept from this margin above
// beta, dropped under the lower one unless they threaten.
constexpr int LATE_FUTILITY_LOW = 10, LATE_FUTILITY_HIGH = 17;
constexpr int LATE_FUTILITY_BASE = 30, LATE_FUTILITY_KEEP = 120, LATE_FUTILITY_DROP = 40;
// Reductions: from this depth on, a ply more off the PV, five half plies less for a capture; a
// threatening move is not reduced this shallow, a piece escaping an exchange only by a ply up to
// the second depth.
constexpr int REDUCTION_MIN_DEPTH = 8;
constexpr int OFF_PV_REDUCTION = 2, TACTICAL_REDUCTION_CUT = 5, MAX_TABLE_REDUCTION = 8;
constexpr int THREAT_KEEP_DEPTH = 9, ESCAPE_DEPTH = 15, ESCAPE_REDUCTION = 2;

constexpr int static_null_margin_table[10] = {0, 0, 110, 115, 125, 130, 140, 165, 195, 230};
constexpr int threat_null_margin_table[6] = {0, 0, 10, 15, 30, 35};
constexpr int threat_margin_table[20] = {0,  50,  62,  70,  76,  81,  86,  90,  93,  97,
                                         100, 103, 105, 108, 110, 113, 115, 117, 119, 121};
constexpr int LARGEST_THREAT_ROW = 19;  // larger threats take the last row
constexpr int futility_margin_table[20] = {60,  62,  62,  68,  78,  92,  110, 132, 158, 188,
                                           222, 260, 302, 348, 398, 452, 510, 572, 638, 708};
constexpr int late_move_count_table[2][10] = {{0, 0, 3, 3, 4, 5, 6, 7, 8, 9}, {0, 0, 4, 4, 5, 5, 6, 6, 7, 7}};

struct HashInfo {
    Move move;
    int score;  // already relative to this node
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
    if (depth <= STATIC_NULL_THREAT_DEPTH) {
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
    if (depth <= STATIC_NULL_DEPTH && beta <= eval - static_null_margin_table[depth] + even_bonus) return beta;
    if (!has_pieces(pos, side_to_move(pos))) return NO_CUTOFF;
    Position child;
    Move scratch[2];
    play(w, pos, child, 0);
    const int r = (phase >= NULL_BASE_PHASE ? NULL_BASE_OPENING : NULL_BASE_ENDING) + NULL_PER_DEPTH * depth +
                  null_move_depth_table[imin(eval - beta, NULL_LEAD_CAP)];
    const int v = -zw_search(w, child, 1 - beta, depth - r / 1000 - 2, ply + 1, scratch, MOVE_NONE, NullMove::FORBIDDEN);
    if (stopped()) return 0;
    // Under a reduction, a clear threat shown by the null move sends the node back to full depth.
    if (pos.prev && pos.prev->reduced && v < beta - NULL_THREAT_MARGIN) return v;
    if (is_mate_score(v) || v < beta) return NO_CUTOFF;
    if (depth < NULL_VERIFY_DEPTH) return beta;
    const int verify =
        zw_search(w, pos, beta, depth - NULL_VERIFY_REDUCTION, ply, scratch, MOVE_NONE, NullMove::FORBIDDEN);
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
    return plies <= LOSING_EXCHANGE_PLIES && count > 0 && move_loses(x);
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
        if (n.phase <= PAWN_EXTENSION_PHASE && child.moved_type == PAWN && relative_rank(n.us, to) >= 5 &&
            is_passed_square(pos, n.us, to)) {
            mark = true;
            if (n.phase <= PAWN_EXTENSION_FULL_PHASE) e++;
        }
        if (count == 1) {
            const Move last = pos.last_move;
            if (child.captured_type > PAWN && last && to == move_to(last) && pos.prev && pos.prev->captured_type &&
                m == n.hash.move)
                e++;
            if (e == 0 && !n.in_check && m == n.hash.move && n.depth >= HASH_EXTENSION_LOW && n.depth <= HASH_EXTENSION_HIGH)
                e = 1;
        }
        if (n.p == 1 && !n.excluded && e <= 1 && m == n.hash.move && (n.hash.bound & BOUND_LOWER) &&
            n.depth >= SINGULAR_DEPTH) {
            const int s = n.hash.score - SINGULAR_MARGIN;
            Move scratch[2];
            if (zw_search(n.w, n.pos, s, n.depth / 2, ply, scratch, m) < s) e += 2;
        }
    }
    return bounded_extension(e, child);
}

// Late quiet moves far below beta are skipped unless they create a threat.
bool late_move_futile(const ZwNode& n, Exchanges& x, Position& child, int nd, int count) {
    const int bonus = 1 << (n.p == 0 ? nd - 4 : nd - 6);
    const int f = n.eval + LATE_FUTILITY_BASE - 4 * count + 2 * nd + bonus;
    if (f >= n.beta + LATE_FUTILITY_KEEP) return false;
    if (!move_loses(x) && last_move_threat(child)) return false;
    if (f < n.beta + LATE_FUTILITY_DROP) return true;
    if (move_loses(x)) return true;
    child.eval_cache = evaluate(child, n.w.eval);
    return 2 * nd - 4 * count + bonus - child.eval_cache < n.beta;
}

// The move loop of a zero-window node, and what it leaves in the history and the table.
int zw_moves(const ZwNode& node, MovePicker& picker, bool futility, Move k1, Move k2, Move* pv) {
    Worker& w = node.w;
    Position& pos = node.pos;
    const int beta = node.beta, depth = node.depth, ply = node.ply, p = node.p, us = node.us;
    const bool in_check = node.in_check;
    const Move excluded = node.excluded;
    Move scratch[2];
    const Move last = pos.last_move;
    const CounterMove& counter = w.counters[us][pos.moved_type][last & 4095];
    const Move counter_move = counter.type == pos.moved_type ? counter.move : 0;

    MoveLoop l;
    if (futility) {
        l.best = node.eval;  // standing pat counts as the first move
        l.count = 1;
    }
    Move cut_move = 0;
    Position child;
    Exchanges exchanges = {pos, 0, 1, 0, 0};
    const bool late_pruning = depth <= LATE_PRUNING_DEPTH && !in_check;
    for (Move m; (m = picker_next(picker));) {
        if (m == excluded) continue;
        const int flag = move_flag(m), from = move_from(m);
        if (flag >= FLAG_PROMO_N && depth < UNDERPROMOTION_DEPTH) continue;
        const bool is_killer = m == k1 || m == k2;
        exchanges_next_move(exchanges, m, picker.verdict);
        if (late_pruning && pruned_before_make(node, exchanges, picker, l.count, futility, is_killer)) continue;

        int v;
        bool is_draw;
        if (!loop_play(l, w, pos, child, m, ply, is_draw, v)) continue;
        // Past this count pruned_before_make drops every quiet move that is not forcing.
        if (late_pruning && l.count > late_move_count_table[p][depth]) picker_only_forcing_quiets(picker);
        const bool tactical = child.captured_type || flag == FLAG_EP || flag >= FLAG_PROMO_Q;
        const bool checking = child.in_check != 0;
        const bool quiet = !tactical && !in_check;
        if (!is_draw) {
            if (quiet && !checking) loop_note_quiet(l, m);
            bool mark = false;
            const int e = extension(node, m, child, l.count, mark);
            if (stopped()) return 0;
            child.accum_ext = int16_t(child.accum_ext + e);
            const int nd = depth + e;

            const bool plain = quiet && !checking;
            const bool is_counter = m == counter_move;
            if (nd >= LATE_FUTILITY_LOW && nd <= LATE_FUTILITY_HIGH && plain && !is_counter && !is_killer && !mark &&
                l.best >= MATED_LIMIT && l.count > LATE_FUTILITY_START && late_move_futile(node, exchanges, child, nd, l.count))
                continue;

            int r = lmr_table_zw[l.count < LMR_TABLE_SIZE ? l.count : LMR_TABLE_SIZE - 1] +
                    (p == 1 && !in_check ? OFF_PV_REDUCTION : 0);
            bool reduce = w.opt.use_lmr && nd >= REDUCTION_MIN_DEPTH && !mark && !checking && (!in_check || p == 1) &&
                          l.best > MATED_LIMIT && l.count != 1 && imin(r, MAX_TABLE_REDUCTION) > 1 && !is_killer && !is_counter;
            if (reduce && tactical) {
                r -= TACTICAL_REDUCTION_CUT;
                reduce = r > 1;
            }
            if (reduce && nd <= THREAT_KEEP_DEPTH && last_move_threat(child)) reduce = false;
            // A piece stepping out of a losing exchange to a safe square is reduced less.
            if (reduce && nd <= ESCAPE_DEPTH && plain && child.moved_type != KING && piece_loses(exchanges, from) &&
                !move_loses(exchanges))
                r = ESCAPE_REDUCTION;

            const uint8_t horizon = child.horizon_ext;
            v = beta;
            if (reduce) {
                pos.reduced = 1;
                v = -zw_search(w, child, 1 - beta, nd - 2 - r, ply + 1, scratch);
                pos.reduced = 0;
                if (stopped()) return 0;
                child.horizon_ext = horizon;
            }
            if (v >= beta) v = -zw_search(w, child, 1 - beta, nd - 2, ply + 1, scratch);
            if (stopped()) return 0;
        }

        if (!loop_improves(l, v, is_draw)) continue;
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
    if (l.count == 0) l.best = no_move_score(in_check, ply);
    if (cut_move && !is_tactical(pos, cut_move) && !in_check)
        update_history(w, pos, cut_move, l.quiets, l.quiet_count, depth);
    if (l.best_is_draw || excluded) return l.best;
    store_node(pos, depth, ply, l.best, beta - 1, beta, cut_move);
    return l.best;
}

}  // namespace

int zw_search(Worker& w, Position& pos, int beta, int depth, int ply, Move* pv, Move excluded, NullMove null_move) {
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
                return zw_search(w, pos, beta, depth + 2, ply, scratch, MOVE_NONE, null_move);
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
    HashInfo hash = {0, 0, 0};
    TTEntry slot;
    const TTEntry* entry = nullptr;
    if (!excluded && (entry = tt_probe(pos.key, slot))) {
        if (tt_cutoff(entry, depth, beta)) return score_from_tt(entry->score, ply);
        hash = {entry->move, score_from_tt(entry->score, ply), tt_bound(entry)};
    }
    int tb_score;
    if (!excluded && tb_settles(w, pos, beta - 1, beta, depth, ply, tb_score)) return tb_score;

    const int us = side_to_move(pos), them = 1 - us;
    if (!in_check) {
        eval = tt_refine_eval(entry, eval);
        if (depth <= HOPELESS_DEPTH && eval < beta - HOPELESS_MARGIN) return eval;
        if (depth >= BIG_LEAD_DEPTH && eval > BIG_EVAL && eval > beta && opponent_harmless(pos, them)) depth -= 2;
    }
    const int phase = pos.phase < MAX_PHASE ? pos.phase : MAX_PHASE;
    const int plies = depth / 2;

    if (w.opt.null_move_pruning && null_move == NullMove::ALLOWED && !in_check && beta < -MATED_LIMIT && beta > MATED_LIMIT &&
        eval >= beta + NULL_EVAL_MARGIN) {
        const int result = null_move_result(w, pos, beta, depth, ply, eval, p, phase);
        if (result != NO_CUTOFF) return result;
    }
    if (!in_check && plies == 1 && eval < beta - RAZOR_MARGIN && pos.last_move)
        return qsearch(w, pos, beta - 1, beta, 0, ply, pv);

    // Futility mode: a node far below beta searches only captures and checks, standing pat on eval.
    int mode = PICK_ALL;
    bool futility = false;
    if (in_check) {
        mode = PICK_EVASIONS;
    } else if (plies <= FUTILITY_PLIES) {
        int margin = futility_margin_table[depth];
        if (passer_on_sixth(pos, us)) margin += ADVANCED_PAWN_BONUS;
        if (eval + margin < beta) {
            futility = true;
            mode = PICK_CHECKS;
        }
    }
    const int evasions = in_check && plies >= EVASION_COUNT_PLIES ? count_legal_moves_upto3(w, pos) : 10;
    const Move k1 = w.killers[ply][0], k2 = w.killers[ply][1];
    MovePicker picker;
    picker_init(pos, picker, mode, hash.move, in_check ? 0 : k1, in_check ? 0 : k2, depth, w.history);

    const ZwNode node = {w, pos, beta, depth, ply, p, phase, eval, evasions, us, in_check, excluded, hash};
    return zw_moves(node, picker, futility, k1, k2, pv);
}

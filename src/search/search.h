// The alpha-beta searches: root, principal variation, zero window and quiescence.
#pragma once
#include <cstdint>

#include "board/check.h"
#include "board/draw.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/position.h"
#include "board/see.h"
#include "eval/tables.h"
#include "search/tablebase.h"
#include "search/tt.h"
#include "search/worker.h"

constexpr int INFINITE_SCORE = 32001;
constexpr int MATED_LIMIT = -31800;  // a best score at or below this is a forced loss so far
constexpr int PV_SIZE = 64;          // words 0..62 hold moves, word 63 stays 0

// One iteration at the root: depth in half plies, only the moves in `allowed`. The worker's root-move
// list is built at iteration 1 and kept in order across the iterations of one search.
int root_search(Worker& w, Position& pos, int depth, int alpha, int beta, Move* pv, const MoveList& allowed,
                uint64_t& best_nodes, uint64_t& other_nodes);
int pv_search(Worker& w, Position& pos, int alpha, int beta, int depth, int ply, Move* pv);
// Whether a zero-window node may try the null move: not right after one, nor in its verification.
enum class NullMove { ALLOWED, FORBIDDEN };
// Window (beta - 1, beta); excluded: a move left out (singular test), which also skips the table.
int zw_search(Worker& w, Position& pos, int beta, int depth, int ply, Move* pv, Move excluded = MOVE_NONE,
              NullMove null_move = NullMove::ALLOWED);
int qsearch(Worker& w, Position& pos, int alpha, int beta, int depth, int ply, Move* pv);

// The tables' verdict on a node reached by a capture or pawn move: true with the score when it
// settles the window (stored in the transposition table with the bound it implies).
bool tb_node_probe(Worker& w, const Position& pos, int alpha, int beta, int depth, int ply, int& score);
inline bool tb_settles(Worker& w, const Position& pos, int alpha, int beta, int depth, int ply, int& score) {
    return w.opt.tb_pieces && pos.rule50 == 0 && depth >= 2 * w.opt.tb_probe_depth &&
           tb_node_probe(w, pos, alpha, beta, depth, ply, score);
}

// Copy-make of a move the search plays, counted as a node; the child's evaluation cache slot and
// pawn entry start loading, and its hash bucket when the child will probe the table (a load
// nobody reads still waits for its address translation).
inline void play(Worker& w, const Position& pos, Position& child, Move m, bool child_probes = true) {
    make_move(pos, child, m, pst_table);
    if (child_probes) tt_prefetch(child.key);
    eval_prefetch(w.eval, child);
    count_node(w);
}
// play, then false when m leaves the mover's king attacked; otherwise the child's check flag is set.
inline bool play_legal(Worker& w, const Position& pos, Position& child, Move m, bool child_probes = true) {
    play(w, pos, child, m, child_probes);
    if (king_exposed_by(pos, child, m)) return false;
    child.in_check = check_given_by(child, m);
    return true;
}

// The exchange verdicts a node asks for, each computed at most once: of the move being tried, and
// of the pieces standing where they are (the position does not change during the move loop).
struct Exchanges {
    const Position& pos;
    Move m;
    int move_verdict;  // see's -1 or 0; 1 while not computed
    Bitboard judged, losing;
};
// verdict: see of m when the caller knows it already, else 1.
inline void exchanges_next_move(Exchanges& x, Move m, int verdict) {
    x.m = m;
    x.move_verdict = verdict;
}
inline bool move_loses(Exchanges& x) {
    if (x.move_verdict == 1) x.move_verdict = see(x.pos, x.m);
    return x.move_verdict < 0;
}
// Whether the piece on sq loses material by staying there.
inline bool piece_loses(Exchanges& x, int sq) {
    const Bitboard b = square_bit[sq];
    if (!(x.judged & b)) {
        x.judged |= b;
        if (see(x.pos, make_move_word(sq, sq)) < 0) x.losing |= b;
    }
    return (x.losing & b) != 0;
}

// King and minor pieces that cannot mate, away from the root and with no check around.
inline bool insufficient_material(const Position& pos, int ply) {
    return pos.phase < 9 && ply > 2 && !pos.in_check && !(pos.prev && pos.prev->in_check) &&
           is_drawn_material_key(pos.material_key);
}

// Whether m checks the enemy king, directly or by discovery, judged without making it; the same
// answer as checks_from.
bool move_checks(const Position& pos, Move m);

// Captures, en passant and promotions.
inline bool is_tactical(const Position& pos, Move m) {
    return move_flag(m) == FLAG_EP || is_promotion(m) || (pos.bb[1 - side_to_move(pos)][0] & square_bit[move_to(m)]);
}
inline bool is_passed_square(const Position& pos, int side, int sq) {
    return !(passed_span(side, sq) & pos.bb[1 - side][PAWN]);
}
// Squares the pawns of `side` attack now or could walk onto.
inline Bitboard pawn_barrier(const Position& pos, int side) {
    const Bitboard p = pos.bb[side][PAWN];
    return forward_fill(side, p) | pawn_attacks(side, p);
}

// Moves to mate for a mate score, negative when being mated.
inline int mate_in_moves(int score) {
    return score > 0 ? (MATE_SCORE - score) / 2 + 1 : -((MATE_SCORE - 1 + score) / 2) - 1;
}
// What the move loops of the PV and zero-window searches keep alike: the legal moves tried, the
// quiet ones among them for the history, and the best score with whether it is a draw by rule.
struct MoveLoop {
    int count = 0;
    int best = -INFINITE_SCORE;
    bool best_is_draw = false;
    int quiet_count = 0;
    Move quiets[MAX_MOVES];  // only the first quiet_count are written
};

// Makes a move of the loop; false when it is illegal. A legal one is counted, and is_draw tells
// whether the child is a draw by rule, whose score `v` then is.
inline bool loop_play(MoveLoop& l, Worker& w, const Position& pos, Position& child, Move m, int ply, bool& is_draw,
                      int& v) {
    if (!play_legal(w, pos, child, m)) return false;
    l.count++;
    is_draw = is_draw_by_rule(child);
    if (is_draw) v = draw_for_ply(w, ply);
    return true;
}
inline void loop_note_quiet(MoveLoop& l, Move m) {
    if (l.quiet_count < MAX_MOVES) l.quiets[l.quiet_count++] = m;
}
// Takes a score that beats the best so far; false for one that does not.
inline bool loop_improves(MoveLoop& l, int v, bool is_draw) {
    if (v <= l.best) return false;
    l.best = v;
    l.best_is_draw = is_draw;
    return true;
}
// Extensions of one move are capped, but a capture into a pawn ending looks two plies deeper.
constexpr int MAX_EXTENSION = 2;
constexpr int PAWN_ENDING_EXTENSION = 4;
inline int bounded_extension(int e, const Position& child) {
    if (child.phase == 0 && child.captured_type > PAWN) return PAWN_ENDING_EXTENSION;
    return e > MAX_EXTENSION ? MAX_EXTENSION : e;
}

// No legal move: mated, or stalemate.
inline int no_move_score(bool in_check, int ply) { return in_check ? ply - MATE_SCORE : 0; }
// The node's result in the table: exact inside the window (with the move that raised alpha), a
// lower bound with the cut move, an upper bound without a move.
inline void store_node(const Position& pos, int depth, int ply, int best, int alpha, int beta, Move move) {
    const int stored = score_to_tt(best, ply);
    if (best > alpha && best < beta)
        tt_store(pos.key, depth, stored, BOUND_EXACT, int(move & 0xFFFF));
    else if (best >= beta)
        tt_store(pos.key, depth, stored, BOUND_LOWER, int(move & 0xFFFF));
    else
        tt_store(pos.key, depth, stored, BOUND_UPPER, 0);
}

// Appends the child's line after m; the line never exceeds 63 moves.
inline void set_line(Move* pv, Move m, const Move* child) {
    pv[0] = m;
    int i = 1;
    for (; i < PV_SIZE - 1 && child[i - 1]; i++) pv[i] = child[i - 1];
    pv[i] = 0;
    pv[PV_SIZE - 1] = 0;
}

// The alpha-beta searches: root, principal variation, zero window and quiescence.
#pragma once
#include <array>
#include <cstdint>

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
// Window (beta - 1, beta); excluded: a move left out (singular test), which also skips the table.
int zw_search(Worker& w, Position& pos, int beta, int depth, int ply, Move* pv, Move excluded, int no_null);
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
// Appends the child's line after m; the line never exceeds 63 moves.
inline void set_line(Move* pv, Move m, const Move* child) {
    pv[0] = m;
    int i = 1;
    for (; i < PV_SIZE - 1 && child[i - 1]; i++) pv[i] = child[i - 1];
    pv[i] = 0;
    pv[PV_SIZE - 1] = 0;
}

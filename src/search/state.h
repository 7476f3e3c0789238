// Search-wide control state shared by make-move, the searches and the command loop.
#pragma once
#include <cstdint>

#include "board/position.h"

constexpr uint64_t NO_NODE_LIMIT = ~0ULL;

extern int stop_search;
extern int pondering;
extern int poll_suppressed;
extern uint64_t node_count;
extern int sel_depth;  // deepest ply reached in this search
extern uint64_t hard_node_limit;
extern uint64_t soft_node_budget;

// Polling: the input and the limits are looked at once every (poll_mask + 1) nodes.
extern uint32_t poll_counter;
extern uint32_t poll_mask;
// Wall-clock second at which the searches give up (the driver's hard deadline).
extern double hard_deadline;

// Value of a draw for the side to move at the root; a node at odd ply scores it negated.
extern int draw_score;

constexpr int MAX_PLY = 256;
constexpr int LMR_TABLE_SIZE = 400;
constexpr int DRAWN_KEY_COUNT = 11;

// Material signatures of the piece sets that cannot mate.
extern uint64_t drawn_material_keys[DRAWN_KEY_COUNT];
// Late-move reductions in half plies by move number (1 upward).
extern int lmr_table_zw[LMR_TABLE_SIZE];
extern int lmr_table_pv[LMR_TABLE_SIZE];

struct CounterMove {
    int32_t type;  // moved piece type of the move answered
    uint32_t move;
};

extern Move killer_moves[MAX_PLY][2];
extern int32_t history_table[2][8][64];
extern CounterMove countermove_table[2][7][4096];

constexpr int HISTORY_START = 5000;
constexpr int HISTORY_MAX = 32640;

// Rebuilds the tables derived from the settings (reductions, insufficient-material keys).
void rebuild_search_tables();
// Forgets history and counter-moves (a new game, or every search when deterministic).
void reset_move_ordering();
void clear_killers();

// Called when the poll counter comes round: reads input, then tests stop, node limits and the deadline.
bool poll_limits();

// The polling step of every node: true when the search must unwind now.
inline bool poll_step() {
    if ((++poll_counter & poll_mask) != 0 || poll_suppressed) return false;
    return poll_limits();
}

inline bool is_drawn_material_key(uint64_t key) {
    for (uint64_t k : drawn_material_keys)
        if (k == key) return true;
    return false;
}

// A draw seen from the side to move at `ply`.
inline int draw_for_ply(int ply) { return (ply & 1) ? -draw_score : draw_score; }

// Quiet cut-off bookkeeping: the cut move gains, the other quiet moves tried lose.
inline void history_reward(int side, int type, int to, int depth) {
    int32_t& h = history_table[side][type][to];
    h = int32_t(h + int64_t(HISTORY_MAX - h) * depth / 64);
}
inline void history_penalty(int side, int type, int to, int depth) {
    int32_t& h = history_table[side][type][to];
    h = int32_t(h - int64_t(h) * depth / 64);
}
// After a quiet cut-off or best move at a node of the given depth (capped so the values stay in range).
inline void update_history(const Position& pos, Move best, const Move* quiets, int quiet_count, int depth) {
    const int side = pos.ply & 1, d = depth < 64 ? depth : 64;
    for (int i = 0; i < quiet_count; i++)
        if (quiets[i] != best) history_penalty(side, pos.board[move_from(quiets[i])] & 7, move_to(quiets[i]), d);
    history_reward(side, pos.board[move_from(best)] & 7, move_to(best), d);
}
inline void update_killers(int ply, Move m) {
    if (killer_moves[ply][0] == m) return;
    killer_moves[ply][1] = killer_moves[ply][0];
    killer_moves[ply][0] = m;
}

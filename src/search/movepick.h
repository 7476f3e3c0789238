// Staged move picker: hands out pseudo-legal moves best first, generating each group lazily.
#pragma once
#include <array>
#include <cstdint>

#include "board/draw.h"
#include "board/movegen.h"
#include "board/see.h"
#include "search/worker.h"

enum : int {
    PICK_ALL = 0,           // hash, captures, killers, quiets, losing captures
    PICK_CHECKS_DEFER = 1,  // hash, captures, quiet checks, losing captures
    PICK_CHECKS = 2,        // hash, captures, quiet checks
    PICK_CAPTURES = 3,      // hash, captures
    PICK_EVASIONS = 4,      // hash, check evasions, losing evasions
};

enum : int {
    STAGE_HASH = 1,
    STAGE_CAPTURES = 2,
    STAGE_KILLER1 = 3,
    STAGE_KILLER2 = 4,
    STAGE_QUIETS = 5,
    STAGE_EVASIONS = 6,
    STAGE_QUIET_CHECKS = 7,
    STAGE_DEFERRED = 8,
    STAGE_END = 9,
};

// Stage lists hold the move in the low 16 bits and a signed ordering score in the high 16.
constexpr int PICKER_LIST_SIZE = MAX_MOVES;

struct MovePicker {
    const Position* pos;
    int mode;
    int step;
    int stage;
    int count;
    int index;
    Move hash_move, killer1, killer2;
    const uint32_t* list;
    uint32_t entries[PICKER_LIST_SIZE];
    uint32_t deferred[PICKER_LIST_SIZE];
    int deferred_count;
    Move tried[4];
    int tried_count;
    int depth;
    const HistoryTable* history;  // orders the quiet moves
    bool quiets_sorted, quiets_filtered;
    bool forcing_quiets_only;     // set by picker_only_forcing_quiets
    bool checks_ready;
    CheckSquares checks;          // built on first use
    int verdict;                  // see of the move last handed out when already known, else 1
    Bitboard capture_targets;     // victims the capture stage lists; promotions and en passant always
};

extern const int picker_stage_sequence[5][10];
// [colour of the king][king square]: squares from which an enemy pawn checks that king by a
// single push, or by a double step from its second rank.
extern const std::array<std::array<Bitboard, 64>, 2> pawn_check_origin;

void picker_init(const Position& pos, MovePicker& p, int mode, Move hash_move, Move killer1, Move killer2, int depth,
                 const HistoryTable& history);
// The next move, or 0 when the run is over (and on every later call).
Move picker_next(MovePicker& p);

// see of m, the move last handed out, computed only if the picker has not already done so.
inline int picker_see(const MovePicker& p, Move m) { return p.verdict != 1 ? p.verdict : see(*p.pos, m); }

// Whether m, a move of this node, checks the enemy king (see checks_from).
inline bool picker_move_checks(MovePicker& p, Move m) {
    if (!p.checks_ready) {
        check_squares_init(*p.pos, p.checks);
        p.checks_ready = true;
    }
    return checks_from(p.checks, *p.pos, m);
}
// Whether m moves a pawn from its sixth rank; late pruning spares those moves.
inline bool moves_from_sixth(const Position& pos, Move m) {
    const int from = move_from(m);
    return (pos.board[from] & 7) == PAWN && (relative_rank_mask[5][side_to_move(pos)] & square_bit[from]);
}
// The capture stage lists captures of these squares only (and every promotion and en passant): for
// a caller that would skip captures of the other victims anyway.
inline void picker_limit_captures(MovePicker& p, Bitboard targets) { p.capture_targets = targets; }
// From now on the quiet stage hands out only castling, checks and moves from the sixth rank: the
// caller prunes every other late quiet move unmade, so they need no order and no visit.
inline void picker_only_forcing_quiets(MovePicker& p) { p.forcing_quiets_only = true; }

// Legal moves of the side to move, counted up to three (3 = three or more); meant for a side in check.
// Every move tried is a node of the worker.
int count_legal_moves_upto3(Worker& w, const Position& pos);

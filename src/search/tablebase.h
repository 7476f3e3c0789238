// Syzygy endgame tables, probed through Fathom (built from third_party/fathom with its locking on).
// Fathom keeps the loaded tables as state of its own: they are loaded only between searches; the WDL
// probe is safe from every search thread, first loads of a table included; the root probe runs on
// the command loop's thread alone. `pieces` is the most pieces probed (the largest table loaded,
// capped by the probe limit; 0 switches probing off); with `rule50`, wins and losses the fifty-move
// rule cuts short count as draws.
#pragma once
#include "board/position.h"
#include "eval/wdl.h"
#include "search/tables.h"

// A tablebase win found at ply p scores TB_WIN_SCORE - p; losses mirror it. The band lies above
// every evaluation and below the mate scores (over 31799), so the three never mix.
constexpr int TB_WIN_SCORE = 31000;
constexpr int TB_WIN_LIMIT = TB_WIN_SCORE - MAX_PLY;  // scores at or above are tablebase wins
static_assert(WDL_DECIDED == TB_WIN_LIMIT, "the odds end where the tablebase results begin");

// Loads the tables under the directories (separated by ';' on Windows, ':' elsewhere: Fathom splits
// them); the piece count of the largest found (0 when none). An empty path or "<empty>" unloads them.
int tb_load(const char* paths);

// The search's probe: -1 loss, 0 draw, 1 win for the side to move, or false when the position is
// not in the tables. Only after a capture or pawn move (the clock is zero), without castling rights.
bool tb_probe_search(const Position& pos, int pieces, bool rule50, int& wdl);

constexpr int TB_ROOT_MOVES = 256;
struct TbRoot {
    int outcome;  // -1 loss, 0 draw, 1 win for the side to move
    int dtz;      // plies to the next capture or pawn move along the kept moves
    int kept;
    Move moves[TB_ROOT_MOVES];  // the moves that keep the outcome
};
// Ranks the root moves by DTZ: wins keep the moves nearest the conversion, so a win is converted
// within the fifty-move rule; draws keep every drawing move; losses the moves that resist longest.
bool tb_probe_root_moves(const Position& pos, int pieces, bool rule50, TbRoot& out);
// The score shown for a root outcome of the tables.
inline int tb_root_score(const TbRoot& r) {
    return r.outcome > 0 ? TB_WIN_SCORE - r.dtz : (r.outcome < 0 ? -TB_WIN_SCORE + r.dtz : 0);
}

// One search request as a value: the root and its moves, the limits, the time and the settings,
// built by the command loop from "go" and the options.
#pragma once
#include <cstdint>

#include "board/movegen.h"
#include "board/position.h"
#include "board/score.h"

constexpr uint64_t NO_NODE_LIMIT = ~0ULL;
constexpr double ONE_YEAR = 31622400.0;
constexpr int MAX_ITERATIONS = 100;  // iterations 1..99
// The depth limit of a search that only time, nodes, a mate or "stop" end.
constexpr int NO_DEPTH_LIMIT = MAX_ITERATIONS - 1;

// What the clock allows one move: from the time manager, or a year when nothing limits the time.
struct TimeBudget {
    double start;      // clock second of the "go"
    double seconds;    // the goal
    int hard_percent;  // the hard deadline as a percentage of the goal
    double cap;        // seconds the hard deadline may reach; 0 for no cap
    bool fixed;        // "go movetime": the goal is also every deadline
};

struct SearchLimits {
    int depth;            // last iteration, 1..99
    uint64_t nodes;       // the main worker stops at exactly this count
    uint64_t soft_nodes;  // Special Node Level: a budget the limits look at, not a stop at the node
    int mate;             // "go mate N": moves, 0 when not asked
};

// Settings of the engine a search reads, copied at "go".
struct SearchSettings {
    int lines;           // principal variations searched (MultiPV, or more for a limited strength)
    int shown_lines;     // of which shown (MultiPV)
    bool use_lmr;
    bool null_move_pruning;
    int draw_score;      // value of a draw for the side to move at the root
    bool quiet;          // nothing printed while searching (benchmark, helpers)
    bool fresh;          // forget history and counter-moves first (a new game, or Deterministic)
    bool helpers;        // let the helper threads search too
    bool keep_choices;   // keep the best lines of each iteration for a limited strength
    ScorePair hmb;       // side-to-move bonus weight of the evaluation
    int tb_pieces;       // largest tables probed, 0 for none
    int tb_probe_depth;  // plies left at least for a probe in the search
    bool tb_rule50;      // wins the fifty-move rule cuts short count as draws
};

struct SearchRequest {
    Position root;   // a copy; its `prev` chain reaches into the game for the repetition test
    MoveList moves;  // the root moves that may be played
    SearchLimits limits;
    TimeBudget time;
    SearchSettings settings;
};

// The shell's side of a search: the clock it keeps, the commands it reads while the search runs, and
// everything the search reports, which the shell prints as "info" lines and logs.
#pragma once
#include "board/move.h"
#include "search/lines.h"

enum class ScoreBound { EXACT, LOWER, UPPER };

struct SearchReporter {
    virtual double now() = 0;  // the engine's clock, in seconds
    // Reads the commands that arrived: "stop", "ponderhit", "isready" and "quit" act at once.
    virtual void poll() = 0;
    // The search has ended; when `wait`, it is a ponder search or one without a depth limit, which
    // hands over its move only once "ponderhit" or "stop" says so (an infinite one only on "stop").
    virtual void finish(bool wait, bool infinite) = 0;
    virtual void iteration_started(int depth) = 0;
    // A root move became best during an iteration; its score may be only an aspiration bound.
    virtual void new_best(int depth, int score, const Move* pv, ScoreBound bound) = 0;
    virtual void current_move(Move m, int number) = 0;  // numbered from 1
    virtual void lines(const RootLine* ranked, int count) = 0;  // the best lines of a multi-PV search
    virtual void iteration_done(int depth, int score, const Move* line) = 0;
    virtual void aborted() = 0;  // the last iteration was cut short

protected:
    ~SearchReporter() = default;
};

// What a search shows the GUI and writes to the log: "info" lines, the best move and the log table.
#pragma once
#include "search/report.h"
#include "search/request.h"
#include "search/tablebase.h"

struct Session;

// "info string ..." for the GUI, also kept in the log.
void info_string(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The UCI side of one search: it prints what the search reports and reads the commands that arrive
// while it runs.
class UciReporter final : public SearchReporter {
public:
    UciReporter(Session& s, const SearchRequest& r) : s(s), r(r) {}
    double now() override;
    void poll() override;
    void finish(bool wait, bool infinite) override;
    void iteration_started(int depth) override;
    void new_best(int depth, int score, const Move* pv, ScoreBound bound) override;
    void current_move(Move m, int number) override;
    void lines(const RootLine* ranked, int count) override;
    void iteration_done(int depth, int score, const Move* line) override;
    void aborted() override;

    // The move of the last completed iteration is played even when another became best in the
    // iteration cut short (games favoured that); its line is shown again if another came after it.
    void show_result(const Move* line, int score, int completed);
    void best_move(const Move* line);
    // The tablebases' verdict on the root, whose outcome replaces plain scores.
    void use_tables(const TbRoot* t) { tables = t; }

private:
    double elapsed();
    // One "info ... pv" line; multipv 0 leaves the field out, bound is "" for an exact score.
    void pv_line(int depth, int multipv, int score, const char* bound, const Move* pv);

    Session& s;
    const SearchRequest& r;
    const TbRoot* tables = nullptr;
    Move last_printed = 0;  // the first move of the line printed last (line 1 of a multi-PV report)
};

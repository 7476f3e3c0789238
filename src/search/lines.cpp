#include "search/lines.h"

#include <cstdint>

#include "search/sort.h"

void record_root_line(RootLines& l, int depth, int score, const Move* line) {
    if (l.count >= ROOT_LINE_CAPACITY) return;
    RootLine& r = l.records[l.count++];
    r.depth = depth;
    r.score = score;
    int i = 0;
    for (; i < ROOT_LINE_WORDS - 1 && line[i]; i++) r.line[i] = line[i];
    r.line[i] = 0;
}

int rank_root_lines(RootLines& l, int keep) {
    // Records of equal key keep their order.
    auto key = [](const RootLine& r) { return int64_t(r.depth) * (1LL << 30) + r.score; };
    sort_descending(l.records, l.count, key);
    int kept = 0;
    for (int i = 0; i < l.count; i++) {
        bool seen = false;
        for (int j = 0; j < kept && !seen; j++) seen = l.records[j].line[0] == l.records[i].line[0];
        if (!seen) l.records[kept++] = l.records[i];
    }
    l.count = kept < keep ? kept : keep;
    int lowest = NO_LINE_SCORE;
    for (int i = 0; i < l.count; i++)
        if (l.records[i].depth == l.records[0].depth && l.records[i].score < lowest) lowest = l.records[i].score;
    return lowest;
}

// One pass over the records, without copying them until the end.
int best_lines_of_iteration(const RootLines& l, int iteration, RootLine* out) {
    int pick[STRENGTH_LINES], n = 0;
    for (int i = 0; i < l.count; i++) {
        const RootLine& r = l.records[i];
        if (r.depth != iteration) continue;
        int at = 0, same = 0;
        while (at < n && l.records[pick[at]].score >= r.score) at++;
        while (same < n && l.records[pick[same]].line[0] != r.line[0]) same++;
        if (same < at || at == STRENGTH_LINES) continue;  // its move has a better line, or four lines rank above
        if (same < n) n--;  // the move's weaker line leaves
        for (int j = same; j < n; j++) pick[j] = pick[j + 1];
        if (n == STRENGTH_LINES) n--;
        for (int j = n; j > at; j--) pick[j] = pick[j - 1];
        pick[at] = i;
        n++;
    }
    for (int i = 0; i < n; i++) out[i] = l.records[pick[i]];
    return n;
}

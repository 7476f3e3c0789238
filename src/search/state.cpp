#include "search/state.h"

#include <cstring>
#include <new>

#include "platform/memory.h"
#include "board/position.h"
#include "search/worker.h"

std::atomic<int> stop_search{0};
std::atomic<int> pondering{0};
std::atomic<int> quit_flag{0};
int poll_suppressed = 0;
uint64_t hard_node_limit = NO_NODE_LIMIT;
uint64_t soft_node_budget = NO_NODE_LIMIT;

uint32_t poll_mask = 255;
void (*poll_input_hook)() = nullptr;
double (*clock_hook)() = nullptr;
RootReports root_reports = {};
double hard_deadline = 1e300;

uint64_t drawn_material_keys[DRAWN_KEY_COUNT];
int lmr_table_zw[LMR_TABLE_SIZE];
int lmr_table_pv[LMR_TABLE_SIZE];

void* Worker::operator new(size_t bytes) {
    void* p = large_alloc(bytes);
    if (!p) throw std::bad_alloc();
    return p;
}
void Worker::operator delete(void* p, size_t bytes) { large_free(p, bytes); }

Worker& main_worker = *new Worker();
static const bool main_marked = (main_worker.main = true);

namespace {

struct LmrRow {
    int last;  // highest move number of the row
    int zw, pv;
};
constexpr LmrRow LMR_ROWS[] = {
    {2, 0, 0},  {4, 2, 0},  {6, 3, 2},  {9, 4, 2},  {10, 4, 3},  {15, 5, 3},
    {19, 6, 3}, {22, 6, 4}, {34, 7, 4}, {39, 8, 4}, {399, 8, 5},
};

void build_lmr_tables() {
    int row = 0;
    lmr_table_zw[0] = lmr_table_pv[0] = 0;
    for (int n = 1; n < LMR_TABLE_SIZE; n++) {
        while (n > LMR_ROWS[row].last) row++;
        lmr_table_zw[n] = LMR_ROWS[row].zw;
        lmr_table_pv[n] = LMR_ROWS[row].pv;
    }
}

void build_drawn_keys() {
    const uint64_t(&m)[2][8] = zobrist_material;
    const uint64_t keys[DRAWN_KEY_COUNT] = {
        0,
        m[WHITE][KNIGHT],
        m[BLACK][KNIGHT],
        m[WHITE][BISHOP],
        m[BLACK][BISHOP],
        2 * m[WHITE][KNIGHT],
        2 * m[BLACK][KNIGHT],
        m[WHITE][KNIGHT] + m[BLACK][KNIGHT],
        m[WHITE][BISHOP] + m[BLACK][BISHOP],
        m[WHITE][KNIGHT] + m[BLACK][BISHOP],
        m[WHITE][BISHOP] + m[BLACK][KNIGHT],
    };
    memcpy(drawn_material_keys, keys, sizeof keys);
}

}  // namespace

void rebuild_search_tables() {
    build_lmr_tables();
    build_drawn_keys();
}

void reset_move_ordering(Worker& w) {
    memset(w.counters, 0, sizeof w.counters);
    for (auto& side : w.history)
        for (auto& type : side)
            for (int32_t& h : type) h = HISTORY_START;
}

void clear_killers(Worker& w) { memset(w.killers, 0, sizeof w.killers); }

bool poll_limits(Worker& w) {
    if (poll_input_hook) poll_input_hook();
    // A quit ends even an infinite or ponder search: nothing would stop it afterwards.
    if (quit_flag) stop_search = 1;
    if (pondering && !quit_flag) return false;
    if (stop_search) return true;
    const uint64_t nodes = worker_nodes(w);
    const bool soft_spent = soft_node_budget != NO_NODE_LIMIT && nodes / 5 >= soft_node_budget;
    if (nodes >= hard_node_limit || soft_spent || (clock_hook && clock_hook() >= hard_deadline)) {
        stop_search = 1;
        return true;
    }
    return false;
}

#include "search/tables.h"

#include <cmath>
#include <cstring>

#include "board/position.h"

int lmr_table_zw[LMR_TABLE_SIZE];
int lmr_table_pv[LMR_TABLE_SIZE];
uint64_t drawn_material_keys[DRAWN_KEY_COUNT];

const std::array<int, 640> null_move_depth_table = [] {
    std::array<int, 640> t{};
    for (int x = 0; x < 640; x++) t[x] = int(2000.0 * std::tanh(x / 130.3));
    return t;
}();

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

void build_search_tables() {
    build_lmr_tables();
    build_drawn_keys();
}

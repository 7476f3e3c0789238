// Read-only tables of the search, built once at start-up: late-move reductions, the null-move
// reduction curve and the material signatures that cannot mate.
#pragma once
#include <array>
#include <cstdint>

constexpr int MAX_PLY = 256;
constexpr int LMR_TABLE_SIZE = 400;
constexpr int DRAWN_KEY_COUNT = 11;

// Late-move reductions in half plies by move number (1 upward), in zero-window and PV nodes.
extern int lmr_table_zw[LMR_TABLE_SIZE];
extern int lmr_table_pv[LMR_TABLE_SIZE];
// Reduction of the null-move search in thousandths of a half ply, by min(eval - beta, 639).
extern const std::array<int, 640> null_move_depth_table;
// Material signatures of the piece sets that cannot mate.
extern uint64_t drawn_material_keys[DRAWN_KEY_COUNT];

// Needs the position keys built.
void build_search_tables();

inline bool is_drawn_material_key(uint64_t key) {
    for (uint64_t k : drawn_material_keys)
        if (k == key) return true;
    return false;
}

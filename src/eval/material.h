// What the material on the board decides by itself, cached by material key: each side's piece
// counts, the evaluation terms that depend on the counts alone, and the known ending if any.
#pragma once
#include <cstdint>

#include "board/position.h"
#include "board/score.h"
#include "eval/endgame.h"

struct MaterialSide {
    uint8_t pawns, knights, bishops, rooks, queens;
    uint8_t pieces;    // knights, bishops, rooks and queens
    int16_t material;  // 24 per minor, 40 per rook, 72 per queen, 4 more per bishop
};

struct alignas(64) MaterialEntry {
    uint64_t key;
    ScorePair terms;              // white's count terms minus black's
    EndingEvaluator evaluator;    // a known ending scored by its own function, or null
    int32_t scale, bonus;         // of a known ending: 1000 and 0 without one
    MaterialSide side[2];
};

constexpr int MATERIAL_TABLE_SIZE = 1024;
struct MaterialTable;
// Empties every slot.
void material_table_clear(MaterialTable& t);

// One per search worker. Starts empty: a zeroed slot would pass for the bare kings' entry.
struct MaterialTable {
    MaterialEntry entries[MATERIAL_TABLE_SIZE];
    MaterialTable() { material_table_clear(*this); }
};

// Fills e for the position's material; called on a table miss.
void fill_material_entry(const Position& pos, MaterialEntry& e);

inline MaterialEntry& material_slot(MaterialTable& t, uint64_t material_key) {
    return t.entries[material_key & (MATERIAL_TABLE_SIZE - 1)];
}

// A search meets few material configurations, so nearly every probe hits.
inline const MaterialEntry& probe_material(const Position& pos, MaterialTable& t) {
    MaterialEntry& e = material_slot(t, pos.material_key);
    if (e.key != pos.material_key) fill_material_entry(pos, e);
    return e;
}

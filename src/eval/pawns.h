// Pawn structure and king shelter, cached by pawn-and-king key.
#pragma once
#include <cstdint>

#include "board/position.h"
#include "board/score.h"

struct PawnEntry {
    uint64_t key;
    ScorePair score;        // white minus black
    Bitboard passed[2];     // each side's passed pawns
    Bitboard attacks[2];    // squares each side's pawns attack
    Bitboard span[2];       // squares each side's pawns attack now or after any advance
};
static_assert(sizeof(PawnEntry) == 64, "pawn entries fill a cache line");

constexpr int PAWN_TABLE_SIZE = 65536;
// One per search worker; aligned so that no entry straddles two cache lines.
struct PawnTable {
    alignas(64) PawnEntry entries[PAWN_TABLE_SIZE];
    uint64_t hits, probes;
};

// Zeroes every key (the counters are kept).
void pawn_table_clear(PawnTable& t);

// Scores the pawn structure into e and returns the score; called on a table miss.
ScorePair fill_pawn_entry(const Position& pos, PawnEntry& e);

// Score (white minus black) and the entry holding both sides' passed pawns. Inline so that the nine probes
// in ten that hit do not pay for the miss path's call frame.
inline ScorePair evaluatePawns(const Position& pos, PawnTable& t, const PawnEntry*& entry) {
    PawnEntry& e = t.entries[uint32_t(pos.pawn_key) & (PAWN_TABLE_SIZE - 1)];
    entry = &e;
    t.probes++;
    if (e.key == pos.pawn_key) {
        t.hits++;
        return e.score;
    }
    return fill_pawn_entry(pos, e);
}

inline int passer_count(const PawnEntry& e, int side) { return popcount(e.passed[side]); }

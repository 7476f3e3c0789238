// Known endings by material signature.
#pragma once
#include <cstdint>

#include "board/position.h"

// Score from White's point of view in final evaluation units.
using EndingEvaluator = int (*)(const Position&);

// A source row: pieces other than kings, upper case White; the table ends with "-".
struct EndingRecord {
    const char* signature;
    int32_t scale;  // per mille
    int32_t bonus;  // parameter units, for the upper-case side
    EndingEvaluator evaluator;
};

struct EndingSlot {
    uint64_t key;
    int32_t occupied;  // -1 empty, 1 used
    int32_t scale;
    int32_t bonus;
    EndingEvaluator evaluator;
};

constexpr int ENDING_SLOTS = 4096;
extern const EndingRecord ending_records[];
extern EndingSlot ending_hash[ENDING_SLOTS];

// Fills the hash for both colour assignments of every row; a slot collision is fatal.
void build_ending_hash();

// Material key of a signature, with the colours of its letters swapped when asked.
uint64_t signature_key(const char* signature, bool swapped);

inline const EndingSlot* find_ending(uint64_t material_key) {
    const EndingSlot& s = ending_hash[material_key & (ENDING_SLOTS - 1)];
    return s.key == material_key ? &s : nullptr;
}

int eval_bishop_knight_mate(const Position& pos);
int eval_knight_pawn(const Position& pos);
int eval_bishop_pawn(const Position& pos);
int eval_king_pawn(const Position& pos);

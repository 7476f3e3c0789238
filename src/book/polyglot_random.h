// The fixed random table that defines book keys: a book file is only usable with exactly these values.
#pragma once
#include <cstdint>

constexpr int POLYGLOT_PIECE = 0;       // 64 * (2 * type + colour) + square, type 0 = pawn, colour 1 = white
constexpr int POLYGLOT_CASTLE = 768;    // white short, white long, black short, black long
constexpr int POLYGLOT_EN_PASSANT = 772; // + file of the en-passant target
constexpr int POLYGLOT_TURN = 780;      // white to move
constexpr int POLYGLOT_RANDOM_COUNT = 781;

extern const uint64_t polyglot_random64[POLYGLOT_RANDOM_COUNT];

// PolyGlot opening book.
#pragma once
#include <cstdint>

#include "board/position.h"

constexpr int BOOK_RECORD_SIZE = 16;
// More records than this for one position (only a malformed book has them) are ignored.
constexpr int BOOK_MAX_CANDIDATES = 256;

void book_open();   // opens book_file_name when OwnBook is on
void book_close();
bool book_is_open();
Move book_probe(const Position& pos);
uint64_t polyglot_key(const Position& pos);
// Restarts the generator behind the weighted choice (tests; otherwise seeded from rand() on first use).
void book_seed(uint64_t seed);

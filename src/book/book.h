// PolyGlot opening book.
#pragma once
#include <cstdint>

#include "board/position.h"

constexpr int BOOK_RECORD_SIZE = 16;
// More records than this for one position (only a malformed book has them) are ignored.
constexpr int BOOK_MAX_CANDIDATES = 256;

// Where the book writes its notes (broken entries, read errors, the candidates found); nowhere until set.
using BookLog = void (*)(const char* fmt, ...);
void book_set_log(BookLog log);
// Closes any open book, then opens name, or fallback when name does not open (the same name in the
// letter case it was given). A missing file or one that is not a regular file leaves the book closed.
void book_open(const char* name, const char* fallback = nullptr);
void book_close();
bool book_is_open();
// A move of the book for pos, 0 if none; heaviest_only draws among the heaviest entries alone.
// A file that cannot be read is closed: book_is_open() turns false.
Move book_probe(const Position& pos, bool heaviest_only);
uint64_t polyglot_key(const Position& pos);
// Restarts the generator behind the weighted choice (tests; otherwise seeded from rand() on first use).
void book_seed(uint64_t seed);

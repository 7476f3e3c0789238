// PolyGlot opening book.
#pragma once
#include <cstdint>
#include <cstdio>

#include "board/position.h"

constexpr int BOOK_RECORD_SIZE = 16;
// More records than this for one position (only a malformed book has them) are ignored.
constexpr int BOOK_MAX_CANDIDATES = 256;

// Where the book writes its notes (broken entries, read errors, the candidates found).
using BookLog = void (*)(const char* fmt, ...);
inline void book_log_nowhere(const char*, ...) {}

// An open book file, the state of its reading and the generator of its weighted choice.
struct Book {
    FILE* file = nullptr;
    bool failed = false;  // set by a failed seek or read: the probe gives up and the book is shut
    uint64_t rng_state = 0;
    bool rng_seeded = false;
    BookLog log = book_log_nowhere;
};

void book_set_log(Book& b, BookLog log);
// Closes any open book, then opens name, or fallback when name does not open (the same name in the
// letter case it was given). A missing file or one that is not a regular file leaves the book closed.
void book_open(Book& b, const char* name, const char* fallback = nullptr);
void book_close(Book& b);
bool book_is_open(const Book& b);
// A move of the book for pos, 0 if none; heaviest_only draws among the heaviest entries alone.
// A file that cannot be read is closed: book_is_open() turns false.
Move book_probe(Book& b, const Position& pos, bool heaviest_only);
uint64_t polyglot_key(const Position& pos);
// Restarts the generator behind the weighted choice (tests; otherwise seeded from rand() on first use).
void book_seed(Book& b, uint64_t seed);

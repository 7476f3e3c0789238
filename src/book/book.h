// PolyGlot opening book.
#pragma once
#include <cstdint>

#include "board/position.h"

void book_open();   // opens book_file_name when OwnBook is on
void book_close();
Move book_probe(const Position& pos);
uint64_t polyglot_key(const Position& pos);

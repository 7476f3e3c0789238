// Shared helpers for the unit tests.
#pragma once
#include <string>
#include <vector>

#include "board/position.h"

// Builds every table a position needs.
void init_engine_tables();
Position from_fen(const char* fen);
// Lines of a data file under tests/data, comments and blank lines dropped.
std::vector<std::string> read_data_lines(const char* name);

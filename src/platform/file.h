// File positions as 64-bit numbers on every system: MinGW's off_t is 32 bits, which would cap an
// opening book at 2 GiB without a word.
#pragma once
#include <cstdint>
#include <cstdio>

// fseek with a 64-bit offset; false when the seek failed.
bool file_seek(FILE* f, int64_t offset, int whence);
// ftell as a 64-bit number; -1 when the position cannot be had.
int64_t file_tell(FILE* f);
// Whether the open file is a regular file (a directory opens fine on some systems, but no read
// of it succeeds).
bool is_regular_file(FILE* f);

// Between the directories of a path list such as SyzygyPath, as the system's own lists have it.
#ifdef _WIN32
constexpr char PATH_LIST_SEPARATOR = ';';
#else
constexpr char PATH_LIST_SEPARATOR = ':';
#endif

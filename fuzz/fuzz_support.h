// Shared start-up of the fuzz targets: tables built once, the GUI's output thrown away, and a session
// without a book.
#pragma once
#include <cstdio>

#include "eval/endgame.h"
#include "eval/tables.h"
#include "search/tables.h"
#include "shell/session.h"

inline Session& fuzz_start_engine() {
    static Session* s = nullptr;
    if (s) return *s;
    if (!freopen("/dev/null", "w", stdout)) fprintf(stderr, "output not thrown away\n");
    init_position_tables();
    build_ending_hash();
    buildEvalTables();
    build_search_tables();
    s = new_session();
    s->options.own_book = 0;
    return *s;
}

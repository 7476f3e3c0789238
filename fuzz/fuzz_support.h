// Shared start-up of the fuzz targets: tables built once, the GUI's output thrown away, and a session
// without a book.
#pragma once
#include <cstdio>

#include "shell/session.h"

inline Session& fuzz_start_engine() {
    static Session* s = nullptr;
    if (s) return *s;
    if (!freopen("/dev/null", "w", stdout)) fprintf(stderr, "output not thrown away\n");
    build_engine_tables();
    s = new_session();
    s->options.own_book = 0;
    return *s;
}

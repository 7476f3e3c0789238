// Shared start-up of the fuzz targets: tables built once, the GUI's output thrown away.
#pragma once
#include <cstdio>

#include "eval/endgame.h"
#include "eval/tables.h"
#include "shell/options.h"

inline void fuzz_start_engine() {
    if (!freopen("/dev/null", "w", stdout)) return;
    set_start_values();
    init_position_tables();
    build_ending_hash();
    buildEvalTables();
    own_book = 0;
}

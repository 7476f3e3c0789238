// The command loop on any sequence of lines: the lines are queued, the input is closed, and the
// loop runs until the end of input quits it (a search still running stops there).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "search/control.h"
#include "shell/input.h"
#include "shell/uci.h"

namespace {
constexpr int MAX_LINES = 100;  // below the queue's size, so feeding never waits
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_start_engine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char line[INPUT_SLOT_SIZE];
    Session& s = fuzz_start_engine();
    input_reset();
    s.quit = false;
    search_control.stop = search_control.pondering = 0;
    int lines = 0;
    for (size_t at = 0; at < size && lines < MAX_LINES; lines++) {
        const uint8_t* end = static_cast<const uint8_t*>(memchr(data + at, '\n', size - at));
        const size_t len = (end ? size_t(end - data) : size) - at;
        const size_t kept = len < sizeof line - 2 ? len : sizeof line - 2;
        for (size_t i = 0; i < kept; i++) line[i] = data[at + i] ? char(data[at + i]) : ' ';
        line[kept] = 0;
        input_feed(line);
        at += len + 1;
    }
    input_close();
    while (!s.quit) poll_input(s);
    return 0;
}

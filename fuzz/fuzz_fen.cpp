// FEN parsing through the position command, then a perft of depth 2 on whatever was accepted.
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/perft.h"
#include "fuzz_support.h"
#include "shell/uci.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_start_engine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1000) return 0;
    std::string text = "position fen ";
    for (size_t i = 0; i < size; i++) text += data[i] ? char(data[i]) : ' ';
    char* words[MAX_WORDS];
    const int count = split_words(text.data(), words, MAX_WORDS);
    Session& s = fuzz_start_engine();
    set_position(s, words, count);
    perft(s.history[s.index], 2);
    return 0;
}

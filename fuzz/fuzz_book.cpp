// The opening book reader on arbitrary file contents, probed from a few positions.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "book/book.h"
#include "fuzz_support.h"

namespace {
const char* const FENS[] = {
    START_FEN,
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
    "r3k2r/pppq1ppp/2n2n2/3pp3/3PP3/2N2N2/PPPQ1PPP/R3K2R w KQkq - 0 1",
    "4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1",
};
Position positions[4];
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_start_engine();
    snprintf(book_file_name, sizeof book_file_name, "/tmp/quoril_fuzz_book_%d.bin", int(getpid()));
    snprintf(book_file_as_given, sizeof book_file_as_given, "%s", book_file_name);
    for (int i = 0; i < 4; i++) position_from_fen(positions[i], FENS[i]);
    book_seed(1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = fopen(book_file_name, "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    own_book = 1;
    book_open();
    for (const Position& p : positions) {
        best_book_line = int(size & 1);
        book_probe(p);
    }
    book_close();
    return 0;
}

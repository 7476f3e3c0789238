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
char book_path[64];
Book book;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_start_engine();
    snprintf(book_path, sizeof book_path, "/tmp/quoril_fuzz_book_%d.bin", int(getpid()));
    for (int i = 0; i < 4; i++) position_from_fen(positions[i], FENS[i]);
    book_seed(book, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = fopen(book_path, "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    book_open(book, book_path);
    for (const Position& p : positions) book_probe(book, p, size & 1);
    book_close(book);
    return 0;
}

#include "shell/log.h"

#include <cstdarg>
#include <cstring>

#include "board/position.h"
#include "shell/notation.h"

FILE* log_stream = nullptr;

bool log_open(const char* name) {
    log_stream = fopen(name, "a+b");  // lines end in LF on every system
    if (!log_stream) return false;
    setvbuf(log_stream, nullptr, _IONBF, 0);
    return true;
}

void log_printf(const char* fmt, ...) {
    if (!log_stream) return;
    va_list ap;
    va_start(ap, fmt);
    vfprintf(log_stream, fmt, ap);
    va_end(ap);
    fflush(log_stream);
}

static void rights_text(const Position& pos, char* out) {
    auto clear = [&](int a, int b) { return !(pos.castle_mask & (square_bit[a] | square_bit[b])); };
    int n = 0;
    if (clear(SQ_E1, SQ_H1)) out[n++] = 'K';
    if (clear(SQ_E1, SQ_A1)) out[n++] = 'Q';
    if (clear(SQ_E8, SQ_H8)) out[n++] = 'k';
    if (clear(SQ_E8, SQ_A8)) out[n++] = 'q';
    if (!n) out[n++] = '-';
    out[n] = 0;
}

void log_board(const Position& pos, bool chess960) {
    if (!log_stream) return;
    char last[8] = "N/A", before[8] = "N/A", rights[8];
    move_to_text(pos.last_move, last, pos.prev, chess960);
    if (pos.prev) move_to_text(pos.prev->last_move, before, pos.prev->prev, chess960);
    rights_text(pos, rights);
    log_printf("\n-----[ CTM = %d   INCHECK = %d   last: %s %s   rights: %s]-----", pos.ply, pos.in_check, before, last,
               rights);
    static const char white[] = "-PNBRQK", black[] = "-pnbrqk";
    for (int i = 0; i < 64; i++) {
        const int sq = i ^ 56;
        if ((i & 7) == 0) log_printf("\n");
        const int c = pos.board[sq];
        log_printf(" %c", !c ? '-' : ((c & 16) ? white[c & 7] : black[c & 7]));
    }
    log_printf("\n\n");
}

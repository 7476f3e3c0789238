#include "shell/notation.h"

#include <cstring>
#include <strings.h>

#include "board/legal.h"
#include "board/makemove.h"
#include "eval/tables.h"

void move_to_text(Move m, char out[MOVE_TEXT_SIZE], const Position* game, bool chess960) {
    if (!m) {
        memcpy(out, "null", 5);
        return;
    }
    const int from = move_from(m);
    int to = move_to(m);
    if (chess960 && game && move_flag(m) == FLAG_CASTLE) {
        const int rook = castle_rook(*game, rank_of(from) ? BLACK : WHITE, file_of(to) == 6);
        if (rook >= 0) to = rook;
    }
    out[0] = char('a' + file_of(from));
    out[1] = char('1' + rank_of(from));
    out[2] = char('a' + file_of(to));
    out[3] = char('1' + rank_of(to));
    static const char promo[8] = {0, 0, 0, 0, 'q', 'n', 'r', 'b'};
    out[4] = promo[move_flag(m)];
    out[5] = 0;
}

void pv_to_text(const Move* line, char* out, const Position* game, bool chess960) {
    out[0] = 0;
    size_t len = 0;
    for (int i = 0; i < 64 && line[i]; i++) {
        char t[MOVE_TEXT_SIZE];
        move_to_text(line[i], t, game, chess960);
        const size_t tl = strlen(t);
        memcpy(out + len, t, tl);
        len += tl;
        out[len++] = ' ';
        out[len] = 0;
    }
}

Move move_from_text(const Position& pos, const char* text, bool chess960) {
    Move moves[MAX_MOVES];
    const int n = generate_legal_moves(pos, moves);
    for (int i = 0; i < n; i++) {
        char t[MOVE_TEXT_SIZE];
        move_to_text(moves[i], t, &pos, chess960);
        if (strcasecmp(t, text) == 0) return moves[i];
    }
    return 0;
}

bool apply_move_text(const Position& from, Position& to, const char* text, bool chess960) {
    const Move m = move_from_text(from, text, chess960);
    if (!m) return false;
    make_move(from, to, m, pst_table);
    to.in_check = side_in_check(to, side_to_move(to)) ? 1 : 0;
    return true;
}

// PolyGlot opening book, searched on disk record by record: the file is never loaded.
#include "book/book.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/movegen.h"
#include "board/perft.h"
#include "book/polyglot_random.h"
#include "platform/file.h"

namespace {

struct BookRecord {
    uint64_t key;
    uint16_t move;
    uint16_t weight;
};

struct BookCandidate {
    Move move;
    uint32_t weight;
};

void no_log(const char*, ...) {}
BookLog book_log = no_log;

FILE* book_file = nullptr;
// Set by a failed seek or read: the probe gives up and the book is shut.
bool book_failed = false;

void book_error(const char* what) {
    if (!book_failed) book_log("book: %s failed\n", what);
    book_failed = true;
}

void book_seek(int64_t offset, int whence) {
    if (!book_failed && !file_seek(book_file, offset, whence)) book_error("seek");
}

uint64_t read_big_endian(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; i++) v = (v << 8) | p[i];
    return v;
}

BookRecord read_record(int64_t index) {
    book_seek(index * BOOK_RECORD_SIZE, SEEK_SET);
    unsigned char b[BOOK_RECORD_SIZE];
    if (book_failed) return {0, 0, 0};
    if (fread(b, BOOK_RECORD_SIZE, 1, book_file) != 1) {
        book_error("read");
        return {0, 0, 0};
    }
    return {read_big_endian(b, 8), uint16_t(read_big_endian(b + 8, 2)), uint16_t(read_big_endian(b + 10, 2))};
}

int64_t record_count() {
    book_seek(0, SEEK_END);
    const int64_t size = book_failed ? -1 : file_tell(book_file);
    if (size < 0) book_error("seek");
    return size < 0 ? 0 : size / BOOK_RECORD_SIZE;
}

// Index of a record holding `key`, or -1.
int64_t find_key(uint64_t key, int64_t count) {
    int64_t lo = 0, hi = count - 1;
    while (lo <= hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        const uint64_t k = read_record(mid).key;
        if (k < key) lo = mid + 1;
        else if (k > key) hi = mid - 1;
        else return mid;
    }
    return -1;
}

bool castle_right(const Position& pos, int king_sq, int rook_sq) {
    return !(pos.castle_mask & (square_bit[king_sq] | square_bit[rook_sq]));
}

// The book stores castling as the king taking its own rook.
void book_move_text(const Position& pos, uint16_t m, char out[8]) {
    if (!m) {
        strcpy(out, "null");
        return;
    }
    const int from = (m >> 6) & 63, promo = (m >> 12) & 7;
    int to = m & 63;
    if (!promo && from == SQ_E1 && pos.board[SQ_E1] == piece_code(WHITE, KING)) {
        if (to == SQ_H1) to = SQ_E1 + 2;
        if (to == SQ_A1) to = SQ_E1 - 2;
    }
    if (!promo && from == SQ_E8 && pos.board[SQ_E8] == piece_code(BLACK, KING)) {
        if (to == SQ_H8) to = SQ_E8 + 2;
        if (to == SQ_A8) to = SQ_E8 - 2;
    }
    static const char promo_letter[8] = {0, 'n', 'b', 'r', 'q', '?', '?', '?'};  // '?' never matches a move
    out[0] = char('a' + file_of(from));
    out[1] = char('1' + rank_of(from));
    out[2] = char('a' + file_of(to));
    out[3] = char('1' + rank_of(to));
    out[4] = promo_letter[promo];
    out[5] = 0;
}

// The legal move whose text is `text`, or 0.
Move match_legal(const Move* moves, int n, const char* text) {
    for (int i = 0; i < n; i++) {
        char t[MOVE_TEXT_SIZE];
        move_to_text(moves[i], t);
        if (!strcmp(t, text)) return moves[i];
    }
    return 0;
}

// Collects the weighted moves of the records from `first` on; -1 when a record is not a legal move.
int collect_candidates(const Position& pos, uint64_t key, int64_t first, int64_t count, BookCandidate* out) {
    Move legal[MAX_MOVES];
    const int n_legal = generate_legal_moves(pos, legal);
    int n = 0;
    for (int64_t i = first; i < count; i++) {
        const BookRecord r = read_record(i);
        if (r.key != key || book_failed) break;
        if (!r.weight) continue;
        char text[8];
        book_move_text(pos, r.move, text);
        const Move m = match_legal(legal, n_legal, text);
        if (!m) {
            book_log("Hey, book seems broken\n");
            return -1;
        }
        if (n == BOOK_MAX_CANDIDATES) {
            fprintf(stderr, "book: more than %d entries for one position, the rest ignored\n", BOOK_MAX_CANDIDATES);
            break;
        }
        out[n++] = {m, r.weight};
        book_log("book: %-5s %5d\n", text, int(r.weight));
    }
    return n;
}

// Keeps only the heaviest candidates, in front.
int keep_heaviest(BookCandidate* c, int n) {
    for (int i = 0; i < n; i++)
        for (int j = i + 1; j < n; j++)
            if (c[j].weight > c[i].weight) {
                const BookCandidate t = c[i];
                c[i] = c[j];
                c[j] = t;
            }
    int kept = 0;
    while (kept < n && c[kept].weight == c[0].weight) kept++;
    return kept;
}

// The weighted draw uses a 64-bit splitmix generator rather than rand(): totals stay below 2^25, so masked
// 64-bit draws reach every candidate whatever the weights; seeding it from rand() keeps start-up's srand in charge.
uint64_t rng_state = 0;
bool rng_seeded = false;

uint64_t book_random() {
    if (!rng_seeded) book_seed((uint64_t(unsigned(rand())) << 32) ^ uint64_t(unsigned(rand())));
    uint64_t z = (rng_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

Move weighted_choice(const BookCandidate* c, int n, uint64_t total) {
    uint64_t mask = 0;
    while (mask < total - 1) mask = (mask << 1) | 1;
    uint64_t r;
    do r = book_random() & mask;
    while (r >= total);
    uint64_t sum = 0;
    for (int i = 0; i < n; i++) {
        sum += c[i].weight;
        if (sum > r) return c[i].move;
    }
    return c[n - 1].move;
}

}  // namespace

void book_seed(uint64_t seed) {
    rng_state = seed;
    rng_seeded = true;
}

void book_close() {
    if (book_file) fclose(book_file);
    book_file = nullptr;
    book_failed = false;
}

void book_set_log(BookLog log) { book_log = log ? log : no_log; }

void book_open(const char* name, const char* fallback) {
    book_close();
    FILE* f = fopen(name, "rb");
    if (!f && fallback) f = fopen(fallback, "rb");
    if (!f) return;
    // A directory opens fine but every read of it fails, which would be fatal at the first probe.
    if (!is_regular_file(f)) {
        fclose(f);
        return;
    }
    book_file = f;
}

bool book_is_open() { return book_file != nullptr; }

uint64_t polyglot_key(const Position& pos) {
    uint64_t k = 0;
    for (int side = WHITE; side <= BLACK; side++)
        for (int type = PAWN; type <= KING; type++) {
            const int kind = 2 * (type - PAWN) + (side == WHITE);
            Bitboard b = pos.bb[side][type];
            while (b) k ^= polyglot_random64[POLYGLOT_PIECE + 64 * kind + pop_lsb(b)];
        }
    if (castle_right(pos, SQ_E1, SQ_H1)) k ^= polyglot_random64[POLYGLOT_CASTLE + 0];
    if (castle_right(pos, SQ_E1, SQ_A1)) k ^= polyglot_random64[POLYGLOT_CASTLE + 1];
    if (castle_right(pos, SQ_E8, SQ_H8)) k ^= polyglot_random64[POLYGLOT_CASTLE + 2];
    if (castle_right(pos, SQ_E8, SQ_A8)) k ^= polyglot_random64[POLYGLOT_CASTLE + 3];
    if (pos.ep_mask) k ^= polyglot_random64[POLYGLOT_EN_PASSANT + file_of(lsb_index(pos.ep_mask))];
    if (side_to_move(pos) == WHITE) k ^= polyglot_random64[POLYGLOT_TURN];
    return k;
}

namespace {

Move probe_open_book(const Position& pos, bool heaviest_only) {
    const uint64_t key = polyglot_key(pos);
    if (!book_file) return 0;
    const int64_t count = record_count();
    if (count < 1) return 0;
    int64_t first = find_key(key, count);
    if (first < 0) return 0;
    while (first > 0 && !book_failed && read_record(first - 1).key == key) first--;

    BookCandidate cand[BOOK_MAX_CANDIDATES];
    int n = collect_candidates(pos, key, first, count, cand);
    if (n <= 0) return 0;
    if (heaviest_only) n = keep_heaviest(cand, n);
    uint64_t total = 0;
    for (int i = 0; i < n; i++) total += cand[i].weight;
    if (!total) return 0;
    return weighted_choice(cand, n, total) & 0xFFFF;
}

}  // namespace

Move book_probe(const Position& pos, bool heaviest_only) {
    const Move m = probe_open_book(pos, heaviest_only);
    if (!book_failed) return m;
    book_close();
    return 0;
}

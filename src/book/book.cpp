// PolyGlot opening book, searched on disk record by record: the file is never loaded.
#include "book/book.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/movegen.h"
#include "board/legal.h"
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

void book_error(Book& b, const char* what) {
    if (!b.failed) b.log("book: %s failed\n", what);
    b.failed = true;
}

void book_seek(Book& b, int64_t offset, int whence) {
    if (!b.failed && !file_seek(b.file, offset, whence)) book_error(b, "seek");
}

uint64_t read_big_endian(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; i++) v = (v << 8) | p[i];
    return v;
}

BookRecord read_record(Book& book, int64_t index) {
    book_seek(book, index * BOOK_RECORD_SIZE, SEEK_SET);
    unsigned char b[BOOK_RECORD_SIZE];
    if (book.failed) return {0, 0, 0};
    if (fread(b, BOOK_RECORD_SIZE, 1, book.file) != 1) {
        book_error(book, "read");
        return {0, 0, 0};
    }
    return {read_big_endian(b, 8), uint16_t(read_big_endian(b + 8, 2)), uint16_t(read_big_endian(b + 10, 2))};
}

int64_t record_count(Book& b) {
    book_seek(b, 0, SEEK_END);
    const int64_t size = b.failed ? -1 : file_tell(b.file);
    if (size < 0) book_error(b, "seek");
    return size < 0 ? 0 : size / BOOK_RECORD_SIZE;
}

// Index of a record holding `key`, or -1.
int64_t find_key(Book& b, uint64_t key, int64_t count) {
    int64_t lo = 0, hi = count - 1;
    while (lo <= hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        const uint64_t k = read_record(b, mid).key;
        if (k < key) lo = mid + 1;
        else if (k > key) hi = mid - 1;
        else return mid;
    }
    return -1;
}

bool castle_right(const Position& pos, int king_sq, int rook_sq) {
    return !(pos.castle_mask & (square_bit[king_sq] | square_bit[rook_sq]));
}

// A book entry's move: the book stores castling as the king taking its own rook.
struct EntryMove {
    int from, to, promo;  // promo: 0 none, 1..4 knight..queen, above that nothing legal
};

EntryMove entry_move(const Position& pos, uint16_t m) {
    EntryMove e = {(m >> 6) & 63, m & 63, (m >> 12) & 7};
    for (const int king : {SQ_E1, SQ_E8}) {
        if (e.promo || e.from != king || pos.board[king] != piece_code(king == SQ_E1 ? WHITE : BLACK, KING)) continue;
        if (e.to == king + 3) e.to = king + 2;
        if (e.to == king - 4) e.to = king - 2;
    }
    return e;
}

// The entry in coordinates, for the log.
void entry_text(const EntryMove& e, char out[8]) {
    static const char promo_letter[8] = {0, 'n', 'b', 'r', 'q', '?', '?', '?'};
    out[0] = char('a' + file_of(e.from));
    out[1] = char('1' + rank_of(e.from));
    out[2] = char('a' + file_of(e.to));
    out[3] = char('1' + rank_of(e.to));
    out[4] = promo_letter[e.promo];
    out[5] = 0;
}

// The legal move the entry names, or 0.
Move match_legal(const Move* moves, int n, const EntryMove& e) {
    for (int i = 0; i < n; i++) {
        const Move m = moves[i];
        if (move_from(m) != e.from || move_to(m) != e.to) continue;
        if (e.promo ? is_promotion(m) && promotion_type(m) == e.promo + 1 : !is_promotion(m)) return m;
    }
    return 0;
}

// Collects the weighted moves of the records from `first` on; -1 when a record is not a legal move.
int collect_candidates(Book& b, const Position& pos, uint64_t key, int64_t first, int64_t count, BookCandidate* out) {
    Move legal[MAX_MOVES];
    const int n_legal = generate_legal_moves(pos, legal);
    int n = 0;
    for (int64_t i = first; i < count; i++) {
        const BookRecord r = read_record(b, i);
        if (r.key != key || b.failed) break;
        if (!r.weight) continue;
        const EntryMove e = entry_move(pos, r.move);
        const Move m = match_legal(legal, n_legal, e);
        if (!m) {
            b.log("Hey, book seems broken\n");
            return -1;
        }
        if (n == BOOK_MAX_CANDIDATES) {
            fprintf(stderr, "book: more than %d entries for one position, the rest ignored\n", BOOK_MAX_CANDIDATES);
            break;
        }
        out[n++] = {m, r.weight};
        char text[8];
        entry_text(e, text);
        b.log("book: %-5s %5d\n", text, int(r.weight));
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
uint64_t book_random(Book& b) {
    if (!b.rng_seeded) book_seed(b, (uint64_t(unsigned(rand())) << 32) ^ uint64_t(unsigned(rand())));
    uint64_t z = (b.rng_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

Move weighted_choice(Book& b, const BookCandidate* c, int n, uint64_t total) {
    uint64_t mask = 0;
    while (mask < total - 1) mask = (mask << 1) | 1;
    uint64_t r;
    do r = book_random(b) & mask;
    while (r >= total);
    uint64_t sum = 0;
    for (int i = 0; i < n; i++) {
        sum += c[i].weight;
        if (sum > r) return c[i].move;
    }
    return c[n - 1].move;
}

}  // namespace

void book_seed(Book& b, uint64_t seed) {
    b.rng_state = seed;
    b.rng_seeded = true;
}

void book_close(Book& b) {
    if (b.file) fclose(b.file);
    b.file = nullptr;
    b.failed = false;
}

void book_set_log(Book& b, BookLog log) { b.log = log ? log : book_log_nowhere; }

void book_open(Book& b, const char* name, const char* fallback) {
    book_close(b);
    FILE* f = fopen(name, "rb");
    if (!f && fallback) f = fopen(fallback, "rb");
    if (!f) return;
    // A directory opens fine but every read of it fails, which would be fatal at the first probe.
    if (!is_regular_file(f)) {
        fclose(f);
        return;
    }
    b.file = f;
}

bool book_is_open(const Book& b) { return b.file != nullptr; }

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

Move probe_open_book(Book& b, const Position& pos, bool heaviest_only) {
    const uint64_t key = polyglot_key(pos);
    if (!b.file) return 0;
    const int64_t count = record_count(b);
    if (count < 1) return 0;
    int64_t first = find_key(b, key, count);
    if (first < 0) return 0;
    while (first > 0 && !b.failed && read_record(b, first - 1).key == key) first--;

    BookCandidate cand[BOOK_MAX_CANDIDATES];
    int n = collect_candidates(b, pos, key, first, count, cand);
    if (n <= 0) return 0;
    if (heaviest_only) n = keep_heaviest(cand, n);
    uint64_t total = 0;
    for (int i = 0; i < n; i++) total += cand[i].weight;
    if (!total) return 0;
    return weighted_choice(b, cand, n, total) & 0xFFFF;
}

}  // namespace

Move book_probe(Book& b, const Position& pos, bool heaviest_only) {
    const Move m = probe_open_book(b, pos, heaviest_only);
    if (!b.failed) return m;
    book_close(b);
    return 0;
}

#include "board/bitboard.h"

#include <cstring>

Bitboard square_bit[64];
Bitboard three_file_mask[64];
Bitboard knight_attacks[64];
Bitboard king_attacks[64];
Bitboard bishop_lines[64];
Bitboard rook_lines[64];
Bitboard queen_lines[64];
Bitboard between[64][64];
Bitboard rook_mask[64];
Bitboard bishop_mask[64];
Magic rook_magic[64];
Magic bishop_magic[64];
Bitboard relative_rank_mask[8][2];

// Rooks take 4096 slots a square, bishops 512, without overlap.
static constexpr int ROOK_SLOTS = 4096, BISHOP_SLOTS = 512;
Bitboard slider_attacks[64 * ROOK_SLOTS + 64 * BISHOP_SLOTS];

static const int rook_dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
static const int bishop_dirs[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

static bool on_board(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

// Attacks along four directions, stopping at and including the first blocker.
static Bitboard ray_attacks(int s, Bitboard occ, const int dirs[4][2]) {
    Bitboard a = 0;
    for (int d = 0; d < 4; d++) {
        int f = file_of(s) + dirs[d][0], r = rank_of(s) + dirs[d][1];
        while (on_board(f, r)) {
            Bitboard b = 1ULL << (r * 8 + f);
            a |= b;
            if (occ & b) break;
            f += dirs[d][0];
            r += dirs[d][1];
        }
    }
    return a;
}

// Relevant occupancy: rays without the edge square of each ray.
static Bitboard relevant_mask(int s, const int dirs[4][2]) {
    Bitboard m = 0;
    for (int d = 0; d < 4; d++) {
        int f = file_of(s) + dirs[d][0], r = rank_of(s) + dirs[d][1];
        while (on_board(f + dirs[d][0], r + dirs[d][1])) {
            m |= 1ULL << (r * 8 + f);
            f += dirs[d][0];
            r += dirs[d][1];
        }
    }
    return m;
}

static uint64_t rng_state = 0x9E3779B97F4A7C15ULL;
static uint64_t rng_next() {
    // xorshift64*: fixed seed so the tables are identical on every run.
    rng_state ^= rng_state >> 12;
    rng_state ^= rng_state << 25;
    rng_state ^= rng_state >> 27;
    return rng_state * 0x2545F4914F6CDD1DULL;
}

static void find_magic(int s, const int dirs[4][2], Bitboard mask, int shift, int slots, Magic& out,
                       Bitboard* table) {
    Bitboard occs[4096], atts[4096];
    int n = 0;
    Bitboard sub = 0;
    do {  // every subset of the mask (carry-rippler)
        occs[n] = sub;
        atts[n] = ray_attacks(s, sub, dirs);
        n++;
        sub = (sub - mask) & mask;
    } while (sub);
    static Bitboard used[4096];
    static int epoch[4096], cur = 0;
    for (;;) {
        Bitboard mult = rng_next() & rng_next() & rng_next();
        if (popcount_soft((mask * mult) >> 56) < 6) continue;
        cur++;
        bool ok = true;
        for (int i = 0; i < n && ok; i++) {
            int idx = int((occs[i] * mult) >> shift);
            if (epoch[idx] != cur) {
                epoch[idx] = cur;
                used[idx] = atts[i];
            } else if (used[idx] != atts[i]) {
                ok = false;
            }
        }
        if (!ok) continue;
        out.mult = mult;
        for (int i = 0; i < slots; i++) table[out.offset + i] = 0;
        for (int i = 0; i < n; i++) table[out.offset + ((occs[i] * mult) >> shift)] = atts[i];
        return;
    }
}

void init_square_bit() {
    for (int s = 0; s < 64; s++) square_bit[s] = 1ULL << s;
}

void init_three_file_mask() {
    for (int s = 0; s < 64; s++) {
        int f = file_of(s);
        int lo = f == 0 ? 0 : (f == 7 ? 5 : f - 1);
        Bitboard m = 0;
        for (int ff = lo; ff < lo + 3; ff++) m |= FILE_A_BB << ff;
        three_file_mask[s] = m;
    }
}

static void init_leapers() {
    static const int kn[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    for (int s = 0; s < 64; s++) {
        Bitboard n = 0, k = 0;
        for (int i = 0; i < 8; i++)
            if (on_board(file_of(s) + kn[i][0], rank_of(s) + kn[i][1]))
                n |= 1ULL << ((rank_of(s) + kn[i][1]) * 8 + file_of(s) + kn[i][0]);
        for (int df = -1; df <= 1; df++)
            for (int dr = -1; dr <= 1; dr++)
                if ((df || dr) && on_board(file_of(s) + df, rank_of(s) + dr))
                    k |= 1ULL << ((rank_of(s) + dr) * 8 + file_of(s) + df);
        knight_attacks[s] = n;
        king_attacks[s] = k;
    }
}

static void init_lines() {
    for (int s = 0; s < 64; s++) {
        bishop_lines[s] = ray_attacks(s, 0, bishop_dirs) | (1ULL << s);
        rook_lines[s] = ray_attacks(s, 0, rook_dirs) | (1ULL << s);
        queen_lines[s] = bishop_lines[s] | rook_lines[s];
    }
    for (int a = 0; a < 64; a++)
        for (int b = 0; b < 64; b++) {
            between[a][b] = 0;
            if (a == b) continue;
            Bitboard ob = 1ULL << b, oa = 1ULL << a;
            if (bishop_lines[a] & ob)
                between[a][b] = ray_attacks(a, ob, bishop_dirs) & ray_attacks(b, oa, bishop_dirs);
            else if (rook_lines[a] & ob)
                between[a][b] = ray_attacks(a, ob, rook_dirs) & ray_attacks(b, oa, rook_dirs);
        }
    for (int r = 0; r < 8; r++) {
        relative_rank_mask[r][WHITE] = RANK_1_BB << (8 * r);
        relative_rank_mask[r][BLACK] = RANK_1_BB << (8 * (7 - r));
    }
}

static void init_magics() {
    for (int s = 0; s < 64; s++) {
        rook_mask[s] = relevant_mask(s, rook_dirs);
        bishop_mask[s] = relevant_mask(s, bishop_dirs);
        rook_magic[s].offset = uint32_t(s * ROOK_SLOTS);
        bishop_magic[s].offset = uint32_t(64 * ROOK_SLOTS + s * BISHOP_SLOTS);
        find_magic(s, rook_dirs, rook_mask[s], 52, ROOK_SLOTS, rook_magic[s], slider_attacks);
        find_magic(s, bishop_dirs, bishop_mask[s], 55, BISHOP_SLOTS, bishop_magic[s], slider_attacks);
    }
}

void init_bitboards() {
    static bool done = false;
    if (done) return;
    done = true;
    init_square_bit();
    init_three_file_mask();
    init_leapers();
    init_lines();
    init_magics();
}

int isqrt_nearest(int x) {
    if (x < 1) return 0;
    int n = 0;
    while ((long long)(n + 1) * (n + 1) <= x) n++;
    long long lo = (long long)x - (long long)n * n, hi = (long long)(n + 1) * (n + 1) - x;
    return hi <= lo ? n + 1 : n;
}

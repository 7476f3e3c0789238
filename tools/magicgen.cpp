// Finds slider multipliers for magic lookups with as many index bits as the square's relevant
// occupancy has (so the attack table is as small as it can be) and prints them as the two tables
// of src/board/bitboard.cpp.
// Build: g++ -std=c++20 -O2 tools/magicgen.cpp -o magicgen && ./magicgen
#include <cstdint>
#include <cstdio>

using Bitboard = uint64_t;

static const int rook_dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
static const int bishop_dirs[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

static bool on_board(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

static Bitboard ray_attacks(int s, Bitboard occ, const int dirs[4][2]) {
    Bitboard a = 0;
    for (int d = 0; d < 4; d++)
        for (int f = s % 8 + dirs[d][0], r = s / 8 + dirs[d][1]; on_board(f, r); f += dirs[d][0], r += dirs[d][1]) {
            a |= 1ULL << (r * 8 + f);
            if (occ & (1ULL << (r * 8 + f))) break;
        }
    return a;
}

static Bitboard relevant_mask(int s, const int dirs[4][2]) {
    Bitboard m = 0;
    for (int d = 0; d < 4; d++)
        for (int f = s % 8 + dirs[d][0], r = s / 8 + dirs[d][1]; on_board(f + dirs[d][0], r + dirs[d][1]);
             f += dirs[d][0], r += dirs[d][1])
            m |= 1ULL << (r * 8 + f);
    return m;
}

static uint64_t rng_state = 0x9E3779B97F4A7C15ULL;
static uint64_t rng_next() {
    rng_state ^= rng_state >> 12;
    rng_state ^= rng_state << 25;
    rng_state ^= rng_state >> 27;
    return rng_state * 0x2545F4914F6CDD1DULL;
}

// Sparse random multipliers until every subset of the mask lands on a slot of its own attack set.
static Bitboard find_magic(int s, const int dirs[4][2], int shift) {
    const Bitboard mask = relevant_mask(s, dirs);
    static Bitboard occs[4096], atts[4096], used[4096];
    static int epoch[4096], cur = 0;
    int n = 0;
    Bitboard sub = 0;
    do {
        occs[n] = sub;
        atts[n++] = ray_attacks(s, sub, dirs);
        sub = (sub - mask) & mask;
    } while (sub);
    for (;;) {
        const Bitboard mult = rng_next() & rng_next() & rng_next();
        if (__builtin_popcountll((mask * mult) >> 56) < 6) continue;
        cur++;
        bool ok = true;
        for (int i = 0; i < n && ok; i++) {
            const int idx = int((occs[i] * mult) >> shift);
            if (epoch[idx] != cur) {
                epoch[idx] = cur;
                used[idx] = atts[i];
            } else if (used[idx] != atts[i]) {
                ok = false;
            }
        }
        if (ok) return mult;
    }
}

int main() {
    Bitboard rook[64], bishop[64];
    for (int s = 0; s < 64; s++) {  // interleaved, as the tables were first found
        rook[s] = find_magic(s, rook_dirs, 64 - __builtin_popcountll(relevant_mask(s, rook_dirs)));
        bishop[s] = find_magic(s, bishop_dirs, 64 - __builtin_popcountll(relevant_mask(s, bishop_dirs)));
    }
    for (int table = 0; table < 2; table++) {
        printf("// %s\n", table ? "bishop" : "rook");
        for (int s = 0; s < 64; s++)
            printf("0x%016llXULL,%s", (unsigned long long)(table ? bishop : rook)[s], s % 4 == 3 ? "\n" : " ");
    }
}

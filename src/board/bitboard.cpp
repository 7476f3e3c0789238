#include "board/bitboard.h"


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

// Multipliers found by tools/magicgen.cpp for the fixed 12-bit (rook) and 9-bit (bishop) indexes.
static const Bitboard rook_multipliers[64] = {
    0x1080004008801020ULL, 0x0840092002C03000ULL, 0x0408080040206400ULL, 0x1200020044042009ULL,
    0x0200042008100200ULL, 0x0480088004002600ULL, 0x20801100D8080882ULL, 0x030004420A218100ULL,
    0x12A0800040008020ULL, 0x0001500800100220ULL, 0x0200500020040130ULL, 0x1108200810224C80ULL,
    0x9030008841000810ULL, 0x0422800214028008ULL, 0x0840300100004081ULL, 0x4220081200C20023ULL,
    0x4080000821104000ULL, 0x0121A10408824002ULL, 0x0001060010205600ULL, 0x0100220016000402ULL,
    0x0541212002009400ULL, 0x040008200610C100ULL, 0x0802208002006100ULL, 0x00122840008015A1ULL,
    0x2800C80090001002ULL, 0x1240440008902050ULL, 0x1404388239040004ULL, 0x00081000C4000800ULL,
    0x0600400208000580ULL, 0x0400812002100840ULL, 0x00008000C00100C0ULL, 0x0080281006E00100ULL,
    0x448C002200201000ULL, 0x1180414401100800ULL, 0x0102243020080880ULL, 0x0000508800410048ULL,
    0x00000A0010400401ULL, 0x10C00A0601C000A3ULL, 0x04C201812A400200ULL, 0x2008012000400884ULL,
    0x0080441000224000ULL, 0x014002A210000881ULL, 0x10318C0020905002ULL, 0x0002061000020240ULL,
    0x3000200C00088800ULL, 0x020000A20C003001ULL, 0x0811024400882802ULL, 0x0002008440003900ULL,
    0x001B008000481030ULL, 0x00B41C000A900044ULL, 0x601000400804240CULL, 0x4011040850020008ULL,
    0x2010040811000100ULL, 0x0030009804000280ULL, 0x002005A207000140ULL, 0x00000C21800080D0ULL,
    0x8010810020401202ULL, 0x0050400080101901ULL, 0x020004200C804202ULL, 0x8080020404084022ULL,
    0x3012000904102002ULL, 0xC6044200A4100801ULL, 0x20804C0044810204ULL, 0x00400143040C2082ULL,
};
static const Bitboard bishop_multipliers[64] = {
    0x0891014280101304ULL, 0x8040892241012000ULL, 0x8040604100400024ULL, 0x0401240041090110ULL,
    0x0100280A0C000924ULL, 0x0000900C05080000ULL, 0x0012412010104802ULL, 0x0800A03009100200ULL,
    0x400C051010408150ULL, 0x0004200A08801810ULL, 0x84000C2034080442ULL, 0x40000800A0085029ULL,
    0x04014A080480A001ULL, 0x3000024800400210ULL, 0x0010008800809412ULL, 0x00100012A6058182ULL,
    0x2004400810801842ULL, 0x0010408204888024ULL, 0x00204001840030A1ULL, 0x0140800110050050ULL,
    0x0000802010041863ULL, 0x010280C14042C102ULL, 0x0000800904104084ULL, 0x034280802C400950ULL,
    0x4008009240102140ULL, 0x88E0860020002020ULL, 0x500101004010390CULL, 0x0121080001004300ULL,
    0x04B0802002020040ULL, 0x0120220000288082ULL, 0x4410832000841800ULL, 0x0010204006004420ULL,
    0x9000120401050842ULL, 0x0000420051021820ULL, 0x3622014084100048ULL, 0x4040020081080080ULL,
    0x2084010010040041ULL, 0x10280A22202C4201ULL, 0x0080308600208200ULL, 0x0282400A04004200ULL,
    0x0008050089940040ULL, 0x0000404048012238ULL, 0x0008208140100500ULL, 0x8000106008004021ULL,
    0x0A81100047200A00ULL, 0x0007010902004008ULL, 0x2201100520040448ULL, 0x080688482080004BULL,
    0x0000042816882000ULL, 0x2001110540410210ULL, 0x0010000202424220ULL, 0x0000621810113030ULL,
    0x0000080112140020ULL, 0x000000A1120A864AULL, 0x0440004860908280ULL, 0x30409011A0090400ULL,
    0x00008030301088E0ULL, 0x1241103080612100ULL, 0x11C082201120084AULL, 0x08C2810802101102ULL,
    0x0006000A06080204ULL, 0x000144400C888304ULL, 0x008028280020404CULL, 0x0180929828001084ULL,
};

// Fills one square's slots: every subset of the mask maps to its attack set.
static void fill_magic(int s, const int dirs[4][2], Bitboard mask, int shift, int slots, Magic& m, Bitboard mult) {
    m.mult = mult;
    for (int i = 0; i < slots; i++) slider_attacks[m.offset + i] = 0;
    Bitboard sub = 0;
    do {  // carry-rippler over the subsets
        slider_attacks[m.offset + ((sub * mult) >> shift)] = ray_attacks(s, sub, dirs);
        sub = (sub - mask) & mask;
    } while (sub);
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
        fill_magic(s, rook_dirs, rook_mask[s], 52, ROOK_SLOTS, rook_magic[s], rook_multipliers[s]);
        fill_magic(s, bishop_dirs, bishop_mask[s], 55, BISHOP_SLOTS, bishop_magic[s], bishop_multipliers[s]);
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

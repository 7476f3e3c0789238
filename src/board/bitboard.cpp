#include "board/bitboard.h"

#include <bit>

#include "platform/memory.h"

Bitboard square_bit[64];
Bitboard three_file_mask[64];
Bitboard knight_attacks[64];
Bitboard king_attacks[64];
Bitboard bishop_lines[64];
Bitboard rook_lines[64];
Bitboard queen_lines[64];
Bitboard between[64][64];
Bitboard piece_reach[2][8][64];
Magic rook_magic[64];
Magic bishop_magic[64];
Bitboard relative_rank_mask[8][2];

static constexpr int rook_dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
static constexpr int bishop_dirs[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

static constexpr bool on_board(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

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
static constexpr Bitboard relevant_mask(int s, const int dirs[4][2]) {
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

// Each square takes 2^(relevant occupancy bits) slots, without overlap: 102,400 for the rooks and
// 5,248 for the bishops, small enough to stay in the processor's caches.
static constexpr int slider_slots() {
    int n = 0;
    for (int s = 0; s < 64; s++)
        n += (1 << std::popcount(relevant_mask(s, rook_dirs))) + (1 << std::popcount(relevant_mask(s, bishop_dirs)));
    return n;
}
static constexpr int SLIDER_SLOTS = slider_slots();
static_assert(SLIDER_SLOTS == 102400 + 5248);
static Bitboard* slider_attacks;  // SLIDER_SLOTS entries, in huge pages: looked up at every node

// Multipliers found by tools/magicgen.cpp for indexes of as many bits as each square's relevant occupancy.
static const Bitboard rook_multipliers[64] = {
    0x1080004008801020ULL, 0x0840092002C03000ULL, 0x1900200010400900ULL, 0x0880100008000480ULL,
    0x4200100420080200ULL, 0x8100020100080400ULL, 0x0200040110886200ULL, 0x0200008040220411ULL,
    0x0404800084400220ULL, 0x0000401000402000ULL, 0x0086001081220440ULL, 0x0408800800100280ULL,
    0x000A001201040820ULL, 0x8848800200840080ULL, 0x4001000100040200ULL, 0x0442000102105084ULL,
    0x9080010020804100ULL, 0x0040404000201009ULL, 0x0000808010002009ULL, 0x2200090021D00100ULL,
    0x0008008008040080ULL, 0x0004004002010040ULL, 0x0011040008015042ULL, 0x00000A0001768104ULL,
    0x0000800080204009ULL, 0x2010004140002001ULL, 0x9800200280100080ULL, 0x1000100080080080ULL,
    0x0050500500080100ULL, 0x0000020080040080ULL, 0x0C10010400420810ULL, 0x1040008200005104ULL,
    0x01808240088004A0ULL, 0x0882804004802000ULL, 0x0880402001001100ULL, 0x2000210409001000ULL,
    0x2000480131001500ULL, 0x0000800400800200ULL, 0x000002380C001003ULL, 0x4600084882000431ULL,
    0x0080002000504000ULL, 0x0300500020004002ULL, 0x0040408200220011ULL, 0x0010040008004040ULL,
    0x0000080004008080ULL, 0x0010040002008080ULL, 0x2012004881020004ULL, 0x8300842444820011ULL,
    0x0088403882010200ULL, 0x0820400080210100ULL, 0x0110910040A00300ULL, 0x0801100280080480ULL,
    0x0242009008200600ULL, 0x1002000489500200ULL, 0x0040800200010080ULL, 0x0091800041000080ULL,
    0x0000209300488001ULL, 0x04C1002414824001ULL, 0x020020000B001041ULL, 0x7000100004200901ULL,
    0x8002002004100802ULL, 0x30010002084C0007ULL, 0x0888221800813004ULL, 0x4000002840840112ULL,
};
static const Bitboard bishop_multipliers[64] = {
    0x20C0090901061081ULL, 0x0024040094030104ULL, 0x8210810200290200ULL, 0x0011040484620000ULL,
    0x0081104002221000ULL, 0x0009012011001350ULL, 0x0081010802400380ULL, 0x0000420210010408ULL,
    0x0008105002280050ULL, 0x0001028484040044ULL, 0x2A00880810408804ULL, 0x7020022282000100ULL,
    0x0084040420100A50ULL, 0x000401010840E000ULL, 0x2020020210420888ULL, 0x0008084202012010ULL,
    0x2010400810018800ULL, 0x0445122008020840ULL, 0x0804100808002008ULL, 0x0008002104110100ULL,
    0x0061005820080800ULL, 0x2001000200820100ULL, 0x480C210084010800ULL, 0x3004442500480420ULL,
    0x1010102240048100ULL, 0x00182009084220A3ULL, 0x8803090A10004205ULL, 0x0208080040202020ULL,
    0x000C044084010040ULL, 0x00A1010002004106ULL, 0x6008210020640202ULL, 0x1600902112860801ULL,
    0x00042008C1220200ULL, 0x010C042002440140ULL, 0x5022080200040820ULL, 0x0402004042940100ULL,
    0x0860108400008020ULL, 0x000C080022021000ULL, 0x0264080652822100ULL, 0x4005031221010401ULL,
    0x0004502410008400ULL, 0x000500B010A20400ULL, 0x0415094050080800ULL, 0x080000201800A104ULL,
    0x4022A80304000110ULL, 0x4012140802028020ULL, 0x40200104010100A0ULL, 0x12810806008B0C41ULL,
    0x0020441008080000ULL, 0x2002120084045420ULL, 0x0704020062080002ULL, 0x0000001084040001ULL,
    0x0322200891240200ULL, 0xF040200210024800ULL, 0x0140824832008042ULL, 0x000210020A004602ULL,
    0x0083042805141020ULL, 0x002C12009A011000ULL, 0x0041A00044140400ULL, 0x00004004020A0202ULL,
    0x0000140010020210ULL, 0x2864160811012200ULL, 0x2060080841082A17ULL, 0xA010041108003100ULL,
};

// Fills one square's slots from `next`: every subset of the mask maps to its attack set.
static void fill_magic(int s, const int dirs[4][2], Bitboard mult, Magic& m, int& next) {
    Bitboard* slots = slider_attacks + next;
    m.mask = relevant_mask(s, dirs);
    m.mult = mult;
    m.shift = 64 - popcount(m.mask);
    m.attacks = slots;
    next += 1 << popcount(m.mask);
    Bitboard sub = 0;
    do {  // carry-rippler over the subsets
        slots[magic_index(m, sub)] = ray_attacks(s, sub, dirs);
        sub = (sub - m.mask) & m.mask;
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

static void init_reach() {
    for (int side = 0; side < 2; side++)
        for (int s = 0; s < 64; s++) {
            Bitboard(&r)[8][64] = piece_reach[side];
            r[0][s] = r[KING][s] = king_attacks[s];
            r[PAWN][s] = pawn_attacks_from(side, s);
            r[KNIGHT][s] = knight_attacks[s];
            r[BISHOP][s] = bishop_lines[s];
            r[ROOK][s] = rook_lines[s];
            r[QUEEN][s] = queen_lines[s];
        }
}

static void init_magics() {
    slider_attacks = static_cast<Bitboard*>(large_alloc(SLIDER_SLOTS * sizeof(Bitboard)));
    if (!slider_attacks) slider_attacks = new Bitboard[SLIDER_SLOTS];
    int next = 0;
    for (int s = 0; s < 64; s++) fill_magic(s, rook_dirs, rook_multipliers[s], rook_magic[s], next);
    for (int s = 0; s < 64; s++) fill_magic(s, bishop_dirs, bishop_multipliers[s], bishop_magic[s], next);
}

void init_bitboards() {
    static bool done = false;
    if (done) return;
    done = true;
    init_square_bit();
    init_three_file_mask();
    init_leapers();
    init_lines();
    init_reach();
    init_magics();
}

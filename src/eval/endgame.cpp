#include "eval/endgame.h"

#include <cstdio>
#include <cstdlib>

#include "eval/kpk.h"

const EndingRecord ending_records[] = {
    {"", 0, 0, nullptr},
    {"B", 0, 0, nullptr},
    {"BBb", 200, -3000, nullptr},
    {"BBn", 500, -3000, nullptr},
    {"BN", 1000, 0, eval_bishop_knight_mate},
    {"BNb", 150, -3000, nullptr},
    {"BNn", 200, -3000, nullptr},
    {"BP", 1000, 0, eval_bishop_pawn},
    {"NP", 1000, 0, eval_knight_pawn},
    {"Bb", 10, 0, nullptr},
    {"Bn", 10, 0, nullptr},
    {"Bp", 200, -3200, nullptr},
    {"N", 0, 0, nullptr},
    {"NN", 200, -7000, nullptr},
    {"NNb", 50, -3000, nullptr},
    {"NNn", 50, -3000, nullptr},
    {"Nn", 10, 0, nullptr},
    {"Np", 300, -3200, nullptr},
    {"P", 1000, 0, eval_king_pawn},
    {"Q", 700, 0, nullptr},
    {"Qb", 800, 0, nullptr},
    {"Qn", 700, 0, nullptr},
    {"Qq", 50, 0, nullptr},
    {"Qr", 500, -1000, nullptr},
    {"R", 800, 0, nullptr},
    {"RNr", 200, -2000, nullptr},
    {"Rb", 300, -1500, nullptr},
    {"Rn", 200, -1500, nullptr},
    {"Rr", 50, 0, nullptr},
    {"-", 0, 0, nullptr},
};

EndingSlot ending_hash[ENDING_SLOTS];

uint64_t signature_key(const char* signature, bool swapped) {
    uint64_t key = 0;
    for (const char* c = signature; *c; c++) {
        int type = 0;
        switch (*c | 0x20) {
            case 'p': type = PAWN; break;
            case 'n': type = KNIGHT; break;
            case 'b': type = BISHOP; break;
            case 'r': type = ROOK; break;
            case 'q': type = QUEEN; break;
            default: continue;
        }
        const int side = (*c >= 'a') != swapped ? BLACK : WHITE;
        key += zobrist_material[side][type];
    }
    return key;
}

static void store_ending(uint64_t key, const EndingRecord& r, int bonus) {
    EndingSlot& s = ending_hash[key & (ENDING_SLOTS - 1)];
    if (s.occupied == 1) {
        fprintf(stderr, "Hash conflict in ending tables\n");
        exit(1);
    }
    s = {key, 1, r.scale, bonus, r.evaluator};
}

void build_ending_hash() {
    init_position_tables();
    for (EndingSlot& s : ending_hash) s = {1, -1, 1024, 0, nullptr};
    for (const EndingRecord* r = ending_records; r->signature[0] != '-'; r++) {
        const uint64_t key = signature_key(r->signature, false), swapped = signature_key(r->signature, true);
        store_ending(key, *r, r->bonus);
        // A colour-symmetric signature lands on its own slot and is stored once.
        if ((swapped & (ENDING_SLOTS - 1)) != (key & (ENDING_SLOTS - 1))) store_ending(swapped, *r, -r->bonus);
    }
}

namespace {

// The side holding the extra material: +1 White, -1 Black.
inline int strong_side(const Position& pos) { return pos.bb[WHITE][0] != pos.bb[WHITE][KING] ? WHITE : BLACK; }
inline int sign_of(int side) { return side == WHITE ? 1 : -1; }
// Squares as the strong side sees them, its pawn running toward rank 8.
inline int frame(int side, int sq) { return side == WHITE ? sq : sq ^ 56; }
inline int colour_of(int sq) { return (file_of(sq) + rank_of(sq)) & 1; }

}  // namespace

int eval_bishop_knight_mate(const Position& pos) {
    const int st = strong_side(pos), wk = 1 - st;
    const int K = king_square(pos, st), k = king_square(pos, wk);
    const int N = lsb_index(pos.bb[st][KNIGHT]), B = lsb_index(pos.bb[st][BISHOP]);
    const int f = file_of(k), r = rank_of(k);
    // Distance to the nearer corner the bishop controls (a1 is dark).
    const int c = colour_of(B) == 0 ? imin(f + r, (7 - f) + (7 - r)) : imin(r + 7 - f, f + 7 - r);
    return sign_of(st) * (400 - 20 * c - 4 * square_distance(K, k) - 2 * square_distance(k, N));
}

int eval_knight_pawn(const Position& pos) {
    const int st = strong_side(pos);
    const int K = frame(st, king_square(pos, st)), k = frame(st, king_square(pos, 1 - st));
    const int P = frame(st, lsb_index(pos.bb[st][PAWN])), N = frame(st, lsb_index(pos.bb[st][KNIGHT]));
    const int pf = file_of(P), pr = rank_of(P), promo = 56 + pf;
    if ((pf == 0 || pf == 7) && pr == 6 && square_distance(k, promo) < 2)
        return sign_of(st) * (10 - square_distance(K, promo));
    return sign_of(st) * (420 + 5 * square_distance(k, P) - 5 * square_distance(K, P) - 3 * square_distance(N, P) -
                          10 * (7 - pr));
}

int eval_bishop_pawn(const Position& pos) {
    const int st = strong_side(pos);
    const int K = frame(st, king_square(pos, st)), k = frame(st, king_square(pos, 1 - st));
    const int P = frame(st, lsb_index(pos.bb[st][PAWN])), B = frame(st, lsb_index(pos.bb[st][BISHOP]));
    const int pf = file_of(P), pr = rank_of(P), Q = 56 + pf;
    const int tempo = (pos.ply & 1) != st ? 1 : 0;
    const int m = 7 - pr + tempo, d = square_distance(K, Q) + tempo, dk = square_distance(k, Q);
    // Rook pawn whose promotion square the bishop cannot cover, with the defender in time.
    if ((pf == 0 || pf == 7) && colour_of(B) != colour_of(Q) && m >= dk && d > dk)
        return sign_of(st) * (12 + dk - (7 - pr) - square_distance(K, Q));
    return sign_of(st) * (440 + 2 * dk - 10 * (7 - pr) - 2 * square_distance(K, Q));
}

int eval_king_pawn(const Position& pos) {
    const int st = strong_side(pos);
    const int P = lsb_index(pos.bb[st][PAWN]);
    const bool won =
        kpk_probe(st, king_square(pos, st), P, king_square(pos, 1 - st), (pos.ply & 1) == st);
    const int advance = st == WHITE ? rank_of(P) : 7 - rank_of(P);
    return sign_of(st) * (won ? 450 + 16 * advance : 3);
}

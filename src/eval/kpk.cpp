#include "eval/kpk.h"

bool kpk_lookup_frame(int p_index, int strong_king, int weak_king, bool strong_to_move) {
    unsigned n = 2u * unsigned(p_index * 4096 + strong_king * 64 + weak_king) + (strong_to_move ? 1u : 0u);
    return (kpk_bitbase[n >> 3] >> (n & 7)) & 1;
}

bool kpk_probe(int strong_side, int strong_king, int pawn, int weak_king, bool strong_to_move) {
    // The table stores the pawn moving toward rank 1, so a white pawn is flipped.
    int flip = strong_side == 0 ? 56 : 0;
    strong_king ^= flip;
    pawn ^= flip;
    weak_king ^= flip;
    if ((pawn & 7) >= 4) {
        strong_king ^= 7;
        pawn ^= 7;
        weak_king ^= 7;
    }
    int rank = pawn >> 3;
    if (rank < 1 || rank > 6) return false;
    return kpk_lookup_frame(4 * (rank - 1) + (pawn & 7), strong_king, weak_king, strong_to_move);
}

// Opening/endgame score pair in one 64-bit word: opening * 2^32 + endgame, both halves signed, so
// that adding, subtracting and scaling pairs are single word operations. Halves stay far inside
// 31 bits (evaluation terms are a few thousand at most), where this is exact.
#pragma once
#include <cstdint>

using ScorePair = uint64_t;

inline constexpr ScorePair make_pair_score(int32_t open, int32_t end) {
    return (uint64_t(int64_t(open)) << 32) + uint64_t(int64_t(end));
}
inline int32_t pair_end(ScorePair p) { return int32_t(uint32_t(p)); }
// The endgame half borrowed from the opening half when it is negative; rounding the shift undoes that.
inline int32_t pair_open(ScorePair p) { return int32_t((int64_t(p) + 0x80000000LL) >> 32); }
inline ScorePair pair_add(ScorePair a, ScorePair b) { return a + b; }
inline ScorePair pair_neg(ScorePair a) { return 0 - a; }
inline ScorePair pair_sub(ScorePair a, ScorePair b) { return a - b; }
inline ScorePair pair_mul(ScorePair a, int32_t f) { return a * uint64_t(int64_t(f)); }

// Opening/endgame score pair: two signed 31-bit halves in one 64-bit word.
#pragma once
#include <cstdint>

using ScorePair = uint64_t;

constexpr uint64_t HALF_MASK = 0x7FFFFFFFULL;
constexpr ScorePair PAIR_MASK = 0x7FFFFFFF7FFFFFFFULL;

// Reads a 31-bit half as signed by copying bit 30 into bit 31.
inline int32_t half_value(uint32_t w) { return int32_t(w << 1) >> 1; }
inline int32_t pair_end(ScorePair p) { return half_value(uint32_t(p & HALF_MASK)); }
inline int32_t pair_open(ScorePair p) { return half_value(uint32_t((p >> 32) & HALF_MASK)); }
inline constexpr ScorePair make_pair_score(int32_t open, int32_t end) {
    return ((uint64_t(uint32_t(open)) & HALF_MASK) << 32) | (uint64_t(uint32_t(end)) & HALF_MASK);
}
// Half-wise addition modulo 2^31: bits 31 and 63 are masked away so no carry crosses halves.
inline ScorePair pair_add(ScorePair a, ScorePair b) { return (a + b) & PAIR_MASK; }
inline ScorePair pair_neg(ScorePair a) { return ((PAIR_MASK + 0x0000000100000001ULL) - a) & PAIR_MASK; }
inline ScorePair pair_sub(ScorePair a, ScorePair b) { return pair_add(a, pair_neg(b)); }
inline ScorePair pair_mul(ScorePair a, int32_t f) {
    return make_pair_score(int32_t(uint32_t(pair_open(a)) * uint32_t(f)), int32_t(uint32_t(pair_end(a)) * uint32_t(f)));
}

// Compiled for the baseline processor and outside link-time optimisation in every binary, so that
// the start-up check below runs on any x86-64 before any code built for newer instructions.
#include "platform/processor.h"

#include <cstdio>
#include <cstdlib>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

// Whether every bit of `want` is set in `have`.
constexpr bool all(uint32_t have, uint32_t want) { return (have & want) == want; }

constexpr uint32_t POPCNT_BIT = 1u << 23;

}  // namespace

// Set per binary by the build: 2 for the BMI2 build, 1 for the portable x86-64 one, 0 elsewhere.
#ifndef QUORIL_BUILT_FOR
#define QUORIL_BUILT_FOR 0
#endif
const Build THIS_BUILD = Build(QUORIL_BUILT_FOR);

ProcessorWords read_processor() {
    ProcessorWords w{};
#if defined(__x86_64__) || defined(__i386__)
    unsigned a, b, c, d;
    if (!__get_cpuid(0, &a, &w.vendor_ebx, &w.vendor_ecx, &w.vendor_edx)) return w;
    if (__get_cpuid(1, &a, &b, &c, &d)) w.leaf1_eax = a, w.leaf1_ecx = c;
    if (__get_cpuid_count(7, 0, &a, &b, &c, &d)) w.leaf7_ebx = b;
    if (__get_cpuid(0x80000001, &a, &b, &c, &d)) w.ext1_ecx = c;
    if (w.leaf1_ecx & (1u << 27)) {  // OSXSAVE: xgetbv may run
        unsigned lo, hi;
        __asm__("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
        w.xcr0 = lo;
    }
#endif
    return w;
}

bool has_popcnt(const ProcessorWords& w) { return all(w.leaf1_ecx, POPCNT_BIT); }

bool has_x86_64_v3(const ProcessorWords& w) {
    // FMA, MOVBE, POPCNT, OSXSAVE, AVX, F16C
    if (!all(w.leaf1_ecx, (1u << 12) | (1u << 22) | POPCNT_BIT | (1u << 27) | (1u << 28) | (1u << 29))) return false;
    if (!all(w.xcr0, 6)) return false;  // the system saves the vector registers
    if (!all(w.leaf7_ebx, (1u << 3) | (1u << 5) | (1u << 8))) return false;  // BMI1, AVX2, BMI2
    return all(w.ext1_ecx, 1u << 5);  // LZCNT
}

bool suits_bmi2_build(const ProcessorWords& w) {
    if (!has_x86_64_v3(w)) return false;
    const uint32_t base = (w.leaf1_eax >> 8) & 15, family = base == 15 ? base + ((w.leaf1_eax >> 20) & 255) : base;
    const bool amd = w.vendor_ebx == 0x68747541 && w.vendor_edx == 0x69746e65 && w.vendor_ecx == 0x444d4163;
    return !amd || family >= 0x19;
}

const char* refusal_line(const ProcessorWords& w, Build build) {
    if (build == Build::X86_64_V3 && !has_x86_64_v3(w))
        return "info string quoril-bmi2 needs a processor with BMI2 and AVX2 (x86-64-v3): use quoril";
    if (build == Build::X86_64_POPCNT && !has_popcnt(w))
        return "info string quoril needs an x86-64 processor with the POPCNT instruction";
    return nullptr;
}

const char* faster_build_line(const ProcessorWords& w, Build build) {
    return build == Build::X86_64_POPCNT && suits_bmi2_build(w) ? "info string quoril-bmi2 runs faster on this processor: use it instead"
                                                 : nullptr;
}

bool wide_vectors_available() {
#if defined(__x86_64__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
#else
    return false;
#endif
}

namespace {

// Runs before every dynamic initialiser of the engine (priority 101 comes first), since those are
// built for the binary's instruction set: a processor without it gets a line, not a crash.
__attribute__((constructor(101))) void refuse_unsuitable_processor() {
    ProcessorWords w = read_processor();
#ifdef QUORIL_TEST_REFUSAL
    w = ProcessorWords{};  // a test build that plays a processor without any of the instructions
#endif
    if (const char* line = refusal_line(w, THIS_BUILD)) {
        printf("%s\n", line);
        fprintf(stderr, "%s\n", line);
        fflush(stdout);
        std::_Exit(1);
    }
}

}  // namespace

#include "shell/processor.h"

#include <cpuid.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace {

// Whether every bit of `want` is set in `have`.
constexpr bool all(unsigned have, unsigned want) { return (have & want) == want; }

// The x86-64-v3 instructions, read from CPUID directly (leaf1_ecx: leaf 1's ECX): compilers differ
// in the feature names their built-in test knows.
bool has_x86_64_v3(unsigned leaf1_ecx) {
    // FMA, MOVBE, POPCNT, OSXSAVE, AVX, F16C
    if (!all(leaf1_ecx, (1u << 12) | (1u << 22) | (1u << 23) | (1u << 27) | (1u << 28) | (1u << 29))) return false;
    unsigned xcr0_lo, xcr0_hi;
    __asm__("xgetbv" : "=a"(xcr0_lo), "=d"(xcr0_hi) : "c"(0));
    if (!all(xcr0_lo, 6)) return false;  // the system saves the vector registers
    unsigned a, b, c, d;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d) || !all(b, (1u << 3) | (1u << 5) | (1u << 8))) return false;  // BMI1, AVX2, BMI2
    return __get_cpuid(0x80000001, &a, &b, &c, &d) && all(c, 1u << 5);  // LZCNT
}

}  // namespace

bool processor_suits_bmi2_copy() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !has_x86_64_v3(c)) return false;
    const unsigned base = (a >> 8) & 15, family = base == 15 ? base + ((a >> 20) & 255) : base;
    __get_cpuid(0, &a, &b, &c, &d);
    const bool amd = b == 0x68747541 && d == 0x69746e65 && c == 0x444d4163;  // "AuthenticAMD"
    return !amd || family >= 0x19;
}

void start_bmi2_copy_if_faster(char** argv) {
#ifndef __BMI2__
    if (!processor_suits_bmi2_copy()) return;
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return;
    path[n] = 0;
    char* slash = strrchr(path, '/');
    if (!slash || size_t(slash + 1 - path) + strlen(BMI2_COPY_NAME) >= sizeof path) return;
    strcpy(slash + 1, BMI2_COPY_NAME);
    if (access(path, X_OK)) return;
    execv(path, argv);  // returns only when the copy could not start
#else
    (void)argv;
#endif
}

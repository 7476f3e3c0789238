// What the processor offers, against what this binary was built for. x86-64 ships two binaries:
// `quoril` (any x86-64 with POPCNT) and `quoril-bmi2` (x86-64-v3); other processors need nothing.
#pragma once
#include <cstdint>

// The CPUID and XCR0 words the choice rests on; all zero where the processor is not x86.
struct ProcessorWords {
    uint32_t vendor_ebx, vendor_ecx, vendor_edx;  // leaf 0: "AuthenticAMD", "GenuineIntel"
    uint32_t leaf1_eax, leaf1_ecx;                // family and model; feature bits
    uint32_t leaf7_ebx;                           // extended features (sub-leaf 0)
    uint32_t ext1_ecx;                            // leaf 0x80000001
    uint32_t xcr0;                                // register state the system saves (0 without OSXSAVE)
};

ProcessorWords read_processor();

bool has_popcnt(const ProcessorWords& w);
// Every x86-64-v3 instruction, and the system saves the vector registers.
bool has_x86_64_v3(const ProcessorWords& w);
// x86-64-v3 with fast bit extraction: AMD's before family 19h take many cycles over it.
bool suits_bmi2_build(const ProcessorWords& w);

enum class Build { GENERIC, X86_64_POPCNT, X86_64_V3 };
// What this binary was built for.
extern const Build THIS_BUILD;

// The line a binary built for `build` refuses to start with on a processor without what it needs,
// or nullptr when the processor has it.
const char* refusal_line(const ProcessorWords& w, Build build);
// For the portable x86-64 build on a processor that runs the BMI2 one faster: the line that says
// so; nullptr otherwise.
const char* faster_build_line(const ProcessorWords& w, Build build);

// For code that picks its own copy at run time: AVX2 with the system saving its registers (x86-64
// only; false elsewhere), and the mark that compiles a function for it (nothing elsewhere).
bool wide_vectors_available();
#if defined(__x86_64__)
#define QUORIL_AVX2_FUNCTION [[gnu::target("avx2")]]
#else
#define QUORIL_AVX2_FUNCTION
#endif

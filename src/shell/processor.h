// Start-up choice between the portable engine and its copy for newer processors.
#pragma once

// The copy for processors with BMI2 and AVX2 sits next to the portable engine under this name.
constexpr const char* BMI2_COPY_NAME = "quoril-bmi2";

// True when this processor runs the BMI2 copy faster: it has every x86-64-v3 instruction and its
// bit extraction is fast (AMD's before family 19h take many cycles over it).
bool processor_suits_bmi2_copy();

// Replaces this process by the BMI2 copy, with the same arguments, when this is the portable
// engine, the processor suits the copy and the copy is installed beside it. Returns when it does
// not, and the portable engine runs on.
void start_bmi2_copy_if_faster(char** argv);

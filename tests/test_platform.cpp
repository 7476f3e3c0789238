// What differs between systems: the processor check on given CPUID words and in a binary that
// refuses, the search's stack on every thread, and book offsets past 4 GiB over CR LF lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <thread>

#include "engine_pipe.h"
#include "platform/file.h"
#include "platform/processor.h"
#include "platform/stack.h"
#include "support.h"

namespace {

// CPUID words of real processors: leaf 1 EAX is the family, the rest feature bits.
constexpr uint32_t AMD[3] = {0x68747541, 0x444d4163, 0x69746e65}, INTEL[3] = {0x756e6547, 0x6c65746e, 0x49656e69};
constexpr uint32_t V3_LEAF1_ECX = 0x7ffaf3ff, V3_LEAF7_EBX = 0x219c07ab, V3_EXT1_ECX = 0x00000121;

ProcessorWords words(const uint32_t (&vendor)[3], uint32_t leaf1_eax) {
    return {vendor[0], vendor[1], vendor[2], leaf1_eax, V3_LEAF1_ECX, V3_LEAF7_EBX, V3_EXT1_ECX, 0x7};
}

TEST(ProcessorCheck, EachBuildRunsWhereItsInstructionsAreAndTheFasterOneIsNamed) {
    const ProcessorWords haswell = words(INTEL, 0x000306c3), zen2 = words(AMD, 0x00830f10), zen3 = words(AMD, 0x00a20f10);
    for (const ProcessorWords& w : {haswell, zen2, zen3}) EXPECT_TRUE(has_x86_64_v3(w) && has_popcnt(w));
    EXPECT_TRUE(suits_bmi2_build(haswell));
    EXPECT_FALSE(suits_bmi2_build(zen2)) << "bit extraction is slow before family 19h";
    EXPECT_TRUE(suits_bmi2_build(zen3));

    ProcessorWords no_ymm = haswell, no_bmi2 = haswell, no_lzcnt = haswell, old = haswell;
    no_ymm.xcr0 = 1;  // the system does not save the vector registers
    no_bmi2.leaf7_ebx &= ~(1u << 8);
    no_lzcnt.ext1_ecx = 0;
    old.leaf1_ecx = 0, old.leaf7_ebx = 0, old.xcr0 = 0;  // a first x86-64: not even POPCNT
    for (const ProcessorWords& w : {no_ymm, no_bmi2, no_lzcnt, old}) {
        EXPECT_FALSE(has_x86_64_v3(w) || suits_bmi2_build(w));
        EXPECT_STREQ(refusal_line(w, Build::X86_64_V3),
                     "info string quoril-bmi2 needs a processor with BMI2 and AVX2 (x86-64-v3): use quoril");
        EXPECT_EQ(faster_build_line(w, Build::X86_64_POPCNT), nullptr);
    }
    EXPECT_EQ(refusal_line(no_ymm, Build::X86_64_POPCNT), nullptr);
    EXPECT_STREQ(refusal_line(old, Build::X86_64_POPCNT), "info string quoril needs an x86-64 processor with the POPCNT instruction");
    EXPECT_EQ(refusal_line(old, Build::GENERIC), nullptr) << "other processors have nothing to check";

    EXPECT_STREQ(faster_build_line(zen3, Build::X86_64_POPCNT), "info string quoril-bmi2 runs faster on this processor: use it instead");
    EXPECT_EQ(faster_build_line(zen2, Build::X86_64_POPCNT), nullptr);
    EXPECT_EQ(faster_build_line(zen3, Build::X86_64_V3), nullptr);
    EXPECT_EQ(faster_build_line(zen3, Build::GENERIC), nullptr);
}

// A binary whose check fails prints its one line on both streams and exits with status 1 before
// anything else of the engine runs: no banner.
TEST(ProcessorCheck, UnsuitedProcessorGetsOneLineAndStatusOne) {
    EnginePipe e;
    ASSERT_TRUE(process_start(e, QUORIL_REFUSING_BINARY, {"-bench"}));
    EXPECT_EQ(engine_wait_exit(e), 1);
    const std::string line = "info string quoril-bmi2 needs a processor with BMI2 and AVX2 (x86-64-v3): use quoril\n";
    EXPECT_EQ(e.out_text, line);
    EXPECT_EQ(e.err_text, line);
}

// The main thread and every thread started after the engine's start-up have the search's stack.
TEST(Stack, EveryThreadHasTheSearchesStack) {
    reserve_thread_stacks(SEARCH_STACK_BYTES);
    size_t helper = 0;
    std::thread([&] { helper = this_thread_stack_size(); }).join();
    EXPECT_GE(helper, SEARCH_STACK_BYTES);
    EXPECT_GE(this_thread_stack_size(), SEARCH_STACK_BYTES);
}

constexpr int64_t FOUR_GIB = int64_t(1) << 32;

// A book whose only real record lies past 4 GiB, after zero keys; sparse where the file system
// allows. Empty when the disk refuses.
std::string write_huge_book(const std::string& dir) {
    const std::string path = (std::filesystem::path(dir) / "huge book.bin").string();
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return "";
    // The start position's key, and 1.e4 (to 28 in bits 0..5, from 12 in 6..11), weight 1.
    const unsigned char record[16] = {0x46, 0x3b, 0x96, 0x18, 0x16, 0x91, 0xfc, 0x9c, 0x03, 0x1c, 0, 1};
    const bool written = file_seek(f, FOUR_GIB + 16, SEEK_SET) && fwrite(record, 16, 1, f) == 1;
    fclose(f);
    return written ? path : "";
}

TEST(Files, BookOffsetsPastFourGibibytes) {
    const std::string dir = make_temp_dir("quoril book");
    ASSERT_FALSE(dir.empty());
    const std::string path = write_huge_book(dir);
    ASSERT_FALSE(path.empty());
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_TRUE(f && file_seek(f, 0, SEEK_END));
    EXPECT_EQ(file_tell(f), FOUR_GIB + 32);
    ASSERT_TRUE(file_seek(f, FOUR_GIB + 16, SEEK_SET));
    EXPECT_EQ(fgetc(f), 0x46);
    fclose(f);
    // The engine finds the record by its binary search, named by a path with spaces (on Windows with
    // a drive letter and backslashes), over CR LF lines.
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    const auto lines = send_and_read(e, "setoption name Book File value " + path + "\r\nposition startpos\r\ngo depth 5\r",
                                     "bestmove");
    EXPECT_TRUE(found_line(lines, "info string book move e2e4")) << path;
    EXPECT_EQ(bestmove_of(lines), "e2e4");
    engine_send(e, "quit");
    EXPECT_EQ(engine_wait_exit(e), 0);
    std::filesystem::remove_all(dir);
}

}  // namespace

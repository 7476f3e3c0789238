// Move-path counts against published results: generation, make and legality together.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include <string>

#include "board/perft.h"
#include "engine_pipe.h"
#include "platform/processor.h"
#include "support.h"

namespace {

#ifdef QUORIL_SANITIZE
constexpr uint64_t MAX_NODES = 3000000;  // sanitizers are slow: keep the deep counts for release
#else
constexpr uint64_t MAX_NODES = 200000000;
#endif
// Under an emulator (QEMU is some ten times slower) the deepest counts are left to the native run.
constexpr uint64_t EMULATED_MAX_NODES = 5000000;

// Published counts, including positions that isolate one rule each, and Fischer-random positions
// with castling in Shredder-FEN. Each position is checked again as the engine writes it (X-FEN).
TEST(Perft, PublishedCounts) {
    init_engine_tables();
    for (const char* file : {"perft.txt", "perft960.epd"}) {
        int checked = 0;
        for (const std::string& line : read_data_lines(file)) {
            const std::string fen = line.substr(0, line.find(';'));
            Position pos;
            ASSERT_TRUE(position_from_fen(pos, fen.c_str())) << fen;
            std::istringstream rest(line.substr(line.find(';')));
            std::string tok;
            for (uint64_t expected; rest >> tok >> expected;) {
                if (expected > (emulated_target() ? EMULATED_MAX_NODES : MAX_NODES)) continue;
                EXPECT_EQ(perft(pos, atoi(tok.c_str() + 2)), expected) << fen << " " << tok;
                checked++;
            }
            const Position again = from_fen(fen_of(pos).c_str());
            EXPECT_EQ(again.key, pos.key) << fen << " as " << fen_of(pos);
            EXPECT_EQ(castle_rights(again), castle_rights(pos)) << fen;
            EXPECT_EQ(again.castle_mask & BACK_RANKS, pos.castle_mask & BACK_RANKS) << fen;
        }
        EXPECT_GE(checked, 20) << file;
    }
}

#ifdef QUORIL_BMI2_BINARY
// Each x86-64 binary runs where its instructions are: the BMI2 one counts the same moves as the
// portable one where the processor has them and refuses with one line where not; the portable one
// says when the BMI2 one would be faster.
TEST(Perft, EachBinaryRunsOnlyWhereItsInstructionsAre) {
    const ProcessorWords w = read_processor();
    const std::string hint = faster_build_line(w, Build::X86_64_POPCNT) ? faster_build_line(w, Build::X86_64_POPCNT) : "";
    for (const char* program : {QUORIL_BINARY, QUORIL_BMI2_BINARY}) {
        const bool bmi2 = program == std::string(QUORIL_BMI2_BINARY);
        EnginePipe e;
        ASSERT_TRUE(process_start(e, program));
        if (bmi2 && !has_x86_64_v3(w)) {
            EXPECT_EQ(engine_wait_exit(e), 1);
            EXPECT_EQ(e.out_text, std::string(refusal_line(w, Build::X86_64_V3)) + "\n");
            continue;
        }
        const auto start = send_and_read(e, "isready", "readyok");
        EXPECT_EQ(!hint.empty() && !bmi2, found_line(start, hint)) << program;
        const auto lines = send_and_read(e, "position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1\n"
                                            "go perft 4", "Nodes searched");
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "Nodes searched: 4085603") << program;
        engine_send(e, "quit");
        EXPECT_EQ(engine_wait_exit(e), 0);
    }
}
#endif

}  // namespace

// Move-path counts against published results: generation, make and legality together.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include <climits>
#include <string>

#include "board/perft.h"
#include "engine_pipe.h"
#include "shell/processor.h"
#include "support.h"

namespace {

#ifdef QUORIL_SANITIZE
constexpr uint64_t MAX_NODES = 3000000;  // sanitizers are slow: keep the deep counts for release
#else
constexpr uint64_t MAX_NODES = 200000000;
#endif

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
                if (expected > MAX_NODES) continue;
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
std::string running_program(pid_t pid) {
    char path[PATH_MAX];
    const ssize_t n = readlink(("/proc/" + std::to_string(pid) + "/exe").c_str(), path, sizeof path - 1);
    return n > 0 ? std::string(path, size_t(n)) : "";
}

// The engine hands over to its BMI2 copy exactly where the processor suits it, and the copy's slider
// lookups by bit extraction count the same moves as the portable ones.
TEST(Perft, ProcessorCopyStartsWhereItSuitsAndCountsTheSame) {
    const bool suits = processor_suits_bmi2_copy();
    for (const char* program : {QUORIL_BINARY, QUORIL_BMI2_BINARY}) {
        if (!suits && program == std::string(QUORIL_BMI2_BINARY)) continue;
        EnginePipe e;
        ASSERT_TRUE(process_start(e, program));
        const auto lines = send_and_read(e, "position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1\n"
                                            "go perft 4", "Nodes searched");
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "Nodes searched: 4085603") << program;
        const std::string running = running_program(e.pid);
        EXPECT_EQ(running.substr(running.rfind('/') + 1), suits ? BMI2_COPY_NAME : "quoril") << program;
        engine_send(e, "quit");
        EXPECT_EQ(engine_wait_exit(e), 0);
    }
}
#endif

}  // namespace

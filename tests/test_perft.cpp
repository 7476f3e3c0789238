// Move-path counts against published results: generation, make and legality together.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "board/perft.h"
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
            ASSERT_EQ(position_from_fen(pos, fen.c_str()), nullptr) << fen;
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

}  // namespace

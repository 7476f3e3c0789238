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

TEST(Perft, PublishedCounts) {
    int checked = 0;
    for (const std::string& line : read_data_lines("perft.txt")) {
        const size_t semi = line.find(';');
        const std::string fen = line.substr(0, semi);
        Position pos = from_fen(fen.c_str());
        std::istringstream rest(line.substr(semi));
        std::string tok;
        uint64_t expected;
        while (rest >> tok >> expected) {
            const int depth = atoi(tok.c_str() + 2);
            if (expected > MAX_NODES) continue;
            EXPECT_EQ(perft(pos, depth), expected) << fen << " depth " << depth;
            checked++;
        }
    }
    EXPECT_GE(checked, 20);
}

// Fischer-random positions, castling in Shredder-FEN; each is checked again in X-FEN.
TEST(Perft, Chess960Suite) {
    int checked = 0;
    for (const std::string& line : read_data_lines("perft960.epd")) {
        const std::string fen = line.substr(0, line.find(';'));
        Position pos = from_fen("");
        ASSERT_EQ(position_from_fen(pos, fen.c_str()), nullptr) << fen;
        std::istringstream rest(line.substr(line.find(';')));
        std::string tok;
        uint64_t expected;
        while (rest >> tok >> expected) {
            if (expected > MAX_NODES) continue;
            EXPECT_EQ(perft(pos, atoi(tok.c_str() + 2)), expected) << fen << " " << tok;
            checked++;
        }
        // Written back, the castling field takes the X-FEN form; the position must not change.
        const Position again = from_fen(fen_of(pos).c_str());
        EXPECT_EQ(again.key, pos.key) << fen << " as " << fen_of(pos);
        EXPECT_EQ(castle_rights(again), castle_rights(pos)) << fen;
        EXPECT_EQ(again.castle_mask & BACK_RANKS, pos.castle_mask & BACK_RANKS) << fen;
    }
    EXPECT_GE(checked, 120);
}

struct Case {
    const char* fen;
    int depth;
    uint64_t nodes;
};

// Positions that isolate one rule each: en passant with discovered checks, castling through
// attacked squares, promotions, pins.
TEST(Perft, TrickyRules) {
    const Case cases[] = {
        {"3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1", 6, 1134888},         // pinned pawn, rook on the king's rank
        {"8/8/4k3/8/2p5/8/B2P2K1/8 w - - 0 1", 6, 1015133},        // double step into a pinned capture
        {"8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", 6, 1440467},       // en passant that uncovers a check
        {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", 6, 661072},             // short castling
        {"3k4/8/8/8/8/8/8/R3K3 w Q - 0 1", 6, 803711},             // long castling
        {"r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1", 4, 1274206},  // castling through attacked squares
        {"r3k2r/8/3Q4/8/8/5q2/8/R3K2R b KQkq - 0 1", 4, 1720476},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 4, 314346},
        {"2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1", 6, 3821001},         // promotion out of check
        {"8/8/1P2K3/8/2n5/1q6/8/5k2 b - - 0 1", 5, 1004658},
        {"4k3/1P6/8/8/8/8/K7/8 w - - 0 1", 6, 217342},             // promotion giving check
        {"8/P1k5/K7/8/8/8/8/8 w - - 0 1", 6, 92683},
        {"K1k5/8/P7/8/8/8/8/8 w - - 0 1", 6, 2217},                // stalemate traps
        {"8/k1P5/8/1K6/8/8/8/8 w - - 0 1", 7, 567584},
        {"8/8/2k5/5q2/5n2/8/5K2/8 b - - 0 1", 4, 23527},
        {"n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1", 4, 182838},     // promotions with capture
    };
    for (const Case& c : cases) {
        if (c.nodes > MAX_NODES) continue;
        Position pos = from_fen(c.fen);
        EXPECT_EQ(perft(pos, c.depth), c.nodes) << c.fen;
    }
}

TEST(Perft, DivideListsEveryRootMoveAndTotal) {
    Position pos = from_fen("");
    char* buf = nullptr;
    size_t len = 0;
    FILE* f = open_memstream(&buf, &len);
    EXPECT_EQ(perft_divide(pos, 2, f), 400u);
    fclose(f);
    const std::string out(buf, len);
    free(buf);
    EXPECT_EQ(out.rfind("a2a3: 20\n", 0), 0u) << out;  // generation order starts with single pushes
    EXPECT_NE(out.find("b1c3: 20\n"), std::string::npos);
    EXPECT_NE(out.find("\n\nNodes searched: 400\n"), std::string::npos);
}

}  // namespace

// The king-and-pawn-versus-king bitbase against the Syzygy KPvK table.
#include <gtest/gtest.h>

#include <string>

#include "eval/kpk.h"
#include "search/tablebase.h"
#include "support.h"

namespace {

// Every placement of a white king, pawn and black king, either side to move, and its colour-flipped
// twin with a black pawn. Illegal placements (kings touching, the side not to move in check) are not won.
TEST(KpkBitbase, MatchesSyzygyForBothColours) {
    init_engine_tables();
    ASSERT_GE(tb_load(QUORIL_TEST_DATA "/syzygy"), 3);
    int mismatches = 0, wins = 0;
    for (int P = 8; P < 56; ++P)
        for (int K = 0; K < 64; ++K)
            for (int k = 0; k < 64; ++k)
                for (bool stm : {true, false}) {
                    if (K == P || k == P || K == k) continue;
                    std::string squares(64, '1'), fen;  // "11" reads as two empty squares
                    squares[size_t(P)] = 'P', squares[size_t(K)] = 'K', squares[size_t(k)] = 'k';
                    for (size_t r = 8; r-- > 0;) fen += squares.substr(8 * r, 8) + (r ? "/" : stm ? " w - - 0 1" : " b - - 0 1");
                    const Position pos = from_fen(fen.c_str());
                    int wdl = 0;
                    const bool legal = !side_in_check(pos, 1 - side_to_move(pos));
                    ASSERT_TRUE(!legal || tb_probe_search(pos, 3, true, wdl)) << fen;
                    const bool won = legal && wdl == (stm ? 1 : -1);
                    wins += won;
                    for (int side : {0, 1}) {
                        const int flip = side ? 56 : 0;
                        if (kpk_probe(side, K ^ flip, P ^ flip, k ^ flip, stm) != won && ++mismatches <= 10)
                            ADD_FAILURE() << fen_of(pos) << " with the pawn's colour " << side << ": the table says " << won;
                    }
                }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(wins, 200000);
}

}  // namespace

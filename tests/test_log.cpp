// The board diagram written to the log at the start of every logged search.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/log.h"
#include "support.h"

namespace {

// What log_board writes for each position.
std::string diagrams(const std::vector<Position>& positions) {
    const std::string path = testing::TempDir() + "quoril_diagram.log";
    remove(path.c_str());
    EXPECT_TRUE(log_open(path.c_str()));
    for (const Position& p : positions) log_board(p);
    fclose(log_stream);
    log_stream = nullptr;
    return read_file(path);
}

TEST(LogBoard, StartPosition) {
    EXPECT_EQ(diagrams({from_fen(START_FEN)}),
              "\n-----[ CTM = 0   INCHECK = 0   last: N/A null   rights: KQkq]-----\n"
              " r n b q k b n r\n p p p p p p p p\n - - - - - - - -\n - - - - - - - -\n"
              " - - - - - - - -\n - - - - - - - -\n P P P P P P P P\n R N B Q K B N R\n\n");
}

TEST(LogBoard, LastMovesCheckAndRights) {
    // Two moves deep both last moves are named; castled and moved kings leave "-"; a check shows.
    Position p[4];
    p[0] = from_fen("4k3/8/8/8/8/8/3P4/R3K2R w KQ - 0 1");
    ASSERT_TRUE(apply_move_text(p[0], p[1], "e1g1"));
    ASSERT_TRUE(apply_move_text(p[1], p[2], "e8d7"));
    ASSERT_TRUE(apply_move_text(p[2], p[3], "f1f7"));
    const std::string e = " - - - - - - - -\n", empty4 = e + e + e + e;
    EXPECT_EQ(diagrams({p[2], p[3], from_fen("r3k2r/8/8/8/8/8/8/R3K2R b Kq - 0 1")}),
              "\n-----[ CTM = 2   INCHECK = 0   last: e1g1 e8d7   rights: -]-----\n" + e + " - - - k - - - -\n" +
                  empty4 + " - - - P - - - -\n R - - - - R K -\n\n" +
                  "\n-----[ CTM = 3   INCHECK = 1   last: e8d7 f1f7   rights: -]-----\n" + e + " - - - k - R - -\n" +
                  empty4 + " - - - P - - - -\n R - - - - - K -\n\n" +
                  "\n-----[ CTM = 1   INCHECK = 0   last: N/A null   rights: Kq]-----\n r - - - k - - r\n" + empty4 +
                  e + e + " R - - - K - - R\n\n");
}

}  // namespace

// The log file and the board diagram written at the start of every logged search.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "shell/log.h"
#include "support.h"

namespace {

class Log : public testing::Test {
protected:
    void SetUp() override {
        path_ = testing::TempDir() + "quoril_log_" + testing::UnitTest::GetInstance()->current_test_info()->name();
        remove(path_.c_str());
        ASSERT_TRUE(log_open(path_.c_str()));
    }
    void TearDown() override {
        if (log_stream) fclose(log_stream);
        log_stream = nullptr;
    }
    std::string text() const {
        std::ifstream in(path_);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string path_;
};

TEST_F(Log, StartPositionDiagram) {
    log_board(from_fen(START_FEN));
    EXPECT_EQ(text(),
              "\n-----[ CTM = 0   INCHECK = 0   last: N/A null   rights: KQkq]-----\n"
              " r n b q k b n r\n"
              " p p p p p p p p\n"
              " - - - - - - - -\n"
              " - - - - - - - -\n"
              " - - - - - - - -\n"
              " - - - - - - - -\n"
              " P P P P P P P P\n"
              " R N B Q K B N R\n\n");
}

TEST_F(Log, MovesChecksAndRights) {
    // Two moves deep: both last moves are named, and the check shows.
    Position p[3];
    p[0] = from_fen("4k3/8/8/8/8/8/3P4/R3K2R w KQ - 0 1");
    ASSERT_TRUE(apply_move_text(p[0], p[1], "e1g1"));
    ASSERT_TRUE(apply_move_text(p[1], p[2], "e8d7"));
    log_board(p[2]);
    Position q;
    ASSERT_TRUE(apply_move_text(p[2], q, "f1f7"));
    log_board(q);
    const std::string diagram_tail =
        "\n - - - - - - - -\n"
        " - - - - - - - -\n"
        " - - - - - - - -\n"
        " - - - - - - - -\n"
        " - - - P - - - -\n";
    EXPECT_EQ(text(),
              "\n-----[ CTM = 2   INCHECK = 0   last: e1g1 e8d7   rights: -]-----"
              "\n - - - - - - - -\n - - - k - - - -" +
                  diagram_tail + " R - - - - R K -\n\n" +
                  "\n-----[ CTM = 3   INCHECK = 1   last: e8d7 f1f7   rights: -]-----"
                  "\n - - - - - - - -\n - - - k - R - -" +
                  diagram_tail + " R - - - - - K -\n\n");
}

TEST_F(Log, PartialRights) {
    log_board(from_fen("r3k2r/8/8/8/8/8/8/R3K2R b Kq - 0 1"));
    EXPECT_NE(text().find("\n-----[ CTM = 1   INCHECK = 0   last: N/A null   rights: Kq]-----\n r - - - k - - r\n"),
              std::string::npos);
}

TEST(LogOff, NothingWrittenWithoutALog) {
    ASSERT_EQ(log_stream, nullptr);
    log_board(from_fen(START_FEN));  // must simply return
    log_printf("%s", "ignored");
    EXPECT_EQ(log_stream, nullptr);
}

}  // namespace

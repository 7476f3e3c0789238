// The benchmark: its positions, its output and the repeatability of its node counts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "eval/endgame.h"
#include "eval/tables.h"
#include "search/tt.h"
#include "shell/bench.h"
#include "shell/options.h"
#include "support.h"

namespace {

#ifdef QUORIL_SANITIZE
constexpr int SMALL_DEPTH = 3;
#else
constexpr int SMALL_DEPTH = 5;
#endif

TEST(BenchRows, EveryRowIsASearchablePosition) {
    init_engine_tables();
    for (int i = 0; i < BENCH_POSITION_COUNT; i++) {
        const char* row = bench_rows[i];
        EXPECT_LT(strlen(row), size_t(BENCH_ROW_SIZE));
        char fen[BENCH_ROW_SIZE];
        ASSERT_TRUE(bench_row_fen(row, fen, sizeof fen)) << row;
        EXPECT_EQ(std::string(row).rfind(fen, 0), 0u) << row;
        Position pos;
        position_from_fen(pos, fen);
        EXPECT_EQ(position_problem(pos), nullptr) << fen;
        // The side to move and the castling field come through the parse.
        char back[FEN_BUFFER];
        position_to_fen(pos, back, sizeof back);
        std::istringstream a(fen), b(back);
        std::string wa, wb;
        for (int field = 0; field < 3; field++) {
            a >> wa;
            b >> wb;
            EXPECT_EQ(wa, wb) << fen;
        }
    }
}

TEST(BenchRows, RowSplitting) {
    char fen[BENCH_ROW_SIZE];
    EXPECT_TRUE(bench_row_fen("  8/8/8/8/8/8/8/K6k\tw\r-  -\n 1 2 3", fen, sizeof fen));
    EXPECT_STREQ(fen, "8/8/8/8/8/8/8/K6k w - -");
    EXPECT_FALSE(bench_row_fen("8/8/8/8/8/8/8/K6k w -", fen, sizeof fen));
    EXPECT_FALSE(bench_row_fen("", fen, sizeof fen));
    // Words that would not fit are refused, not cut.
    char small[12];
    EXPECT_FALSE(bench_row_fen("8/8/8/8/8/8/8/K6k w - -", small, sizeof small));
}

std::string run_to_text(int passes, int depth, uint64_t& signature) {
    FILE* f = tmpfile();
    signature = bench_run(passes, depth, f);
    rewind(f);
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    fclose(f);
    return text;
}

TEST(BenchRun, OutputShapeAndRepeatableNodeCounts) {
    init_engine_tables();
    build_ending_hash();
    buildEvalTables();
    tt_allocate(16);
    const int saved_own_book = own_book;
    own_book = 0;  // no book answers: every position is searched
    uint64_t first = 0, second = 0;
    const std::string text = run_to_text(2, SMALL_DEPTH, first);
    run_to_text(1, SMALL_DEPTH, second);
    own_book = saved_own_book;

    const std::string header =
        "\nThis self-test is a benchmark\nUses 50 random position.\n\n\n"
        "Pass Progress ...                                          Sec    mNPS\n"
        "==== ================================================== ====== =======\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    const std::regex row("   [12] \\.{50} *[0-9]+\\.[0-9]{3} +[0-9]+\\.[0-9]{4}\n");
    const std::string rest = text.substr(header.size());
    std::smatch m;
    ASSERT_TRUE(std::regex_search(rest, m, std::regex("^(   1 .*\n)(   2 .*\n)\nNodes searched: ([0-9]+)\n$"))) << rest;
    EXPECT_TRUE(std::regex_match(m[1].str(), row)) << m[1];
    EXPECT_TRUE(std::regex_match(m[2].str(), row)) << m[2];
    // Each pass searches the same positions from cleared tables: two passes, twice the nodes of one.
    EXPECT_EQ(std::stoull(m[3].str()), first);
    EXPECT_GT(second, 50u);
    EXPECT_EQ(first, 2 * second);
}

std::string slurp(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    std::string text;
    if (!f) return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    fclose(f);
    return text;
}

TEST(BenchRun, SwitchRunsTheBenchmarkAndQuitEndsIt) {
    const std::string out = testing::TempDir() + "quoril_bench_out", err = testing::TempDir() + "quoril_bench_err";
    const std::string cmd = "echo quit | " + std::string(QUORIL_BINARY) + " -bench >" + out + " 2>" + err;
    const int status = system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(slurp(err).find("Quoril version " + std::string(VERSION_TAG) + "\n\n"), std::string::npos);
    const std::string text = slurp(out);
    EXPECT_NE(text.find("==== ================================================== ====== =======\n   1 ."),
              std::string::npos)
        << text;
}

}  // namespace

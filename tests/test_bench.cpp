// The benchmark: its positions, its output and the repeatability of its node counts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "engine_pipe.h"
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

const char HEADER[] =
    "\nThis self-test is a benchmark\nUses 50 random position.\n\n\n"
    "Pass Progress ...                                          Sec    mNPS\n"
    "==== ================================================== ====== =======\n";

// The words of text with digits as 9 and whole parts cut to one: "   1 ...  0.123 14.5678" reads "9 ... 9.999 9.9999".
std::string shape(const std::string& text) {
    std::string s, w, out;
    for (char c : text) s += isdigit(static_cast<unsigned char>(c)) ? '9' : c;
    for (size_t at; (at = s.find("99.")) != std::string::npos;) s.erase(at, 1);
    std::istringstream in(s);
    while (in >> w) out += w + " ";
    return out;
}

std::string run_to_text(int passes, uint64_t& signature) {
    const std::string path = testing::TempDir() + "quoril_bench.txt";
    FILE* f = fopen(path.c_str(), "w");
    signature = bench_run(passes, SMALL_DEPTH, f);
    fclose(f);
    return read_file(path);
}

TEST(BenchRun, OutputShapeAndRepeatableNodeCounts) {
    init_engine_tables();
    build_ending_hash();
    buildEvalTables();
    tt_allocate(16);
    own_book = 0;  // no book answers: every position is searched
    uint64_t two = 0, one = 0;
    const std::string text = run_to_text(2, two);
    run_to_text(1, one);
    own_book = 1;
    ASSERT_EQ(text.substr(0, strlen(HEADER)), HEADER);
    const std::string rows = text.substr(strlen(HEADER)), dots(50, '.');
    EXPECT_EQ(shape(rows.substr(0, rows.rfind("Nodes"))), "9 " + dots + " 9.999 9.9999 9 " + dots + " 9.999 9.9999 ")
        << rows;
    EXPECT_EQ(rows.substr(0, 5) + rows.substr(rows.find('\n') + 1, 5), "   1    2 ");
    EXPECT_EQ(rows.substr(rows.rfind("\n\nNodes")), "\n\nNodes searched: " + std::to_string(two) + "\n");
    // Each pass searches the same positions from cleared tables: two passes, twice the nodes of one.
    EXPECT_GT(one, 50u);
    EXPECT_EQ(two, 2 * one);
}

TEST(BenchRun, SwitchRunsTheBenchmarkAndQuitEndsIt) {
    EnginePipe e;
    ASSERT_TRUE(engine_start(e, {"-bench"}));
    engine_send(e, "quit");
    EXPECT_EQ(engine_wait_exit(e), 0);
    EXPECT_NE(engine_stderr(e).find("Quoril version " + std::string(VERSION_TAG) + "\n\n"), std::string::npos);
    EXPECT_NE(e.out_text.find(std::string(HEADER) + "   1 ."), std::string::npos) << e.out_text;
}

}  // namespace

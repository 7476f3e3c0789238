// Command-line switches: the parser on its own, then the binary's exit status and usage text.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine_pipe.h"
#include "shell/cmdline.h"
#include "shell/options.h"

namespace {

const char USAGE_TAIL[] =
    " {options} \n\n"
    "  -log FILE      log file name\n"
    "  -help          display this help message\n"
    "\n";

struct Parse {
    int result;
    std::string errors;
};

Parse parse(std::vector<std::string> args, const CommandSwitch* table = command_switches) {
    args.insert(args.begin(), "quoril");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    char* text = nullptr;
    size_t size = 0;
    FILE* err = open_memstream(&text, &size);
    const int result = parse_command_line(int(args.size()), argv.data(), table, err);
    fclose(err);
    Parse p{result, std::string(text, size)};
    free(text);
    return p;
}

class CommandLine : public testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        bench_mode = pgn_flag = cpu_setting = 0;
        log_file_name[0] = 0;
    }
};

TEST_F(CommandLine, NoArgumentsChangeNothing) {
    const Parse p = parse({});
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.errors, "");
    EXPECT_EQ(bench_mode, 0);
}

TEST_F(CommandLine, EverySwitchOfTheTable) {
    const Parse p = parse({"-bench", "-log", "game log.txt", "-cpu", "3", "-pgn", "-quiet"});
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.errors, "");
    EXPECT_EQ(bench_mode, 1);
    EXPECT_STREQ(log_file_name, "game log.txt");
    EXPECT_EQ(cpu_setting, 3);
    EXPECT_EQ(pgn_flag, 1);
}

TEST_F(CommandLine, SwitchNamesIgnoreCase) {
    EXPECT_EQ(parse({"-BENCH", "-Cpu", "-7", "-LoG", "x"}).result, 0);
    EXPECT_EQ(bench_mode, 1);
    EXPECT_EQ(cpu_setting, -7);
    EXPECT_STREQ(log_file_name, "x");
}

TEST_F(CommandLine, ErrorsStopAtTheFirstBadArgument) {
    Parse p = parse({"bench"});
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.errors, "Error in command line processing.  option expected at argument 1\n");
    p = parse({"-pgn", "-quiet", "extra"});
    EXPECT_EQ(p.errors, "Error in command line processing.  option expected at argument 3\n");

    p = parse({"-help"});
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.errors, "Error. option -help not found.\n");
    p = parse({"-"});
    EXPECT_EQ(p.errors, "Error. option - not found.\n");

    p = parse({"-pgn", "-log"});
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.errors, "Error.  No argument.\n");
    EXPECT_EQ(parse({"-cpu"}).errors, "Error.  No argument.\n");
    // Nothing after the error is looked at.
    p = parse({"-nope", "-bench"});
    EXPECT_EQ(bench_mode, 0);
}

TEST_F(CommandLine, TooLongLogNameIsRefused) {
    const Parse p = parse({"-log", std::string(LOG_NAME_SIZE, 'a')});
    EXPECT_EQ(p.result, 1);
    EXPECT_NE(p.errors.find("too long"), std::string::npos);
    EXPECT_STREQ(log_file_name, "");
    EXPECT_EQ(parse({"-log", std::string(LOG_NAME_SIZE - 1, 'a')}).result, 0);
}

TEST_F(CommandLine, RealAndUnknownKinds) {
    double ratio = 0;
    int flag = 0;
    const CommandSwitch table[] = {
        {"ratio", &ratio, SWITCH_REAL, 0},
        {"odd", &flag, 7, 0},
        {"", nullptr, 0, 0},
    };
    EXPECT_EQ(parse({"-ratio", "2.5"}, table).result, 0);
    EXPECT_DOUBLE_EQ(ratio, 2.5);
    const Parse p = parse({"-odd"}, table);
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.errors, "Error.  Do not understand command line switch.");
    EXPECT_EQ(flag, 0);
}

TEST(Usage, ExactText) {
    char* text = nullptr;
    size_t size = 0;
    FILE* err = open_memstream(&text, &size);
    print_usage("prog", err);
    fclose(err);
    EXPECT_EQ(std::string(text, size), std::string("\nusage: prog") + USAGE_TAIL);
    free(text);
}

TEST(CommandLineBinary, RejectedLineExitsWithMinusOneAfterUsage) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"-help"}, "Error. option -help not found.\n"},
        {{"-log"}, "Error.  No argument.\n"},
        {{"bench"}, "Error in command line processing.  option expected at argument 1\n"},
    };
    for (const Case& c : cases) {
        EnginePipe e;
        ASSERT_TRUE(engine_start(e, c.args));
        EXPECT_EQ(engine_wait_exit(e), 255) << c.args[0];
        EXPECT_EQ(engine_stderr(e, 0), c.message + "\nusage: " + QUORIL_BINARY + USAGE_TAIL);
    }
}

TEST(CommandLineBinary, AcceptedSwitchesLeadToTheCommandLoop) {
    EnginePipe e;
    ASSERT_TRUE(engine_start(e, {"-QUIET", "-pgn", "-cpu", "1"}));
    engine_send(e, "isready");
    const std::vector<std::string> lines = engine_read_until(e, "readyok");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "readyok");
    engine_send(e, "quit");
    EXPECT_EQ(engine_wait_exit(e), 0);
}

}  // namespace

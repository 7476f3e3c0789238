// Command-line switches: the parser on its own, then the binary's exit status and usage text.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "engine_pipe.h"
#include "shell/cmdline.h"
#include "shell/options.h"
#include "support.h"

namespace {

// Result of the parse, what it wrote on its error stream, and what it read into out.
std::pair<int, std::string> parse(std::vector<std::string> args, CommandLine& out) {
    out = CommandLine();
    args.insert(args.begin(), "quoril");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int result = 0;
    const std::string errors =
        capture([&](FILE* err) { result = parse_command_line(int(args.size()), argv.data(), out, err); });
    return {result, errors};
}

std::pair<int, std::string> parse(std::vector<std::string> args) {
    CommandLine out;
    return parse(args, out);
}

TEST(CommandLine, EverySwitchIgnoringCase) {
    CommandLine c;
    EXPECT_EQ(parse({"-BENCH", "-passes", "1", "-log", "game log.txt", "-Cpu", "-7", "-pgn", "-quiet"}, c),
              std::make_pair(0, std::string()));
    EXPECT_EQ(std::tuple(c.bench, c.passes, std::string(c.log_file), c.cpu), std::tuple(1, 1, std::string("game log.txt"), -7));
    EXPECT_EQ(parse({"-log", std::string(LOG_NAME_SIZE - 1, 'a')}).first, 0);
}

TEST(CommandLine, ErrorsStopAtTheFirstBadArgument) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"-pgn", "-quiet", "extra"}, "Error in command line processing.  option expected at argument 3\n"},
        {{"-pgn", "-log"}, "Error.  No argument.\n"},
        {{"-nope", "-bench"}, "Error. option -nope not found.\n"},
    };
    CommandLine c;
    for (const auto& [args, message] : cases) EXPECT_EQ(parse(args, c), std::make_pair(1, std::string(message))) << args[0];
    EXPECT_EQ(c.bench, 0) << "nothing after the error is looked at";
    const auto [code, message] = parse({"-log", std::string(LOG_NAME_SIZE, 'a')}, c);
    EXPECT_TRUE(code == 1 && message.find("too long") != std::string::npos) << message;
    EXPECT_STREQ(c.log_file, "");
}

TEST(CommandLineBinary, RejectedLineExitsWithMinusOneAfterUsage) {
    EnginePipe e;
    ASSERT_TRUE(engine_start(e, {"bench"}));
    EXPECT_EQ(engine_wait_exit(e), 255);
    EXPECT_EQ(engine_stderr(e, 0).rfind(parse({"bench"}).second + "\nusage: " + QUORIL_BINARY + " {options}", 0), 0u);
}

}  // namespace

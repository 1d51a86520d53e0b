// main() hands the command line to WinMain and returns its result; with no display at all it
// says so in one line and ends with status 1 before WinMain runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "windowing_support.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Startup, WinMainGetsTheCommandLineAfterTheProgramNameAndItsResultIsTheExitStatus) {
    CommandResult run = RunCommand(std::string(STARTUP_PROBE) + " one 'two words' three");
    EXPECT_EQ(run.status, 42);
    std::string expected =
        "WinMain [one \"two words\" three] " + std::to_string(SW_SHOWDEFAULT) + " 1 1\n";
    EXPECT_EQ(run.output, expected);

    CommandResult bare = RunCommand(STARTUP_PROBE);
    EXPECT_EQ(bare.status, 42);
    EXPECT_EQ(bare.output, "WinMain [] " + std::to_string(SW_SHOWDEFAULT) + " 1 1\n");
}

TEST(Startup, WithoutADisplayOneLineAndStatusOne) {
    std::string errors = ::testing::TempDir() + "startup_errors.txt";
    CommandResult run = RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " +
                                   std::string(STARTUP_PROBE) + " 2>" + errors);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "");  // WinMain never ran
    std::string message = ReadFile(errors);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    EXPECT_NE(message.find("display"), std::string::npos);
    EXPECT_NE(message.find("startup_probe"), std::string::npos);
}

}  // namespace

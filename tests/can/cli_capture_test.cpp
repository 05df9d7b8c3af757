// sorvane-cli channels and capture, run as a user would, on the stand-in library.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/command_output.h"

namespace {

using CliResult = test_support::CommandResult;

CliResult Cli(const std::string& args) {
    return test_support::RunCommand(
        "SORVANE_CANLIB='" SORVANE_TEST_CANLIB "' '" SORVANE_TEST_CLI "' " + args + " 2>&1");
}

}  // namespace

TEST(CliChannels, ReportsCountAndVersions) {
    const CliResult run = Cli("channels");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("channels: 5\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("version: 0x00000500\n"), std::string::npos) << run.out;
}

TEST(CliCapture, BadArgumentsGiveUsageAndStatus2) {
    for (const char* args :
         {"capture --channel 0", "capture --channel 6:fd", "capture --bitrate x",
          "capture --tseg 1:2", "capture --seconds -1", "capture --bogus", "capture --log"}) {
        const CliResult run = Cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.out.find("usage: sorvane-cli capture"), std::string::npos) << args;
    }
}

TEST(CliCapture, RunsChannelsLogsAndSavesTheList) {
    const std::string save =
        std::string(::testing::TempDir()) + "/sorvane_cli_save_" + std::to_string(getpid());
    const CliResult run =
        Cli("capture --channel 1 --channel 3:fd --seconds 0.3 --quiet --save '" + save + "'");
    EXPECT_EQ(run.status, 0) << run.out;
    for (const char* line :
         {"[0] CAN1 [canBusOn] succeed.\n", "[0] CAN3 [canSetBusParamsFd] succeed.\n",
          "[0] CAN3 [canClose] succeed.\n", "Rx Messages (/s)", "frames: 0\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    std::ifstream in(save, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "Chn Identifier Flg   DLC  D0...1...2...3...4...5...6..D7       Time     Dir\r\n");
    ::unlink(save.c_str());
}

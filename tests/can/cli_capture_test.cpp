// sorvane-cli channels and capture, run as a user would, on the stand-in library.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "can/frame_text.h"
#include "log_test_support.h"
#include "test_files.h"
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

#ifdef SORVANE_TEST_VCAN
// Our virtual bus at its limit on five channels: the live log, set before the
// start, holds exactly the frames of the saved list, in order.
TEST(CliCapture, LiveLogHoldsEveryFrameOfTheListAtTheBusLimit) {
    const std::string dir =
        std::string(::testing::TempDir()) + "/sorvane_cli_limit_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
    std::string ini = "[vcan]\nchannels = 5\n";
    for (int c = 1; c <= 5; ++c) {
        ini += "[CAN" + std::to_string(c) + "]\nbus = " + std::to_string(c) +
               "\nflood = 21000\nflood_length = 0\n";
    }
    std::ofstream(dir + "/limit.ini") << ini;
    const CliResult run = test_support::RunCommand(
        "SORVANE_CANLIB='" SORVANE_TEST_VCAN "' SORVANE_VCAN_CONFIG='" + dir +
        "/limit.ini' '" SORVANE_TEST_CLI
        "' capture --channel 1 --channel 2 --channel 3 "
        "--channel 4 --channel 5 --seconds 1 --quiet --log '" +
        dir + "/live.log' --save '" + dir + "/saved.log' 2>&1");
    ASSERT_EQ(run.status, 0) << run.out;
    std::ifstream live(dir + "/live.log", std::ios::binary);
    std::ifstream saved(dir + "/saved.log", std::ios::binary);
    std::string header;
    std::getline(saved, header);
    size_t lines = 0;
    for (std::string a, b; std::getline(saved, b);) {
        ASSERT_TRUE(std::getline(live, a)) << "the log ends at line " << lines;
        ASSERT_EQ(a, b) << "line " << lines;
        ++lines;
    }
    std::string extra;
    EXPECT_FALSE(std::getline(live, extra)) << "the log holds more than the list";
    EXPECT_GT(lines, 50000u);  // five channels at about 21 000 frames a second
    EXPECT_NE(run.out.find("frames: " + std::to_string(lines) + "\n"), std::string::npos)
        << run.out;
    std::system(("rm -rf '" + dir + "'").c_str());
}
#endif

#ifdef SORVANE_TEST_VCAN
// Every kind of frame on the virtual bus, logged live and saved as candump and
// ASC logs: both hold exactly the frames that capture printed, in order.
TEST(CliCapture, LiveLogAndSaveInCandumpAndAscHoldThePrintedFrames) {
    const std::string dir =
        std::string(::testing::TempDir()) + "/sorvane_cli_formats_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
    std::ofstream(dir + "/mix.ini")
        << "[vcan]\nchannels = 2\n"
           "[node classic]\nerror_rate = 40\n"
           "[node fd]\ndata_bitrate = 2000000\n"
           "[message std]\nnode = classic\nid = 0x123\nlength = 3\n"
           "period = 10\nfield.c = 0 8 counter\n"
           "[message ext]\nnode = classic\nid = 0x18DAF110\nperiod = 15\n"
           "[message remote]\nnode = classic\nid = 0x1AB\nremote = 1\n"
           "length = 4\nperiod = 40\n"
           "[message brs]\nnode = fd\nid = 0x456\nfd = 1\nbrs = 1\n"
           "length = 20\nperiod = 20\nfield.c = 0 8 counter\n"
           "[message long]\nnode = fd\nid = 0x1FFFFFF\nfd = 1\n"
           "length = 64\nperiod = 25\n";
    for (const LogFormat format : {LogFormat::Candump, LogFormat::Asc}) {
        const std::string name = LogFormatName(format);
        const CliResult run = test_support::RunCommand(
            "SORVANE_CANLIB='" SORVANE_TEST_VCAN "' SORVANE_VCAN_CONFIG='" + dir +
            "/mix.ini' '" SORVANE_TEST_CLI
            "' capture --channel 1 --channel 2:fd --seconds 0.6 "
            "--log-format " +
            name + " --log '" + dir + "/live." + name + "' --save '" + dir + "/saved." + name +
            "' 2>/dev/null");
        ASSERT_EQ(run.status, 0) << run.out;
        // The printed frames come before the statistics.
        const log_test::ReadResult printed =
            log_test::Read(LogFormat::Monitor, run.out.substr(0, run.out.find("Items")));
        const log_test::ReadResult live = log_test::Read(format, ReadFile(dir + "/live." + name));
        const log_test::ReadResult saved = log_test::Read(format, ReadFile(dir + "/saved." + name));
        ASSERT_TRUE(printed.ok && live.ok && saved.ok)
            << printed.error << live.error << saved.error;
        ASSERT_EQ(live.frames.size(), printed.frames.size()) << name;
        ASSERT_EQ(saved.frames.size(), printed.frames.size()) << name;
        size_t errors = 0;
        std::string kinds;
        for (size_t i = 0; i < printed.frames.size(); ++i) {
            LogFrame shown = printed.frames[i];
            // The monitor text has no form for an error frame: a frame of identifier 0.
            if (live.frames[i].record.flags & kMsgErrorFrame) {
                ++errors;
                EXPECT_EQ(shown.record.id, 0u);
                shown.record.flags |= kMsgErrorFrame;
            }
            kinds += FrameTypeText(shown.record.flags);
            EXPECT_EQ(log_test::Show(live.frames[i]), log_test::Show(shown)) << name << " " << i;
            EXPECT_EQ(log_test::Show(saved.frames[i]), log_test::Show(shown)) << name << " " << i;
        }
        EXPECT_GT(printed.frames.size(), 100u);
        EXPECT_GT(errors, 0u);
        for (const char* kind : {"E", "R", "FB", "EF"}) {
            EXPECT_NE(kinds.find(kind), std::string::npos) << kind;
        }
    }
    std::system(("rm -rf '" + dir + "'").c_str());
}
#endif

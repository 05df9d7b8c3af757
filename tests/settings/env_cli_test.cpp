// sorvane-cli env end to end: the command runs as a program with its own
// settings file and registry folder.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "test_folder.h"
#include "tests/command_output.h"

namespace {

using Result = test_support::CommandResult;

class EnvCliTest : public ::testing::Test {
protected:
    Result Run(const std::string& args) {
        const std::string command = "SORVANE_SETTINGS_FILE='" + folder_.File("Sorvane.ini") +
                                    "' XDG_CONFIG_HOME='" + folder_.File("cfg") + "' " +
                                    ENV_CLI_PATH + " env " + args + " 2>'" +
                                    folder_.File("stderr") + "'";
        return test_support::RunCommand(command);
    }
    std::string Line(const std::string& text, const std::string& prefix) {
        const std::string out = std::string(1, '\n').append(text);
        const size_t at = out.find(std::string(1, '\n').append(prefix));
        if (at == std::string::npos) {
            return {};
        }
        return out.substr(at + 1, out.find('\n', at + 1) - at - 1);
    }
    TestFolder folder_;
};

TEST_F(EnvCliTest, ShowPrintsDefaultsInSaveOrder) {
    const Result r = Run("show");
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < r.out.size()) {
        const size_t end = r.out.find('\n', start);
        lines.push_back(r.out.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(lines.size(), 38u) << r.out;
    EXPECT_EQ(lines[0], "COMMON.AppVersion = 0.0.0.0");
    EXPECT_EQ(lines[1], "COMMON.ApplicationLook = 32819");
    EXPECT_EQ(lines[7], "COMMON.Language = -1");
    EXPECT_EQ(lines[8],
              "CAN.CAN1 = enabled=0 mode=0 arbitration=500000,12,3,1,0,0 data=0,0,0,0,0,0");
    EXPECT_EQ(lines[13], "FRAME.Frame.Monitor = rect=0,0,0,0 showCmd=5 order=0");
    EXPECT_EQ(lines[17], "MONITOR.Column = 110,40,40,50,40,40,40,320");
    EXPECT_EQ(lines[18], "MONITOR.MaxLine = 65535");
    EXPECT_EQ(lines[33],
              "BUSLOAD.Color.Line = 0x00FF0000,0x0071B33C,0x00B5E4FF,0x003F85CD,0x00DDA0DD");
    EXPECT_NE(ReadText(folder_.File("stderr")).find("no stored settings"), std::string::npos);
}

TEST_F(EnvCliTest, ImportSavesToTheStoreAndShowReadsItBack) {
    const std::string source = folder_.File("env.txt");
    WriteText(source,
              "[SOFTWARE\\Velmara\\Sorvane\\BUSLOAD]\r\n\"Threshould\"=dword:00000065\r\n"
              "\"HistTime\"=dword:00000002\r\n"
              "[SOFTWARE\\Velmara\\Sorvane\\COMMON]\r\n"
              "\"CANdb.Recent.01\"=\"/\xE6\x97\xA5\xE6\x9C\xAC/demo.dbc\"\r\n"
              "[SOFTWARE\\Velmara\\Sorvane\\MONITOR]\r\n\"MaxLine\"=dword:00007ffe\r\n"
              "\"Color.Bkgnd\"=dword:ff123456\r\n");
    ASSERT_EQ(Run("import '" + source + "'").status, 0);
    const std::string stored = ReadText(folder_.File("Sorvane.ini"));
    EXPECT_NE(stored.find("\"Threshould\"=dword:00000050\r\n"), std::string::npos);  // 101 -> 80
    const Result shown = Run("show");
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(Line(shown.out, "BUSLOAD.Threshould"), "BUSLOAD.Threshould = 80");
    EXPECT_EQ(Line(shown.out, "BUSLOAD.HistTime"), "BUSLOAD.HistTime = 2");
    EXPECT_EQ(Line(shown.out, "MONITOR.MaxLine"), "MONITOR.MaxLine = 65535");
    EXPECT_EQ(Line(shown.out, "MONITOR.Color.Bkgnd"), "MONITOR.Color.Bkgnd = 0x00123456");
    EXPECT_EQ(Line(shown.out, "COMMON.CANdb.Recent.01"),
              "COMMON.CANdb.Recent.01 = \"/\xE6\x97\xA5\xE6\x9C\xAC/demo.dbc\"");
    EXPECT_EQ(Line(shown.out, "COMMON.AppVersion"), "COMMON.AppVersion = 1.3.0.0");
}

TEST_F(EnvCliTest, ExportWritesAllGroupsAndShowFileReadsIt) {
    const std::string target = folder_.File("out.ini");
    WriteText(target, "[Foreign]\r\nx=\"1\"\r\n");
    ASSERT_EQ(Run("export '" + target + "'").status, 0);
    const std::string text = ReadText(target);
    EXPECT_EQ(text.rfind("[Foreign]\r\nx=\"1\"\r\n[SOFTWARE\\Velmara\\Sorvane\\COMMON]\r\n", 0),
              0u);
    for (const char* group :
         {"CAN", "FRAME", "MONITOR", "STATISTICS", "MESSAGEINFO", "MESSAGEDETAIL", "BUSLOAD"}) {
        EXPECT_NE(text.find(std::string("\\Sorvane\\") + group + "]\r\n"), std::string::npos);
    }
    const Result shown = Run("show --file '" + target + "'");
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(Line(shown.out, "BUSLOAD.Threshould"), "BUSLOAD.Threshould = 80");
}

TEST_F(EnvCliTest, BadInputGivesAMessageAndChangesNothing) {
    EXPECT_EQ(Run("show --file '" + folder_.File("missing.ini") + "'").status, 1);
    EXPECT_NE(ReadText(folder_.File("stderr")).find("cannot read"), std::string::npos);
    EXPECT_EQ(Run("import '" + folder_.File("missing.ini") + "'").status, 1);
    EXPECT_EQ(ReadText(folder_.File("Sorvane.ini")), "");
    EXPECT_EQ(Run("export '" + folder_.File("no/such/folder/x.ini") + "'").status, 1);
    EXPECT_EQ(Run("").status, 2);
    EXPECT_EQ(Run("frobnicate x").status, 2);
    EXPECT_EQ(Run("show --file").status, 2);
    std::string junk;
    for (int i = 0; i < 100000; ++i) {
        junk += static_cast<char>((i * 7919) & 0xFF);
    }
    WriteText(folder_.File("junk.bin"), junk);
    EXPECT_EQ(Run("show --file '" + folder_.File("junk.bin") + "'").status, 0);
}

}  // namespace

// sorvane-cli dbc, run as a user would, on our database library.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/command_output.h"

namespace {

using CliResult = test_support::CommandResult;

CliResult Cli(const std::string& args) {
    return test_support::RunCommand(
        "SORVANE_KVADBLIB='" KVADBLIB_PATH "' '" SORVANE_TEST_CLI "' dbc " + args + " 2>&1");
}

const std::string kDemo = "'" SORVANE_DEMO_DIR "/demo.dbc'";

void ExpectLines(const CliResult& run, std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
}

}  // namespace

TEST(CliDbc, DumpListsMessagesSignalsAndValueTables) {
    const CliResult run = Cli("dump " + kDemo);
    ASSERT_EQ(run.status, 0) << run.out;
    ExpectLines(run, {"EngineData (0x00000100) dlc=8",
                      "\tEngineSpeed unit=\"rpm\" min=0 max=16383.75 factor=0.25 offset=0",
                      "\tEngineTorque unit=\"Nm\"", "\t\t3 \"D\"\n",
                      "\tOdometer unit=\"km\" min=0 max=1677721.5 factor=0.1",
                      "FdSensorArray (0x00000600) dlc=64", "J1939EngineTemp (0x18FEEE00)"});
    // No debug lines of the load in the output.
    EXPECT_EQ(run.out.find("[kvaDb"), std::string::npos);

    const CliResult json = Cli("dump " + kDemo + " --json");
    ASSERT_EQ(json.status, 0) << json.out;
    ExpectLines(json, {"{\"name\":\"EngineData\"", "\"id\":256", "\"unit\":\"rpm\""});
    EXPECT_EQ(json.out.front(), '[');
}

TEST(CliDbc, DecodeGivesNameValueAndTableText) {
    ExpectLines(Cli("decode " + kDemo + " 100 '10 27 5A 64 F6 FF 01 00'"),
                {"EngineSpeed\t2500 (09C4) rpm\t\n", "CoolantTemp\t50 (0032) degC\t\n",
                 "EngineTorque\t-1 (FFFFFFFF) Nm\t\n", "AliveCounter\t1 (0001) \t\n"});
    ExpectLines(Cli("decode " + kDemo + " 0x200 032100"), {"Gear\t3 (0003) \tD\n"});
    // Only the signals of the page the multiplexer carries.
    const CliResult diag = Cli("decode " + kDemo + " 500 '00 07 34 12'");
    ExpectLines(diag, {"Page\t0 (0000) \t", "FaultCount\t7 (0007) \t\n"});
    EXPECT_EQ(diag.out.find("OperatingHours"), std::string::npos) << diag.out;
    ExpectLines(Cli("decode " + kDemo + " 18FEEE00 '00 00 20 2E' --ext --json"),
                {"{\"name\":\"OilTempJ1939\",\"value\":\"96 (0060) degC\",\"table\":\"\"}"});
}

TEST(CliDbc, UnknownIdentifierAndUnreadableFileFail) {
    const CliResult unknown = Cli("decode " + kDemo + " 123 00");
    EXPECT_EQ(unknown.status, 1) << unknown.out;
    ExpectLines(unknown, {"no signal of identifier 0x123"});

    const CliResult missing = Cli("dump /nonexistent/none.dbc");
    EXPECT_EQ(missing.status, 1) << missing.out;
    ExpectLines(missing, {"cannot load /nonexistent/none.dbc"});

    const CliResult broken = Cli("dump '" KVADB_TEST_DATA "/not_a_dbc.txt'");
    EXPECT_EQ(broken.status, 1) << broken.out;
    ExpectLines(broken, {"line 1: expected a DBC keyword"});

    // A file with a skipped statement loads; the warning names it on stderr.
    const CliResult skipped = Cli("dump '" KVADB_TEST_DATA "/missing_colon.dbc'");
    EXPECT_EQ(skipped.status, 0) << skipped.out;
    ExpectLines(skipped, {"M (0x00000001) dlc=8", "\tS unit=",
                          "1 statement(s) skipped or read in part; the first at line 3: expected "
                          "':' after the signal name, found '0'\n"});
}

// check lists every problem with its line, and its status tells whether there is any.
TEST(CliDbc, CheckListsEveryProblemAndFailsOnAny) {
    struct Case {
        const char* file;
        int status;
        std::vector<std::string> lines;
    } cases[] = {
        {"broken_lines.dbc",
         1,
         {"broken_lines.dbc:4: expected ':' after the message name, found '8'; the message is "
          "skipped with its signals\n",
          "broken_lines.dbc:10: expected ']' after the maximum, found \"\"\n",
          "broken_lines.dbc:12: expected a value type that fits the signal's length of 8 bits, "
          "found '1'\n",
          "broken_lines.dbc:13: expected the description of the value in quotation marks, found "
          "';'\n"}},
        {"comment_without_semicolon.dbc",
         1,
         {"comment_without_semicolon.dbc:4: the statement has no ';' at its end"}},
        {"features.dbc", 0, {"features.dbc: no problems\n"}},
        {"not_a_dbc.txt", 1, {"cannot load", "line 1: expected a DBC keyword"}},
    };
    for (const Case& c : cases) {
        const CliResult run = Cli(std::string("check '" KVADB_TEST_DATA "/") + c.file + "'");
        EXPECT_EQ(run.status, c.status) << c.file << "\n" << run.out;
        for (const std::string& line : c.lines) {
            EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
        }
        // The list is the whole report: no warning line beside it.
        EXPECT_EQ(run.out.find("statement(s) skipped"), std::string::npos) << run.out;
    }
    const CliResult demo = Cli("check " + kDemo);
    EXPECT_EQ(demo.status, 0) << demo.out;
}

TEST(CliDbc, BadArgumentsGiveUsageAndStatus2) {
    const std::vector<std::string> cases = {"",
                                            "bogus " + kDemo,
                                            "dump",
                                            "dump a.dbc b.dbc",
                                            "check",
                                            "check a.dbc b.dbc",
                                            "decode " + kDemo + " 100",
                                            "decode " + kDemo + " 1G 00",
                                            "decode " + kDemo + " 800 00",
                                            "decode " + kDemo + " 20000000 00 --ext",
                                            "decode " + kDemo + " 100 0G",
                                            "decode " + kDemo + " 100 '00 11 22 33 44 55 66 77 88'",
                                            "decode " + kDemo + " 100 00 --dlc 65",
                                            "decode " + kDemo + " 100 00 --fd --dlc 9",
                                            "decode " + kDemo + " 100 00 --dlc",
                                            "dump " + kDemo + " --bogus"};
    for (const std::string& args : cases) {
        const CliResult run = Cli(args);
        EXPECT_EQ(run.status, 2) << args << "\n" << run.out;
        EXPECT_NE(run.out.find("usage:"), std::string::npos) << args << "\n" << run.out;
    }
}

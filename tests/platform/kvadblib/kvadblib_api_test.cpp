// The database library through its C interface, loaded like the program loads it.

#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/kvadblib/kvadblib.h"
#include "platform/os/dynamic_library.h"

namespace {

struct Api {
    os::LibraryHandle lib = nullptr;
    decltype(&kvaDbOpen) open = nullptr;
    decltype(&kvaDbClose) close = nullptr;
    decltype(&kvaDbReadFile) readFile = nullptr;
    decltype(&kvaDbGetFlags) getFlags = nullptr;
    decltype(&kvaDbGetErrorText) errorText = nullptr;
    decltype(&kvaDbGetLastParseError) lastParseError = nullptr;
    decltype(&kvaDbGetFirstMsg) firstMsg = nullptr;
    decltype(&kvaDbGetNextMsg) nextMsg = nullptr;
    decltype(&kvaDbGetMsgName) msgName = nullptr;
    decltype(&kvaDbGetMsgComment) msgComment = nullptr;
    decltype(&kvaDbGetMsgId) msgId = nullptr;
    decltype(&kvaDbGetMsgDlc) msgDlc = nullptr;
    decltype(&kvaDbGetFirstSignal) firstSignal = nullptr;
    decltype(&kvaDbGetNextSignal) nextSignal = nullptr;
    decltype(&kvaDbGetSignalName) signalName = nullptr;
    decltype(&kvaDbGetSignalComment) signalComment = nullptr;
    decltype(&kvaDbGetSignalUnit) signalUnit = nullptr;
    decltype(&kvaDbGetSignalEncoding) encoding = nullptr;
    decltype(&kvaDbGetSignalRepresentationType) type = nullptr;
    decltype(&kvaDbGetSignalValueSize) size = nullptr;
    decltype(&kvaDbGetSignalValueScaling) scaling = nullptr;
    decltype(&kvaDbGetSignalMode) mode = nullptr;
    decltype(&kvaDbGetFirstEnumValue) firstEnum = nullptr;
    decltype(&kvaDbGetNextEnumValue) nextEnum = nullptr;
    decltype(&kvaDbGetEnumValue) enumValue = nullptr;
    decltype(&kvaDbGetVersion) version = nullptr;
    decltype(&kvaDbGetReadProblemCount) problemCount = nullptr;
    decltype(&kvaDbGetReadProblem) problem = nullptr;

    Api() {
        lib = os::LoadLibraryByPath(KVADBLIB_PATH);
        if (lib == nullptr) {
            return;
        }
#define R(field, name) os::ResolveSymbol(lib, #name, field)
        R(open, kvaDbOpen);
        R(close, kvaDbClose);
        R(readFile, kvaDbReadFile);
        R(getFlags, kvaDbGetFlags);
        R(errorText, kvaDbGetErrorText);
        R(lastParseError, kvaDbGetLastParseError);
        R(firstMsg, kvaDbGetFirstMsg);
        R(nextMsg, kvaDbGetNextMsg);
        R(msgName, kvaDbGetMsgName);
        R(msgComment, kvaDbGetMsgComment);
        R(msgId, kvaDbGetMsgId);
        R(msgDlc, kvaDbGetMsgDlc);
        R(firstSignal, kvaDbGetFirstSignal);
        R(nextSignal, kvaDbGetNextSignal);
        R(signalName, kvaDbGetSignalName);
        R(signalComment, kvaDbGetSignalComment);
        R(signalUnit, kvaDbGetSignalUnit);
        R(encoding, kvaDbGetSignalEncoding);
        R(type, kvaDbGetSignalRepresentationType);
        R(size, kvaDbGetSignalValueSize);
        R(scaling, kvaDbGetSignalValueScaling);
        R(mode, kvaDbGetSignalMode);
        R(firstEnum, kvaDbGetFirstEnumValue);
        R(nextEnum, kvaDbGetNextEnumValue);
        R(enumValue, kvaDbGetEnumValue);
        R(version, kvaDbGetVersion);
        R(problemCount, kvaDbGetReadProblemCount);
        R(problem, kvaDbGetReadProblem);
#undef R
    }
};

Api& api() {
    static Api a;
    return a;
}

std::string Fixture(const char* name) {
    return std::string(KVADB_TEST_DATA) + "/" + name;
}

struct Sig {
    std::string name, comment, unit;
    int encoding = -9, type = -9, start = -9, length = -9, mode = -9;
    double factor = 0, offset = 0;
    std::vector<std::pair<int, std::string>> values;
};
struct Msg {
    std::string name, comment;
    unsigned id = 0, flags = 0, dlc = 0;
    std::vector<Sig> signals;
};
using Problems = std::vector<std::pair<int, std::string>>;

// Reads everything through the interface; status of kvaDbReadFile in status.
std::vector<Msg> ReadAll(const std::string& path, int& status, std::string& error,
                         unsigned* dbFlags = nullptr, Problems* problems = nullptr) {
    Api& a = api();
    std::vector<Msg> out;
    KvaDbHnd dh = nullptr;
    EXPECT_EQ(a.open(&dh), kvaDbOK);
    status = a.readFile(dh, path.c_str());
    char buf[512] = {};
    a.errorText(status, buf, sizeof buf);
    error = buf;
    if (status == kvaDbOK) {
        if (dbFlags != nullptr) {
            a.getFlags(dh, dbFlags);
        }
        unsigned count = 0;
        EXPECT_EQ(a.problemCount(dh, &count), kvaDbOK);
        for (unsigned i = 0; problems != nullptr && i < count; ++i) {
            int line = 0;
            char reason[512] = {};
            EXPECT_EQ(a.problem(dh, i, &line, reason, sizeof reason), kvaDbOK) << path;
            problems->emplace_back(line, reason);
        }
        KvaDbMessageHnd mh = nullptr;
        for (int r = a.firstMsg(dh, &mh); r == kvaDbOK; r = a.nextMsg(dh, &mh)) {
            Msg m;
            char t[256];
            a.msgName(mh, t, sizeof t);
            m.name = t;
            a.msgComment(mh, t, sizeof t);
            m.comment = t;
            a.msgId(mh, &m.id, &m.flags);
            a.msgDlc(mh, &m.dlc);
            KvaDbSignalHnd sh = nullptr;
            for (int q = a.firstSignal(mh, &sh); q == kvaDbOK; q = a.nextSignal(mh, &sh)) {
                Sig s;
                a.signalName(sh, t, sizeof t);
                s.name = t;
                a.signalComment(sh, t, sizeof t);
                s.comment = t;
                a.signalUnit(sh, t, sizeof t);
                s.unit = t;
                a.encoding(sh, &s.encoding);
                a.type(sh, &s.type);
                a.size(sh, &s.start, &s.length);
                a.scaling(sh, &s.factor, &s.offset);
                a.mode(sh, &s.mode);
                KvaDbEnumValueHnd eh = nullptr;
                for (int e = a.firstEnum(sh, &eh); e == kvaDbOK; e = a.nextEnum(sh, &eh)) {
                    int v = 0;
                    a.enumValue(eh, &v, t, sizeof t);
                    s.values.emplace_back(v, t);
                }
                m.signals.push_back(s);
            }
            out.push_back(m);
        }
    }
    EXPECT_EQ(a.close(dh), kvaDbOK);
    return out;
}

class KvaDbLib : public ::testing::Test {
protected:
    void SetUp() override {
        if (api().lib == nullptr || api().open == nullptr) {
            GTEST_FAIL() << "cannot load " << KVADBLIB_PATH << ": " << os::LastLibraryError();
        }
    }
};

TEST_F(KvaDbLib, ReadsEveryConstructOfAFeatureFile) {
    int status = 0;
    std::string error;
    unsigned dbFlags = 99;
    auto msgs = ReadAll(Fixture("features.dbc"), status, error, &dbFlags);
    ASSERT_EQ(status, kvaDbOK) << error;
    EXPECT_EQ(dbFlags, 0u);
    ASSERT_EQ(msgs.size(), 3u);  // the file's order, the message without signals included
    const Msg& b = msgs[0];
    EXPECT_EQ(b.name, "B_Msg");
    EXPECT_EQ(b.comment, "first\nsecond line");  // CR LF inside a text becomes LF
    EXPECT_EQ(b.id, 100u);
    EXPECT_EQ(b.flags, 0u);
    ASSERT_EQ(b.signals.size(), 3u);
    EXPECT_EQ(b.signals[0].comment, "a \"quoted\" word");
    EXPECT_EQ(b.signals[1].type, kvaDb_Signed);
    EXPECT_EQ(b.signals[0].type, kvaDb_Unsigned);
    EXPECT_EQ(b.signals[2].values,
              (std::vector<std::pair<int, std::string>>{{0, "Idle"}, {1, "Run"}, {2, "Stop"}}));
    EXPECT_TRUE(b.signals[0].values.empty());

    const Msg& a = msgs[1];
    EXPECT_EQ(a.name, "A_Msg");
    EXPECT_EQ(a.id, 0x200u);  // without the extended marker of the file
    EXPECT_EQ(a.flags, KVADB_MESSAGE_EXT | KVADB_MESSAGE_FD);
    EXPECT_EQ(a.dlc, 64u);
    std::map<std::string, Sig> byName;
    for (const Sig& s : a.signals) {
        byName[s.name] = s;
    }
    EXPECT_EQ(byName["Speed"].encoding, kvaDb_Motorola);
    EXPECT_EQ(byName["Speed"].start, 8);  // the LSB of 7|16 big-endian is bit 0 of byte 1
    EXPECT_DOUBLE_EQ(byName["Speed"].factor, 0.01);
    EXPECT_EQ(byName["Speed"].unit, "km/h");
    EXPECT_EQ(byName["Temp"].type, kvaDb_Float);
    EXPECT_EQ(byName["Mux"].mode, KVADB_MUX_SIGNAL);
    EXPECT_EQ(byName["SigA"].mode, 1);
    EXPECT_EQ(byName["SigB"].mode, 2);
    EXPECT_EQ(byName["Speed"].mode, KVADB_MUX_INDEPENDENT);
    EXPECT_EQ(byName["Big"].length, 64);
    EXPECT_EQ(msgs[2].name, "Empty");
    EXPECT_TRUE(msgs[2].signals.empty());
    EXPECT_EQ(msgs[2].flags, 0u);  // the default frame format: standard CAN
}

TEST_F(KvaDbLib, TextsThatAreNotUtf8AreReadAsWindows1252) {
    int status = 0;
    std::string error;
    auto msgs = ReadAll(Fixture("cp1252.dbc"), status, error);
    ASSERT_EQ(status, kvaDbOK) << error;
    ASSERT_EQ(msgs.size(), 1u);
    ASSERT_EQ(msgs[0].signals.size(), 1u);
    EXPECT_EQ(msgs[0].signals[0].unit,
              "\xC2\xB0"
              "C");
    EXPECT_EQ(msgs[0].signals[0].comment, "caf\xC3\xA9 \xE2\x82\xAC");
}

// Malformed statements seen in real files: each is skipped (or, for a
// multiplex mark without its value, read as a plain signal) and recorded with
// its line; everything else of the file is read.
TEST_F(KvaDbLib, MalformedStatementsAreSkippedRecordedAndTheRestIsRead) {
    struct Case {
        const char* file;
        std::vector<std::string> messages;  // "Name:Signal,Signal"
        Problems problems;                  // line and the start of the reason
    } cases[] = {
        {"comment_without_object.dbc",
         {"Engine:Rpm"},
         {{8, "expected a comment text, or BU_, BO_, SG_ or EV_ after CM_, found '145'"}}},
        {"comment_without_semicolon.dbc",
         {"Brake:Pressure", "Wheel:Speed"},
         {{4,
           "the statement has no ';' at its end; it ends where the next line begins with "
           "'BO_'"}}},
        {"mux_mark_without_value.dbc",
         {"Gear:Selector,Ratio,Position,Temp"},
         {{4,
           "the multiplex mark 'm' of signal Position has no value; the signal is read as a "
           "plain signal"}}},
        {"signal_comment_without_name.dbc",
         {"Door:Open"},
         {{4, "expected the signal name, found \"the signal name is missi...\""}}},
        {"broken_lines.dbc",
         {"Good:A", "Half:Kept,AlsoKept"},
         {{4,
           "expected ':' after the message name, found '8'; the message is skipped with its "
           "signals"},
          {10, "expected ']' after the maximum, found \"\""},
          {12, "expected a value type that fits the signal's length of 8 bits, found '1'"},
          {13, "expected the description of the value in quotation marks, found ';'"}}},
        {"missing_colon.dbc", {"M:S"}, {{3, "expected ':' after the signal name, found '0'"}}},
        {"open_quote.dbc",
         {"M:S"},
         {{4,
           "the text that starts here has no closing quotation mark; the rest of the file is "
           "not read"}}},
        {"huge_length.dbc",
         {"M:"},
         {{2,
           "99999999999999999999 is out of range for the signal length in bits (at most "
           "64)"}}},
        {"huge_factor.dbc", {"M:"}, {{2, "expected the factor in the range of a double"}}},
        {"features.dbc", {"B_Msg:b,B,Mode", "A_Msg:Speed,Temp,Mux,SigA,SigB,Big", "Empty:"}, {}},
    };
    for (const Case& c : cases) {
        int status = 0;
        std::string error;
        Problems problems;
        const auto msgs = ReadAll(Fixture(c.file), status, error, nullptr, &problems);
        ASSERT_EQ(status, kvaDbOK) << c.file << ": " << error;
        std::vector<std::string> got;
        for (const Msg& m : msgs) {
            std::string text = m.name + ":";
            for (const Sig& s : m.signals) {
                text += (text.back() == ':' ? "" : ",") + s.name;
            }
            got.push_back(text);
        }
        EXPECT_EQ(got, c.messages) << c.file;
        ASSERT_EQ(problems.size(), c.problems.size()) << c.file;
        for (size_t i = 0; i < problems.size(); ++i) {
            EXPECT_EQ(problems[i].first, c.problems[i].first) << c.file << " " << i;
            EXPECT_EQ(problems[i].second.rfind(c.problems[i].second, 0), 0u)
                << c.file << ": " << problems[i].second;
        }
    }
}

// What the skipped statements would have set stays as the rest of the file set it.
TEST_F(KvaDbLib, SkippedStatementsLeaveNothingHalfRead) {
    int status = 0;
    std::string error;
    auto msgs = ReadAll(Fixture("broken_lines.dbc"), status, error);
    ASSERT_EQ(status, kvaDbOK) << error;
    ASSERT_EQ(msgs.size(), 2u);
    ASSERT_EQ(msgs[0].signals.size(), 1u);
    EXPECT_EQ(msgs[0].signals[0].type, kvaDb_Unsigned);  // the refused SIG_VALTYPE_
    EXPECT_TRUE(msgs[0].signals[0].values.empty());      // the refused VAL_

    msgs = ReadAll(Fixture("comment_without_object.dbc"), status, error);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].comment, "engine data");
    EXPECT_EQ(msgs[0].signals[0].comment, "engine speed");
    msgs = ReadAll(Fixture("comment_without_semicolon.dbc"), status, error);
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].comment, "comment without its semicolon");
    EXPECT_EQ(msgs[1].signals[0].comment, "wheel speed");
    msgs = ReadAll(Fixture("signal_comment_without_name.dbc"), status, error);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].comment, "");
    EXPECT_EQ(msgs[0].signals[0].comment, "door open");
    EXPECT_EQ(msgs[0].signals[0].values.size(), 2u);
    msgs = ReadAll(Fixture("mux_mark_without_value.dbc"), status, error);
    ASSERT_EQ(msgs.size(), 1u);
    std::vector<int> modes;
    for (const Sig& s : msgs[0].signals) {
        modes.push_back(s.mode);
    }
    EXPECT_EQ(modes, (std::vector<int>{KVADB_MUX_SIGNAL, 1, KVADB_MUX_INDEPENDENT,
                                       KVADB_MUX_INDEPENDENT}));
    EXPECT_EQ(msgs[0].signals[2].start, 6);
    EXPECT_EQ(msgs[0].signals[2].length, 2);
}

std::string WriteTemp(const std::string& name, const std::string& content) {
    const std::string path = std::string(::testing::TempDir()) + "/kvadb_" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

// Only a file of which nothing at all is a DBC statement is refused: it must
// not load as an empty database.
TEST_F(KvaDbLib, FilesWithNothingReadableAreStillRefused) {
    std::string binary;
    uint32_t x = 12345;
    for (int i = 0; i < 4096; ++i) {
        x = x * 1103515245u + 12345u;
        binary.push_back(static_cast<char>(x >> 24));
    }
    std::string manyProblems;
    for (int i = 0; i < 3000; ++i) {
        manyProblems += "NOPE_ " + std::to_string(i) + ";\n";
    }
    struct Case {
        std::string path;
        int status;
        const char* expected;
    } cases[] = {
        {Fixture("not_a_dbc.txt"), kvaDbErr_DbFileParse,
         "line 1: expected a DBC keyword at the start of a statement, found 'This'"},
        {WriteTemp("binary.dbc", binary), kvaDbErr_DbFileParse, "line "},
        {WriteTemp("only_quote.dbc", "\n\n\"never closed\nBO_ 1 M: 8 X\n"), kvaDbErr_DbFileParse,
         "line 3: the text that starts here has no closing quotation mark"},
        {WriteTemp("many.dbc", manyProblems), kvaDbErr_DbFileParse,
         "line 1: expected a DBC keyword at the start of a statement, found 'NOPE_'"},
        {Fixture("no_such_file.dbc"), kvaDbErr_DbFileOpen, "No such file"},
    };
    for (const Case& c : cases) {
        int status = 0;
        std::string error;
        ReadAll(c.path, status, error);
        EXPECT_EQ(status, c.status) << c.path;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.path << ": " << error;
    }
    // The parse error of the last read is also given on its own, with its size.
    int status = 0;
    std::string error;
    ReadAll(Fixture("not_a_dbc.txt"), status, error);
    unsigned len = 0;
    EXPECT_EQ(api().lastParseError(nullptr, &len), kvaDbErr_BufferSize);
    std::vector<char> buf(len);
    ASSERT_EQ(api().lastParseError(buf.data(), &len), kvaDbOK);
    EXPECT_EQ(std::string(buf.data()).rfind("line 1: expected a DBC keyword", 0), 0u) << buf.data();
    // An empty file holds nothing wrong: it reads as an empty database.
    ReadAll(WriteTemp("empty.dbc", ""), status, error);
    EXPECT_EQ(status, kvaDbOK) << error;
}

// A file with a problem on every line lists the first thousand and counts all.
TEST_F(KvaDbLib, ProblemListIsBoundedAndIndexesAreChecked) {
    std::string text = "BO_ 1 M: 8 X\n";
    for (int i = 0; i < 2500; ++i) {
        text += "CM_ " + std::to_string(i) + " \"no object\";\n";
    }
    Api& a = api();
    KvaDbHnd dh = nullptr;
    ASSERT_EQ(a.open(&dh), kvaDbOK);
    ASSERT_EQ(a.readFile(dh, WriteTemp("bounded.dbc", text).c_str()), kvaDbOK);
    unsigned count = 0;
    ASSERT_EQ(a.problemCount(dh, &count), kvaDbOK);
    EXPECT_EQ(count, 2500u);
    int line = 0;
    char reason[64];
    EXPECT_EQ(a.problem(dh, 999, &line, reason, sizeof reason), kvaDbOK);
    EXPECT_EQ(line, 1001);
    EXPECT_EQ(a.problem(dh, 1000, &line, reason, sizeof reason), kvaDbErr_Param);
    EXPECT_EQ(a.problem(dh, 0, nullptr, reason, sizeof reason), kvaDbErr_Param);
    EXPECT_EQ(a.problem(dh, 0, &line, reason, 0), kvaDbErr_Param);
    EXPECT_EQ(a.problemCount(dh, nullptr), kvaDbErr_Param);
    EXPECT_EQ(a.problemCount(nullptr, &count), kvaDbErr_NoDatabase);
    // A clean read replaces the list.
    ASSERT_EQ(a.readFile(dh, Fixture("features.dbc").c_str()), kvaDbOK);
    ASSERT_EQ(a.problemCount(dh, &count), kvaDbOK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(a.close(dh), kvaDbOK);
}

TEST_F(KvaDbLib, AFailedReadKeepsWhatTheHandleHeld) {
    Api& a = api();
    KvaDbHnd dh = nullptr;
    ASSERT_EQ(a.open(&dh), kvaDbOK);
    ASSERT_EQ(a.readFile(dh, Fixture("broken_lines.dbc").c_str()), kvaDbOK);
    EXPECT_EQ(a.readFile(dh, Fixture("not_a_dbc.txt").c_str()), kvaDbErr_DbFileParse);
    KvaDbMessageHnd mh = nullptr;
    ASSERT_EQ(a.firstMsg(dh, &mh), kvaDbOK);
    char t[256];
    a.msgName(mh, t, sizeof t);
    EXPECT_STREQ(t, "Good");
    unsigned count = 0;
    ASSERT_EQ(a.problemCount(dh, &count), kvaDbOK);
    EXPECT_EQ(count, 4u);  // those of the read that is kept
    EXPECT_EQ(a.close(dh), kvaDbOK);
}

TEST_F(KvaDbLib, BadHandlesAndBuffersGiveStatuses) {
    Api& a = api();
    EXPECT_EQ(a.open(nullptr), kvaDbErr_Param);
    EXPECT_EQ(a.readFile(nullptr, "x"), kvaDbErr_NoDatabase);
    EXPECT_EQ(a.close(nullptr), kvaDbErr_NoDatabase);
    KvaDbHnd dh = nullptr;
    ASSERT_EQ(a.open(&dh), kvaDbOK);
    KvaDbMessageHnd mh = nullptr;
    EXPECT_EQ(a.firstMsg(dh, &mh), kvaDbErr_NoMsg);  // nothing read yet
    // A database handle is no message handle.
    char t[8];
    EXPECT_EQ(a.msgName(dh, t, sizeof t), kvaDbErr_NoMsg);
    ASSERT_EQ(a.readFile(dh, Fixture("features.dbc").c_str()), kvaDbOK);
    ASSERT_EQ(a.firstMsg(dh, &mh), kvaDbOK);
    EXPECT_EQ(a.msgName(mh, t, 0), kvaDbErr_Param);
    // Long texts are cut to the buffer, never overrun it.
    char small[6];
    EXPECT_EQ(a.msgComment(mh, small, sizeof small), kvaDbOK);
    EXPECT_STREQ(small, "first");
    EXPECT_EQ(a.close(dh), kvaDbOK);
    int major = -1, minor = -1, build = -1;
    EXPECT_EQ(a.version(&major, &minor, &build), kvaDbOK);
    EXPECT_GE(major, 1);
}

// Counts BO_ and SG_ statements of a file independently of the reader.
void CountStatements(const std::string& path, size_t& messages, size_t& signals) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    messages = signals = 0;
    while (std::getline(in, line)) {
        size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos) {
            continue;
        }
        if (line.compare(i, 4, "BO_ ") == 0) {
            ++messages;
        } else if (line.compare(i, 4, "SG_ ") == 0) {
            ++signals;
        }
    }
}

TEST_F(KvaDbLib, EveryRealFileLoadsWithEveryMessageAndSignal) {
    const char* root = std::getenv("SORVANE_TESTDATA");
    const std::string dir = std::string(root != nullptr ? root : "") + "/dbc";
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) {
        GTEST_SKIP() << "no test databases in " << dir;
    }
    std::vector<std::string> files;
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n.size() > 4 && n.substr(n.size() - 4) == ".dbc") {
            files.push_back(dir + "/" + n);
        }
    }
    closedir(d);
    ASSERT_FALSE(files.empty());
    for (const std::string& f : files) {
        int status = 0;
        std::string error;
        auto msgs = ReadAll(f, status, error);
        ASSERT_EQ(status, kvaDbOK) << f << ": " << error;
        size_t wantMessages = 0, wantSignals = 0, gotSignals = 0;
        CountStatements(f, wantMessages, wantSignals);
        for (const Msg& m : msgs) {
            gotSignals += m.signals.size();
            EXPECT_FALSE(m.name.empty()) << f;
            EXPECT_EQ(m.id & 0x80000000u, 0u) << f << " " << m.name;
            for (const Sig& s : m.signals) {
                EXPECT_GE(s.length, 1) << f << " " << s.name;
                EXPECT_LE(s.length, 64) << f << " " << s.name;
                EXPECT_GE(s.type, kvaDb_Signed) << f << " " << s.name;
            }
        }
        EXPECT_EQ(msgs.size(), wantMessages) << f;
        EXPECT_EQ(gotSignals, wantSignals) << f;
    }
}

}  // namespace

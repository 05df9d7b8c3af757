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

// Reads everything through the interface; status of kvaDbReadFile in status.
std::vector<Msg> ReadAll(const std::string& path, int& status, std::string& error,
                         unsigned* dbFlags = nullptr) {
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

TEST_F(KvaDbLib, BrokenFilesNameTheLineAndWhatWasExpected) {
    struct Case {
        const char* file;
        int status;
        const char* expected;
    } cases[] = {
        {"missing_colon.dbc", kvaDbErr_DbFileParse, "line 3: expected ':' after the signal name"},
        {"open_quote.dbc", kvaDbErr_DbFileParse, "line 4: the text that starts here"},
        {"huge_length.dbc", kvaDbErr_DbFileParse, "line 2: 99999999999999999999 is out of range"},
        {"huge_factor.dbc", kvaDbErr_DbFileParse, "line 2: expected the factor"},
        {"no_such_file.dbc", kvaDbErr_DbFileOpen, "No such file"},
    };
    for (const Case& c : cases) {
        int status = 0;
        std::string error;
        ReadAll(Fixture(c.file), status, error);
        EXPECT_EQ(status, c.status) << c.file;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.file << ": " << error;
    }
    // The parse error of the last read is also given on its own, with its size.
    int status = 0;
    std::string error;
    ReadAll(Fixture("missing_colon.dbc"), status, error);
    unsigned len = 0;
    EXPECT_EQ(api().lastParseError(nullptr, &len), kvaDbErr_BufferSize);
    std::vector<char> buf(len);
    ASSERT_EQ(api().lastParseError(buf.data(), &len), kvaDbOK);
    EXPECT_EQ(std::string(buf.data()).rfind("line 3: expected ':'", 0), 0u) << buf.data();
}

TEST_F(KvaDbLib, AFailedReadKeepsWhatTheHandleHeld) {
    Api& a = api();
    KvaDbHnd dh = nullptr;
    ASSERT_EQ(a.open(&dh), kvaDbOK);
    ASSERT_EQ(a.readFile(dh, Fixture("features.dbc").c_str()), kvaDbOK);
    EXPECT_EQ(a.readFile(dh, Fixture("missing_colon.dbc").c_str()), kvaDbErr_DbFileParse);
    KvaDbMessageHnd mh = nullptr;
    ASSERT_EQ(a.firstMsg(dh, &mh), kvaDbOK);
    char t[256];
    a.msgName(mh, t, sizeof t);
    EXPECT_STREQ(t, "B_Msg");
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

// The database manager over our library: binding, model, sort order, log
// lines, partial models, and decoding of whole frames.

#include "candb/candb_manager.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "can/write_log.h"
#include "candb/kvadb_binding.h"
#include "candb/signal_decoder.h"

namespace {

struct Line {
    int level;
    std::string text;
};

// Collects the log while alive.
class LogCapture {
public:
    LogCapture() {
        SetLogSink([this](int level, const std::string& text) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back({level, text});
        });
    }
    ~LogCapture() { SetLogSink(nullptr); }
    std::vector<Line> Lines() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    void Reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<Line> lines_;
};

class TempFile {
public:
    explicit TempFile(const std::string& content) {
        char name[] = "/tmp/candb_test_XXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        if (fd >= 0) {
            const ssize_t n = write(fd, content.data(), content.size());
            static_cast<void>(n);
            close(fd);
        }
    }
    ~TempFile() { unlink(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The manager reads our library unless a test names another one.
class CandbManager : public ::testing::Test {
protected:
    void SetUp() override { setenv("SORVANE_KVADBLIB", KVADBLIB_PATH, 1); }
    void TearDown() override { unsetenv("SORVANE_KVADBLIB"); }
};

const char* const kSorting =
    "BO_ 2 B_Msg: 8 X\n"
    " SG_ b : 0|8@1+ (1,0) [0|0] \"\" X\n"
    " SG_ B : 8|8@1+ (1,0) [0|0] \"\" X\n"
    " SG_ a : 16|8@1+ (1,0) [0|0] \"\" X\n"
    "BO_ 3 NoSignals: 0 X\n"
    "BO_ 1 A_Msg: 8 X\n"
    " SG_ State : 0|8@1+ (1,0) [0|0] \"\" X\n"
    "BO_ 4 A_Msg: 8 X\n"
    "VAL_ 1 State 12 \"Error\" 0 \"Off\" 1 \"On\" ;\n";

TEST_F(CandbManager, ModelIsSortedAndKeepsValueTablesInOrder) {
    CCANdbManager manager;
    TempFile file(kSorting);
    int status = -99;
    std::string text;
    ASSERT_TRUE(manager.Load(file.path(), status, text)) << text;
    EXPECT_EQ(status, 0);
    const auto& m = manager.Messages();
    ASSERT_EQ(m.size(), 4u);  // a message without signals does not end the reading
    EXPECT_EQ(m[0].name, "A_Msg");
    EXPECT_EQ(m[0].id, 1u);  // stable: the duplicate name keeps the file's order
    EXPECT_EQ(m[1].name, "A_Msg");
    EXPECT_EQ(m[1].id, 4u);
    EXPECT_EQ(m[2].name, "B_Msg");
    EXPECT_EQ(m[3].name, "NoSignals");
    EXPECT_FALSE(m[3].signals.has_value());
    EXPECT_FALSE(m[1].signals.has_value());
    ASSERT_TRUE(m[2].signals.has_value());
    ASSERT_EQ(m[2].signals->size(), 3u);
    EXPECT_EQ((*m[2].signals)[0].name, "B");  // ordinal: upper case first
    EXPECT_EQ((*m[2].signals)[1].name, "a");
    EXPECT_EQ((*m[2].signals)[2].name, "b");
    EXPECT_FALSE((*m[2].signals)[0].enumValues.has_value());
    const CandbSignal& state = (*m[0].signals)[0];
    ASSERT_TRUE(state.enumValues.has_value());
    ASSERT_EQ(state.enumValues->size(), 3u);
    EXPECT_EQ((*state.enumValues)[0].value, 12);
    EXPECT_EQ((*state.enumValues)[0].name, "Error");
    EXPECT_EQ((*state.enumValues)[2].name, "On");
    EXPECT_EQ(state.factor, 1.0);
    EXPECT_EQ(state.representationType, 2);
}

TEST_F(CandbManager, NamesSortByUtf16CodeUnits) {
    // U+FF21 (three UTF-8 bytes) sorts after U+1F600 (four bytes) in UTF-16.
    EXPECT_TRUE(CandbNameLess("\xF0\x9F\x98\x80", "\xEF\xBC\xA1"));
    EXPECT_FALSE(CandbNameLess("\xEF\xBC\xA1", "\xF0\x9F\x98\x80"));
    EXPECT_TRUE(CandbNameLess("Ab", "Abc"));
    EXPECT_TRUE(CandbNameLess("Z", "a"));
    EXPECT_TRUE(CandbNameLess("z", "\xC3\xA9"));
}

TEST_F(CandbManager, EveryMessageAndSignalLogsOneDebugLine) {
    LogCapture log;
    CCANdbManager manager;
    TempFile file(
        "BO_ 2147484160 Ext: 64 X\n"
        " SG_ Speed : 7|16@0+ (0.5,-1) [0|100] \"km/h\" X\n"
        "BO_ 5 Std: 2 X\n"
        " SG_ Two : 0|2@1- (1,0) [-2|1] \"\" X\n");
    int status = 0;
    std::string text;
    ASSERT_TRUE(manager.Load(file.path(), status, text));
    std::vector<std::string> debug;
    for (const Line& l : log.Lines()) {
        if (l.level == kLogDebug) {
            debug.push_back(l.text);
        } else {
            ADD_FAILURE() << "unexpected line " << l.text;
        }
    }
    ASSERT_EQ(debug.size(), 4u);
    EXPECT_EQ(debug[0], "\xE2\x96\xA0\"Ext\" ID=00000200, DLC=64, Flags=0x00000000\n");
    EXPECT_EQ(debug[1],
              "\t\"Speed\" Unit=\"km/h\", Value=(0.000000, 100.000000), Factor=[0.500000], "
              "Offset=[-1.000000], ByteOrder=[1], ValueType=[2], StartBit=[8], Length=[16]\n");
    EXPECT_EQ(debug[2], "\xE2\x96\xA0\"Std\" ID=00000005, DLC=2, Flags=0x00000000\n");
    EXPECT_EQ(debug[3].substr(0, 14), "\t\"Two\" Unit=\"\"");
}

TEST_F(CandbManager, ASecondFileReplacesTheModelAnUnreadableOneKeepsIt) {
    LogCapture log;
    CCANdbManager manager;
    TempFile first("BO_ 1 First: 8 X\n SG_ S : 0|8@1+ (1,0) [0|0] \"\" X\n");
    TempFile second("BO_ 2 Second: 8 X\n SG_ S : 0|8@1+ (1,0) [0|0] \"\" X\n");
    // Nothing of it is a DBC statement, so the library refuses it whole.
    TempFile broken("Broken: 8 X\n S : 0|8@1+ (1,0) [0|0] \"\" X\n");
    int status = 0;
    std::string text;
    ASSERT_TRUE(manager.Load(first.path(), status, text));
    ASSERT_TRUE(manager.Load(second.path(), status, text));
    ASSERT_EQ(manager.Messages().size(), 1u);
    EXPECT_EQ(manager.Messages()[0].name, "Second");
    log.Reset();
    EXPECT_FALSE(manager.Load(broken.path(), status, text));
    EXPECT_EQ(status, -15);
    EXPECT_NE(text.find("line 1: expected a DBC keyword at the start of a statement, found "
                        "'Broken'"),
              std::string::npos)
        << text;
    ASSERT_EQ(manager.Messages().size(), 1u);
    EXPECT_EQ(manager.Messages()[0].name, "Second");
    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, kLogError);
    EXPECT_EQ(lines[0].text, "CANdb:[kvaDbReadFile] " + text + "\n");
    // A database without messages empties the model and fails.
    TempFile empty("VERSION \"\"\n");
    EXPECT_FALSE(manager.Load(empty.path(), status, text));
    EXPECT_EQ(status, -4);
    EXPECT_TRUE(manager.Messages().empty());
    manager.Clear();
    EXPECT_TRUE(manager.Messages().empty());
}

TEST_F(CandbManager, MissingLibraryFailsAtOpenWithTheFallback) {
    setenv("SORVANE_KVADBLIB", "/nonexistent/libkvadblib.so", 1);
    LogCapture log;
    CCANdbManager manager;
    EXPECT_FALSE(candb::KvaDbLoaded());
    int major = 7, minor = 7, build = 7;
    candb::KvaDbVersion(major, minor, build);
    EXPECT_EQ(major + minor + build, 0);
    int status = 0;
    std::string text = "x";
    EXPECT_FALSE(manager.Load(KVADB_TEST_DATA "/features.dbc", status, text));
    EXPECT_EQ(status, -1);
    EXPECT_EQ(text, "");
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0].text, "CANdb:[kvaDbOpen] \n");
}

TEST_F(CandbManager, ALibraryLackingEntryPointsMeetsTheFallbacks) {
    setenv("SORVANE_KVADBLIB", KVADB_PARTIAL_PATH, 1);
    LogCapture log;
    CCANdbManager manager;
    EXPECT_TRUE(candb::KvaDbLoaded());
    EXPECT_TRUE(candb::KvaDbSlotResolved(candb::kSlotOpen));
    EXPECT_TRUE(candb::KvaDbSlotResolved(candb::kSlotReadFile));
    EXPECT_FALSE(candb::KvaDbSlotResolved(candb::kSlotGetFlags));
    EXPECT_FALSE(candb::KvaDbSlotResolved(candb::kSlotGetVersion));
    int status = 0;
    std::string text;
    EXPECT_FALSE(manager.Load("/any/file.dbc", status, text));
    EXPECT_EQ(status, -1);
    EXPECT_EQ(text, "partial failure");
    // Without the problem list nothing is reported skipped.
    EXPECT_EQ(manager.readProblemCount, 0u);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0].text, "CANdb:[kvaDbGetFlags] partial failure\n");
}

// The library's documented entry points, in the order of the table.
const char* const kEntryPoints[] = {"kvaDbOpen",
                                    "kvaDbSetDummyFileName",
                                    "kvaDbGetDatabaseName",
                                    "kvaDbGetVersion",
                                    "kvaDbGetErrorText",
                                    "kvaDbGetLastParseError",
                                    "kvaDbClose",
                                    "kvaDbReadFile",
                                    "kvaDbGetFlags",
                                    "kvaDbGetProtocol",
                                    "kvaDbGetProtocolProperties",
                                    "kvaDbGetFirstMsg",
                                    "kvaDbGetNextMsg",
                                    "kvaDbGetMsgById",
                                    "kvaDbGetMsgByPGN",
                                    "kvaDbGetMsgByName",
                                    "kvaDbGetMsgName",
                                    "kvaDbGetMsgQualifiedName",
                                    "kvaDbGetMsgComment",
                                    "kvaDbGetMsgId",
                                    "kvaDbGetMsgIdEx",
                                    "kvaDbGetMsgFlags",
                                    "kvaDbGetMsgDlc",
                                    "kvaDbGetMsgSendNode",
                                    "kvaDbGetMsgMux",
                                    "kvaDbGetFirstSignal",
                                    "kvaDbGetNextSignal",
                                    "kvaDbGetSignalByName",
                                    "kvaDbGetSignalMode",
                                    "kvaDbGetSignalMessage",
                                    "kvaDbGetSignalValueFloat",
                                    "kvaDbGetSignalValueInteger",
                                    "kvaDbRetrieveSignalValuePhys",
                                    "kvaDbRetrieveSignalValueRaw",
                                    "kvaDbRetrieveSignalValueRaw64",
                                    "kvaDbGetSignalValueEnum",
                                    "kvaDbGetSignalValueLimits",
                                    "kvaDbGetSignalValueScaling",
                                    "kvaDbGetSignalValueSize",
                                    "kvaDbGetSignalName",
                                    "kvaDbGetSignalQualifiedName",
                                    "kvaDbGetSignalComment",
                                    "kvaDbGetSignalUnit",
                                    "kvaDbGetSignalEncoding",
                                    "kvaDbGetSignalRepresentationType",
                                    "kvaDbGetSignalPresentationType",
                                    "kvaDbGetFirstNode",
                                    "kvaDbGetNextNode",
                                    "kvaDbGetNodeByName",
                                    "kvaDbGetNodeAttributeIntByName",
                                    "kvaDbGetNodeName",
                                    "kvaDbGetNodeComment",
                                    "kvaDbSignalContainsReceiveNode",
                                    "kvaDbStoreSignalValuePhys",
                                    "kvaDbStoreSignalValueRaw",
                                    "kvaDbStoreSignalValueRaw64",
                                    "kvaDbGetFirstAttributeDefinition",
                                    "kvaDbGetAttributeDefinitionByName",
                                    "kvaDbGetNextAttributeDefinition",
                                    "kvaDbGetAttributeDefinitionType",
                                    "kvaDbGetAttributeDefinitionOwner",
                                    "kvaDbGetAttributeDefinitionName",
                                    "kvaDbGetAttributeDefinitionInt",
                                    "kvaDbGetAttributeDefinitionFloat",
                                    "kvaDbGetAttributeDefinitionString",
                                    "kvaDbGetAttributeDefinitionEnumeration",
                                    "kvaDbGetAttributeDefinitionEnumValueByName",
                                    "kvaDbGetAttributeDefinitionEnumNameByValue",
                                    "kvaDbGetAttributeDefinitionEnumFirst",
                                    "kvaDbGetAttributeDefinitionEnumNext",
                                    "kvaDbGetFirstEnumValue",
                                    "kvaDbGetNextEnumValue",
                                    "kvaDbGetEnumValue",
                                    "kvaDbGetFirstEnumValuePair",
                                    "kvaDbGetNextEnumValuePair",
                                    "kvaDbGetFirstMsgAttribute",
                                    "kvaDbGetMsgAttributeByName",
                                    "kvaDbGetAttributeByName",
                                    "kvaDbGetFirstSignalAttribute",
                                    "kvaDbGetSignalAttributeByName",
                                    "kvaDbGetFirstNodeAttribute",
                                    "kvaDbGetNodeAttributeByName",
                                    "kvaDbGetFirstAttribute",
                                    "kvaDbGetNextAttribute",
                                    "kvaDbGetAttributeType",
                                    "kvaDbGetAttributeName",
                                    "kvaDbGetAttributeValueInt",
                                    "kvaDbGetAttributeValueFloat",
                                    "kvaDbGetAttributeValueString",
                                    "kvaDbGetAttributeValueEnumeration",
                                    "kvaDbMsgDlcToBytes",
                                    "kvaDbBytesToMsgDlc"};
static_assert(std::size(kEntryPoints) == 92);

TEST_F(CandbManager, TheTableHoldsItsEntryPointsInOrder) {
    for (int i = 0; i < candb::kSlotCount; ++i) {
        EXPECT_STREQ(candb::KvaDbSlotName(i), kEntryPoints[i]) << "slot " << i;
    }
    EXPECT_STREQ(candb::KvaDbSlotName(92), "");
    EXPECT_STREQ(candb::KvaDbSlotName(-1), "");
    CCANdbManager manager;
    // Every entry point the program calls is taken from our library.
    for (int slot : {candb::kSlotOpen,
                     candb::kSlotGetVersion,
                     candb::kSlotGetErrorText,
                     candb::kSlotClose,
                     candb::kSlotReadFile,
                     candb::kSlotGetFlags,
                     candb::kSlotGetFirstMsg,
                     candb::kSlotGetNextMsg,
                     candb::kSlotGetMsgName,
                     candb::kSlotGetMsgComment,
                     candb::kSlotGetMsgId,
                     candb::kSlotGetMsgDlc,
                     candb::kSlotGetFirstSignal,
                     candb::kSlotGetNextSignal,
                     candb::kSlotGetSignalMode,
                     candb::kSlotGetSignalValueLimits,
                     candb::kSlotGetSignalValueScaling,
                     candb::kSlotGetSignalValueSize,
                     candb::kSlotGetSignalName,
                     candb::kSlotGetSignalComment,
                     candb::kSlotGetSignalUnit,
                     candb::kSlotGetSignalEncoding,
                     candb::kSlotGetSignalRepresentationType,
                     candb::kSlotGetFirstEnumValue,
                     candb::kSlotGetNextEnumValue,
                     candb::kSlotGetEnumValue}) {
        EXPECT_TRUE(candb::KvaDbSlotResolved(slot)) << candb::KvaDbSlotName(slot);
    }
    // A second manager shares the library; the first going away leaves it loaded.
    auto other = std::make_unique<CCANdbManager>();
    other.reset();
    EXPECT_TRUE(candb::KvaDbLoaded());
}

// Statements the library skipped reach the model's list and one warning line.
TEST_F(CandbManager, SkippedStatementsAreListedAndWarnedOnceALoad) {
    LogCapture log;
    CCANdbManager manager;
    int status = 0;
    std::string text;
    const std::string broken = KVADB_TEST_DATA "/broken_lines.dbc";
    ASSERT_TRUE(manager.Load(broken, status, text)) << text;
    ASSERT_EQ(manager.Messages().size(), 2u);
    EXPECT_EQ(manager.readProblemCount, 4u);
    ASSERT_EQ(manager.readProblems.size(), 4u);
    EXPECT_EQ(manager.readProblems[1].line, 10);
    EXPECT_EQ(manager.readProblems[1].reason, "expected ']' after the maximum, found \"\"");
    std::vector<std::string> warnings;
    for (const Line& line : log.Lines()) {
        if (line.level == kLogWarning) {
            warnings.push_back(line.text);
        }
    }
    EXPECT_EQ(warnings,
              (std::vector<std::string>{
                  "CANdb:[kvaDbReadFile] " + broken +
                  ": 4 statement(s) skipped or read in part; the first at line 4: expected ':' "
                  "after the message name, found '8'; the message is skipped with its signals\n"}));

    // A clean file clears the list and warns nothing; a refused one keeps the model and its list.
    log.Reset();
    ASSERT_TRUE(manager.Load(KVADB_TEST_DATA "/mux_mark_without_value.dbc", status, text));
    EXPECT_EQ(manager.readProblemCount, 1u);
    ASSERT_TRUE(manager.Load(KVADB_TEST_DATA "/features.dbc", status, text));
    EXPECT_EQ(manager.readProblemCount, 0u);
    EXPECT_TRUE(manager.readProblems.empty());
    EXPECT_FALSE(manager.Load(KVADB_TEST_DATA "/not_a_dbc.txt", status, text));
    EXPECT_EQ(manager.Messages().size(), 3u);
    size_t warned = 0;
    for (const Line& line : log.Lines()) {
        warned += line.level == kLogWarning ? 1 : 0;
    }
    EXPECT_EQ(warned, 1u);
}

CanFrameRecord Frame(uint32_t id, std::vector<uint8_t> bytes, uint32_t flags = 0) {
    CanFrameRecord r{};
    r.id = id;
    r.flags = flags;
    r.dlc = static_cast<uint32_t>(bytes.size());
    if (!bytes.empty()) {
        std::memcpy(r.data, bytes.data(), bytes.size());
    }
    return r;
}

TEST_F(CandbManager, DecodesWholeFrames) {
    CCANdbManager manager;
    TempFile file(
        "BO_ 2147484160 ExtMux: 8 X\n"
        " SG_ Sel M : 0|8@1+ (1,0) [0|0] \"\" X\n"
        " SG_ One m1 : 8|8@1+ (1,0) [0|0] \"\" X\n"
        " SG_ Two m2 : 8|16@1- (1,0) [0|0] \"\" X\n"
        " SG_ Always : 63|8@0+ (1,0) [0|0] \"\" X\n"
        "BO_ 512 StdSame: 2 X\n"
        " SG_ Gear : 0|4@1+ (1,0) [0|0] \"\" X\n"
        "VAL_ 512 Gear 0 \"P\" 1 \"R\" 2 \"N\" 3 \"D\" ;\n");
    int status = 0;
    std::string text;
    ASSERT_TRUE(manager.Load(file.path(), status, text)) << text;
    // Multiplexor 1: One but not Two; both messages of number 0x200 contribute.
    ASSERT_TRUE(manager.Decode(Frame(0x200, {1, 0x05, 0xFF, 0, 0, 0, 0, 0x2A}, kMsgExt)));
    EXPECT_EQ(manager.decodedTexts,
              (std::vector<std::string>{"Always", "42 (002A) ", "", "One", "5 (0005) ", "", "Sel",
                                        "1 (0001) ", "", "Gear", "1 (0001) ", "R"}));
    ASSERT_TRUE(manager.Decode(Frame(0x200, {2, 0xFE, 0xFF}, kMsgExt)));
    ASSERT_EQ(manager.decodedTexts.size(), 12u);  // Always, Sel, Two, Gear
    EXPECT_EQ(manager.decodedTexts[0], "Always");
    EXPECT_EQ(manager.decodedTexts[1], "0 (0000) ");  // not carried by 3 bytes
    EXPECT_EQ(manager.decodedTexts[6], "Two");
    EXPECT_EQ(manager.decodedTexts[7], "-2 (FFFFFFFE) ");
    // A multiplexor value no signal has: only the others.
    ASSERT_TRUE(manager.Decode(Frame(0x200, {9, 0, 0, 0, 0, 0, 0, 0})));
    EXPECT_EQ(manager.decodedTexts.size(), 9u);
    // No message of that identifier: empty, false.
    EXPECT_FALSE(manager.Decode(Frame(0x201, {1, 2})));
    EXPECT_TRUE(manager.decodedTexts.empty());
    // A frame of no bytes: the multiplexor is not carried, so neither are its signals.
    ASSERT_TRUE(manager.Decode(Frame(0x200, {})));
    EXPECT_EQ(manager.decodedTexts.size(), 9u);
}

// Every signal of every real database: a random value put into a frame by
// an independent encoder comes back out.
TEST_F(CandbManager, EverySignalOfTheRealDatabasesDecodesWhatWasEncoded) {
    const char* root = std::getenv("SORVANE_TESTDATA");
    const std::string dir = std::string(root != nullptr ? root : "") + "/dbc";
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) {
        GTEST_SKIP() << "no test databases in " << dir;
    }
    std::vector<std::string> files;
    while (dirent* e = readdir(d)) {
        const std::string n = e->d_name;
        if (n.size() > 4 && n.substr(n.size() - 4) == ".dbc") {
            files.push_back(dir + "/" + n);
        }
    }
    closedir(d);
    CCANdbManager manager;
    std::mt19937_64 rng(11);
    size_t checked = 0;
    for (const std::string& f : files) {
        int status = 0;
        std::string text;
        ASSERT_TRUE(manager.Load(f, status, text)) << f << ": " << text;
        for (const CandbMessage& m : manager.Messages()) {
            if (!m.signals) {
                continue;
            }
            for (const CandbSignal& s : *m.signals) {
                const uint64_t mask = s.length >= 64 ? ~0ULL : (1ULL << s.length) - 1;
                const uint64_t value = rng() & mask;
                uint8_t data[64] = {};
                // Bit k of the value walks up from the LSB: Intel to the next
                // bit, Motorola from bit 7 of a byte to bit 0 of the one before.
                int p = s.startBit;
                bool inFrame = true;
                for (int k = 0; k < s.length && inFrame; ++k) {
                    if (p < 0 || p >= 512) {
                        inFrame = false;
                        break;
                    }
                    if ((value >> k) & 1u) {
                        data[p / 8] |= static_cast<uint8_t>(1u << (p % 8));
                    }
                    p = s.encoding == 1 && p % 8 == 7 ? p - 15 : p + 1;
                }
                if (!inFrame) {
                    continue;
                }
                uint64_t raw = 0;
                ASSERT_TRUE(candb::ExtractRaw(data, 64, s.encoding, s.startBit, s.length, raw))
                    << f << " " << m.name << "." << s.name;
                ASSERT_EQ(raw, value) << f << " " << m.name << "." << s.name;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 10000u);
}

}  // namespace

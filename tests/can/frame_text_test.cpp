#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "can/frame_list.h"
#include "can/frame_log_file.h"
#include "can/frame_text.h"
#include "test_files.h"

namespace {

CanFrameRecord Frame(uint32_t id, uint32_t dlc, uint32_t flags, uint32_t timestamp,
                     uint8_t direction = kDirectionReceived, uint8_t channel = 0) {
    CanFrameRecord r;
    std::memset(&r, 0, sizeof r);
    r.id = id;
    r.dlc = dlc;
    r.flags = flags;
    r.timestamp = timestamp;
    r.direction = direction;
    r.channel = channel;
    r.status = kStatusOk;
    for (uint32_t i = 0; i < kMaxFrameBytes; ++i)
        r.data[i] = static_cast<uint8_t>(i + 1);
    return r;
}

}  // namespace

TEST(FrameText, StandardFrameIs73CharactersColumnByColumn) {
    const std::string line = FormatFrameLine(Frame(0x123, 3, kMsgStd, 1500000));
    std::string expected = " 0    00000123";
    expected += std::string(9, ' ') + "3";
    std::string data = "  01  02  03";
    data.resize(32, ' ');
    expected += data + "  " + std::string(13 - 8, ' ') + "1.500000" + " R";
    EXPECT_EQ(line, expected);
    EXPECT_EQ(line.size(), 73u);
}

// The line built by hand against the printf format it stands for, over many
// records: every channel, identifier, length (also damaged ones), flag
// combination, both directions and time stamps from 0 to the wrap.
TEST(FrameText, LinesMatchTheirPrintfFormatForManyRecords) {
    std::mt19937 rng(20);
    const uint32_t stamps[] = {0, 1, 999999, 1000000, 1500000, 9999999, 10000000, 4294967295u};
    const uint32_t lengths[] = {0, 1, 7, 8, 9, 12, 20, 48, 63, 64, 65, 200, 0xFFFFFFFFu};
    for (int n = 0; n < 20000; ++n) {
        CanFrameRecord r{};
        r.id = n % 3 == 0 ? rng() : rng() % 0x800;
        r.flags = rng() & (kMsgRtr | kMsgExt | kFdMsgFdf | kFdMsgBrs | kMsgStd);
        r.dlc = n % 2 == 0 ? lengths[rng() % std::size(lengths)] : rng() % 65;
        r.timestamp = n % 4 == 0 ? stamps[rng() % std::size(stamps)] : rng();
        r.channel = static_cast<uint8_t>(rng());
        r.direction = static_cast<uint8_t>(rng() % 2);
        for (uint8_t& b : r.data)
            b = static_cast<uint8_t>(rng());

        std::string type;
        for (const auto& [flag, letter] : {std::pair{kMsgRtr, 'R'}, std::pair{kMsgExt, 'E'},
                                           std::pair{kFdMsgFdf, 'F'}, std::pair{kFdMsgBrs, 'B'}})
            if (r.flags & flag)
                type += letter;
        const uint32_t bytes = std::min<uint32_t>(r.dlc, 64);
        char group[8];
        std::string data = r.dlc == 0 ? "  00" : "";
        for (uint32_t i = 0; i < std::min<uint32_t>(bytes, 8); ++i) {
            std::snprintf(group, sizeof group, "  %02X", r.data[i]);
            data += group;
        }
        std::string more;
        for (uint32_t i = 8; i < bytes; ++i) {
            if (i % 8 == 0)
                more += "\n" + std::string(24, ' ');
            std::snprintf(group, sizeof group, "  %02X", r.data[i]);
            more += group;
        }
        char time[40];
        std::snprintf(time, sizeof time, "  %-6.6f", r.timestamp / 1000000.0);
        char line[512];
        std::snprintf(line, sizeof line, " %d    %08X  %-5s %2X%-32s  %13s %s%s", r.channel, r.id,
                      type.c_str(), r.dlc, data.c_str(), time, r.direction ? "R" : "T",
                      more.c_str());
        ASSERT_EQ(FormatFrameLine(r), line) << n;
        std::string appended = "x";
        AppendFrameLine(appended, r, "\r\n");
        std::string crlf = line;
        for (size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2))
            crlf.insert(at, 1, '\r');
        ASSERT_EQ(appended, "x" + crlf) << n;
    }
}

TEST(FrameText, TypeLettersInOrder) {
    EXPECT_EQ(FrameTypeText(kMsgStd), "");
    EXPECT_EQ(FrameTypeText(kMsgRtr | kMsgExt), "RE");
    EXPECT_EQ(FrameTypeText(kFdMsgFdf | kFdMsgBrs), "FB");
    EXPECT_EQ(FrameTypeText(kMsgExt | kFdMsgFdf | kFdMsgBrs | kFdMsgEsi), "EFB");
    EXPECT_EQ(FrameTypeText(kMsgErrorFrame | kMsgTxAck), "");
    const std::string line = FormatFrameLine(Frame(0x1ABCDEF0, 0, kMsgRtr | kMsgExt, 0, 0, 4));
    EXPECT_EQ(line.substr(0, 22), " 4    1ABCDEF0  RE    ");
}

TEST(FrameText, ZeroLengthTransmittedAndLargeTime) {
    // Zero length shows one 00 byte; direction T; the largest clock value fills 13 columns.
    const std::string line =
        FormatFrameLine(Frame(0x7FF, 0, 0, 0xFFFFFFFFu, kDirectionTransmitted, 2));
    std::string data = "  00";
    data.resize(32, ' ');
    EXPECT_EQ(line, " 2    000007FF         0" + data + "  " + "  4294.967295" + " T");
}

TEST(FrameText, FdFramesContinueUnderTheDataColumn) {
    const std::string line20 = FormatFrameLine(Frame(0x100, 20, kFdMsgFdf | kFdMsgBrs, 10));
    const std::string pad(24, ' ');
    const std::string first =
        " 0    00000100  FB    14  01  02  03  04  05  06  07  08"
        "  " +
        std::string(13 - 10, ' ') + "  0.000010 R";
    EXPECT_EQ(line20, first + "\n" + pad + "  09  0A  0B  0C  0D  0E  0F  10" + "\n" + pad +
                          "  11  12  13  14");

    const std::string line64 = FormatFrameLine(Frame(0x100, 64, kFdMsgFdf, 10));
    std::vector<std::string> rows;
    std::stringstream s(line64);
    for (std::string row; std::getline(s, row);)
        rows.push_back(row);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].size(), 73u);
    EXPECT_EQ(rows[7], pad + "  39  3A  3B  3C  3D  3E  3F  40");
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].size(), 24u + 32u);

    // A damaged length never reads past the data bytes.
    const std::string bad = FormatFrameLine(Frame(0x100, 200, kFdMsgFdf, 10));
    EXPECT_EQ(bad.substr(22, 2), "C8");
    EXPECT_EQ(std::count(bad.begin(), bad.end(), '\n'), 7);
}

TEST(FrameText, ClipboardLineIsTheFirstRowWithALineEnd) {
    const CanFrameRecord fd = Frame(0x100, 12, kFdMsgFdf, 10);
    const std::string full = FormatFrameLine(fd);
    EXPECT_EQ(FormatFrameClipboardLine(fd), full.substr(0, full.find('\n')) + "\n");
    EXPECT_EQ(std::string(kMonitorHeaderText),
              "Chn Identifier Flg   DLC  D0...1...2...3...4...5...6..D7       Time     Dir");
}

TEST(FrameLogFile, AppendsWithCrLfAndSharesTheFile) {
    const std::string path = TempPath("live.log");
    ::unlink(path.c_str());
    { std::ofstream(path, std::ios::binary) << "earlier\r\n"; }
    FrameLogFile a, b;
    ASSERT_TRUE(a.Open(path));
    ASSERT_TRUE(b.Open(path));  // another writer on the same file
    const CanFrameRecord fd = Frame(0x100, 10, kFdMsgFdf, 10);
    ASSERT_TRUE(a.WriteFrame(fd));
    ASSERT_TRUE(b.WriteLine("second"));
    ASSERT_TRUE(a.Close());
    ASSERT_TRUE(b.Close());
    std::string expected = FormatFrameLine(fd);
    expected.replace(expected.find('\n'), 1, "\r\n");
    EXPECT_EQ(ReadFile(path), "earlier\r\n" + expected + "\r\nsecond\r\n");
    ::unlink(path.c_str());
}

TEST(FrameLogFile, UnopenableFileFailsQuietly) {
    FrameLogFile file;
    EXPECT_FALSE(file.Open("/nonexistent-folder/x/y.log"));
    EXPECT_TRUE(file.Failed());
    EXPECT_FALSE(file.WriteLine("lost"));
    FrameList frames;
    EXPECT_FALSE(SaveFrameListToFile(frames, "/nonexistent-folder/x/y.log", nullptr));
}

TEST(FrameLogFile, SaveReplacesFileWritesHeaderAndReportsProgress) {
    const std::string path = TempPath("saved.log");
    { std::ofstream(path, std::ios::binary) << "old content that must go\r\n"; }
    FrameList frames;
    for (uint32_t i = 0; i < 3; ++i)
        frames.Append(Frame(0x10 + i, 1, 0, i * 1000000));
    std::vector<std::pair<size_t, size_t>> progress;
    ASSERT_TRUE(SaveFrameListToFile(
        frames, path, [&](size_t n, size_t count) { progress.emplace_back(n, count); }));
    std::string expected = std::string(kMonitorHeaderText) + "\r\n";
    for (uint32_t i = 0; i < 3; ++i)
        expected += FormatFrameLine(frames.At(i)) + "\r\n";
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(progress, (std::vector<std::pair<size_t, size_t>>{{1, 3}, {2, 3}, {3, 3}}));

    FrameList empty;
    ASSERT_TRUE(SaveFrameListToFile(empty, path, nullptr));
    EXPECT_EQ(ReadFile(path), std::string(kMonitorHeaderText) + "\r\n");
    ::unlink(path.c_str());
}

// The monitor, candump and ASC logs: what each writer writes, that each
// reader gives back what was written, the variants other tools write, and a
// clear message naming the line for what cannot be read.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "can/log_reader.h"
#include "can/log_writer.h"
#include "log_test_support.h"

using log_test::Frame;
using log_test::Read;
using log_test::ReadResult;
using log_test::Show;
using log_test::Write;

namespace {

// Every kind of frame the formats know, on every channel, both directions.
std::vector<LogFrame> Mixed(int64_t base) {
    const uint8_t b[] = {0x01, 0x02, 0x03, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8};
    std::vector<LogFrame> frames = {
        Frame(base + 1, 0, 0x123, 0, {b, b + 3}),
        Frame(base + 100000, 1, 0x18DAF110, kMsgExt, {b, b + 8}, kDirectionTransmitted),
        Frame(base + 200000, 2, 0x12, kMsgExt, {}),
        Frame(base + 300000, 3, 0x1AB, kMsgRtr, {}, kDirectionReceived, 4),
        Frame(base + 300100, 4, 0x7FF, kMsgRtr | kMsgExt, {}, kDirectionTransmitted, 8),
        Frame(base + 400000, 0, 0x456, kFdMsgFdf | kFdMsgBrs, log_test::Bytes(12, 0)),
        Frame(base + 500000, 1, 0x1FFFFFFF, kMsgExt | kFdMsgFdf, log_test::Bytes(64, 0x40)),
        Frame(base + 600000, 2, 0x7FF, kFdMsgFdf, {}),
        Frame(base + 700000, 3, 0x100, kFdMsgFdf | kFdMsgBrs, log_test::Bytes(20, 0x80),
              kDirectionTransmitted),
        Frame(base + 4294967296LL, 0, 0x000, 0, {}),  // past the 32-bit channel clock
    };
    return frames;
}

LogFrame ErrorFrame(int64_t time, uint8_t channel) {
    LogFrame f = Frame(time, channel, 0, kMsgErrorFrame, {});
    return f;
}

LogFrame WithEsi(LogFrame f) {
    f.record.flags |= kFdMsgEsi;
    return f;
}

}  // namespace

// Each format gives back every frame it can hold, exactly: times to the
// microsecond, channels, directions and flags. The monitor log has no form
// for error frames and the error state indicator; it counts what it leaves.
TEST(LogFormats, EveryFormatReadsBackWhatItWrote) {
    struct Case {
        LogFormat format;
        std::optional<int64_t> origin;
        int64_t base;
    };
    for (const Case& c :
         {Case{LogFormat::Monitor, std::nullopt, 1500000},
          Case{LogFormat::Candump, 0, 1700000000000001LL},
          Case{LogFormat::Asc, std::nullopt, 1500000}, Case{LogFormat::Asc, 0, 1700000000000001LL},
          Case{LogFormat::Asc, 1700000000123000LL, 0}}) {
        SCOPED_TRACE(std::string(LogFormatName(c.format)) + " base " + std::to_string(c.base));
        std::vector<LogFrame> frames = Mixed(c.base);
        frames.push_back(ErrorFrame(c.base + 800000, 1));
        frames.push_back(
            WithEsi(Frame(c.base + 900000, 4, 0x321, kFdMsgFdf, log_test::Bytes(8, 1))));
        LogWriter writer(c.format, LogWriter::Options{true, c.origin, 1700000000000000LL});
        const std::string text = Write(writer, frames);
        const ReadResult back = Read(c.format, text);
        ASSERT_TRUE(back.ok) << back.error << "\n" << text;

        std::vector<LogFrame> expected = frames;
        if (c.format == LogFormat::Monitor) {
            expected.erase(expected.end() - 2);  // the error frame
            expected.back().record.flags &= ~kFdMsgEsi;
            EXPECT_EQ(writer.ErrorFramesLeftOut(), 1u);
            EXPECT_EQ(writer.ErrorStatesLeftOut(), 1u);
        }
        ASSERT_EQ(back.frames.size(), expected.size()) << text;
        // Frames read count from the reader's origin: the same instant when the
        // source had one; channel-clock times stay as they were.
        const int64_t shift = c.origin ? back.origin.value_or(0) - *c.origin : 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            LogFrame want = expected[i];
            want.time -= shift;
            EXPECT_EQ(Show(back.frames[i]), Show(want)) << "frame " << i << "\n" << text;
        }
    }
}

// The lines as the other tools write them, byte for byte.
TEST(LogFormats, WritersWriteTheLinesOtherToolsWrite) {
    const uint8_t b[] = {0x01, 0x02, 0x03, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99};
    struct Case {
        LogFormat format;
        LogFrame frame;
        const char* line;
    } cases[] = {
        {LogFormat::Candump, Frame(1700000000000001LL, 0, 0x123, 0, {b, b + 3}),
         "(1700000000.000001) can0 123#010203 R\n"},
        {LogFormat::Candump, Frame(1500000, 2, 0x12, kMsgExt, {}, kDirectionTransmitted),
         "(0000000001.500000) can2 00000012# T\n"},
        {LogFormat::Candump, Frame(0, 0, 0x1AB, kMsgRtr, {}, kDirectionReceived, 4),
         "(0000000000.000000) can0 1AB#R4 R\n"},
        {LogFormat::Candump, Frame(0, 1, 0x456, kFdMsgFdf | kFdMsgBrs | kFdMsgEsi, {b, b + 12}),
         "(0000000000.000000) can1 456##3010203112233445566778899 R\n"},
        {LogFormat::Candump, ErrorFrame(0, 3),
         "(0000000000.000000) can3 20000080#0000000000000000\n"},
        {LogFormat::Candump, Frame(0, 0, 0x4, kMsgErrorFrame, {0, 4, 0, 0, 0, 0, 0, 0}),
         "(0000000000.000000) can0 20000004#0004000000000000\n"},
        {LogFormat::Asc, Frame(1500000, 0, 0x123, 0, {b, b + 3}),
         "   1.500000 1  123             Rx   d 3 01 02 03\r\n"},
        {LogFormat::Asc,
         Frame(1600000, 1, 0x18DAF110, kMsgExt | kMsgRtr, {}, kDirectionTransmitted, 4),
         "   1.600000 2  18DAF110x       Tx   r 4\r\n"},
        {LogFormat::Asc, ErrorFrame(1700000, 4), "   1.700000 5  ErrorFrame\r\n"},
        {LogFormat::Asc, Frame(1800000, 0, 0x456, kFdMsgFdf | kFdMsgBrs, {b, b + 12}),
         "   1.800000 CANFD   1 Rx         456                                  1 0 9 12 01 02 03 "
         "11 "
         "22 33 44 55 66 77 88 99        0    0     3000        0        0        0        0       "
         " "
         "0\r\n"},
        {LogFormat::Monitor, Frame(1700000000000001LL, 0, 0x123, 0, {b, b + 3}),
         " 0    00000123         3  01  02  03                        1700000000.000001 R\r\n"},
    };
    for (const Case& c : cases) {
        LogWriter writer(c.format, LogWriter::Options{false, std::nullopt, 0});
        std::string head;
        writer.Begin(head);
        std::string line;
        ASSERT_TRUE(writer.Append(line, c.frame));
        EXPECT_EQ(line, c.line);
    }
}

// An ASC log starts with its date, base and trigger block and ends the
// block; a log without frames still has both.
TEST(LogFormats, AscHeadCarriesTheDateAndTheEndClosesTheBlock) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    LogWriter writer(LogFormat::Asc, LogWriter::Options{true, std::nullopt, 1700000000123456LL});
    std::string text;
    writer.Finish(text);
    EXPECT_EQ(text,
              "date Tue Nov 14 10:13:20.000 pm 2023\r\n"
              "base hex  timestamps absolute\r\n"
              "internal events logged\r\n"
              "Begin Triggerblock Tue Nov 14 10:13:20.000 pm 2023\r\n"
              "   0.000000 Start of measurement\r\n"
              "End TriggerBlock\r\n");
    // Dates as the analysers and other tools write them, read as local time.
    struct Date {
        const char* text;
        int64_t value;  // microseconds since 1970, -1: not a date
    } dates[] = {
        {"Tue Nov 14 10:13:20.000 pm 2023", 1700000000000000LL},
        {"Tue Nov 14 10:13:20.123 am 2023", 1699956800123000LL},
        {"Tue Nov 14 22:13:20 2023", 1700000000000000LL},
        {"Wed Jan 01 12:00:00.000 am 2020", 1577836800000000LL},
        {"Di Dez 31 12:30:05.5 pm 2019", 1577795405500000LL},
        {"Nov 14 22:13:20 2023", 1700000000000000LL},
        {"Tue Nov 14 13:13:20 pm 2023", -1},
        {"Tue Foo 14 22:13:20 2023", -1},
        {"Tue Nov 14 22:13 2023", -1},
        {"", -1},
    };
    for (const Date& d : dates) {
        const auto value = log_lines::ParseAscDate(d.text);
        EXPECT_EQ(value.value_or(-1), d.value) << d.text;
        if (value) {
            EXPECT_EQ(log_lines::ParseAscDate(log_lines::AscDate(*value)), value) << d.text;
        }
    }
}

// What other tools write, as they write it, reads as the frames it holds.
TEST(LogFormats, ReadersTakeWhatOtherToolsWrite) {
    struct Case {
        const char* name;
        LogFormat format;
        const char* text;
        const char* frames;  // Show() of each frame, one a line
    } cases[] = {
        {"python-can candump: no zero padding, lower case", LogFormat::Candump,
         "(1700000000.000001) vcan0 1ab#0a0B R\n(0.5) vcan1 00000123#R T\n",
         "1700000000000001 ch0 R 1AB [] 2 0A0B\n500000 ch1 T 123 [E R] 0 \n"},
        {"can-utils: dots between bytes, raw length code, error class", LogFormat::Candump,
         "(1.000000) can0 123#11.22.33\n(2.000000) can0 321#1122334455667788_C\n"
         "(3.000000) can0 20000004#0004000000000000\n(4.0) can0 012#R8_F\n",
         "1000000 ch0 R 123 [] 3 112233\n2000000 ch0 R 321 [] 8 1122334455667788\n"
         "3000000 ch0 X\n4000000 ch0 R 12 [R] 8 \n"},
        {"candump: interface names take their number, others the lowest free", LogFormat::Candump,
         "(1.0) can3 001#\n(1.0) vcan3 001#\n(1.0) slcan0 001#\n(1.0) any 001#\n",
         "1000000 ch3 R 1 [] 0 \n1000000 ch0 R 1 [] 0 \n1000000 ch1 R 1 [] 0 \n"
         "1000000 ch2 R 1 [] 0 \n"},
        {"candump: lines that are no frames are passed over", LogFormat::Candump,
         "# comment\n\n(1.0) can0 001#\n", "1000000 ch0 R 1 [] 0 \n"},
        {"log2asc: no trigger block, CAN FD and remote", LogFormat::Asc,
         "date Tue Nov 14 22:13:20 2023\nbase hex  timestamps absolute\nno internal events logged\n"
         "   0.099999 2  18DAF110x       Rx   d 8 11 22 33 44 55 66 77 88\n"
         "   0.300099 1  1AB             Rx   r 4\n"
         "   0.399999 CANFD   3 Rx        456                                   1 0 9 12 00 01 02 "
         "03 04 05 06 07 08 09 0A 0B   130000  130     3000 0 0 0 0 0\n",
         "99999 ch1 R 18DAF110 [E] 8 1122334455667788\n300099 ch0 R 1AB [R] 4 \n"
         "399999 ch2 R 456 [F B] 12 000102030405060708090A0B\n"},
        {"log2asc -f: classic frames written the CAN FD way", LogFormat::Asc,
         "date Tue Nov 14 22:13:20 2023\n"
         "   0.0 CANFD   1 Rx        123                                   0 0 3  3 01 02 03   "
         "130000  130        0 0 0 0 0 0\n"
         "   0.3 CANFD   1 Rx        1AB                                   0 0 4  0   130000  130  "
         "     10 0 0 0 0 0\n",
         "0 ch0 R 123 [] 3 010203\n300000 ch0 R 1AB [R] 4 \n"},
        {"analyser: symbolic names, trailing words, events, comments, CR LF", LogFormat::Asc,
         "date Mon Mar 04 09:15:00.250 am 2024\r\n// version 13.0.0\r\n"
         "base hex  timestamps absolute\r\ninternal events logged\r\n"
         "Begin Triggerblock Mon Mar 04 09:15:00.250 am 2024\r\n"
         "   0.000000 Start of measurement\r\n"
         "   0.001000 1  Statistic: D 0 R 0 XD 0 XR 0 E 0 O 0 B 0.00%\r\n"
         "   0.002000 CAN 1 Status:chip status error active\r\n"
         "   0.003000 1  123             Rx   d 2 0A 0B  Length = 228000 BitCount = 59 ID = 291\r\n"
         "   0.004000 1  123             TxRq d 2 0A 0B\r\n"
         "   0.005000 CANFD   2 Tx        7FF  EngineData                     0 1 8  8 01 02 03 04 "
         "05 06 07 08   0  0  5000 0 0 0 0 0\r\n"
         "   0.006000 1  ErrorFrame ECC: 10100010\r\n"
         "   0.007000 CANFD   1 Rx   ErrorFrame 0 0 0\r\nEnd TriggerBlock\r\n",
         "3000 ch0 R 123 [] 2 0A0B\n5000 ch1 T 7FF [F S] 8 0102030405060708\n"
         "6000 ch0 X\n7000 ch0 X\n"},
        {"ASC: decimal base and relative time stamps", LogFormat::Asc,
         "date Tue Nov 14 22:13:20 2023\nbase dec  timestamps relative\n"
         "   1.5 1  291             Rx   d 2 10 255\n   0.25 2  100x            Tx   d 1 7\n",
         "1500000 ch0 R 123 [] 2 0AFF\n1750000 ch1 T 64 [E] 1 07\n"},
        {"ASC: nanoseconds rounded to the microsecond", LogFormat::Asc,
         "base hex timestamps absolute\n   1.000000499 1  1  Rx d 0\n   1.0000005 1  1  Rx d 0\n",
         "1000000 ch0 R 1 [] 0 \n1000001 ch0 R 1 [] 0 \n"},
        {"monitor: the live form, no header", LogFormat::Monitor,
         " 4    000007FF  R      2  00  00                               0.000001 T\r\n",
         "1 ch4 T 7FF [R] 2 \n"},
    };
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    for (const Case& c : cases) {
        const ReadResult r = Read(c.format, c.text);
        ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
        std::string shown;
        for (const LogFrame& f : r.frames) {
            shown += Show(f) + "\n";
        }
        EXPECT_EQ(shown, c.frames) << c.name;
    }
}

// Input that cannot be read is refused at its line with what is wrong.
TEST(LogFormats, BadInputNamesTheLine) {
    struct Case {
        LogFormat format;
        std::string text;
        const char* message;
    } cases[] = {
        {LogFormat::Candump, "(1.0) can0 123#01\n(x) can0 1#\n", "line 2: time stamp '(x)'"},
        {LogFormat::Candump, "(1.0) can0 1234#01\n",
         "line 1: the identifier is not three or eight"},
        {LogFormat::Candump, "(1.0) can0 800#\n", "line 1: a standard identifier above 7FF"},
        {LogFormat::Candump, "(1.0) can0 123#0\n", "line 1: data that are not hex byte pairs"},
        {LogFormat::Candump, "(1.0) can0 123#112233445566778899\n", "classic frame longer than 8"},
        {LogFormat::Candump, "(1.0) can0 123##1" + std::string(38, '0') + "\n",
         "length that CAN FD frames do not have"},
        {LogFormat::Candump, "(1.0) can0 123###00\n", "CAN XL"},
        {LogFormat::Candump, "(1.0) can0 123#R9\n", "remote length"},
        {LogFormat::Candump, "(1.0) can0 123 R\n", "no # after the identifier"},
        {LogFormat::Candump, "(1.0) can0 123#01 X\n", "direction 'X'"},
        {LogFormat::Candump,
         "(1.0) a 001#\n(1.0) b 001#\n(1.0) c 001#\n(1.0) d 001#\n(1.0) e 001#\n(1.0) f 001#\n",
         "line 6: interface 'f' would be a sixth channel"},
        {LogFormat::Candump, "(1.0) can0 7FFFFFFF#\n", "identifier flags"},
        {LogFormat::Asc, "date Tue Nov 14 22:13:20 2023\n   1.0 1  123  Rx d 3 01 02\n",
         "line 2: data byte 3 ''"},
        {LogFormat::Asc, "base hex\n   1.0 1  12G  Rx d 0\n", "line 2: identifier '12G'"},
        {LogFormat::Asc, "base hex\n   1.0 1  123  Rx q 0\n", "frame kind 'q'"},
        {LogFormat::Asc, "base hex\n   1.0 0  123  Rx d 0\n", "channel '0' is not a number from 1"},
        {LogFormat::Asc, "base oct\n", "line 1: base 'oct'"},
        {LogFormat::Asc, "base hex\n   1.0 CANFD 1 Rx 123 1 0 9  9 00 00 00 00 00 00 00 00 00\n",
         "length that CAN FD frames do not have"},
        {LogFormat::Asc, "base hex\n   1.0 CANFD 1 Rx 123 1 5 8 8 00\n", "are not 0 or 1"},
        {LogFormat::Asc, "just some text\nnothing of a log\n", "line 1: not an ASC log"},
        {LogFormat::Monitor, " 0    00000123         3  01  02  03    1.500000 R\n 5    00000123",
         "line 2: channel '5'"},
        {LogFormat::Monitor, " 0    123         0  00    1.5 R\n", "identifier '123'"},
        {LogFormat::Monitor, " 0    00000123  F     9  00  01  02  03  04  05  06  07    1.5 R\n",
         "line 1: a length that CAN FD"},
        {LogFormat::Monitor, " 0    00000123  FB   14  00  01  02  03  04  05  06  07    1.5 R\n",
         "line 1: the frame ends before its last data row"},
        {LogFormat::Monitor,
         " 0    00000123  FB   14  00  01  02  03  04  05  06  07    1.5 R\n" +
             std::string(24, ' ') + "  08  09\n",
         "line 2: a data row of 2 bytes where 8 belong"},
        {LogFormat::Monitor, std::string(24, ' ') + "  08  09\n", "line 1: a data row without"},
        {LogFormat::Monitor, " 0    00000123         2  01  02    1.5 R extra\n", "more fields"},
        {LogFormat::Monitor, " 0    00000123  B      2  01  02    1.5 R\n", "bit-rate switch"},
        {LogFormat::Monitor, " 0    00000123         1  01    1.5 X\n", "direction 'X'"},
    };
    for (const Case& c : cases) {
        const ReadResult r = Read(c.format, c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error << "\nfor\n" << c.text;
    }
}

TEST(LogFormats, FormatIsToldByTheFirstLinesThatTell) {
    struct Case {
        const char* head;
        std::optional<LogFormat> format;
    } cases[] = {
        {"(1700000000.000001) can0 123#010203\n", LogFormat::Candump},
        {"\n\n(0.5) vcan0 1#R T", LogFormat::Candump},
        {"date Tue Nov 14 22:13:20 2023\n", LogFormat::Asc},
        {"// comment\nbase hex  timestamps absolute\n", LogFormat::Asc},
        {"   0.099999 2  18DAF110x       Rx   d 8 11\n", LogFormat::Asc},
        {"   0.5 CANFD   1 Rx 1 0 0 0 0\n", LogFormat::Asc},
        {"Chn Identifier Flg   DLC  D0...1...2...3...4...5...6..D7       Time     Dir\r\n",
         LogFormat::Monitor},
        {" 0    00000123         3  01  02  03          1.500000 R\r\n", LogFormat::Monitor},
        {"", std::nullopt},
        {"hello\nworld\n", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GuessLogFormat(c.head), c.format) << c.head;
    }
    EXPECT_EQ(LogFormatFromExtension("/a.b/c.ASC"), LogFormat::Asc);
    EXPECT_EQ(LogFormatFromExtension("c.log"), LogFormat::Candump);
    EXPECT_EQ(LogFormatFromExtension("c.txt"), LogFormat::Monitor);
    EXPECT_EQ(LogFormatFromExtension("/a.log/c"), std::nullopt);
    EXPECT_EQ(LogFormatFromName("CANDUMP"), LogFormat::Candump);
    EXPECT_EQ(LogFormatFromName("blf"), std::nullopt);
}

// A time that a format cannot hold is refused, not written wrong.
TEST(LogFormats, TimesBeforeZeroAreRefusedWhereTheFormatCannotHoldThem) {
    for (const LogFormat format : {LogFormat::Monitor, LogFormat::Candump}) {
        LogWriter writer(format, LogWriter::Options{false, std::nullopt, 0});
        std::string text;
        EXPECT_FALSE(writer.Append(text, Frame(-1, 0, 1, 0, {})));
        ASSERT_NE(writer.Problem(), nullptr);
        EXPECT_NE(std::string(writer.Problem()).find("before 0"), std::string::npos);
        EXPECT_FALSE(writer.Append(text, Frame(10000000000000000LL, 0, 1, 0, {})));
        EXPECT_TRUE(writer.Append(text, Frame(9999999999999999LL, 0, 1, 0, {})));
    }
    // ASC keeps it: a frame before the first second of a wall-clock log.
    LogWriter asc(LogFormat::Asc, LogWriter::Options{false, 0, 0});
    std::string text;
    ASSERT_TRUE(asc.Append(text, Frame(1700000000500000LL, 0, 1, 0, {})));
    ASSERT_TRUE(asc.Append(text, Frame(1699999999000000LL, 0, 1, 0, {})));
    const ReadResult back = Read(LogFormat::Asc, text);
    ASSERT_TRUE(back.ok) << back.error;
    ASSERT_EQ(back.frames.size(), 2u);
    EXPECT_EQ(back.frames[1].time + *back.origin, 1699999999000000LL) << text;
}

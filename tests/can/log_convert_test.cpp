// Converting log files: exact both ways where the formats allow, the format
// told by the content or the name, and a failure that names the line and
// leaves the output as it was.

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "can/frame_list.h"
#include "can/frame_log_file.h"
#include "can/frame_text.h"
#include "can/log_convert.h"
#include "log_test_support.h"
#include "test_files.h"

namespace {

// A folder of its own per test, so that left-over files show.
class Folder {
public:
    Folder() {
        char name[] = "/tmp/sorvane_convert_XXXXXX";
        path_ = ::mkdtemp(name) != nullptr ? name : "/tmp";
    }
    ~Folder() {
        for (const std::string& entry : Entries()) {
            ::unlink(File(entry).c_str());
        }
        ::rmdir(path_.c_str());
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::string Put(const std::string& name, const std::string& text) const {
        std::ofstream(File(name), std::ios::binary) << text;
        return File(name);
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(path_.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..") {
                    names.push_back(name);
                }
            }
            ::closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

// Our candump text of a mixed capture: what the writer gives is what comes back.
const char kCandump[] =
    "(1700000000.000001) can0 123#010203 R\n"
    "(1700000000.100000) can1 18DAF110#1122334455667788 T\n"
    "(1700000000.200000) can0 00000012# R\n"
    "(1700000000.300000) can0 123#R R\n"
    "(1700000000.300100) can4 1AB#R4 T\n"
    "(1700000000.400000) can2 456##1000102030405060708090A0B R\n"
    "(1700000000.500000) can0 456##31122334455667788990011223344556677889900 T\n"
    "(1700000000.600000) can3 20000080#0000000000000000\n"
    "(1700000001.700000) can1 18DAF110##0 R\n";

const char kMonitor[] =
    "Chn Identifier Flg   DLC  D0...1...2...3...4...5...6..D7       Time     Dir\r\n"
    " 0    00000123         3  01  02  03                           1.500000 R\r\n"
    " 1    18DAF110  E      8  11  22  33  44  55  66  77  88       1.600000 T\r\n"
    " 4    000001AB  R      4  00  00  00  00                       1.700000 R\r\n"
    " 2    00000456  FB    14  00  01  02  03  04  05  06  07    4294.967295 T\r\n"
    "                          08  09  0A  0B  0C  0D  0E  0F\r\n"
    "                          10  11  12  13\r\n"
    " 3    1FFFFFFF  EF     0  00                                5000.000000 R\r\n";

}  // namespace

// Through another format and back gives the same file, byte for byte.
TEST(LogConvert, RoundTripsGiveTheSameFile) {
    ::setenv("TZ", "Europe/Berlin", 1);  // a date in local time, with its summer time
    ::tzset();
    struct Case {
        const char* text;
        const char* name;
        std::vector<const char*> through;
    } cases[] = {
        {kCandump, "in.log", {"a.asc"}},
        {kCandump, "in.log", {"a.asc", "b.log", "c.asc"}},
        {kMonitor, "in.txt", {"a.log"}},
        {kMonitor, "in.txt", {"a.asc"}},
    };
    for (const Case& c : cases) {
        Folder folder;
        std::string from = folder.Put(c.name, c.text);
        for (const char* step : c.through) {
            const LogConversion r = ConvertLogFile(from, folder.File(step), {}, {});
            ASSERT_TRUE(r.ok) << r.error;
            from = folder.File(step);
        }
        const std::string back = folder.File(std::string("back-") + c.name);
        const LogConversion r = ConvertLogFile(from, back, {}, {});
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(ReadFile(back), c.text) << c.name << " through " << c.through.back() << "\n"
                                          << ReadFile(from);
    }
    ::unsetenv("TZ");
    ::tzset();
}

// The content tells the format before the name; the output's name tells its
// format, else it is the monitor log; what could not be kept is reported.
TEST(LogConvert, FormatsAreToldAndLossesReported) {
    Folder folder;
    const std::string candumpAsTxt = folder.Put("capture.txt", kCandump);
    LogConversion r = ConvertLogFile(candumpAsTxt, folder.File("out.dat"), {}, {});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.from, LogFormat::Candump);
    EXPECT_EQ(r.to, LogFormat::Monitor);
    EXPECT_EQ(r.frames, 8u);  // the error frame is left out
    ASSERT_EQ(r.notes.size(), 2u);
    EXPECT_EQ(r.notes[0], "1 error frame left out: the monitor log has no form for error frames");
    EXPECT_EQ(r.notes[1],
              "the error state indicator of 1 frame not kept: the monitor log has no form for it");
    EXPECT_EQ(
        ReadFile(folder.File("out.dat"))
            .rfind(
                "Chn Identifier Flg   DLC  D0...1...2...3...4...5...6..D7       Time     Dir\r\n",
                0),
        0u);

    // An empty file has no content to tell; its name does, or --from.
    const std::string empty = folder.Put("empty.asc", "");
    r = ConvertLogFile(empty, folder.File("empty.log"), {}, {});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.from, LogFormat::Asc);
    EXPECT_EQ(ReadFile(folder.File("empty.log")), "");
    const std::string unknown = folder.Put("empty", "");
    r = ConvertLogFile(unknown, folder.File("x.txt"), {}, {});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("give --from"), std::string::npos) << r.error;
    r = ConvertLogFile(unknown, folder.File("x.asc"), LogFormat::Candump, {});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_NE(ReadFile(folder.File("x.asc")).find("End TriggerBlock\r\n"), std::string::npos);

    // Given formats win over content and names.
    r = ConvertLogFile(candumpAsTxt, folder.File("forced.txt"), LogFormat::Candump, LogFormat::Asc);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.to, LogFormat::Asc);
    EXPECT_EQ(ReadFile(folder.File("forced.txt")).rfind("date ", 0), 0u);
    r = ConvertLogFile(candumpAsTxt, folder.File("wrong.txt"), LogFormat::Monitor, {});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("capture.txt: line 1: channel '(1700000000.000001)'"), std::string::npos)
        << r.error;

    // Lines passed over and an unreadable date are reported, the frames kept.
    const std::string asc = folder.Put("events.asc",
                                       "date someday\nbase hex  timestamps absolute\n"
                                       "   0.5 1  Statistic: D 0 R 0\n   1.0 1  123 Rx d 1 AA\n");
    r = ConvertLogFile(asc, folder.File("events.log"), {}, {});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.frames, 1u);
    ASSERT_EQ(r.notes.size(), 2u);
    EXPECT_NE(r.notes[0].find("line 1: date 'someday' not understood"), std::string::npos);
    EXPECT_NE(r.notes[1].find("1 line without a frame passed over, the first at line 3"),
              std::string::npos);
    EXPECT_EQ(ReadFile(folder.File("events.log")), "(0000000001.000000) can0 123#AA R\n");
}

// A conversion that fails names the file and line, writes nothing and
// leaves an existing output as it was: also when the bad line comes after
// more than a write buffer of good ones.
TEST(LogConvert, FailureLeavesTheOutputAsItWas) {
    Folder folder;
    std::string big;
    for (int i = 0; i < 60000; ++i) {
        big += "(1700000000.000001) can0 123#0102030405060708 R\n";
    }
    struct Case {
        std::string text;
        const char* message;
    } cases[] = {
        {big + "(1700000000.000002) can0 123#01020 R\n",
         "in.log: line 60001: data that are not hex byte pairs in '123#01020'"},
        {big + "(1700000000.000002) can0 123#" + std::string(70000, '0'),
         "in.log: line 60001: longer than 65536 characters"},
        {big + std::string("(1.0) can0 123#\0\1\2 binary", 25),
         "in.log: line 60001: not text: a byte 00 at column 16"},
    };
    for (const Case& c : cases) {
        const std::string in = folder.Put("in.log", c.text);
        const std::string out = folder.Put("out.asc", "what was there");
        const LogConversion r = ConvertLogFile(in, out, {}, {});
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
        EXPECT_TRUE(ReadFile(out) == "what was there");
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"in.log", "out.asc"}));
    }
    LogConversion r = ConvertLogFile(folder.File("missing.log"), folder.File("x.asc"), {}, {});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("missing.log: cannot be opened"), std::string::npos) << r.error;
    r = ConvertLogFile(folder.File("in.log"), folder.File("no/such/x.asc"), {}, {});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("x.asc: cannot be created"), std::string::npos) << r.error;
}

// The live log and the saved list in the other formats: ASC with its head
// and end, candump appended to what the file held, the monitor log unchanged.
TEST(LogConvert, LiveLogAndSaveWriteTheChosenFormat) {
    Folder folder;
    FrameList frames;
    const std::vector<LogFrame> sent = {
        log_test::Frame(1500000, 0, 0x123, 0, {1, 2, 3}),
        log_test::Frame(1600000, 1, 0x18DAF110, kMsgExt | kFdMsgFdf | kFdMsgBrs,
                        log_test::Bytes(20, 0), kDirectionTransmitted),
        log_test::Frame(1700000, 2, 0, kMsgErrorFrame, {}),
    };
    for (const LogFrame& f : sent) {
        ASSERT_TRUE(frames.Append(f.record));
    }
    for (const LogFormat format : {LogFormat::Candump, LogFormat::Asc, LogFormat::Monitor}) {
        SCOPED_TRACE(LogFormatName(format));
        const std::string live = folder.Put("live", "old line\n");
        FrameLogFile file;
        ASSERT_TRUE(file.Open(live, format));
        for (const LogFrame& f : sent) {
            file.WriteFrame(f.record);
        }
        ASSERT_TRUE(file.Close());
        const std::string saved = folder.File("saved");
        ASSERT_TRUE(SaveFrameListToFile(frames, saved, nullptr, format));

        const std::string text = ReadFile(live);
        // Appending: candump and the monitor log keep what was there; an ASC
        // log starts anew, as a second head would make it no ASC log.
        EXPECT_EQ(text.rfind("old line\n", 0) == 0, format != LogFormat::Asc) << text;
        const std::string body = format == LogFormat::Asc ? text : text.substr(9);
        const log_test::ReadResult back = log_test::Read(format, body);
        ASSERT_TRUE(back.ok) << back.error << "\n" << body;
        // The monitor log shows the error frame as a frame of identifier 0.
        ASSERT_EQ(back.frames.size(), 3u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(log_test::Show(back.frames[i]), log_test::Show(sent[i]));
        }
        const std::string savedText = ReadFile(saved);
        if (format == LogFormat::Asc) {
            // The same but for the date of writing.
            EXPECT_EQ(savedText.substr(savedText.find("base")), text.substr(text.find("base")));
            EXPECT_EQ(text.substr(text.size() - 18), "End TriggerBlock\r\n");
        } else if (format == LogFormat::Candump) {
            EXPECT_EQ(savedText, body);
        } else {
            EXPECT_EQ(savedText, std::string(kMonitorHeaderText) + "\r\n" + body);
        }
    }
}

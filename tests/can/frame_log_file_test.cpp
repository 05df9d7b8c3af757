// Log files: lines written in batches, write failures, and saves that fail
// without touching the file they were to replace.

#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "can/frame_list.h"
#include "can/frame_log_file.h"
#include "can/frame_text.h"
#include "test_files.h"

namespace {

off_t FileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

// A folder of its own per test, so that left-over files show.
class Folder {
public:
    Folder() {
        char name[] = "/tmp/sorvane_logfile_XXXXXX";
        path_ = ::mkdtemp(name) != nullptr ? name : "/tmp";
    }
    ~Folder() {
        for (const std::string& entry : Entries())
            ::unlink((path_ + "/" + entry).c_str());
        ::rmdir(path_.c_str());
    }
    std::string File(const char* name) const { return path_ + "/" + name; }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(path_.c_str())) {
            while (dirent* e = ::readdir(d)) {
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                    names.emplace_back(e->d_name);
            }
            ::closedir(d);
        }
        return names;
    }

private:
    std::string path_;
};

// Runs body with a resource limit lowered; writes beyond a file-size limit
// then fail (the signal they raise is ignored meanwhile).
void WithLimit(int resource, rlim_t value, const std::function<void()>& body) {
    rlimit saved{};
    ::getrlimit(resource, &saved);
    void (*previous)(int) = ::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved;
    lowered.rlim_cur = value;
    ASSERT_EQ(::setrlimit(resource, &lowered), 0);
    body();
    ::setrlimit(resource, &saved);
    ::signal(SIGXFSZ, previous);
}

CanFrameRecord Frame(uint32_t i) {
    CanFrameRecord r{};
    r.id = 0x100 + (i & 0x3F);
    r.dlc = i % 3 == 0 ? 20 : 8;  // some CAN FD lines with continuation rows
    r.flags = i % 3 == 0 ? kFdMsgFdf : kMsgStd;
    r.timestamp = i * 47;
    r.direction = kDirectionReceived;
    r.status = kStatusOk;
    r.data[0] = static_cast<uint8_t>(i);
    return r;
}

void Fill(FrameList& frames, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        frames.Append(Frame(i));
}

std::string Expected(const FrameList& frames) {
    std::string text = std::string(kMonitorHeaderText) + "\r\n";
    for (size_t i = 0; i < frames.Size(); ++i)
        AppendFrameLine(text, frames.At(i), "\r\n"), text += "\r\n";
    return text;
}

}  // namespace

TEST(FrameLogFileBatch, LinesWaitForFlushAndReachTheFileTogether) {
    Folder folder;
    const std::string path = folder.File("live.log");
    FrameLogFile file;
    ASSERT_TRUE(file.Open(path));
    std::string expected;
    for (uint32_t i = 0; i < 50; ++i) {
        file.AddFrame(Frame(i));
        AppendFrameLine(expected, Frame(i), "\r\n");
        expected += "\r\n";
    }
    file.AddLine("two\nrows");
    expected += "two\r\nrows\r\n";
    EXPECT_EQ(file.Pending(), expected.size());
    EXPECT_EQ(FileSize(path), 0);  // nothing before the flush
    ASSERT_TRUE(file.Flush());
    EXPECT_EQ(file.Pending(), 0u);
    EXPECT_EQ(ReadFile(path), expected);
    // Close writes what still waits.
    file.AddFrame(Frame(99));
    ASSERT_TRUE(file.Close());
    AppendFrameLine(expected, Frame(99), "\r\n");
    EXPECT_EQ(ReadFile(path), expected + "\r\n");
}

TEST(FrameLogFileBatch, AFailedWriteDropsTheBatchAndEveryLaterLine) {
    Folder folder;
    const std::string path = folder.File("full.log");
    FrameLogFile file;
    ASSERT_TRUE(file.Open(path));
    WithLimit(RLIMIT_FSIZE, 1000, [&] {
        for (uint32_t i = 0; i < 100; ++i)
            file.AddFrame(Frame(i));
        EXPECT_FALSE(file.Flush());
    });
    EXPECT_TRUE(file.Failed());
    EXPECT_EQ(file.Pending(), 0u);
    file.AddFrame(Frame(1));
    EXPECT_EQ(file.Pending(), 0u);  // not even gathered
    EXPECT_FALSE(file.WriteLine("lost"));
    EXPECT_LE(FileSize(path), 1000);
}

TEST(FrameListSave, LargeListThroughTheBufferWithProgressForEveryRecord) {
    Folder folder;
    const std::string path = folder.File("saved.log");
    { std::ofstream(path, std::ios::binary) << "old\r\n"; }
    FrameList frames;
    Fill(frames, 40000);  // several buffers full
    size_t calls = 0;
    size_t last = 0;
    bool ordered = true;
    ASSERT_TRUE(SaveFrameListToFile(frames, path, [&](size_t n, size_t count) {
        ordered = ordered && n == last + 1 && count == 40000;
        last = n;
        ++calls;
    }));
    EXPECT_TRUE(ordered);
    EXPECT_EQ(calls, 40000u);
    EXPECT_EQ(ReadFile(path), Expected(frames));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"saved.log"});
}

// Whatever fails, the file that was there stays as it was and no half-written
// file is left beside it.
TEST(FrameListSave, AFailedSaveKeepsTheOldFileAndLeavesNothingBehind) {
    FrameList frames;
    Fill(frames, 20000);
    struct Case {
        const char* what;
        std::function<bool(const std::string& path)> save;
    } cases[] = {
        {"write error",
         [&](const std::string& path) {
             bool saved = true;
             WithLimit(RLIMIT_FSIZE, 100000,
                       [&] { saved = SaveFrameListToFile(frames, path, nullptr); });
             return saved;
         }},
        {"no new file",
         [&](const std::string& path) {
             bool saved = true;
             // No descriptor left: the file beside the old one cannot be opened.
             WithLimit(RLIMIT_NOFILE, 3,
                       [&] { saved = SaveFrameListToFile(frames, path, nullptr); });
             return saved;
         }},
    };
    for (const Case& c : cases) {
        Folder folder;
        const std::string path = folder.File("kept.log");
        { std::ofstream(path, std::ios::binary) << "the old save\r\n"; }
        EXPECT_FALSE(c.save(path)) << c.what;
        EXPECT_EQ(ReadFile(path), "the old save\r\n") << c.what;
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"kept.log"}) << c.what;
    }
    // A folder of that name cannot be replaced; a missing folder holds nothing.
    Folder folder;
    const std::string dir = folder.File("a-folder");
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    EXPECT_FALSE(SaveFrameListToFile(frames, dir, nullptr));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"a-folder"});
    EXPECT_FALSE(SaveFrameListToFile(frames, folder.File("missing/x.log"), nullptr));
}

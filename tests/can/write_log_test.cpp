#include "can/write_log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Captured {
    std::mutex mutex;
    std::vector<std::pair<int, std::string>> lines;
};

}  // namespace

TEST(WriteLog, FormatsIntoTheInstalledSink) {
    Captured captured;
    SetLogSink([&](int level, const std::string& text) {
        std::lock_guard<std::mutex> lock(captured.mutex);
        captured.lines.emplace_back(level, text);
    });
    WriteLog(kLogError, "CAN%d [%s] %s\n", 3, "canOpenChannel", "invalid handle");
    WriteLog(kLogWarning, "CAN%d %s\n", 2, "Busload Over Threshould. (85%)");
    SetLogSink(nullptr);
    WriteLog(kLogInfo, "after the sink is gone this goes to stderr\n");
    ASSERT_EQ(captured.lines.size(), 2u);
    EXPECT_EQ(captured.lines[0].first, kLogError);
    EXPECT_EQ(captured.lines[0].second, "CAN3 [canOpenChannel] invalid handle\n");
    EXPECT_EQ(captured.lines[1].first, kLogWarning);
    EXPECT_EQ(captured.lines[1].second, "CAN2 Busload Over Threshould. (85%)\n");
}

TEST(WriteLog, SinkReplacedWhileThreadsLogLosesAndDuplicatesNothing) {
    std::atomic<int> first{0}, second{0};
    SetLogSink([&](int, const std::string&) { first.fetch_add(1); });
    constexpr int kThreads = 4, kLines = 2000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kLines; ++i)
                WriteLog(kLogDebug, "line %d\n", i);
        });
    }
    SetLogSink([&](int, const std::string&) { second.fetch_add(1); });
    for (auto& t : threads)
        t.join();
    SetLogSink(nullptr);
    EXPECT_EQ(first.load() + second.load(), kThreads * kLines);
}

TEST(WriteLog, ASinkThatLogsDoesNotDeadlock) {
    int calls = 0;
    SetLogSink([&](int, const std::string&) {
        ++calls;
        WriteLog(kLogDebug, "nested line goes to stderr\n");
    });
    WriteLog(kLogInfo, "outer\n");
    SetLogSink(nullptr);
    EXPECT_EQ(calls, 1);
}

#pragma once

#include <dlfcn.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <memory>

#include "can/can_config.h"
#include "can/can_manager.h"
#include "can/write_log.h"

// Our libcanlib.so.1 with its test controls, resolved from the same file the
// manager loads (the loader shares one copy of it).
struct Vcan {
    explicit Vcan(const char* path) : module(dlopen(path, RTLD_NOW)) {
        if (module == nullptr)
            return;
        Get(configure, "vcanTestConfigure");
        Get(inject, "vcanTestInjectFrame");
        Get(present, "vcanTestSetChannelPresent");
        Get(failNext, "vcanTestFailNext");
        Get(busLoad, "vcanTestSetBusLoad");
        Get(errorCounters, "vcanTestSetErrorCounters");
        Get(errorText, "canGetErrorText");
        Get(openChannel, "canOpenChannel");
        Get(closeChannel, "canClose");
    }
    ~Vcan() {
        if (module != nullptr)
            dlclose(module);
    }
    template <typename Fn>
    void Get(Fn& fn, const char* name) {
        fn = reinterpret_cast<Fn>(dlsym(module, name));
    }
    bool Ready() const { return module && configure && inject && failNext && busLoad && errorText; }
    std::string Text(int status) const {
        char buf[512] = {};
        errorText(status, buf, sizeof buf);
        return buf;
    }

    void* module;
    int (*configure)(const char*) = nullptr;
    int (*inject)(int, long, const void*, unsigned, unsigned) = nullptr;
    int (*present)(int, int) = nullptr;
    int (*failNext)(const char*, int, int) = nullptr;
    int (*busLoad)(int, long) = nullptr;
    int (*errorCounters)(int, unsigned, unsigned, unsigned) = nullptr;
    int (*errorText)(int, char*, unsigned) = nullptr;
    int (*openChannel)(int, int) = nullptr;
    int (*closeChannel)(int) = nullptr;
};

// Collects every output-log line while alive.
class LogCapture {
public:
    LogCapture() {
        SetLogSink([this](int level, const std::string& text) {
            std::lock_guard<std::mutex> hold(mutex_);
            lines_.emplace_back(level, text);
        });
    }
    ~LogCapture() { SetLogSink(nullptr); }
    std::vector<std::pair<int, std::string>> Take() {
        std::lock_guard<std::mutex> hold(mutex_);
        return std::exchange(lines_, {});
    }
    size_t Count(int level, const std::string& text) {
        std::lock_guard<std::mutex> hold(mutex_);
        size_t n = 0;
        for (const auto& [l, t] : lines_)
            n += (l == level && t == text) ? 1 : 0;
        return n;
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<int, std::string>> lines_;
};

inline ChannelSettings Classic500k() {
    return ChannelSettings{1, kChannelModeCan, {500000, 13, 2, 1, 1, 0}, {0, 0, 0, 0, 0, 0}};
}
inline ChannelSettings Fd500k2M() {
    return ChannelSettings{
        1, kChannelModeCanFd, {500000, 63, 16, 16, 1, 0}, {2000000, 15, 4, 4, 1, 0}};
}

inline CanConfig Config(std::initializer_list<std::pair<int, ChannelSettings>> channels,
                        uint32_t threshold = 80) {
    CanConfig config{};
    for (const auto& [index, settings] : channels)
        config.can[index] = settings;
    config.busLoadThreshold = threshold;
    return config;
}

// Waits for a condition that the workers make true; the deadline only keeps a
// broken build from hanging.
inline bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

using Lines = std::vector<std::pair<int, std::string>>;

#ifdef SORVANE_TEST_CANLIB
// The manager on the library under test, with every output-log line captured.

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!vcan.Ready())
            GTEST_SKIP() << "libcanlib test controls not found at " << SORVANE_TEST_CANLIB;
        ASSERT_EQ(vcan.configure("[vcan]\nchannels = 5\n"), 0);
    }
    void TearDown() override {
        if (vcan.Ready())
            vcan.configure(nullptr);
    }
    std::unique_ptr<CCanManager> Make(CanConfig config) {
        current = config;
        return std::make_unique<CCanManager>([this] { return current; }, SORVANE_TEST_CANLIB);
    }
    void Inject(int channel, uint32_t id, unsigned dlc = 8, unsigned flags = kMsgStd) {
        const uint8_t data[64] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
        ASSERT_GE(vcan.inject(channel, static_cast<long>(id), data, dlc, flags), 0);
    }
    static std::string Line(int ch, const char* entry, const std::string& text) {
        return "CAN" + std::to_string(ch) + " [" + entry + "] " + text + "\n";
    }
    Vcan vcan{SORVANE_TEST_CANLIB};
    CanConfig current{};
    LogCapture log;
};
#endif  // SORVANE_TEST_CANLIB

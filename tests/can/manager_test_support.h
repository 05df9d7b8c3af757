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

#include "can/can_config.h"
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

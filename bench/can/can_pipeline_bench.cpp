// Prints the receive pipeline's throughput (library -> receive workers ->
// frame list + message-info table [+ live log]) with five channels at once,
// five channels at the bus limit with and without the live log, the save of a
// million frames, and the frame list's memory per stored frame. Figures, not
// pass/fail.
//
// usage: can_pipeline_bench [library-file] [frames-per-channel] [bus-limit-seconds]

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "can/can_manager.h"
#include "can/frame_text.h"
#include "can/write_log.h"

namespace {

using Inject = int (*)(int, long, const void*, unsigned, unsigned);
using Configure = int (*)(const char*);

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Pipeline(const std::string& library, Inject inject, size_t perChannel, bool logOn) {
    CanConfig config{};
    for (auto& ch : config.can)
        ch = ChannelSettings{1, kChannelModeCan, {500000, 13, 2, 1, 1, 0}, {}};
    config.busLoadThreshold = 80;
    SetLogSink([](int, const std::string&) {});
    CCanManager manager([config] { return config; }, library);
    if (manager.Start() != 1) {
        std::printf("start failed\n");
        return;
    }
    const std::string logPath = "/tmp/sorvane_bench_" + std::to_string(getpid()) + ".log";
    if (logOn)
        manager.SetRealtimeLog(logPath);
    const size_t total = perChannel * kChannelCount;
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    // One injector per channel plays the bus; the library queues the frames and
    // the receive workers drain them concurrently. A real bus cannot run ahead
    // of its receivers without bound, and a full receive queue of the library
    // drops frames (an overrun) instead of refusing them, so the injectors keep
    // at most kAhead frames per channel ahead of what the workers have listed.
    // The window of all five stays below one receive queue (16384), so even a
    // channel whose worker gets no processor for a while cannot overrun.
    constexpr size_t kAhead = 2048;
    std::vector<std::thread> injectors;
    std::atomic<size_t> offered{0};
    for (int c = 0; c < kChannelCount; ++c) {
        injectors.emplace_back([&, c] {
            const uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
            for (size_t i = 0; i < perChannel;) {
                if (offered.load(std::memory_order_relaxed) >=
                    manager.Frames().Size() + kAhead * kChannelCount) {
                    std::this_thread::yield();
                    continue;
                }
                if (inject(c, static_cast<long>(0x100 + (i & 0x3F)), data, 8, kMsgStd) > 0) {
                    ++i;
                    offered.fetch_add(1, std::memory_order_relaxed);
                } else {
                    std::this_thread::yield();  // refused: try again like a bus would
                }
            }
        });
    }
    for (auto& t : injectors)
        t.join();
    // Wait for the workers to list everything; frames the library dropped
    // never come, so the wait ends when nothing has arrived for a second.
    size_t seen = manager.Frames().Size();
    auto lastProgress = std::chrono::steady_clock::now();
    while (seen < total &&
           std::chrono::steady_clock::now() - lastProgress < std::chrono::seconds(1)) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (const size_t now = manager.Frames().Size(); now != seen) {
            seen = now;
            lastProgress = std::chrono::steady_clock::now();
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    manager.Stop();
    size_t lines = 0;
    if (logOn) {
        FILE* f = std::fopen(logPath.c_str(), "rb");
        for (int ch; f && (ch = std::fgetc(f)) != EOF;)
            lines += ch == '\n';
        if (f)
            std::fclose(f);
        ::unlink(logPath.c_str());
    }
    std::printf(
        "pipeline, live log %s: %zu frames in %.3f s = %.0f frames/s (offered %zu, listed %zu, "
        "logged %s), cpu %.2f s\n",
        logOn ? "on " : "off", total, seconds, total / seconds, offered.load(),
        manager.Frames().Size(), logOn ? std::to_string(lines).c_str() : "-", cpu);
    SetLogSink(nullptr);
}

// Five channels at the bus limit of 500 kbit/s (0-byte frames from the
// library's flood source, about 21 000 a second each) for some seconds: the
// processor time the program spends per second, with and without the live
// log, and whether the log holds every listed frame in order.
void BusLimit(const std::string& library, Configure configure, double seconds, bool logOn) {
    std::string ini = "[vcan]\nchannels = 5\n";
    for (int c = 1; c <= kChannelCount; ++c) {
        ini += "[CAN" + std::to_string(c) + "]\nbus = " + std::to_string(c) +
               "\nflood = 21000\nflood_length = 0\n";
    }
    configure(ini.c_str());
    CanConfig config{};
    for (auto& ch : config.can)
        ch = ChannelSettings{1, kChannelModeCan, {500000, 13, 2, 1, 1, 0}, {}};
    config.busLoadThreshold = 100;
    SetLogSink([](int, const std::string&) {});
    CCanManager manager([config] { return config; }, library);
    const std::string logPath = "/tmp/sorvane_bench_limit_" + std::to_string(getpid()) + ".log";
    ::unlink(logPath.c_str());
    if (logOn)
        manager.SetRealtimeLog(logPath);
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    if (manager.Start() != 1) {
        std::printf("start failed\n");
        return;
    }
    // The statistics window's refresh, twice a second.
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() < seconds) {
        manager.RefreshStatistics();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    manager.Stop();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    std::string verdict = "-";
    if (logOn) {
        // The log against the list, line by line.
        FILE* f = std::fopen(logPath.c_str(), "rb");
        size_t matched = 0;
        std::string line;
        for (int ch; f && (ch = std::fgetc(f)) != EOF;) {
            line += static_cast<char>(ch);
            if (ch != '\n')
                continue;
            if (matched < manager.Frames().Size() &&
                line == FormatFrameLine(manager.Frames().At(matched)) + "\r\n")
                ++matched;
            else
                break;
            line.clear();
        }
        if (f)
            std::fclose(f);
        ::unlink(logPath.c_str());
        verdict = matched == manager.Frames().Size() ? "every frame, in order"
                                                     : "MISSING from " + std::to_string(matched);
    }
    std::printf(
        "bus limit, 5 channels, live log %s: %zu frames in %.1f s, cpu %.3f s per second; log: "
        "%s\n",
        logOn ? "on " : "off", manager.Frames().Size(), wall, cpu / wall, verdict.c_str());
    SetLogSink(nullptr);
}

// The whole list to a file, as the monitor's save does.
void Save(size_t frames) {
    FrameList list;
    CanFrameRecord record{};
    record.dlc = 8;
    record.direction = kDirectionReceived;
    for (size_t i = 0; i < frames; ++i) {
        record.id = static_cast<uint32_t>(0x100 + (i & 0x3F));
        record.timestamp = static_cast<uint32_t>(i * 47);
        record.data[0] = static_cast<uint8_t>(i);
        list.Append(record);
    }
    const std::string path = "/tmp/sorvane_bench_save_" + std::to_string(getpid()) + ".log";
    const auto t0 = std::chrono::steady_clock::now();
    const bool saved = SaveFrameListToFile(list, path, [](size_t, size_t) {});
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    struct stat info {};
    ::stat(path.c_str(), &info);
    ::unlink(path.c_str());
    std::printf("save of the frame list: %zu frames, %.1f MB in %.3f s%s\n", frames,
                static_cast<double>(info.st_size) / 1e6, seconds, saved ? "" : " (FAILED)");
}

void Memory(size_t frames) {
    const long before = PeakRssKb();
    FrameList list;
    CanFrameRecord record{};
    for (size_t i = 0; i < frames; ++i) {
        record.id = static_cast<uint32_t>(i);
        list.Append(record);
    }
    const long after = PeakRssKb();
    std::printf(
        "frame list: %zu frames, %.2f bytes per frame held, peak RSS growth %.1f MiB (record %zu "
        "bytes)\n",
        frames, static_cast<double>(list.StorageBytes()) / frames, (after - before) / 1024.0,
        sizeof(CanFrameRecord));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string library = argc > 1 ? argv[1] : SORVANE_BENCH_CANLIB;
    const size_t perChannel = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 400000;
    void* module = dlopen(library.c_str(), RTLD_NOW);
    Inject inject =
        module ? reinterpret_cast<Inject>(dlsym(module, "vcanTestInjectFrame")) : nullptr;
    Configure configure =
        module ? reinterpret_cast<Configure>(dlsym(module, "vcanTestConfigure")) : nullptr;
    if (inject == nullptr || configure == nullptr) {
        std::printf("no test controls in %s\n", library.c_str());
        return 1;
    }
    configure("[vcan]\nchannels = 5\n");
    std::printf("library: %s\n", library.c_str());
    Pipeline(library, inject, perChannel, false);
    Pipeline(library, inject, perChannel / 4, true);
    const double limitSeconds = argc > 3 ? std::strtod(argv[3], nullptr) : 10.0;
    BusLimit(library, configure, limitSeconds, false);
    BusLimit(library, configure, limitSeconds, true);
    configure("[vcan]\nchannels = 5\n");
    Save(1000000);
    Memory(10000000);
    return 0;
}

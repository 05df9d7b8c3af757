// Frames per second through the CAN interface library: a flood source read with canRead,
// canWrite to canRead on one thread, and a writer and a reader thread waking on the event.
// Run: canlib_bench [--seconds S] [--library PATH]
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "canlib.h"
#include "canlib_testctl.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Api {
    decltype(&::vcanTestConfigure) configure = nullptr;
    decltype(&::canOpenChannel) open = nullptr;
    decltype(&::canSetBusParams) setBusParams = nullptr;
    decltype(&::canBusOn) busOn = nullptr;
    decltype(&::canWrite) write = nullptr;
    decltype(&::canRead) read = nullptr;
    decltype(&::canIoCtl) ioCtl = nullptr;
    decltype(&::canClose) close = nullptr;
};

template <typename F>
bool Resolve(void* module, const char* name, F* out) {
    *out = reinterpret_cast<F>(dlsym(module, name));
    if (*out == nullptr)
        std::fprintf(stderr, "canlib_bench: %s not found\n", name);
    return *out != nullptr;
}

canHandle OpenOnBus(const Api& api, int channel) {
    const canHandle h = api.open(channel, canOPEN_ACCEPT_VIRTUAL);
    if (h < 0 || api.setBusParams(h, canBITRATE_500K, 0, 0, 0, 0, 0) != canOK ||
        api.busOn(h) != canOK) {
        return -1;
    }
    return h;
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void Report(const char* what, uint64_t frames, double seconds) {
    std::printf("%-34s %12llu frames %7.3f s %10.2f M frames/s\n", what,
                static_cast<unsigned long long>(frames), seconds, frames / seconds / 1e6);
}

// A source that hands out frames as fast as canRead asks for them.
bool FloodToRead(const Api& api, double seconds) {
    if (api.configure("[CAN1]\nflood = max\nflood_id = 0x123\nflood_burst = 16777216\n") != canOK) {
        return false;
    }
    const canHandle h = OpenOnBus(api, 0);
    if (h < 0)
        return false;
    long id = 0;
    uint8_t data[64];
    unsigned dlc = 0, flags = 0;
    unsigned long time = 0;
    uint64_t frames = 0, empty = 0;
    const auto t0 = Clock::now();
    double elapsed = 0;
    do {
        for (int i = 0; i < 65536; ++i) {
            if (api.read(h, &id, data, &dlc, &flags, &time) == canOK) {
                ++frames;
            } else {
                ++empty;
            }
        }
        elapsed = Seconds(t0);
    } while (elapsed < seconds);
    Report("flood -> canRead", frames, elapsed);
    if (empty > 0)
        std::printf("  (%llu empty reads)\n", static_cast<unsigned long long>(empty));
    return true;
}

// Batches written on one handle and read back on another, on one thread.
bool WriteToRead(const Api& api, double seconds) {
    if (api.configure("[CAN2]\nrx_queue = 65536\n") != canOK)
        return false;
    const canHandle tx = OpenOnBus(api, 0);
    const canHandle rx = OpenOnBus(api, 1);
    if (tx < 0 || rx < 0)
        return false;
    uint8_t out[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    long id = 0;
    uint8_t data[64];
    unsigned dlc = 0, flags = 0;
    unsigned long time = 0;
    uint64_t frames = 0, lost = 0;
    const auto t0 = Clock::now();
    double elapsed = 0;
    do {
        for (int batch = 0; batch < 64; ++batch) {
            for (int i = 0; i < 1024; ++i)
                api.write(tx, 0x100 + (i & 0x3F), out, 8, canMSG_STD);
            for (int i = 0; i < 1024; ++i) {
                if (api.read(rx, &id, data, &dlc, &flags, &time) == canOK) {
                    ++frames;
                } else {
                    ++lost;
                }
            }
        }
        elapsed = Seconds(t0);
    } while (elapsed < seconds);
    Report("canWrite -> canRead (1 thread)", frames, elapsed);
    if (lost > 0)
        std::printf("  (%llu frames missing)\n", static_cast<unsigned long long>(lost));
    return true;
}

// A writer thread and a reader thread that waits on the handle's event, as the program reads.
bool WriteToReadThreads(const Api& api, double seconds) {
    if (api.configure("[CAN2]\nrx_queue = 1048576\n") != canOK)
        return false;
    const canHandle tx = OpenOnBus(api, 0);
    const canHandle rx = OpenOnBus(api, 1);
    if (tx < 0 || rx < 0)
        return false;
    uint8_t buf[8] = {};
    if (api.ioCtl(rx, canIOCTL_GET_EVENTHANDLE, buf, sizeof buf) != canOK)
        return false;
    int64_t fd64 = -1;
    std::memcpy(&fd64, buf, sizeof fd64);
    const int fd = static_cast<int>(fd64);
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> written{0};
    std::thread writer([&] {
        uint8_t out[8] = {};
        uint64_t n = 0;
        while (!stop.load(std::memory_order_relaxed)) {
            for (int i = 0; i < 256; ++i) {
                if (api.write(tx, 0x200, out, 8, canMSG_STD) == canOK)
                    ++n;
            }
        }
        written = n;
    });
    long id = 0;
    uint8_t data[64];
    unsigned dlc = 0, flags = 0;
    unsigned long time = 0;
    uint64_t frames = 0, overruns = 0;
    const auto t0 = Clock::now();
    double elapsed = 0;
    while ((elapsed = Seconds(t0)) < seconds) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10) != 1)
            continue;
        uint64_t counter = 0;
        if (::read(fd, &counter, sizeof counter) != 8)
            break;
        while (api.read(rx, &id, data, &dlc, &flags, &time) == canOK) {
            ++frames;
            if (flags & canMSGERR_SW_OVERRUN)
                ++overruns;
        }
    }
    stop = true;
    writer.join();
    Report("canWrite -> canRead (2 threads)", frames, elapsed);
    std::printf("  (%llu written, %llu reads flagged overrun)\n",
                static_cast<unsigned long long>(written.load()),
                static_cast<unsigned long long>(overruns));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 2.0;
    std::string path = SORVANE_BENCH_CANLIB;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atof(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--library") == 0) {
            path = argv[i + 1];
        } else {
            std::fprintf(stderr, "usage: canlib_bench [--seconds S] [--library PATH]\n");
            return 2;
        }
    }
    if (seconds <= 0)
        seconds = 2.0;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::fprintf(stderr, "canlib_bench: %s\n", dlerror());
        return 1;
    }
    Api api;
    if (!Resolve(module, "vcanTestConfigure", &api.configure) ||
        !Resolve(module, "canOpenChannel", &api.open) ||
        !Resolve(module, "canSetBusParams", &api.setBusParams) ||
        !Resolve(module, "canBusOn", &api.busOn) || !Resolve(module, "canWrite", &api.write) ||
        !Resolve(module, "canRead", &api.read) || !Resolve(module, "canIoCtl", &api.ioCtl) ||
        !Resolve(module, "canClose", &api.close)) {
        return 1;
    }
    std::printf("library: %s\n", path.c_str());
    bool ok = FloodToRead(api, seconds);
    ok = WriteToRead(api, seconds) && ok;
    ok = WriteToReadThreads(api, seconds) && ok;
    if (!ok)
        std::fprintf(stderr, "canlib_bench: a scenario could not be set up\n");
    return ok ? 0 : 1;
}

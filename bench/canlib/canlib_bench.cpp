// Frames per second through the CAN interface library alone: a flood source read with
// canRead, and canWrite on one channel read with canRead on another.
#include <dlfcn.h>

#include <chrono>
#include <cstdio>

#include "canlib.h"
#include "canlib_testctl.h"

namespace {

template <typename Fn>
Fn Sym(void* lib, const char* name) {
    return reinterpret_cast<Fn>(dlsym(lib, name));
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
    void* lib = dlopen(CANLIB_PATH, RTLD_NOW);
    if (!lib) {
        std::fprintf(stderr, "canlib_bench: %s\n", dlerror());
        return 1;
    }
    auto configure = Sym<decltype(&vcanTestConfigure)>(lib, "vcanTestConfigure");
    auto open = Sym<decltype(&canOpenChannel)>(lib, "canOpenChannel");
    auto busOn = Sym<decltype(&canBusOn)>(lib, "canBusOn");
    auto write = Sym<decltype(&canWrite)>(lib, "canWrite");
    auto read = Sym<decltype(&canRead)>(lib, "canRead");
    auto ioctl = Sym<decltype(&canIoCtl)>(lib, "canIoCtl");
    long id = 0;
    unsigned char data[64] = {};
    unsigned dlc = 0, flags = 0;
    unsigned long time = 0;

    configure("[CAN1]\nflood = max\nflood_burst = 65536\n");
    canHandle h = open(0, 0xA0);
    int64_t event = -1;
    ioctl(h, canIOCTL_GET_EVENTHANDLE, &event, sizeof event);
    busOn(h);
    const long floodFrames = 20000000;
    long got = 0;
    auto t0 = std::chrono::steady_clock::now();
    while (got < floodFrames) {
        if (read(h, &id, data, &dlc, &flags, &time) == canOK)
            ++got;
    }
    const double floodRate = static_cast<double>(got) / Seconds(t0);
    std::printf("flood producer -> canRead:   %8.2f million frames/s (%ld frames)\n",
                floodRate / 1e6, got);

    configure("");
    const canHandle tx = open(0, 0xA0);
    const canHandle rx = open(1, 0xA0);
    ioctl(rx, canIOCTL_GET_EVENTHANDLE, &event, sizeof event);
    busOn(tx);
    busOn(rx);
    const long frames = 10000000;
    long sent = 0, received = 0;
    t0 = std::chrono::steady_clock::now();
    while (received < frames) {
        // Batches of 256 keep the receive queue from overflowing.
        for (int i = 0; i < 256; ++i)
            sent += write(tx, 0x123, data, 8, 0) == canOK;
        while (read(rx, &id, data, &dlc, &flags, &time) == canOK)
            ++received;
    }
    const double rate = static_cast<double>(received) / Seconds(t0);
    std::printf("canWrite -> canRead:         %8.2f million frames/s (%ld frames, 2 channels)\n",
                rate / 1e6, received);
    return 0;
}

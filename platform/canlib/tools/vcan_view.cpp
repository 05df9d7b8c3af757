// sorvane-vcan-view: a console view of the virtual bus. Loads libcanlib.so.1 at run time as
// the program does, puts every channel on the bus and prints each frame on one line, with a
// summary of frames per second and bus load per channel once a second.
#include <dlfcn.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "canlib.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) {
    g_stop = 1;
}

struct Api {
    canStatus (*getNumberOfChannels)(int*);
    canHandle (*openChannel)(int, int);
    canStatus (*setBusParams)(canHandle, long, unsigned, unsigned, unsigned, unsigned, unsigned);
    canStatus (*setBusParamsFd)(canHandle, long, unsigned, unsigned, unsigned);
    canStatus (*ioCtl)(canHandle, unsigned, void*, unsigned);
    canStatus (*busOn)(canHandle);
    canStatus (*read)(canHandle, long*, void*, unsigned*, unsigned*, unsigned long*);
    canStatus (*requestStats)(canHandle);
    canStatus (*getStats)(canHandle, canBusStatistics*, size_t);
    canStatus (*getErrorText)(canStatus, char*, unsigned);
    canStatus (*close)(canHandle);
    canStatus (*unload)(void);
};

void* LoadLibrary() {
    if (void* lib = dlopen("libcanlib.so.1", RTLD_NOW))
        return lib;
    char exe[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return nullptr;
    std::string dir(exe, static_cast<size_t>(n));
    dir.erase(dir.rfind('/'));
    return dlopen((dir + "/../lib/sorvane/libcanlib.so.1").c_str(), RTLD_NOW);
}

template <typename Fn>
bool Resolve(void* lib, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(dlsym(lib, name));
    if (!fn)
        std::fprintf(stderr, "sorvane-vcan-view: libcanlib.so.1 lacks %s\n", name);
    return fn != nullptr;
}

std::string ErrorText(const Api& api, canStatus st) {
    char buf[512] = {};
    api.getErrorText(st, buf, sizeof buf);
    return buf;
}

std::string FlagText(unsigned flags) {
    std::string s;
    s += (flags & canMSG_EXT) ? "X" : "S";
    if (flags & canMSG_RTR)
        s += " RTR";
    if (flags & canFDMSG_FDF)
        s += " FD";
    if (flags & canFDMSG_BRS)
        s += " BRS";
    if (flags & canFDMSG_ESI)
        s += " ESI";
    if (flags & canMSG_ERROR_FRAME)
        s = "ERR";
    if (flags & canMSG_TXACK)
        s += " TXACK";
    if (flags & canMSGERR_SW_OVERRUN)
        s += " OVERRUN";
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 0;
    long bitrate = 500000;
    long dataBitrate = 2000000;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--help" || a == "-h") {
            std::printf(
                "usage: sorvane-vcan-view [--seconds N] [--quiet]\n"
                "Shows the traffic of the virtual bus (scenario: SORVANE_VCAN_CONFIG).\n"
                "Every channel runs CAN FD at 500 kbit/s / 2 Mbit/s, or classic CAN at\n"
                "500 kbit/s when it cannot. --quiet prints only the summaries.\n");
            return 0;
        } else {
            std::fprintf(stderr, "sorvane-vcan-view: unknown argument '%s' (see --help)\n",
                         a.c_str());
            return 2;
        }
    }
    void* lib = LoadLibrary();
    if (!lib) {
        std::fprintf(stderr, "sorvane-vcan-view: cannot load libcanlib.so.1: %s\n", dlerror());
        return 1;
    }
    Api api{};
    bool ok = Resolve(lib, "canGetNumberOfChannels", api.getNumberOfChannels) &&
              Resolve(lib, "canOpenChannel", api.openChannel) &&
              Resolve(lib, "canSetBusParams", api.setBusParams) &&
              Resolve(lib, "canIoCtl", api.ioCtl) && Resolve(lib, "canBusOn", api.busOn) &&
              Resolve(lib, "canRead", api.read) &&
              Resolve(lib, "canRequestBusStatistics", api.requestStats) &&
              Resolve(lib, "canGetBusStatistics", api.getStats) &&
              Resolve(lib, "canGetErrorText", api.getErrorText) &&
              Resolve(lib, "canClose", api.close) && Resolve(lib, "canUnloadLibrary", api.unload);
    if (!ok)
        return 1;
    api.setBusParamsFd =
        reinterpret_cast<decltype(api.setBusParamsFd)>(dlsym(lib, "canSetBusParamsFd"));
    int count = 0;
    if (const canStatus st = api.getNumberOfChannels(&count); st != canOK || count <= 0) {
        std::fprintf(stderr, "sorvane-vcan-view: no channels (%s)\n", ErrorText(api, st).c_str());
        return 1;
    }
    struct Chan {
        int index;
        canHandle handle;
        int fd;
        unsigned long frames;
        unsigned long lastTotal;
    };
    std::vector<Chan> chans;
    for (int c = 0; c < count; ++c) {
        bool fdMode = api.setBusParamsFd != nullptr;
        canHandle h = fdMode ? api.openChannel(c, 0x4A0) : -1;
        if (h < 0) {
            fdMode = false;
            h = api.openChannel(c, 0xA0);
        }
        if (h < 0) {
            std::printf("CAN%d: not opened: %s\n", c + 1, ErrorText(api, h).c_str());
            continue;
        }
        canStatus st = fdMode ? api.setBusParams(h, bitrate, 63, 16, 16, 0, 0)
                              : api.setBusParams(h, bitrate, 13, 2, 1, 0, 0);
        if (st == canOK && fdMode)
            st = api.setBusParamsFd(h, dataBitrate, 15, 4, 4);
        uint32_t scale = 1;
        if (st == canOK)
            st = api.ioCtl(h, canIOCTL_SET_TIMER_SCALE, &scale, sizeof scale);
        int64_t event = -1;
        if (st == canOK)
            st = api.ioCtl(h, canIOCTL_GET_EVENTHANDLE, &event, sizeof event);
        if (st == canOK)
            st = api.busOn(h);
        if (st != canOK) {
            std::printf("CAN%d: %s\n", c + 1, ErrorText(api, st).c_str());
            api.close(h);
            continue;
        }
        std::printf("CAN%d: on the bus, %s %ld bit/s%s\n", c + 1, fdMode ? "CAN FD" : "CAN",
                    bitrate, fdMode ? ", data 2000000 bit/s" : "");
        chans.push_back({c, h, static_cast<int>(event), 0, 0});
    }
    if (chans.empty())
        return 1;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    for (Chan& ch : chans)
        api.requestStats(ch.handle);

    const auto nowMs = [] {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
    };
    const double start = nowMs();
    double nextSummary = start + 1000;
    std::vector<pollfd> fds;
    for (const Chan& ch : chans)
        fds.push_back({ch.fd, POLLIN, 0});
    while (!g_stop && (seconds <= 0 || nowMs() - start < seconds * 1000)) {
        poll(fds.data(), fds.size(), 100);
        for (size_t i = 0; i < chans.size(); ++i) {
            Chan& ch = chans[i];
            uint64_t drained = 0;
            if (fds[i].revents & POLLIN) {
                [[maybe_unused]] const ssize_t n = ::read(ch.fd, &drained, sizeof drained);
            }
            long id = 0;
            unsigned char data[64];
            unsigned dlc = 0, flags = 0;
            unsigned long time = 0;
            while (api.read(ch.handle, &id, data, &dlc, &flags, &time) == canOK) {
                ++ch.frames;
                if (quiet)
                    continue;
                char line[400];
                int len =
                    std::snprintf(line, sizeof line, "%10.6f  CAN%d  %*lX  %-10s %2u ",
                                  static_cast<double>(time) / 1e6, ch.index + 1,
                                  (flags & canMSG_EXT) ? 8 : 3, id, FlagText(flags).c_str(), dlc);
                const unsigned shown = (flags & (canMSG_RTR | canMSG_ERROR_FRAME)) ? 0 : dlc;
                for (unsigned b = 0; b < shown && len < static_cast<int>(sizeof line) - 4; ++b) {
                    len += std::snprintf(line + len, sizeof line - static_cast<size_t>(len),
                                         " %02X", data[b]);
                }
                std::puts(line);
            }
        }
        const double now = nowMs();
        if (now >= nextSummary) {
            std::string summary = "--";
            for (Chan& ch : chans) {
                canBusStatistics st{};
                api.requestStats(ch.handle);
                api.getStats(ch.handle, &st, sizeof st);
                char part[160];
                std::snprintf(part, sizeof part,
                              "  CAN%d: %lu frames/s, load %lu.%02lu %%, %lu error frames",
                              ch.index + 1, ch.frames - ch.lastTotal, st.busLoad / 100,
                              st.busLoad % 100, st.errFrame);
                ch.lastTotal = ch.frames;
                summary += part;
            }
            std::puts(summary.c_str());
            std::fflush(stdout);
            nextSummary += 1000;
            if (nextSummary < now)
                nextSummary = now + 1000;
        }
    }
    for (Chan& ch : chans)
        api.close(ch.handle);
    api.unload();
    return 0;
}

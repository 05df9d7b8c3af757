// Shows the traffic of the virtual bus: once a second a table per channel with the frame
// rate, bus load and error frames, and the last frame of every identifier with its cycle.
//   sorvane-vcan-view [--seconds N] [--frames]
// The library is the one named by SORVANE_CANLIB, else libcanlib.so.1 (ours, found through
// the program's RUNPATH); the scenario comes from SORVANE_VCAN_CONFIG.
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "canlib.h"

namespace {

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) {
    gStop = 1;
}

struct Api {
    void (*initialize)();
    canHandle (*open)(int, int);
    canStatus (*setBusParams)(canHandle, long, unsigned, unsigned, unsigned, unsigned, unsigned);
    canStatus (*setBusParamsFd)(canHandle, long, unsigned, unsigned, unsigned);
    canStatus (*busOn)(canHandle);
    canStatus (*close)(canHandle);
    canStatus (*read)(canHandle, long*, void*, unsigned*, unsigned*, unsigned long*);
    canStatus (*ioCtl)(canHandle, unsigned, void*, unsigned);
    canStatus (*channels)(int*);
    canStatus (*request)(canHandle);
    canStatus (*statistics)(canHandle, canBusStatistics*, size_t);
    canStatus (*errorText)(canStatus, char*, unsigned);
};

template <typename T>
bool Bind(void* lib, const char* name, T* out) {
    *out = reinterpret_cast<T>(dlsym(lib, name));
    if (*out == nullptr)
        std::fprintf(stderr, "sorvane-vcan-view: %s missing\n", name);
    return *out != nullptr;
}

struct IdState {
    unsigned flags = 0;
    unsigned dlc = 0;
    unsigned char data[64] = {};
    unsigned long count = 0;
    unsigned long lastTime = 0;  // microseconds
    double cycleMs = 0;
};

struct Channel {
    int index = 0;
    canHandle handle = -1;
    int eventFd = -1;
    bool fd = false;
    unsigned long frames = 0;  // this second
    std::map<std::tuple<bool, long>, IdState> ids;
};

std::string DataText(const IdState& s) {
    std::string out;
    const unsigned n =
        (s.flags & canMSG_RTR) ? 0 : ((s.flags & canFDMSG_FDF) ? s.dlc : (s.dlc > 8 ? 8 : s.dlc));
    char buf[4];
    for (unsigned i = 0; i < n && i < 16; ++i) {
        std::snprintf(buf, sizeof buf, "%02X ", s.data[i]);
        out += buf;
    }
    if (n > 16)
        out += "...";
    return out;
}

const char* KindText(unsigned flags) {
    if (flags & canMSG_ERROR_FRAME)
        return "ERR";
    if (flags & canMSG_RTR)
        return (flags & canMSG_EXT) ? "EXT-RTR" : "STD-RTR";
    if (flags & canFDMSG_FDF) {
        if (flags & canFDMSG_BRS)
            return (flags & canMSG_EXT) ? "EXT-FD-BRS" : "STD-FD-BRS";
        return (flags & canMSG_EXT) ? "EXT-FD" : "STD-FD";
    }
    return (flags & canMSG_EXT) ? "EXT" : "STD";
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = -1;
    bool printFrames = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--frames") == 0) {
            printFrames = true;
        } else {
            std::fprintf(stderr, "usage: sorvane-vcan-view [--seconds N] [--frames]\n");
            return 2;
        }
    }
    const char* libName = std::getenv("SORVANE_CANLIB");
    if (libName == nullptr || *libName == '\0')
        libName = "libcanlib.so.1";
    void* lib = dlopen(libName, RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) {
        std::fprintf(stderr, "sorvane-vcan-view: %s\n", dlerror());
        return 1;
    }
    Api api{};
    bool ok = Bind(lib, "canInitializeLibrary", &api.initialize) &&
              Bind(lib, "canOpenChannel", &api.open) &&
              Bind(lib, "canSetBusParams", &api.setBusParams) &&
              Bind(lib, "canBusOn", &api.busOn) && Bind(lib, "canClose", &api.close) &&
              Bind(lib, "canRead", &api.read) && Bind(lib, "canIoCtl", &api.ioCtl) &&
              Bind(lib, "canGetNumberOfChannels", &api.channels) &&
              Bind(lib, "canRequestBusStatistics", &api.request) &&
              Bind(lib, "canGetBusStatistics", &api.statistics) &&
              Bind(lib, "canGetErrorText", &api.errorText);
    if (!ok)
        return 1;
    api.setBusParamsFd =
        reinterpret_cast<decltype(api.setBusParamsFd)>(dlsym(lib, "canSetBusParamsFd"));
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    api.initialize();
    int count = 0;
    api.channels(&count);
    std::vector<Channel> channels;
    for (int i = 0; i < count && i < 5; ++i) {
        Channel ch;
        ch.index = i;
        // CAN FD where the channel has it (it hears classic frames as well), else classic.
        ch.handle = api.open(i, canOPEN_ACCEPT_VIRTUAL | canOPEN_CAN_FD);
        ch.fd = ch.handle >= 0 && api.setBusParamsFd != nullptr;
        if (ch.handle < 0)
            ch.handle = api.open(i, canOPEN_ACCEPT_VIRTUAL);
        if (ch.handle < 0) {
            char text[80];
            api.errorText(ch.handle, text, sizeof text);
            std::printf("CAN%d: %s\n", i + 1, text);
            continue;
        }
        unsigned scale = 1;
        api.ioCtl(ch.handle, canIOCTL_SET_TIMER_SCALE, &scale, sizeof scale);
        api.setBusParams(ch.handle, canBITRATE_500K, 0, 0, 0, 0, 0);
        if (ch.fd)
            api.setBusParamsFd(ch.handle, canFD_BITRATE_2M_80P, 0, 0, 0);
        int64_t fd = -1;
        api.ioCtl(ch.handle, canIOCTL_GET_EVENTHANDLE, &fd, sizeof fd);
        ch.eventFd = static_cast<int>(fd);
        api.busOn(ch.handle);
        api.request(ch.handle);
        channels.push_back(ch);
    }
    std::printf("Virtual bus: %d channels, scenario %s\n", count,
                std::getenv("SORVANE_VCAN_CONFIG") ? std::getenv("SORVANE_VCAN_CONFIG")
                                                   : "(none: no simulated nodes)");
    std::fflush(stdout);

    int elapsed = 0;
    unsigned char data[64];
    std::vector<pollfd> fds;
    for (const Channel& ch : channels)
        fds.push_back({ch.eventFd, POLLIN, 0});
    while (!gStop && (seconds < 0 || elapsed < seconds)) {
        const auto secondEnd = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (!gStop && std::chrono::steady_clock::now() < secondEnd) {
            poll(fds.data(), fds.size(), 100);
            for (size_t c = 0; c < channels.size(); ++c) {
                Channel& ch = channels[c];
                uint64_t drain;
                [[maybe_unused]] ssize_t n = read(ch.eventFd, &drain, sizeof drain);
                long id;
                unsigned dlc, flags;
                unsigned long t;
                while (api.read(ch.handle, &id, data, &dlc, &flags, &t) == canOK) {
                    ++ch.frames;
                    IdState& s =
                        ch.ids[{(flags & canMSG_EXT) != 0, (flags & canMSG_ERROR_FRAME) ? -1 : id}];
                    if (s.count > 0)
                        s.cycleMs =
                            static_cast<double>(static_cast<uint32_t>(t - s.lastTime)) / 1000.0;
                    s.lastTime = t;
                    ++s.count;
                    s.flags = flags;
                    s.dlc = dlc;
                    std::memcpy(s.data, data, sizeof data);
                    if (printFrames) {
                        std::printf("%12.6f CAN%d %08lX %-10s %2u  %s\n", t / 1e6, ch.index + 1, id,
                                    KindText(flags), dlc, DataText(s).c_str());
                    }
                }
            }
        }
        ++elapsed;
        std::printf("\n=== %d s\n", elapsed);
        for (Channel& ch : channels) {
            canBusStatistics st{};
            api.request(ch.handle);
            api.statistics(ch.handle, &st, sizeof st);
            std::printf("CAN%d %s  %5lu frames/s  load %5.1f %%  std %lu ext %lu rtr %lu err %lu\n",
                        ch.index + 1, ch.fd ? "FD " : "CAN", ch.frames, st.busLoad / 100.0,
                        st.stdData, st.extData, st.stdRemote + st.extRemote, st.errFrame);
            ch.frames = 0;
            for (const auto& [key, s] : ch.ids) {
                if (std::get<1>(key) < 0)
                    continue;
                std::printf("   %s%08lX %-10s %2u  %-49s %7lu  %8.1f ms\n",
                            std::get<0>(key) ? "x" : " ", std::get<1>(key), KindText(s.flags),
                            s.dlc, DataText(s).c_str(), s.count, s.cycleMs);
            }
        }
        std::fflush(stdout);
    }
    for (const Channel& ch : channels)
        api.close(ch.handle);
    return 0;
}

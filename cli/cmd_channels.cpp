// sorvane-cli channels: what the CAN library offers, and what stands behind each channel.

#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "can/can_manager.h"
#include "commands.h"

namespace {

// The library's description of a channel (canGetChannelData, item 13): for our library the
// virtual bus or the SocketCAN interface with its state. Beside the entry points the program
// binds, so looked up in the already loaded library; a library without it lists no names.
using GetChannelDataFn = int (*)(int channel, int item, void* buffer, size_t bufsize);
constexpr int kChannelDataChannelName = 13;

void PrintChannelNames(const CCanLib& lib, int count) {
    void* module = dlopen(lib.LibraryFile().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr) {
        return;
    }
    const auto getChannelData =
        reinterpret_cast<GetChannelDataFn>(dlsym(module, "canGetChannelData"));
    for (int channel = 0; getChannelData != nullptr && channel < count; ++channel) {
        char name[256] = {};
        const int status = getChannelData(channel, kChannelDataChannelName, name, sizeof name - 1);
        std::printf("CAN%d: %s\n", channel + 1,
                    status == kCanOk ? name : lib.CanErrorText(status).c_str());
    }
    dlclose(module);
}

int RunChannels(int argc, char** argv) {
    if (argc > 1) {
        const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        std::fprintf(help ? stdout : stderr, "usage: sorvane-cli channels\n");
        return help ? kExitOk : kExitUsage;
    }
    CCanManager manager;
    const CCanLib& lib = manager.Lib();
    if (!lib.IsCanLibLoaded()) {
        std::fprintf(stderr, "sorvane-cli channels: cannot load %s: %s\n",
                     lib.LibraryFile().c_str(), lib.LoadError().c_str());
        return kExitFailure;
    }
    int count = 0;
    const int status = lib.Api().canGetNumberOfChannels(&count);
    std::printf("library: %s\n", lib.LibraryFile().c_str());
    std::printf("version: 0x%08X\n", lib.LibraryVersion());
    std::printf("product version: 0x%08X\n", lib.ProductVersion());
    if (status != kCanOk) {
        std::printf("channels: unknown (%s)\n", lib.CanErrorText(status).c_str());
        return kExitFailure;
    }
    std::printf("channels: %d\n", count);
    PrintChannelNames(lib, count);
    return kExitOk;
}

const bool registered = RegisterCliCommand(
    {"channels",
     "sorvane-cli channels                 the CAN library's versions and channels, virtual or "
     "SocketCAN",
     &RunChannels});

}  // namespace

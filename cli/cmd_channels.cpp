// sorvane-cli channels: what the CAN library offers.

#include <cstdio>
#include <cstring>

#include "can/can_manager.h"
#include "commands.h"

namespace {

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
    return kExitOk;
}

const bool registered = RegisterCliCommand(
    {"channels",
     "sorvane-cli channels                 the CAN library's channel count and versions",
     &RunChannels});

}  // namespace

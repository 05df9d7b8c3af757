// The exported C entry points: argument checks that need no state, armed test failures, and
// the call into the virtual bus, or into the SocketCAN backend for the channels that the
// scenario maps to an interface and for their handles. Building with SORVANE_CANLIB_NO_FD gives the
// variant that lacks canSetBusParamsFd and canReadTimer, as an older library would.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "canlib.h"
#include "canlib_testctl.h"
#include "fail_injector.h"
#include "socketcan_bus.h"
#include "status_text.h"
#include "virtual_bus.h"

#ifndef SORVANE_CANLIB_VERSION_MAJOR
#define SORVANE_CANLIB_VERSION_MAJOR 1
#define SORVANE_CANLIB_VERSION_MINOR 0
#define SORVANE_CANLIB_VERSION_PATCH 0
#endif

namespace {

vcan::VirtualBus& Bus() {
    static vcan::VirtualBus bus;
    return bus;
}

vcan::SocketCanBus& Sockets() {
    static vcan::SocketCanBus sockets;
    return sockets;
}

// Channels whose SocketCAN socket a test control replaced by a socket of its own.
struct StandIns {
    std::mutex mutex;
    std::map<int, int> fds;  // channel -> our duplicate of the stand-in
};

StandIns& TestStandIns() {
    static StandIns standIns;
    return standIns;
}

void ClearStandIns() {
    StandIns& s = TestStandIns();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (const auto& entry : s.fds)
        close(entry.second);
    s.fds.clear();
}

// Opens the channel on SocketCAN when the scenario or a test maps it there; -1000 otherwise.
constexpr int kVirtualChannel = -1000;

int OpenSocketCan(int channel, int flags) {
    vcan::ChannelConfig config;
    vcan::SocketCanTarget target;
    bool present = false;
    if (!Bus().ChannelSetup(channel, &config, &target.stuffing, &present))
        return kVirtualChannel;
    target.txAck = config.txAck;
    {
        StandIns& s = TestStandIns();
        std::lock_guard<std::mutex> lock(s.mutex);
        const auto it = s.fds.find(channel);
        if (it != s.fds.end()) {
            target.standInFd = it->second;
            return Sockets().Open(channel, target, flags);
        }
    }
    if (config.socketcan.empty())
        return kVirtualChannel;
    target.interface = config.socketcan;
    return Sockets().Open(channel, target, flags);
}

// Every entry point that takes a handle goes to the backend that gave it out.
#define VCAN_ROUTE(hnd, call)             \
    do {                                  \
        if (vcan::IsSocketCanHandle(hnd)) \
            return Sockets().call;        \
    } while (0)

vcan::FailInjector& Failures() {
    static vcan::FailInjector failures;
    return failures;
}

#define VCAN_FAIL_POINT(name)                  \
    do {                                       \
        int injected_ = 0;                     \
        if (Failures().Take(name, &injected_)) \
            return injected_;                  \
    } while (0)

#define VCAN_FAIL_VALUE(name, value)           \
    do {                                       \
        int injected_ = 0;                     \
        if (Failures().Take(name, &injected_)) \
            return value;                      \
    } while (0)

}  // namespace

extern "C" {

CANLIB_API void canInitializeLibrary(void) {
    int ignored = 0;
    if (Failures().Take("canInitializeLibrary", &ignored))
        return;
    int count = 0;
    Bus().ChannelCount(&count);
}

CANLIB_API canStatus canClose(const canHandle hnd) {
    VCAN_FAIL_POINT("canClose");
    VCAN_ROUTE(hnd, Close(hnd));
    return Bus().Close(hnd);
}

CANLIB_API canStatus canBusOn(const canHandle hnd) {
    VCAN_FAIL_POINT("canBusOn");
    VCAN_ROUTE(hnd, BusOn(hnd));
    return Bus().BusOn(hnd);
}

CANLIB_API canStatus canBusOff(const canHandle hnd) {
    VCAN_FAIL_POINT("canBusOff");
    VCAN_ROUTE(hnd, BusOff(hnd));
    return Bus().BusOff(hnd);
}

CANLIB_API canStatus canSetBusParams(const canHandle hnd, long freq, unsigned int tseg1,
                                     unsigned int tseg2, unsigned int sjw, unsigned int noSamp,
                                     unsigned int syncmode) {
    VCAN_FAIL_POINT("canSetBusParams");
    (void)syncmode;  // synchronisation on both edges is not modelled
    VCAN_ROUTE(hnd, SetBusParams(hnd, freq, tseg1, tseg2, sjw, noSamp));
    return Bus().SetBusParams(hnd, freq, tseg1, tseg2, sjw, noSamp);
}

#ifndef SORVANE_CANLIB_NO_FD
CANLIB_API canStatus canSetBusParamsFd(const canHandle hnd, long freq_brs, unsigned int tseg1_brs,
                                       unsigned int tseg2_brs, unsigned int sjw_brs) {
    VCAN_FAIL_POINT("canSetBusParamsFd");
    VCAN_ROUTE(hnd, SetBusParamsFd(hnd, freq_brs, tseg1_brs, tseg2_brs, sjw_brs));
    return Bus().SetBusParamsFd(hnd, freq_brs, tseg1_brs, tseg2_brs, sjw_brs);
}
#endif

CANLIB_API canStatus canAccept(const canHandle hnd, const long envelope, const unsigned int flag) {
    VCAN_FAIL_POINT("canAccept");
    VCAN_ROUTE(hnd, Accept(hnd, envelope, flag));
    return Bus().Accept(hnd, envelope, flag);
}

CANLIB_API canStatus canReadErrorCounters(const canHandle hnd, unsigned int* txErr,
                                          unsigned int* rxErr, unsigned int* ovErr) {
    VCAN_FAIL_POINT("canReadErrorCounters");
    VCAN_ROUTE(hnd, ReadErrorCounters(hnd, txErr, rxErr, ovErr));
    return Bus().ReadErrorCounters(hnd, txErr, rxErr, ovErr);
}

CANLIB_API canStatus canWrite(const canHandle hnd, long id, void* msg, unsigned int dlc,
                              unsigned int flag) {
    VCAN_FAIL_POINT("canWrite");
    VCAN_ROUTE(hnd, Write(hnd, id, msg, dlc, flag));
    return Bus().Write(hnd, id, msg, dlc, flag);
}

CANLIB_API canStatus canRead(const canHandle hnd, long* id, void* msg, unsigned int* dlc,
                             unsigned int* flag, unsigned long* time) {
    VCAN_FAIL_POINT("canRead");
    VCAN_ROUTE(hnd, Read(hnd, id, msg, dlc, flag, time));
    return Bus().Read(hnd, id, msg, dlc, flag, time);
}

CANLIB_API canStatus canGetErrorText(canStatus err, char* buf, unsigned int bufsiz) {
    VCAN_FAIL_POINT("canGetErrorText");
    if (!buf || bufsiz == 0)
        return canERR_PARAM;
    char unknown[48];
    const char* text = vcan::StatusText(err, unknown, sizeof unknown);
    const size_t n = std::min<size_t>(std::strlen(text), bufsiz - 1);
    std::memcpy(buf, text, n);
    buf[n] = '\0';
    return canOK;
}

CANLIB_API unsigned short canGetVersion(void) {
    VCAN_FAIL_VALUE("canGetVersion", 0);
    return static_cast<unsigned short>((SORVANE_CANLIB_VERSION_MAJOR << 8) |
                                       SORVANE_CANLIB_VERSION_MINOR);
}

CANLIB_API unsigned int canGetVersionEx(unsigned int itemCode) {
    VCAN_FAIL_VALUE("canGetVersionEx", 0);
    switch (itemCode) {
        case canVERSION_CANLIB32_VERSION:
        case canVERSION_CANLIB32_PRODVER:
            return (SORVANE_CANLIB_VERSION_MAJOR << 8) | SORVANE_CANLIB_VERSION_MINOR;
        case canVERSION_CANLIB32_PRODVER32:
            return (SORVANE_CANLIB_VERSION_MAJOR << 16) | (SORVANE_CANLIB_VERSION_MINOR << 8) |
                   SORVANE_CANLIB_VERSION_PATCH;
        default:
            return 0;
    }
}

CANLIB_API canStatus canIoCtl(const canHandle hnd, unsigned int func, void* buf,
                              unsigned int buflen) {
    VCAN_FAIL_POINT("canIoCtl");
    VCAN_ROUTE(hnd, IoCtl(hnd, func, buf, buflen));
    return Bus().IoCtl(hnd, func, buf, buflen);
}

#ifndef SORVANE_CANLIB_NO_FD
CANLIB_API unsigned long canReadTimer(const canHandle hnd) {
    VCAN_FAIL_VALUE("canReadTimer", 0);
    VCAN_ROUTE(hnd, ReadTimer(hnd));
    return Bus().ReadTimer(hnd);
}
#endif

CANLIB_API canHandle canOpenChannel(int channel, int flags) {
    VCAN_FAIL_POINT("canOpenChannel");
    const int socketCan = OpenSocketCan(channel, flags);
    if (socketCan != kVirtualChannel)
        return socketCan;
    return Bus().Open(channel, flags);
}

CANLIB_API canStatus canGetNumberOfChannels(int* channelCount) {
    VCAN_FAIL_POINT("canGetNumberOfChannels");
    return Bus().ChannelCount(channelCount);
}

// The virtual channels carry no parameter sets.
CANLIB_API canStatus canParamGetCount(void) {
    VCAN_FAIL_POINT("canParamGetCount");
    return 0;
}

CANLIB_API canStatus canParamGetName(int index, char* buffer, int maxlen) {
    VCAN_FAIL_POINT("canParamGetName");
    if (!buffer || maxlen <= 0)
        return canERR_PARAM;
    buffer[0] = '\0';
    (void)index;
    return canERR_NOTFOUND;
}

CANLIB_API canStatus canParamGetChannelNumber(int index) {
    VCAN_FAIL_POINT("canParamGetChannelNumber");
    (void)index;
    return canERR_NOTFOUND;
}

CANLIB_API canStatus canResetBus(const canHandle hnd) {
    VCAN_FAIL_POINT("canResetBus");
    VCAN_ROUTE(hnd, ResetBus(hnd));
    return Bus().ResetBus(hnd);
}

CANLIB_API canStatus canUnloadLibrary(void) {
    VCAN_FAIL_POINT("canUnloadLibrary");
    Sockets().CloseAll();
    Bus().Unload();
    return canOK;
}

CANLIB_API canStatus canGetChannelData(int channel, int item, void* buffer, size_t bufsize) {
    VCAN_FAIL_POINT("canGetChannelData");
    if (!buffer || bufsize == 0)
        return canERR_PARAM;
    if (item != canCHANNELDATA_CHANNEL_NAME)
        return canERR_NOT_IMPLEMENTED;
    vcan::ChannelConfig config;
    vcan::Stuffing stuffing = vcan::Stuffing::kWorstCase;
    bool present = false;
    if (!Bus().ChannelSetup(channel, &config, &stuffing, &present))
        return canERR_NOTFOUND;
    std::string text;
    {
        StandIns& s = TestStandIns();
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.fds.count(channel))
            text = Sockets().Describe({"", s.fds[channel], false, stuffing});
    }
    if (text.empty() && !config.socketcan.empty()) {
        text = Sockets().Describe({config.socketcan, -1, false, stuffing});
    } else if (text.empty()) {
        text = "Virtual channel on bus " + std::to_string(config.bus) +
               (present ? "" : " (not present)");
    }
    const size_t n = std::min(text.size(), bufsize - 1);
    std::memcpy(buffer, text.data(), n);
    static_cast<char*>(buffer)[n] = '\0';
    return canOK;
}

CANLIB_API canStatus canRequestBusStatistics(const canHandle hnd) {
    VCAN_FAIL_POINT("canRequestBusStatistics");
    VCAN_ROUTE(hnd, RequestStatistics(hnd));
    return Bus().RequestStatistics(hnd);
}

CANLIB_API canStatus canGetBusStatistics(const canHandle hnd, canBusStatistics* stat,
                                         size_t bufsiz) {
    VCAN_FAIL_POINT("canGetBusStatistics");
    VCAN_ROUTE(hnd, GetStatistics(hnd, stat, bufsiz));
    return Bus().GetStatistics(hnd, stat, bufsiz);
}

CANLIB_API canStatus vcanTestConfigure(const char* iniText) {
    Sockets().CloseAll();
    ClearStandIns();
    return Bus().Configure(iniText ? iniText : "");
}

CANLIB_API int vcanTestGetConfigErrors(char* buf, size_t bufsiz) {
    return Bus().ConfigErrors(buf, bufsiz);
}

CANLIB_API int vcanTestInjectFrame(int channel, long id, const void* msg, unsigned int dlc,
                                   unsigned int flags) {
    return Bus().InjectFrame(channel, id, msg, dlc, flags);
}

CANLIB_API canStatus vcanTestSetChannelPresent(int channel, int present) {
    return Bus().SetChannelPresent(channel, present);
}

CANLIB_API canStatus vcanTestFailNext(const char* entryPoint, int status, int count) {
    return Failures().Arm(entryPoint, status, count) ? canOK : canERR_PARAM;
}

CANLIB_API canStatus vcanTestSetBusLoad(int channel, long load) {
    return Bus().SetBusLoad(channel, load);
}

CANLIB_API canStatus vcanTestSetErrorCounters(int channel, unsigned int txErr, unsigned int rxErr,
                                              unsigned int overruns) {
    return Bus().SetErrorCounters(channel, txErr, rxErr, overruns);
}

CANLIB_API canStatus vcanTestSetTimer(const canHandle hnd, unsigned long value) {
    VCAN_ROUTE(hnd, SetTimer(hnd, value));
    return Bus().SetTimer(hnd, value);
}

CANLIB_API canStatus vcanTestSocketCanStandIn(int channel, int fd) {
    int count = 0;
    Bus().ChannelCount(&count);
    if (channel < 0 || channel >= count)
        return canERR_NOTFOUND;
    StandIns& s = TestStandIns();
    std::lock_guard<std::mutex> lock(s.mutex);
    const auto it = s.fds.find(channel);
    if (it != s.fds.end()) {
        close(it->second);
        s.fds.erase(it);
    }
    if (fd < 0)
        return canOK;
    const int own = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        return canERR_PARAM;
    s.fds[channel] = own;
    return canOK;
}

}  // extern "C"

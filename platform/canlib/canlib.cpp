// The C entry points of libcanlib.so.1 and its test controls, over the virtual bus.
#include <cstdio>
#include <cstring>

#include "canlib.h"
#include "canlib_testctl.h"
#include "vcan_bus.h"

using vcan::Bus;

namespace {

constexpr unsigned kVersionMajor = 1;
constexpr unsigned kVersionMinor = 3;
constexpr unsigned kVersionBuild = 0;

struct StatusText {
    canStatus status;
    const char* text;
};

constexpr StatusText kStatusTexts[] = {
    {canOK, "No error"},
    {canERR_PARAM, "Error in parameter"},
    {canERR_NOMSG, "No messages available"},
    {canERR_NOTFOUND, "Specified device or channel not found"},
    {canERR_NOMEM, "Out of memory"},
    {canERR_NOCHANNELS, "No channels available"},
    {canERR_NOTINITIALIZED, "Library not initialized"},
    {canERR_NOHANDLES, "No more handles"},
    {canERR_INVHANDLE, "Handle is invalid"},
    {canERR_TXBUFOFL, "Transmit buffer overflow"},
    {canERR_NOT_SUPPORTED, "Operation not supported by the channel"},
    {canERR_NO_ACCESS, "Access denied"},
    {canERR_NOT_IMPLEMENTED, "Not implemented"},
    {canERR_OFF_BUS, "Channel is not on the bus"},
};

// Every entry point can be made to fail by the test controls; this is its first step.
#define VCAN_FAIL_POINT(name, failValue)                   \
    do {                                                   \
        int failStatus_ = 0;                               \
        if (Bus::Instance().Failing(name, &failStatus_)) { \
            (void)failStatus_;                             \
            return failValue;                              \
        }                                                  \
    } while (0)

}  // namespace

extern "C" {

CANLIB_API void canInitializeLibrary(void) {
    int ignored = 0;
    if (Bus::Instance().Failing("canInitializeLibrary", &ignored))
        return;
    Bus::Instance().Initialize();
}

CANLIB_API canStatus canUnloadLibrary(void) {
    VCAN_FAIL_POINT("canUnloadLibrary", failStatus_);
    Bus::Instance().Unload();
    return canOK;
}

CANLIB_API canHandle canOpenChannel(int channel, int flags) {
    VCAN_FAIL_POINT("canOpenChannel", failStatus_);
    return Bus::Instance().Open(channel, flags);
}

CANLIB_API canStatus canClose(const canHandle hnd) {
    VCAN_FAIL_POINT("canClose", failStatus_);
    return Bus::Instance().Close(hnd);
}

CANLIB_API canStatus canBusOn(const canHandle hnd) {
    VCAN_FAIL_POINT("canBusOn", failStatus_);
    return Bus::Instance().BusOn(hnd);
}

CANLIB_API canStatus canBusOff(const canHandle hnd) {
    VCAN_FAIL_POINT("canBusOff", failStatus_);
    return Bus::Instance().BusOff(hnd);
}

CANLIB_API canStatus canResetBus(const canHandle hnd) {
    VCAN_FAIL_POINT("canResetBus", failStatus_);
    return Bus::Instance().ResetBus(hnd);
}

CANLIB_API canStatus canSetBusParams(const canHandle hnd, long freq, unsigned int tseg1,
                                     unsigned int tseg2, unsigned int sjw, unsigned int noSamp,
                                     unsigned int syncmode) {
    VCAN_FAIL_POINT("canSetBusParams", failStatus_);
    return Bus::Instance().SetBusParams(hnd, freq, tseg1, tseg2, sjw, noSamp);
}

#ifndef VCAN_NO_FD_TIMING
CANLIB_API canStatus canSetBusParamsFd(const canHandle hnd, long freq_brs, unsigned int tseg1_brs,
                                       unsigned int tseg2_brs, unsigned int sjw_brs) {
    VCAN_FAIL_POINT("canSetBusParamsFd", failStatus_);
    return Bus::Instance().SetBusParamsFd(hnd, freq_brs, tseg1_brs, tseg2_brs, sjw_brs);
}
#endif

CANLIB_API canStatus canAccept(const canHandle hnd, const long envelope, const unsigned int flag) {
    VCAN_FAIL_POINT("canAccept", failStatus_);
    return Bus::Instance().Accept(hnd, envelope, flag);
}

CANLIB_API canStatus canReadErrorCounters(const canHandle hnd, unsigned int* txErr,
                                          unsigned int* rxErr, unsigned int* ovErr) {
    VCAN_FAIL_POINT("canReadErrorCounters", failStatus_);
    return Bus::Instance().ReadErrorCounters(hnd, txErr, rxErr, ovErr);
}

CANLIB_API canStatus canWrite(const canHandle hnd, long id, void* msg, unsigned int dlc,
                              unsigned int flag) {
    VCAN_FAIL_POINT("canWrite", failStatus_);
    return Bus::Instance().Write(hnd, id, msg, dlc, flag);
}

CANLIB_API canStatus canRead(const canHandle hnd, long* id, void* msg, unsigned int* dlc,
                             unsigned int* flag, unsigned long* time) {
    VCAN_FAIL_POINT("canRead", failStatus_);
    return Bus::Instance().Read(hnd, id, msg, dlc, flag, time);
}

CANLIB_API canStatus canGetErrorText(canStatus err, char* buf, unsigned int bufsiz) {
    VCAN_FAIL_POINT("canGetErrorText", failStatus_);
    if (buf == nullptr || bufsiz == 0)
        return canERR_PARAM;
    const char* text = nullptr;
    for (const StatusText& t : kStatusTexts) {
        if (t.status == err)
            text = t.text;
    }
    if (text != nullptr) {
        std::snprintf(buf, bufsiz, "%s", text);
    } else {
        std::snprintf(buf, bufsiz, "Unknown error (%d)", err);
    }
    return canOK;
}

CANLIB_API unsigned short canGetVersion(void) {
    VCAN_FAIL_POINT("canGetVersion", 0);
    return static_cast<unsigned short>((kVersionMajor << 8) | kVersionMinor);
}

CANLIB_API unsigned int canGetVersionEx(unsigned int itemCode) {
    VCAN_FAIL_POINT("canGetVersionEx", 0);
    switch (itemCode) {
        case canVERSION_CANLIB32_VERSION:
        case canVERSION_CANLIB32_PRODVER:
            return (kVersionMajor << 8) | kVersionMinor;
        case canVERSION_CANLIB32_PRODVER32:
            return (kVersionMajor << 16) | (kVersionMinor << 8) | kVersionBuild;
        default:
            return 0;
    }
}

CANLIB_API canStatus canIoCtl(const canHandle hnd, unsigned int func, void* buf,
                              unsigned int buflen) {
    VCAN_FAIL_POINT("canIoCtl", failStatus_);
    return Bus::Instance().IoCtl(hnd, func, buf, buflen);
}

#ifndef VCAN_NO_FD_TIMING
CANLIB_API unsigned long canReadTimer(const canHandle hnd) {
    VCAN_FAIL_POINT("canReadTimer", 0);
    unsigned long value = 0;
    return Bus::Instance().ReadTimer(hnd, &value) == canOK ? value : 0;
}
#endif

CANLIB_API canStatus canGetNumberOfChannels(int* channelCount) {
    VCAN_FAIL_POINT("canGetNumberOfChannels", failStatus_);
    return Bus::Instance().ChannelCount(channelCount);
}

// No parameter sets are stored: the count is 0 and every index is out of range.
CANLIB_API canStatus canParamGetCount(void) {
    VCAN_FAIL_POINT("canParamGetCount", failStatus_);
    return 0;
}

CANLIB_API canStatus canParamGetName(int index, char* buffer, int maxlen) {
    VCAN_FAIL_POINT("canParamGetName", failStatus_);
    if (buffer == nullptr || maxlen <= 0)
        return canERR_PARAM;
    buffer[0] = '\0';
    return canERR_NOTFOUND;
}

CANLIB_API canStatus canParamGetChannelNumber(int index) {
    VCAN_FAIL_POINT("canParamGetChannelNumber", failStatus_);
    return canERR_NOTFOUND;
}

CANLIB_API canStatus canRequestBusStatistics(const canHandle hnd) {
    VCAN_FAIL_POINT("canRequestBusStatistics", failStatus_);
    return Bus::Instance().RequestStatistics(hnd);
}

CANLIB_API canStatus canGetBusStatistics(const canHandle hnd, canBusStatistics* stat,
                                         size_t bufsiz) {
    VCAN_FAIL_POINT("canGetBusStatistics", failStatus_);
    return Bus::Instance().GetStatistics(hnd, stat, bufsiz);
}

// ---- test controls ---------------------------------------------------------------------

CANLIB_API canStatus vcanTestConfigure(const char* iniText) {
    return Bus::Instance().Configure(iniText != nullptr ? iniText : "", "test");
}

CANLIB_API int vcanTestGetConfigErrors(char* buf, size_t bufsiz) {
    const std::string text = Bus::Instance().ConfigErrors();
    if (buf != nullptr && bufsiz > 0)
        std::snprintf(buf, bufsiz, "%s", text.c_str());
    return Bus::Instance().ConfigErrorCount();
}

CANLIB_API int vcanTestInjectFrame(int channel, long id, const void* msg, unsigned int dlc,
                                   unsigned int flags) {
    return Bus::Instance().InjectFrame(channel, id, msg, dlc, flags);
}

CANLIB_API canStatus vcanTestSetChannelPresent(int channel, int present) {
    return Bus::Instance().SetChannelPresent(channel, present != 0);
}

CANLIB_API canStatus vcanTestFailNext(const char* entryPoint, int status, int count) {
    return Bus::Instance().FailNext(entryPoint, status, count);
}

CANLIB_API canStatus vcanTestSetBusLoad(int channel, long load) {
    return Bus::Instance().SetBusLoad(channel, load);
}

CANLIB_API canStatus vcanTestSetErrorCounters(int channel, unsigned int txErr, unsigned int rxErr,
                                              unsigned int overruns) {
    return Bus::Instance().SetErrorCounters(channel, txErr, rxErr, overruns);
}

CANLIB_API canStatus vcanTestSetTimer(const canHandle hnd, unsigned long value) {
    return Bus::Instance().SetTimer(hnd, value);
}

}  // extern "C"

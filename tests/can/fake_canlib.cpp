// A small stand-in for our CAN library with the same entry points and test
// controls, so that the channel manager is tested even where the real
// library is not built. Built twice: complete, and without canSetBusParamsFd
// and canReadTimer (FAKE_CANLIB_NOFD).

#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#define SORVANE_CANLIB_BUILD 1
#include "platform/canlib/canlib.h"
#include "platform/canlib/canlib_testctl.h"

namespace {

struct Frame {
    long id;
    unsigned dlc;
    unsigned flags;
    uint8_t data[64];
};

struct Open {
    bool used = false;
    int channel = 0;
    int fd = -1;
    bool fdMode = false;
    bool onBus = false;
    long bitrate = 0;
    unsigned long scale = 1000;
    std::chrono::steady_clock::time_point start;
    std::deque<Frame> queue;
    canBusStatistics stats{};
};

struct Channel {
    bool present = true;
    long busLoad = -1;
    unsigned txErr = 0, rxErr = 0, overruns = 0;
};

constexpr int kHandles = 64;
std::mutex mutex;
int channelCount = 5;
Channel channels[32];
Open handles[kHandles];
std::map<std::string, std::pair<int, int>> failures;

// The armed failure of an entry point, or canOK.
int Failure(const char* name) {
    auto f = failures.find(name);
    if (f == failures.end() || f->second.second == 0)
        return canOK;
    if (f->second.second > 0)
        --f->second.second;
    return f->second.first;
}

Open* Get(int hnd) {
    if (hnd < 0 || hnd >= kHandles || !handles[hnd].used)
        return nullptr;
    return &handles[hnd];
}

bool FitsClock(long bitrate, unsigned t1, unsigned t2, unsigned sjw) {
    if (bitrate <= 0 || t1 < 1 || t2 < 1 || sjw < 1 || sjw > t2)
        return false;
    const uint64_t perBit = static_cast<uint64_t>(bitrate) * (1 + t1 + t2);
    return 80000000ull % perBit == 0 && 80000000ull / perBit <= 1024;
}

void Deliver(Open& h, const Frame& f) {
    h.queue.push_back(f);
    const bool ext = f.flags & canMSG_EXT, rtr = f.flags & canMSG_RTR;
    if (f.flags & canMSG_ERROR_FRAME)
        ++h.stats.errFrame;
    else if (ext)
        ++(rtr ? h.stats.extRemote : h.stats.extData);
    else
        ++(rtr ? h.stats.stdRemote : h.stats.stdData);
    const uint64_t one = 1;
    (void)!::write(h.fd, &one, sizeof one);
}

void CloseAll() {
    for (Open& h : handles) {
        if (h.used)
            ::close(h.fd);
        h = Open{};
    }
}

}  // namespace

#define FAIL(name)                           \
    std::lock_guard<std::mutex> hold(mutex); \
    if (int st = Failure(name); st != canOK) \
    return st

extern "C" {

CANLIB_API void canInitializeLibrary(void) {}
CANLIB_API canStatus canClose(const canHandle hnd) {
    FAIL("canClose");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    ::close(h->fd);
    *h = Open{};
    return canOK;
}
CANLIB_API canStatus canBusOn(const canHandle hnd) {
    FAIL("canBusOn");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    h->onBus = true;
    return canOK;
}
CANLIB_API canStatus canBusOff(const canHandle hnd) {
    FAIL("canBusOff");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    h->onBus = false;
    return canOK;
}
CANLIB_API canStatus canSetBusParams(const canHandle hnd, long freq, unsigned int tseg1,
                                     unsigned int tseg2, unsigned int sjw, unsigned int,
                                     unsigned int) {
    FAIL("canSetBusParams");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    if (!FitsClock(freq, tseg1, tseg2, sjw))
        return canERR_PARAM;
    h->bitrate = freq;
    return canOK;
}
#ifndef FAKE_CANLIB_NOFD
CANLIB_API canStatus canSetBusParamsFd(const canHandle hnd, long freq, unsigned int tseg1,
                                       unsigned int tseg2, unsigned int sjw) {
    FAIL("canSetBusParamsFd");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    if (!h->fdMode || !FitsClock(freq, tseg1, tseg2, sjw))
        return canERR_PARAM;
    return canOK;
}
CANLIB_API unsigned long canReadTimer(const canHandle hnd) {
    std::lock_guard<std::mutex> hold(mutex);
    if (Failure("canReadTimer") != canOK)
        return 0;
    Open* h = Get(hnd);
    if (!h)
        return 0;
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - h->start)
                        .count();
    return static_cast<unsigned long>(us) / h->scale + 1;
}
#endif
CANLIB_API canStatus canAccept(const canHandle, const long, const unsigned int) {
    return canOK;
}
CANLIB_API canStatus canReadErrorCounters(const canHandle hnd, unsigned int* txErr,
                                          unsigned int* rxErr, unsigned int* ovErr) {
    FAIL("canReadErrorCounters");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    *txErr = channels[h->channel].txErr;
    *rxErr = channels[h->channel].rxErr;
    *ovErr = channels[h->channel].overruns;
    return canOK;
}
CANLIB_API canStatus canWrite(const canHandle hnd, long id, void* msg, unsigned int dlc,
                              unsigned int flag) {
    FAIL("canWrite");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    if (!h->onBus)
        return canERR_OFF_BUS;
    if (dlc > 64)
        return canERR_PARAM;
    Frame f{id, dlc, flag, {}};
    std::memcpy(f.data, msg, dlc);
    for (Open& other : handles) {
        if (other.used && &other != h && other.onBus && other.channel != h->channel &&
            other.bitrate == h->bitrate)
            Deliver(other, f);
    }
    return canOK;
}
CANLIB_API canStatus canRead(const canHandle hnd, long* id, void* msg, unsigned int* dlc,
                             unsigned int* flag, unsigned long* time) {
    FAIL("canRead");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    if (h->queue.empty())
        return canERR_NOMSG;
    const Frame f = h->queue.front();
    h->queue.pop_front();
    *id = f.id;
    *dlc = f.dlc;
    *flag = f.flags;
    std::memcpy(msg, f.data, f.dlc);
    *time = static_cast<unsigned long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                           std::chrono::steady_clock::now() - h->start)
                                           .count()) /
            h->scale;
    return canOK;
}
CANLIB_API canStatus canGetErrorText(canStatus err, char* buf, unsigned int bufsiz) {
    const char* text = err == canERR_PARAM             ? "Error in parameter"
                       : err == canERR_INVHANDLE       ? "Handle is invalid"
                       : err == canERR_NOT_IMPLEMENTED ? "Not implemented"
                       : err == canERR_TXBUFOFL        ? "Transmit buffer overflow"
                                                       : "Unknown error";
    std::snprintf(buf, bufsiz, "%s (%d)", text, err);
    return canOK;
}
CANLIB_API unsigned short canGetVersion(void) {
    return 0x0500;
}
CANLIB_API unsigned int canGetVersionEx(unsigned int item) {
    return item == 0 ? 0x0500 : 0x05000000;
}
CANLIB_API canStatus canIoCtl(const canHandle hnd, unsigned int func, void* buf,
                              unsigned int buflen) {
    FAIL("canIoCtl");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    if (func == canIOCTL_SET_TIMER_SCALE && buflen == 4) {
        uint32_t v;
        std::memcpy(&v, buf, 4);
        h->scale = v == 0 ? 1 : v;
        return canOK;
    }
    if (func == canIOCTL_GET_EVENTHANDLE && buflen == 8) {
        const int64_t fd = h->fd;
        std::memcpy(buf, &fd, 8);
        return canOK;
    }
    return canERR_PARAM;
}
CANLIB_API canHandle canOpenChannel(int channel, int flags) {
    FAIL("canOpenChannel");
    if (channel < 0 || channel >= channelCount || !channels[channel].present)
        return canERR_NOTFOUND;
    for (int i = 0; i < kHandles; ++i) {
        if (!handles[i].used) {
            handles[i] = Open{};
            handles[i].used = true;
            handles[i].channel = channel;
            handles[i].fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
            handles[i].fdMode = flags & canOPEN_CAN_FD;
            handles[i].start = std::chrono::steady_clock::now();
            return i;
        }
    }
    return canERR_NOHANDLES;
}
CANLIB_API canStatus canGetNumberOfChannels(int* count) {
    FAIL("canGetNumberOfChannels");
    *count = channelCount;
    return canOK;
}
CANLIB_API canStatus canParamGetCount(void) {
    return channelCount;
}
CANLIB_API canStatus canParamGetName(int, char* buffer, int maxlen) {
    if (maxlen > 0)
        buffer[0] = '\0';
    return canOK;
}
CANLIB_API canStatus canParamGetChannelNumber(int index) {
    return index;
}
CANLIB_API canStatus canResetBus(const canHandle hnd) {
    FAIL("canResetBus");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    h->stats = canBusStatistics{};
    return canOK;
}
CANLIB_API canStatus canUnloadLibrary(void) {
    return canOK;
}
CANLIB_API canStatus canRequestBusStatistics(const canHandle hnd) {
    FAIL("canRequestBusStatistics");
    return Get(hnd) ? canOK : canERR_INVHANDLE;
}
CANLIB_API canStatus canGetBusStatistics(const canHandle hnd, canBusStatistics* stat, size_t size) {
    FAIL("canGetBusStatistics");
    Open* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    if (size != sizeof(canBusStatistics))
        return canERR_PARAM;
    *stat = h->stats;
    const long load = channels[h->channel].busLoad;
    stat->busLoad = load < 0 ? 0 : static_cast<unsigned long>(load);
    return canOK;
}

CANLIB_API canStatus vcanTestConfigure(const char* iniText) {
    std::lock_guard<std::mutex> hold(mutex);
    CloseAll();
    failures.clear();
    for (Channel& c : channels)
        c = Channel{};
    channelCount = 5;
    if (iniText != nullptr) {
        const char* at = std::strstr(iniText, "channels = ");
        if (at != nullptr)
            channelCount = std::atoi(at + 11);
    }
    return canOK;
}
CANLIB_API int vcanTestGetConfigErrors(char* buf, size_t bufsiz) {
    if (bufsiz > 0)
        buf[0] = '\0';
    return 0;
}
CANLIB_API int vcanTestInjectFrame(int channel, long id, const void* msg, unsigned int dlc,
                                   unsigned int flags) {
    std::lock_guard<std::mutex> hold(mutex);
    if (channel < 0 || channel >= channelCount || dlc > 64)
        return canERR_PARAM;
    Frame f{id, dlc, flags, {}};
    std::memcpy(f.data, msg, dlc);
    int queued = 0;
    for (Open& h : handles) {
        if (h.used && h.channel == channel && h.onBus && channels[channel].present) {
            Deliver(h, f);
            ++queued;
        }
    }
    return queued;
}
CANLIB_API canStatus vcanTestSetChannelPresent(int channel, int present) {
    std::lock_guard<std::mutex> hold(mutex);
    if (channel < 0 || channel >= 32)
        return canERR_PARAM;
    channels[channel].present = present != 0;
    return canOK;
}
CANLIB_API canStatus vcanTestFailNext(const char* entryPoint, int status, int count) {
    std::lock_guard<std::mutex> hold(mutex);
    failures[entryPoint] = {status, count};
    return canOK;
}
CANLIB_API canStatus vcanTestSetBusLoad(int channel, long load) {
    std::lock_guard<std::mutex> hold(mutex);
    if (channel < 0 || channel >= 32)
        return canERR_PARAM;
    channels[channel].busLoad = load;
    return canOK;
}
CANLIB_API canStatus vcanTestSetErrorCounters(int channel, unsigned int txErr, unsigned int rxErr,
                                              unsigned int overruns) {
    std::lock_guard<std::mutex> hold(mutex);
    if (channel < 0 || channel >= 32)
        return canERR_PARAM;
    channels[channel] =
        Channel{channels[channel].present, channels[channel].busLoad, txErr, rxErr, overruns};
    return canOK;
}
CANLIB_API canStatus vcanTestSetTimer(const canHandle, unsigned long) {
    return canOK;
}

}  // extern "C"

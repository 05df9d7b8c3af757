#include "virtual_bus.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "frame_bits.h"
#include "timer_scale.h"

namespace vcan {
namespace {

// Handles are small integers; a process rarely needs more than a few per channel.
constexpr size_t kMaxHandles = 64;
constexpr uint32_t kSentFlags =
    canMSG_RTR | canMSG_EXT | canMSG_ERROR_FRAME | canFDMSG_FDF | canFDMSG_BRS;
// Error counter levels of a CAN controller: error passive from 128, bus off above 255.
constexpr unsigned kErrorPassive = 128;

bool ValidFrame(long id, const void* msg, unsigned dlc, unsigned flags, bool fdAllowed) {
    if ((flags & canMSG_STD) && (flags & canMSG_EXT))
        return false;
    if (id < 0 || id > 0x1FFFFFFF)
        return false;
    if (!(flags & canMSG_EXT) && id > 0x7FF)
        return false;
    if (flags & canMSG_ERROR_FRAME)
        return true;
    if (flags & canFDMSG_FDF) {
        if (!fdAllowed || (flags & canMSG_RTR) || !IsValidFdLength(dlc))
            return false;
    } else if ((flags & canFDMSG_BRS) || dlc > 8) {
        return false;
    }
    return !(dlc > 0 && !(flags & canMSG_RTR) && msg == nullptr);
}

}  // namespace

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

VirtualBus::VirtualBus() = default;

VirtualBus::~VirtualBus() {
    std::unique_lock<std::mutex> lock(mutex_);
    StopSimulation(lock);
    CloseAllLocked();
}

VirtualBus::Handle* VirtualBus::Get(int hnd) {
    if (hnd < 0 || static_cast<size_t>(hnd) >= handles_.size())
        return nullptr;
    Handle& h = handles_[static_cast<size_t>(hnd)];
    return h.used ? &h : nullptr;
}

int VirtualBus::Usable(int hnd, Handle** out) {
    Handle* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    if (!channels_[static_cast<size_t>(h->channel)].present)
        return canERR_NOTFOUND;
    *out = h;
    return canOK;
}

uint32_t VirtualBus::Units(const Handle& h, int64_t timeNs) const {
    const uint64_t us = timeNs > h.openNs ? static_cast<uint64_t>(timeNs - h.openNs) / 1000 : 0;
    return static_cast<uint32_t>(us / h.scaleUs) + h.timerOffset;
}

int VirtualBus::ChannelCount(int* count) {
    if (!count)
        return canERR_PARAM;
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureLocked();
    *count = static_cast<int>(channels_.size());
    return canOK;
}

bool VirtualBus::ChannelSetup(int channel, ChannelConfig* config, Stuffing* stuffing,
                              bool* present) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureLocked();
    if (channel < 0 || static_cast<size_t>(channel) >= channels_.size())
        return false;
    const Channel& ch = channels_[static_cast<size_t>(channel)];
    *config = ch.config;
    *stuffing = config_.stuffing;
    *present = ch.present;
    return true;
}

int VirtualBus::Open(int channel, int flags) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureLocked();
    if (channel < 0 || static_cast<size_t>(channel) >= channels_.size())
        return canERR_NOTFOUND;
    Channel& ch = channels_[static_cast<size_t>(channel)];
    if (!ch.present)
        return canERR_NOTFOUND;
    if (ch.config.isVirtual && !(flags & canOPEN_ACCEPT_VIRTUAL))
        return canERR_NOTFOUND;
    const bool fd = (flags & (canOPEN_CAN_FD | canOPEN_CAN_FD_NONISO)) != 0;
    if (fd && !ch.config.fdCapable)
        return canERR_NOT_SUPPORTED;
    const bool require = (flags & canOPEN_REQUIRE_INIT_ACCESS) != 0;
    const bool refuse = (flags & canOPEN_NO_INIT_ACCESS) != 0;
    if (require && refuse)
        return canERR_PARAM;
    if (require && ch.initHolder >= 0)
        return canERR_NO_ACCESS;
    bool anyOpen = false;
    for (const Handle& h : handles_)
        anyOpen = anyOpen || (h.used && h.channel == channel);
    if (ch.exclusive || ((flags & canOPEN_EXCLUSIVE) && anyOpen))
        return canERR_NO_ACCESS;

    size_t slot = 0;
    while (slot < handles_.size() && handles_[slot].used)
        ++slot;
    if (slot == kMaxHandles)
        return canERR_NOHANDLES;
    if (slot == handles_.size())
        handles_.emplace_back();
    Handle& h = handles_[slot];
    if (!h.rx.Reset(ch.config.rxQueue))
        return canERR_NOMEM;
    h.used = true;
    h.channel = channel;
    h.fd = fd;
    h.initAccess = !refuse && ch.initHolder < 0;
    if (h.initAccess)
        ch.initHolder = static_cast<int>(slot);
    if (flags & canOPEN_EXCLUSIVE)
        ch.exclusive = true;
    h.openNs = NowNs();
    h.statsSinceNs = h.openNs;
    h.pending.reserve(std::min<size_t>(ch.config.txQueue, 64));
    return static_cast<int>(slot);
}

int VirtualBus::Close(int hnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    Channel& ch = channels_[static_cast<size_t>(h->channel)];
    if (ch.initHolder == hnd)
        ch.initHolder = -1;
    bool othersOpen = false;
    for (size_t i = 0; i < handles_.size(); ++i) {
        othersOpen = othersOpen || (static_cast<int>(i) != hnd && handles_[i].used &&
                                    handles_[i].channel == h->channel);
    }
    if (!othersOpen)
        ch.exclusive = false;
    if (h->eventFd >= 0)
        close(h->eventFd);
    *h = Handle();
    return canOK;
}

int VirtualBus::BusOn(int hnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    Channel& ch = channels_[static_cast<size_t>(h->channel)];
    if (h->busOffState) {
        // Recovery from bus off starts the controller with clear counters.
        h->busOffState = false;
        ch.txErr = ch.rxErr = 0;
    }
    if (!h->onBus) {
        h->onBus = true;
        h->wireNs = 0;
        h->statsSinceNs = NowNs();
        h->floodBurst = 0;
    }
    FlushPendingLocked(ch.config.bus);
    if (ch.config.flood.mode == FloodConfig::Mode::kMax)
        Signal(*h);
    return canOK;
}

int VirtualBus::BusOff(int hnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    h->onBus = false;
    h->pending.clear();
    return canOK;
}

int VirtualBus::ResetBus(int hnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    Channel& ch = channels_[static_cast<size_t>(h->channel)];
    ch.txErr = ch.rxErr = 0;
    h->busOffState = false;
    h->pending.clear();
    h->overruns = 0;
    h->lostFrames = false;
    h->stdData = h->stdRemote = h->extData = h->extRemote = h->errFrames = 0;
    h->wireNs = 0;
    h->snapshot = canBusStatistics{};
    h->statsSinceNs = NowNs();
    return canOK;
}

int VirtualBus::SetBusParams(int hnd, long freq, unsigned tseg1, unsigned tseg2, unsigned sjw,
                             unsigned noSamp) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    BitTiming t{freq, tseg1, tseg2, sjw, noSamp};
    if (freq < 0) {
        if (!PredefinedTiming(freq, Phase::kNominal, h->fd, &t))
            return canERR_PARAM;
    } else if (!IsValidTiming(t, Phase::kNominal) || freq > 1000000) {
        return canERR_PARAM;
    }
    // Without init access the handle uses the timing the channel already has.
    if (h->initAccess)
        channels_[static_cast<size_t>(h->channel)].nominal = t;
    return canOK;
}

int VirtualBus::SetBusParamsFd(int hnd, long freq, unsigned tseg1, unsigned tseg2, unsigned sjw) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    if (!h->fd)
        return canERR_PARAM;
    BitTiming t{freq, tseg1, tseg2, sjw, 1};
    if (freq < 0) {
        if (!PredefinedTiming(freq, Phase::kData, true, &t))
            return canERR_PARAM;
    } else if (!IsValidTiming(t, Phase::kData) || freq > 8000000) {
        return canERR_PARAM;
    }
    if (h->initAccess)
        channels_[static_cast<size_t>(h->channel)].data = t;
    return canOK;
}

int VirtualBus::Accept(int hnd, long envelope, unsigned flag) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    const uint32_t v = static_cast<uint32_t>(envelope);
    switch (flag) {
        case canFILTER_NULL_MASK:
            h->maskStd = h->maskExt = 0;
            break;
        case canFILTER_SET_CODE_STD:
            h->codeStd = v & 0x7FF;
            break;
        case canFILTER_SET_MASK_STD:
            h->maskStd = v & 0x7FF;
            break;
        case canFILTER_SET_CODE_EXT:
            h->codeExt = v & 0x1FFFFFFF;
            break;
        case canFILTER_SET_MASK_EXT:
            h->maskExt = v & 0x1FFFFFFF;
            break;
        case canFILTER_ACCEPT:
        case canFILTER_REJECT:
            return canERR_NOT_IMPLEMENTED;
        default:
            return canERR_PARAM;
    }
    return canOK;
}

int VirtualBus::ReadErrorCounters(int hnd, unsigned* txErr, unsigned* rxErr, unsigned* ovErr) {
    if (!txErr || !rxErr || !ovErr)
        return canERR_PARAM;
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    const Channel& ch = channels_[static_cast<size_t>(h->channel)];
    *txErr = ch.txErr;
    *rxErr = ch.rxErr;
    *ovErr = h->overruns;
    return canOK;
}

int VirtualBus::Write(int hnd, long id, const void* msg, unsigned dlc, unsigned flags) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    if (!ValidFrame(id, msg, dlc, flags, h->fd))
        return canERR_PARAM;
    if (!h->onBus || h->busOffState)
        return canERR_OFF_BUS;
    Channel& ch = channels_[static_cast<size_t>(h->channel)];
    if (h->pending.size() >= ch.config.txQueue)
        return canERR_TXBUFOFL;
    BusFrame f;
    f.id = static_cast<uint32_t>(id);
    f.flags = flags & kSentFlags;
    f.length = (f.flags & canMSG_ERROR_FRAME) ? 0 : dlc;
    f.data = static_cast<const uint8_t*>(msg);
    f.timeNs = NowNs();
    const int bus = ch.config.bus;
    const long nominal = ch.nominal.bitrate;
    const long data = ch.data.bitrate;
    // Frames already waiting go first, and so does this one only when someone acknowledges.
    if (h->pending.empty() &&
        ((f.flags & canMSG_ERROR_FRAME) || Acknowledged(hnd, bus, nominal, data, f.flags))) {
        DeliverLocked(f, bus, nominal, data, hnd);
        if (ch.config.txAck)
            QueueLocked(*h, f, canMSG_TXACK);
        if (ch.txErr > 0)
            --ch.txErr;
        return canOK;
    }
    PendingFrame p{f.id, f.flags, f.length, {}};
    if (f.length && !(f.flags & canMSG_RTR))
        std::memcpy(p.data, msg, f.length);
    h->pending.push_back(p);
    // Every attempt without an acknowledgement is an error; the counter stops at error
    // passive, as a controller alone on its bus does.
    ch.txErr = std::min(ch.txErr + 8, kErrorPassive);
    return canOK;
}

int VirtualBus::Read(int hnd, long* id, void* msg, unsigned* dlc, unsigned* flags,
                     unsigned long* time) {
    if (!id || !msg || !dlc || !flags || !time)
        return canERR_PARAM;
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    if (h->rx.Empty() && !FloodReadLocked(*h))
        return canERR_NOMSG;
    const QueuedFrame& f = *h->rx.Front();
    *id = static_cast<long>(f.id);
    const unsigned bytes = (f.flags & (canMSG_RTR | canMSG_ERROR_FRAME)) ? 0 : f.length;
    if (bytes)
        std::memcpy(msg, f.data, bytes);
    *dlc = f.length;
    *flags = f.flags | (h->lostFrames ? canMSGERR_SW_OVERRUN : 0);
    *time = Units(*h, f.timeNs);
    h->lostFrames = false;
    h->rx.PopFront();
    return canOK;
}

int VirtualBus::IoCtl(int hnd, unsigned func, void* buf, unsigned buflen) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    int status = canOK;
    if (TimerScaleIoCtl(func, buf, buflen, &h->scaleUs, &status))
        return status;
    uint32_t value = 0;
    switch (func) {
        case canIOCTL_GET_RX_BUFFER_LEVEL:
            if (!buf || buflen < sizeof value)
                return canERR_PARAM;
            value = static_cast<uint32_t>(h->rx.Size());
            std::memcpy(buf, &value, sizeof value);
            return canOK;
        case canIOCTL_GET_TX_BUFFER_LEVEL:
            if (!buf || buflen < sizeof value)
                return canERR_PARAM;
            value = static_cast<uint32_t>(h->pending.size());
            std::memcpy(buf, &value, sizeof value);
            return canOK;
        case canIOCTL_FLUSH_RX_BUFFER:
            h->rx.Clear();
            return canOK;
        case canIOCTL_FLUSH_TX_BUFFER:
            h->pending.clear();
            return canOK;
        case canIOCTL_CLEAR_ERROR_COUNTERS: {
            Channel& ch = channels_[static_cast<size_t>(h->channel)];
            ch.txErr = ch.rxErr = 0;
            h->overruns = 0;
            return canOK;
        }
        case canIOCTL_GET_EVENTHANDLE: {
            if (!buf || buflen < sizeof(int64_t))
                return canERR_PARAM;
            if (h->eventFd < 0) {
                h->eventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
                if (h->eventFd < 0)
                    return canERR_NOMEM;
                if (!h->rx.Empty())
                    Signal(*h);
            }
            const int64_t fd = h->eventFd;
            std::memcpy(buf, &fd, sizeof fd);
            return canOK;
        }
        default:
            return canERR_NOT_IMPLEMENTED;
    }
}

unsigned long VirtualBus::ReadTimer(int hnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = Get(hnd);
    return h ? Units(*h, NowNs()) : 0;
}

int VirtualBus::RequestStatistics(int hnd) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    const int64_t now = NowNs();
    const int64_t interval = now - h->statsSinceNs;
    uint64_t load = 0;
    if (h->onBus && interval > 0) {
        load = std::min<uint64_t>(10000, h->wireNs * 10000 / static_cast<uint64_t>(interval));
    }
    const Channel& ch = channels_[static_cast<size_t>(h->channel)];
    if (ch.loadOverride >= 0)
        load = static_cast<uint64_t>(ch.loadOverride);
    h->snapshot = {h->stdData,   h->stdRemote, h->extData,
                   h->extRemote, h->errFrames, static_cast<unsigned long>(load),
                   h->overruns};
    h->wireNs = 0;
    h->statsSinceNs = now;
    return canOK;
}

int VirtualBus::GetStatistics(int hnd, canBusStatistics* stat, size_t bufsiz) {
    if (!stat || bufsiz < sizeof(canBusStatistics))
        return canERR_PARAM;
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = nullptr;
    if (const int st = Usable(hnd, &h))
        return st;
    *stat = h->snapshot;
    return canOK;
}

}  // namespace vcan

// SocketCAN handles and the interface's link: bit timing through netlink, bus on and off, and
// undoing at the end what this process changed. A process without CAP_NET_ADMIN keeps the
// interface as it is: the timing calls answer as without init access and say so on stderr.
#include <net/if.h>
#include <net/if_arp.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "socketcan_bus.h"
#include "virtual_bus.h"

namespace vcan {
namespace {

constexpr long kMaxNominalRate = 1000000;
constexpr long kMaxDataRate = 10000000;
constexpr uint32_t kSamplePointTolerance = 10;  // tenths of a percent
constexpr int64_t kRepeatQuietNs = 2'000'000'000;

bool Permission(int error) {
    return error == -EPERM || error == -EACCES;
}

// The timing as a controller register set could hold it; the interface's clock decides the rest.
bool PlausibleTiming(const BitTiming& t, Phase phase) {
    const long maxRate = phase == Phase::kNominal ? kMaxNominalRate : kMaxDataRate;
    if (t.bitrate <= 0 || t.bitrate > maxRate)
        return false;
    if (t.tseg1 < 1 || t.tseg1 > 256 || t.tseg2 < 1 || t.tseg2 > 128)
        return false;
    if (t.sjw < 1 || t.sjw > t.tseg2)
        return false;
    return phase == Phase::kData || t.noSamp == 0 || t.noSamp == 1 || t.noSamp == 3;
}

const char* PhaseName(bool dataPhase) {
    return dataPhase ? "data-phase" : "nominal";
}

}  // namespace

void SayChannel(int channel, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // A caller that tries again at once (an open without init access after one with it)
    // gets the same answer; the line is said once.
    static std::mutex mutex;
    static std::map<int, std::pair<std::string, int64_t>> last;
    std::lock_guard<std::mutex> lock(mutex);
    const int64_t now = NowNs();
    auto& [said, at] = last[channel];
    if (said == text && now - at < kRepeatQuietNs)
        return;
    said = text;
    at = now;
    std::fprintf(stderr, "libcanlib: CAN%d: %s\n", channel + 1, text);
}

uint32_t SamplePoint(const BitTiming& t) {
    const uint32_t quanta = 1 + t.tseg1 + t.tseg2;
    return ((1 + t.tseg1) * 1000 + quanta / 2) / quanta;
}

can_bittiming KernelTiming(const BitTiming& t, uint32_t clockHz) {
    can_bittiming bt{};
    const uint64_t quanta = 1ull + t.tseg1 + t.tseg2;
    const uint64_t perBit = static_cast<uint64_t>(t.bitrate) * quanta;
    if (clockHz != 0 && perBit != 0 && clockHz % perBit == 0) {
        // The kernel derives the prescaler as clock * tq / 1e9, rounded down: a time quantum
        // rounded up to the nanosecond gives back exactly this prescaler.
        const uint64_t prescaler = clockHz / perBit;
        bt.tq = static_cast<uint32_t>((prescaler * 1000000000ull + clockHz - 1) / clockHz);
        bt.prop_seg = t.tseg1 / 2;
        bt.phase_seg1 = t.tseg1 - bt.prop_seg;
        bt.phase_seg2 = t.tseg2;
    } else {
        bt.bitrate = static_cast<uint32_t>(t.bitrate);
        bt.sample_point = SamplePoint(t);
    }
    bt.sjw = t.sjw;
    return bt;
}

bool SameTiming(const can_bittiming& current, const BitTiming& wanted) {
    const uint32_t want = SamplePoint(wanted);
    const uint32_t have = current.sample_point;
    return static_cast<long>(current.bitrate) == wanted.bitrate &&
           (have > want ? have - want : want - have) <= kSamplePointTolerance;
}

int SocketCanBus::SetBusParams(int hnd, long freq, unsigned tseg1, unsigned tseg2, unsigned sjw,
                               unsigned noSamp) {
    return SetTiming(hnd, {freq, tseg1, tseg2, sjw, noSamp}, false);
}

int SocketCanBus::SetBusParamsFd(int hnd, long freq, unsigned tseg1, unsigned tseg2, unsigned sjw) {
    return SetTiming(hnd, {freq, tseg1, tseg2, sjw, 1}, true);
}

int SocketCanBus::SetTiming(int hnd, BitTiming t, bool dataPhase) {
    return WithHandle(hnd, [&](Handle& h) {
        if (dataPhase && !h.fd)
            return canERR_PARAM;
        const Phase phase = dataPhase ? Phase::kData : Phase::kNominal;
        if (t.bitrate < 0 ? !PredefinedTiming(t.bitrate, phase, h.fd, &t)
                          : !PlausibleTiming(t, phase)) {
            return canERR_PARAM;
        }
        // Without init access the channel runs the timing it has; where the interface has
        // none (vcan), the rate given serves the bus load.
        if (!h.initAccess) {
            long& rate = dataPhase ? h.dataRate : h.nominalRate;
            if (rate == 0)
                rate = t.bitrate;
            return canOK;
        }
        return ApplyTiming(h, t, dataPhase);
    });
}

int SocketCanBus::ApplyTiming(Handle& h, const BitTiming& t, bool dataPhase) {
    (dataPhase ? h.dataRate : h.nominalRate) = t.bitrate;
    if (h.ifindex == 0)
        return canOK;
    LinkInfo link;
    const int query = links_.Query(h.ifindex, &link);
    if (query == -ENODEV)
        return canERR_NOTFOUND;
    if (query != 0) {
        SayChannel(h.channel, "cannot read the link of %s (%s); its bit timing stays",
                   h.name.c_str(), std::strerror(-query));
        return canOK;
    }
    // vcan and vxcan have no bit timing: the rate asked for serves the bus load.
    if (link.kind != "can")
        return canOK;
    const bool fdOn = (link.ctrlMode & CAN_CTRLMODE_FD) != 0;
    const can_bittiming& current = dataPhase ? link.dataBittiming : link.bittiming;
    const bool haveCurrent = dataPhase ? link.haveDataBittiming && fdOn : link.haveBittiming;
    if (haveCurrent && SameTiming(current, t)) {
        (dataPhase ? h.dataRate : h.nominalRate) = static_cast<long>(current.bitrate);
        return canOK;
    }

    int r = 0;
    {
        std::lock_guard<std::mutex> links(linkMutex_);
        r = TakeLinkDown(h, link);
        if (r == 0) {
            const can_bittiming bt = KernelTiming(t, link.haveClock ? link.clockHz : 0);
            CanLinkChange change;
            if (dataPhase) {
                change.dataBittiming = &bt;
                change.setCtrlMode = true;
                change.ctrlMode = {CAN_CTRLMODE_FD, CAN_CTRLMODE_FD};
            } else {
                change.bittiming = &bt;
            }
            r = links_.Change(h.ifindex, change);
            // A refused timing leaves the interface as it was found.
            if (r != 0)
                RestoreTakenDown(h);
        }
    }
    if (r == -EBUSY) {
        SayChannel(h.channel, "another channel of this process is on the bus on %s",
                   h.name.c_str());
        return canERR_NO_ACCESS;
    }
    if (Permission(r)) {
        const char* name = h.name.c_str();
        if (dataPhase && !fdOn) {
            SayChannel(h.channel, "CAN FD is off on %s; switching it on needs CAP_NET_ADMIN", name);
            return canERR_NOT_SUPPORTED;
        }
        if (haveCurrent) {
            (dataPhase ? h.dataRate : h.nominalRate) = static_cast<long>(current.bitrate);
            SayChannel(h.channel,
                       "%s keeps its own %s bit timing (%u bit/s): setting it needs "
                       "CAP_NET_ADMIN",
                       name, PhaseName(dataPhase), current.bitrate);
        } else {
            SayChannel(h.channel, "%s has no %s bit timing, and setting it needs CAP_NET_ADMIN",
                       name, PhaseName(dataPhase));
        }
        return canOK;
    }
    if (r == -EOPNOTSUPP)
        return canERR_NOT_SUPPORTED;
    if (r == -ENODEV)
        return canERR_NOTFOUND;
    if (r != 0)
        return canERR_PARAM;  // the controller cannot run this timing
    // What the controller runs now, as the kernel fitted it.
    LinkInfo now;
    if (links_.Query(h.ifindex, &now) == 0) {
        if (now.haveBittiming)
            h.nominalRate = static_cast<long>(now.bittiming.bitrate);
        if (now.haveDataBittiming)
            h.dataRate = static_cast<long>(now.dataBittiming.bitrate);
    }
    return canOK;
}

int SocketCanBus::TakeLinkDown(Handle& h, const LinkInfo& link) {
    if (!(link.flags & IFF_UP))
        return 0;
    LinkUse& use = uses_[h.name];
    if (use.onBus > 0)
        return -EBUSY;
    const int r = links_.SetUp(h.ifindex, false);
    if (r == 0)
        use.takenDown = true;
    return r;
}

void SocketCanBus::RestoreTakenDown(Handle& h) {
    LinkUse& use = uses_[h.name];
    if (use.takenDown && use.onBus == 0) {
        links_.SetUp(h.ifindex, true);
        use.takenDown = false;
    }
}

int SocketCanBus::BusOn(int hnd) {
    return WithHandle(hnd, [&](Handle& h) {
        if (h.onBus) {
            RestartIfBusOff(h);
            return canOK;
        }
        int status = LinkBusOn(h);
        if (status != canOK)
            return status;
        // What waited before the bus was on was never on the bus for this handle.
        h.port.Drain();
        if (h.port.SetReceiving(true, h.acceptance) != 0) {
            LinkBusOff(h);
            return canERR_PARAM;
        }
        h.onBus = true;
        h.batchNext = h.batchCount = 0;
        h.wireNs = 0;
        h.statsSinceNs = NowNs();
        return canOK;
    });
}

int SocketCanBus::BusOff(int hnd) {
    return WithHandle(hnd, [&](Handle& h) {
        if (h.onBus)
            BusOffLocked(h);
        return canOK;
    });
}

void SocketCanBus::BusOffLocked(Handle& h) {
    h.port.SetReceiving(false, h.acceptance);
    h.port.Drain();
    h.batchNext = h.batchCount = 0;
    h.onBus = false;
    LinkBusOff(h);
}

int SocketCanBus::LinkBusOn(Handle& h) {
    if (h.ifindex == 0)
        return canOK;
    LinkInfo link;
    const int query = links_.Query(h.ifindex, &link);
    if (query == -ENODEV)
        return canERR_NOTFOUND;
    std::lock_guard<std::mutex> links(linkMutex_);
    LinkUse& use = uses_[h.name];
    if (query == 0 && !(link.flags & IFF_UP)) {
        const int r = links_.SetUp(h.ifindex, true);
        if (Permission(r)) {
            SayChannel(h.channel,
                       "%s is down; bringing it up needs CAP_NET_ADMIN (ip link set %s up)",
                       h.name.c_str(), h.name.c_str());
            return canERR_LINK_DOWN;
        }
        if (r != 0) {
            SayChannel(h.channel, "%s cannot be brought up (%s)", h.name.c_str(),
                       std::strerror(-r));
            return canERR_LINK_DOWN;
        }
        if (use.takenDown) {
            use.takenDown = false;  // back up as it was before the timing change
        } else {
            use.broughtUp = true;
        }
    } else if (query == 0 && link.haveState && link.state == CAN_STATE_BUS_OFF && h.initAccess) {
        CanLinkChange change;
        change.restart = true;
        links_.Change(h.ifindex, change);  // without the right, the interface's own restart
    }
    ++use.onBus;
    return canOK;
}

void SocketCanBus::LinkBusOff(Handle& h) {
    if (h.ifindex == 0)
        return;
    std::lock_guard<std::mutex> links(linkMutex_);
    LinkUse& use = uses_[h.name];
    if (use.onBus > 0)
        --use.onBus;
    // Down again only what we brought up, once none of our handles is on it.
    if (use.onBus == 0 && use.broughtUp) {
        links_.SetUp(h.ifindex, false);
        use.broughtUp = false;
    }
}

void SocketCanBus::LinkRestoreOnClose(Handle& h) {
    if (h.ifindex == 0)
        return;
    std::lock_guard<std::mutex> links(linkMutex_);
    RestoreTakenDown(h);
}

void SocketCanBus::RestartIfBusOff(Handle& h) {
    if (h.ifindex == 0 || !h.initAccess)
        return;
    LinkInfo link;
    if (links_.Query(h.ifindex, &link) == 0 && link.haveState && link.state == CAN_STATE_BUS_OFF) {
        CanLinkChange change;
        change.restart = true;
        links_.Change(h.ifindex, change);
    }
}

std::string SocketCanBus::Describe(const SocketCanTarget& target) {
    if (target.interface.empty())
        return "SocketCAN stand-in socket";
    std::string text = "SocketCAN " + target.interface;
    const int ifindex = links_.IndexOf(target.interface);
    if (ifindex == 0)
        return text + ": no such interface";
    LinkInfo link;
    const int r = links_.Query(ifindex, &link);
    if (r != 0)
        return text + ": " + std::strerror(-r);
    if (link.type != ARPHRD_CAN)
        return text + ": not a CAN interface";
    if (!link.kind.empty())
        text += " (" + link.kind + ")";
    text += (link.flags & IFF_UP) ? ": up" : ": down";
    char buf[160];
    if (link.haveState)
        text += std::string(", ") + CanStateName(link.state);
    if (link.haveBittiming) {
        std::snprintf(buf, sizeof buf, ", %u bit/s", link.bittiming.bitrate);
        text += buf;
    }
    if (link.haveDataBittiming && (link.ctrlMode & CAN_CTRLMODE_FD)) {
        std::snprintf(buf, sizeof buf, ", data %u bit/s", link.dataBittiming.bitrate);
        text += buf;
    }
    if (link.kind != "can") {
        std::snprintf(buf, sizeof buf, ", MTU %u%s", link.mtu,
                      link.mtu == CANFD_MTU ? " (CAN FD)" : "");
        text += buf;
    }
    return text;
}

}  // namespace vcan

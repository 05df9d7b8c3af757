#include "socketcan_clock.h"

#include <time.h>

#include <algorithm>
#include <cstring>

namespace vcan {
namespace {

// The socket layer's time structures with 64-bit fields, as the kernel writes them on LP64
// for both the old and the new option numbers.
struct Timespec64 {
    int64_t sec;
    int64_t nsec;
};

int64_t Nanoseconds(int64_t sec, int64_t subNs) {
    return sec * 1'000'000'000 + subNs;
}

}  // namespace

ReceiveMeta ParseReceiveMeta(const msghdr& msg) {
    ReceiveMeta meta;
    meta.ownFrame = (msg.msg_flags & MSG_CONFIRM) != 0;
    if (msg.msg_control == nullptr)
        return meta;
    // CMSG_NXTHDR takes a non-const header; nothing is written through it.
    msghdr& m = const_cast<msghdr&>(msg);
    for (cmsghdr* c = CMSG_FIRSTHDR(&m); c != nullptr; c = CMSG_NXTHDR(&m, c)) {
        if (c->cmsg_level != SOL_SOCKET)
            continue;
        const size_t payload = c->cmsg_len >= CMSG_LEN(0) ? c->cmsg_len - CMSG_LEN(0) : 0;
        const unsigned char* data = CMSG_DATA(c);
        if (c->cmsg_type == SO_TIMESTAMPING_OLD || c->cmsg_type == SO_TIMESTAMPING_NEW) {
            Timespec64 ts[3];
            if (payload != sizeof ts)
                continue;
            std::memcpy(ts, data, sizeof ts);
            if (ts[0].sec != 0 || ts[0].nsec != 0) {
                meta.stamps.haveSoftware = true;
                meta.stamps.softwareNs = Nanoseconds(ts[0].sec, ts[0].nsec);
            }
            if (ts[2].sec != 0 || ts[2].nsec != 0) {
                meta.stamps.haveHardware = true;
                meta.stamps.hardwareNs = Nanoseconds(ts[2].sec, ts[2].nsec);
            }
        } else if (c->cmsg_type == SO_TIMESTAMP_OLD || c->cmsg_type == SO_TIMESTAMP_NEW) {
            Timespec64 tv;  // seconds and microseconds
            if (payload != sizeof tv)
                continue;
            std::memcpy(&tv, data, sizeof tv);
            meta.stamps.haveSoftware = true;
            meta.stamps.softwareNs = Nanoseconds(tv.sec, tv.nsec * 1000);
        } else if (c->cmsg_type == SO_RXQ_OVFL) {
            if (payload != sizeof meta.drops)
                continue;
            std::memcpy(&meta.drops, data, sizeof meta.drops);
            meta.haveDrops = true;
        }
    }
    return meta;
}

int64_t StampMapper::ToMonotonic(const FrameStamps& stamps, int64_t realNowNs, int64_t monoNowNs) {
    int64_t real = 0;
    if (stamps.haveHardware) {
        const int64_t software = stamps.haveSoftware ? stamps.softwareNs : realNowNs;
        const int64_t distance = software - stamps.hardwareNs;
        const int64_t offset = std::min(current_, previous_);
        if (!anchored_ || distance - offset > kJumpNs || offset - distance > kJumpNs) {
            anchored_ = true;
            current_ = previous_ = distance;
            windowStartNs_ = software;
        } else if (software - windowStartNs_ >= kWindowNs) {
            previous_ = current_;
            current_ = distance;
            windowStartNs_ = software;
        } else {
            current_ = std::min(current_, distance);
        }
        real = stamps.hardwareNs + std::min(current_, previous_);
    } else if (stamps.haveSoftware) {
        real = stamps.softwareNs;
    } else {
        return monoNowNs;
    }
    // A stamp after the moment of reading means the wall clock was set back meanwhile.
    return std::min(real - (realNowNs - monoNowNs), monoNowNs);
}

uint32_t ClockUnits(int64_t timeNs, int64_t openNs, uint32_t scaleUs, uint32_t offset) {
    const uint64_t us = timeNs > openNs ? static_cast<uint64_t>(timeNs - openNs) / 1000 : 0;
    return static_cast<uint32_t>(us / (scaleUs ? scaleUs : 1)) + offset;
}

int64_t RealtimeNs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return Nanoseconds(ts.tv_sec, ts.tv_nsec);
}

}  // namespace vcan

// What the kernel attaches to a received CAN frame (time stamps, the socket's drop count, the
// mark of our own sent frames) and how its time stamps map to the channel clock.
#pragma once

#include <sys/socket.h>

#include <cstdint>

namespace vcan {

struct FrameStamps {
    bool haveSoftware = false;
    int64_t softwareNs = 0;  // the kernel's receive time, CLOCK_REALTIME
    bool haveHardware = false;
    int64_t hardwareNs = 0;  // the controller's own clock, of unknown origin
};

struct ReceiveMeta {
    FrameStamps stamps;
    bool haveDrops = false;
    uint32_t drops = 0;     // frames the socket dropped since it was opened (wraps)
    bool ownFrame = false;  // sent by this socket and echoed back (MSG_CONFIRM)
};

// Reads the control messages and flags of one received datagram: SCM_TIMESTAMPING (software
// and raw hardware time), SCM_TIMESTAMP and SO_RXQ_OVFL. Control messages of a size other
// than their type's are ignored.
ReceiveMeta ParseReceiveMeta(const msghdr& msg);

// Frames lost since the previous report, from the cumulative counts of SO_RXQ_OVFL.
class DropCounter {
public:
    uint32_t Update(uint32_t cumulative) {
        const uint32_t lost = cumulative - last_;
        last_ = cumulative;
        return lost;
    }

private:
    uint32_t last_ = 0;  // a new socket has dropped nothing
};

// Maps the time stamps of one socket's frames onto the monotonic clock that the channel clock
// counts. A software stamp is CLOCK_REALTIME and moves by the distance of the two clocks now.
// A hardware stamp keeps the controller's precision: it is placed by the smallest distance to
// its software stamp seen over the last two windows of ten seconds (the least delayed frame
// shows the true offset, and the windows follow a drifting oscillator); a jump of more than a
// second (a controller reset) starts again. Without stamps the frame gets the time of reading.
class StampMapper {
public:
    static constexpr int64_t kWindowNs = 10'000'000'000;
    static constexpr int64_t kJumpNs = 1'000'000'000;

    // `realNowNs` and `monoNowNs`: CLOCK_REALTIME and the monotonic clock read together now.
    int64_t ToMonotonic(const FrameStamps& stamps, int64_t realNowNs, int64_t monoNowNs);

private:
    bool anchored_ = false;
    int64_t current_ = 0;   // smallest software - hardware distance of this window
    int64_t previous_ = 0;  // the same of the window before
    int64_t windowStartNs_ = 0;
};

// The channel clock in timer units of `scaleUs` microseconds, counted from `openNs` on the
// monotonic clock and moved by `offset`; wraps at 2^32. Times before opening read as 0.
uint32_t ClockUnits(int64_t timeNs, int64_t openNs, uint32_t scaleUs, uint32_t offset);

// CLOCK_REALTIME in nanoseconds.
int64_t RealtimeNs();

}  // namespace vcan

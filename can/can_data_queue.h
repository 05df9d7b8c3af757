#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <mutex>

#include "can_frame_record.h"

// The transmit queue: frames the user asked to send that a transmit worker
// has not yet handed to the library. It has its own lock, never held
// together with the channel manager's.
//
// Every channel has its own first-in, first-out lane: a transmit worker takes
// only the frames queued for its channel, so a worker that wakes while
// another channel's frame waits can never send that frame on the wrong bus.
class CanDataQueue {
public:
    // False when the record names no channel or memory ran out; the queue is
    // then unchanged.
    bool Push(const CanFrameRecord& record);
    // Records waiting on all channels.
    size_t Count() const;
    // Copies the front record of `channel`'s lane out and removes it; false
    // when that lane is empty.
    bool Pop(int channel, CanFrameRecord& record);

private:
    mutable std::mutex lock_;
    std::array<std::deque<CanFrameRecord>, kChannelCount> lanes_;
};

#pragma once

#include <cstddef>
#include <deque>
#include <mutex>

#include "can_frame_record.h"

// The transmit queue: frames the user asked to send that a transmit worker
// has not yet handed to the library. It has its own lock, never held
// together with the channel manager's.
class CanDataQueue {
public:
    // False when memory ran out; the queue is then unchanged.
    bool Push(const CanFrameRecord& record);
    size_t Count() const;
    // Copies the front record out and removes it; false when empty.
    bool Pop(CanFrameRecord& record);

private:
    mutable std::mutex lock_;
    std::deque<CanFrameRecord> records_;
};

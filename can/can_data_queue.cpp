#include "can_data_queue.h"

#include <new>

bool CanDataQueue::Push(const CanFrameRecord& record) {
    if (record.channel >= kChannelCount) {
        return false;
    }
    std::lock_guard<std::mutex> hold(lock_);
    try {
        lanes_[record.channel].push_back(record);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

size_t CanDataQueue::Count() const {
    std::lock_guard<std::mutex> hold(lock_);
    size_t count = 0;
    for (const auto& lane : lanes_) {
        count += lane.size();
    }
    return count;
}

bool CanDataQueue::Pop(int channel, CanFrameRecord& record) {
    if (channel < 0 || channel >= kChannelCount) {
        return false;
    }
    std::lock_guard<std::mutex> hold(lock_);
    auto& lane = lanes_[static_cast<size_t>(channel)];
    if (lane.empty()) {
        return false;
    }
    record = lane.front();
    lane.pop_front();
    return true;
}

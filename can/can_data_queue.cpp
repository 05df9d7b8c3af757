#include "can_data_queue.h"

#include <new>

bool CanDataQueue::Push(const CanFrameRecord& record) {
    std::lock_guard<std::mutex> hold(lock_);
    try {
        records_.push_back(record);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

size_t CanDataQueue::Count() const {
    std::lock_guard<std::mutex> hold(lock_);
    return records_.size();
}

bool CanDataQueue::Pop(CanFrameRecord& record) {
    std::lock_guard<std::mutex> hold(lock_);
    if (records_.empty()) {
        return false;
    }
    record = records_.front();
    records_.pop_front();
    return true;
}

// Bounded receive queue of one handle. Not locked: the owner guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace vcan {

struct QueuedFrame {
    int64_t timeNs;  // monotonic clock at delivery
    uint32_t id;
    uint32_t flags;
    uint32_t length;  // data bytes held (remote frames: requested length, no data)
    uint8_t data[64];
};

class RxQueue {
public:
    // Allocates room for at least `capacity` frames (rounded up to a power of two) and
    // empties the queue. False when the memory is not available.
    bool Reset(size_t capacity);
    void Release();
    void Clear() { head_ = tail_ = 0; }

    bool Empty() const { return head_ == tail_; }
    size_t Size() const { return tail_ - head_; }
    size_t Capacity() const { return mask_ + 1; }

    // False (and nothing stored) when the queue is full.
    bool Push(int64_t timeNs, uint32_t id, uint32_t flags, uint32_t length, unsigned dataBytes,
              const uint8_t* data) {
        if (!slots_ || tail_ - head_ > mask_)
            return false;
        QueuedFrame& f = slots_[tail_ & mask_];
        f.timeNs = timeNs;
        f.id = id;
        f.flags = flags;
        f.length = length;
        if (dataBytes)
            std::memcpy(f.data, data, dataBytes);
        ++tail_;
        return true;
    }

    const QueuedFrame* Front() const { return Empty() ? nullptr : &slots_[head_ & mask_]; }
    void PopFront() { ++head_; }

private:
    std::unique_ptr<QueuedFrame[]> slots_;
    size_t mask_ = 0;
    size_t head_ = 0;
    size_t tail_ = 0;
};

}  // namespace vcan

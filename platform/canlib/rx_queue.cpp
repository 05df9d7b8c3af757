#include "rx_queue.h"

#include <new>

namespace vcan {

bool RxQueue::Reset(size_t capacity) {
    size_t size = 1;
    while (size < capacity && size < (size_t{1} << 24))
        size <<= 1;
    if (!slots_ || size != mask_ + 1) {
        slots_.reset(new (std::nothrow) QueuedFrame[size]);
        if (!slots_) {
            mask_ = 0;
            head_ = tail_ = 0;
            return false;
        }
        mask_ = size - 1;
    }
    head_ = tail_ = 0;
    return true;
}

void RxQueue::Release() {
    slots_.reset();
    mask_ = 0;
    head_ = tail_ = 0;
}

}  // namespace vcan

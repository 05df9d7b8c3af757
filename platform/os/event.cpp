#include "event.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <vector>

namespace os {

namespace {

using Clock = std::chrono::steady_clock;

// Remaining milliseconds of a wait that started at start; kInfinite stays.
int Remaining(int timeoutMs, Clock::time_point start) {
    if (timeoutMs < 0) {
        return kInfinite;
    }
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return spent >= timeoutMs ? 0 : static_cast<int>(timeoutMs - spent);
}

}  // namespace

Event::~Event() {
    Close();
}

Event::Event(Event&& other) noexcept : fd_(other.fd_), mode_(other.mode_), owned_(other.owned_) {
    other.fd_ = -1;
    other.owned_ = false;
}

Event& Event::operator=(Event&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        mode_ = other.mode_;
        owned_ = other.owned_;
        other.fd_ = -1;
        other.owned_ = false;
    }
    return *this;
}

Event Event::Create(ResetMode mode, bool initiallySignaled) {
    const int fd = eventfd(initiallySignaled ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) {
        return Event();
    }
    return Event(fd, mode, true);
}

Event Event::Adopt(int fd, ResetMode mode, bool takeOwnership) {
    if (fd < 0) {
        return Event();
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0) {
        return Event();
    }
    if ((flags & O_NONBLOCK) == 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
        return Event();
    }
    return Event(fd, mode, takeOwnership);
}

bool Event::Set() {
    if (fd_ < 0) {
        return false;
    }
    const uint64_t one = 1;
    for (;;) {
        const ssize_t n = write(fd_, &one, sizeof one);
        if (n == sizeof one) {
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // EAGAIN: the counter is at its maximum, so the event is signalled anyway.
        return n < 0 && errno == EAGAIN;
    }
}

bool Event::Consume() {
    uint64_t value = 0;
    for (;;) {
        const ssize_t n = read(fd_, &value, sizeof value);
        if (n == sizeof value) {
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

bool Event::Reset() {
    if (fd_ < 0) {
        return false;
    }
    Consume();  // nothing to consume is fine: the event is reset either way
    return true;
}

WaitResult Event::Wait(int timeoutMs) {
    Event* self = this;
    switch (WaitAny(std::span<Event* const>(&self, 1), timeoutMs)) {
        case 0:
            return WaitResult::Signaled;
        case kWaitTimeout:
            return WaitResult::Timeout;
        default:
            return WaitResult::Failed;
    }
}

void Event::Close() {
    if (fd_ >= 0 && owned_) {
        ::close(fd_);
    }
    fd_ = -1;
    owned_ = false;
}

int WaitAny(std::span<Event* const> events, int timeoutMs) {
    // Workers wait once per burst of frames: keep the common case off the heap.
    constexpr size_t kInline = 8;
    pollfd inlineFds[kInline];
    size_t inlineIndex[kInline];
    std::vector<pollfd> heapFds;
    std::vector<size_t> heapIndex;
    pollfd* fds = inlineFds;
    size_t* index = inlineIndex;
    if (events.size() > kInline) {
        heapFds.resize(events.size());
        heapIndex.resize(events.size());
        fds = heapFds.data();
        index = heapIndex.data();
    }
    size_t count = 0;
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i] != nullptr && events[i]->IsValid()) {
            fds[count] = pollfd{events[i]->Fd(), POLLIN, 0};
            index[count] = i;
            ++count;
        }
    }
    if (count == 0) {
        return kWaitFailed;
    }
    const auto start = Clock::now();
    for (;;) {
        const int ready = poll(fds, count, Remaining(timeoutMs, start));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return kWaitFailed;
        }
        if (ready == 0) {
            return kWaitTimeout;
        }
        for (size_t k = 0; k < count; ++k) {
            if ((fds[k].revents & (POLLERR | POLLNVAL)) != 0) {
                return kWaitFailed;
            }
            if ((fds[k].revents & POLLIN) == 0) {
                continue;
            }
            Event* event = events[index[k]];
            // An auto-reset event is signalled for one waiter only: whoever
            // consumes the count owns the wake-up, the others wait again.
            if (event->Mode() == ResetMode::Manual || event->Consume()) {
                return static_cast<int>(index[k]);
            }
        }
        if (timeoutMs == 0) {
            return kWaitTimeout;
        }
    }
}

}  // namespace os

#include "socketcan_notifier.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace vcan {
namespace {

constexpr uint32_t kOneShot = EPOLLIN | EPOLLONESHOT;

void SignalEvent(int eventFd) {
    const uint64_t one = 1;
    // A full counter still leaves the event readable.
    [[maybe_unused]] const ssize_t n = write(eventFd, &one, sizeof one);
}

}  // namespace

bool ReadyNotifier::StartLocked() {
    if (thread_.joinable())
        return true;
    epoll_ = epoll_create1(EPOLL_CLOEXEC);
    wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = wake_;
    if (epoll_ < 0 || wake_ < 0 || epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &ev) != 0) {
        if (epoll_ >= 0)
            close(epoll_);
        if (wake_ >= 0)
            close(wake_);
        epoll_ = wake_ = -1;
        return false;
    }
    thread_ = std::thread(&ReadyNotifier::Run, this, epoll_, wake_);
    return true;
}

bool ReadyNotifier::Watch(int socketFd, int eventFd) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!StartLocked())
        return false;
    epoll_event ev{};
    ev.events = kOneShot;
    ev.data.fd = socketFd;
    const int op = events_.count(socketFd) ? EPOLL_CTL_MOD : EPOLL_CTL_ADD;
    if (epoll_ctl(epoll_, op, socketFd, &ev) != 0)
        return false;
    events_[socketFd] = eventFd;
    return true;
}

void ReadyNotifier::Rearm(int socketFd) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (epoll_ < 0 || !events_.count(socketFd))
        return;
    epoll_event ev{};
    ev.events = kOneShot;
    ev.data.fd = socketFd;
    epoll_ctl(epoll_, EPOLL_CTL_MOD, socketFd, &ev);
}

void ReadyNotifier::Forget(int socketFd) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (epoll_ >= 0 && events_.erase(socketFd))
        epoll_ctl(epoll_, EPOLL_CTL_DEL, socketFd, nullptr);
}

void ReadyNotifier::Stop() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!thread_.joinable())
            return;
        SignalEvent(wake_);
        thread = std::move(thread_);
    }
    thread.join();
    std::lock_guard<std::mutex> lock(mutex_);
    close(epoll_);
    close(wake_);
    epoll_ = wake_ = -1;
    events_.clear();
}

void ReadyNotifier::Run(int epollFd, int wakeFd) {
    constexpr int kEvents = 16;
    epoll_event ready[kEvents];
    for (;;) {
        const int n = epoll_wait(epollFd, ready, kEvents, -1);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        // Under the lock: a socket forgotten meanwhile gets no signal, and its event may
        // already be closed.
        std::lock_guard<std::mutex> lock(mutex_);
        for (int i = 0; i < n; ++i) {
            if (ready[i].data.fd == wakeFd)
                return;
            const auto it = events_.find(ready[i].data.fd);
            if (it != events_.end())
                SignalEvent(it->second);
        }
    }
}

}  // namespace vcan

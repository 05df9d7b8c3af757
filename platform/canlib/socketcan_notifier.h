// The receive event of a SocketCAN handle: an eventfd, signalled once when the handle's
// socket becomes readable. One thread watches every socket through epoll in one-shot mode;
// the reader arms the watch again when it has drained the socket, so a burst of frames costs
// one wake-up and a frame that arrives meanwhile is never missed (the level is checked as the
// watch is armed).
#pragma once

#include <map>
#include <mutex>
#include <thread>

namespace vcan {

class ReadyNotifier {
public:
    ReadyNotifier() = default;
    ~ReadyNotifier() { Stop(); }
    ReadyNotifier(const ReadyNotifier&) = delete;
    ReadyNotifier& operator=(const ReadyNotifier&) = delete;

    // Signals `eventFd` when `socketFd` is readable; false when the watch cannot be set up.
    bool Watch(int socketFd, int eventFd);
    // Watches again after the socket was found empty.
    void Rearm(int socketFd);
    // No signal goes to the socket's event once this returns; then both may be closed.
    void Forget(int socketFd);
    // Ends the thread and every watch.
    void Stop();

private:
    void Run(int epollFd, int wakeFd);
    bool StartLocked();

    std::mutex mutex_;
    int epoll_ = -1;
    int wake_ = -1;  // eventfd that ends the thread
    std::thread thread_;
    std::map<int, int> events_;  // socket -> its eventfd
};

}  // namespace vcan

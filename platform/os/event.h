#pragma once

#include <cstddef>
#include <span>

namespace os {

inline constexpr int kInfinite = -1;

enum class WaitResult { Signaled, Timeout, Failed };
enum class ResetMode { Auto, Manual };

// A waitable event on an eventfd. Auto-reset events release one waiter and
// return to the non-signalled state; manual-reset events stay signalled until
// Reset. Set, Reset and Wait may be called from any thread at once; closing
// while another thread still uses the event is the owner's fault to avoid.
class Event {
public:
    Event() = default;
    ~Event();
    Event(Event&& other) noexcept;
    Event& operator=(Event&& other) noexcept;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    // A new event; IsValid() is false when the system refused one.
    static Event Create(ResetMode mode, bool initiallySignaled);
    // Wraps a descriptor made elsewhere (a library's receive notification).
    // With takeOwnership the descriptor is closed with the event. The
    // descriptor is switched to non-blocking so that a consumed signal never
    // blocks a waiter.
    static Event Adopt(int fd, ResetMode mode, bool takeOwnership);

    bool IsValid() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    ResetMode Mode() const { return mode_; }

    bool Set();
    bool Reset();
    // timeoutMs: kInfinite, 0 to poll, or a time in milliseconds.
    WaitResult Wait(int timeoutMs = kInfinite);
    void Close();

private:
    Event(int fd, ResetMode mode, bool owned) : fd_(fd), mode_(mode), owned_(owned) {}
    // Consumes the signal of an auto-reset event; false when another waiter
    // took it first.
    bool Consume();
    friend int WaitAny(std::span<Event* const> events, int timeoutMs);

    int fd_ = -1;
    ResetMode mode_ = ResetMode::Auto;
    bool owned_ = false;
};

inline constexpr int kWaitTimeout = -1;
inline constexpr int kWaitFailed = -2;

// Waits until one of the events is signalled and returns its index (the
// lowest index when several are), kWaitTimeout or kWaitFailed. Null or
// invalid entries are skipped.
int WaitAny(std::span<Event* const> events, int timeoutMs = kInfinite);

}  // namespace os

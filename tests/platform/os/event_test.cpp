#include "platform/os/event.h"

#include <gtest/gtest.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using os::Event;
using os::ResetMode;
using os::WaitResult;

TEST(Event, AutoResetReleasesOneWaitThenBlocks) {
    Event e = Event::Create(ResetMode::Auto, true);
    ASSERT_TRUE(e.IsValid());
    EXPECT_EQ(e.Wait(0), WaitResult::Signaled);  // created signalled
    EXPECT_EQ(e.Wait(0), WaitResult::Timeout);   // and reset by that wait
    EXPECT_TRUE(e.Set());
    EXPECT_TRUE(e.Set());  // two sets before a wait still signal once
    EXPECT_EQ(e.Wait(0), WaitResult::Signaled);
    EXPECT_EQ(e.Wait(0), WaitResult::Timeout);
}

TEST(Event, ManualResetStaysSignalledUntilReset) {
    Event e = Event::Create(ResetMode::Manual, false);
    EXPECT_EQ(e.Wait(0), WaitResult::Timeout);
    e.Set();
    EXPECT_EQ(e.Wait(0), WaitResult::Signaled);
    EXPECT_EQ(e.Wait(10), WaitResult::Signaled);
    EXPECT_TRUE(e.Reset());
    EXPECT_EQ(e.Wait(0), WaitResult::Timeout);
    EXPECT_TRUE(e.Reset());  // resetting a reset event is fine
}

TEST(Event, TimedWaitTimesOutAfterRoughlyTheTime) {
    Event e = Event::Create(ResetMode::Auto, false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(e.Wait(30), WaitResult::Timeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(29));
}

TEST(Event, InvalidEventsFailInsteadOfBlocking) {
    Event none;
    EXPECT_FALSE(none.IsValid());
    EXPECT_FALSE(none.Set());
    EXPECT_FALSE(none.Reset());
    EXPECT_EQ(none.Wait(os::kInfinite), WaitResult::Failed);
    EXPECT_FALSE(Event::Adopt(-1, ResetMode::Auto, false).IsValid());
    Event* list[] = {nullptr, &none};
    EXPECT_EQ(os::WaitAny(list, os::kInfinite), os::kWaitFailed);
}

TEST(Event, InfiniteWaitWakesOnSetFromAnotherThread) {
    Event e = Event::Create(ResetMode::Auto, false);
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        e.Set();
    });
    EXPECT_EQ(e.Wait(os::kInfinite), WaitResult::Signaled);
    setter.join();
}

TEST(Event, AdoptedDescriptorIsWaitedAndConsumedButNotClosedUnlessOwned) {
    const int fd = eventfd(0, 0);  // blocking, as a foreign library might make it
    ASSERT_GE(fd, 0);
    {
        Event e = Event::Adopt(fd, ResetMode::Auto, false);
        ASSERT_TRUE(e.IsValid());
        EXPECT_EQ(e.Wait(0), WaitResult::Timeout);
        const uint64_t one = 1;
        ASSERT_EQ(write(fd, &one, sizeof one), 8);
        EXPECT_EQ(e.Wait(0), WaitResult::Signaled);
        EXPECT_EQ(e.Wait(0), WaitResult::Timeout);  // must not block on the consumed fd
        e.Set();                                    // waking the adopted descriptor (as stop does)
        EXPECT_EQ(e.Wait(0), WaitResult::Signaled);
    }
    uint64_t v = 0;
    EXPECT_EQ(write(fd, &v, sizeof v), 8) << "descriptor was closed by a non-owning event";
    close(fd);
}

TEST(Event, WaitAnyReportsTheSignalledIndexAndConsumesOnlyIt) {
    Event a = Event::Create(ResetMode::Auto, false);
    Event b = Event::Create(ResetMode::Auto, false);
    Event c = Event::Create(ResetMode::Manual, false);
    Event* list[] = {&a, nullptr, &b, &c};
    EXPECT_EQ(os::WaitAny(list, 0), os::kWaitTimeout);
    b.Set();
    c.Set();
    EXPECT_EQ(os::WaitAny(list, 0), 2);
    EXPECT_EQ(os::WaitAny(list, 0), 3);  // b consumed, manual c still set
    EXPECT_EQ(os::WaitAny(list, 0), 3);
    EXPECT_EQ(b.Wait(0), WaitResult::Timeout);
    std::vector<Event> many;
    std::vector<Event*> ptrs;
    for (int i = 0; i < 12; ++i)
        many.push_back(Event::Create(ResetMode::Auto, false));
    for (Event& e : many)
        ptrs.push_back(&e);
    many[11].Set();
    EXPECT_EQ(os::WaitAny(ptrs, 100), 11);  // more events than the inline array
}

TEST(Event, AutoResetHandsEachSetToExactlyOneOfManyWaiters) {
    // Waiters that race for one signal: every Set must wake someone, no set
    // may wake two (counted after the waiters drain).
    Event e = Event::Create(ResetMode::Auto, false);
    std::atomic<int> wakes{0};
    std::atomic<bool> done{false};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            while (!done.load()) {
                if (e.Wait(5) == WaitResult::Signaled)
                    wakes.fetch_add(1);
            }
        });
    }
    constexpr int kSets = 200;
    for (int i = 0; i < kSets; ++i) {
        e.Set();
        // Wait until the signal was taken before setting again, so each set is distinct.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (wakes.load() <= i && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
    }
    done = true;
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(wakes.load(), kSets);
}

TEST(Event, MoveTransfersOwnership) {
    Event a = Event::Create(ResetMode::Auto, true);
    const int fd = a.Fd();
    Event b = std::move(a);
    EXPECT_FALSE(a.IsValid());
    EXPECT_EQ(b.Fd(), fd);
    EXPECT_EQ(b.Wait(0), WaitResult::Signaled);
    b = Event::Create(ResetMode::Manual, true);
    EXPECT_EQ(b.Mode(), ResetMode::Manual);
}

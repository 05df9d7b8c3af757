// The channel manager where the library refuses something, on CAN FD
// channels, across a restart, and with the live log at full load.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "can/can_manager.h"
#include "can/frame_text.h"
#include "manager_test_support.h"
#include "test_files.h"

// A first open that the library refuses (another program holds init access)
// is tried again without it; a second refusal skips the channel.
TEST_F(ManagerTest, OpenIsRetriedWithoutInitAccess) {
    struct Case {
        int refusals;
        bool holder;  // a handle of our own holds the channel's init access
        Lines expected;
    } cases[] = {
        {1,
         false,
         {{0, Line(1, "canOpenChannel", "succeed.")},
          {0, Line(1, "canIoCtl", "succeed.")},
          {0, Line(1, "canSetBusParams", "succeed.")},
          {0, Line(1, "canBusOn", "succeed.")}}},
        {0,
         true,
         {{0, Line(1, "canOpenChannel", "succeed.")},
          {0, Line(1, "canIoCtl", "succeed.")},
          {0, Line(1, "canSetBusParams", "succeed.")},
          {0, Line(1, "canBusOn", "succeed.")}}},
        {2, false, {{3, Line(1, "canOpenChannel", vcan.Text(kCanErrInvHandle))}}},
    };
    ASSERT_NE(vcan.openChannel, nullptr);
    for (const Case& c : cases) {
        int holder = -1;
        if (c.holder) {
            holder = vcan.openChannel(0, kCanOpenRequireInitAccess | kCanOpenAcceptVirtual);
            ASSERT_GE(holder, 0);
        }
        if (c.refusals > 0) {
            ASSERT_EQ(vcan.failNext("canOpenChannel", -3, c.refusals), 0);
        }
        auto manager = Make(Config({{0, Classic500k()}}));
        log.Take();
        const int started = manager->Start();
        EXPECT_EQ(log.Take(), c.expected) << c.refusals << " " << c.holder;
        if (c.refusals < 2) {
            ASSERT_EQ(started, 1);
            Inject(0, 0x321);
            EXPECT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 1; }));
        } else {
            EXPECT_EQ(started, 0);
            EXPECT_EQ(manager->Handle(0), -1);
        }
        manager->Stop();
        if (holder >= 0)
            vcan.closeChannel(holder);
    }
}

// On a CAN FD channel every frame goes out as a CAN FD frame; the listed
// record keeps the flags it was queued with.
TEST_F(ManagerTest, SendingOnACanFdChannelAddsTheFdFlag) {
    auto manager = Make(Config({{0, Fd500k2M()}, {1, Fd500k2M()}}));
    ASSERT_EQ(manager->Start(), 1);
    CanFrameRecord frame{};
    frame.id = 0x123;
    frame.dlc = 12;
    frame.flags = kFdMsgBrs;
    frame.data[11] = 0x5A;
    frame.channel = 0;
    ASSERT_TRUE(manager->QueueFrame(frame));
    ASSERT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 2; }));
    manager->Stop();
    const CanFrameRecord* sent = nullptr;
    const CanFrameRecord* received = nullptr;
    for (size_t i = 0; i < 2; ++i) {
        const CanFrameRecord& r = manager->Frames().At(i);
        (r.direction == kDirectionTransmitted ? sent : received) = &r;
    }
    ASSERT_NE(sent, nullptr);
    ASSERT_NE(received, nullptr);
    EXPECT_EQ(sent->status, kStatusOk);
    EXPECT_EQ(sent->flags, kFdMsgBrs);
    EXPECT_EQ(received->channel, 1);
    EXPECT_EQ(received->flags & (kFdMsgFdf | kFdMsgBrs), kFdMsgFdf | kFdMsgBrs);
    EXPECT_EQ(received->dlc, 12u);
    EXPECT_EQ(received->data[11], 0x5A);
}

// The time-stamp unit refused at start is logged and the start goes on; a
// receive notification refused to the worker ends only that worker.
TEST_F(ManagerTest, IoCtlRefusedAtStartAndInTheReceiveWorker) {
    for (int refusals : {1, 2}) {
        auto manager = Make(Config({{0, Classic500k()}}));
        // The first canIoCtl is the start's time-stamp unit, the second the
        // notification the receive worker asks for.
        ASSERT_EQ(vcan.failNext("canIoCtl", kCanErrParam, refusals), 0);
        log.Take();
        ASSERT_EQ(manager->Start(), 1);
        const std::string refused = Line(1, "canIoCtl", vcan.Text(kCanErrParam));
        EXPECT_TRUE(WaitUntil([&] { return log.Count(3, refused) == size_t(refusals); }));
        EXPECT_EQ(manager->Active(0), 1);
        EXPECT_EQ(manager->BusOn(0), 1);
        EXPECT_TRUE(manager->HasTxEvent(0));  // the other workers run on
        Inject(0, 0x77);
        if (refusals == 1) {
            EXPECT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 1; }));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            EXPECT_EQ(manager->Frames().Size(), 0u);  // nobody reads the channel
        }
        manager->Stop();  // ends cleanly, also with the receive worker gone
        EXPECT_EQ(manager->Handle(0), -1);
        EXPECT_EQ(log.Count(3, refused), size_t(refusals));
    }
}

// Start keeps the counters and the peak of the run before; its first pass
// takes the library's counts afresh and keeps the rate, which needs two passes.
TEST_F(ManagerTest, FirstStatisticsPassAfterARestart) {
    auto manager = Make(Config({{0, Classic500k()}}, 100));
    auto pass = [&] {
        const size_t before = manager->BusLoadHistoryValues(0).size();
        manager->RefreshStatistics();
        ASSERT_TRUE(WaitUntil([&] { return manager->BusLoadHistoryValues(0).size() > before; }));
    };
    ASSERT_EQ(manager->Start(), 1);
    ASSERT_TRUE(WaitUntil([&] { return manager->BusLoadHistoryValues(0).size() == 1; }));
    for (int i = 0; i < 200; ++i)
        Inject(0, 0x100);
    ASSERT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 200; }));
    ASSERT_EQ(vcan.busLoad(0, 5000), 0);
    pass();
    const ChannelStatistics first = manager->Statistics(0);
    ASSERT_EQ(first.rxTotal, 200u);
    ASSERT_GT(first.rxPerSecond, 0u);
    ASSERT_EQ(first.busLoadPeak, 5000u);
    manager->Stop();

    ASSERT_EQ(vcan.busLoad(0, 1000), 0);
    ASSERT_EQ(manager->Start(), 1);
    // The start's own pass, as soon as the worker runs.
    ASSERT_TRUE(WaitUntil([&] { return manager->BusLoadHistoryValues(0).size() == 1; }));
    ChannelStatistics st = manager->Statistics(0);
    EXPECT_EQ(st.bus.stdData, 0u);  // the reopened channel counts from 0
    EXPECT_EQ(st.rxTotal, 0u);
    EXPECT_EQ(st.rxPerSecond, first.rxPerSecond);  // no previous time yet
    EXPECT_EQ(st.bus.busLoad, 1000u);
    EXPECT_EQ(st.busLoadPeak, 5000u);
    EXPECT_EQ(manager->BusLoadHistoryValues(0), (std::vector<uint32_t>{1000}));
    pass();  // nothing received since: the rate is now 0
    EXPECT_EQ(manager->Statistics(0).rxPerSecond, 0u);
    manager->Stop();
}

// The log is set before the start; five channels receive as fast as the
// library takes frames while CAN1 also sends. The file holds every listed
// frame, in the list's order, and nothing else.
TEST_F(ManagerTest, LiveLogHoldsEveryListedFrameInOrderAtFullLoad) {
    auto manager = Make(Config({{0, Classic500k()},
                                {1, Classic500k()},
                                {2, Classic500k()},
                                {3, Classic500k()},
                                {4, Classic500k()}}));
    const std::string path = TempPath("full_load.log");
    ::unlink(path.c_str());
    manager->SetRealtimeLog(path);
    ASSERT_EQ(manager->Start(), 1);
    std::vector<std::thread> injectors;
    for (int c = 0; c < kChannelCount; ++c) {
        injectors.emplace_back([&, c] {
            const uint8_t data[8] = {static_cast<uint8_t>(c), 1, 2, 3, 4, 5, 6, 7};
            for (uint32_t n = 0; n < 20000; ++n)
                vcan.inject(c, static_cast<long>(0x100 + (n & 0xFF)), data, 8, kMsgStd);
        });
    }
    CanFrameRecord frame{};
    frame.id = 0x7FF;
    frame.dlc = 2;
    for (int i = 0; i < 500; ++i)
        manager->QueueFrame(frame);
    for (auto& t : injectors)
        t.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    manager->Stop();  // stops while the last bursts are still read
    ASSERT_GT(manager->Frames().Size(), 5000u);
    std::string expected;
    for (size_t i = 0; i < manager->Frames().Size(); ++i) {
        AppendFrameLine(expected, manager->Frames().At(i), "\r\n");
        expected += "\r\n";
    }
    const std::string logged = ReadFile(path);
    EXPECT_EQ(logged.size(), expected.size());
    EXPECT_TRUE(logged == expected) << "the log differs from the list";
    ::unlink(path.c_str());
}

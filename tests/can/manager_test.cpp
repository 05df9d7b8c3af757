#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

#include "can/can_manager.h"
#include "can/frame_text.h"
#include "manager_test_support.h"

TEST_F(ManagerTest, MissingChannelIsSkippedAndStopClosesTheOthers) {
    ASSERT_EQ(vcan.present(2, 0), 0);
    auto manager = Make(Config({{0, Classic500k()}, {2, Classic500k()}}));
    EXPECT_TRUE(manager->Lib().IsCanLibLoaded());
    EXPECT_NE(manager->Lib().LibraryVersion(), 0u);
    ASSERT_EQ(manager->Start(), 1);
    const std::string invalid = vcan.Text(kCanErrInvHandle);
    EXPECT_EQ(log.Take(), (Lines{{0, Line(1, "canOpenChannel", "succeed.")},
                                 {0, Line(1, "canIoCtl", "succeed.")},
                                 {0, Line(1, "canSetBusParams", "succeed.")},
                                 {0, Line(1, "canBusOn", "succeed.")},
                                 {3, Line(3, "canOpenChannel", invalid)}}));
    EXPECT_TRUE(manager->Connected());
    EXPECT_EQ(manager->Active(0), 1);
    EXPECT_EQ(manager->BusOn(0), 1);
    EXPECT_EQ(manager->Active(2), 0);
    EXPECT_EQ(manager->Handle(2), -1);
    EXPECT_TRUE(manager->HasTxEvent(0));
    EXPECT_FALSE(manager->HasTxEvent(2));
    manager->Stop();
    EXPECT_EQ(log.Take(), (Lines{{0, Line(1, "canResetBus", "succeed.")},
                                 {0, Line(1, "canBusOff", "succeed.")},
                                 {0, Line(1, "canClose", "succeed.")}}));
    EXPECT_FALSE(manager->Connected());
    EXPECT_EQ(manager->Handle(0), -1);
    EXPECT_FALSE(manager->HasTxEvent(0));
}

TEST_F(ManagerTest, RefusedDataTimingNeverReachesTheBusAndFailedStartCleansUp) {
    ChannelSettings fd = Fd500k2M();
    fd.data.bitrate = 3000000;  // does not fit the 80 MHz clock
    auto manager = Make(Config({{1, fd}}));
    EXPECT_EQ(manager->Start(), 0);
    const Lines lines = log.Take();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], (std::pair<int, std::string>{0, Line(2, "canSetBusParams", "succeed.")}));
    // The library's own text for the status it gave (the timing is a parameter error).
    EXPECT_EQ(lines[3], (std::pair<int, std::string>{
                            3, Line(2, "canSetBusParamsFd", vcan.Text(kCanErrParam))}));
    // The channel opened but never reached the bus: closed, not left open.
    EXPECT_EQ(lines[4], (std::pair<int, std::string>{0, Line(2, "canClose", "succeed.")}));
    EXPECT_EQ(manager->Handle(1), -1);
    EXPECT_FALSE(manager->HasTxEvent(1));
    CanFrameRecord frame{};
    frame.channel = 1;
    EXPECT_FALSE(manager->QueueFrame(frame));
}

TEST_F(ManagerTest, ReceivesListsLogsAndTogglesTheBus) {
    auto manager = Make(Config({{0, Classic500k()}}));
    const std::string path =
        std::string(::testing::TempDir()) + "/sorvane_rt_" + std::to_string(getpid());
    ::unlink(path.c_str());
    ASSERT_EQ(manager->Start(), 1);
    manager->SetRealtimeLog(path);
    EXPECT_EQ(manager->RealtimeLogName(), path);
    Inject(0, 0x123, 3);
    Inject(0, 0x1ABCDEF, 8, kMsgExt);
    ASSERT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 2; }));
    const CanFrameRecord& first = manager->Frames().At(0);
    EXPECT_EQ(first.id, 0x123u);
    EXPECT_EQ(first.dlc, 3u);
    EXPECT_EQ(first.channel, 0);
    EXPECT_EQ(first.direction, kDirectionReceived);
    EXPECT_EQ(first.status, kStatusOk);
    EXPECT_EQ(first.data[2], 0x33);
    EXPECT_EQ(manager->Frames().At(1).flags & kMsgExt, kMsgExt);
    EXPECT_EQ(manager->MessageInfo().size(), 2u);

    log.Take();
    EXPECT_TRUE(manager->ToggleBus(0));
    EXPECT_EQ(manager->BusOn(0), 0);
    Inject(0, 0x555);  // off the bus: nothing arrives
    EXPECT_TRUE(manager->ToggleBus(0));
    EXPECT_EQ(log.Take(),
              (Lines{{0, Line(1, "canBusOff", "succeed.")}, {0, Line(1, "canBusOn", "succeed.")}}));
    EXPECT_EQ(manager->BusOn(0), 1);
    Inject(0, 0x124, 0);
    ASSERT_TRUE(WaitUntil([&] { return manager->Frames().Size() >= 3; }));
    manager->Stop();
    EXPECT_EQ(manager->Frames().Size(), 3u);
    EXPECT_EQ(manager->Frames().At(2).id, 0x124u);
    EXPECT_TRUE(manager->RealtimeLogName().empty());

    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string expected;
    for (size_t i = 0; i < 3; ++i)
        expected += FormatFrameLine(manager->Frames().At(i)) + "\r\n";
    EXPECT_EQ(text.str(), expected);

    // A second run appends behind the first run's frames.
    ASSERT_EQ(manager->Start(), 1);
    Inject(0, 0x777);
    ASSERT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 4; }));
    manager->Stop();
    EXPECT_EQ(manager->Frames().At(0).id, 0x123u);
    EXPECT_EQ(manager->Frames().At(3).id, 0x777u);
    manager->ResetCommunication();
    EXPECT_TRUE(manager->Lib().IsCanLibLoaded());
    EXPECT_EQ(manager->Frames().Size(), 0u);
    ::unlink(path.c_str());
}

TEST_F(ManagerTest, TransmitsOkAndNgFramesAndOtherChannelReceivesThem) {
    auto manager = Make(Config({{0, Classic500k()}, {1, Classic500k()}}));
    ASSERT_EQ(manager->Start(), 1);
    CanFrameRecord frame{};
    frame.id = 0x321;
    frame.dlc = 2;
    frame.flags = kMsgStd;
    frame.data[0] = 0xAB;
    frame.channel = 0;
    ASSERT_TRUE(manager->QueueFrame(frame));
    ASSERT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 2; }));
    ASSERT_EQ(vcan.failNext("canWrite", -13, 1), 0);
    ASSERT_TRUE(manager->QueueFrame(frame));
    ASSERT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 3; }));
    manager->Stop();
    int sentOk = 0, sentNg = 0, received = 0;
    for (size_t i = 0; i < manager->Frames().Size(); ++i) {
        const CanFrameRecord& r = manager->Frames().At(i);
        EXPECT_EQ(r.id, 0x321u);
        if (r.direction == kDirectionTransmitted) {
            EXPECT_EQ(r.channel, 0);
            (r.status == kStatusOk ? sentOk : sentNg)++;
        } else {
            EXPECT_EQ(r.channel, 1);
            EXPECT_EQ(r.data[0], 0xAB);
            ++received;
        }
    }
    EXPECT_EQ(sentOk, 1);
    EXPECT_EQ(sentNg, 1);
    EXPECT_EQ(received, 1);
    EXPECT_EQ(manager->Statistics(0).txCount, 2u);
    const auto info = manager->MessageInfo();
    ASSERT_EQ(info.size(), 2u);
    EXPECT_EQ(info[0].direction, kDirectionTransmitted);
    EXPECT_EQ(info[0].count, 2u);
    EXPECT_EQ(info[1].channel, 1);
}

TEST_F(ManagerTest, EveryQueuedFrameGoesOutOnTheChannelItNames) {
    auto manager = Make(Config({{0, Classic500k()}, {1, Classic500k()}, {3, Classic500k()}}));
    ASSERT_EQ(manager->Start(), 1);
    constexpr int kFrames = 300;
    const uint8_t channels[3] = {0, 1, 3};
    for (int i = 0; i < kFrames; ++i) {
        CanFrameRecord frame{};
        frame.channel = channels[i % 3];
        frame.id = 0x100u * (frame.channel + 1u) + static_cast<uint32_t>(i % 3);
        frame.dlc = 1;
        frame.data[0] = frame.channel;
        ASSERT_TRUE(manager->QueueFrame(frame));
    }
    // Each frame is listed once as sent and once as received by each of the two
    // other channels.
    ASSERT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 3u * kFrames; }));
    manager->Stop();
    int sent[kChannelCount] = {};
    for (size_t i = 0; i < manager->Frames().Size(); ++i) {
        const CanFrameRecord& r = manager->Frames().At(i);
        if (r.direction != kDirectionTransmitted)
            continue;
        EXPECT_EQ(r.channel, r.data[0]) << "frame " << std::hex << r.id;
        EXPECT_EQ(r.status, kStatusOk);
        ++sent[r.channel];
    }
    EXPECT_EQ(sent[0], kFrames / 3);
    EXPECT_EQ(sent[1], kFrames / 3);
    EXPECT_EQ(sent[3], kFrames / 3);
    for (int ch : {0, 1, 3})
        EXPECT_EQ(manager->Statistics(ch).txCount, static_cast<uint32_t>(kFrames / 3));
}

TEST_F(ManagerTest, StopWithAFullTransmitQueueDiscardsTheRest) {
    // CAN2 acknowledges, so every frame that went out is listed twice: sent
    // (OK) and received.
    auto manager = Make(Config({{0, Classic500k()}, {1, Classic500k()}}));
    CanFrameRecord frame{};
    frame.id = 0x10;
    frame.dlc = 8;
    constexpr size_t kQueued = 20000;
    // A stop while frames are still queued, which a fast worker can outrun;
    // a few tries make it certain.
    size_t listed = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
        manager->ClearFrames();
        manager->ClearStatistics(0);
        ASSERT_EQ(manager->Start(), 1);
        for (size_t i = 0; i < kQueued; ++i)
            ASSERT_TRUE(manager->QueueFrame(frame));
        manager->Stop();
        listed = manager->Frames().Size();
        if (listed < 2 * kQueued)
            break;
    }
    ASSERT_LT(listed, 2 * kQueued) << "the worker sent the whole queue before every stop";
    EXPECT_FALSE(manager->QueueFrame(frame));  // no queue after the stop
    size_t sent = 0;
    for (size_t i = 0; i < listed; ++i)
        sent += manager->Frames().At(i).direction == kDirectionTransmitted ? 1 : 0;
    EXPECT_LT(sent, kQueued);
    EXPECT_EQ(manager->Statistics(0).txCount, sent);
    // The discarded frames never go out later, neither from the new start's
    // queue nor from the library.
    ASSERT_EQ(manager->Start(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    manager->Stop();
    EXPECT_EQ(manager->Frames().Size(), listed);
}

TEST_F(ManagerTest, StatisticsPassesWarningsHistoryAndClear) {
    auto manager = Make(Config({{0, Classic500k()}}, 80));
    ASSERT_EQ(manager->Start(), 1);
    auto pass = [&](long load) {
        const size_t before = manager->BusLoadHistoryValues(0).size();
        ASSERT_EQ(vcan.busLoad(0, load), 0);
        manager->RefreshStatistics();
        ASSERT_TRUE(WaitUntil([&] { return manager->BusLoadHistoryValues(0).size() > before; }));
    };
    ASSERT_TRUE(WaitUntil([&] { return manager->BusLoadHistoryValues(0).size() == 1; }));
    log.Take();
    for (int i = 0; i < 5; ++i)
        Inject(0, 0x100 + i);
    Inject(0, 0x1000, 8, kMsgExt);
    ASSERT_EQ(vcan.errorCounters(0, 5, 7, 2), 0);
    ASSERT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 6; }));
    pass(8000);
    pass(7990);
    pass(8100);
    EXPECT_EQ(log.Take(), (Lines{{2, "CAN1 Busload Over Threshould. (80%)\n"},
                                 {2, "CAN1 Busload Over Threshould. (81%)\n"}}));
    ChannelStatistics st = manager->Statistics(0);
    EXPECT_EQ(st.bus.stdData, 5u);
    EXPECT_EQ(st.bus.extData, 1u);
    EXPECT_EQ(st.rxTotal, 6u);
    EXPECT_EQ(st.bus.busLoad, 8100u);
    EXPECT_EQ(st.busLoadPeak, 8100u);
    EXPECT_EQ(st.txErrors, 5u);
    EXPECT_EQ(st.rxErrors, 7u);
    EXPECT_EQ(st.overrunErrors, 2u);
    EXPECT_EQ(manager->BusLoadHistoryValues(0).front(), 8100u);

    ASSERT_EQ(vcan.failNext("canGetBusStatistics", -1, 1), 0);
    pass(100);
    const Lines failed = log.Take();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0],
              (std::pair<int, std::string>{3, Line(1, "canGetBusStatistics", vcan.Text(-1))}));

    EXPECT_EQ(manager->ClearStatistics(0), 1);
    st = manager->Statistics(0);
    EXPECT_EQ(st.busLoadPeak, 0u);
    EXPECT_EQ(st.txErrors, 0u);
    EXPECT_EQ(st.rxTotal, 0u);
    EXPECT_TRUE(manager->BusLoadHistoryValues(0).empty());
    pass(8000);  // a clear lets the same load warn again
    EXPECT_EQ(log.Count(2, "CAN1 Busload Over Threshould. (80%)\n"), 1u);

    ASSERT_EQ(vcan.failNext("canResetBus", -1, 1), 0);
    EXPECT_EQ(manager->ClearStatistics(0), 0);
    EXPECT_EQ(log.Take().back(),
              (std::pair<int, std::string>{3, Line(1, "canResetBus", vcan.Text(-1))}));

    // A refused statistics request ends the worker; the channel keeps running.
    ASSERT_EQ(vcan.failNext("canRequestBusStatistics", -1, 1), 0);
    manager->RefreshStatistics();
    ASSERT_TRUE(WaitUntil(
        [&] { return log.Count(3, Line(1, "canRequestBusStatistics", vcan.Text(-1))) == 1; }));
    Inject(0, 0x200);
    ASSERT_TRUE(WaitUntil([&] { return manager->Frames().Size() == 7; }));
    manager->Stop();
}

// What the bus-load graph does at a start: empty a history and seed it with
// a 0, while the channel's statistics worker pushes its own passes.
TEST_F(ManagerTest, HistorySeededFromOutsideWhileTheWorkerPasses) {
    auto manager = Make(Config({{0, Classic500k()}}, 80));
    EXPECT_FALSE(manager->PushBusLoadHistory(-1, 0));
    EXPECT_FALSE(manager->PushBusLoadHistory(5, 0));
    ASSERT_EQ(manager->Start(), 1);
    ASSERT_EQ(vcan.busLoad(0, 4200), 0);
    // The pass the start itself wakes may have read the load before it was
    // set; once a pass has stored 4200, every later one reads it too.
    ASSERT_TRUE(WaitUntil([&] {
        manager->RefreshStatistics();
        const std::vector<uint32_t> history = manager->BusLoadHistoryValues(0);
        return !history.empty() && history.front() == 4200u;
    }));
    std::atomic<bool> done{false};
    std::thread waker([&] {
        while (!done.load()) {
            manager->RefreshStatistics();
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < 200; ++i) {
        manager->ClearBusLoadHistory(0);
        ASSERT_TRUE(manager->PushBusLoadHistory(0, 0));
        const std::vector<uint32_t> history = manager->BusLoadHistoryValues(0);
        ASSERT_FALSE(history.empty());
        EXPECT_EQ(history.back(), 0u);  // the seed stays the oldest value
        for (size_t j = 0; j + 1 < history.size(); ++j)
            EXPECT_EQ(history[j], 4200u);
    }
    done = true;
    waker.join();
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(manager->PushBusLoadHistory(0, static_cast<uint32_t>(i)));
    EXPECT_EQ(manager->BusLoadHistoryValues(0).size(), kBusLoadHistoryLength);
    manager->Stop();
}

TEST_F(ManagerTest, ExhaustedFrameListEndsCommunicationWithAnErrorLine) {
    auto manager = Make(Config({{0, Classic500k()}}));
    manager->SetFrameListLimit(3);
    ASSERT_EQ(manager->Start(), 1);
    for (int i = 0; i < 10; ++i)
        Inject(0, 0x100 + i);
    ASSERT_TRUE(WaitUntil([&] { return manager->Failed(); }));
    EXPECT_TRUE(WaitUntil([&] {
        return log.Count(3, "CAN1 [FrameList] Out of memory: communication ended.\n") == 1;
    }));
    manager->Stop();
    EXPECT_EQ(manager->Frames().Size(), 3u);
    EXPECT_FALSE(manager->Failed() && manager->Connected());
}

// Five flooding channels, a reader walking the containers like the user
// interface, live logging on, and many start/stop cycles: no deadlock, no
// lost or torn record.
TEST_F(ManagerTest, StartStopCyclesUnderTrafficWithConcurrentReader) {
    auto manager = Make(Config({{0, Classic500k()},
                                {1, Classic500k()},
                                {2, Classic500k()},
                                {3, Fd500k2M()},
                                {4, Classic500k()}}));
    const std::string path =
        std::string(::testing::TempDir()) + "/sorvane_cycles_" + std::to_string(getpid());
    std::atomic<bool> done{false};
    std::atomic<uint64_t> torn{0};
    // Traffic on all five channels throughout; frames offered while a channel
    // is stopped are simply not queued.
    std::thread traffic([&] {
        const uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        for (uint32_t n = 0; !done.load(); ++n) {
            vcan.inject(static_cast<int>(n % 5), 0x100 + (n % 64), data, 8, kMsgStd);
        }
    });
    std::thread reader([&] {
        size_t seen = 0;
        while (!done.load()) {
            const size_t size = manager->Frames().Size();
            for (; seen < size; ++seen) {
                const CanFrameRecord r = manager->Frames().At(seen);
                if (r.channel > 4 || r.status != kStatusOk || r.dlc > 64)
                    torn.fetch_add(1);
            }
            for (const MessageInfoEntry& e : manager->MessageInfo()) {
                if (e.count == 0 || e.channel > 4)
                    torn.fetch_add(1);
            }
        }
    });
    const int cycles = 200;
    for (int i = 0; i < cycles; ++i) {
        ASSERT_EQ(manager->Start(), 1);
        manager->SetRealtimeLog(path);
        manager->RefreshStatistics();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        manager->Stop();
    }
    done.store(true);
    reader.join();
    traffic.join();
    EXPECT_EQ(torn.load(), 0u);
    EXPECT_GT(manager->Frames().Size(), 0u);
    ::unlink(path.c_str());
}

#ifdef SORVANE_TEST_CANLIB_NOFD
TEST(ManagerNoFd, MissingFdTimingAndTimerFallBack) {
    LogCapture log;
    Vcan vcan(SORVANE_TEST_CANLIB_NOFD);
    if (!vcan.Ready())
        GTEST_SKIP() << "no test controls in " << SORVANE_TEST_CANLIB_NOFD;
    ASSERT_EQ(vcan.configure("[vcan]\nchannels = 5\n"), 0);
    CanConfig config = Config({{0, Fd500k2M()}, {1, Classic500k()}});
    CCanManager manager([&] { return config; }, SORVANE_TEST_CANLIB_NOFD);
    ASSERT_EQ(manager.Start(), 1);
    EXPECT_EQ(log.Count(3, "CAN1 [canSetBusParamsFd] " + vcan.Text(kCanErrNotImplemented) + "\n"),
              1u);
    EXPECT_EQ(manager.Active(0), 0);
    EXPECT_EQ(manager.Active(1), 1);
    CanFrameRecord frame{};
    frame.id = 0x42;
    frame.dlc = 1;
    frame.channel = 1;
    ASSERT_TRUE(manager.QueueFrame(frame));
    ASSERT_TRUE(WaitUntil([&] { return manager.Frames().Size() == 1; }));
    EXPECT_EQ(manager.Frames().At(0).timestamp, 0u);  // no clock without canReadTimer
    // CAN2 receives between the passes, so a clock would give it a rate.
    for (int i = 0; i < 3; ++i) {
        const size_t before = manager.BusLoadHistoryValues(1).size();
        const uint8_t data[1] = {1};
        for (int k = 0; k < 50; ++k)
            ASSERT_GE(vcan.inject(1, 0x100, data, 1, kMsgStd), 0);
        ASSERT_TRUE(WaitUntil([&] { return manager.Frames().Size() >= 1u + 50u * (i + 1); }));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        manager.RefreshStatistics();
        ASSERT_TRUE(WaitUntil([&] { return manager.BusLoadHistoryValues(1).size() > before; }));
    }
    EXPECT_GE(manager.Statistics(1).rxTotal, 150u);
    EXPECT_EQ(manager.Statistics(1).rxPerSecond, 0u);
    manager.Stop();
    EXPECT_EQ(manager.Handle(0), -1);  // closed although it never reached the bus
    vcan.configure(nullptr);
}
#endif

// The SocketCAN backend through the C API, with one end of a datagram socket pair standing in
// for the CAN socket: the test holds the other end and plays the kernel, sending the frame
// structures a CAN socket delivers and reading what the library sends.
#include <gtest/gtest.h>
#include <linux/can.h>
#include <linux/can/error.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "canlib_api.h"

namespace canlib_test {
namespace {

const uint8_t kData[64] = {0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

class SocketCanPairTest : public CanlibFixture {
protected:
    void SetUp() override {
        CanlibFixture::SetUp();
        int sv[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, sv), 0);
        peer_ = sv[0];
        ASSERT_EQ(l.vcanTestSocketCanStandIn(0, sv[1]), canOK);
        close(sv[1]);  // the library keeps its own
    }
    void TearDown() override {
        l.vcanTestConfigure(nullptr);
        close(peer_);
    }

    // Opens channel 0 as the program does and goes on the bus at 500 kbit/s (2 Mbit/s data).
    canHandle Start(bool fd = false) {
        const canHandle h = l.canOpenChannel(0, fd ? 0x4A0 : 0xA0);
        EXPECT_GE(h, 64) << "not a SocketCAN handle";
        EXPECT_EQ(l.canSetBusParams(h, 500000, 13, 2, 1, 1, 0), canOK);
        if (fd) {
            EXPECT_EQ(l.canSetBusParamsFd(h, 2000000, 15, 4, 4), canOK);
        }
        EXPECT_EQ(l.canBusOn(h), canOK);
        return h;
    }

    // The peer sends what a CAN socket delivers.
    void Deliver(canid_t id, unsigned len, const uint8_t* data = kData, bool fd = false,
                 uint8_t fdFlags = 0) {
        canfd_frame k{};
        k.can_id = id;
        k.len = static_cast<uint8_t>(len);
        k.flags = fdFlags;
        std::memcpy(k.data, data, std::min(len, fd ? 64u : 8u));
        ASSERT_EQ(send(peer_, &k, fd ? CANFD_MTU : CAN_MTU, 0),
                  static_cast<ssize_t>(fd ? CANFD_MTU : CAN_MTU));
    }
    void DeliverError(uint32_t errorClass, uint8_t crtl = 0, uint8_t tx = 0, uint8_t rx = 0) {
        const uint8_t data[8] = {0, crtl, 0, 0, 0, 0, tx, rx};
        Deliver(CAN_ERR_FLAG | errorClass, CAN_ERR_DLC, data);
    }
    // What the library sent, as the peer receives it; size 0 when nothing waits.
    struct Sent {
        canfd_frame frame{};
        ssize_t size = 0;
    };
    Sent Take() {
        Sent s;
        s.size = recv(peer_, &s.frame, sizeof s.frame, MSG_DONTWAIT);
        return s;
    }

    int peer_ = -1;
};

TEST_F(SocketCanPairTest, ReadFramesComeInOrderWithTheirTimeOnTheChannelClock) {
    const canHandle h = Start(true);
    uint32_t scale = 1;
    ASSERT_EQ(l.canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &scale, sizeof scale), canOK);
    const unsigned long before = l.canReadTimer(h);
    Deliver(0x1ABCDEF | CAN_EFF_FLAG, 3);
    Deliver(0x601, 10, kData, true, CANFD_BRS);
    Deliver(CAN_ERR_FLAG | CAN_ERR_ACK, CAN_ERR_DLC);
    const struct {
        long id;
        unsigned flags, dlc;
    } expected[] = {{0x1ABCDEF, canMSG_EXT, 3},
                    {0x601, canMSG_STD | canFDMSG_FDF | canFDMSG_BRS, 12},
                    {0, canMSG_STD | canMSG_ERROR_FRAME, 0}};
    unsigned long previous = before;
    for (const auto& e : expected) {
        RxFrame f;
        ASSERT_EQ(ReadFrame(h, &f), canOK);
        EXPECT_EQ(f.id, e.id);
        EXPECT_EQ(f.flags, e.flags);
        EXPECT_EQ(f.dlc, e.dlc);
        EXPECT_EQ(std::memcmp(f.data, kData, std::min(e.dlc, 3u)), 0);
        EXPECT_GE(f.time, previous);
        EXPECT_LE(f.time, l.canReadTimer(h));
        previous = f.time;
    }
    RxFrame f;
    EXPECT_EQ(ReadFrame(h, &f), canERR_NOMSG);
}

TEST_F(SocketCanPairTest, OnlyFramesWhileOnTheBusAreRead) {
    const canHandle h = l.canOpenChannel(0, 0xA0);
    ASSERT_GE(h, 64);
    Deliver(0x1, 1);  // before bus on
    ASSERT_EQ(l.canBusOn(h), canOK);
    Deliver(0x2, 1);
    RxFrame f;
    ASSERT_EQ(ReadFrame(h, &f), canOK);
    EXPECT_EQ(f.id, 0x2);
    EXPECT_EQ(ReadFrame(h, &f), canERR_NOMSG);

    ASSERT_EQ(l.canBusOff(h), canOK);
    Deliver(0x3, 1);
    EXPECT_EQ(ReadFrame(h, &f), canERR_NOMSG);
    EXPECT_EQ(l.canWrite(h, 0x10, const_cast<uint8_t*>(kData), 1, 0), canERR_OFF_BUS);
    EXPECT_EQ(Take().size, -1);
    ASSERT_EQ(l.canBusOn(h), canOK);
    Deliver(0x4, 1);
    ASSERT_EQ(ReadFrame(h, &f), canOK);
    EXPECT_EQ(f.id, 0x4);
    EXPECT_EQ(l.canBusOn(h), canOK);  // already on: nothing changes
    EXPECT_EQ(ReadFrame(h, &f), canERR_NOMSG);
}

TEST_F(SocketCanPairTest, WrittenFramesReachTheSocketAsKernelFrames) {
    const canHandle h = Start(true);
    ASSERT_EQ(l.canWrite(h, 0x10000, const_cast<uint8_t*>(kData), 5, canMSG_EXT), canOK);
    Sent s = Take();
    ASSERT_EQ(s.size, static_cast<ssize_t>(CAN_MTU));
    EXPECT_EQ(s.frame.can_id, 0x10000 | CAN_EFF_FLAG);
    EXPECT_EQ(s.frame.len, 5);
    EXPECT_EQ(std::memcmp(s.frame.data, kData, 5), 0);
    ASSERT_EQ(l.canWrite(h, 0x600, const_cast<uint8_t*>(kData), 64, canFDMSG_FDF | canFDMSG_BRS),
              canOK);
    s = Take();
    ASSERT_EQ(s.size, static_cast<ssize_t>(CANFD_MTU));
    EXPECT_EQ(s.frame.can_id, 0x600u);
    EXPECT_EQ(s.frame.flags, CANFD_BRS);
    EXPECT_EQ(std::memcmp(s.frame.data, kData, 64), 0);
    // Frames a CAN socket cannot carry never reach it.
    EXPECT_EQ(l.canWrite(h, 0x1, const_cast<uint8_t*>(kData), 0, canMSG_ERROR_FRAME),
              canERR_NOT_SUPPORTED);
    EXPECT_EQ(l.canWrite(h, 0x1, const_cast<uint8_t*>(kData), 10, canFDMSG_FDF), canERR_PARAM);
    ASSERT_EQ(l.canClose(h), canOK);
    const canHandle classic = Start(false);
    EXPECT_EQ(l.canWrite(classic, 0x1, const_cast<uint8_t*>(kData), 8, canFDMSG_FDF), canERR_PARAM);
    EXPECT_EQ(Take().size, -1);
}

TEST_F(SocketCanPairTest, TheEventSignalsEachBurstAndNoFrameIsMissed) {
    const canHandle h = Start();
    int64_t fd = -1;
    ASSERT_EQ(l.canIoCtl(h, canIOCTL_GET_EVENTHANDLE, &fd, sizeof fd), canOK);
    ASSERT_GE(fd, 0);
    auto ready = [&](int timeoutMs) {
        pollfd p{static_cast<int>(fd), POLLIN, 0};
        return poll(&p, 1, timeoutMs) == 1;
    };
    EXPECT_FALSE(ready(0));
    Deliver(0x5, 1);
    ASSERT_TRUE(ready(2000));
    uint64_t count = 0;
    ASSERT_EQ(read(static_cast<int>(fd), &count, sizeof count), 8);
    EXPECT_EQ(Drain(h), 1);
    EXPECT_FALSE(ready(50));  // drained: quiet until the next frame

    // A writer that keeps the small socket queue full while the reader waits and drains.
    constexpr uint32_t kFrames = 3000;
    std::atomic<bool> written{false};
    std::thread writer([&] {
        for (uint32_t i = 0; i < kFrames; ++i) {
            uint8_t counter[4];
            std::memcpy(counter, &i, sizeof i);
            Deliver(0x100, 4, counter);
        }
        written = true;
    });
    uint32_t next = 0;
    int timeouts = 0;
    while (next < kFrames && timeouts < 3) {
        if (!ready(2000)) {
            ++timeouts;
            continue;
        }
        [[maybe_unused]] ssize_t n = read(static_cast<int>(fd), &count, sizeof count);
        for (RxFrame f; ReadFrame(h, &f) == canOK; ++next) {
            uint32_t value = 0;
            std::memcpy(&value, f.data, sizeof value);
            ASSERT_EQ(value, next) << "lost or reordered";
        }
    }
    // After a failure the writer may still wait for room.
    while (!written) {
        Drain(h);
        usleep(1000);
    }
    writer.join();
    EXPECT_EQ(next, kFrames);
    EXPECT_EQ(timeouts, 0) << "a wake-up was missed";
    // The same descriptor is handed out again; closing the handle leaves no signal behind.
    int64_t again = -1;
    ASSERT_EQ(l.canIoCtl(h, canIOCTL_GET_EVENTHANDLE, &again, sizeof again), canOK);
    EXPECT_EQ(again, fd);
    EXPECT_EQ(l.canIoCtl(h, canIOCTL_GET_EVENTHANDLE, &again, 4), canERR_PARAM);
}

// The channel's three workers at once on one handle: the receive worker draining on the
// event, the transmit worker writing, the statistics worker polling; the peer echoes every
// frame back. Run under ThreadSanitizer too.
TEST_F(SocketCanPairTest, ReadWriteAndStatisticsRunTogether) {
    const canHandle h = Start();
    int64_t fd = -1;
    ASSERT_EQ(l.canIoCtl(h, canIOCTL_GET_EVENTHANDLE, &fd, sizeof fd), canOK);
    constexpr uint32_t kFrames = 2000;
    std::atomic<bool> done{false};
    std::thread echo([&] {
        canfd_frame k{};
        for (uint32_t n = 0; n < kFrames;) {
            pollfd p{peer_, POLLIN, 0};
            if (poll(&p, 1, 2000) != 1)
                break;
            if (recv(peer_, &k, sizeof k, 0) == static_cast<ssize_t>(CAN_MTU)) {
                send(peer_, &k, CAN_MTU, 0);
                ++n;
            }
        }
    });
    std::thread writer([&] {
        for (uint32_t i = 0; i < kFrames && !done;) {
            if (l.canWrite(h, 0x200, &i, sizeof i, 0) == canOK) {
                ++i;
            } else {
                std::this_thread::yield();  // the socket's queue is full
            }
        }
    });
    std::thread statistics([&] {
        while (!done) {
            canBusStatistics st{};
            unsigned tx = 0, rx = 0, ov = 0;
            l.canRequestBusStatistics(h);
            l.canGetBusStatistics(h, &st, sizeof st);
            l.canReadErrorCounters(h, &tx, &rx, &ov);
            l.canReadTimer(h);
        }
    });
    uint32_t next = 0;
    bool inOrder = true;
    while (next < kFrames && inOrder) {
        pollfd p{static_cast<int>(fd), POLLIN, 0};
        if (poll(&p, 1, 2000) != 1)
            break;
        uint64_t count = 0;
        [[maybe_unused]] ssize_t n = read(static_cast<int>(fd), &count, sizeof count);
        for (RxFrame f; inOrder && ReadFrame(h, &f) == canOK; ++next) {
            uint32_t value = 0;
            std::memcpy(&value, f.data, sizeof value);
            inOrder = value == next;
        }
    }
    EXPECT_TRUE(inOrder) << "frame " << next << " out of order";
    done = true;
    writer.join();
    echo.join();
    statistics.join();
    EXPECT_EQ(next, kFrames);
    ASSERT_EQ(l.canRequestBusStatistics(h), canOK);
    canBusStatistics st{};
    ASSERT_EQ(l.canGetBusStatistics(h, &st, sizeof st), canOK);
    EXPECT_EQ(st.stdData, kFrames);
}

TEST_F(SocketCanPairTest, StatisticsCountWhatWasSeenAndErrorsComeFromTheMessages) {
    const canHandle h = Start();
    ASSERT_EQ(l.canRequestBusStatistics(h), canOK);
    const struct {
        canid_t id;
        int count;
    } seen[] = {{0x100, 3},
                {0x101 | CAN_RTR_FLAG, 2},
                {0x1000 | CAN_EFF_FLAG, 4},
                {0x1001 | CAN_EFF_FLAG | CAN_RTR_FLAG, 1}};
    for (const auto& frame : seen) {
        for (int i = 0; i < frame.count; ++i)
            Deliver(frame.id, 8);
    }
    DeliverError(CAN_ERR_ACK);
    DeliverError(CAN_ERR_PROT);
    // A state change with counters is no error frame.
    DeliverError(CAN_ERR_CRTL | CAN_ERR_CNT, CAN_ERR_CRTL_TX_WARNING, 97, 3);
    ASSERT_EQ(l.canWrite(h, 0x200, const_cast<uint8_t*>(kData), 8, 0), canOK);
    EXPECT_EQ(Drain(h), 12);
    ASSERT_EQ(l.canRequestBusStatistics(h), canOK);
    canBusStatistics st{};
    ASSERT_EQ(l.canGetBusStatistics(h, &st, sizeof st), canOK);
    const unsigned long counts[] = {st.stdData,   st.stdRemote, st.extData,
                                    st.extRemote, st.errFrame,  st.overruns};
    const unsigned long want[] = {3, 2, 4, 1, 2, 0};
    EXPECT_TRUE(std::equal(counts, counts + 6, want));
    EXPECT_GT(st.busLoad, 0u);  // 13 frames at 500 kbit/s
    EXPECT_LE(st.busLoad, 10000u);
    unsigned tx = 0, rx = 0, ov = 9;
    ASSERT_EQ(l.canReadErrorCounters(h, &tx, &rx, &ov), canOK);
    EXPECT_EQ(tx, 97u);
    EXPECT_EQ(rx, 3u);
    EXPECT_EQ(ov, 0u);

    // The controller lost frames: counted, and the next frame read carries the mark.
    DeliverError(CAN_ERR_CRTL, CAN_ERR_CRTL_RX_OVERFLOW);
    Deliver(0x300, 1);
    Deliver(0x301, 1);
    RxFrame f;
    ASSERT_EQ(ReadFrame(h, &f), canOK);
    EXPECT_EQ(f.id, 0x300);
    EXPECT_EQ(f.flags, unsigned{canMSG_STD | canMSGERR_SW_OVERRUN});
    ASSERT_EQ(ReadFrame(h, &f), canOK);
    EXPECT_EQ(f.flags, unsigned{canMSG_STD});
    ASSERT_EQ(l.canReadErrorCounters(h, &tx, &rx, &ov), canOK);
    EXPECT_EQ(ov, 1u);
    // Bus off reads as a transmit error count past 255.
    DeliverError(CAN_ERR_BUSOFF);
    EXPECT_EQ(Drain(h), 0);
    ASSERT_EQ(l.canReadErrorCounters(h, &tx, &rx, &ov), canOK);
    EXPECT_EQ(tx, 256u);

    // Reset clears the counts and the overruns.
    ASSERT_EQ(l.canResetBus(h), canOK);
    ASSERT_EQ(l.canRequestBusStatistics(h), canOK);
    ASSERT_EQ(l.canGetBusStatistics(h, &st, sizeof st), canOK);
    EXPECT_EQ(st.stdData + st.stdRemote + st.extData + st.extRemote + st.errFrame, 0u);
    EXPECT_EQ(st.overruns, 0u);
    EXPECT_EQ(l.canGetBusStatistics(h, &st, sizeof st - 1), canERR_PARAM);
}

TEST_F(SocketCanPairTest, TheTimerMovesAndTheAcceptanceFilterSelects) {
    const canHandle h = Start();
    uint32_t scale = 1;
    ASSERT_EQ(l.canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &scale, sizeof scale), canOK);
    ASSERT_EQ(l.vcanTestSetTimer(h, 0xFFFFFF00UL), canOK);
    const unsigned long t = l.canReadTimer(h);
    EXPECT_GE(t, 0xFFFFFF00UL);
    EXPECT_LT(t, 0xFFFFFF00UL + 100000);
    // Standard identifiers must match 0x123 in all bits; extended ones all pass.
    ASSERT_EQ(l.canAccept(h, 0x7FF, canFILTER_SET_MASK_STD), canOK);
    ASSERT_EQ(l.canAccept(h, 0x123, canFILTER_SET_CODE_STD), canOK);
    for (canid_t id : {canid_t{0x124}, canid_t{0x123}, canid_t{0x124 | CAN_EFF_FLAG}})
        Deliver(id, 1);
    RxFrame f;
    ASSERT_EQ(ReadFrame(h, &f), canOK);
    EXPECT_EQ(f.id, 0x123);
    ASSERT_EQ(ReadFrame(h, &f), canOK);
    EXPECT_EQ(f.flags, unsigned{canMSG_EXT});
    EXPECT_EQ(ReadFrame(h, &f), canERR_NOMSG);
}

TEST_F(SocketCanPairTest, HandlesLiveAlongsideTheVirtualBus) {
    const canHandle h = Start();
    EXPECT_EQ(l.canOpenChannel(0, 0xA0), canERR_NO_ACCESS);  // init access is held
    const canHandle a = OpenOnBus(1), b = OpenOnBus(2);
    ASSERT_GE(a, 0);
    ASSERT_LT(a, 64);
    ASSERT_EQ(l.canWrite(a, 0x55, const_cast<uint8_t*>(kData), 2, 0), canOK);
    EXPECT_EQ(Drain(b), 1);
    EXPECT_EQ(Drain(h), 0);
    EXPECT_EQ(Take().size, -1);
    // A closed handle is invalid everywhere; the channel opens again with init access.
    ASSERT_EQ(l.canClose(h), canOK);
    EXPECT_EQ(l.canClose(h), canERR_INVHANDLE);
    RxFrame f;
    EXPECT_EQ(ReadFrame(h, &f), canERR_INVHANDLE);
    EXPECT_EQ(l.canReadTimer(h), 0u);
    EXPECT_EQ(l.canBusOff(127), canERR_INVHANDLE);  // a slot never given out
    const canHandle again = l.canOpenChannel(0, 0xA0);
    EXPECT_GE(again, 64);
    // Unloading closes the SocketCAN handles with the virtual ones.
    ASSERT_EQ(l.canUnloadLibrary(), canOK);
    EXPECT_EQ(l.canBusOn(again), canERR_INVHANDLE);
}

TEST_F(SocketCanPairTest, JunkFromTheSocketIsSkippedAndTheFramesAfterItAreRead) {
    const canHandle h = Start(true);
    const uint8_t junk[200] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    uint32_t expected = 0;
    for (size_t size :
         {size_t{1}, size_t{8}, size_t{15}, size_t{17}, size_t{71}, size_t{73}, size_t{200}}) {
        ASSERT_EQ(send(peer_, junk, size, 0), static_cast<ssize_t>(size));
        Deliver(0x400 + expected++, 2);
    }
    ASSERT_EQ(send(peer_, junk, 0, 0), 0);  // an empty datagram
    for (uint32_t i = 0; i < expected; ++i) {
        RxFrame f;
        ASSERT_EQ(ReadFrame(h, &f), canOK) << i;
        EXPECT_EQ(f.id, static_cast<long>(0x400 + i));
    }
    RxFrame f;
    EXPECT_EQ(ReadFrame(h, &f), canERR_NOMSG);
    EXPECT_EQ(l.canRead(h, nullptr, f.data, &f.dlc, &f.flags, &f.time), canERR_PARAM);
    unsigned tx = 0;
    EXPECT_EQ(l.canReadErrorCounters(h, &tx, nullptr, &tx), canERR_PARAM);
}

TEST_F(SocketCanPairTest, ScenarioMapsChannelsAndDescribesThem) {
    ASSERT_EQ(l.vcanTestConfigure("[CAN2]\nsocketcan = sorvnone0\n"
                                  "[CAN3]\nsocketcan = bad/name\n"
                                  "[CAN4]\nsocketcan = averyveryverylongname\n"
                                  "[CAN5]\nsocketcan = lo\n"),
              canOK);
    char errors[1024] = {};
    EXPECT_EQ(l.vcanTestGetConfigErrors(errors, sizeof errors), 2) << errors;
    EXPECT_NE(std::string(errors).find("line 4"), std::string::npos) << errors;
    char text[256] = {};
    ASSERT_EQ(l.canGetChannelData(1, canCHANNELDATA_CHANNEL_NAME, text, sizeof text), canOK);
    EXPECT_EQ(std::string(text), "SocketCAN sorvnone0: no such interface");
    ASSERT_EQ(l.canGetChannelData(2, canCHANNELDATA_CHANNEL_NAME, text, sizeof text), canOK);
    EXPECT_EQ(std::string(text), "Virtual channel on bus 1");  // a bad name stays virtual
    // A mapped channel whose interface is missing cannot be opened; the rest are virtual.
    EXPECT_EQ(l.canOpenChannel(1, 0xA0), canERR_NOTFOUND);
    EXPECT_EQ(l.canOpenChannel(4, 0xA0), canERR_NOTFOUND);  // the loopback is no CAN interface
    const canHandle v = l.canOpenChannel(2, 0xA0);
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 64);
    ASSERT_EQ(l.vcanTestSocketCanStandIn(0, peer_), canOK);
    ASSERT_EQ(l.canGetChannelData(0, canCHANNELDATA_CHANNEL_NAME, text, sizeof text), canOK);
    EXPECT_EQ(std::string(text), "SocketCAN stand-in socket");
    ASSERT_EQ(l.vcanTestSocketCanStandIn(0, -1), canOK);
    ASSERT_EQ(l.vcanTestSetChannelPresent(3, 0), canOK);
    ASSERT_EQ(l.canGetChannelData(3, canCHANNELDATA_CHANNEL_NAME, text, sizeof text), canOK);
    EXPECT_EQ(std::string(text), "Virtual channel on bus 1 (not present)");
    // Short buffers, unknown items and channels, no buffer.
    char small[8];
    std::memset(small, 'x', sizeof small);
    ASSERT_EQ(l.canGetChannelData(0, canCHANNELDATA_CHANNEL_NAME, small, 5), canOK);
    EXPECT_STREQ(small, "Virt");
    EXPECT_EQ(small[5], 'x');
    EXPECT_EQ(l.canGetChannelData(0, 99, text, sizeof text), canERR_NOT_IMPLEMENTED);
    EXPECT_EQ(l.canGetChannelData(5, canCHANNELDATA_CHANNEL_NAME, text, sizeof text),
              canERR_NOTFOUND);
    EXPECT_EQ(l.canGetChannelData(0, canCHANNELDATA_CHANNEL_NAME, nullptr, 10), canERR_PARAM);
    EXPECT_EQ(l.vcanTestSocketCanStandIn(7, peer_), canERR_NOTFOUND);
    EXPECT_EQ(l.vcanTestSocketCanStandIn(0, -5), canOK);
}

}  // namespace
}  // namespace canlib_test

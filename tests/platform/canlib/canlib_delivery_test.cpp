// Delivery on the virtual bus: who receives what, FD rules, pending frames, acknowledgement
// copies, receive overruns, event signalling and the channel clock.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "canlib_api.h"

namespace canlib_test {
namespace {

using namespace std::chrono_literals;

class CanlibDeliveryTest : public CanlibFixture {
protected:
    uint8_t data_[64] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
};

bool Readable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1 && (p.revents & POLLIN) != 0;
}

TEST_F(CanlibDeliveryTest, FrameReachesEveryOtherChannelOnTheBusAsSent) {
    const canHandle a = OpenOnBus(0);
    const canHandle b = OpenOnBus(1);
    const canHandle c = OpenOnBus(2);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    ASSERT_GE(c, 0);
    ASSERT_EQ(l.canWrite(a, 0x123, data_, 8, canMSG_STD), canOK);
    ASSERT_EQ(l.canWrite(a, 0x1ABCDEF0, data_, 3, canMSG_EXT), canOK);
    ASSERT_EQ(l.canWrite(a, 0x7FF, nullptr, 4, canMSG_STD | canMSG_RTR), canOK);
    for (canHandle rx : {b, c}) {
        RxFrame f;
        ASSERT_EQ(ReadFrame(rx, &f), canOK);
        EXPECT_EQ(f.id, 0x123);
        EXPECT_EQ(f.dlc, 8u);
        EXPECT_EQ(std::memcmp(f.data, data_, 8), 0);
        EXPECT_EQ(f.flags, static_cast<unsigned>(canMSG_STD));
        EXPECT_LE(f.time, l.canReadTimer(rx));
        ASSERT_EQ(ReadFrame(rx, &f), canOK);
        EXPECT_EQ(f.id, 0x1ABCDEF0);
        EXPECT_EQ(f.dlc, 3u);
        EXPECT_EQ(f.flags, static_cast<unsigned>(canMSG_EXT));
        ASSERT_EQ(ReadFrame(rx, &f), canOK);
        EXPECT_EQ(f.id, 0x7FF);
        EXPECT_EQ(f.dlc, 4u);
        EXPECT_EQ(f.flags, static_cast<unsigned>(canMSG_STD | canMSG_RTR));
        EXPECT_EQ(ReadFrame(rx, &f), canERR_NOMSG);
    }
    RxFrame f;
    EXPECT_EQ(ReadFrame(a, &f), canERR_NOMSG) << "the sender got its own frame";
}

TEST_F(CanlibDeliveryTest, TimeStampsAreThoseOfTheReceivingHandle) {
    const canHandle old = OpenOnBus(0);
    ASSERT_GE(old, 0);
    ASSERT_EQ(l.vcanTestSetTimer(old, 500000), canOK);
    const canHandle fresh = OpenOnBus(1);
    const canHandle tx = OpenOnBus(2);
    ASSERT_GE(fresh, 0);
    ASSERT_GE(tx, 0);
    ASSERT_EQ(l.canWrite(tx, 1, data_, 8, canMSG_STD), canOK);
    RxFrame a, b;
    ASSERT_EQ(ReadFrame(old, &a), canOK);
    ASSERT_EQ(ReadFrame(fresh, &b), canOK);
    EXPECT_GE(a.time, 500000u);
    EXPECT_LT(a.time, 510000u);
    EXPECT_LT(b.time, 10000u);
}

TEST_F(CanlibDeliveryTest, OnlySameBusSameRateAndOnBusHandlesReceive) {
    ASSERT_EQ(l.vcanTestConfigure("[CAN4]\nbus = 2\n"), canOK);
    const canHandle tx = OpenOnBus(0);
    const canHandle same = OpenOnBus(1);
    const canHandle slower = OpenOnBus(2, 0, canBITRATE_250K);
    const canHandle otherBus = OpenOnBus(3);
    const canHandle off = l.canOpenChannel(4, canOPEN_ACCEPT_VIRTUAL);
    ASSERT_GE(tx, 0);
    ASSERT_GE(same, 0);
    ASSERT_GE(slower, 0);
    ASSERT_GE(otherBus, 0);
    ASSERT_GE(off, 0);
    ASSERT_EQ(l.canSetBusParams(off, canBITRATE_500K, 0, 0, 0, 0, 0), canOK);
    ASSERT_EQ(l.canWrite(tx, 0x10, data_, 8, canMSG_STD), canOK);
    EXPECT_EQ(Drain(same), 1);
    EXPECT_EQ(Drain(slower), 0);
    EXPECT_EQ(Drain(otherBus), 0);
    ASSERT_EQ(l.canBusOn(off), canOK);
    EXPECT_EQ(Drain(off), 0) << "a frame sent while off bus was kept";
    // A second handle on the sending channel receives it too.
    const canHandle twin = OpenSharedOnBus(0);
    ASSERT_GE(twin, 0);
    ASSERT_EQ(l.canWrite(tx, 0x11, data_, 8, canMSG_STD), canOK);
    EXPECT_EQ(Drain(twin), 1);
    EXPECT_EQ(Drain(same), 1);
    // Off bus again: nothing arrives, nothing may be sent.
    ASSERT_EQ(l.canBusOff(same), canOK);
    ASSERT_EQ(l.canWrite(tx, 0x12, data_, 8, canMSG_STD), canOK);
    ASSERT_EQ(l.canBusOn(same), canOK);
    EXPECT_EQ(Drain(same), 0);
    EXPECT_EQ(l.canWrite(off, 0x13, data_, 8, canMSG_STD), canOK);
    ASSERT_EQ(l.canBusOff(off), canOK);
    EXPECT_EQ(l.canWrite(off, 0x13, data_, 8, canMSG_STD), canERR_OFF_BUS);
    const canHandle never = l.canOpenChannel(4, canOPEN_ACCEPT_VIRTUAL);
    EXPECT_EQ(l.canWrite(never, 0x13, data_, 8, canMSG_STD), canERR_OFF_BUS);
}

TEST_F(CanlibDeliveryTest, FramesArriveInOrderThenNoMessage) {
    const canHandle tx = OpenOnBus(0);
    const canHandle rx = OpenOnBus(1);
    ASSERT_GE(tx, 0);
    ASSERT_GE(rx, 0);
    for (long id = 0; id < 200; ++id) {
        uint8_t d[8] = {static_cast<uint8_t>(id)};
        ASSERT_EQ(l.canWrite(tx, id, d, 1, canMSG_STD), canOK);
    }
    unsigned long lastTime = 0;
    for (long id = 0; id < 200; ++id) {
        RxFrame f;
        ASSERT_EQ(ReadFrame(rx, &f), canOK) << id;
        EXPECT_EQ(f.id, id);
        EXPECT_EQ(f.data[0], static_cast<uint8_t>(id));
        EXPECT_GE(f.time, lastTime);
        lastTime = f.time;
    }
    RxFrame f;
    EXPECT_EQ(ReadFrame(rx, &f), canERR_NOMSG);
    EXPECT_EQ(ReadFrame(rx, &f), canERR_NOMSG);
}

TEST_F(CanlibDeliveryTest, ClassicLengthAndIdentifierRules) {
    const canHandle tx = OpenOnBus(0);
    const canHandle rx = OpenOnBus(1);
    ASSERT_GE(tx, 0);
    ASSERT_GE(rx, 0);
    for (unsigned dlc = 0; dlc <= 8; ++dlc) {
        EXPECT_EQ(l.canWrite(tx, 0x100, data_, dlc, canMSG_STD), canOK) << dlc;
    }
    EXPECT_EQ(Drain(rx), 9);
    // A classic frame carries at most eight bytes; longer lengths are refused rather than
    // read past an eight-byte buffer.
    for (unsigned dlc = 9; dlc <= 16; ++dlc) {
        EXPECT_EQ(l.canWrite(tx, 0x100, data_, dlc, canMSG_STD), canERR_PARAM) << dlc;
    }
    EXPECT_EQ(l.canWrite(tx, 0x100, data_, 64, canMSG_STD), canERR_PARAM);
    EXPECT_EQ(l.canWrite(tx, 0x800, data_, 8, canMSG_STD), canERR_PARAM);
    EXPECT_EQ(l.canWrite(tx, 0x1FFFFFFF, data_, 8, canMSG_EXT), canOK);
    EXPECT_EQ(l.canWrite(tx, 0x20000000, data_, 8, canMSG_EXT), canERR_PARAM);
    EXPECT_EQ(l.canWrite(tx, 0x10, data_, 8, canMSG_STD | canFDMSG_FDF), canERR_PARAM)
        << "FD frame accepted on a classic handle";
    EXPECT_EQ(Drain(rx), 1);
}

TEST_F(CanlibDeliveryTest, FdFramesOnlyBetweenFdHandlesWithTheSameDataRate) {
    const canHandle tx = OpenFdOnBus(0);
    const canHandle rx = OpenFdOnBus(1);
    const canHandle fast = OpenFdOnBus(2, canFD_BITRATE_4M_80P);
    const canHandle classic = OpenOnBus(3);
    ASSERT_GE(tx, 0);
    ASSERT_GE(rx, 0);
    ASSERT_GE(fast, 0);
    ASSERT_GE(classic, 0);
    uint8_t big[64];
    for (int i = 0; i < 64; ++i)
        big[i] = static_cast<uint8_t>(i * 3);
    const unsigned fdFlags = canMSG_EXT | canFDMSG_FDF | canFDMSG_BRS;
    ASSERT_EQ(l.canWrite(tx, 0x18FF0001, big, 64, fdFlags), canOK);
    RxFrame f;
    ASSERT_EQ(ReadFrame(rx, &f), canOK);
    EXPECT_EQ(f.id, 0x18FF0001);
    EXPECT_EQ(f.dlc, 64u);
    EXPECT_EQ(f.flags, fdFlags);
    EXPECT_EQ(std::memcmp(f.data, big, 64), 0);
    EXPECT_EQ(Drain(fast), 0);
    EXPECT_EQ(Drain(classic), 0);

    for (unsigned len : {0u, 1u, 8u, 12u, 16u, 20u, 24u, 32u, 48u, 64u}) {
        EXPECT_EQ(l.canWrite(tx, 0x55, big, len, canMSG_STD | canFDMSG_FDF), canOK) << len;
    }
    for (unsigned len : {9u, 10u, 13u, 15u, 33u, 63u, 65u, 128u}) {
        EXPECT_EQ(l.canWrite(tx, 0x55, big, len, canMSG_STD | canFDMSG_FDF), canERR_PARAM) << len;
    }
    EXPECT_EQ(l.canWrite(tx, 0x55, big, 8, canMSG_STD | canFDMSG_FDF | canMSG_RTR), canERR_PARAM);
    EXPECT_EQ(Drain(rx), 10);
    // Without the FD flag an FD handle sends classic frames, with classic length codes.
    EXPECT_EQ(l.canWrite(tx, 0x56, big, 16, canMSG_STD), canERR_PARAM);
}

TEST_F(CanlibDeliveryTest, UnacknowledgedFramesStayPendingAndRaiseTheErrorCounter) {
    ASSERT_EQ(l.vcanTestConfigure("[CAN1]\ntx_queue = 20\n"), canOK);
    const canHandle tx = OpenOnBus(0);
    ASSERT_GE(tx, 0);
    unsigned txErr = 0, rxErr = 0, ov = 0;
    for (unsigned i = 0; i < 20; ++i) {
        uint8_t d[8] = {static_cast<uint8_t>(i)};
        ASSERT_EQ(l.canWrite(tx, 0x200, d, 8, canMSG_STD), canOK) << i;
        ASSERT_EQ(l.canReadErrorCounters(tx, &txErr, &rxErr, &ov), canOK);
        EXPECT_EQ(txErr, std::min(8u * (i + 1), 128u)) << i;
    }
    EXPECT_EQ(l.canWrite(tx, 0x200, data_, 8, canMSG_STD), canERR_TXBUFOFL);
    EXPECT_EQ(l.canWrite(tx, 0x200, data_, 8, canMSG_STD), canERR_TXBUFOFL);

    // A receiver coming on the bus takes the pending frames, in order, and frees the buffer.
    const canHandle rx = OpenOnBus(1);
    ASSERT_GE(rx, 0);
    std::vector<RxFrame> got;
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (got.size() < 20 && std::chrono::steady_clock::now() < deadline) {
        RxFrame f;
        if (ReadFrame(rx, &f) == canOK) {
            got.push_back(f);
        } else {
            std::this_thread::sleep_for(1ms);
        }
    }
    ASSERT_EQ(got.size(), 20u);
    for (unsigned i = 0; i < 20; ++i)
        EXPECT_EQ(got[i].data[0], i);
    EXPECT_EQ(l.canWrite(tx, 0x201, data_, 8, canMSG_STD), canOK);
    RxFrame f;
    EXPECT_EQ(ReadFrame(rx, &f), canOK);
    EXPECT_EQ(f.id, 0x201);
}

TEST_F(CanlibDeliveryTest, SimulatedNodeAcknowledgesFrames) {
    ASSERT_EQ(l.vcanTestConfigure("[node ecu]\nbus = 1\nbitrate = 500000\n"), canOK);
    const canHandle tx = OpenOnBus(0);
    ASSERT_GE(tx, 0);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(l.canWrite(tx, 0x300, data_, 8, canMSG_STD), canOK);
    unsigned txErr = 0, rxErr = 0, ov = 0;
    ASSERT_EQ(l.canReadErrorCounters(tx, &txErr, &rxErr, &ov), canOK);
    EXPECT_EQ(txErr, 0u);
}

TEST_F(CanlibDeliveryTest, TxAckCopiesGoToTheSenderWhenConfigured) {
    ASSERT_EQ(l.vcanTestConfigure("[CAN1]\ntxack = 1\n"), canOK);
    const canHandle tx = OpenOnBus(0);
    const canHandle rx = OpenOnBus(1);
    ASSERT_GE(tx, 0);
    ASSERT_GE(rx, 0);
    ASSERT_EQ(l.canWrite(tx, 0x42, data_, 5, canMSG_STD), canOK);
    ASSERT_EQ(l.canWrite(rx, 0x43, data_, 5, canMSG_STD), canOK);
    RxFrame f;
    ASSERT_EQ(ReadFrame(tx, &f), canOK);
    EXPECT_EQ(f.id, 0x42);
    EXPECT_EQ(f.dlc, 5u);
    EXPECT_EQ(f.flags, static_cast<unsigned>(canMSG_STD | canMSG_TXACK));
    ASSERT_EQ(ReadFrame(tx, &f), canOK);
    EXPECT_EQ(f.id, 0x43);
    EXPECT_EQ(f.flags & canMSG_TXACK, 0u);
    ASSERT_EQ(ReadFrame(rx, &f), canOK);
    EXPECT_EQ(f.id, 0x42);
    EXPECT_EQ(f.flags & canMSG_TXACK, 0u);
    EXPECT_EQ(ReadFrame(rx, &f), canERR_NOMSG) << "CAN2 has no txack but got a copy";
}

TEST_F(CanlibDeliveryTest, FullReceiveQueueCountsOverrunsAndFlagsTheNextFrame) {
    ASSERT_EQ(l.vcanTestConfigure("[CAN2]\nrx_queue = 4\n"), canOK);
    const canHandle tx = OpenOnBus(0);
    const canHandle rx = OpenOnBus(1);
    ASSERT_GE(tx, 0);
    ASSERT_GE(rx, 0);
    for (long id = 1; id <= 7; ++id)
        ASSERT_EQ(l.canWrite(tx, id, data_, 8, canMSG_STD), canOK);
    unsigned txErr = 0, rxErr = 0, ov = 0;
    ASSERT_EQ(l.canReadErrorCounters(rx, &txErr, &rxErr, &ov), canOK);
    EXPECT_EQ(ov, 3u);
    canBusStatistics st{};
    ASSERT_EQ(l.canRequestBusStatistics(rx), canOK);
    ASSERT_EQ(l.canGetBusStatistics(rx, &st, sizeof st), canOK);
    EXPECT_EQ(st.overruns, 3u);
    std::vector<RxFrame> got;
    for (RxFrame f; ReadFrame(rx, &f) == canOK;)
        got.push_back(f);
    ASSERT_EQ(got.size(), 4u);
    int flagged = 0;
    for (size_t i = 0; i < got.size(); ++i) {
        if (i > 0) {
            EXPECT_GT(got[i].id, got[i - 1].id);
        }
        if (got[i].flags & canMSGERR_SW_OVERRUN)
            ++flagged;
    }
    EXPECT_EQ(flagged, 1);
    // Once read, the next frames are clean again.
    ASSERT_EQ(l.canWrite(tx, 0x50, data_, 8, canMSG_STD), canOK);
    RxFrame f;
    ASSERT_EQ(ReadFrame(rx, &f), canOK);
    EXPECT_EQ(f.flags & canMSGERR_SW_OVERRUN, 0u);
    // The sender was never blocked and the other receivers lost nothing.
    ASSERT_EQ(l.canReadErrorCounters(tx, &txErr, &rxErr, &ov), canOK);
    EXPECT_EQ(ov, 0u);
}

TEST_F(CanlibDeliveryTest, EventHandleSignalsQueuedFrames) {
    const canHandle tx = OpenOnBus(0);
    const canHandle rx = OpenOnBus(1);
    ASSERT_GE(tx, 0);
    ASSERT_GE(rx, 0);
    uint8_t buf[8] = {};
    ASSERT_EQ(l.canIoCtl(rx, canIOCTL_GET_EVENTHANDLE, buf, sizeof buf), canOK);
    int64_t fd64 = -1;
    std::memcpy(&fd64, buf, sizeof fd64);
    ASSERT_GE(fd64, 0);
    const int fd = static_cast<int>(fd64);
    uint64_t counter = 0;
    if (Readable(fd, 0)) {
        ASSERT_EQ(read(fd, &counter, sizeof counter), 8);
    }
    EXPECT_FALSE(Readable(fd, 0));

    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(l.canWrite(tx, 0x60 + round, data_, 8, canMSG_STD), canOK);
        ASSERT_TRUE(Readable(fd, 1000)) << round;
        ASSERT_EQ(read(fd, &counter, sizeof counter), 8);
        EXPECT_FALSE(Readable(fd, 0));
        RxFrame f;
        ASSERT_EQ(ReadFrame(rx, &f), canOK);
        EXPECT_EQ(f.id, 0x60 + round);
        EXPECT_EQ(ReadFrame(rx, &f), canERR_NOMSG);
    }
    // Injected frames signal too; the sender's own event stays quiet.
    uint8_t txBuf[8] = {};
    ASSERT_EQ(l.canIoCtl(tx, canIOCTL_GET_EVENTHANDLE, txBuf, sizeof txBuf), canOK);
    int64_t txFd = -1;
    std::memcpy(&txFd, txBuf, sizeof txFd);
    if (Readable(static_cast<int>(txFd), 0)) {
        ASSERT_EQ(read(static_cast<int>(txFd), &counter, sizeof counter), 8);
    }
    EXPECT_EQ(l.vcanTestInjectFrame(1, 0x77, data_, 2, canMSG_STD), 1);
    EXPECT_TRUE(Readable(fd, 1000));
    EXPECT_FALSE(Readable(static_cast<int>(txFd), 0));
}

TEST_F(CanlibDeliveryTest, InjectedFramesReachOnBusHandlesOfThatChannelOnly) {
    const canHandle a = OpenOnBus(1);
    const canHandle b = OpenSharedOnBus(1);
    const canHandle other = OpenOnBus(2);
    const canHandle off = l.canOpenChannel(1, canOPEN_ACCEPT_VIRTUAL);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    ASSERT_GE(other, 0);
    ASSERT_GE(off, 0);
    EXPECT_EQ(l.vcanTestInjectFrame(1, 0x99, data_, 8, canMSG_STD), 2);
    RxFrame f;
    ASSERT_EQ(ReadFrame(a, &f), canOK);
    EXPECT_EQ(f.id, 0x99);
    EXPECT_EQ(std::memcmp(f.data, data_, 8), 0);
    EXPECT_EQ(Drain(b), 1);
    EXPECT_EQ(Drain(other), 0);
    EXPECT_EQ(Drain(off), 0);
    EXPECT_EQ(l.vcanTestInjectFrame(3, 0x99, data_, 8, canMSG_STD), 0);
}

TEST_F(CanlibDeliveryTest, TimerCountsUnitsSinceOpenAndWraps) {
    const canHandle h = OpenOnBus(0);
    ASSERT_GE(h, 0);
    const unsigned long t0 = l.canReadTimer(h);
    EXPECT_LT(t0, 50u);
    std::this_thread::sleep_for(60ms);
    const unsigned long t1 = l.canReadTimer(h);
    EXPECT_GE(t1 - t0, 55u);
    EXPECT_LT(t1 - t0, 1000u);

    uint32_t scale = 1;
    ASSERT_EQ(l.canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &scale, sizeof scale), canOK);
    const unsigned long u0 = l.canReadTimer(h);
    EXPECT_GE(u0, 55000u);
    std::this_thread::sleep_for(20ms);
    const unsigned long u1 = l.canReadTimer(h);
    EXPECT_GE(u1 - u0, 19000u);
    EXPECT_LT(u1 - u0, 1000000u);
    // Frame time stamps follow the scale.
    const canHandle tx = OpenOnBus(1);
    ASSERT_GE(tx, 0);
    ASSERT_EQ(l.canWrite(tx, 1, data_, 8, canMSG_STD), canOK);
    RxFrame f;
    ASSERT_EQ(ReadFrame(h, &f), canOK);
    EXPECT_GE(f.time, u1);
    EXPECT_LE(f.time, l.canReadTimer(h));

    // Back to milliseconds, then near the top of 32 bits: the clock wraps to small values.
    scale = 1000;
    ASSERT_EQ(l.canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &scale, sizeof scale), canOK);
    ASSERT_EQ(l.vcanTestSetTimer(h, 0xFFFFFFFFul - 10), canOK);
    const unsigned long high = l.canReadTimer(h);
    EXPECT_GE(high, 0xFFFFFFFFul - 10);
    EXPECT_LE(high, 0xFFFFFFFFul);
    std::this_thread::sleep_for(40ms);
    const unsigned long wrapped = l.canReadTimer(h);
    EXPECT_LT(wrapped, 1000u) << "the clock did not wrap at 2^32";
    ASSERT_EQ(l.canWrite(tx, 2, data_, 8, canMSG_STD), canOK);
    ASSERT_EQ(ReadFrame(h, &f), canOK);
    EXPECT_LT(f.time, 1000u);
}

TEST_F(CanlibDeliveryTest, ErrorCountersResetAndBusOff) {
    const canHandle h = OpenOnBus(0);
    const canHandle peer = OpenOnBus(1);
    ASSERT_GE(h, 0);
    ASSERT_GE(peer, 0);
    ASSERT_EQ(l.vcanTestSetErrorCounters(0, 100, 50, 3), canOK);
    unsigned tx = 0, rx = 0, ov = 0;
    ASSERT_EQ(l.canReadErrorCounters(h, &tx, &rx, &ov), canOK);
    EXPECT_EQ(tx, 100u);
    EXPECT_EQ(rx, 50u);
    EXPECT_EQ(ov, 3u);
    ASSERT_EQ(l.canResetBus(h), canOK);
    ASSERT_EQ(l.canReadErrorCounters(h, &tx, &rx, &ov), canOK);
    EXPECT_EQ(tx, 0u);
    EXPECT_EQ(rx, 0u);
    EXPECT_EQ(ov, 0u);

    // Above 255 the channel goes bus-off: no sending, no receiving, until bus on again.
    ASSERT_EQ(l.vcanTestSetErrorCounters(0, 256, 0, 0), canOK);
    EXPECT_EQ(l.canWrite(h, 1, data_, 8, canMSG_STD), canERR_OFF_BUS);
    ASSERT_EQ(l.canWrite(peer, 2, data_, 8, canMSG_STD), canOK);
    EXPECT_EQ(Drain(h), 0);
    ASSERT_EQ(l.canBusOn(h), canOK);
    EXPECT_EQ(l.canWrite(h, 3, data_, 8, canMSG_STD), canOK);
    EXPECT_EQ(Drain(peer), 1);
}

}  // namespace
}  // namespace canlib_test

// The CAN interface library through its C API, loaded with dlopen as the program loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "canlib.h"
#include "canlib_testctl.h"

namespace {

struct Lib {
    void* handle = nullptr;
    template <typename Fn>
    Fn Sym(const char* name) {
        return reinterpret_cast<Fn>(dlsym(handle, name));
    }
};

#define API(name) decltype(&::name) name = lib.Sym<decltype(&::name)>(#name)

class CanlibTest : public ::testing::Test {
protected:
    static Lib lib;
    static void SetUpTestSuite() { lib.handle = dlopen(CANLIB_PATH, RTLD_NOW | RTLD_LOCAL); }

    API(canOpenChannel);
    API(canClose);
    API(canBusOn);
    API(canBusOff);
    API(canResetBus);
    API(canSetBusParams);
    API(canSetBusParamsFd);
    API(canWrite);
    API(canRead);
    API(canIoCtl);
    API(canReadTimer);
    API(canReadErrorCounters);
    API(canGetErrorText);
    API(canGetVersionEx);
    API(canGetNumberOfChannels);
    API(canRequestBusStatistics);
    API(canGetBusStatistics);
    API(canAccept);
    API(vcanTestConfigure);
    API(vcanTestGetConfigErrors);
    API(vcanTestInjectFrame);
    API(vcanTestSetChannelPresent);
    API(vcanTestFailNext);
    API(vcanTestSetErrorCounters);
    API(vcanTestSetTimer);
    API(vcanTestSetBusLoad);

    void SetUp() override {
        ASSERT_NE(lib.handle, nullptr) << dlerror();
        ASSERT_EQ(vcanTestConfigure(""), canOK);
    }

    // Opens a channel, sets 500 kbit/s (and 2 Mbit/s data for CAN FD) and goes on the bus.
    canHandle OnBus(int channel, bool fd = false, long rate = 500000) {
        const canHandle h = canOpenChannel(channel, fd ? 0x4A0 : 0xA0);
        EXPECT_GE(h, 0);
        EXPECT_EQ(canSetBusParams(h, rate, rate == 1000000 ? 5 : 13, 2, 1, 0, 0), canOK);
        if (fd) {
            EXPECT_EQ(canSetBusParamsFd(h, 2000000, 15, 4, 4), canOK);
        }
        EXPECT_EQ(canBusOn(h), canOK);
        return h;
    }

    struct Frame {
        long id = 0;
        unsigned char data[64] = {};
        unsigned dlc = 0, flags = 0;
        unsigned long time = 0;
    };
    int Read(canHandle h, Frame* f) {
        return canRead(h, &f->id, f->data, &f->dlc, &f->flags, &f->time);
    }
    int Drain(canHandle h) {
        Frame f;
        int n = 0;
        while (Read(h, &f) == canOK)
            ++n;
        return n;
    }
};
Lib CanlibTest::lib;

const unsigned char kEight[8] = {1, 2, 3, 4, 5, 6, 7, 8};

TEST_F(CanlibTest, TimingPresetsAndDefaultsAreAcceptedAndMisfitsRefused) {
    const canHandle classic = canOpenChannel(0, 0xA0);
    const canHandle fd = canOpenChannel(1, 0x4A0);
    ASSERT_GE(classic, 0);
    ASSERT_GE(fd, 0);
    const unsigned sixteen[][2] = {{7, 8}, {8, 7}, {9, 6}, {10, 5}, {11, 4}, {12, 3}, {13, 2}};
    for (long rate : {125000L, 250000L, 500000L}) {
        for (const auto& t : sixteen) {
            EXPECT_EQ(canSetBusParams(classic, rate, t[0], t[1], 1, 1, 0), canOK)
                << rate << " " << t[0];
        }
    }
    for (unsigned t1 : {3u, 4u, 5u})
        EXPECT_EQ(canSetBusParams(classic, 1000000, t1, 7 - t1, 1, 1, 0), canOK);
    EXPECT_EQ(canSetBusParams(classic, 500000, 12, 3, 1, 0, 0), canOK);  // the stored default
    EXPECT_EQ(canSetBusParams(fd, 500000, 63, 16, 1, 1, 0), canOK);
    EXPECT_EQ(canSetBusParams(fd, 1000000, 31, 8, 1, 1, 0), canOK);
    const long dataRates[] = {500000, 1000000, 2000000, 4000000, 8000000};
    const unsigned dataSegs[][2] = {{63, 16}, {31, 8}, {15, 4}, {7, 2}, {2, 2}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(canSetBusParamsFd(fd, dataRates[i], dataSegs[i][0], dataSegs[i][1], 1), canOK)
            << dataRates[i];
    }
    // 17 quanta do not divide 80 MHz at 500 kbit/s; zero segments; jump width above tseg2.
    EXPECT_EQ(canSetBusParams(classic, 500000, 12, 4, 1, 0, 0), canERR_PARAM);
    EXPECT_EQ(canSetBusParams(classic, 500000, 0, 15, 1, 0, 0), canERR_PARAM);
    EXPECT_EQ(canSetBusParams(classic, 500000, 13, 2, 3, 0, 0), canERR_PARAM);
    EXPECT_EQ(canSetBusParams(classic, 500000, 13, 2, 0, 0, 0), canERR_PARAM);
    EXPECT_EQ(canSetBusParams(classic, 0, 13, 2, 1, 0, 0), canERR_PARAM);
    EXPECT_EQ(canSetBusParams(classic, 300000, 13, 2, 1, 0, 0), canERR_PARAM);
    EXPECT_EQ(canSetBusParamsFd(fd, 3000000, 15, 4, 4), canERR_PARAM);
    // CAN FD timing only on a channel opened for CAN FD.
    EXPECT_EQ(canSetBusParamsFd(classic, 2000000, 15, 4, 4), canERR_PARAM);
}

TEST_F(CanlibTest, FramesReachEveryOtherChannelOnTheBusAtTheSameRate) {
    const canHandle a = OnBus(0), b = OnBus(1), c = OnBus(2);
    const canHandle slow = OnBus(3, false, 250000);
    const canHandle off = canOpenChannel(4, 0xA0);
    ASSERT_EQ(canSetBusParams(off, 500000, 13, 2, 1, 0, 0), canOK);
    ASSERT_EQ(canWrite(a, 0x123, const_cast<unsigned char*>(kEight), 8, 0), canOK);
    ASSERT_EQ(canWrite(a, 0x1ABCDEF, const_cast<unsigned char*>(kEight), 3, canMSG_EXT), canOK);
    for (canHandle r : {b, c}) {
        Frame f;
        ASSERT_EQ(Read(r, &f), canOK);
        EXPECT_EQ(f.id, 0x123);
        EXPECT_EQ(f.dlc, 8u);
        EXPECT_EQ(f.flags, unsigned{canMSG_STD});
        EXPECT_EQ(std::memcmp(f.data, kEight, 8), 0);
        ASSERT_EQ(Read(r, &f), canOK);
        EXPECT_EQ(f.id, 0x1ABCDEF);
        EXPECT_EQ(f.flags, unsigned{canMSG_EXT});
        EXPECT_EQ(f.dlc, 3u);
        EXPECT_EQ(Read(r, &f), canERR_NOMSG);
    }
    Frame f;
    EXPECT_EQ(Read(a, &f), canERR_NOMSG);     // no echo to the sender
    EXPECT_EQ(Read(slow, &f), canERR_NOMSG);  // another bit rate
    EXPECT_EQ(Read(off, &f), canERR_NOMSG);   // off the bus
    EXPECT_EQ(canWrite(off, 1, const_cast<unsigned char*>(kEight), 1, 0), canERR_OFF_BUS);
    // Bus off stops delivery; identifiers out of range are refused.
    ASSERT_EQ(canBusOff(c), canOK);
    ASSERT_EQ(canWrite(a, 0x10, const_cast<unsigned char*>(kEight), 1, 0), canOK);
    EXPECT_EQ(Read(c, &f), canERR_NOMSG);
    EXPECT_EQ(Drain(b), 1);
    EXPECT_EQ(canWrite(a, 0x800, const_cast<unsigned char*>(kEight), 1, 0), canERR_PARAM);
    EXPECT_EQ(canWrite(a, 0x20000000, const_cast<unsigned char*>(kEight), 1, canMSG_EXT),
              canERR_PARAM);
    EXPECT_EQ(canWrite(a, 0x10, const_cast<unsigned char*>(kEight), 9, 0), canERR_PARAM);
}

TEST_F(CanlibTest, CanFdFramesTravelOnlyBetweenCanFdChannelsAtTheSameDataRate) {
    const canHandle fdA = OnBus(0, true), fdB = OnBus(1, true), classic = OnBus(2);
    const canHandle fdOther = canOpenChannel(3, 0x4A0);
    ASSERT_EQ(canSetBusParams(fdOther, 500000, 13, 2, 1, 0, 0), canOK);
    ASSERT_EQ(canSetBusParamsFd(fdOther, 4000000, 7, 2, 2), canOK);
    ASSERT_EQ(canBusOn(fdOther), canOK);
    unsigned char data[64];
    for (int i = 0; i < 64; ++i)
        data[i] = static_cast<unsigned char>(i);
    ASSERT_EQ(canWrite(fdA, 0x150, data, 64, canFDMSG_FDF | canFDMSG_BRS), canOK);
    Frame f;
    ASSERT_EQ(Read(fdB, &f), canOK);
    EXPECT_EQ(f.flags, unsigned{canMSG_STD | canFDMSG_FDF | canFDMSG_BRS});
    EXPECT_EQ(f.dlc, 64u);
    EXPECT_EQ(std::memcmp(f.data, data, 64), 0);
    EXPECT_EQ(Read(classic, &f), canERR_NOMSG);
    EXPECT_EQ(Read(fdOther, &f), canERR_NOMSG);
    // A classic frame from a CAN FD channel reaches everyone at the nominal rate.
    ASSERT_EQ(canWrite(fdA, 0x7, data, 8, 0), canOK);
    EXPECT_EQ(Drain(classic), 1);
    EXPECT_EQ(Drain(fdOther), 1);
    EXPECT_EQ(canWrite(classic, 0x150, data, 8, canFDMSG_FDF), canERR_PARAM);
    EXPECT_EQ(canWrite(fdA, 0x150, data, 13, canFDMSG_FDF), canERR_PARAM);
    EXPECT_EQ(canWrite(fdA, 0x150, data, 8, canFDMSG_BRS), canERR_PARAM);
    EXPECT_EQ(canWrite(fdA, 0x150, data, 8, canFDMSG_FDF | canMSG_RTR), canERR_PARAM);
    EXPECT_EQ(canWrite(fdA, 0x150, data, 12, canFDMSG_FDF), canOK);
}

TEST_F(CanlibTest, StatisticsCountFrameTypesAndBusLoadFollowsTheWireBits) {
    const canHandle tx = OnBus(0), rx = OnBus(1);
    ASSERT_EQ(canRequestBusStatistics(rx), canOK);
    const auto t0 = std::chrono::steady_clock::now();
    // Standard 8-byte data frames, worst-case stuffing: 98 stuffed bits + 24 stuff bits +
    // 13 bits of delimiters, end of frame and interframe space = 135 bits, 270 us each.
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(canWrite(tx, 0x100, const_cast<unsigned char*>(kEight), 8, 0), canOK);
    ASSERT_EQ(canWrite(tx, 0x100, nullptr, 8, canMSG_RTR), canOK);
    ASSERT_EQ(canWrite(tx, 0x1000, nullptr, 0, canMSG_EXT | canMSG_RTR), canOK);
    ASSERT_EQ(canWrite(tx, 0x1000, const_cast<unsigned char*>(kEight), 2, canMSG_EXT), canOK);
    ASSERT_EQ(canWrite(tx, 0, nullptr, 0, canMSG_ERROR_FRAME), canOK);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_EQ(canRequestBusStatistics(rx), canOK);
    const double interval =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    canBusStatistics s{};
    ASSERT_EQ(canGetBusStatistics(rx, &s, sizeof s), canOK);
    EXPECT_EQ(s.stdData, 200u);
    EXPECT_EQ(s.stdRemote, 1u);
    EXPECT_EQ(s.extRemote, 1u);
    EXPECT_EQ(s.extData, 1u);
    EXPECT_EQ(s.errFrame, 1u);
    // Remote std DLC 8: 34 + 8 stuff + 13 = 55; extended remote: 54 + 13 + 13 = 80; extended
    // 2 bytes: 70 + 17 + 13 = 100; error frame 23 bits.
    const double bits = 200 * 135 + 55 + 80 + 100 + 23;
    const double expected = bits / 500000.0 / interval * 10000;
    EXPECT_NEAR(static_cast<double>(s.busLoad), expected, expected * 0.05);
    // Nothing since the last request: no load.
    ASSERT_EQ(canRequestBusStatistics(rx), canOK);
    ASSERT_EQ(canGetBusStatistics(rx, &s, sizeof s), canOK);
    EXPECT_LT(s.busLoad, 50u);
    // A saturated bus is capped at 100 %.
    for (int i = 0; i < 2000; ++i)
        canWrite(tx, 0x100, const_cast<unsigned char*>(kEight), 8, 0);
    ASSERT_EQ(canRequestBusStatistics(rx), canOK);
    ASSERT_EQ(canGetBusStatistics(rx, &s, sizeof s), canOK);
    EXPECT_EQ(s.busLoad, 10000u);
    EXPECT_EQ(canGetBusStatistics(rx, &s, 28), canERR_PARAM);
    EXPECT_EQ(canGetBusStatistics(rx, nullptr, sizeof s), canERR_PARAM);
    ASSERT_EQ(vcanTestSetBusLoad(1, 8500), canOK);
    ASSERT_EQ(canRequestBusStatistics(rx), canOK);
    ASSERT_EQ(canGetBusStatistics(rx, &s, sizeof s), canOK);
    EXPECT_EQ(s.busLoad, 8500u);
    // Reset clears the counts.
    ASSERT_EQ(canResetBus(rx), canOK);
    ASSERT_EQ(vcanTestSetBusLoad(1, -1), canOK);
    ASSERT_EQ(canRequestBusStatistics(rx), canOK);
    ASSERT_EQ(canGetBusStatistics(rx, &s, sizeof s), canOK);
    EXPECT_EQ(s.stdData, 0u);
}

TEST_F(CanlibTest, CanFdBusLoadCountsBothBitRates) {
    const canHandle tx = OnBus(0, true), rx = OnBus(1, true);
    ASSERT_EQ(canRequestBusStatistics(rx), canOK);
    const auto t0 = std::chrono::steady_clock::now();
    unsigned char data[64] = {};
    // 64 bytes with bit-rate switch, worst case: nominal SOF..BRS 17 + 4 stuff + ACK, its
    // delimiter, EOF, IFS 12 = 33 bits at 500 kbit/s; data phase ESI, DLC, data 517 + 129
    // stuff + stuff count 4 + CRC 21 + 7 fixed stuff + CRC delimiter = 679 bits at 2 Mbit/s.
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(canWrite(tx, 0x150, data, 64, canFDMSG_FDF | canFDMSG_BRS), canOK);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_EQ(canRequestBusStatistics(rx), canOK);
    const double interval =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    canBusStatistics s{};
    ASSERT_EQ(canGetBusStatistics(rx, &s, sizeof s), canOK);
    const double expected = 200 * (33 / 500000.0 + 679 / 2000000.0) / interval * 10000;
    EXPECT_NEAR(static_cast<double>(s.busLoad), expected, expected * 0.05);
}

TEST_F(CanlibTest, AFullReceiveQueueCountsOverrunsWithoutBlockingTheSender) {
    ASSERT_EQ(vcanTestConfigure("[CAN2]\nrx_queue = 4\n"), canOK);
    const canHandle tx = OnBus(0), rx = OnBus(1);
    for (int i = 0; i < 10; ++i) {
        unsigned char b = static_cast<unsigned char>(i);
        ASSERT_EQ(canWrite(tx, 0x10, &b, 1, 0), canOK);
    }
    unsigned txe = 9, rxe = 9, ov = 0;
    ASSERT_EQ(canReadErrorCounters(rx, &txe, &rxe, &ov), canOK);
    EXPECT_EQ(ov, 6u);
    Frame f;
    ASSERT_EQ(Read(rx, &f), canOK);
    EXPECT_EQ(f.data[0], 0);
    EXPECT_TRUE(f.flags & canMSGERR_SW_OVERRUN);
    ASSERT_EQ(Read(rx, &f), canOK);
    EXPECT_FALSE(f.flags & canMSGERR_SW_OVERRUN);
    EXPECT_EQ(Drain(rx), 2);
    ASSERT_EQ(canRequestBusStatistics(rx), canOK);
    canBusStatistics s{};
    ASSERT_EQ(canGetBusStatistics(rx, &s, sizeof s), canOK);
    EXPECT_EQ(s.overruns, 6u);
}

TEST_F(CanlibTest, FramesWithoutAcknowledgementStayPendingAndFillTheTransmitBuffer) {
    ASSERT_EQ(vcanTestConfigure("[CAN1]\ntx_queue = 3\n"), canOK);
    const canHandle alone = OnBus(0);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(canWrite(alone, 0x10, const_cast<unsigned char*>(kEight), 1, 0), canOK);
    EXPECT_EQ(canWrite(alone, 0x10, const_cast<unsigned char*>(kEight), 1, 0), canERR_TXBUFOFL);
    unsigned txe = 0, rxe = 0, ov = 0;
    ASSERT_EQ(canReadErrorCounters(alone, &txe, &rxe, &ov), canOK);
    EXPECT_EQ(txe, 24u);
    // A second node comes on the bus: the pending frames go out in order.
    const canHandle other = OnBus(1);
    EXPECT_EQ(Drain(other), 3);
    EXPECT_EQ(canWrite(alone, 0x10, const_cast<unsigned char*>(kEight), 1, 0), canOK);
    EXPECT_EQ(Drain(other), 1);
    ASSERT_EQ(canReadErrorCounters(alone, &txe, &rxe, &ov), canOK);
    EXPECT_EQ(txe, 20u);
    ASSERT_EQ(canResetBus(alone), canOK);
    ASSERT_EQ(canReadErrorCounters(alone, &txe, &rxe, &ov), canOK);
    EXPECT_EQ(txe, 0u);
    // Bus off by error counters: no sending until bus on recovers.
    ASSERT_EQ(vcanTestSetErrorCounters(0, 256, 0, 0), canOK);
    EXPECT_EQ(canWrite(alone, 0x10, const_cast<unsigned char*>(kEight), 1, 0), canERR_OFF_BUS);
    ASSERT_EQ(canBusOn(alone), canOK);
    EXPECT_EQ(canWrite(alone, 0x10, const_cast<unsigned char*>(kEight), 1, 0), canOK);
}

TEST_F(CanlibTest, TheEventBecomesReadableWhenAFrameIsQueued) {
    const canHandle tx = OnBus(0), rx = OnBus(1);
    int64_t fd = -1;
    ASSERT_EQ(canIoCtl(rx, canIOCTL_GET_EVENTHANDLE, &fd, 4), canERR_PARAM);
    ASSERT_EQ(canIoCtl(rx, canIOCTL_GET_EVENTHANDLE, &fd, sizeof fd), canOK);
    ASSERT_GE(fd, 0);
    pollfd p{static_cast<int>(fd), POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 0), 0);
    ASSERT_EQ(canWrite(tx, 0x10, const_cast<unsigned char*>(kEight), 1, 0), canOK);
    EXPECT_EQ(poll(&p, 1, 0), 1);
    uint64_t v = 0;
    ASSERT_EQ(read(static_cast<int>(fd), &v, sizeof v), 8);
    EXPECT_EQ(Drain(rx), 1);
    EXPECT_EQ(poll(&p, 1, 0), 0);
    // Another thread's write wakes a waiting reader.
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        canWrite(tx, 0x11, const_cast<unsigned char*>(kEight), 1, 0);
    });
    EXPECT_EQ(poll(&p, 1, 2000), 1);
    writer.join();
    EXPECT_EQ(Drain(rx), 1);
}

TEST_F(CanlibTest, TimerCountsInItsScaleAndWrapsAt32Bits) {
    const canHandle h = canOpenChannel(0, 0xA0);
    ASSERT_GE(h, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const unsigned long ms = canReadTimer(h);
    EXPECT_GE(ms, 30u);
    EXPECT_LT(ms, 1000u);
    uint32_t one = 1;
    ASSERT_EQ(canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &one, sizeof one), canOK);
    const unsigned long us = canReadTimer(h);
    EXPECT_GE(us, 30000u);
    EXPECT_LT(us, 1000000u);
    ASSERT_EQ(vcanTestSetTimer(h, 0xFFFFFFFFul - 2000), canOK);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const unsigned long wrapped = canReadTimer(h);
    EXPECT_LT(wrapped, 1000000u);
    EXPECT_LE(wrapped, 0xFFFFFFFFul);
    EXPECT_EQ(canReadTimer(-1), 0u);
    uint32_t zero = 0;
    EXPECT_EQ(canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &zero, sizeof zero), canERR_PARAM);
}

TEST_F(CanlibTest, InitAccessIsGivenToOneHandleOnly) {
    const canHandle first = canOpenChannel(0, 0xA0);
    ASSERT_GE(first, 0);
    EXPECT_EQ(canOpenChannel(0, 0xA0), canERR_NO_ACCESS);
    const canHandle second = canOpenChannel(0, 0x120);
    ASSERT_GE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(canOpenChannel(0, 0x80), canERR_NOTFOUND);  // virtual channel not accepted
    EXPECT_EQ(canOpenChannel(5, 0xA0), canERR_NOTFOUND);
    EXPECT_EQ(canOpenChannel(-1, 0xA0), canERR_NOTFOUND);
    ASSERT_EQ(canClose(first), canOK);
    EXPECT_GE(canOpenChannel(0, 0xA0), 0);
    EXPECT_EQ(canClose(first + 100), canERR_INVHANDLE);
    ASSERT_EQ(vcanTestSetChannelPresent(2, 0), canOK);
    EXPECT_EQ(canOpenChannel(2, 0xA0), canERR_NOTFOUND);
    int count = 0;
    ASSERT_EQ(canGetNumberOfChannels(&count), canOK);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(canGetNumberOfChannels(nullptr), canERR_PARAM);
    EXPECT_NE(canGetVersionEx(0), 0u);
    EXPECT_NE(canGetVersionEx(2), 0u);
}

TEST_F(CanlibTest, EveryStatusHasATextAndUnknownOnesToo) {
    std::set<std::string> texts;
    for (int st :
         {canOK, canERR_PARAM, canERR_NOMSG, canERR_NOTFOUND, canERR_NOMEM, canERR_NOCHANNELS,
          canERR_NOTINITIALIZED, canERR_NOHANDLES, canERR_INVHANDLE, canERR_TXBUFOFL,
          canERR_NOT_SUPPORTED, canERR_NO_ACCESS, canERR_NOT_IMPLEMENTED, canERR_OFF_BUS}) {
        char buf[512] = {};
        ASSERT_EQ(canGetErrorText(st, buf, sizeof buf), canOK);
        EXPECT_GT(std::strlen(buf), 3u);
        texts.insert(buf);
    }
    EXPECT_EQ(texts.size(), 14u);
    char buf[512] = {};
    ASSERT_EQ(canGetErrorText(-777, buf, sizeof buf), canOK);
    EXPECT_NE(std::string(buf).find("-777"), std::string::npos);
    char tiny[4] = {'x', 'x', 'x', 'x'};
    ASSERT_EQ(canGetErrorText(canERR_PARAM, tiny, 4), canOK);
    EXPECT_EQ(std::strlen(tiny), 3u);
    EXPECT_EQ(canGetErrorText(canERR_PARAM, nullptr, 10), canERR_PARAM);
    EXPECT_EQ(canGetErrorText(canERR_PARAM, buf, 0), canERR_PARAM);
}

TEST_F(CanlibTest, BadInputGivesAStatus) {
    const canHandle h = OnBus(0);
    Frame f;
    EXPECT_EQ(canRead(h, nullptr, f.data, &f.dlc, &f.flags, &f.time), canERR_PARAM);
    EXPECT_EQ(canRead(h, &f.id, nullptr, &f.dlc, &f.flags, &f.time), canERR_PARAM);
    EXPECT_EQ(canRead(-1, &f.id, f.data, &f.dlc, &f.flags, &f.time), canERR_INVHANDLE);
    EXPECT_EQ(canRead(1 << 20, &f.id, f.data, &f.dlc, &f.flags, &f.time), canERR_INVHANDLE);
    EXPECT_EQ(canWrite(h, 1, nullptr, 8, 0), canERR_PARAM);
    EXPECT_EQ(canWrite(h, 1, f.data, 0xFFFFFFFFu, 0), canERR_PARAM);
    EXPECT_EQ(canWrite(h, -5, f.data, 1, 0), canERR_PARAM);
    EXPECT_EQ(canWrite(99, 1, f.data, 1, 0), canERR_INVHANDLE);
    EXPECT_EQ(canIoCtl(h, canIOCTL_SET_TIMER_SCALE, nullptr, 4), canERR_PARAM);
    EXPECT_EQ(canIoCtl(h, 9999, nullptr, 0), canERR_NOT_IMPLEMENTED);
    unsigned a = 0, b = 0;
    EXPECT_EQ(canReadErrorCounters(h, &a, &b, nullptr), canERR_PARAM);
    EXPECT_EQ(canBusOn(-3), canERR_INVHANDLE);
    EXPECT_EQ(canSetBusParams(42, 500000, 13, 2, 1, 0, 0), canERR_INVHANDLE);
    EXPECT_EQ(canAccept(h, 0, 99), canERR_PARAM);
    EXPECT_EQ(vcanTestInjectFrame(77, 1, f.data, 1, 0), canERR_NOTFOUND);
    EXPECT_EQ(vcanTestInjectFrame(0, 1, f.data, 100, 0), canERR_PARAM);
    EXPECT_EQ(vcanTestFailNext("noSuchEntry", -1, 1), canERR_PARAM);
    // An absent channel answers not found on its open handle.
    ASSERT_EQ(vcanTestSetChannelPresent(0, 0), canOK);
    EXPECT_EQ(canWrite(h, 1, f.data, 1, 0), canERR_NOTFOUND);
    ASSERT_EQ(vcanTestSetChannelPresent(0, 1), canOK);
    EXPECT_EQ(canWrite(h, 1, f.data, 1, 0), canOK);
    // Scenario problems are reported, not fatal.
    ASSERT_EQ(vcanTestConfigure("[vcan]\nchannels = lots\n[CAN9]\nbus=1\nnonsense line\n"), canOK);
    char errors[1024];
    EXPECT_GE(vcanTestGetConfigErrors(errors, sizeof errors), 2);
    int count = 0;
    ASSERT_EQ(canGetNumberOfChannels(&count), canOK);
    EXPECT_EQ(count, 5);
}

TEST_F(CanlibTest, ArmedFailuresHitTheNamedEntryPoint) {
    const canHandle h = OnBus(0);
    ASSERT_EQ(vcanTestFailNext("canBusOn", canERR_NOCHANNELS, 1), canOK);
    EXPECT_EQ(canBusOn(h), canERR_NOCHANNELS);
    EXPECT_EQ(canBusOn(h), canOK);
    ASSERT_EQ(vcanTestFailNext("canOpenChannel", canERR_NOTFOUND, -1), canOK);
    EXPECT_EQ(canOpenChannel(1, 0xA0), canERR_NOTFOUND);
    EXPECT_EQ(canOpenChannel(1, 0xA0), canERR_NOTFOUND);
    ASSERT_EQ(vcanTestFailNext("canOpenChannel", 0, 0), canOK);
    EXPECT_GE(canOpenChannel(1, 0xA0), 0);
}

TEST_F(CanlibTest, SimulatedNodesSendAtTheirPeriodAndAnswerRemoteFrames) {
    ASSERT_EQ(
        vcanTestConfigure("[node N]\nbitrate = 500000\n"
                          "[message M]\nnode = N\nid = 0x321\nlength = 2\nperiod = 10\n"
                          "field.c = 0 8 counter\n"
                          "[message A]\nnode = N\nid = 0x400\nlength = 1\nanswer = 1\ndata = 5a\n"),
        canOK);
    char errors[512];
    ASSERT_EQ(vcanTestGetConfigErrors(errors, sizeof errors), 0) << errors;
    const canHandle h = OnBus(0);
    uint32_t one = 1;
    ASSERT_EQ(canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &one, sizeof one), canOK);
    Drain(h);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    std::vector<Frame> got;
    Frame f;
    while (Read(h, &f) == canOK)
        got.push_back(f);
    ASSERT_GE(got.size(), 30u);
    EXPECT_LE(got.size(), 42u);
    const double mean = static_cast<double>(got.back().time - got.front().time) /
                        static_cast<double>(got.size() - 1);
    EXPECT_NEAR(mean, 10000, 300);
    for (size_t i = 1; i < got.size(); ++i) {
        EXPECT_EQ(static_cast<unsigned char>(got[i].data[0]),
                  static_cast<unsigned char>(got[i - 1].data[0] + 1));
    }
    ASSERT_EQ(canWrite(h, 0x400, nullptr, 1, canMSG_RTR), canOK);
    bool answered = false;
    while (Read(h, &f) == canOK)
        answered = answered || (f.id == 0x400 && f.data[0] == 0x5a && !(f.flags & canMSG_RTR));
    EXPECT_TRUE(answered);
}

TEST_F(CanlibTest, FloodDeliversAsFastAsTheReaderTakesFrames) {
    ASSERT_EQ(vcanTestConfigure("[CAN1]\nflood = max\nflood_burst = 100\n"), canOK);
    const canHandle h = OnBus(0);
    EXPECT_EQ(Drain(h), 100);
    EXPECT_EQ(Drain(h), 100);
}

TEST_F(CanlibTest, ConcurrentWritersAndReadersLoseNothing) {
    ASSERT_EQ(vcanTestConfigure(
                  "[CAN3]\nrx_queue = 65536\n[CAN4]\nrx_queue = 65536\n[CAN5]\nrx_queue = 65536\n"),
              canOK);
    const canHandle w1 = OnBus(0), w2 = OnBus(1);
    const canHandle readers[] = {OnBus(2), OnBus(3), OnBus(4)};
    constexpr int kFrames = 20000;
    std::atomic<bool> done{false};
    std::vector<std::thread> threads;
    std::atomic<int> writeFailures{0};
    for (canHandle w : {w1, w2}) {
        threads.emplace_back([&, w] {
            for (int i = 0; i < kFrames; ++i) {
                unsigned char d[4];
                std::memcpy(d, &i, 4);
                if (canWrite(w, w == w1 ? 0x100 : 0x200, d, 4, 0) != canOK)
                    ++writeFailures;
            }
        });
    }
    int received[3] = {};
    bool ordered[3] = {true, true, true};
    for (int r = 0; r < 3; ++r) {
        threads.emplace_back([&, r] {
            int next[2] = {0, 0};
            Frame f;
            while (received[r] < 2 * kFrames) {
                if (Read(readers[r], &f) != canOK) {
                    if (done)
                        break;
                    std::this_thread::yield();
                    continue;
                }
                int v = 0;
                std::memcpy(&v, f.data, 4);
                int& expect = next[f.id == 0x100 ? 0 : 1];
                ordered[r] = ordered[r] && v == expect;
                expect = v + 1;
                ++received[r];
            }
        });
    }
    std::thread stats([&] {
        canBusStatistics s{};
        while (!done) {
            canRequestBusStatistics(readers[0]);
            canGetBusStatistics(readers[0], &s, sizeof s);
            canReadTimer(readers[1]);
        }
    });
    for (int i = 0; i < 2; ++i)
        threads[static_cast<size_t>(i)].join();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    done = true;
    for (size_t i = 2; i < threads.size(); ++i)
        threads[i].join();
    stats.join();
    EXPECT_EQ(writeFailures.load(), 0);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(received[r], 2 * kFrames);
        EXPECT_TRUE(ordered[r]);
    }
}

TEST(CanlibNoFd, TheVariantLacksTheFdTimingAndTheTimer) {
    void* lib = dlopen(CANLIB_NOFD_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    EXPECT_EQ(dlsym(lib, "canSetBusParamsFd"), nullptr);
    EXPECT_EQ(dlsym(lib, "canReadTimer"), nullptr);
    EXPECT_NE(dlsym(lib, "canSetBusParams"), nullptr);
    EXPECT_NE(dlsym(lib, "canWrite"), nullptr);
    dlclose(lib);
}

}  // namespace

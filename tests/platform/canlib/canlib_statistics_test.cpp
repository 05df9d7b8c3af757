// Bus statistics and bus load against hand-counted wire bits, simulated nodes and flood.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "canlib_api.h"

namespace canlib_test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class CanlibStatisticsTest : public CanlibFixture {
protected:
    canBusStatistics Stats(canHandle h) {
        canBusStatistics st{};
        EXPECT_EQ(l.canRequestBusStatistics(h), canOK);
        EXPECT_EQ(l.canGetBusStatistics(h, &st, sizeof st), canOK);
        return st;
    }
    // Bus load measured by `rx` over a window in which `count` frames of `flags`/`len` are
    // written by `tx`; returns the library's figure and, in `expected`, the figure from
    // `bitsPerFrame` at 500 kbit/s over the window as timed here.
    unsigned long MeasureLoad(canHandle tx, canHandle rx, int count, unsigned flags, unsigned len,
                              unsigned bitsPerFrame, double* expected) {
        uint8_t zeros[64] = {};
        EXPECT_EQ(l.canRequestBusStatistics(rx), canOK);
        const auto t0 = Clock::now();
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(l.canWrite(tx, 0x123, zeros, len, flags), canOK);
        }
        std::this_thread::sleep_for(120ms);
        EXPECT_EQ(l.canRequestBusStatistics(rx), canOK);
        const double windowUs =
            std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
        canBusStatistics st{};
        EXPECT_EQ(l.canGetBusStatistics(rx, &st, sizeof st), canOK);
        const double busyUs = count * bitsPerFrame / 0.5;  // 0.5 bits per microsecond
        *expected = std::min(10000.0, busyUs / windowUs * 10000.0);
        Drain(rx);
        return st.busLoad;
    }
};

TEST_F(CanlibStatisticsTest, CountsFramesByType) {
    const canHandle tx = OpenOnBus(0);
    const canHandle rx = OpenOnBus(1);
    ASSERT_GE(tx, 0);
    ASSERT_GE(rx, 0);
    uint8_t d[8] = {};
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(l.canWrite(tx, 0x10, d, 8, canMSG_STD), canOK);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(l.canWrite(tx, 0x11, nullptr, 2, canMSG_STD | canMSG_RTR), canOK);
    }
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(l.canWrite(tx, 0x12345, d, 8, canMSG_EXT), canOK);
    ASSERT_EQ(l.canWrite(tx, 0x12346, nullptr, 0, canMSG_EXT | canMSG_RTR), canOK);
    ASSERT_GE(l.vcanTestInjectFrame(1, 0, nullptr, 0, canMSG_ERROR_FRAME), 1);
    const canBusStatistics st = Stats(rx);
    EXPECT_EQ(st.stdData, 3u);
    EXPECT_EQ(st.stdRemote, 2u);
    EXPECT_EQ(st.extData, 4u);
    EXPECT_EQ(st.extRemote, 1u);
    EXPECT_EQ(st.errFrame, 1u);
    EXPECT_EQ(st.overruns, 0u);
    EXPECT_LE(st.busLoad, 10000u);
    // The error frame is delivered as such.
    bool sawError = false;
    for (RxFrame f; ReadFrame(rx, &f) == canOK;)
        sawError |= (f.flags & canMSG_ERROR_FRAME) != 0;
    EXPECT_TRUE(sawError);
    // A channel on another bit rate saw none of it.
    ASSERT_EQ(l.canBusOff(rx), canOK);
}

TEST_F(CanlibStatisticsTest, ShortOrMissingBuffersAreRefusedUntouched) {
    const canHandle h = OpenOnBus(0);
    ASSERT_GE(h, 0);
    ASSERT_EQ(l.canRequestBusStatistics(h), canOK);
    struct {
        canBusStatistics st;
        unsigned char guard[16];
    } buf;
    std::memset(&buf, 0xA5, sizeof buf);
    EXPECT_EQ(l.canGetBusStatistics(h, &buf.st, sizeof(canBusStatistics) - 1), canERR_PARAM);
    EXPECT_EQ(l.canGetBusStatistics(h, &buf.st, 0), canERR_PARAM);
    for (unsigned char c : buf.guard)
        EXPECT_EQ(c, 0xA5);
    EXPECT_EQ(buf.st.stdData, 0xA5A5A5A5A5A5A5A5ul);
    EXPECT_EQ(l.canGetBusStatistics(h, nullptr, sizeof(canBusStatistics)), canERR_PARAM);
    // A larger buffer is fine and only the structure is written.
    EXPECT_EQ(l.canGetBusStatistics(h, &buf.st, sizeof buf), canOK);
    for (unsigned char c : buf.guard)
        EXPECT_EQ(c, 0xA5);
}

TEST_F(CanlibStatisticsTest, BusLoadFollowsTheWireBitsOfClassicFrames) {
    const canHandle tx = OpenOnBus(0);
    const canHandle rx = OpenOnBus(1);
    ASSERT_GE(tx, 0);
    ASSERT_GE(rx, 0);
    struct Case {
        unsigned flags, len, bits;
        int count;
    };
    // Worst-case stuffing, with the 3-bit intermission:
    // standard 8 bytes: 98 stuffable bits + 24 stuff + 13 = 135
    // standard 0 bytes: 34 + 8 + 13 = 55; extended 8 bytes: 118 + 29 + 13 = 160.
    const Case cases[] = {
        {canMSG_STD, 8, 135, 150}, {canMSG_STD, 0, 55, 300}, {canMSG_EXT, 8, 160, 120}};
    for (const Case& c : cases) {
        double expected = 0;
        const unsigned long load = MeasureLoad(tx, rx, c.count, c.flags, c.len, c.bits, &expected);
        EXPECT_NEAR(static_cast<double>(load), expected, expected * 0.06 + 30)
            << c.bits << "-bit frames";
    }
}

TEST_F(CanlibStatisticsTest, BusLoadCountsBitRateSwitchedDataAtTheDataRate) {
    const canHandle tx = OpenFdOnBus(0);
    const canHandle rx = OpenFdOnBus(1);
    ASSERT_GE(tx, 0);
    ASSERT_GE(rx, 0);
    double unused = 0;
    // The same 64-byte frames with and without bit-rate switch: the switched ones occupy the
    // bus for much less time (data phase at 2 Mbit/s instead of 500 kbit/s).
    const unsigned long slow = MeasureLoad(tx, rx, 40, canMSG_STD | canFDMSG_FDF, 64, 1, &unused);
    const unsigned long fast =
        MeasureLoad(tx, rx, 40, canMSG_STD | canFDMSG_FDF | canFDMSG_BRS, 64, 1, &unused);
    // Without switch: more than 64*8 data bits per frame at 500 kbit/s.
    EXPECT_GT(slow, static_cast<unsigned long>(40 * 512 * 2 / 130000.0 * 10000 * 0.9));
    EXPECT_GT(fast, 0u);
    EXPECT_LT(fast * 2, slow);
    EXPECT_GT(fast * 6, slow);
}

TEST_F(CanlibStatisticsTest, BusLoadIsCappedAndCanBeOverridden) {
    const canHandle tx = OpenOnBus(0);
    const canHandle rx = OpenOnBus(1);
    ASSERT_GE(tx, 0);
    ASSERT_GE(rx, 0);
    double expected = 0;
    // 2000 frames of 270 us are 540 ms of bus time, far more than the window.
    const unsigned long load = MeasureLoad(tx, rx, 2000, canMSG_STD, 8, 135, &expected);
    EXPECT_EQ(load, 10000u);

    ASSERT_EQ(l.vcanTestSetBusLoad(1, 4321), canOK);
    EXPECT_EQ(Stats(rx).busLoad, 4321u);
    ASSERT_EQ(l.vcanTestSetBusLoad(1, -1), canOK);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(Stats(rx).busLoad, 0u);  // nothing was sent since the last request
}

TEST_F(CanlibStatisticsTest, SimulatedNodeSendsAtItsPeriodWithCountersAndStamps) {
    ASSERT_EQ(l.vcanTestConfigure("[node engine]\nbus = 1\nbitrate = 500000\n"
                                  "[message rpm]\nnode = engine\nid = 0x100\nlength = 4\n"
                                  "period = 10\ndata = 00 00 AB CD\nfield.c = 0 8 counter\n"
                                  "[node slow]\nbus = 1\nbitrate = 250000\n"
                                  "[message other]\nnode = slow\nid = 0x200\nperiod = 5\n"),
              canOK);
    char errors[512];
    ASSERT_EQ(l.vcanTestGetConfigErrors(errors, sizeof errors), 0) << errors;
    const canHandle rx = OpenOnBus(0);
    ASSERT_GE(rx, 0);
    std::this_thread::sleep_for(300ms);
    std::vector<RxFrame> got;
    for (RxFrame f; ReadFrame(rx, &f) == canOK;)
        got.push_back(f);
    ASSERT_GE(got.size(), 25u);
    ASSERT_LE(got.size(), 35u);
    std::vector<long> gaps;
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].id, 0x100) << "a 250 kbit/s node reached a 500 kbit/s channel";
        EXPECT_EQ(got[i].dlc, 4u);
        EXPECT_EQ(got[i].data[2], 0xAB);
        EXPECT_EQ(got[i].data[3], 0xCD);
        if (i > 0) {
            EXPECT_EQ(got[i].data[0], static_cast<uint8_t>(got[i - 1].data[0] + 1));
            gaps.push_back(static_cast<long>(got[i].time - got[i - 1].time));
        }
    }
    std::sort(gaps.begin(), gaps.end());
    const long median = gaps[gaps.size() / 2];
    EXPECT_GE(median, 9);
    EXPECT_LE(median, 11);
}

TEST_F(CanlibStatisticsTest, RemoteRequestIsAnswered) {
    ASSERT_EQ(l.vcanTestConfigure("[node body]\nbitrate = 500000\n"
                                  "[message doors]\nnode = body\nid = 0x3A0\nlength = 2\n"
                                  "answer = 1\ndata = 5A A5\n"),
              canOK);
    const canHandle h = OpenOnBus(0);
    ASSERT_GE(h, 0);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(Drain(h), 0) << "a message without period was sent unasked";
    ASSERT_EQ(l.canWrite(h, 0x3A0, nullptr, 2, canMSG_STD | canMSG_RTR), canOK);
    RxFrame f;
    const auto deadline = Clock::now() + 1s;
    canStatus s = canERR_NOMSG;
    while ((s = ReadFrame(h, &f)) == canERR_NOMSG && Clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(s, canOK);
    EXPECT_EQ(f.id, 0x3A0);
    EXPECT_EQ(f.flags & canMSG_RTR, 0u);
    EXPECT_EQ(f.dlc, 2u);
    EXPECT_EQ(f.data[0], 0x5A);
    EXPECT_EQ(f.data[1], 0xA5);
}

TEST_F(CanlibStatisticsTest, ErrorRateGivesCountedErrorFrames) {
    ASSERT_EQ(l.vcanTestConfigure("[node noisy]\nbitrate = 500000\nerror_rate = 200\nseed = 7\n"),
              canOK);
    const canHandle h = OpenOnBus(0);
    ASSERT_GE(h, 0);
    ASSERT_EQ(l.canRequestBusStatistics(h), canOK);
    std::this_thread::sleep_for(300ms);
    int errorFrames = 0;
    for (RxFrame f; ReadFrame(h, &f) == canOK;) {
        if (f.flags & canMSG_ERROR_FRAME)
            ++errorFrames;
    }
    // Read first, count after: the node keeps running, so a few more may be counted.
    const canBusStatistics st = Stats(h);
    EXPECT_GE(errorFrames, 20);  // about 60 expected
    EXPECT_LE(errorFrames, 150);
    EXPECT_GE(st.errFrame, static_cast<unsigned long>(errorFrames));
    EXPECT_LE(st.errFrame, static_cast<unsigned long>(errorFrames) + 5);
    EXPECT_EQ(st.stdData + st.extData, 0u);
}

TEST_F(CanlibStatisticsTest, MaxFloodDeliversBurstsAsFastAsRead) {
    ASSERT_EQ(l.vcanTestConfigure("[CAN1]\nflood = max\nflood_id = 0x55\nflood_length = 6\n"
                                  "flood_burst = 100\n"),
              canOK);
    const canHandle h = OpenOnBus(0);
    ASSERT_GE(h, 0);
    for (int burst = 0; burst < 3; ++burst) {
        int n = 0;
        RxFrame f;
        canStatus s;
        while ((s = ReadFrame(h, &f)) == canOK) {
            ++n;
            ASSERT_EQ(f.id, 0x55);
            ASSERT_EQ(f.dlc, 6u);
            ASSERT_LE(n, 100);
        }
        EXPECT_EQ(s, canERR_NOMSG);
        EXPECT_EQ(n, 100) << "burst " << burst;
    }
    // Other channels of the bus are not flooded by CAN1's source.
    const canHandle other = OpenOnBus(1);
    ASSERT_GE(other, 0);
    RxFrame f;
    EXPECT_EQ(ReadFrame(other, &f), canERR_NOMSG);
}

TEST_F(CanlibStatisticsTest, FloodAtARateKeepsToIt) {
    ASSERT_EQ(l.vcanTestConfigure("[CAN1]\nflood = 1000\nflood_id = 0x1234567\n"), canOK);
    const canHandle h = OpenOnBus(0);
    ASSERT_GE(h, 0);
    std::this_thread::sleep_for(200ms);
    int n = 0;
    for (RxFrame f; ReadFrame(h, &f) == canOK; ++n) {
        ASSERT_EQ(f.id, 0x1234567);
        ASSERT_NE(f.flags & canMSG_EXT, 0u);
    }
    EXPECT_GE(n, 150);
    EXPECT_LE(n, 260);
}

}  // namespace
}  // namespace canlib_test

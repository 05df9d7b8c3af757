// Channels, handles, access, bus timing, error texts, versions, test controls and bad input.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "canlib_api.h"

namespace canlib_test {
namespace {

class CanlibChannelTest : public CanlibFixture {};

TEST_F(CanlibChannelTest, HandlesAreSmallDistinctNonNegativeIntegers) {
    std::set<canHandle> handles;
    for (int round = 0; round < 3; ++round) {
        for (int ch = 0; ch < 5; ++ch) {
            const canHandle h = l.canOpenChannel(ch, canOPEN_ACCEPT_VIRTUAL);
            ASSERT_GE(h, 0);
            EXPECT_LT(h, 64);
            EXPECT_TRUE(handles.insert(h).second) << "handle " << h << " given twice";
        }
    }
    for (canHandle h : handles)
        EXPECT_EQ(l.canClose(h), canOK);
    for (canHandle h : handles)
        EXPECT_EQ(l.canClose(h), canERR_INVHANDLE);
    // Closed handles are reused rather than growing without bound.
    const canHandle again = l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL);
    EXPECT_GE(again, 0);
    EXPECT_LT(again, 64);
}

TEST_F(CanlibChannelTest, ChannelCountAndMissingChannels) {
    int count = -1;
    ASSERT_EQ(l.canGetNumberOfChannels(&count), canOK);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(l.canGetNumberOfChannels(nullptr), canERR_PARAM);
    for (int ch : {-1, 5, 6, 1000, -1000000}) {
        EXPECT_EQ(l.canOpenChannel(ch, canOPEN_ACCEPT_VIRTUAL), canERR_NOTFOUND) << ch;
    }

    ASSERT_EQ(l.vcanTestConfigure("[vcan]\nchannels = 3\n[CAN2]\npresent = 0\n"), canOK);
    ASSERT_EQ(l.canGetNumberOfChannels(&count), canOK);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(l.canOpenChannel(3, canOPEN_ACCEPT_VIRTUAL), canERR_NOTFOUND);
    EXPECT_EQ(l.canOpenChannel(1, canOPEN_ACCEPT_VIRTUAL), canERR_NOTFOUND);
    EXPECT_GE(l.canOpenChannel(2, canOPEN_ACCEPT_VIRTUAL), 0);
}

TEST_F(CanlibChannelTest, VirtualChannelsNeedTheAcceptVirtualFlag) {
    EXPECT_LT(l.canOpenChannel(0, 0), 0);
    EXPECT_GE(l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL), 0);
    ASSERT_EQ(l.vcanTestConfigure("[CAN1]\nvirtual = 0\n"), canOK);
    EXPECT_GE(l.canOpenChannel(0, 0), 0);
    EXPECT_LT(l.canOpenChannel(1, 0), 0);
}

TEST_F(CanlibChannelTest, ChannelMadeAbsentAnswersNotFoundUntilPresentAgain) {
    const canHandle h = OpenOnBus(0);
    ASSERT_GE(h, 0);
    ASSERT_EQ(l.vcanTestSetChannelPresent(0, 0), canOK);
    uint8_t data[8] = {};
    EXPECT_EQ(l.canWrite(h, 0x10, data, 8, canMSG_STD), canERR_NOTFOUND);
    EXPECT_EQ(l.canBusOn(h), canERR_NOTFOUND);
    EXPECT_EQ(l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL), canERR_NOTFOUND);
    // An absent channel receives nothing (a third channel acknowledges, so nothing stays
    // pending for it either).
    const canHandle other = OpenOnBus(1);
    ASSERT_GE(other, 0);
    ASSERT_GE(OpenOnBus(2), 0);
    ASSERT_EQ(l.canWrite(other, 0x11, data, 8, canMSG_STD), canOK);

    ASSERT_EQ(l.vcanTestSetChannelPresent(0, 1), canOK);
    EXPECT_EQ(l.canBusOn(h), canOK);
    RxFrame f;
    EXPECT_EQ(ReadFrame(h, &f), canERR_NOMSG);
    EXPECT_NE(l.vcanTestSetChannelPresent(7, 0), canOK);
}

TEST_F(CanlibChannelTest, InitAccessIsGivenToOneHandlePerChannel) {
    const canHandle first =
        l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL | canOPEN_REQUIRE_INIT_ACCESS);
    ASSERT_GE(first, 0);
    EXPECT_EQ(l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL | canOPEN_REQUIRE_INIT_ACCESS),
              canERR_NO_ACCESS);
    const canHandle second = l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL);
    ASSERT_GE(second, 0);
    // A shared handle keeps the timing of the holder; the call succeeds so that a program
    // that shares a channel still goes on the bus.
    EXPECT_EQ(l.canSetBusParams(second, canBITRATE_250K, 0, 0, 0, 0, 0), canOK);
    EXPECT_EQ(l.canSetBusParams(first, canBITRATE_250K, 0, 0, 0, 0, 0), canOK);
    // Other channels are not affected.
    EXPECT_GE(l.canOpenChannel(1, canOPEN_ACCEPT_VIRTUAL | canOPEN_REQUIRE_INIT_ACCESS), 0);
    // Closing the holder frees init access for the next opener.
    ASSERT_EQ(l.canClose(first), canOK);
    const canHandle third =
        l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL | canOPEN_REQUIRE_INIT_ACCESS);
    ASSERT_GE(third, 0);
    EXPECT_EQ(l.canSetBusParams(third, canBITRATE_125K, 0, 0, 0, 0, 0), canOK);
}

TEST_F(CanlibChannelTest, ClassicTimingIsCheckedAgainstTheControllerClock) {
    const canHandle h = l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL);
    ASSERT_GE(h, 0);
    for (long code :
         {canBITRATE_1M, canBITRATE_500K, canBITRATE_250K, canBITRATE_125K, canBITRATE_100K,
          canBITRATE_62K, canBITRATE_50K, canBITRATE_83K, canBITRATE_10K}) {
        EXPECT_EQ(l.canSetBusParams(h, code, 0, 0, 0, 0, 0), canOK) << code;
    }
    struct Case {
        long rate;
        unsigned tseg1, tseg2, sjw;
        canStatus want;
    };
    const Case cases[] = {
        {500000, 13, 2, 1, canOK},         // 16 quanta, prescaler 10
        {1000000, 5, 2, 1, canOK},         // 8 quanta, prescaler 10
        {250000, 15, 4, 4, canOK},         // 20 quanta, prescaler 16
        {125000, 13, 2, 2, canOK},         // sjw equal to tseg2
        {500000, 14, 2, 1, canERR_PARAM},  // 17 quanta do not divide 80 MHz / 500 kbit/s
        {500000, 13, 2, 3, canERR_PARAM},  // sjw above tseg2
        {500000, 13, 2, 0, canERR_PARAM},  // sjw 0
        {500000, 0, 15, 1, canERR_PARAM},  // tseg1 0
        {500000, 15, 0, 1, canERR_PARAM},  // tseg2 0
        {0, 13, 2, 1, canERR_PARAM},
        {123457, 13, 2, 1, canERR_PARAM},
        {-12345, 13, 2, 1, canERR_PARAM},               // not a predefined code
        {canFD_BITRATE_2M_80P, 0, 0, 0, canERR_PARAM},  // FD code on a classic handle
    };
    for (const Case& c : cases) {
        EXPECT_EQ(l.canSetBusParams(h, c.rate, c.tseg1, c.tseg2, c.sjw, 1, 0), c.want)
            << c.rate << " " << c.tseg1 << "/" << c.tseg2 << "/" << c.sjw;
    }
    EXPECT_EQ(l.canSetBusParams(-1, canBITRATE_500K, 0, 0, 0, 0, 0), canERR_INVHANDLE);
}

TEST_F(CanlibChannelTest, FdTimingOnlyOnHandlesOpenedForCanFd) {
    const canHandle classic = l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL);
    ASSERT_GE(classic, 0);
    EXPECT_EQ(l.canSetBusParamsFd(classic, canFD_BITRATE_2M_80P, 0, 0, 0), canERR_PARAM);
    EXPECT_EQ(l.canSetBusParamsFd(classic, 2000000, 15, 4, 4), canERR_PARAM);

    const canHandle fd = l.canOpenChannel(1, canOPEN_ACCEPT_VIRTUAL | canOPEN_CAN_FD);
    ASSERT_GE(fd, 0);
    for (long code : {canFD_BITRATE_500K_80P, canFD_BITRATE_1M_80P}) {
        EXPECT_EQ(l.canSetBusParams(fd, code, 0, 0, 0, 0, 0), canOK) << code;
    }
    for (long code : {canFD_BITRATE_500K_80P, canFD_BITRATE_1M_80P, canFD_BITRATE_2M_80P,
                      canFD_BITRATE_4M_80P, canFD_BITRATE_8M_60P}) {
        EXPECT_EQ(l.canSetBusParamsFd(fd, code, 0, 0, 0), canOK) << code;
    }
    EXPECT_EQ(l.canSetBusParams(fd, 500000, 63, 16, 16, 1, 0), canOK);
    EXPECT_EQ(l.canSetBusParamsFd(fd, 2000000, 15, 4, 4), canOK);
    EXPECT_EQ(l.canSetBusParamsFd(fd, 4000000, 7, 2, 2), canOK);
    EXPECT_EQ(l.canSetBusParamsFd(fd, 2000000, 16, 4, 4), canERR_PARAM);  // 21 quanta
    EXPECT_EQ(l.canSetBusParamsFd(fd, 2000000, 15, 4, 5), canERR_PARAM);  // sjw > tseg2
    EXPECT_EQ(l.canSetBusParamsFd(fd, 2000000, 15, 0, 0), canERR_PARAM);
    EXPECT_EQ(l.canSetBusParamsFd(fd, canBITRATE_500K, 0, 0, 0), canERR_PARAM);
    EXPECT_EQ(l.canSetBusParamsFd(99, canFD_BITRATE_2M_80P, 0, 0, 0), canERR_INVHANDLE);

    // A channel configured without CAN FD refuses the flag.
    ASSERT_EQ(l.vcanTestConfigure("[CAN1]\nfd = 0\n"), canOK);
    EXPECT_LT(l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL | canOPEN_CAN_FD), 0);
    EXPECT_GE(l.canOpenChannel(1, canOPEN_ACCEPT_VIRTUAL | canOPEN_CAN_FD), 0);
}

TEST_F(CanlibChannelTest, InvalidHandlesGiveInvHandleEverywhere) {
    const canHandle closed = l.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL);
    ASSERT_GE(closed, 0);
    ASSERT_EQ(l.canClose(closed), canOK);
    for (canHandle h : {-1, -10, 64, 1000, 0x7FFFFFFF, closed}) {
        uint8_t data[64] = {};
        long id = 0;
        unsigned dlc = 0, flags = 0, tx = 0, rx = 0, ov = 0;
        unsigned long time = 0;
        canBusStatistics stat{};
        unsigned scale = 1;
        EXPECT_EQ(l.canBusOn(h), canERR_INVHANDLE);
        EXPECT_EQ(l.canBusOff(h), canERR_INVHANDLE);
        EXPECT_EQ(l.canResetBus(h), canERR_INVHANDLE);
        EXPECT_EQ(l.canClose(h), canERR_INVHANDLE);
        EXPECT_EQ(l.canWrite(h, 1, data, 8, canMSG_STD), canERR_INVHANDLE);
        EXPECT_EQ(l.canRead(h, &id, data, &dlc, &flags, &time), canERR_INVHANDLE);
        EXPECT_EQ(l.canReadErrorCounters(h, &tx, &rx, &ov), canERR_INVHANDLE);
        EXPECT_EQ(l.canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &scale, sizeof scale), canERR_INVHANDLE);
        EXPECT_EQ(l.canRequestBusStatistics(h), canERR_INVHANDLE);
        EXPECT_EQ(l.canGetBusStatistics(h, &stat, sizeof stat), canERR_INVHANDLE);
        EXPECT_EQ(l.canAccept(h, 0, canFILTER_NULL_MASK), canERR_INVHANDLE);
        EXPECT_EQ(l.canReadTimer(h), 0ul);
        EXPECT_NE(l.vcanTestSetTimer(h, 5), canOK);
    }
}

TEST_F(CanlibChannelTest, ConfigureClosesEveryHandle) {
    const canHandle h = OpenOnBus(0);
    ASSERT_GE(h, 0);
    ASSERT_EQ(l.vcanTestConfigure(""), canOK);
    uint8_t data[8] = {};
    EXPECT_EQ(l.canWrite(h, 1, data, 8, canMSG_STD), canERR_INVHANDLE);
}

TEST_F(CanlibChannelTest, ErrorTextsForEveryStatusAndUnknownOnes) {
    const canStatus known[] = {canOK,
                               canERR_PARAM,
                               canERR_NOMSG,
                               canERR_NOTFOUND,
                               canERR_NOMEM,
                               canERR_NOCHANNELS,
                               canERR_NOTINITIALIZED,
                               canERR_NOHANDLES,
                               canERR_INVHANDLE,
                               canERR_TXBUFOFL,
                               canERR_NOT_SUPPORTED,
                               canERR_NO_ACCESS,
                               canERR_NOT_IMPLEMENTED,
                               canERR_OFF_BUS,
                               canERR_LINK_DOWN};
    std::set<std::string> texts;
    for (canStatus s : known) {
        char buf[256];
        std::memset(buf, 'x', sizeof buf);
        ASSERT_EQ(l.canGetErrorText(s, buf, sizeof buf), canOK) << s;
        ASSERT_NE(std::memchr(buf, '\0', sizeof buf), nullptr);
        EXPECT_GT(std::strlen(buf), 3u) << s;
        EXPECT_TRUE(texts.insert(buf).second) << "text shared by status " << s << ": " << buf;
    }
    for (canStatus s : {-7, -999, 12345, -2147483647 - 1}) {
        char buf[256];
        ASSERT_EQ(l.canGetErrorText(s, buf, sizeof buf), canOK) << s;
        EXPECT_GT(std::strlen(buf), 3u);
        EXPECT_EQ(texts.count(buf), 0u) << "unknown status " << s << " reads as a known one";
    }
    // Short buffers are truncated and terminated, nothing written past them.
    char small[8];
    std::memset(small, 'x', sizeof small);
    ASSERT_EQ(l.canGetErrorText(canERR_NOT_IMPLEMENTED, small, 4), canOK);
    EXPECT_EQ(std::strlen(small), 3u);
    EXPECT_EQ(small[4], 'x');
    char one[2] = {'x', 'x'};
    ASSERT_EQ(l.canGetErrorText(canERR_PARAM, one, 1), canOK);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(one[1], 'x');
    EXPECT_EQ(l.canGetErrorText(canERR_PARAM, nullptr, 100), canERR_PARAM);
    EXPECT_EQ(l.canGetErrorText(canERR_PARAM, small, 0), canERR_PARAM);
}

TEST_F(CanlibChannelTest, VersionsAndUnusedEntryPoints) {
    EXPECT_NE(l.canGetVersionEx(canVERSION_CANLIB32_VERSION), 0u);
    EXPECT_NE(l.canGetVersionEx(canVERSION_CANLIB32_PRODVER32), 0u);
    EXPECT_NE(l.canGetVersion(), 0u);
    EXPECT_GE(l.canParamGetCount(), 0);
    char name[16];
    std::memset(name, 'x', sizeof name);
    EXPECT_LT(l.canParamGetName(12345, name, sizeof name), 0);
    EXPECT_EQ(l.canParamGetName(0, nullptr, 16), canERR_PARAM);
    EXPECT_LT(l.canParamGetChannelNumber(-5), 0);
    // Unloading and initialising again leaves a working library.
    EXPECT_EQ(l.canUnloadLibrary(), canOK);
    l.canInitializeLibrary();
    EXPECT_GE(OpenOnBus(0), 0);
}

TEST_F(CanlibChannelTest, FailNextMakesNamedCallsFail) {
    const canHandle a = OpenOnBus(0);
    const canHandle b = OpenOnBus(1);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(l.vcanTestFailNext("canWrite", canERR_NOMEM, 2), canOK);
    EXPECT_EQ(l.canWrite(a, 1, data, 8, canMSG_STD), canERR_NOMEM);
    EXPECT_EQ(l.canWrite(a, 2, data, 8, canMSG_STD), canERR_NOMEM);
    EXPECT_EQ(l.canWrite(a, 3, data, 8, canMSG_STD), canOK);
    RxFrame f;
    ASSERT_EQ(ReadFrame(b, &f), canOK);
    EXPECT_EQ(f.id, 3);  // failed writes put nothing on the bus
    EXPECT_EQ(ReadFrame(b, &f), canERR_NOMSG);

    ASSERT_EQ(l.vcanTestFailNext("canOpenChannel", canERR_NOCHANNELS, -1), canOK);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(l.canOpenChannel(2, canOPEN_ACCEPT_VIRTUAL), canERR_NOCHANNELS);
    }
    ASSERT_EQ(l.vcanTestFailNext("canOpenChannel", canERR_NOCHANNELS, 0), canOK);
    EXPECT_GE(l.canOpenChannel(2, canOPEN_ACCEPT_VIRTUAL), 0);

    ASSERT_EQ(l.vcanTestFailNext("canGetVersionEx", canERR_PARAM, 1), canOK);
    EXPECT_EQ(l.canGetVersionEx(canVERSION_CANLIB32_VERSION), 0u);
    EXPECT_NE(l.canGetVersionEx(canVERSION_CANLIB32_VERSION), 0u);
    EXPECT_NE(l.vcanTestFailNext(nullptr, canERR_PARAM, 1), canOK);
}

TEST_F(CanlibChannelTest, ScenarioProblemsAreReportedAndLeaveDefaults) {
    ASSERT_EQ(l.vcanTestConfigure("[vcan]\nchannels = 99\nbogus = 1\n[CAN1]\nrx_queue = -4\n"
                                  "flood = fast\n[message orphan]\nid = 0x100\n"),
              canOK);
    char buf[2048];
    const int n = l.vcanTestGetConfigErrors(buf, sizeof buf);
    EXPECT_GE(n, 4);
    EXPECT_NE(std::strstr(buf, "bogus"), nullptr) << buf;
    int count = 0;
    ASSERT_EQ(l.canGetNumberOfChannels(&count), canOK);
    EXPECT_EQ(count, 5);
    // The truncated copy is terminated and the count does not depend on the buffer.
    char tiny[5];
    std::memset(tiny, 'x', sizeof tiny);
    EXPECT_EQ(l.vcanTestGetConfigErrors(tiny, 4), n);
    EXPECT_EQ(tiny[3], '\0');
    EXPECT_EQ(tiny[4], 'x');
    EXPECT_EQ(l.vcanTestGetConfigErrors(nullptr, 0), n);

    ASSERT_EQ(l.vcanTestConfigure("[vcan]\nchannels = 2\n"), canOK);
    EXPECT_EQ(l.vcanTestGetConfigErrors(buf, sizeof buf), 0);
}

TEST_F(CanlibChannelTest, BadArgumentsGiveStatusesNotCrashes) {
    const canHandle h = OpenOnBus(0);
    const canHandle rx = OpenOnBus(1);
    ASSERT_GE(h, 0);
    ASSERT_GE(rx, 0);
    uint8_t data[64] = {};
    EXPECT_EQ(l.canWrite(h, 1, nullptr, 8, canMSG_STD), canERR_PARAM);
    EXPECT_EQ(l.canWrite(h, 1, data, 0xFFFFFFFFu, canMSG_STD), canERR_PARAM);
    EXPECT_EQ(l.canWrite(h, -1, data, 8, canMSG_STD), canERR_PARAM);
    EXPECT_EQ(l.canWrite(h, 0x20000000, data, 8, canMSG_EXT), canERR_PARAM);
    EXPECT_EQ(l.canWrite(h, 0x800, data, 8, canMSG_STD), canERR_PARAM);
    // A zero-length frame needs no buffer.
    EXPECT_EQ(l.canWrite(h, 1, nullptr, 0, canMSG_STD), canOK);
    ASSERT_EQ(Drain(rx), 1);

    ASSERT_EQ(l.canWrite(h, 7, data, 8, canMSG_STD), canOK);
    long id = 0;
    unsigned dlc = 0, flags = 0;
    unsigned long time = 0;
    const canStatus s = l.canRead(rx, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(s == canOK || s == canERR_PARAM) << s;
    if (s == canERR_PARAM) {
        // Refused reads lose nothing.
        EXPECT_EQ(l.canRead(rx, &id, data, &dlc, &flags, &time), canOK);
        EXPECT_EQ(id, 7);
    }

    unsigned tx = 0, rxe = 0, ov = 0;
    const canStatus e = l.canReadErrorCounters(h, nullptr, nullptr, nullptr);
    EXPECT_TRUE(e == canOK || e == canERR_PARAM) << e;
    EXPECT_EQ(l.canReadErrorCounters(h, &tx, &rxe, &ov), canOK);

    uint32_t scale = 1;
    EXPECT_EQ(l.canIoCtl(h, canIOCTL_SET_TIMER_SCALE, nullptr, 4), canERR_PARAM);
    EXPECT_EQ(l.canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &scale, 2), canERR_PARAM);
    uint32_t zero = 0;
    EXPECT_EQ(l.canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &zero, 4), canERR_PARAM);
    uint8_t small[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(l.canIoCtl(h, canIOCTL_GET_EVENTHANDLE, small, sizeof small), canERR_PARAM);
    EXPECT_EQ(small[0], 0xAA);
    EXPECT_EQ(l.canIoCtl(h, canIOCTL_GET_EVENTHANDLE, nullptr, 8), canERR_PARAM);
    EXPECT_NE(l.canIoCtl(h, 0xDEAD, &scale, 4), canOK);

    EXPECT_EQ(l.canGetBusStatistics(h, nullptr, sizeof(canBusStatistics)), canERR_PARAM);
    EXPECT_NE(l.vcanTestInjectFrame(99, 1, data, 8, canMSG_STD), 1);
    EXPECT_LT(l.vcanTestInjectFrame(0, 1, nullptr, 8, canMSG_STD), 0);
    EXPECT_LT(l.vcanTestInjectFrame(0, 1, data, 1000, canMSG_STD), 0);
    EXPECT_NE(l.vcanTestSetBusLoad(-1, 100), canOK);
    EXPECT_NE(l.vcanTestSetErrorCounters(55, 1, 1, 1), canOK);
    EXPECT_EQ(l.canOpenChannel(0, -1), l.canOpenChannel(0, -1));  // no crash, same answer
}

TEST(CanlibNoFdVariant, LacksFdTimingAndClockButWorks) {
    CanlibApi v;
    ASSERT_TRUE(v.Load(SORVANE_TEST_CANLIB_NOFD)) << dlerror();
    EXPECT_EQ(v.canSetBusParamsFd, nullptr);
    EXPECT_EQ(v.canReadTimer, nullptr);
    EXPECT_EQ(v.missing, "canSetBusParamsFd canReadTimer ");
    ASSERT_EQ(v.vcanTestConfigure(nullptr), canOK);
    const canHandle a = v.canOpenChannel(0, canOPEN_ACCEPT_VIRTUAL);
    const canHandle b = v.canOpenChannel(1, canOPEN_ACCEPT_VIRTUAL);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    for (canHandle h : {a, b}) {
        ASSERT_EQ(v.canSetBusParams(h, canBITRATE_250K, 0, 0, 0, 0, 0), canOK);
        ASSERT_EQ(v.canBusOn(h), canOK);
    }
    uint8_t data[8] = {9, 8, 7, 6, 5, 4, 3, 2};
    ASSERT_EQ(v.canWrite(a, 0x321, data, 8, canMSG_STD), canOK);
    long id = 0;
    uint8_t got[64] = {};
    unsigned dlc = 0, flags = 0;
    unsigned long time = 0;
    ASSERT_EQ(v.canRead(b, &id, got, &dlc, &flags, &time), canOK);
    EXPECT_EQ(id, 0x321);
    EXPECT_EQ(dlc, 8u);
    EXPECT_EQ(std::memcmp(got, data, 8), 0);
    char text[64];
    EXPECT_EQ(v.canGetErrorText(canERR_NOMSG, text, sizeof text), canOK);
    dlclose(v.module);
}

}  // namespace
}  // namespace canlib_test

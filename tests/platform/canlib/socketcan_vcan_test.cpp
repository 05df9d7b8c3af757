// The SocketCAN backend on a real CAN interface of the kernel: a vcan interface named by
// SORVANE_TEST_SOCKETCAN (vcan0 by default), up. Every test is skipped, saying why, on a
// kernel without CAN sockets or without that interface.
#include <gtest/gtest.h>
#include <linux/can.h>
#include <net/if.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "canlib_api.h"

namespace canlib_test {
namespace {

std::string TestInterface() {
    const char* name = std::getenv("SORVANE_TEST_SOCKETCAN");
    return name && *name ? name : "vcan0";
}

// Why the real-interface tests cannot run here; empty when they can.
std::string MissingCanSupport() {
    const int fd = socket(PF_CAN, SOCK_RAW | SOCK_CLOEXEC, CAN_RAW);
    if (fd < 0) {
        return std::string("this kernel offers no CAN sockets (") + std::strerror(errno) +
               "): the tests on a real CAN interface are skipped";
    }
    close(fd);
    const std::string name = TestInterface();
    if (if_nametoindex(name.c_str()) == 0) {
        return "no interface " + name + " (ip link add dev " + name + " type vcan && ip link set " +
               name +
               " up, or name one in SORVANE_TEST_SOCKETCAN): the tests on a real CAN "
               "interface are skipped";
    }
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, name.c_str(), IFNAMSIZ - 1);
    const int inet = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const bool up = inet >= 0 && ioctl(inet, SIOCGIFFLAGS, &ifr) == 0 && (ifr.ifr_flags & IFF_UP);
    if (inet >= 0)
        close(inet);
    if (!up)
        return name + " is down (ip link set " + name + " up): the tests on a real CAN " +
               "interface are skipped";
    return {};
}

const uint8_t kData[64] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 11, 12, 13, 14, 15, 16};

class SocketCanVcanTest : public CanlibFixture {
protected:
    void SetUp() override {
        const std::string missing = MissingCanSupport();
        if (!missing.empty())
            GTEST_SKIP() << missing;
        CanlibFixture::SetUp();
        const std::string name = TestInterface();
        const std::string scenario = "[CAN1]\nsocketcan = " + name +
                                     "\n[CAN2]\nsocketcan = " + name +
                                     "\n[CAN3]\nsocketcan = " + name + "\ntxack = 1\n";
        ASSERT_EQ(l.vcanTestConfigure(scenario.c_str()), canOK);
    }
    void TearDown() override {
        if (l.module)
            l.vcanTestConfigure(nullptr);
    }

    // Opens a channel as the program does; skips when the interface is down for good.
    canHandle Start(int channel, bool fd = false) {
        const canHandle h = l.canOpenChannel(channel, fd ? 0x4A0 : 0xA0);
        if (h < 0)
            return h;
        EXPECT_GE(h, 64);
        EXPECT_EQ(l.canSetBusParams(h, 500000, 13, 2, 1, 1, 0), canOK);
        if (fd) {
            EXPECT_EQ(l.canSetBusParamsFd(h, 2000000, 15, 4, 4), canOK);
        }
        const int on = l.canBusOn(h);
        EXPECT_EQ(on, canOK) << "is " << TestInterface() << " up?";
        uint32_t scale = 1;
        l.canIoCtl(h, canIOCTL_SET_TIMER_SCALE, &scale, sizeof scale);
        return on == canOK ? h : -1;
    }

    // Reads one frame, waiting up to a second for it.
    int ReadWithin(canHandle h, RxFrame* f) {
        for (int i = 0; i < 100; ++i) {
            const int st = ReadFrame(h, f);
            if (st != canERR_NOMSG)
                return st;
            usleep(10000);
        }
        return canERR_NOMSG;
    }
};

TEST_F(SocketCanVcanTest, FramesTravelToOtherHandlesButNotBackToTheSender) {
    const canHandle a = Start(0), b = Start(1);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    const unsigned long before = l.canReadTimer(b);
    ASSERT_EQ(l.canWrite(a, 0x123, const_cast<uint8_t*>(kData), 8, 0), canOK);
    ASSERT_EQ(l.canWrite(a, 0x1ABCDEF, const_cast<uint8_t*>(kData), 3, canMSG_EXT), canOK);
    ASSERT_EQ(l.canWrite(a, 0x42, nullptr, 2, canMSG_RTR), canOK);
    RxFrame f;
    ASSERT_EQ(ReadWithin(b, &f), canOK);
    EXPECT_EQ(f.id, 0x123);
    EXPECT_EQ(f.flags, unsigned{canMSG_STD});
    EXPECT_EQ(std::memcmp(f.data, kData, 8), 0);
    EXPECT_GE(f.time, before);
    EXPECT_LE(f.time, l.canReadTimer(b));
    ASSERT_EQ(ReadWithin(b, &f), canOK);
    EXPECT_EQ(f.id, 0x1ABCDEF);
    EXPECT_EQ(f.flags, unsigned{canMSG_EXT});
    ASSERT_EQ(ReadWithin(b, &f), canOK);
    EXPECT_EQ(f.flags, unsigned{canMSG_STD | canMSG_RTR});
    EXPECT_EQ(f.dlc, 2u);
    EXPECT_EQ(ReadFrame(a, &f), canERR_NOMSG);
    // Off the bus nothing arrives; the statistics counted what was seen.
    ASSERT_EQ(l.canRequestBusStatistics(b), canOK);
    canBusStatistics st{};
    ASSERT_EQ(l.canGetBusStatistics(b, &st, sizeof st), canOK);
    EXPECT_EQ(st.stdData, 1u);
    EXPECT_EQ(st.extData, 1u);
    EXPECT_EQ(st.stdRemote, 1u);
    ASSERT_EQ(l.canBusOff(b), canOK);
    ASSERT_EQ(l.canWrite(a, 0x124, const_cast<uint8_t*>(kData), 1, 0), canOK);
    usleep(50000);
    EXPECT_EQ(ReadFrame(b, &f), canERR_NOMSG);
    unsigned tx = 0, rx = 0, ov = 0;
    EXPECT_EQ(l.canReadErrorCounters(a, &tx, &rx, &ov), canOK);
}

TEST_F(SocketCanVcanTest, TheEventSignalsFramesAndTxAckEchoesOwnFrames) {
    const canHandle echo = Start(2), other = Start(0);
    ASSERT_GE(echo, 0);
    ASSERT_GE(other, 0);
    int64_t fd = -1;
    ASSERT_EQ(l.canIoCtl(other, canIOCTL_GET_EVENTHANDLE, &fd, sizeof fd), canOK);
    ASSERT_EQ(l.canWrite(echo, 0x77, const_cast<uint8_t*>(kData), 4, 0), canOK);
    pollfd p{static_cast<int>(fd), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    uint64_t count = 0;
    ASSERT_EQ(read(static_cast<int>(fd), &count, sizeof count), 8);
    RxFrame f;
    ASSERT_EQ(ReadFrame(other, &f), canOK);
    EXPECT_EQ(f.flags, unsigned{canMSG_STD});
    EXPECT_EQ(ReadFrame(other, &f), canERR_NOMSG);
    EXPECT_EQ(poll(&p, 1, 50), 0);
    ASSERT_EQ(ReadWithin(echo, &f), canOK);
    EXPECT_EQ(f.id, 0x77);
    EXPECT_EQ(f.flags, unsigned{canMSG_STD | canMSG_TXACK});
}

TEST_F(SocketCanVcanTest, CanFdFramesWhenTheInterfaceCarriesThem) {
    const canHandle a = l.canOpenChannel(0, 0x4A0);
    if (a == canERR_NOT_SUPPORTED)
        GTEST_SKIP() << TestInterface() << " carries classic frames only (MTU 16)";
    ASSERT_GE(a, 0);
    ASSERT_EQ(l.canClose(a), canOK);
    const canHandle fdA = Start(0, true), fdB = Start(1, true);
    ASSERT_GE(fdA, 0);
    ASSERT_GE(fdB, 0);
    ASSERT_EQ(l.canWrite(fdA, 0x600, const_cast<uint8_t*>(kData), 64, canFDMSG_FDF | canFDMSG_BRS),
              canOK);
    RxFrame f;
    ASSERT_EQ(ReadWithin(fdB, &f), canOK);
    EXPECT_EQ(f.flags, unsigned{canMSG_STD | canFDMSG_FDF | canFDMSG_BRS});
    EXPECT_EQ(f.dlc, 64u);
    EXPECT_EQ(std::memcmp(f.data, kData, 64), 0);
}

}  // namespace
}  // namespace canlib_test

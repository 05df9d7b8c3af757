// The SocketCAN backend's handling of the interface's link, with a scripted interface in place
// of the kernel's netlink and one end of a socket pair in place of the CAN socket: timing set
// where the process may and kept (with one line on stderr) where it may not, the link taken
// down and brought up and left as it was found, bus off restarted, counters and state read.
#include <gtest/gtest.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "canlib.h"
#include "socketcan_bus.h"

namespace vcan {
namespace {

constexpr int kIndex = 5;

// One CAN controller "can0" as netlink shows it, with a log of the changes asked for.
class ScriptedLink : public LinkControl {
public:
    ScriptedLink() {
        link.ifindex = kIndex;
        link.type = ARPHRD_CAN;
        link.name = "can0";
        link.kind = "can";
        link.mtu = CAN_MTU;
        link.flags = IFF_UP;
        link.haveClock = true;
        link.clockHz = 80000000;
        link.haveState = true;
        link.state = CAN_STATE_ERROR_ACTIVE;
        SetTiming(&link.bittiming, 250000, 875);
        link.haveBittiming = true;
    }
    static void SetTiming(can_bittiming* bt, uint32_t bitrate, uint32_t samplePoint) {
        *bt = can_bittiming{};
        bt->bitrate = bitrate;
        bt->sample_point = samplePoint;
    }

    int IndexOf(const std::string& name) override { return name == "can0" ? kIndex : 0; }
    int Query(int ifindex, LinkInfo* out) override {
        if (ifindex != kIndex)
            return -ENODEV;
        *out = link;
        return 0;
    }
    int SetUp(int ifindex, bool up) override {
        if (ifindex != kIndex)
            return -ENODEV;
        if (!admin)
            return -EPERM;
        if (up && upError)
            return upError;
        link.flags = up ? IFF_UP : 0;
        calls.push_back(up ? "up" : "down");
        return 0;
    }
    int Change(int ifindex, const CanLinkChange& c) override {
        if (ifindex != kIndex)
            return -ENODEV;
        if (!admin)
            return -EPERM;
        if (c.restart) {
            calls.push_back("restart");
            link.state = CAN_STATE_ERROR_ACTIVE;
        }
        if (!c.bittiming && !c.dataBittiming && !c.setCtrlMode)
            return 0;
        if (link.flags & IFF_UP)
            return -EBUSY;  // the kernel's answer: timing only while down
        if (changeError)
            return changeError;
        if (c.setCtrlMode) {
            link.ctrlMode = (link.ctrlMode & ~c.ctrlMode.mask) | c.ctrlMode.flags;
            link.haveCtrlMode = true;
        }
        if (c.bittiming)
            Apply(*c.bittiming, &link.bittiming, "timing");
        if (c.dataBittiming) {
            Apply(*c.dataBittiming, &link.dataBittiming, "data");
            link.haveDataBittiming = true;
        }
        return 0;
    }

    LinkInfo link;
    bool admin = true;
    int changeError = 0;
    int upError = 0;
    std::vector<std::string> calls;

private:
    // As the kernel does: a bit rate is fitted, time quanta give the rate of the clock.
    void Apply(const can_bittiming& asked, can_bittiming* out, const char* what) {
        can_bittiming bt = asked;
        if (bt.bitrate == 0) {
            const uint64_t prescaler = uint64_t{link.clockHz} * bt.tq / 1000000000;
            const uint32_t quanta = 1 + bt.prop_seg + bt.phase_seg1 + bt.phase_seg2;
            bt.bitrate = static_cast<uint32_t>(link.clockHz / (prescaler * quanta));
            bt.sample_point = (1 + bt.prop_seg + bt.phase_seg1) * 1000 / quanta;
        }
        *out = bt;
        calls.push_back(std::string(what) + " " + std::to_string(bt.bitrate) + " " +
                        std::to_string(bt.sample_point));
    }
};

class SocketCanLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        int sv[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, sv), 0);
        peer_ = sv[0];
        socket_ = sv[1];
    }
    void TearDown() override {
        bus_.CloseAll();
        close(peer_);
        close(socket_);
    }
    // Opens a channel on can0 as the program does (init access asked for first).
    int Open(int channel = 0, bool fd = false, int extra = canOPEN_REQUIRE_INIT_ACCESS) {
        return bus_.Open(channel, {"can0", socket_, false, Stuffing::kWorstCase},
                         (fd ? canOPEN_CAN_FD : 0) | canOPEN_ACCEPT_VIRTUAL | extra);
    }
    // stderr of one call.
    template <typename Fn>
    std::string Said(Fn&& fn, int* status) {
        testing::internal::CaptureStderr();
        *status = fn();
        return testing::internal::GetCapturedStderr();
    }

    ScriptedLink link_;
    SocketCanBus bus_{&link_};
    int peer_ = -1;
    int socket_ = -1;
};

using Calls = std::vector<std::string>;

TEST_F(SocketCanLinkTest, WithTheRightTheTimingIsSetAndTheLinkLeftAsFound) {
    struct Case {
        bool upBefore;
        long bitrate;
        unsigned tseg1, tseg2;
        Calls atTiming;   // changes made by canSetBusParams
        Calls atBusOn;    // by canBusOn
        Calls atBusOff;   // by canBusOff
        bool upAfterOff;  // the link after bus off
    };
    const Case cases[] = {
        // Up with another timing: down for the change, up again at bus on, and it stays up.
        {true, 500000, 13, 2, {"down", "timing 500000 875"}, {"up"}, {}, true},
        // Down: set, brought up at bus on and down again at bus off.
        {false, 500000, 13, 2, {"timing 500000 875"}, {"up"}, {"down"}, false},
        // Already the same rate and sample point: nothing changes.
        {true, 250000, 13, 2, {}, {}, {}, true},
        {true, 250000, 12, 3, {"down", "timing 250000 812"}, {"up"}, {}, true},
        // A rate the clock does not give exactly goes as rate and sample point.
        {true, 333333, 13, 2, {"down", "timing 333333 875"}, {"up"}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitrate << " up " << c.upBefore);
        link_.link.flags = c.upBefore ? IFF_UP : 0;
        ScriptedLink::SetTiming(&link_.link.bittiming, 250000, 875);
        const int h = Open();
        ASSERT_GE(h, kSocketHandleBase);
        link_.calls.clear();
        EXPECT_EQ(bus_.SetBusParams(h, c.bitrate, c.tseg1, c.tseg2, 1, 1), canOK);
        EXPECT_EQ(link_.calls, c.atTiming);
        link_.calls.clear();
        ASSERT_EQ(bus_.BusOn(h), canOK);
        EXPECT_EQ(link_.calls, c.atBusOn);
        EXPECT_TRUE(link_.link.flags & IFF_UP);
        link_.calls.clear();
        ASSERT_EQ(bus_.BusOff(h), canOK);
        EXPECT_EQ(link_.calls, c.atBusOff);
        EXPECT_EQ((link_.link.flags & IFF_UP) != 0, c.upAfterOff);
        ASSERT_EQ(bus_.Close(h), canOK);
    }
}

TEST_F(SocketCanLinkTest, WithoutTheRightTheInterfaceKeepsItsTimingAndSaysSo) {
    link_.admin = false;
    const int h = Open();
    ASSERT_GE(h, kSocketHandleBase);
    int status = -99;
    std::string said = Said([&] { return bus_.SetBusParams(h, 500000, 13, 2, 1, 1); }, &status);
    EXPECT_EQ(status, canOK);
    EXPECT_EQ(said,
              "libcanlib: CAN1: can0 keeps its own nominal bit timing (250000 bit/s): setting "
              "it needs CAP_NET_ADMIN\n");
    EXPECT_EQ(link_.link.bittiming.bitrate, 250000u);
    EXPECT_TRUE(link_.calls.empty());
    // The same timing needs no right and says nothing.
    said = Said([&] { return bus_.SetBusParams(h, 250000, 13, 2, 1, 1); }, &status);
    EXPECT_EQ(status, canOK);
    EXPECT_EQ(said, "");
    EXPECT_EQ(bus_.BusOn(h), canOK);  // it is up
    ASSERT_EQ(bus_.Close(h), canOK);

    // A controller never given a timing: still 0, and said.
    link_.link.flags = 0;
    link_.link.haveBittiming = false;
    const int down = Open();
    said = Said([&] { return bus_.SetBusParams(down, 500000, 13, 2, 1, 1); }, &status);
    EXPECT_EQ(status, canOK);
    EXPECT_NE(said.find("can0 has no nominal bit timing"), std::string::npos) << said;
    // A link that is down stays down: bus on fails with its status and says how to go on.
    said = Said([&] { return bus_.BusOn(down); }, &status);
    EXPECT_EQ(status, canERR_LINK_DOWN);
    EXPECT_EQ(said,
              "libcanlib: CAN1: can0 is down; bringing it up needs CAP_NET_ADMIN (ip link set "
              "can0 up)\n");
    EXPECT_EQ(bus_.Write(down, 0x1, "x", 1, 0), canERR_OFF_BUS);
    // With the right, a controller that cannot come up (no timing yet) says why.
    link_.admin = true;
    link_.upError = -EINVAL;
    said = Said([&] { return bus_.BusOn(down); }, &status);
    EXPECT_EQ(status, canERR_LINK_DOWN);
    EXPECT_NE(said.find("can0 cannot be brought up (Invalid argument)"), std::string::npos);
}

TEST_F(SocketCanLinkTest, CanFdModeIsSwitchedOnWhereAllowedAndRefusedWhereNot) {
    struct Case {
        bool admin;
        bool fdOn;
        int status;
        Calls calls;
        const char* said;  // part of the stderr line, "" for none
    };
    const Case cases[] = {
        {true, false, canOK, {"down", "data 2000000 800"}, ""},
        {true, true, canOK, {"down", "data 2000000 800"}, ""},  // another data rate before
        {false, true, canOK, {}, "keeps its own data-phase bit timing (4000000 bit/s)"},
        {false, false, canERR_NOT_SUPPORTED, {}, "CAN FD is off on can0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "admin " << c.admin << " fd " << c.fdOn);
        link_.admin = c.admin;
        link_.link.flags = IFF_UP;
        link_.link.ctrlMode = c.fdOn ? CAN_CTRLMODE_FD : 0;
        link_.link.haveDataBittiming = true;
        ScriptedLink::SetTiming(&link_.link.dataBittiming, 4000000, 800);
        const int h = Open(0, true);
        ASSERT_GE(h, kSocketHandleBase);
        link_.calls.clear();
        int status = -99;
        const std::string said =
            Said([&] { return bus_.SetBusParamsFd(h, 2000000, 15, 4, 4); }, &status);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(link_.calls, c.calls);
        if (*c.said) {
            EXPECT_NE(said.find(c.said), std::string::npos) << said;
        } else {
            EXPECT_EQ(said, "");
        }
        if (c.admin) {
            EXPECT_TRUE(link_.link.ctrlMode & CAN_CTRLMODE_FD);
        }
        ASSERT_EQ(bus_.Close(h), canOK);
        EXPECT_TRUE(link_.link.flags & IFF_UP) << "the link is left as it was found";
    }
}

TEST_F(SocketCanLinkTest, ARefusedTimingLeavesTheLinkAsFound) {
    link_.changeError = -EINVAL;
    const int h = Open();
    EXPECT_EQ(bus_.SetBusParams(h, 500000, 13, 2, 1, 1), canERR_PARAM);
    EXPECT_EQ(link_.calls, (Calls{"down", "up"}));
    EXPECT_EQ(link_.link.bittiming.bitrate, 250000u);
    link_.changeError = -EOPNOTSUPP;
    link_.calls.clear();
    EXPECT_EQ(bus_.SetBusParams(h, 500000, 13, 2, 1, 1), canERR_NOT_SUPPORTED);
    EXPECT_TRUE(link_.link.flags & IFF_UP);
    // Taken down and closed without bus on: up again at close.
    link_.changeError = 0;
    link_.calls.clear();
    ASSERT_EQ(bus_.SetBusParams(h, 500000, 13, 2, 1, 1), canOK);
    EXPECT_FALSE(link_.link.flags & IFF_UP);
    ASSERT_EQ(bus_.Close(h), canOK);
    EXPECT_EQ(link_.calls, (Calls{"down", "timing 500000 875", "up"}));
}

TEST_F(SocketCanLinkTest, OtherHandlesNeitherChangeTheTimingNorTakeTheLinkAway) {
    const int first = Open(0);
    ASSERT_EQ(bus_.SetBusParams(first, 500000, 13, 2, 1, 1), canOK);
    ASSERT_EQ(bus_.BusOn(first), canOK);
    // A handle without init access on the same channel: nothing changes.
    const int shared = Open(0, false, canOPEN_NO_INIT_ACCESS);
    ASSERT_GE(shared, kSocketHandleBase);
    EXPECT_EQ(Open(0), canERR_NO_ACCESS);
    link_.calls.clear();
    EXPECT_EQ(bus_.SetBusParams(shared, 125000, 13, 2, 1, 1), canOK);
    EXPECT_TRUE(link_.calls.empty());
    // Another channel on the same interface may not take the link from under the first.
    const int other = Open(1);
    ASSERT_GE(other, kSocketHandleBase);
    int status = -99;
    const std::string said =
        Said([&] { return bus_.SetBusParams(other, 125000, 13, 2, 1, 1); }, &status);
    EXPECT_EQ(status, canERR_NO_ACCESS);
    EXPECT_NE(said.find("another channel of this process is on the bus on can0"),
              std::string::npos);
    EXPECT_TRUE(link_.calls.empty());
    EXPECT_EQ(link_.link.bittiming.bitrate, 500000u);
    // A link brought up by us goes down only when the last of our handles leaves the bus.
    ASSERT_EQ(bus_.BusOff(first), canOK);
    link_.link.flags = 0;
    ASSERT_EQ(bus_.BusOn(first), canOK);
    ASSERT_EQ(bus_.BusOn(other), canOK);
    link_.calls.clear();
    ASSERT_EQ(bus_.BusOff(first), canOK);
    EXPECT_TRUE(link_.calls.empty());
    ASSERT_EQ(bus_.Close(other), canOK);
    EXPECT_EQ(link_.calls, Calls{"down"});
}

TEST_F(SocketCanLinkTest, BusOffIsRestartedAndCountersComeFromTheInterface) {
    const int h = Open();
    ASSERT_EQ(bus_.BusOn(h), canOK);
    link_.link.haveBerr = true;
    link_.link.berr = {12, 34};
    unsigned tx = 0, rx = 0, ov = 0;
    ASSERT_EQ(bus_.ReadErrorCounters(h, &tx, &rx, &ov), canOK);
    EXPECT_EQ(tx, 12u);
    EXPECT_EQ(rx, 34u);
    link_.link.state = CAN_STATE_BUS_OFF;
    link_.link.berr = {0, 0};  // some controllers reset their counter when going bus off
    ASSERT_EQ(bus_.ReadErrorCounters(h, &tx, &rx, &ov), canOK);
    EXPECT_EQ(tx, 256u);
    link_.calls.clear();
    ASSERT_EQ(bus_.BusOn(h), canOK);  // on the bus already: recovers from bus off
    EXPECT_EQ(link_.calls, Calls{"restart"});
    link_.link.state = CAN_STATE_BUS_OFF;
    link_.calls.clear();
    ASSERT_EQ(bus_.ResetBus(h), canOK);
    EXPECT_EQ(link_.calls, Calls{"restart"});
    // Without the right the interface's own restart applies; nothing fails.
    link_.link.state = CAN_STATE_BUS_OFF;
    link_.admin = false;
    EXPECT_EQ(bus_.ResetBus(h), canOK);
    EXPECT_EQ(bus_.BusOn(h), canOK);
    // Without a counter from the driver: those of the error messages, none here.
    link_.link.haveBerr = false;
    link_.link.state = CAN_STATE_ERROR_PASSIVE;
    ASSERT_EQ(bus_.ReadErrorCounters(h, &tx, &rx, &ov), canOK);
    EXPECT_EQ(tx, 0u);
    EXPECT_EQ(rx, 0u);
}

TEST_F(SocketCanLinkTest, InterfacesThatCannotServeTheChannelAreRefusedAtOpen) {
    struct Case {
        const char* kind;
        unsigned type;
        uint32_t mtu;
        bool fd;
        int status;
    };
    const Case cases[] = {
        {"vcan", ARPHRD_CAN, CAN_MTU, false, kSocketHandleBase},
        {"vcan", ARPHRD_CAN, CAN_MTU, true, canERR_NOT_SUPPORTED},
        {"vcan", ARPHRD_CAN, CANFD_MTU, true, kSocketHandleBase},
        {"vxcan", ARPHRD_CAN, CAN_MTU, true, canERR_NOT_SUPPORTED},
        {"can", ARPHRD_CAN, CAN_MTU, true, kSocketHandleBase},  // switched on by the timing
        {"", ARPHRD_ETHER, 1500, false, canERR_NOTFOUND},
    };
    int channel = 0;  // one each: a line repeated on a channel at once is said once
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << " mtu " << c.mtu << " fd " << c.fd);
        link_.link.kind = c.kind;
        link_.link.type = c.type;
        link_.link.mtu = c.mtu;
        testing::internal::CaptureStderr();
        const int h = Open(channel++, c.fd);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(h, c.status);
        EXPECT_EQ(said.empty(), h >= 0) << said;
        if (h >= 0) {
            // A vcan has no timing: nothing is asked of the kernel, the rate counts.
            link_.calls.clear();
            EXPECT_EQ(bus_.SetBusParams(h, 500000, 13, 2, 1, 1), canOK);
            EXPECT_EQ(link_.calls.empty(), std::string(c.kind) != "can");
            bus_.Close(h);
        }
    }
    testing::internal::CaptureStderr();
    for (int flags : {canOPEN_REQUIRE_INIT_ACCESS, canOPEN_NO_INIT_ACCESS}) {
        EXPECT_EQ(bus_.Open(9, {"can9", socket_, false, Stuffing::kWorstCase}, flags),
                  canERR_NOTFOUND);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "libcanlib: CAN10: there is no network interface can9\n");
}

}  // namespace
}  // namespace vcan

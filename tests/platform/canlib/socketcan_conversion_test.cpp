// The SocketCAN backend's conversions without a kernel: frames both ways, error messages,
// what the kernel attaches to a received frame, time stamps and drop counts, bit timing.
#include <gtest/gtest.h>
#include <linux/can/error.h>
#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "canlib.h"
#include "socketcan_bus.h"
#include "socketcan_clock.h"
#include "socketcan_frame.h"
#include "socketcan_netlink.h"

namespace vcan {
namespace {

const uint8_t kBytes[64] = {
    0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF,
    1,    2,    3,    4,    5,    6,    7,    8,    9,    10,   11,   12,   13,   14,   15,   16,
    17,   18,   19,   20,   21,   22,   23,   24,   25,   26,   27,   28,   29,   30,   31,   32,
    33,   34,   35,   36,   37,   38,   39,   40,   41,   42,   43,   44,   45,   46,   47,   48};

TEST(SocketCanFrame, WrittenFramesBecomeKernelFrames) {
    struct Case {
        long id;
        unsigned dlc;
        unsigned flags;
        bool fdHandle;
        canid_t canId;
        size_t size;
        uint8_t fdFlags;
    };
    const Case cases[] = {
        {0x123, 8, 0, false, 0x123, CAN_MTU, 0},
        {0x7FF, 0, canMSG_STD, false, 0x7FF, CAN_MTU, 0},
        {0x1ABCDEF, 3, canMSG_EXT, false, 0x1ABCDEF | CAN_EFF_FLAG, CAN_MTU, 0},
        {0x12, 1, canMSG_EXT, false, 0x12 | CAN_EFF_FLAG, CAN_MTU, 0},  // extended below 0x800
        {0x55, 4, canMSG_RTR, false, 0x55 | CAN_RTR_FLAG, CAN_MTU, 0},  // length is requested
        {0x1FFFFFFF, 2, canMSG_EXT | canMSG_RTR, false, 0x1FFFFFFF | CAN_EFF_FLAG | CAN_RTR_FLAG,
         CAN_MTU, 0},
        {0x100, 64, canFDMSG_FDF | canFDMSG_BRS, true, 0x100, CANFD_MTU, CANFD_BRS},
        {0x100, 12, canFDMSG_FDF, true, 0x100, CANFD_MTU, 0},
        {0x18DAF110, 48, canMSG_EXT | canFDMSG_FDF | canFDMSG_ESI, true, 0x18DAF110 | CAN_EFF_FLAG,
         CANFD_MTU, CANFD_ESI},
        {0x5, 8, 0, true, 0x5, CAN_MTU, 0},  // classic frame from a CAN FD handle
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.id << " flags " << c.flags);
        KernelFrame k;
        ASSERT_EQ(EncodeFrame(c.id, kBytes, c.dlc, c.flags, c.fdHandle, &k), canOK);
        EXPECT_EQ(k.size, c.size);
        EXPECT_EQ(k.fd.can_id, c.canId);
        EXPECT_EQ(k.fd.len, c.dlc);
        if (c.size == CANFD_MTU) {
            EXPECT_EQ(k.fd.flags, c.fdFlags);
        }
        const uint8_t* data = c.size == CANFD_MTU ? k.fd.data : k.classic.data;
        const unsigned bytes = (c.flags & canMSG_RTR) ? 0 : c.dlc;
        EXPECT_EQ(std::memcmp(data, kBytes, bytes), 0);
        for (unsigned i = bytes; i < (c.size == CANFD_MTU ? 64u : 8u); ++i) {
            EXPECT_EQ(data[i], 0) << "byte " << i << " past the frame";
        }
    }
}

TEST(SocketCanFrame, FramesASocketCannotCarryAreRefused) {
    struct Case {
        long id;
        const void* msg;
        unsigned dlc;
        unsigned flags;
        bool fdHandle;
        int status;
    };
    const Case cases[] = {
        {0x800, kBytes, 1, 0, false, canERR_PARAM},
        {-1, kBytes, 1, 0, false, canERR_PARAM},
        {0x20000000, kBytes, 1, canMSG_EXT, false, canERR_PARAM},
        {0x1, kBytes, 1, canMSG_STD | canMSG_EXT, false, canERR_PARAM},
        {0x1, kBytes, 9, 0, false, canERR_PARAM},  // classic length above 8
        {0x1, kBytes, 15, 0, true, canERR_PARAM},
        {0x1, kBytes, 8, canFDMSG_BRS, true, canERR_PARAM},   // switch without CAN FD
        {0x1, kBytes, 8, canFDMSG_FDF, false, canERR_PARAM},  // CAN FD on a classic handle
        {0x1, kBytes, 10, canFDMSG_FDF, true, canERR_PARAM},  // between two DLC steps
        {0x1, kBytes, 65, canFDMSG_FDF, true, canERR_PARAM},
        {0x1, kBytes, 0, canFDMSG_FDF | canMSG_RTR, true, canERR_PARAM},
        {0x1, nullptr, 2, 0, false, canERR_PARAM},
        {0x0, kBytes, 0, canMSG_ERROR_FRAME, false, canERR_NOT_SUPPORTED},
    };
    for (const Case& c : cases) {
        KernelFrame k;
        EXPECT_EQ(EncodeFrame(c.id, c.msg, c.dlc, c.flags, c.fdHandle, &k), c.status)
            << std::hex << c.id << " dlc " << std::dec << c.dlc << " flags " << c.flags;
    }
    KernelFrame k;
    EXPECT_EQ(EncodeFrame(0x1, nullptr, 3, canMSG_RTR, false, &k), canOK);  // no data needed
}

// A received datagram of a classic or CAN FD frame, built as the kernel writes it.
std::vector<uint8_t> Datagram(canid_t id, unsigned len, const uint8_t* data, bool fd,
                              uint8_t fdFlags = 0, uint8_t len8 = 0) {
    canfd_frame k{};
    k.can_id = id;
    k.len = static_cast<uint8_t>(len);
    k.flags = fdFlags;
    if (!fd)
        reinterpret_cast<can_frame*>(&k)->len8_dlc = len8;
    std::memcpy(k.data, data, std::min(len, fd ? 64u : 8u));
    const auto* p = reinterpret_cast<const uint8_t*>(&k);
    return std::vector<uint8_t>(p, p + (fd ? CANFD_MTU : CAN_MTU));
}

TEST(SocketCanFrame, ReceivedFramesKeepIdentifierFlagsLengthAndData) {
    struct Case {
        std::vector<uint8_t> datagram;
        uint32_t id;
        uint32_t flags;
        unsigned dlc;
        unsigned dataBytes;  // bytes compared with kBytes; the rest must read 0
    };
    const Case cases[] = {
        {Datagram(0x123, 8, kBytes, false), 0x123, canMSG_STD, 8, 8},
        {Datagram(0x1ABCDEF | CAN_EFF_FLAG, 5, kBytes, false), 0x1ABCDEF, canMSG_EXT, 5, 5},
        {Datagram(0x321 | CAN_RTR_FLAG, 6, kBytes, false), 0x321, canMSG_STD | canMSG_RTR, 6, 0},
        // A classic DLC code above 8 still carries eight bytes.
        {Datagram(0x10, 8, kBytes, false, 0, 12), 0x10, canMSG_STD, 8, 8},
        {Datagram(0x10, 13, kBytes, false), 0x10, canMSG_STD, 8, 8},
        {Datagram(0x200, 64, kBytes, true, CANFD_BRS), 0x200,
         canMSG_STD | canFDMSG_FDF | canFDMSG_BRS, 64, 64},
        {Datagram(0x1000 | CAN_EFF_FLAG, 20, kBytes, true, CANFD_ESI | CANFD_FDF), 0x1000,
         canMSG_EXT | canFDMSG_FDF | canFDMSG_ESI, 20, 20},
        // Lengths between DLC steps are sent as the next step, padded with zeros.
        {Datagram(0x201, 10, kBytes, true), 0x201, canMSG_STD | canFDMSG_FDF, 12, 10},
        {Datagram(0x202, 33, kBytes, true), 0x202, canMSG_STD | canFDMSG_FDF, 48, 33},
        {Datagram(0x203, 200, kBytes, true), 0x203, canMSG_STD | canFDMSG_FDF, 64, 64},
        {Datagram(0x204, 0, kBytes, true), 0x204, canMSG_STD | canFDMSG_FDF, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.id << std::dec << " dlc " << c.dlc);
        LibFrame f;
        std::memset(f.data, 0xEE, sizeof f.data);
        ErrorReport report;
        ASSERT_EQ(DecodeFrame(c.datagram.data(), c.datagram.size(), &f, &report), Decoded::kFrame);
        EXPECT_EQ(f.id, c.id);
        EXPECT_EQ(f.flags, c.flags);
        EXPECT_EQ(f.dlc, c.dlc);
        EXPECT_EQ(std::memcmp(f.data, kBytes, c.dataBytes), 0);
        if (!(c.flags & canMSG_RTR)) {
            for (unsigned i = c.dataBytes; i < c.dlc; ++i) {
                EXPECT_EQ(f.data[i], 0) << "padding byte " << i;
            }
        }
    }
}

TEST(SocketCanFrame, EveryValidLengthSurvivesTheRoundTrip) {
    for (unsigned code = 0; code < 16; ++code) {
        const unsigned length = FdLengthOfCode(code);
        for (const unsigned flags : {canFDMSG_FDF, canFDMSG_FDF | canFDMSG_BRS | canMSG_EXT}) {
            KernelFrame k;
            ASSERT_EQ(EncodeFrame(0x7A5, kBytes, length, flags, true, &k), canOK) << length;
            LibFrame f;
            ErrorReport report;
            ASSERT_EQ(DecodeFrame(&k.fd, k.size, &f, &report), Decoded::kFrame);
            EXPECT_EQ(f.dlc, length);
            EXPECT_EQ(f.flags & ~unsigned{canMSG_STD}, flags);
            EXPECT_EQ(std::memcmp(f.data, kBytes, length), 0);
        }
    }
}

TEST(SocketCanFrame, DatagramsThatAreNoCanFramesAreSkipped) {
    const uint8_t junk[4096] = {};
    for (size_t size : {size_t{0}, size_t{1}, size_t{8}, CAN_MTU - 1, CAN_MTU + 1, size_t{40},
                        CANFD_MTU - 1, CANFD_MTU + 1, CANXL_MTU}) {
        LibFrame f;
        ErrorReport report;
        EXPECT_EQ(DecodeFrame(junk, size, &f, &report), Decoded::kInvalid) << size;
    }
}

TEST(SocketCanFrame, ErrorMessagesTellErrorFramesStatesCountersAndOverflow) {
    struct Case {
        uint32_t errorClass;
        uint8_t data[8];
        bool errorFrame;
        bool overflow;
        ControllerState state;
        bool counters;
        unsigned tx, rx;
    };
    const Case cases[] = {
        {CAN_ERR_ACK, {}, true, false, ControllerState::kUnknown, false, 0, 0},
        {CAN_ERR_PROT,
         {0, 0, CAN_ERR_PROT_STUFF},
         true,
         false,
         ControllerState::kUnknown,
         false,
         0,
         0},
        {CAN_ERR_BUSERROR, {}, true, false, ControllerState::kUnknown, false, 0, 0},
        {CAN_ERR_LOSTARB, {5}, false, false, ControllerState::kUnknown, false, 0, 0},
        {CAN_ERR_CRTL,
         {0, CAN_ERR_CRTL_RX_OVERFLOW},
         false,
         true,
         ControllerState::kUnknown,
         false,
         0,
         0},
        {CAN_ERR_CRTL | CAN_ERR_CNT,
         {0, CAN_ERR_CRTL_TX_WARNING, 0, 0, 0, 0, 97, 3},
         false,
         false,
         ControllerState::kWarning,
         true,
         97,
         3},
        {CAN_ERR_CRTL | CAN_ERR_CNT,
         {0, CAN_ERR_CRTL_RX_PASSIVE, 0, 0, 0, 0, 12, 130},
         false,
         false,
         ControllerState::kPassive,
         true,
         12,
         130},
        {CAN_ERR_CRTL,
         {0, CAN_ERR_CRTL_ACTIVE},
         false,
         false,
         ControllerState::kActive,
         false,
         0,
         0},
        {CAN_ERR_BUSOFF, {}, false, false, ControllerState::kBusOff, false, 0, 0},
        {CAN_ERR_RESTARTED, {}, false, false, ControllerState::kActive, false, 0, 0},
        // Counters in bytes 6 and 7 without CAN_ERR_CNT are not trusted.
        {CAN_ERR_PROT | CAN_ERR_CRTL,
         {0, 0, 0, 0, 0, 0, 200, 200},
         true,
         false,
         ControllerState::kUnknown,
         false,
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "class 0x" << std::hex << c.errorClass);
        const std::vector<uint8_t> d = Datagram(CAN_ERR_FLAG | c.errorClass, 8, c.data, false);
        LibFrame f;
        ErrorReport r;
        ASSERT_EQ(DecodeFrame(d.data(), d.size(), &f, &r), Decoded::kErrorReport);
        EXPECT_EQ(r.errorFrame, c.errorFrame);
        EXPECT_EQ(r.overflow, c.overflow);
        EXPECT_EQ(r.state, c.state);
        EXPECT_EQ(r.haveCounters, c.counters);
        if (c.counters) {
            EXPECT_EQ(r.txErr, c.tx);
            EXPECT_EQ(r.rxErr, c.rx);
        }
        // The record an error frame gives, as the virtual bus gives it.
        EXPECT_EQ(f.id, 0u);
        EXPECT_EQ(f.flags, unsigned{canMSG_ERROR_FRAME | canMSG_STD});
        EXPECT_EQ(f.dlc, 0u);
    }
}

// Control messages as the kernel appends them to a received datagram.
class Control {
public:
    template <typename T>
    Control& Add(int type, const T& payload) {
        const size_t at = buf_.size();
        buf_.resize(at + CMSG_SPACE(sizeof(T)), 0);
        cmsghdr c{};
        c.cmsg_level = SOL_SOCKET;
        c.cmsg_type = type;
        c.cmsg_len = CMSG_LEN(sizeof(T));
        std::memcpy(buf_.data() + at, &c, sizeof c);
        std::memcpy(buf_.data() + at + CMSG_LEN(0), &payload, sizeof(T));
        return *this;
    }
    msghdr Header(int flags = 0) {
        msghdr m{};
        m.msg_control = buf_.empty() ? nullptr : buf_.data();
        m.msg_controllen = buf_.size();
        m.msg_flags = flags;
        return m;
    }

private:
    std::vector<uint8_t> buf_;
};

struct Ts {
    int64_t sec, nsec;
};

TEST(SocketCanMeta, TimeStampsDropCountsAndOwnFramesAreRead) {
    const Ts stamping[3] = {{1700000000, 123456789}, {0, 0}, {42, 5}};
    Control all;
    all.Add(SO_TIMESTAMPING_OLD, stamping).Add(SO_RXQ_OVFL, uint32_t{17});
    msghdr m = all.Header(MSG_CONFIRM);
    ReceiveMeta meta = ParseReceiveMeta(m);
    EXPECT_TRUE(meta.stamps.haveSoftware);
    EXPECT_EQ(meta.stamps.softwareNs, 1700000000123456789);
    EXPECT_TRUE(meta.stamps.haveHardware);
    EXPECT_EQ(meta.stamps.hardwareNs, 42000000005);
    EXPECT_TRUE(meta.haveDrops);
    EXPECT_EQ(meta.drops, 17u);
    EXPECT_TRUE(meta.ownFrame);

    // SO_TIMESTAMP gives seconds and microseconds; no hardware stamp at all is no stamp.
    const Ts software[3] = {{10, 1}, {0, 0}, {0, 0}};
    Control fallback;
    fallback.Add(SO_TIMESTAMP_NEW, Ts{5, 250}).Add(SO_TIMESTAMPING_NEW, software);
    m = fallback.Header();
    meta = ParseReceiveMeta(m);
    EXPECT_EQ(meta.stamps.softwareNs, 10000000001);  // the later message wins
    EXPECT_FALSE(meta.stamps.haveHardware);
    EXPECT_FALSE(meta.haveDrops);
    EXPECT_FALSE(meta.ownFrame);
    Control timeval;
    timeval.Add(SO_TIMESTAMP_OLD, Ts{5, 250});
    m = timeval.Header();
    EXPECT_EQ(ParseReceiveMeta(m).stamps.softwareNs, 5000250000);

    // Payloads of the wrong size and other levels are left alone.
    Control bad;
    bad.Add(SO_TIMESTAMPING_OLD, Ts{1, 1}).Add(SO_RXQ_OVFL, uint64_t{3});
    m = bad.Header();
    meta = ParseReceiveMeta(m);
    EXPECT_FALSE(meta.stamps.haveSoftware);
    EXPECT_FALSE(meta.haveDrops);
    msghdr none{};
    EXPECT_FALSE(ParseReceiveMeta(none).stamps.haveSoftware);
}

TEST(SocketCanMeta, DropCountsBecomeLossesSinceTheLastReport) {
    DropCounter drops;
    const uint32_t cumulative[] = {0, 3, 3, 10, 0xFFFFFFFE, 1};
    const uint32_t lost[] = {0, 3, 0, 7, 0xFFFFFFF4, 3};  // the count wraps at 2^32
    for (size_t i = 0; i < std::size(cumulative); ++i) {
        EXPECT_EQ(drops.Update(cumulative[i]), lost[i]) << i;
    }
}

TEST(SocketCanClock, SoftwareStampsMoveByTheDistanceOfTheClocks) {
    StampMapper m;
    const int64_t real = 1'700'000'000'000'000'000;
    const int64_t mono = 5'000'000'000;
    FrameStamps s;
    EXPECT_EQ(m.ToMonotonic(s, real, mono), mono);  // no stamp: the time of reading
    s.haveSoftware = true;
    s.softwareNs = real - 1'500'000;
    EXPECT_EQ(m.ToMonotonic(s, real, mono), mono - 1'500'000);
    s.softwareNs = real + 10'000'000;  // the wall clock was set back meanwhile
    EXPECT_EQ(m.ToMonotonic(s, real, mono), mono);
}

TEST(SocketCanClock, HardwareStampsKeepTheirSpacingOnTheLeastDelayedOffset) {
    StampMapper m;
    const int64_t real = 1'700'000'000'000'000'000;
    const int64_t mono = 9'000'000'000;
    const int64_t ago = 30'000'000'000;  // the first frame came this long before reading
    const int64_t base = real - ago;
    const int64_t hw0 = 777'000'000'000;
    auto frame = [&](int64_t hw, int64_t delay) {
        FrameStamps s;
        s.haveHardware = true;
        s.hardwareNs = hw;
        s.haveSoftware = true;
        s.softwareNs = base + (hw - hw0) + delay;
        return m.ToMonotonic(s, real, mono);
    };
    const int64_t first = frame(hw0, 400'000);  // anchored at this frame's delay
    EXPECT_EQ(first, mono - ago + 400'000);
    // A frame 1 ms later keeps exactly 1 ms of spacing whatever its own delay.
    EXPECT_EQ(frame(hw0 + 1'000'000, 900'000) - first, 1'000'000);
    // A less delayed frame shows a truer offset: later frames follow it.
    const int64_t t2 = frame(hw0 + 2'000'000, 100'000);
    EXPECT_EQ(t2, mono - ago + 2'000'000 + 100'000);
    EXPECT_EQ(frame(hw0 + 3'000'000, 700'000) - t2, 1'000'000);
    // Two windows later the old minimum has gone: the offset follows a drifting clock.
    frame(hw0 + StampMapper::kWindowNs + 4'000'000, 300'000);
    const int64_t t5 = frame(hw0 + 2 * StampMapper::kWindowNs + 5'000'000, 300'000);
    EXPECT_EQ(t5, mono - ago + 2 * StampMapper::kWindowNs + 5'000'000 + 300'000);
    // A controller reset (a jump of more than a second) anchors again at once.
    FrameStamps s;
    s.haveHardware = s.haveSoftware = true;
    s.hardwareNs = 5'000;
    s.softwareNs = real - 5'000'000;
    EXPECT_EQ(m.ToMonotonic(s, real, mono), mono - 5'000'000);
    s.hardwareNs += 2'000'000;
    s.softwareNs += 2'600'000;
    EXPECT_EQ(m.ToMonotonic(s, real, mono), mono - 5'000'000 + 2'000'000);
}

TEST(SocketCanClock, ChannelClockCountsUnitsSinceOpenAndWraps) {
    struct Case {
        int64_t timeNs, openNs;
        uint32_t scaleUs, offset, units;
    };
    const Case cases[] = {
        {1'000'000'000, 0, 1, 0, 1'000'000},
        {1'000'999'999, 0, 1000, 0, 1000},
        {5'000, 10'000, 1, 7, 7},  // before opening
        {2'500'000, 500'000, 10, 0, 200},
        {4'294'967'296'000, 0, 1, 0, 0},  // 2^32 us wrap
        {4'294'967'297'000, 0, 1, 0xFFFFFFFF, 0},
        {1'000, 0, 0, 0, 1},  // a scale of 0 counts microseconds
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClockUnits(c.timeNs, c.openNs, c.scaleUs, c.offset), c.units) << c.timeNs;
    }
}

TEST(SocketCanTiming, ExactRatesGoAsQuantaElseAsBitRateAndSamplePoint) {
    struct Case {
        BitTiming timing;
        uint32_t clockHz;
        bool quanta;  // given as time quanta and segments
    };
    const Case cases[] = {
        {{500000, 13, 2, 1, 1}, 80000000, true},    {{500000, 13, 2, 1, 1}, 40000000, true},
        {{500000, 13, 2, 2, 1}, 8000000, true},     {{1000000, 5, 2, 1, 1}, 80000000, true},
        {{2000000, 15, 4, 4, 1}, 80000000, true},   {{8000000, 7, 2, 1, 1}, 80000000, true},
        {{8000000, 2, 2, 1, 1}, 80000000, true},    {{250000, 63, 16, 16, 1}, 40000000, true},
        {{250000, 63, 16, 16, 1}, 24000000, false}, {{500000, 13, 2, 1, 1}, 36000000, false},
        {{500000, 12, 4, 1, 1}, 80000000, false},   {{500000, 13, 2, 1, 1}, 0, false},
    };
    for (const Case& c : cases) {
        const BitTiming& t = c.timing;
        SCOPED_TRACE(testing::Message()
                     << t.bitrate << " " << t.tseg1 << "/" << t.tseg2 << " at " << c.clockHz);
        const can_bittiming bt = KernelTiming(t, c.clockHz);
        EXPECT_EQ(bt.sjw, t.sjw);
        if (!c.quanta) {
            // The kernel fits the segments to its clock.
            EXPECT_EQ(bt.bitrate, static_cast<uint32_t>(t.bitrate));
            EXPECT_EQ(bt.sample_point, SamplePoint(t));
            EXPECT_EQ(bt.tq, 0u);
            continue;
        }
        // The kernel takes the quanta when the bit rate is 0, and finds the prescaler as
        // clock * tq / 1e9 rounded down: that must give the exact rate back.
        EXPECT_EQ(bt.bitrate, 0u);
        EXPECT_EQ(bt.prop_seg + bt.phase_seg1, t.tseg1);
        EXPECT_EQ(bt.phase_seg2, t.tseg2);
        const uint64_t prescaler = uint64_t{c.clockHz} * bt.tq / 1000000000;
        ASSERT_GT(prescaler, 0u);
        EXPECT_EQ(c.clockHz / (prescaler * (1 + t.tseg1 + t.tseg2)),
                  static_cast<uint64_t>(t.bitrate));
    }
    EXPECT_EQ(SamplePoint({500000, 13, 2, 1, 1}), 875u);
    EXPECT_EQ(SamplePoint({2000000, 15, 4, 4, 1}), 800u);
    EXPECT_EQ(SamplePoint({500000, 12, 3, 1, 1}), 813u);  // 81.25 % rounds up
}

TEST(SocketCanTiming, TheInterfacesTimingCountsAsTheSameWithinOnePercent) {
    can_bittiming current{};
    current.bitrate = 500000;
    current.sample_point = 875;
    EXPECT_TRUE(SameTiming(current, {500000, 13, 2, 1, 1}));
    EXPECT_FALSE(SameTiming(current, {500000, 12, 3, 1, 1}));  // 81.3 %
    current.sample_point = 870;
    EXPECT_TRUE(SameTiming(current, {500000, 13, 2, 1, 1}));
    current.sample_point = 860;
    EXPECT_FALSE(SameTiming(current, {500000, 13, 2, 1, 1}));
    current.sample_point = 875;
    EXPECT_FALSE(SameTiming(current, {250000, 13, 2, 1, 1}));
}

// Netlink messages as the kernel writes them, for the parser; and a reader of what we build.
class Netlink {
public:
    Netlink& Message(uint16_t type, uint32_t seq) {
        Close();
        start_ = bytes_.size();
        nlmsghdr h{};
        h.nlmsg_type = type;
        h.nlmsg_seq = seq;
        Put(&h, sizeof h);
        return *this;
    }
    Netlink& Link(int ifindex, unsigned flags, unsigned short type = ARPHRD_CAN) {
        ifinfomsg ifi{};
        ifi.ifi_type = type;
        ifi.ifi_index = ifindex;
        ifi.ifi_flags = flags;
        Put(&ifi, sizeof ifi);
        return *this;
    }
    Netlink& Error(int error) {
        nlmsgerr e{};
        e.error = error;
        Put(&e, sizeof e);
        return *this;
    }
    Netlink& Attr(uint16_t type, const void* data, size_t size) {
        rtattr a{};
        a.rta_type = type;
        a.rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
        Put(&a, sizeof a);
        Put(data, size);
        return *this;
    }
    template <typename T>
    Netlink& Value(uint16_t type, const T& v) {
        return Attr(type, &v, sizeof v);
    }
    Netlink& Begin(uint16_t type) {
        nests_.push_back(bytes_.size());
        return Attr(type | NLA_F_NESTED, nullptr, 0);
    }
    Netlink& End() {
        const auto len = static_cast<unsigned short>(bytes_.size() - nests_.back());
        std::memcpy(bytes_.data() + nests_.back(), &len, sizeof len);
        nests_.pop_back();
        return *this;
    }
    std::vector<uint8_t> Bytes() {
        Close();
        return bytes_;
    }

private:
    void Put(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
        bytes_.resize(NLMSG_ALIGN(bytes_.size()), 0);
    }
    void Close() {
        if (start_ == SIZE_MAX)
            return;
        const auto len = static_cast<uint32_t>(bytes_.size() - start_);
        std::memcpy(bytes_.data() + start_, &len, sizeof len);
        start_ = SIZE_MAX;
    }
    std::vector<uint8_t> bytes_;
    std::vector<size_t> nests_;
    size_t start_ = SIZE_MAX;
};

// The attributes of a block, by type (the nested flag taken off).
std::map<int, std::vector<uint8_t>> Attributes(const uint8_t* data, size_t size) {
    std::map<int, std::vector<uint8_t>> out;
    int left = static_cast<int>(size);
    for (auto* a = reinterpret_cast<const rtattr*>(data); RTA_OK(a, left); a = RTA_NEXT(a, left)) {
        const auto* p = static_cast<const uint8_t*>(RTA_DATA(a));
        out[a->rta_type & NLA_TYPE_MASK].assign(p, p + RTA_PAYLOAD(a));
    }
    EXPECT_EQ(left, 0) << "attributes do not fill their block";
    return out;
}

struct Request {
    nlmsghdr header{};
    ifinfomsg link{};
    std::map<int, std::vector<uint8_t>> attrs;
};

Request ReadRequest(const std::vector<uint8_t>& bytes) {
    Request r;
    EXPECT_GE(bytes.size(), NLMSG_LENGTH(sizeof(ifinfomsg)));
    std::memcpy(&r.header, bytes.data(), sizeof r.header);
    EXPECT_EQ(r.header.nlmsg_len, bytes.size());
    std::memcpy(&r.link, bytes.data() + NLMSG_HDRLEN, sizeof r.link);
    const size_t at = NLMSG_LENGTH(NLMSG_ALIGN(sizeof(ifinfomsg)));
    r.attrs = Attributes(bytes.data() + at, bytes.size() - at);
    return r;
}

TEST(SocketCanNetlink, RequestsCarryTheirHeaderLinkAndAttributes) {
    const Request get = ReadRequest(BuildGetLink(7, 41));
    EXPECT_EQ(get.header.nlmsg_type, RTM_GETLINK);
    EXPECT_EQ(get.header.nlmsg_flags, NLM_F_REQUEST);
    EXPECT_EQ(get.header.nlmsg_seq, 41u);
    EXPECT_EQ(get.link.ifi_index, 7);
    uint32_t mask = 0;
    ASSERT_EQ(get.attrs.at(IFLA_EXT_MASK).size(), sizeof mask);
    std::memcpy(&mask, get.attrs.at(IFLA_EXT_MASK).data(), sizeof mask);
    EXPECT_EQ(mask, uint32_t{RTEXT_FILTER_SKIP_STATS});

    for (const bool up : {true, false}) {
        const Request set = ReadRequest(BuildSetLinkUp(3, up, 42));
        EXPECT_EQ(set.header.nlmsg_type, RTM_NEWLINK);
        EXPECT_EQ(set.header.nlmsg_flags, NLM_F_REQUEST | NLM_F_ACK);
        EXPECT_EQ(set.link.ifi_index, 3);
        EXPECT_EQ(set.link.ifi_flags, up ? unsigned{IFF_UP} : 0u);
        EXPECT_EQ(set.link.ifi_change, unsigned{IFF_UP});
        EXPECT_TRUE(set.attrs.empty());
    }

    const can_bittiming nominal = KernelTiming({500000, 13, 2, 1, 1}, 80000000);
    const can_bittiming data = KernelTiming({2000000, 15, 4, 4, 1}, 0);
    CanLinkChange change;
    change.bittiming = &nominal;
    change.dataBittiming = &data;
    change.setCtrlMode = true;
    change.ctrlMode = {CAN_CTRLMODE_FD, CAN_CTRLMODE_FD};
    change.restart = true;
    const std::vector<uint8_t> bytes = BuildCanLinkChange(9, change, 43);
    const Request can = ReadRequest(bytes);
    EXPECT_EQ(can.header.nlmsg_flags, NLM_F_REQUEST | NLM_F_ACK);
    EXPECT_EQ(can.link.ifi_index, 9);
    ASSERT_EQ(can.attrs.count(IFLA_LINKINFO), 1u);
    const auto& linkInfo = can.attrs.at(IFLA_LINKINFO);
    const auto info = Attributes(linkInfo.data(), linkInfo.size());
    EXPECT_EQ(std::string(info.at(IFLA_INFO_KIND).begin(), info.at(IFLA_INFO_KIND).end()),
              std::string("can", 4));
    const auto& canData = info.at(IFLA_INFO_DATA);
    const auto attrs = Attributes(canData.data(), canData.size());
    ASSERT_EQ(attrs.at(IFLA_CAN_BITTIMING).size(), sizeof nominal);
    EXPECT_EQ(std::memcmp(attrs.at(IFLA_CAN_BITTIMING).data(), &nominal, sizeof nominal), 0);
    ASSERT_EQ(attrs.at(IFLA_CAN_DATA_BITTIMING).size(), sizeof data);
    EXPECT_EQ(std::memcmp(attrs.at(IFLA_CAN_DATA_BITTIMING).data(), &data, sizeof data), 0);
    can_ctrlmode mode{};
    ASSERT_EQ(attrs.at(IFLA_CAN_CTRLMODE).size(), sizeof mode);
    std::memcpy(&mode, attrs.at(IFLA_CAN_CTRLMODE).data(), sizeof mode);
    EXPECT_EQ(mode.mask, uint32_t{CAN_CTRLMODE_FD});
    EXPECT_EQ(mode.flags, uint32_t{CAN_CTRLMODE_FD});
    EXPECT_EQ(attrs.count(IFLA_CAN_RESTART), 1u);
    // Only what is asked for is sent.
    CanLinkChange restart;
    restart.restart = true;
    const Request only = ReadRequest(BuildCanLinkChange(9, restart, 44));
    const auto& onlyInfo = only.attrs.at(IFLA_LINKINFO);
    const std::vector<uint8_t> onlyData =
        Attributes(onlyInfo.data(), onlyInfo.size()).at(IFLA_INFO_DATA);
    EXPECT_EQ(Attributes(onlyData.data(), onlyData.size()).size(), 1u);
}

std::vector<uint8_t> CanLinkReply(uint32_t seq) {
    can_bittiming bt{};
    bt.bitrate = 500000;
    bt.sample_point = 875;
    can_bittiming dbt{};
    dbt.bitrate = 2000000;
    const can_berr_counter berr{130, 7};
    const can_ctrlmode mode{0, CAN_CTRLMODE_FD};
    const can_clock clock{80000000};
    Netlink n;
    n.Message(RTM_NEWLINK, seq + 1).Link(1, 0);  // an answer to someone else first
    n.Message(RTM_NEWLINK, seq).Link(5, IFF_UP | IFF_RUNNING);
    n.Attr(IFLA_IFNAME, "can0", 5).Value(IFLA_MTU, uint32_t{72}).Value(IFLA_TXQLEN, 10u);
    n.Begin(IFLA_LINKINFO).Attr(IFLA_INFO_KIND, "can", 4).Begin(IFLA_INFO_DATA);
    n.Value(IFLA_CAN_BITTIMING, bt).Value(IFLA_CAN_CLOCK, clock);
    n.Value(IFLA_CAN_STATE, uint32_t{CAN_STATE_ERROR_PASSIVE}).Value(IFLA_CAN_CTRLMODE, mode);
    n.Value(IFLA_CAN_BERR_COUNTER, berr).Value(IFLA_CAN_DATA_BITTIMING, dbt);
    n.Value(IFLA_CAN_TDC, uint64_t{0}).End().End();
    return n.Bytes();
}

TEST(SocketCanNetlink, TheLinkReplyGivesStateTimingCountersAndMode) {
    const std::vector<uint8_t> reply = CanLinkReply(77);
    LinkInfo link;
    ASSERT_EQ(ParseLinkReply(reply.data(), reply.size(), 77, &link), 0);
    EXPECT_EQ(link.ifindex, 5);
    EXPECT_EQ(link.type, unsigned{ARPHRD_CAN});
    EXPECT_EQ(link.flags, unsigned{IFF_UP | IFF_RUNNING});
    EXPECT_EQ(link.name, "can0");
    EXPECT_EQ(link.mtu, 72u);
    EXPECT_EQ(link.kind, "can");
    ASSERT_TRUE(link.haveBittiming);
    EXPECT_EQ(link.bittiming.bitrate, 500000u);
    EXPECT_EQ(link.bittiming.sample_point, 875u);
    ASSERT_TRUE(link.haveDataBittiming);
    EXPECT_EQ(link.dataBittiming.bitrate, 2000000u);
    ASSERT_TRUE(link.haveState);
    EXPECT_EQ(link.state, uint32_t{CAN_STATE_ERROR_PASSIVE});
    ASSERT_TRUE(link.haveBerr);
    EXPECT_EQ(link.berr.txerr, 130);
    EXPECT_EQ(link.berr.rxerr, 7);
    EXPECT_TRUE(link.haveClock);
    EXPECT_EQ(link.clockHz, 80000000u);
    EXPECT_TRUE(link.haveCtrlMode);
    EXPECT_EQ(link.ctrlMode, uint32_t{CAN_CTRLMODE_FD});
    EXPECT_STREQ(CanStateName(link.state), "ERROR-PASSIVE");

    // A vcan interface: no CAN data at all; short payloads are not taken.
    Netlink v;
    v.Message(RTM_NEWLINK, 3).Link(8, 0).Attr(IFLA_IFNAME, "vcan0", 6);
    v.Begin(IFLA_LINKINFO).Attr(IFLA_INFO_KIND, "vcan", 5).Begin(IFLA_INFO_DATA);
    v.Value(IFLA_CAN_BITTIMING, uint64_t{500000}).Value(IFLA_CAN_STATE, uint16_t{3});
    v.End().End();
    const std::vector<uint8_t> vcan = v.Bytes();
    ASSERT_EQ(ParseLinkReply(vcan.data(), vcan.size(), 3, &link), 0);
    EXPECT_EQ(link.kind, "vcan");
    EXPECT_FALSE(link.haveBittiming);
    EXPECT_FALSE(link.haveState);
    EXPECT_EQ(link.mtu, 0u);
}

TEST(SocketCanNetlink, ErrorsAcknowledgementsAndMalformedRepliesGiveStatuses) {
    struct Case {
        std::vector<uint8_t> reply;
        int link;  // ParseLinkReply
        int ack;   // ParseAck
    };
    const Case cases[] = {
        {Netlink().Message(NLMSG_ERROR, 5).Error(-EPERM).Bytes(), -EPERM, -EPERM},
        {Netlink().Message(NLMSG_ERROR, 5).Error(EINVAL).Bytes(), -EINVAL, -EINVAL},
        {Netlink().Message(NLMSG_ERROR, 5).Error(0).Bytes(), -EBADMSG, 0},
        {Netlink().Message(NLMSG_ERROR, 6).Error(-EPERM).Bytes(), -EBADMSG, -EBADMSG},
        {Netlink().Message(NLMSG_ERROR, 5).Bytes(), -EBADMSG, -EBADMSG},  // no error code
        {Netlink().Message(RTM_NEWLINK, 5).Bytes(), -EBADMSG, -EBADMSG},  // no link message
        {{}, -EBADMSG, -EBADMSG},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        LinkInfo link;
        EXPECT_EQ(ParseLinkReply(c.reply.data(), c.reply.size(), 5, &link), c.link) << i;
        EXPECT_EQ(ParseAck(c.reply.data(), c.reply.size(), 5), c.ack) << i;
    }
    // Every cut of a good reply, and every attribute length bent, is refused or read
    // within its bounds.
    const std::vector<uint8_t> reply = CanLinkReply(9);
    for (size_t cut = 0; cut < reply.size(); ++cut) {
        std::vector<uint8_t> part(reply.begin(), reply.begin() + static_cast<long>(cut));
        LinkInfo link;
        EXPECT_LT(ParseLinkReply(part.data(), part.size(), 9, &link), 0) << cut;
    }
    for (size_t at = 0; at + 1 < reply.size(); at += 2) {
        for (const uint16_t bent : {uint16_t{0}, uint16_t{3}, uint16_t{0xFFFF}}) {
            std::vector<uint8_t> broken = reply;
            std::memcpy(broken.data() + at, &bent, sizeof bent);
            LinkInfo link;
            ParseLinkReply(broken.data(), broken.size(), 9, &link);
            ParseAck(broken.data(), broken.size(), 9);
        }
    }
}

TEST(SocketCanNetlink, TheKernelAnswersForTheLoopbackAndRefusesAMissingInterface) {
    const int lo = static_cast<int>(if_nametoindex("lo"));
    if (lo == 0)
        GTEST_SKIP() << "no loopback interface here";
    LinkInfo link;
    ASSERT_EQ(QueryLink(lo, &link), 0);
    EXPECT_EQ(link.ifindex, lo);
    EXPECT_EQ(link.name, "lo");
    EXPECT_TRUE(link.flags & IFF_LOOPBACK);
    EXPECT_EQ(link.type, unsigned{ARPHRD_LOOPBACK});
    EXPECT_GT(link.mtu, 0u);
    EXPECT_FALSE(link.haveBittiming);
    EXPECT_EQ(QueryLink(0x7FFFFFF0, &link), -ENODEV);
}

}  // namespace
}  // namespace vcan

// The SocketCAN backend's conversions without a kernel: frames both ways, error messages,
// what the kernel attaches to a received frame, time stamps and drop counts, bit timing.
#include <gtest/gtest.h>
#include <linux/can/error.h>
#include <sys/socket.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "canlib.h"
#include "socketcan_bus.h"
#include "socketcan_clock.h"
#include "socketcan_frame.h"

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
        {0x1ABCDEF, 3, canMSG_EXT, false, 0x1ABCDEF | CAN_EFF_FLAG, CAN_MTU, 0},
        {0x12, 1, canMSG_EXT, false, 0x12 | CAN_EFF_FLAG, CAN_MTU, 0},  // extended below 0x800
        {0x55, 4, canMSG_RTR, false, 0x55 | CAN_RTR_FLAG, CAN_MTU, 0},  // length is requested
        {0x1FFFFFFF, 2, canMSG_EXT | canMSG_RTR, false, 0x1FFFFFFF | CAN_EFF_FLAG | CAN_RTR_FLAG,
         CAN_MTU, 0},
        {0x100, 64, canFDMSG_FDF | canFDMSG_BRS, true, 0x100, CANFD_MTU, CANFD_BRS},
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
    msghdr m = all.Add(SO_TIMESTAMPING_OLD, stamping).Add(SO_RXQ_OVFL, 17u).Header(MSG_CONFIRM);
    ReceiveMeta meta = ParseReceiveMeta(m);
    EXPECT_TRUE(meta.stamps.haveSoftware && meta.stamps.haveHardware && meta.haveDrops);
    EXPECT_EQ(meta.stamps.softwareNs, 1700000000123456789);
    EXPECT_EQ(meta.stamps.hardwareNs, 42000000005);
    EXPECT_EQ(meta.drops, 17u);
    EXPECT_TRUE(meta.ownFrame);
    // SO_TIMESTAMP gives seconds and microseconds; a zero hardware stamp is none; the later
    // message wins.
    Control timeval;
    m = timeval.Add(SO_TIMESTAMP_OLD, Ts{5, 250}).Header();
    EXPECT_EQ(ParseReceiveMeta(m).stamps.softwareNs, 5000250000);
    const Ts software[3] = {{10, 1}, {0, 0}, {0, 0}};
    Control both;
    m = both.Add(SO_TIMESTAMP_NEW, Ts{5, 250}).Add(SO_TIMESTAMPING_NEW, software).Header();
    meta = ParseReceiveMeta(m);
    EXPECT_EQ(meta.stamps.softwareNs, 10000000001);
    EXPECT_FALSE(meta.stamps.haveHardware || meta.haveDrops || meta.ownFrame);
    // Payloads of the wrong size are left alone.
    Control bad;
    m = bad.Add(SO_TIMESTAMPING_OLD, Ts{1, 1}).Add(SO_RXQ_OVFL, uint64_t{3}).Header();
    meta = ParseReceiveMeta(m);
    EXPECT_FALSE(meta.stamps.haveSoftware || meta.haveDrops);
    msghdr none{};
    EXPECT_FALSE(ParseReceiveMeta(none).stamps.haveSoftware);
    // The cumulative drop count gives the losses since the last report, across its wrap.
    DropCounter drops;
    const uint32_t cumulative[] = {0, 3, 3, 10, 0xFFFFFFFE, 1};
    const uint32_t lost[] = {0, 3, 0, 7, 0xFFFFFFF4, 3};
    for (size_t i = 0; i < std::size(cumulative); ++i) {
        EXPECT_EQ(drops.Update(cumulative[i]), lost[i]) << i;
    }
}

TEST(SocketCanClock, StampsMapOntoTheChannelClock) {
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
    // Software stamps alone move by the distance of the clocks; none is the time of reading.
    StampMapper soft;
    s.haveHardware = false;
    EXPECT_EQ(soft.ToMonotonic(s, real, mono), mono - 5'000'000 + 2'600'000);
    s.softwareNs = real + 10'000'000;  // the wall clock was set back meanwhile
    EXPECT_EQ(soft.ToMonotonic(s, real, mono), mono);
    EXPECT_EQ(soft.ToMonotonic(FrameStamps(), real, mono), mono);
    // The channel clock: units since open, wrapping at 2^32, 0 before open.
    EXPECT_EQ(ClockUnits(2'500'000, 500'000, 10, 0), 200u);
    EXPECT_EQ(ClockUnits(4'294'967'297'000, 0, 1, 0xFFFFFFFF), 0u);
    EXPECT_EQ(ClockUnits(5'000, 10'000, 1, 7), 7u);
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
    const struct {
        uint32_t bitrate, samplePoint;
        bool same;
    } cases[] = {
        {500000, 875, true}, {500000, 866, true}, {500000, 860, false}, {250000, 875, false}};
    for (const auto& c : cases) {
        can_bittiming current{};
        current.bitrate = c.bitrate;
        current.sample_point = c.samplePoint;
        EXPECT_EQ(SameTiming(current, {500000, 13, 2, 1, 1}), c.same) << c.samplePoint;
    }
}

}  // namespace
}  // namespace vcan

// Route netlink requests and replies of the SocketCAN backend, built and parsed without a
// kernel; and one round trip to the kernel that every Linux has (the loopback).
#include <gtest/gtest.h>
#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/if_arp.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "socketcan_bus.h"
#include "socketcan_netlink.h"

namespace vcan {
namespace {

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

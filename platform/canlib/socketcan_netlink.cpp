#include "socketcan_netlink.h"

#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace vcan {
namespace {

constexpr size_t kReplyBufferSize = 32768;
constexpr int kReplyTimeoutMs = 2000;

uint32_t NextSeq() {
    static std::atomic<uint32_t> seq{1};
    return seq.fetch_add(1, std::memory_order_relaxed);
}

// One request: the netlink header, the interface message and attributes, each 4-byte aligned.
class Request {
public:
    Request(uint16_t type, uint16_t flags, uint32_t seq, const ifinfomsg& ifi) {
        nlmsghdr h{};
        h.nlmsg_type = type;
        h.nlmsg_flags = flags;
        h.nlmsg_seq = seq;
        Append(&h, sizeof h);
        Append(&ifi, sizeof ifi);
    }

    void Attr(uint16_t type, const void* data, size_t size) {
        rtattr a{};
        a.rta_type = type;
        a.rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
        Append(&a, sizeof a);
        Append(data, size);
    }
    template <typename T>
    void Attr(uint16_t type, const T& value) {
        Attr(type, &value, sizeof value);
    }
    size_t BeginNest(uint16_t type) {
        const size_t at = bytes_.size();
        Attr(type, nullptr, 0);
        return at;
    }
    void EndNest(size_t at) {
        const auto len = static_cast<unsigned short>(bytes_.size() - at);
        std::memcpy(bytes_.data() + at + offsetof(rtattr, rta_len), &len, sizeof len);
    }

    std::vector<uint8_t> Finish() {
        const auto len = static_cast<uint32_t>(bytes_.size());
        std::memcpy(bytes_.data() + offsetof(nlmsghdr, nlmsg_len), &len, sizeof len);
        return std::move(bytes_);
    }

private:
    void Append(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        if (size)
            bytes_.insert(bytes_.end(), p, p + size);
        bytes_.resize(NLMSG_ALIGN(bytes_.size()), 0);
    }

    std::vector<uint8_t> bytes_;
};

ifinfomsg LinkMessage(int ifindex) {
    ifinfomsg ifi{};
    ifi.ifi_family = AF_UNSPEC;
    ifi.ifi_index = ifindex;
    return ifi;
}

// Copies a fixed-size payload; false when the attribute is shorter (a kernel may append
// fields, never take them away).
template <typename T>
bool Payload(const rtattr* a, T* out) {
    if (RTA_PAYLOAD(a) < sizeof(T))
        return false;
    std::memcpy(out, RTA_DATA(a), sizeof(T));
    return true;
}

std::string PayloadString(const rtattr* a) {
    const auto* s = static_cast<const char*>(RTA_DATA(a));
    return std::string(s, strnlen(s, RTA_PAYLOAD(a)));
}

int Type(const rtattr* a) {
    return a->rta_type & NLA_TYPE_MASK;
}

void ParseCanData(const rtattr* nest, LinkInfo* out) {
    int left = static_cast<int>(RTA_PAYLOAD(nest));
    for (const rtattr* a = static_cast<const rtattr*>(RTA_DATA(nest)); RTA_OK(a, left);
         a = RTA_NEXT(a, left)) {
        switch (Type(a)) {
            case IFLA_CAN_STATE:
                out->haveState = Payload(a, &out->state);
                break;
            case IFLA_CAN_BERR_COUNTER:
                out->haveBerr = Payload(a, &out->berr);
                break;
            case IFLA_CAN_BITTIMING:
                out->haveBittiming = Payload(a, &out->bittiming) && out->bittiming.bitrate != 0;
                break;
            case IFLA_CAN_DATA_BITTIMING:
                out->haveDataBittiming =
                    Payload(a, &out->dataBittiming) && out->dataBittiming.bitrate != 0;
                break;
            case IFLA_CAN_CLOCK: {
                can_clock clock{};
                out->haveClock = Payload(a, &clock) && clock.freq != 0;
                out->clockHz = clock.freq;
                break;
            }
            case IFLA_CAN_CTRLMODE: {
                can_ctrlmode mode{};
                out->haveCtrlMode = Payload(a, &mode);
                out->ctrlMode = mode.flags;
                break;
            }
            default:
                break;
        }
    }
}

void ParseLinkInfo(const rtattr* nest, LinkInfo* out) {
    int left = static_cast<int>(RTA_PAYLOAD(nest));
    for (const rtattr* a = static_cast<const rtattr*>(RTA_DATA(nest)); RTA_OK(a, left);
         a = RTA_NEXT(a, left)) {
        if (Type(a) == IFLA_INFO_KIND) {
            out->kind = PayloadString(a);
        } else if (Type(a) == IFLA_INFO_DATA) {
            ParseCanData(a, out);
        }
    }
}

void ParseNewLink(const nlmsghdr* h, LinkInfo* out) {
    const auto* ifi = static_cast<const ifinfomsg*>(NLMSG_DATA(h));
    *out = LinkInfo();
    out->ifindex = ifi->ifi_index;
    out->type = ifi->ifi_type;
    out->flags = ifi->ifi_flags;
    int left = static_cast<int>(h->nlmsg_len - NLMSG_LENGTH(sizeof *ifi));
    for (const rtattr* a = IFLA_RTA(ifi); RTA_OK(a, left); a = RTA_NEXT(a, left)) {
        switch (Type(a)) {
            case IFLA_IFNAME:
                out->name = PayloadString(a);
                break;
            case IFLA_MTU:
                Payload(a, &out->mtu);
                break;
            case IFLA_LINKINFO:
                ParseLinkInfo(a, out);
                break;
            default:
                break;
        }
    }
}

// Walks the messages of one reply: 1 when the answer to `seq` was found (and handled), 0 when
// not yet, a negative errno for the kernel's error or a malformed reply.
int WalkReply(const uint8_t* data, size_t size, uint32_t seq, LinkInfo* link) {
    if (size > static_cast<size_t>(INT32_MAX))
        return -EBADMSG;
    int left = static_cast<int>(size);
    for (const auto* h = reinterpret_cast<const nlmsghdr*>(data); left > 0;
         h = NLMSG_NEXT(h, left)) {
        if (!NLMSG_OK(h, left))
            return -EBADMSG;
        if (h->nlmsg_seq != seq)
            continue;
        if (h->nlmsg_type == NLMSG_ERROR) {
            if (h->nlmsg_len < NLMSG_LENGTH(sizeof(nlmsgerr)))
                return -EBADMSG;
            nlmsgerr e;
            std::memcpy(&e, NLMSG_DATA(h), sizeof e);
            // An acknowledgement is an error message with error 0; a query expects data.
            if (e.error == 0)
                return link ? -EBADMSG : 1;
            return e.error < 0 ? e.error : -e.error;
        }
        if (h->nlmsg_type == RTM_NEWLINK && link != nullptr) {
            if (h->nlmsg_len < NLMSG_LENGTH(sizeof(ifinfomsg)))
                return -EBADMSG;
            ParseNewLink(h, link);
            return 1;
        }
    }
    return 0;
}

// Sends one request and waits for its answer, parsed into `link` or as an acknowledgement.
int RoundTrip(const std::vector<uint8_t>& request, uint32_t seq, LinkInfo* link) {
    const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0)
        return -errno;
    timeval timeout{kReplyTimeoutMs / 1000, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    int result = 0;
    if (sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&kernel),
               sizeof kernel) < 0) {
        result = -errno;
    }
    std::vector<uint8_t> reply(kReplyBufferSize);
    while (result == 0) {
        const ssize_t n = recv(fd, reply.data(), reply.size(), 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result = errno == EAGAIN ? -ETIMEDOUT : -errno;
            break;
        }
        result = WalkReply(reply.data(), static_cast<size_t>(n), seq, link);
    }
    close(fd);
    return result < 0 ? result : 0;
}

}  // namespace

std::vector<uint8_t> BuildGetLink(int ifindex, uint32_t seq) {
    Request r(RTM_GETLINK, NLM_F_REQUEST, seq, LinkMessage(ifindex));
    r.Attr(IFLA_EXT_MASK, static_cast<uint32_t>(RTEXT_FILTER_SKIP_STATS));
    return r.Finish();
}

std::vector<uint8_t> BuildSetLinkUp(int ifindex, bool up, uint32_t seq) {
    ifinfomsg ifi = LinkMessage(ifindex);
    ifi.ifi_flags = up ? IFF_UP : 0;
    ifi.ifi_change = IFF_UP;
    Request r(RTM_NEWLINK, NLM_F_REQUEST | NLM_F_ACK, seq, ifi);
    return r.Finish();
}

std::vector<uint8_t> BuildCanLinkChange(int ifindex, const CanLinkChange& change, uint32_t seq) {
    Request r(RTM_NEWLINK, NLM_F_REQUEST | NLM_F_ACK, seq, LinkMessage(ifindex));
    const size_t linkInfo = r.BeginNest(IFLA_LINKINFO);
    r.Attr(IFLA_INFO_KIND, "can", 4);
    const size_t data = r.BeginNest(IFLA_INFO_DATA);
    if (change.bittiming)
        r.Attr(IFLA_CAN_BITTIMING, *change.bittiming);
    if (change.dataBittiming)
        r.Attr(IFLA_CAN_DATA_BITTIMING, *change.dataBittiming);
    if (change.setCtrlMode)
        r.Attr(IFLA_CAN_CTRLMODE, change.ctrlMode);
    if (change.restart)
        r.Attr(IFLA_CAN_RESTART, static_cast<uint32_t>(1));
    r.EndNest(data);
    r.EndNest(linkInfo);
    return r.Finish();
}

int ParseLinkReply(const uint8_t* data, size_t size, uint32_t seq, LinkInfo* out) {
    const int r = WalkReply(data, size, seq, out);
    return r == 0 ? -EBADMSG : (r < 0 ? r : 0);
}

int ParseAck(const uint8_t* data, size_t size, uint32_t seq) {
    const int r = WalkReply(data, size, seq, nullptr);
    return r == 0 ? -EBADMSG : (r < 0 ? r : 0);
}

int QueryLink(int ifindex, LinkInfo* out) {
    const uint32_t seq = NextSeq();
    return RoundTrip(BuildGetLink(ifindex, seq), seq, out);
}

int SetLinkUp(int ifindex, bool up) {
    const uint32_t seq = NextSeq();
    return RoundTrip(BuildSetLinkUp(ifindex, up, seq), seq, nullptr);
}

int ChangeCanLink(int ifindex, const CanLinkChange& change) {
    const uint32_t seq = NextSeq();
    return RoundTrip(BuildCanLinkChange(ifindex, change, seq), seq, nullptr);
}

int LinkControl::IndexOf(const std::string& name) {
    return static_cast<int>(if_nametoindex(name.c_str()));
}

const char* CanStateName(uint32_t state) {
    switch (state) {
        case CAN_STATE_ERROR_ACTIVE:
            return "ERROR-ACTIVE";
        case CAN_STATE_ERROR_WARNING:
            return "ERROR-WARNING";
        case CAN_STATE_ERROR_PASSIVE:
            return "ERROR-PASSIVE";
        case CAN_STATE_BUS_OFF:
            return "BUS-OFF";
        case CAN_STATE_STOPPED:
            return "STOPPED";
        case CAN_STATE_SLEEPING:
            return "SLEEPING";
        default:
            return "UNKNOWN";
    }
}

}  // namespace vcan

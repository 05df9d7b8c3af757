// The CAN interface's link through route netlink: its state, bit timing, error counters and
// controller mode read with RTM_GETLINK, and changed with RTM_NEWLINK (up and down, bit
// timing, CAN FD mode, restart from bus off). Building and parsing are kept apart from the
// socket so that both can be checked without a kernel.
#pragma once

#include <linux/can/netlink.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vcan {

// What RTM_GETLINK tells about one interface.
struct LinkInfo {
    int ifindex = 0;
    unsigned type = 0;   // ARPHRD_CAN for a CAN interface
    unsigned flags = 0;  // IFF_UP, IFF_RUNNING, ...
    uint32_t mtu = 0;
    std::string name;
    std::string kind;  // "can" for a CAN controller; "vcan", "vxcan" have no bit timing
    bool haveState = false;
    uint32_t state = 0;  // enum can_state
    bool haveBerr = false;
    can_berr_counter berr{};
    bool haveBittiming = false;
    can_bittiming bittiming{};
    bool haveDataBittiming = false;
    can_bittiming dataBittiming{};
    bool haveClock = false;
    uint32_t clockHz = 0;
    bool haveCtrlMode = false;
    uint32_t ctrlMode = 0;  // CAN_CTRLMODE_* in force
};

// A change of a CAN controller's settings; the link must be down for timing and mode.
struct CanLinkChange {
    const can_bittiming* bittiming = nullptr;
    const can_bittiming* dataBittiming = nullptr;
    bool setCtrlMode = false;
    can_ctrlmode ctrlMode{};  // mask: the bits changed; flags: their new values
    bool restart = false;     // leave bus off now
};

std::vector<uint8_t> BuildGetLink(int ifindex, uint32_t seq);
std::vector<uint8_t> BuildSetLinkUp(int ifindex, bool up, uint32_t seq);
std::vector<uint8_t> BuildCanLinkChange(int ifindex, const CanLinkChange& change, uint32_t seq);

// Parse the kernel's answer to the request with `seq`. 0 on success, the negative errno of the
// kernel's error message, or -EBADMSG when the answer is malformed or holds no answer to
// `seq`. Messages of other sequence numbers are skipped.
int ParseLinkReply(const uint8_t* data, size_t size, uint32_t seq, LinkInfo* out);
int ParseAck(const uint8_t* data, size_t size, uint32_t seq);

// Round trips through a route netlink socket of their own; 0 or a negative errno
// (-EPERM without CAP_NET_ADMIN, -ENODEV for an interface that is gone).
int QueryLink(int ifindex, LinkInfo* out);
int SetLinkUp(int ifindex, bool up);
int ChangeCanLink(int ifindex, const CanLinkChange& change);

// The interface operations of the backend: the kernel's, or a stand-in of the tests.
class LinkControl {
public:
    virtual ~LinkControl() = default;
    // The interface's index, 0 when there is none of that name.
    virtual int IndexOf(const std::string& name);
    virtual int Query(int ifindex, LinkInfo* out) { return QueryLink(ifindex, out); }
    virtual int SetUp(int ifindex, bool up) { return SetLinkUp(ifindex, up); }
    virtual int Change(int ifindex, const CanLinkChange& change) {
        return ChangeCanLink(ifindex, change);
    }
};

// "ERROR-ACTIVE", "BUS-OFF", ... for enum can_state.
const char* CanStateName(uint32_t state);

}  // namespace vcan

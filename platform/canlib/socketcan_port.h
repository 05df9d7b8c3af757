// One raw CAN socket of a SocketCAN handle: its options, sending one frame, and receiving
// frames in batches with what the kernel attaches to each. A datagram socket (one end of a
// socket pair) can stand in for the CAN socket: it carries the same frame structures, and
// the CAN options, which it does not know, are left out.
#pragma once

#include <linux/can.h>

#include <cstddef>
#include <cstdint>

#include "socketcan_clock.h"
#include "socketcan_frame.h"

namespace vcan {

struct RawDatagram {
    alignas(8) uint8_t bytes[CANFD_MTU];
    size_t size = 0;  // 0 for a datagram too long for a CAN FD frame
    ReceiveMeta meta;
};

// The acceptance of a handle: a frame passes when its identifier masked equals the code
// masked, standard and extended identifiers each with their own pair.
struct Acceptance {
    uint32_t codeStd = 0;
    uint32_t maskStd = 0;
    uint32_t codeExt = 0;
    uint32_t maskExt = 0;

    bool Passes(uint32_t id, bool extended) const {
        return extended ? (id & maskExt) == (codeExt & maskExt)
                        : (id & maskStd) == (codeStd & maskStd);
    }
};

class SocketCanPort {
public:
    static constexpr int kBatch = 32;

    SocketCanPort() = default;
    ~SocketCanPort() { Close(); }
    SocketCanPort(const SocketCanPort&) = delete;
    SocketCanPort& operator=(const SocketCanPort&) = delete;

    // A raw CAN socket bound to the interface: non-blocking; CAN FD frames when `fdFrames`;
    // our own sent frames echoed only when `ownFrames`; time stamps (SO_TIMESTAMPING, else
    // SO_TIMESTAMP) and the drop count attached; receiving nothing until SetReceiving.
    // 0 or a negative errno.
    int Open(int ifindex, bool fdFrames, bool ownFrames);
    // Takes a duplicate of `fd`, a datagram socket standing in for the CAN socket.
    int OpenStandIn(int fd);
    void Close();

    int Fd() const { return fd_; }
    bool IsStandIn() const { return standIn_; }

    // Every frame that passes `acceptance`, and every error message; or nothing at all.
    int SetReceiving(bool on, const Acceptance& acceptance);
    // 0 or a negative errno (-EAGAIN or -ENOBUFS when the transmit queue is full).
    int Send(const KernelFrame& frame);
    // Up to `max` (at most kBatch) waiting datagrams: their count, 0 when none wait, or a
    // negative errno.
    int Receive(RawDatagram* out, int max);
    // Throws away what waits in the socket.
    void Drain();

private:
    int fd_ = -1;
    bool standIn_ = false;
};

}  // namespace vcan

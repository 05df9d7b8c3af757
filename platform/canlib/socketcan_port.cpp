#include "socketcan_port.h"

#include <fcntl.h>
#include <linux/can/error.h>
#include <linux/can/raw.h>
#include <linux/net_tstamp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vcan {
namespace {

// Room for SCM_TIMESTAMPING (three time stamps), SCM_TIMESTAMP and SO_RXQ_OVFL.
constexpr size_t kControlSize = 256;
// A larger receive buffer rides out a stalled reader; the kernel caps it at rmem_max.
constexpr int kReceiveBufferBytes = 1 << 20;

int SetOption(int fd, int level, int name, const void* value, socklen_t size) {
    return setsockopt(fd, level, name, value, size) == 0 ? 0 : -errno;
}

int SetInt(int fd, int level, int name, int value) {
    return SetOption(fd, level, name, &value, sizeof value);
}

// Software and hardware receive stamps; the hardware one as the controller counts it.
void EnableTimestamps(int fd) {
    const int flags = SOF_TIMESTAMPING_RX_SOFTWARE | SOF_TIMESTAMPING_SOFTWARE |
                      SOF_TIMESTAMPING_RX_HARDWARE | SOF_TIMESTAMPING_RAW_HARDWARE;
    if (SetInt(fd, SOL_SOCKET, SO_TIMESTAMPING, flags) != 0)
        SetInt(fd, SOL_SOCKET, SO_TIMESTAMP, 1);
}

}  // namespace

int SocketCanPort::Open(int ifindex, bool fdFrames, bool ownFrames) {
    Close();
    const int fd = socket(PF_CAN, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, CAN_RAW);
    if (fd < 0)
        return -errno;
    int result = 0;
    // Nothing is received before the handle goes on the bus.
    if (result == 0)
        result = SetOption(fd, SOL_CAN_RAW, CAN_RAW_FILTER, nullptr, 0);
    if (result == 0)
        result = SetInt(fd, SOL_CAN_RAW, CAN_RAW_ERR_FILTER, 0);
    if (result == 0 && fdFrames)
        result = SetInt(fd, SOL_CAN_RAW, CAN_RAW_FD_FRAMES, 1);
    if (result == 0)
        result = SetInt(fd, SOL_CAN_RAW, CAN_RAW_RECV_OWN_MSGS, ownFrames ? 1 : 0);
    if (result == 0) {
        // Without the drop count overruns go unseen, but frames still flow.
        SetInt(fd, SOL_SOCKET, SO_RXQ_OVFL, 1);
        SetInt(fd, SOL_SOCKET, SO_RCVBUF, kReceiveBufferBytes);
        EnableTimestamps(fd);
        sockaddr_can addr{};
        addr.can_family = AF_CAN;
        addr.can_ifindex = ifindex;
        if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
            result = -errno;
    }
    if (result != 0) {
        close(fd);
        return result;
    }
    fd_ = fd;
    standIn_ = false;
    return 0;
}

int SocketCanPort::OpenStandIn(int fd) {
    Close();
    const int own = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        return -errno;
    const int flags = fcntl(own, F_GETFL);
    if (flags < 0 || fcntl(own, F_SETFL, flags | O_NONBLOCK) != 0) {
        const int error = -errno;
        close(own);
        return error;
    }
    SetInt(own, SOL_SOCKET, SO_RXQ_OVFL, 1);
    EnableTimestamps(own);
    fd_ = own;
    standIn_ = true;
    return 0;
}

void SocketCanPort::Close() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    standIn_ = false;
}

int SocketCanPort::SetReceiving(bool on, const Acceptance& a) {
    if (fd_ < 0)
        return -EBADF;
    if (standIn_)
        return 0;  // the handle filters what the stand-in delivers
    if (!on) {
        const int result = SetOption(fd_, SOL_CAN_RAW, CAN_RAW_FILTER, nullptr, 0);
        return result != 0 ? result : SetInt(fd_, SOL_CAN_RAW, CAN_RAW_ERR_FILTER, 0);
    }
    // Remote and data frames alike; the identifier format is part of each filter.
    const can_filter filters[2] = {
        {a.codeStd & a.maskStd & CAN_SFF_MASK, (a.maskStd & CAN_SFF_MASK) | CAN_EFF_FLAG},
        {(a.codeExt & a.maskExt & CAN_EFF_MASK) | CAN_EFF_FLAG,
         (a.maskExt & CAN_EFF_MASK) | CAN_EFF_FLAG},
    };
    const int result = SetOption(fd_, SOL_CAN_RAW, CAN_RAW_FILTER, filters, sizeof filters);
    return result != 0 ? result : SetInt(fd_, SOL_CAN_RAW, CAN_RAW_ERR_FILTER, CAN_ERR_MASK);
}

int SocketCanPort::Send(const KernelFrame& frame) {
    if (fd_ < 0)
        return -EBADF;
    for (;;) {
        const ssize_t n = send(fd_, &frame.fd, frame.size, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n == static_cast<ssize_t>(frame.size))
            return 0;
        if (n >= 0)
            return -EMSGSIZE;
        if (errno != EINTR)
            return -errno;
    }
}

int SocketCanPort::Receive(RawDatagram* out, int max) {
    if (fd_ < 0)
        return -EBADF;
    if (max > kBatch)
        max = kBatch;
    mmsghdr msgs[kBatch];
    iovec iov[kBatch];
    alignas(cmsghdr) unsigned char control[kBatch][kControlSize];
    for (int i = 0; i < max; ++i) {
        iov[i] = {out[i].bytes, sizeof out[i].bytes};
        msgs[i] = {};
        msgs[i].msg_hdr.msg_iov = &iov[i];
        msgs[i].msg_hdr.msg_iovlen = 1;
        msgs[i].msg_hdr.msg_control = control[i];
        msgs[i].msg_hdr.msg_controllen = kControlSize;
    }
    int n = 0;
    do {
        n = recvmmsg(fd_, msgs, static_cast<unsigned>(max), MSG_DONTWAIT, nullptr);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -errno;
    for (int i = 0; i < n; ++i) {
        const bool truncated = (msgs[i].msg_hdr.msg_flags & MSG_TRUNC) != 0;
        out[i].size = truncated ? 0 : msgs[i].msg_len;
        out[i].meta = ParseReceiveMeta(msgs[i].msg_hdr);
    }
    return n;
}

void SocketCanPort::Drain() {
    // Bounded, so that a peer that never stops sending cannot hold the caller here.
    RawDatagram scratch[kBatch];
    for (int round = 0; round < 1024 && Receive(scratch, kBatch) > 0; ++round) {
    }
}

}  // namespace vcan

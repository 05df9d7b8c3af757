// SocketCAN handles: opening and closing, reading and writing frames, statistics, error
// counters and the control functions. The link and timing side is in socketcan_link.cpp.
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "socketcan_bus.h"
#include "timer_scale.h"
#include "virtual_bus.h"

namespace vcan {
namespace {

int SendStatus(int error) {
    switch (error) {
        case -EAGAIN:
        case -ENOBUFS:
            return canERR_TXBUFOFL;
        case -ENETDOWN:
            return canERR_OFF_BUS;
        case -ENODEV:
        case -ENXIO:
            return canERR_NOTFOUND;
        default:
            return canERR_PARAM;  // EINVAL, EMSGSIZE: a frame the interface does not carry
    }
}

int ReceiveStatus(int error) {
    switch (error) {
        case -ENETDOWN:
            return canERR_OFF_BUS;
        case -ENODEV:
            return canERR_NOTFOUND;
        default:
            return canERR_NOMSG;
    }
}

// Finds the named interface and checks that the handle can run on it; says why on stderr when
// it cannot.
int FindInterface(LinkControl& links, int channel, bool fd, int* ifindex, LinkInfo* link,
                  bool* haveLink) {
    const std::string name = link->name;
    *ifindex = links.IndexOf(name);
    if (*ifindex == 0) {
        SayChannel(channel, "there is no network interface %s", name.c_str());
        return canERR_NOTFOUND;
    }
    *haveLink = links.Query(*ifindex, link) == 0;
    if (*haveLink && link->type != ARPHRD_CAN) {
        SayChannel(channel, "%s is not a CAN interface", name.c_str());
        return canERR_NOTFOUND;
    }
    // A CAN controller may be switched to CAN FD by the timing call; vcan and vxcan carry
    // CAN FD frames only with the CAN FD MTU.
    if (fd && *haveLink && link->kind != "can" && link->mtu != CANFD_MTU) {
        SayChannel(channel,
                   "%s carries classic frames only (MTU %u); for CAN FD: ip link set %s mtu 72",
                   name.c_str(), link->mtu, name.c_str());
        return canERR_NOT_SUPPORTED;
    }
    return canOK;
}

// Opens the handle's raw CAN socket; says why on stderr when it cannot.
int OpenSocket(int channel, const std::string& name, int ifindex, bool fd, bool txAck,
               SocketCanPort* port) {
    const int r = port->Open(ifindex, fd, txAck);
    if (r == -EAFNOSUPPORT || r == -EPROTONOSUPPORT) {
        SayChannel(channel, "this kernel offers no CAN sockets (%s)", std::strerror(-r));
        return canERR_NOT_SUPPORTED;
    }
    if (r == -ENODEV) {
        SayChannel(channel, "%s is not a CAN interface", name.c_str());
        return canERR_NOTFOUND;
    }
    if (r != 0) {
        SayChannel(channel, "cannot open a CAN socket on %s (%s)", name.c_str(), std::strerror(-r));
        return r == -EMFILE || r == -ENFILE ? canERR_NOHANDLES : canERR_NOT_SUPPORTED;
    }
    return canOK;
}

}  // namespace

SocketCanBus::HandlePtr SocketCanBus::Lock(int hnd, std::unique_lock<std::mutex>* lock,
                                           int* status) {
    HandlePtr h;
    if (IsSocketCanHandle(hnd)) {
        std::lock_guard<std::mutex> table(mutex_);
        h = handles_[hnd - kSocketHandleBase];
    }
    if (h) {
        *lock = std::unique_lock<std::mutex>(h->lock);
        if (h->open)
            return h;
    }
    *status = canERR_INVHANDLE;
    return nullptr;
}

int SocketCanBus::Open(int channel, const SocketCanTarget& target, int flags) {
    const bool require = (flags & canOPEN_REQUIRE_INIT_ACCESS) != 0;
    const bool refuse = (flags & canOPEN_NO_INIT_ACCESS) != 0;
    if (require && refuse)
        return canERR_PARAM;
    auto h = std::make_shared<Handle>();
    h->channel = channel;
    h->fd = (flags & (canOPEN_CAN_FD | canOPEN_CAN_FD_NONISO)) != 0;
    h->txAck = target.txAck;
    h->stuffing = target.stuffing;
    h->name = target.interface.empty() ? "stand-in" : target.interface;
    if (!target.interface.empty()) {
        LinkInfo link;
        link.name = target.interface;
        bool haveLink = false;
        const int status = FindInterface(links_, channel, h->fd, &h->ifindex, &link, &haveLink);
        if (status != canOK)
            return status;
        if (haveLink && link.haveBittiming)
            h->nominalRate = static_cast<long>(link.bittiming.bitrate);
        if (haveLink && link.haveDataBittiming)
            h->dataRate = static_cast<long>(link.dataBittiming.bitrate);
    }
    if (target.standInFd >= 0) {
        if (h->port.OpenStandIn(target.standInFd) != 0)
            return canERR_NOHANDLES;
    } else {
        const int status = OpenSocket(channel, h->name, h->ifindex, h->fd, h->txAck, &h->port);
        if (status != canOK)
            return status;
    }

    std::lock_guard<std::mutex> table(mutex_);
    if (require && initHolder_.count(channel))
        return canERR_NO_ACCESS;
    bool anyOpen = false;
    for (const HandlePtr& other : handles_)
        anyOpen = anyOpen || (other && other->channel == channel);
    if (exclusive_.count(channel) || ((flags & canOPEN_EXCLUSIVE) && anyOpen))
        return canERR_NO_ACCESS;
    int slot = 0;
    while (slot < kMaxSocketHandles && handles_[slot])
        ++slot;
    if (slot == kMaxSocketHandles)
        return canERR_NOHANDLES;
    const int hnd = kSocketHandleBase + slot;
    h->initAccess = !refuse && !initHolder_.count(channel);
    if (h->initAccess)
        initHolder_[channel] = hnd;
    if (flags & canOPEN_EXCLUSIVE)
        exclusive_[channel] = hnd;
    h->openNs = NowNs();
    h->statsSinceNs = h->openNs;
    handles_[slot] = h;
    return hnd;
}

int SocketCanBus::Close(int hnd) {
    std::unique_lock<std::mutex> lock;
    int status = canOK;
    HandlePtr h = Lock(hnd, &lock, &status);
    if (!h)
        return status;
    CloseLocked(*h);
    lock.unlock();
    std::lock_guard<std::mutex> table(mutex_);
    handles_[hnd - kSocketHandleBase].reset();
    for (auto* owners : {&initHolder_, &exclusive_}) {
        const auto it = owners->find(h->channel);
        if (it != owners->end() && it->second == hnd)
            owners->erase(it);
    }
    return canOK;
}

void SocketCanBus::CloseLocked(Handle& h) {
    if (h.onBus)
        BusOffLocked(h);
    LinkRestoreOnClose(h);
    if (h.eventFd >= 0) {
        notifier_.Forget(h.port.Fd());
        close(h.eventFd);
        h.eventFd = -1;
    }
    h.port.Close();
    h.open = false;
}

void SocketCanBus::CloseAll() {
    for (int i = 0; i < kMaxSocketHandles; ++i)
        Close(kSocketHandleBase + i);
    notifier_.Stop();
}

int SocketCanBus::Write(int hnd, long id, const void* msg, unsigned dlc, unsigned flags) {
    return WithHandle(hnd, [&](Handle& h) {
        KernelFrame frame;
        int status = EncodeFrame(id, msg, dlc, flags, h.fd, &frame);
        if (status != canOK)
            return status;
        if (!h.onBus)
            return canERR_OFF_BUS;
        const int sent = h.port.Send(frame);
        if (sent != 0)
            return SendStatus(sent);
        // The bus carried it: it counts in the load, not among the frames received.
        h.wireNs += WireTimeNs(MessageWireBits(static_cast<uint32_t>(id), flags, dlc,
                                               static_cast<const uint8_t*>(msg), h.stuffing),
                               h.nominalRate, h.dataRate);
        return canOK;
    });
}

int SocketCanBus::Read(int hnd, long* id, void* msg, unsigned* dlc, unsigned* flags,
                       unsigned long* time) {
    if (!id || !msg || !dlc || !flags || !time)
        return canERR_PARAM;
    return WithHandle(hnd, [&](Handle& h) { return DecodeNext(h, id, msg, dlc, flags, time); });
}

int SocketCanBus::DecodeNext(Handle& h, long* id, void* msg, unsigned* dlc, unsigned* flags,
                             unsigned long* time) {
    for (;;) {
        if (h.batchNext >= h.batchCount) {
            const int n = h.port.Receive(h.batch, SocketCanPort::kBatch);
            h.batchNext = 0;
            h.batchCount = std::max(n, 0);
            if (n <= 0) {
                // Drained: the next frame signals the event again.
                if (h.eventFd >= 0)
                    notifier_.Rearm(h.port.Fd());
                return n == 0 ? canERR_NOMSG : ReceiveStatus(n);
            }
            h.batchRealNs = RealtimeNs();
            h.batchMonoNs = NowNs();
        }
        const RawDatagram& d = h.batch[h.batchNext++];
        if (d.meta.haveDrops) {
            const uint32_t lost = h.drops.Update(d.meta.drops);
            if (lost) {
                h.overruns += lost;
                h.lostFrames = true;
            }
        }
        if (!h.onBus)
            continue;
        LibFrame f;
        ErrorReport report;
        const Decoded kind = DecodeFrame(d.bytes, d.size, &f, &report);
        if (kind == Decoded::kInvalid)
            continue;
        if (kind == Decoded::kErrorReport) {
            if (report.state != ControllerState::kUnknown)
                h.state = report.state;
            if (report.haveCounters) {
                h.haveCounters = true;
                h.txErr = report.txErr;
                h.rxErr = report.rxErr;
            }
            if (report.overflow) {
                ++h.overruns;
                h.lostFrames = true;
            }
            if (!report.errorFrame)
                continue;
            ++h.errFrames;
            h.wireNs += WireTimeNs(ErrorFrameWireBits(), h.nominalRate, h.dataRate);
        } else {
            if (!h.acceptance.Passes(f.id, (f.flags & canMSG_EXT) != 0))
                continue;
            if (d.meta.ownFrame) {
                // Our own frame back from the bus; it was counted when sent.
                f.flags |= canMSG_TXACK;
            } else {
                const bool remote = (f.flags & canMSG_RTR) != 0;
                if (f.flags & canMSG_EXT) {
                    ++(remote ? h.extRemote : h.extData);
                } else {
                    ++(remote ? h.stdRemote : h.stdData);
                }
                h.wireNs += WireTimeNs(MessageWireBits(f.id, f.flags, f.dlc, f.data, h.stuffing),
                                       h.nominalRate, h.dataRate);
            }
        }
        *id = static_cast<long>(f.id);
        if (!(f.flags & (canMSG_RTR | canMSG_ERROR_FRAME)) && f.dlc)
            std::memcpy(msg, f.data, f.dlc);
        *dlc = f.dlc;
        *flags = f.flags | (h.lostFrames ? canMSGERR_SW_OVERRUN : 0u);
        h.lostFrames = false;
        const int64_t at = h.stamps.ToMonotonic(d.meta.stamps, h.batchRealNs, h.batchMonoNs);
        *time = ClockUnits(at, h.openNs, h.scaleUs, h.timerOffset);
        return canOK;
    }
}

int SocketCanBus::ReadErrorCounters(int hnd, unsigned* txErr, unsigned* rxErr, unsigned* ovErr) {
    if (!txErr || !rxErr || !ovErr)
        return canERR_PARAM;
    std::unique_lock<std::mutex> lock;
    int status = canOK;
    HandlePtr h = Lock(hnd, &lock, &status);
    if (!h)
        return status;
    // The round trip runs without the handle's lock: its reader goes on meanwhile.
    const int ifindex = h->ifindex;
    lock.unlock();
    LinkInfo link;
    const bool haveLink = ifindex != 0 && links_.Query(ifindex, &link) == 0;
    lock.lock();
    if (!h->open)
        return canERR_INVHANDLE;
    if (haveLink && link.haveBerr) {
        *txErr = link.berr.txerr;
        *rxErr = link.berr.rxerr;
    } else {
        *txErr = h->haveCounters ? h->txErr : 0;
        *rxErr = h->haveCounters ? h->rxErr : 0;
    }
    // Bus off shows as a transmit error count past 255, where the controller's counter went.
    const bool busOff = haveLink && link.haveState ? link.state == CAN_STATE_BUS_OFF
                                                   : h->state == ControllerState::kBusOff;
    if (busOff && *txErr < 256)
        *txErr = 256;
    *ovErr = h->overruns;
    return canOK;
}

int SocketCanBus::IoCtl(int hnd, unsigned func, void* buf, unsigned buflen) {
    return WithHandle(hnd, [&](Handle& h) {
        int status = canOK;
        if (TimerScaleIoCtl(func, buf, buflen, &h.scaleUs, &status))
            return status;
        switch (func) {
            case canIOCTL_FLUSH_RX_BUFFER:
                h.batchNext = h.batchCount = 0;
                h.port.Drain();
                return canOK;
            case canIOCTL_CLEAR_ERROR_COUNTERS:
                // The controller's own counters cannot be cleared from a socket.
                h.haveCounters = false;
                h.overruns = 0;
                return canOK;
            case canIOCTL_GET_EVENTHANDLE: {
                if (!buf || buflen < sizeof(int64_t))
                    return canERR_PARAM;
                if (h.eventFd < 0) {
                    h.eventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
                    if (h.eventFd < 0)
                        return canERR_NOMEM;
                    if (!notifier_.Watch(h.port.Fd(), h.eventFd)) {
                        close(h.eventFd);
                        h.eventFd = -1;
                        return canERR_NOMEM;
                    }
                    if (h.batchNext < h.batchCount) {
                        const uint64_t one = 1;
                        [[maybe_unused]] const ssize_t n = write(h.eventFd, &one, sizeof one);
                    }
                }
                const int64_t fd = h.eventFd;
                std::memcpy(buf, &fd, sizeof fd);
                return canOK;
            }
            default:
                // The socket tells neither how many frames wait nor lets the kernel's transmit
                // queue be flushed.
                return canERR_NOT_IMPLEMENTED;
        }
    });
}

unsigned long SocketCanBus::ReadTimer(int hnd) {
    std::unique_lock<std::mutex> lock;
    int status = canOK;
    HandlePtr h = Lock(hnd, &lock, &status);
    return h ? ClockUnits(NowNs(), h->openNs, h->scaleUs, h->timerOffset) : 0;
}

int SocketCanBus::SetTimer(int hnd, unsigned long value) {
    return WithHandle(hnd, [&](Handle& h) {
        const uint32_t now = ClockUnits(NowNs(), h.openNs, h.scaleUs, 0);
        h.timerOffset = static_cast<uint32_t>(value) - now;
        return canOK;
    });
}

int SocketCanBus::RequestStatistics(int hnd) {
    return WithHandle(hnd, [&](Handle& h) {
        const int64_t now = NowNs();
        const int64_t interval = now - h.statsSinceNs;
        uint64_t load = 0;
        if (h.onBus && interval > 0)
            load = std::min<uint64_t>(10000, h.wireNs * 10000 / static_cast<uint64_t>(interval));
        h.snapshot = {h.stdData,   h.stdRemote, h.extData,
                      h.extRemote, h.errFrames, static_cast<unsigned long>(load),
                      h.overruns};
        h.wireNs = 0;
        h.statsSinceNs = now;
        return canOK;
    });
}

int SocketCanBus::GetStatistics(int hnd, canBusStatistics* stat, size_t bufsiz) {
    if (!stat || bufsiz < sizeof(canBusStatistics))
        return canERR_PARAM;
    return WithHandle(hnd, [&](Handle& h) {
        *stat = h.snapshot;
        return canOK;
    });
}

int SocketCanBus::ResetBus(int hnd) {
    return WithHandle(hnd, [&](Handle& h) {
        h.overruns = 0;
        h.lostFrames = false;
        h.stdData = h.stdRemote = h.extData = h.extRemote = h.errFrames = 0;
        h.wireNs = 0;
        h.snapshot = canBusStatistics{};
        h.statsSinceNs = NowNs();
        RestartIfBusOff(h);
        return canOK;
    });
}

int SocketCanBus::Accept(int hnd, long envelope, unsigned flag) {
    return WithHandle(hnd, [&](Handle& h) {
        Acceptance& a = h.acceptance;
        const uint32_t v = static_cast<uint32_t>(envelope);
        switch (flag) {
            case canFILTER_NULL_MASK:
                a.maskStd = a.maskExt = 0;
                break;
            case canFILTER_SET_CODE_STD:
                a.codeStd = v & CAN_SFF_MASK;
                break;
            case canFILTER_SET_MASK_STD:
                a.maskStd = v & CAN_SFF_MASK;
                break;
            case canFILTER_SET_CODE_EXT:
                a.codeExt = v & CAN_EFF_MASK;
                break;
            case canFILTER_SET_MASK_EXT:
                a.maskExt = v & CAN_EFF_MASK;
                break;
            case canFILTER_ACCEPT:
            case canFILTER_REJECT:
                return canERR_NOT_IMPLEMENTED;
            default:
                return canERR_PARAM;
        }
        if (h.onBus && h.port.SetReceiving(true, a) != 0)
            return canERR_PARAM;
        return canOK;
    });
}

}  // namespace vcan

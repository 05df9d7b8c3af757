// How a frame travels on the virtual bus: which handles and nodes listen at which rates,
// the time a frame occupies the wire, queueing into receive queues, acknowledgement,
// pending frames and the answers to remote frames. Every function runs under the bus mutex.

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "frame_bits.h"
#include "virtual_bus.h"

namespace vcan {
namespace {

// A receive error counter stays below error passive when only frames are received.
constexpr unsigned kReceivePassiveCap = 127;

}  // namespace

void VirtualBus::Signal(Handle& h) {
    if (h.eventFd < 0)
        return;
    const uint64_t one = 1;
    // A full counter (never in practice) still leaves the descriptor readable.
    [[maybe_unused]] const ssize_t n = write(h.eventFd, &one, sizeof one);
}

bool VirtualBus::Listens(const Handle& h, int bus, long nominal, long data, uint32_t flags) const {
    if (!h.used || !h.onBus || h.busOffState)
        return false;
    const Channel& ch = channels_[static_cast<size_t>(h.channel)];
    if (!ch.present || ch.config.bus != bus || ch.nominal.bitrate != nominal)
        return false;
    if (!(flags & canFDMSG_FDF))
        return true;
    return h.fd && (!(flags & canFDMSG_BRS) || ch.data.bitrate == data);
}

bool VirtualBus::NodeListens(const NodeConfig& n, int bus, long nominal, long data,
                             uint32_t flags) const {
    if (n.bus != bus || n.bitrate != nominal)
        return false;
    if (!(flags & canFDMSG_FDF))
        return true;
    return n.dataBitrate != 0 && (!(flags & canFDMSG_BRS) || n.dataBitrate == data);
}

bool VirtualBus::Acknowledged(int sender, int bus, long nominal, long data, uint32_t flags) const {
    // Handles of the sender's own channel share its controller and give no acknowledgement.
    const int senderChannel = handles_[static_cast<size_t>(sender)].channel;
    for (const Handle& h : handles_) {
        if (h.channel != senderChannel && Listens(h, bus, nominal, data, flags))
            return true;
    }
    for (const NodeConfig& n : config_.nodes) {
        if (NodeListens(n, bus, nominal, data, flags))
            return true;
    }
    return false;
}

uint64_t VirtualBus::WireNs(const BusFrame& f, long nominal, long data) const {
    const WireBits bits = MessageWireBits(f.id, f.flags, f.length, f.data, config_.stuffing);
    return WireTimeNs(bits, nominal, data);
}

void VirtualBus::CountSeen(Handle& h, const BusFrame& f, uint64_t wireNs) {
    h.wireNs += wireNs;
    if (f.flags & canMSG_ERROR_FRAME) {
        ++h.errFrames;
    } else if (f.flags & canMSG_EXT) {
        ++((f.flags & canMSG_RTR) ? h.extRemote : h.extData);
    } else {
        ++((f.flags & canMSG_RTR) ? h.stdRemote : h.stdData);
    }
}

void VirtualBus::QueueLocked(Handle& h, const BusFrame& f, uint32_t extraFlags) {
    Channel& ch = channels_[static_cast<size_t>(h.channel)];
    if (f.flags & canMSG_ERROR_FRAME) {
        if (ch.rxErr < kReceivePassiveCap)
            ++ch.rxErr;
    } else {
        if (ch.rxErr > 0 && !(extraFlags & canMSG_TXACK))
            --ch.rxErr;
        const bool ext = (f.flags & canMSG_EXT) != 0;
        const uint32_t mask = ext ? h.maskExt : h.maskStd;
        const uint32_t code = ext ? h.codeExt : h.codeStd;
        if ((f.id & mask) != (code & mask))
            return;
    }
    const bool wasEmpty = h.rx.Empty();
    const unsigned bytes = (f.flags & (canMSG_RTR | canMSG_ERROR_FRAME)) ? 0 : f.length;
    const uint32_t flags = f.flags | extraFlags | ((f.flags & canMSG_EXT) ? 0 : canMSG_STD);
    if (!h.rx.Push(f.timeNs, f.id, flags, f.length, bytes, f.data)) {
        ++h.overruns;
        h.lostFrames = true;
        return;
    }
    if (wasEmpty)
        Signal(h);
}

int VirtualBus::DeliverLocked(const BusFrame& f, int bus, long nominal, long data, int sender) {
    const uint64_t wire = WireNs(f, nominal, data);
    int receivers = 0;
    for (size_t i = 0; i < handles_.size(); ++i) {
        Handle& h = handles_[i];
        if (!Listens(h, bus, nominal, data, f.flags))
            continue;
        if (static_cast<int>(i) == sender) {
            h.wireNs += wire;
            continue;
        }
        CountSeen(h, f, wire);
        QueueLocked(h, f, 0);
        ++receivers;
    }
    if (f.flags & canMSG_RTR)
        AnswerRemoteLocked(f, bus, nominal, data);
    return receivers;
}

void VirtualBus::FlushPendingLocked(int bus) {
    for (size_t i = 0; i < handles_.size(); ++i) {
        Handle& h = handles_[i];
        if (h.pending.empty() || !h.onBus || BusOf(h) != bus)
            continue;
        Channel& ch = channels_[static_cast<size_t>(h.channel)];
        const long nominal = ch.nominal.bitrate;
        const long data = ch.data.bitrate;
        size_t sent = 0;
        for (; sent < h.pending.size(); ++sent) {
            const PendingFrame& p = h.pending[sent];
            if (!Acknowledged(static_cast<int>(i), bus, nominal, data, p.flags))
                break;
            BusFrame f{p.id, p.flags, p.length, p.data, NowNs()};
            DeliverLocked(f, bus, nominal, data, static_cast<int>(i));
            if (ch.config.txAck)
                QueueLocked(h, f, canMSG_TXACK);
            if (ch.txErr > 0)
                --ch.txErr;
        }
        h.pending.erase(h.pending.begin(), h.pending.begin() + static_cast<long>(sent));
    }
}

void VirtualBus::AnswerRemoteLocked(const BusFrame& f, int bus, long nominal, long data) {
    const int64_t answerAt = f.timeNs + static_cast<int64_t>(WireNs(f, nominal, data));
    for (NodeSource& src : sources_) {
        if (src.message < 0)
            continue;
        const MessageConfig& m = config_.messages[static_cast<size_t>(src.message)];
        if (!m.answersRemote || m.remoteRequest || m.id != f.id ||
            m.extended != ((f.flags & canMSG_EXT) != 0)) {
            continue;
        }
        const uint32_t answerFlags = (m.fd ? canFDMSG_FDF : 0) | (m.brs ? canFDMSG_BRS : 0);
        if (NodeListens(config_.nodes[static_cast<size_t>(m.node)], bus, nominal, data,
                        answerFlags)) {
            EmitMessageLocked(src, answerAt);
        }
    }
}

}  // namespace vcan

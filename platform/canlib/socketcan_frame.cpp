#include "socketcan_frame.h"

#include <linux/can/error.h>

#include <cstring>

#include "canlib.h"
#include "frame_bits.h"

namespace vcan {
namespace {

constexpr unsigned kFdLengths[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 20, 24, 32, 48, 64};

// Error classes that stand for an error frame on the wire: a protocol violation, a missing
// acknowledgement (the transmitter signals it with an error frame) or an unspecified bus error.
constexpr uint32_t kErrorFrameClasses = CAN_ERR_PROT | CAN_ERR_ACK | CAN_ERR_BUSERROR;

void DecodeError(uint32_t errorClass, const uint8_t* data, ErrorReport* report) {
    *report = ErrorReport();
    report->errorFrame = (errorClass & kErrorFrameClasses) != 0;
    if (errorClass & CAN_ERR_CRTL) {
        const uint8_t crtl = data[1];
        report->overflow = (crtl & CAN_ERR_CRTL_RX_OVERFLOW) != 0;
        if (crtl & (CAN_ERR_CRTL_RX_PASSIVE | CAN_ERR_CRTL_TX_PASSIVE)) {
            report->state = ControllerState::kPassive;
        } else if (crtl & (CAN_ERR_CRTL_RX_WARNING | CAN_ERR_CRTL_TX_WARNING)) {
            report->state = ControllerState::kWarning;
        } else if (crtl & CAN_ERR_CRTL_ACTIVE) {
            report->state = ControllerState::kActive;
        }
    }
    if (errorClass & CAN_ERR_RESTARTED)
        report->state = ControllerState::kActive;
    if (errorClass & CAN_ERR_BUSOFF)
        report->state = ControllerState::kBusOff;
    // Older drivers fill bytes 6 and 7 without saying so; only the flagged counters count.
    if (errorClass & CAN_ERR_CNT) {
        report->haveCounters = true;
        report->txErr = data[6];
        report->rxErr = data[7];
    }
}

}  // namespace

unsigned FdLengthOfCode(unsigned code) {
    return kFdLengths[code & 15];
}

int EncodeFrame(long id, const void* msg, unsigned dlc, unsigned flags, bool fdHandle,
                KernelFrame* out) {
    if ((flags & canMSG_STD) && (flags & canMSG_EXT))
        return canERR_PARAM;
    if (id < 0 || id > static_cast<long>(CAN_EFF_MASK))
        return canERR_PARAM;
    const bool extended = (flags & canMSG_EXT) != 0;
    if (!extended && id > static_cast<long>(CAN_SFF_MASK))
        return canERR_PARAM;
    if (flags & canMSG_ERROR_FRAME)
        return canERR_NOT_SUPPORTED;
    const bool fd = (flags & canFDMSG_FDF) != 0;
    const bool remote = (flags & canMSG_RTR) != 0;
    if (fd) {
        if (!fdHandle || remote || !IsValidFdLength(dlc))
            return canERR_PARAM;
    } else if ((flags & canFDMSG_BRS) || dlc > CAN_MAX_DLEN) {
        return canERR_PARAM;
    }
    const unsigned bytes = remote ? 0 : dlc;
    if (bytes > 0 && msg == nullptr)
        return canERR_PARAM;

    std::memset(&out->fd, 0, sizeof out->fd);
    canid_t canId = static_cast<canid_t>(id);
    if (extended)
        canId |= CAN_EFF_FLAG;
    if (fd) {
        out->fd.can_id = canId;
        out->fd.len = static_cast<uint8_t>(dlc);
        out->fd.flags = static_cast<uint8_t>(((flags & canFDMSG_BRS) ? CANFD_BRS : 0) |
                                             ((flags & canFDMSG_ESI) ? CANFD_ESI : 0));
        out->size = CANFD_MTU;
    } else {
        if (remote)
            canId |= CAN_RTR_FLAG;
        out->classic.can_id = canId;
        out->classic.len = static_cast<uint8_t>(dlc);
        out->size = CAN_MTU;
    }
    if (bytes)
        std::memcpy(fd ? out->fd.data : out->classic.data, msg, bytes);
    return canOK;
}

Decoded DecodeFrame(const void* bytes, size_t size, LibFrame* frame, ErrorReport* report) {
    // CAN XL frames and anything else of another size are not CAN frames of this library.
    if (size != CAN_MTU && size != CANFD_MTU)
        return Decoded::kInvalid;
    canfd_frame k{};
    std::memcpy(&k, bytes, size);
    const bool fd = size == CANFD_MTU;
    const canid_t canId = k.can_id;
    if (canId & CAN_ERR_FLAG) {
        DecodeError(canId & CAN_ERR_MASK, k.data, report);
        frame->id = 0;
        frame->flags = canMSG_ERROR_FRAME | canMSG_STD;
        frame->dlc = 0;
        return Decoded::kErrorReport;
    }
    const bool extended = (canId & CAN_EFF_FLAG) != 0;
    frame->id = canId & (extended ? CAN_EFF_MASK : CAN_SFF_MASK);
    frame->flags = extended ? canMSG_EXT : canMSG_STD;
    unsigned length = k.len;
    if (fd) {
        frame->flags |= canFDMSG_FDF;
        if (k.flags & CANFD_BRS)
            frame->flags |= canFDMSG_BRS;
        if (k.flags & CANFD_ESI)
            frame->flags |= canFDMSG_ESI;
        // A length between two DLC steps is sent as the next step; the padding reads as 0.
        if (length > CANFD_MAX_DLEN)
            length = CANFD_MAX_DLEN;
        const unsigned wire = FdLengthOfCode(FdDlcCode(length));
        std::memcpy(frame->data, k.data, length);
        std::memset(frame->data + length, 0, wire - length);
        frame->dlc = wire;
        return Decoded::kFrame;
    }
    // A classic length code above 8 (len8_dlc) still carries eight bytes.
    if (length > CAN_MAX_DLEN)
        length = CAN_MAX_DLEN;
    frame->dlc = length;
    if (canId & CAN_RTR_FLAG) {
        frame->flags |= canMSG_RTR;
    } else {
        std::memcpy(frame->data, k.data, length);
    }
    return Decoded::kFrame;
}

}  // namespace vcan

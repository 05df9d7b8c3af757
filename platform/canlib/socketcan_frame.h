// Frames of the kernel's CAN sockets (struct can_frame, struct canfd_frame) converted to and
// from the frames of the C API: identifier, message flags, length in bytes, data.
#pragma once

#include <linux/can.h>

#include <cstddef>
#include <cstdint>

namespace vcan {

// A frame as canRead hands it out.
struct LibFrame {
    uint32_t id = 0;
    uint32_t flags = 0;
    unsigned dlc = 0;  // data bytes; remote frames: the requested length
    uint8_t data[64] = {};
};

// A frame as the socket takes it: a classic frame is sent as CAN_MTU bytes, a CAN FD frame
// as CANFD_MTU bytes. The two kernel structures share their first eight bytes.
struct KernelFrame {
    union {
        can_frame classic;
        canfd_frame fd;
    };
    size_t size = 0;
};

enum class ControllerState { kUnknown, kActive, kWarning, kPassive, kBusOff };

// What one of the kernel's error messages (CAN_ERR_FLAG) tells.
struct ErrorReport {
    bool errorFrame = false;  // an error frame on the bus: protocol, acknowledgement, bus error
    bool overflow = false;    // the controller lost received frames
    ControllerState state = ControllerState::kUnknown;  // kUnknown: no change reported
    bool haveCounters = false;
    unsigned txErr = 0;
    unsigned rxErr = 0;
};

// Length of a CAN FD DLC code 0..15.
unsigned FdLengthOfCode(unsigned code);

// The kernel frame for canWrite's arguments. canERR_PARAM for a frame the handle cannot send
// (identifier out of range, length not allowed, CAN FD on a classic handle, remote CAN FD),
// canERR_NOT_SUPPORTED for an error frame, which a CAN socket cannot send.
int EncodeFrame(long id, const void* msg, unsigned dlc, unsigned flags, bool fdHandle,
                KernelFrame* out);

enum class Decoded {
    kFrame,        // a data or remote frame, in `frame`
    kErrorReport,  // an error message, in `report`; `frame` holds the error-frame record
    kInvalid,      // not a CAN frame: wrong size or a frame type the library does not read
};

// Decodes one received datagram of `size` bytes.
Decoded DecodeFrame(const void* bytes, size_t size, LibFrame* frame, ErrorReport* report);

}  // namespace vcan

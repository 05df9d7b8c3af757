// Bits a frame occupies on the wire, for bus load.
#pragma once

#include <cstdint>

namespace vcan {

enum class Stuffing {
    kWorstCase,  // the most stuff bits any content of that format can need
    kActual,     // the stuff bits this frame's content needs
};

// Bits sent at the nominal rate and, for a CAN FD frame with bit-rate switch, at the data rate.
struct WireBits {
    uint32_t nominal = 0;
    uint32_t data = 0;
};

struct FrameFormat {
    uint32_t id = 0;
    bool extended = false;
    bool remote = false;
    bool fd = false;
    bool brs = false;
    bool esi = false;
    unsigned length = 0;  // data bytes (remote: the requested length)
};

WireBits FrameWireBits(const FrameFormat& frame, const uint8_t* data, Stuffing stuffing);
WireBits ErrorFrameWireBits();
// Bits of a frame given by its identifier, message flags (canMSG_*, canFDMSG_*) and length;
// an error frame when the flags say so.
WireBits MessageWireBits(uint32_t id, uint32_t flags, unsigned length, const uint8_t* data,
                         Stuffing stuffing);
// Nanoseconds the bits take at the two rates; a rate of 0 (unknown) counts nothing.
uint64_t WireTimeNs(const WireBits& bits, long nominal, long data);

bool IsValidFdLength(unsigned length);
unsigned FdDlcCode(unsigned length);

}  // namespace vcan

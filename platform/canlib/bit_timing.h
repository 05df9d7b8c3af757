// Bus timing of one phase, checked against the controller clock.
#pragma once

namespace vcan {

// The clock of the CAN FD controllers we stand in for.
constexpr long kControllerClockHz = 80000000;

struct BitTiming {
    long bitrate = 500000;
    unsigned tseg1 = 12;
    unsigned tseg2 = 3;
    unsigned sjw = 1;
    unsigned noSamp = 1;

    bool operator==(const BitTiming&) const = default;
};

enum class Phase { kNominal, kData };

// True when the timing fits the controller: a bit of 1 + tseg1 + tseg2 time quanta at an
// integer prescaler of the clock, the segment and jump widths within the registers.
bool IsValidTiming(const BitTiming& timing, Phase phase);

// Timing of a predefined negative bit-rate code (canBITRATE_*, canFD_BITRATE_*).
bool PredefinedTiming(long code, Phase phase, bool fd, BitTiming* out);

}  // namespace vcan

#pragma once

#include <cstdint>
#include <vector>

#include "can/channel_settings.h"

// Ready-made bus timings, one per bit rate and sample point, and the bit-rate
// choices of a channel page. Plain data: the dialogs turn it into texts.
namespace bus_presets {

// Sample points 50.0 % (0) to 87.5 % (8); the labels are a string list.
inline constexpr int kSamplePointCount = 9;

struct Preset {
    BusParams params;  // sjw 1, noSamp 1, syncMode 0 throughout
    int samplePoint;   // code 0..8
};

// Which tables the preset dialog lists for a channel mode and a phase
// (0 arbitration, 1 data), in order, each in ascending sample-point code.
// Empty for a mode other than classic or CAN FD.
std::vector<Preset> PresetRows(int32_t mode, int32_t phase);

// One entry of a bit-rate list: its text (a string id) and its value.
struct BitrateChoice {
    uint32_t textId;
    int32_t bitrate;
};

// The bit-rate list of a phase: classic CAN, the arbitration phase of CAN FD
// (phase 0, mode 1) or its data phase (phase 1).
std::vector<BitrateChoice> BitrateChoices(int32_t mode, int32_t phase);

// What a bus-parameter edit holds, read as an unsigned decimal number the way
// the C library reads one: leading blanks, an optional sign, the leading
// digits (none gives 0); a minus sign wraps, overflow gives the largest value.
uint64_t ReadUnsigned(const char* text);
// The same text read as a signed decimal number; no digits give 0.
int64_t ReadSigned(const char* text);
// The same, limited to 32 bits as an int field holds it.
int32_t ReadInt(const char* text);

}  // namespace bus_presets

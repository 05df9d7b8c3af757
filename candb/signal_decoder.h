#pragma once

// Extraction and value texts of one signal from a frame's data bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "candb/candb_signal.h"

namespace candb {

// The signal's raw bits, least significant first, in its own byte order.
// False when the frame does not carry every bit of the signal.
bool ExtractRaw(const uint8_t* data, size_t bytes, int encoding, int startBit, int length,
                uint64_t& raw);

// The three texts of a decoded signal.
struct DecodedSignal {
    std::string valueText;
    std::string tableText;
};

// Decodes raw (as ExtractRaw gives it, 0 for a signal the frame does not
// carry) into the value text and the value-table text.
DecodedSignal DecodeSignal(const CandbSignal& signal, uint64_t raw);

}  // namespace candb

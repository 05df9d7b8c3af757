#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "candb/candb_enum_value.h"

// Signal modes of a multiplexed message; 0 and above is the multiplexer value
// under which a multiplexed signal is carried.
inline constexpr int32_t kCandbPlainSignal = -1;
inline constexpr int32_t kCandbMultiplexor = -2;

// One signal of a database message. Texts are UTF-8.
struct CandbSignal {
    std::string name;
    std::string comment;
    std::string unit;
    double minimum = 0;
    double maximum = 0;
    double factor = 0;  // physical = raw * factor + offset
    double offset = 0;
    int32_t encoding = 0;            // 0 Intel, 1 Motorola
    int32_t representationType = 0;  // 1 signed, 2 unsigned, 3 float, 4 double, 0 invalid
    int32_t startBit = 0;            // the least significant bit, 8 * byte + bit
    int32_t length = 0;
    int32_t mode = kCandbPlainSignal;
    std::optional<std::vector<CandbEnumValue>> enumValues;  // absent without a value table
};

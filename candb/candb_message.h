#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "candb/candb_signal.h"

// One database message. Texts are UTF-8.
struct CandbMessage {
    std::string name;
    std::string comment;
    uint32_t id = 0;  // without the extended marker
    uint32_t dlc = 0;
    uint32_t flags = 0;         // the database's flags
    uint32_t messageFlags = 0;  // the library's flags of this message (extended, CAN FD)
    std::optional<std::vector<CandbSignal>> signals;  // absent when not listed
};

#pragma once

#include <cstdint>
#include <functional>

#include "can_frame_record.h"
#include "channel_settings.h"

// What the channel manager reads from the settings at each start: the five
// channel records (CAN1..CAN5) and the bus-load threshold in percent.
struct CanConfig {
    ChannelSettings can[kChannelCount];
    uint32_t busLoadThreshold;
};

// Supplied by the owner of the settings; called on the user-interface thread.
using CanConfigProvider = std::function<CanConfig()>;

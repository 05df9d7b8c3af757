#pragma once

#include <cstdint>
#include <thread>

#include "bus_statistics.h"
#include "platform/os/event.h"

// The run-time record of one channel inside the channel manager.
struct ChannelState {
    int32_t handle = -1;  // library handle; -1 while closed
    int32_t mode = 0;     // the channel's mode setting taken at start
    int32_t active = 0;   // 1 from a successful bus-on at start until stop
    int32_t busOn = 0;    // 1 while on the bus; toggled by the bus on/off command
    std::thread txThread;
    std::thread rxThread;
    std::thread statsThread;
    // Auto-reset and created signalled, before the workers start, so that a
    // wake-up can never be lost.
    os::Event txEvent;
    os::Event statsEvent;

    // Guarded by the manager lock.
    ChannelStatistics stats{};
    BusLoadHistory history;
    // The previous statistics pass; a clear starts the rate afresh.
    uint32_t previousTime = 0;
    uint32_t previousTotal = 0;
};

#pragma once

#include <cstdint>

// Bus timing in the order of the library's bus-parameter call.
struct BusParams {
    int32_t bitrate;  // bit/s
    uint32_t tseg1;
    uint32_t tseg2;
    uint32_t sjw;
    uint32_t noSamp;
    uint32_t syncMode;  // stored, never passed on: the library always gets 0
};

inline constexpr int32_t kChannelModeCan = 0;
inline constexpr int32_t kChannelModeCanFd = 1;

// The stored configuration of one channel.
struct ChannelSettings {
    int32_t enabled;  // 0 or 1
    int32_t mode;     // 0 classic CAN, 1 CAN FD
    BusParams arbitration;
    BusParams data;  // data phase, CAN FD only
};

static_assert(sizeof(BusParams) == 24, "bus parameters keep their stored layout");
static_assert(sizeof(ChannelSettings) == 56, "channel settings keep their stored layout");

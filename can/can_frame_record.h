#pragma once

#include <cstdint>

// Message flags in the CAN library's encoding. The program tests RTR, EXT,
// FDF and BRS; the others are kept as the library reports them.
inline constexpr uint32_t kMsgRtr = 0x1;
inline constexpr uint32_t kMsgStd = 0x2;
inline constexpr uint32_t kMsgExt = 0x4;
inline constexpr uint32_t kMsgErrorFrame = 0x20;
inline constexpr uint32_t kMsgTxAck = 0x40;
inline constexpr uint32_t kFdMsgFdf = 0x10000;
inline constexpr uint32_t kFdMsgBrs = 0x20000;
inline constexpr uint32_t kFdMsgEsi = 0x40000;

inline constexpr int kChannelCount = 5;
inline constexpr uint32_t kMaxFrameBytes = 64;

inline constexpr uint8_t kDirectionTransmitted = 0;
inline constexpr uint8_t kDirectionReceived = 1;
inline constexpr uint8_t kStatusNg = 0;
inline constexpr uint8_t kStatusOk = 1;

// One received or transmitted frame, copied by value everywhere.
struct CanFrameRecord {
    uint32_t flags;      // message flags above
    uint32_t id;         // 11 or 29 bit identifier
    uint32_t dlc;        // number of data bytes, up to 64
    uint32_t timestamp;  // channel clock in microseconds, wraps at 2^32
    uint8_t data[kMaxFrameBytes];
    uint8_t channel;    // 0..4 for CAN1..CAN5
    uint8_t direction;  // 1 received, 0 transmitted
    uint8_t reserved;
    uint8_t status;  // 1 OK, 0 NG
};

static_assert(sizeof(CanFrameRecord) == 84, "the frame record keeps its layout");

// The scenario of the virtual bus: channels, simulated nodes and their messages, flood
// sources. Read from the INI file named by SORVANE_VCAN_CONFIG (keys in docs/vcan.md).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "field_generator.h"
#include "frame_bits.h"

namespace vcan {

constexpr int kMaxChannels = 32;

struct FloodConfig {
    enum class Mode { kOff, kMax, kRate };
    Mode mode = Mode::kOff;
    double rate = 0;  // frames per second (kRate)
    uint32_t id = 0x100;
    bool extended = false;
    bool fd = false;
    bool brs = false;
    unsigned length = 8;
    unsigned burst = 4096;  // frames per burst before one canERR_NOMSG (kMax)
};

struct ChannelConfig {
    bool present = true;
    int bus = 1;
    bool fdCapable = true;
    bool isVirtual = true;
    size_t rxQueue = 16384;
    size_t txQueue = 256;
    bool txAck = false;
    FloodConfig flood;
    std::string socketcan;  // a SocketCAN interface that this channel stands for; "" virtual
};

struct NodeConfig {
    std::string name;
    int bus = 1;
    long bitrate = 500000;
    long dataBitrate = 0;  // 0: a classic node
    double errorRate = 0;  // error frames per second, at random intervals
    uint32_t seed = 1;
};

struct MessageConfig {
    std::string name;
    int node = -1;  // index into nodes
    uint32_t id = 0;
    bool extended = false;
    bool fd = false;
    bool brs = false;
    bool remoteRequest = false;  // sends remote frames of this id
    bool answersRemote = false;  // sends its data frame when a remote frame asks for it
    unsigned length = 8;
    double periodMs = 0;  // 0: only on request
    double offsetMs = 0;
    uint8_t data[64] = {};
    std::vector<FieldGenerator> fields;
};

struct VcanConfig {
    int channelCount = 5;
    Stuffing stuffing = Stuffing::kWorstCase;
    std::vector<ChannelConfig> channels = std::vector<ChannelConfig>(5);
    std::vector<NodeConfig> nodes;
    std::vector<MessageConfig> messages;
    std::vector<std::string> errors;  // "origin: line N: ..." each

    // Replaces this configuration by the one in `text`; problems are collected in `errors`
    // and the offending entry (or section) is left at its default.
    void Parse(const std::string& text, const std::string& origin);
};

}  // namespace vcan

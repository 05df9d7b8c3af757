// The virtual bus scenario reader over arbitrary bytes: no crash, leak or
// hang, and whatever it accepts is a scenario the bus can run: every
// message names an existing node, fits its frame type and has generators
// that stay inside its bytes.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "vcan_config.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vcan::VcanConfig config;
    config.Parse(text, "fuzz");

    Check(config.channelCount >= 0 && config.channelCount <= vcan::kMaxChannels);
    Check(config.channels.size() == static_cast<size_t>(config.channelCount));
    for (const vcan::ChannelConfig& channel : config.channels) {
        Check(channel.flood.length <= 64);
        Check(channel.flood.mode != vcan::FloodConfig::Mode::kRate || channel.flood.rate > 0);
    }
    for (const vcan::NodeConfig& node : config.nodes) {
        Check(node.bitrate > 0);
        Check(node.errorRate >= 0);
    }
    for (vcan::MessageConfig& message : config.messages) {
        Check(message.node >= 0 && static_cast<size_t>(message.node) < config.nodes.size());
        Check(message.id <= (message.extended ? 0x1FFFFFFFu : 0x7FFu));
        Check(message.length <= (message.fd ? 64u : 8u));
        Check(!message.brs || message.fd);
        Check(message.periodMs >= 0 && message.offsetMs >= 0);
        // Generators write only the message's bytes: the guard bytes behind stay.
        uint8_t bytes[64 + 8] = {};
        for (uint8_t& b : bytes) {
            b = 0xA5;
        }
        for (int round = 0; round < 3; ++round) {
            for (vcan::FieldGenerator& generator : message.fields) {
                generator.Apply(bytes);
            }
        }
        for (size_t i = 64; i < sizeof bytes; ++i) {
            Check(bytes[i] == 0xA5);
        }
    }
    for (const std::string& error : config.errors) {
        Check(error.compare(0, 6, "fuzz: ") == 0);
    }
    return 0;
}

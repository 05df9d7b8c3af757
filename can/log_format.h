#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "can_frame_record.h"

// The text logs the program reads and writes: its own monitor log (the
// default everywhere), the candump -L log of can-utils and the ASC log of
// the analysers.
enum class LogFormat { Monitor, Candump, Asc };

// "monitor", "candump", "asc".
const char* LogFormatName(LogFormat format);
std::optional<LogFormat> LogFormatFromName(std::string_view name);
// By the file name's extension: .txt monitor, .log candump, .asc ASC (any case).
std::optional<LogFormat> LogFormatFromExtension(std::string_view path);

// One frame of a log. The record's own timestamp is the 32-bit channel clock;
// a log's times can be wider (candump holds seconds since 1970), so the time
// travels beside it in microseconds.
struct LogFrame {
    CanFrameRecord record{};
    int64_t time = 0;
};

LogFrame LogFrameOf(const CanFrameRecord& record);

// What is wrong with a frame read from a log, or null when it is a frame the
// bus can carry: an identifier in its range, a classic length up to 8, a CAN
// FD length that CAN FD has, no remote CAN FD frame, and bit-rate switch and
// error state only on CAN FD frames.
const char* FrameProblem(const CanFrameRecord& record);
// The CAN FD lengths: 0..8, 12, 16, 20, 24, 32, 48, 64.
bool IsCanFdLength(uint32_t length);
// The four-bit length code of a CAN FD length (0..8 are themselves).
uint32_t CanFdLengthCode(uint32_t length);

// Interfaces and channel numbers of another tool's log mapped onto the five
// channels. A name takes the channel its number asks for (can2 and ASC
// channel 3 ask for index 2) while that one is free, every other name the
// lowest free channel; a sixth name has none.
class ChannelAssigner {
public:
    // The channel index, or -1 when all five are taken by other names.
    int Assign(std::string_view name, int wanted);

private:
    std::string names_[kChannelCount];
    bool used_[kChannelCount] = {};
};

// The number at the end of an interface name ("can2" and "vcan2" give 2),
// or -1.
int TrailingNumber(std::string_view name);

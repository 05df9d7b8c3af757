#pragma once

// Frames for the log tests, written through a writer and read back through a
// reader, and shown as one comparable line each.

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "can/log_reader.h"
#include "can/log_writer.h"

namespace log_test {

inline std::vector<uint8_t> Bytes(size_t count, uint8_t first) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(first + i);
    }
    return bytes;
}

// dlc < 0: the number of data bytes (remote frames give their length).
inline LogFrame Frame(int64_t time, uint8_t channel, uint32_t id, uint32_t flags,
                      std::vector<uint8_t> data, uint8_t direction = kDirectionReceived,
                      int dlc = -1) {
    LogFrame f;
    f.time = time;
    f.record.timestamp = static_cast<uint32_t>(time);
    f.record.channel = channel;
    f.record.id = id;
    f.record.flags = flags;
    f.record.dlc = dlc < 0 ? static_cast<uint32_t>(data.size()) : static_cast<uint32_t>(dlc);
    if (!data.empty()) {
        std::memcpy(f.record.data, data.data(), data.size());
    }
    f.record.direction = direction;
    f.record.status = kStatusOk;
    return f;
}

// "time chN R|T ID [E R F B S] dlc DATA"; an error frame "time chN X" (the
// formats give error frames different contents).
inline std::string Show(const LogFrame& f) {
    const CanFrameRecord& r = f.record;
    std::string text = std::to_string(f.time) + " ch" + std::to_string(r.channel);
    if (r.flags & kMsgErrorFrame) {
        return text + " X";
    }
    char id[16];
    std::snprintf(id, sizeof id, "%X", r.id);
    text += std::string(r.direction ? " R " : " T ") + id + " [";
    std::string flags;
    for (const auto& [flag, name] :
         {std::pair{kMsgExt, "E"}, std::pair{kMsgRtr, "R"}, std::pair{kFdMsgFdf, "F"},
          std::pair{kFdMsgBrs, "B"}, std::pair{kFdMsgEsi, "S"}}) {
        if (r.flags & flag) {
            flags += flags.empty() ? name : std::string(" ") + name;
        }
    }
    text += flags + "] " + std::to_string(r.dlc) + " ";
    if (!(r.flags & kMsgRtr)) {
        for (uint32_t i = 0; i < r.dlc && i < kMaxFrameBytes; ++i) {
            char byte[4];
            std::snprintf(byte, sizeof byte, "%02X", r.data[i]);
            text += byte;
        }
    }
    return text;
}

inline std::string Write(LogWriter& writer, const std::vector<LogFrame>& frames) {
    std::string text;
    writer.Begin(text, frames.empty() ? nullptr : &frames.front());
    for (const LogFrame& f : frames) {
        if (!writer.Append(text, f)) {
            return text + "\n<not written: " + writer.Problem() + ">";
        }
    }
    writer.Finish(text);
    return text;
}

struct ReadResult {
    bool ok = false;
    std::string error;
    std::vector<LogFrame> frames;
    std::optional<int64_t> origin;
};

inline ReadResult Read(LogFormat format, std::string_view text) {
    ReadResult result;
    auto reader = MakeLogReader(format);
    size_t number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        LogFrame frame;
        const auto step = reader->Line(text.substr(0, end), ++number, frame);
        if (step == LogReader::Step::Error) {
            result.error = reader->Error();
            return result;
        }
        if (step == LogReader::Step::Frame) {
            result.frames.push_back(frame);
        }
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    if (!reader->Finish()) {
        result.error = reader->Error();
        return result;
    }
    result.origin = reader->Origin();
    result.ok = true;
    return result;
}

}  // namespace log_test

// The candump -L log of can-utils: "(1700000000.000001) can0 123#0102 R".
// Standard identifiers have three hex digits and extended ones eight; a
// remote frame is "#R" with its length when not 0; a CAN FD frame is "##"
// with a flags digit (1 bit-rate switch, 2 error state) before its data; an
// error frame has the error flag 20000000 in its identifier and no direction.

#include <algorithm>
#include <cstring>

#include "log_reader.h"
#include "log_text.h"
#include "log_writer.h"

namespace {

using log_text::ParseUnsigned;
using log_text::Quoted;

constexpr uint32_t kErrorFlag = 0x20000000;
// The class other tools give an error frame whose class is not known: bus error.
constexpr uint32_t kBusErrorClass = 0x80;
constexpr uint32_t kErrorFrameBytes = 8;
constexpr uint8_t kFdBrs = 0x1;
constexpr uint8_t kFdEsi = 0x2;

int HexDigit(char c) {
    const auto value = ParseUnsigned(std::string_view(&c, 1), 16, 1);
    return value ? static_cast<int>(*value) : -1;
}

class CandumpLogReader : public LogReader {
public:
    CandumpLogReader() { origin_ = 0; }

    Step Line(std::string_view line, size_t number, LogFrame& frame) override {
        line = log_text::TrimEnd(line);
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos) {
            return Step::None;
        }
        // Lines that do not start with a time stamp are no frames to canplayer either.
        if (line[start] != '(') {
            Skip(number);
            return Step::None;
        }
        const log_text::Fields f(line);
        if (f.Size() < 3 || f.Size() > 4) {
            return Fail(number, "a frame line is \"(time) interface frame\" and R or T");
        }
        const std::string_view stamp = f[0];
        const auto time = stamp.size() > 2 && stamp.back() == ')'
                              ? log_text::ParseSeconds(stamp.substr(1, stamp.size() - 2), false)
                              : std::nullopt;
        if (!time) {
            return Fail(number, "time stamp " + Quoted(stamp) + " is not (seconds)");
        }
        LogFrame out;
        out.time = *time;
        CanFrameRecord& r = out.record;
        r.timestamp = static_cast<uint32_t>(*time);
        r.status = kStatusOk;
        r.direction = kDirectionReceived;
        const int channel = channels_.Assign(f[1], TrailingNumber(f[1]));
        if (channel < 0) {
            return Fail(number,
                        "interface " + Quoted(f[1]) + " would be a sixth channel; there are five");
        }
        r.channel = static_cast<uint8_t>(channel);
        if (const char* problem = ParseFrame(f[2], r)) {
            return Fail(number, std::string(problem) + " in " + Quoted(f[2]));
        }
        if (f.Size() == 4) {
            if (f[3] != "R" && f[3] != "T") {
                return Fail(number, "direction " + Quoted(f[3]) + " is not R or T");
            }
            r.direction = f[3] == "R" ? kDirectionReceived : kDirectionTransmitted;
        }
        if (const char* problem = FrameProblem(r)) {
            return Fail(number, problem);
        }
        frame = out;
        return Step::Frame;
    }

private:
    // The frame field; a message when it cannot be read.
    static const char* ParseFrame(std::string_view text, CanFrameRecord& r) {
        const size_t hash = text.find('#');
        if (hash == std::string_view::npos) {
            return "no # after the identifier";
        }
        const std::string_view idText = text.substr(0, hash);
        const auto id = ParseUnsigned(idText, 16, 8);
        if (!id || (idText.size() != 3 && idText.size() != 8)) {
            return "the identifier is not three or eight hex digits";
        }
        if (idText.size() == 8) {
            if (*id > 0x3FFFFFFF) {
                return "identifier flags other than the error flag";
            }
            if (*id & kErrorFlag) {
                r.flags |= kMsgErrorFrame;
            } else {
                r.flags |= kMsgExt;
            }
            r.id = *id & 0x1FFFFFFF;
        } else {
            r.id = *id;
        }
        std::string_view data = text.substr(hash + 1);
        if (!data.empty() && data.front() == '#') {
            if (data.size() >= 2 && data[1] == '#') {
                return "a CAN XL frame, which Sorvane does not handle,";
            }
            const int flags = data.size() >= 2 ? HexDigit(data[1]) : -1;
            if (flags < 0) {
                return "no flags digit after ##";
            }
            r.flags |= kFdMsgFdf;
            if (flags & kFdBrs) {
                r.flags |= kFdMsgBrs;
            }
            if (flags & kFdEsi) {
                r.flags |= kFdMsgEsi;
            }
            data.remove_prefix(2);
        } else if (!data.empty() && (data.front() == 'R' || data.front() == 'r')) {
            r.flags |= kMsgRtr;
            // "R" alone, with its length, or with 8 and "_" and a raw length code 9..F.
            const std::string_view rest = data.substr(1);
            if (rest.empty()) {
                return nullptr;
            }
            const int length = HexDigit(rest[0]);
            const bool rawCode =
                rest.size() == 3 && length == 8 && rest[1] == '_' && HexDigit(rest[2]) >= 9;
            if (length < 0 || length > 8 || (rest.size() != 1 && !rawCode)) {
                return "a remote length that is not 0 to 8";
            }
            r.dlc = static_cast<uint32_t>(length);
            return nullptr;
        }
        uint32_t count = 0;
        for (size_t i = 0; i < data.size();) {
            if (data[i] == '.') {
                ++i;  // can-utils allows dots between bytes
                continue;
            }
            if (data[i] == '_' && count == 8 && !(r.flags & kFdMsgFdf) && i + 2 == data.size() &&
                HexDigit(data[i + 1]) >= 9) {
                break;  // a classic frame's raw length code 9..F: still eight bytes
            }
            const int high = HexDigit(data[i]);
            const int low = i + 1 < data.size() ? HexDigit(data[i + 1]) : -1;
            if (high < 0 || low < 0) {
                return "data that are not hex byte pairs";
            }
            if (count == kMaxFrameBytes) {
                return "more than 64 data bytes";
            }
            r.data[count++] = static_cast<uint8_t>(high << 4 | low);
            i += 2;
        }
        r.dlc = count;
        return nullptr;
    }

    ChannelAssigner channels_;
};

}  // namespace

std::unique_ptr<LogReader> MakeCandumpLogReader() {
    return std::make_unique<CandumpLogReader>();
}

void log_lines::AppendCandump(std::string& out, const LogFrame& frame) {
    const CanFrameRecord& r = frame.record;
    out += '(';
    log_text::AppendSeconds(out, frame.time, 10, '0');
    out += ") can";
    log_text::AppendNumber(out, r.channel, 10, 0, ' ');
    out += ' ';
    const uint32_t bytes = std::min<uint32_t>(r.dlc, kMaxFrameBytes);
    if (r.flags & kMsgErrorFrame) {
        // An error frame of unknown class (from the CAN library or an ASC
        // log) is written as the bus error other tools write.
        const bool unknown = (r.id & 0x1FFFFFFF) == 0 && bytes == 0;
        log_text::AppendNumber(out, kErrorFlag | (unknown ? kBusErrorClass : (r.id & 0x1FFFFFFF)),
                               16, 8, '0');
        out += '#';
        for (uint32_t i = 0; i < (unknown ? kErrorFrameBytes : bytes); ++i) {
            log_text::AppendHexByte(out, unknown ? 0 : r.data[i]);
        }
        return;
    }
    if (r.flags & kMsgExt) {
        log_text::AppendNumber(out, r.id & 0x1FFFFFFF, 16, 8, '0');
    } else {
        log_text::AppendNumber(out, r.id & 0x7FF, 16, 3, '0');
    }
    out += '#';
    if (r.flags & kFdMsgFdf) {
        out += '#';
        const uint32_t flags =
            ((r.flags & kFdMsgBrs) ? kFdBrs : 0) | ((r.flags & kFdMsgEsi) ? kFdEsi : 0);
        log_text::AppendNumber(out, flags, 16, 1, '0');
    } else if (r.flags & kMsgRtr) {
        out += 'R';
        if (r.dlc > 0 && r.dlc <= 8) {
            log_text::AppendNumber(out, r.dlc, 16, 1, '0');
        }
    }
    if (!(r.flags & kMsgRtr) || (r.flags & kFdMsgFdf)) {
        for (uint32_t i = 0; i < bytes; ++i) {
            log_text::AppendHexByte(out, r.data[i]);
        }
    }
    out += r.direction != 0 ? " R" : " T";
}

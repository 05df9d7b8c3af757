// The program's own monitor log, both the live form and the saved form with
// its column header: " %d    %08X  %-5s %2X%-32s  %13s %s", and for CAN FD
// frames of more than eight bytes continuation rows of 24 blanks and the
// next bytes.

#include <algorithm>
#include <cstring>

#include "frame_text.h"
#include "log_reader.h"
#include "log_text.h"

namespace {

using log_text::Fields;
using log_text::ParseUnsigned;
using log_text::Quoted;

// The type column: the letters R, E, F, B, each at most once, in this order.
bool ParseType(std::string_view text, uint32_t* flags) {
    static constexpr struct {
        char letter;
        uint32_t flag;
    } kLetters[] = {{'R', kMsgRtr}, {'E', kMsgExt}, {'F', kFdMsgFdf}, {'B', kFdMsgBrs}};
    size_t next = 0;
    *flags = 0;
    for (const char c : text) {
        while (next < 4 && kLetters[next].letter != c) {
            ++next;
        }
        if (next == 4) {
            return false;
        }
        *flags |= kLetters[next++].flag;
    }
    return !text.empty();
}

class MonitorLogReader : public LogReader {
public:
    Step Line(std::string_view line, size_t number, LogFrame& frame) override {
        line = log_text::TrimEnd(line);
        if (line.empty() || line == kMonitorHeaderText) {
            return Step::None;
        }
        if (pendingLine_ != 0) {
            return Continuation(line, number, frame);
        }
        return FirstRow(line, number, frame);
    }

    bool Finish() override {
        if (pendingLine_ != 0) {
            Fail(pendingLine_, "the frame ends before its last data row");
            return false;
        }
        return true;
    }

private:
    Step FirstRow(std::string_view line, size_t number, LogFrame& frame) {
        if (line.size() > 24 && line.find_first_not_of(' ') >= 24) {
            return Fail(number, "a data row without the frame it belongs to");
        }
        const Fields f(line);
        size_t i = 0;
        const auto channel = ParseUnsigned(f[i], 10, 1);
        if (!channel || *channel >= kChannelCount) {
            return Fail(number, "channel " + Quoted(f[i]) + " is not 0 to 4");
        }
        ++i;
        const auto id = f[i].size() == 8 ? ParseUnsigned(f[i], 16, 8) : std::nullopt;
        if (!id) {
            return Fail(number, "identifier " + Quoted(f[i]) + " is not eight hex digits");
        }
        ++i;
        CanFrameRecord& r = pending_.record;
        r = CanFrameRecord{};
        // A length is one or two hex digits and never only R, E, F and B
        // letters that a type could be: lengths 11, 14 and 15 do not exist.
        if (ParseType(f[i], &r.flags) && f.Size() > i + 1 && ParseUnsigned(f[i + 1], 16, 2)) {
            ++i;
        } else {
            r.flags = 0;
        }
        const auto length = ParseUnsigned(f[i], 16, 2);
        if (!length || *length > kMaxFrameBytes) {
            return Fail(number, "length " + Quoted(f[i]) + " is not 0 to 40 hex");
        }
        ++i;
        r.channel = static_cast<uint8_t>(*channel);
        r.id = *id;
        r.dlc = *length;
        // A length of 0 shows one 00 in the data column.
        const uint32_t shown = r.dlc == 0 ? 1 : (r.dlc < 8 ? r.dlc : 8);
        for (uint32_t b = 0; b < shown; ++b, ++i) {
            const auto byte = f[i].size() == 2 ? ParseUnsigned(f[i], 16, 2) : std::nullopt;
            if (!byte) {
                return Fail(number, "data byte " + std::to_string(b + 1) + " " + Quoted(f[i]) +
                                        " is not two hex digits");
            }
            if (r.dlc > 0) {
                r.data[b] = static_cast<uint8_t>(*byte);
            }
        }
        const auto time = log_text::ParseSeconds(f[i], false);
        if (!time) {
            return Fail(number, "time " + Quoted(f[i]) + " is not seconds");
        }
        pending_.time = *time;
        r.timestamp = static_cast<uint32_t>(*time);
        ++i;
        if (f[i] != "R" && f[i] != "T") {
            return Fail(number, "direction " + Quoted(f[i]) + " is not R or T");
        }
        r.direction = f[i] == "R" ? kDirectionReceived : kDirectionTransmitted;
        r.status = kStatusOk;
        if (f.Size() != i + 1) {
            return Fail(number, "more fields than a frame has: " + Quoted(f[i + 1]));
        }
        if (const char* problem = FrameProblem(r)) {
            return Fail(number, problem);
        }
        if (r.dlc > 8) {
            pendingLine_ = number;
            filled_ = 8;
            return Step::None;
        }
        return Done(frame);
    }

    Step Continuation(std::string_view line, size_t number, LogFrame& frame) {
        if (line.find_first_not_of(' ') < 24) {
            return Fail(pendingLine_, "the frame ends before its last data row");
        }
        const Fields f(line);
        const uint32_t wanted = std::min<uint32_t>(pending_.record.dlc - filled_, 8);
        if (f.Size() != wanted) {
            return Fail(number, "a data row of " + std::to_string(f.Size()) + " bytes where " +
                                    std::to_string(wanted) + " belong");
        }
        for (uint32_t b = 0; b < wanted; ++b) {
            const auto byte = f[b].size() == 2 ? ParseUnsigned(f[b], 16, 2) : std::nullopt;
            if (!byte) {
                return Fail(number, "data byte " + Quoted(f[b]) + " is not two hex digits");
            }
            pending_.record.data[filled_++] = static_cast<uint8_t>(*byte);
        }
        if (filled_ < pending_.record.dlc) {
            return Step::None;
        }
        pendingLine_ = 0;
        return Done(frame);
    }

    Step Done(LogFrame& frame) {
        // A remote frame carries no data; the column shows what the record held.
        if (pending_.record.flags & kMsgRtr) {
            std::memset(pending_.record.data, 0, sizeof pending_.record.data);
        }
        frame = pending_;
        return Step::Frame;
    }

    LogFrame pending_;
    size_t pendingLine_ = 0;  // first row of a frame still waiting for data rows
    uint32_t filled_ = 0;
};

}  // namespace

std::unique_ptr<LogReader> MakeMonitorLogReader() {
    return std::make_unique<MonitorLogReader>();
}

// The ASC log of the analysers. A head of "date", "base hex|dec timestamps
// absolute|relative" and "internal events logged" lines, then one event a
// line, each starting with its time in seconds:
//   1.500000 1  123             Rx   d 3 01 02 03
//   1.600000 2  18DAF110x       Tx   r 4
//   1.700000 CANFD   1 Rx        456  1 0 9 12 00 01 ... 0B  0    0     3000 0 0 0 0 0
//   1.800000 1  ErrorFrame
// Channels count from 1. Events other than frames (statistics, chip states,
// comments, start of measurement) are passed over.

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "log_reader.h"
#include "log_text.h"
#include "log_writer.h"

namespace {

using log_text::EqualsIgnoringCase;
using log_text::Fields;
using log_text::ParseUnsigned;
using log_text::Quoted;

// Flags of a CANFD line.
constexpr uint32_t kAscRemote = 0x10;
constexpr uint32_t kAscEdl = 0x1000;
constexpr uint32_t kAscBrs = 0x2000;
constexpr uint32_t kAscEsi = 0x4000;

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int MonthOf(std::string_view name) {
    for (int m = 0; m < 12; ++m) {
        if (EqualsIgnoringCase(name, kMonths[m])) {
            return m;
        }
    }
    // German analysers write these four differently.
    static constexpr struct {
        const char* name;
        int month;
    } kGerman[] = {{"M\xC3\xA4r", 2}, {"Mrz", 2}, {"Mai", 4}, {"Okt", 9}, {"Dez", 11}};
    for (const auto& g : kGerman) {
        if (EqualsIgnoringCase(name, g.name)) {
            return g.month;
        }
    }
    return -1;
}

bool IsBit(std::string_view field) {
    return field == "0" || field == "1";
}

class AscLogReader : public LogReader {
public:
    Step Line(std::string_view line, size_t number, LogFrame& frame) override {
        line = log_text::TrimEnd(line);
        const Fields f(line);
        if (f.Size() == 0) {
            return Step::None;
        }
        if (!anyLine_) {
            anyLine_ = true;
            firstLine_ = number;
        }
        if (f[0].substr(0, 2) == "//") {
            return Step::None;
        }
        if (EqualsIgnoringCase(f[0], "date")) {
            ascSeen_ = true;
            ReadDate(f.Size() > 1 ? line.substr(static_cast<size_t>(f[1].data() - line.data()))
                                  : std::string_view(),
                     number);
            return Step::None;
        }
        if (EqualsIgnoringCase(f[0], "base")) {
            return Base(f, number);
        }
        if ((EqualsIgnoringCase(f[0], "internal") && EqualsIgnoringCase(f[1], "events")) ||
            (EqualsIgnoringCase(f[0], "no") && EqualsIgnoringCase(f[1], "internal"))) {
            ascSeen_ = true;
            return Step::None;
        }
        if ((EqualsIgnoringCase(f[0], "begin") || EqualsIgnoringCase(f[0], "end")) &&
            EqualsIgnoringCase(f[1], "triggerblock")) {
            ascSeen_ = true;
            if (!origin_ && EqualsIgnoringCase(f[0], "begin") && f.Size() > 2) {
                ReadDate(line.substr(static_cast<size_t>(f[2].data() - line.data())), number);
            }
            return Step::None;
        }
        const auto time = log_text::ParseSeconds(f[0], true);
        if (!time) {
            Skip(number);
            return Step::None;
        }
        // Relative time stamps count from the event before.
        lastTime_ = relative_ ? lastTime_ + *time : *time;
        if (lastTime_ > log_text::kLatest || lastTime_ < -log_text::kLatest) {
            return Fail(number, "time stamps that add up past the year 2286");
        }
        if (EqualsIgnoringCase(f[1], "CANFD")) {
            return FdFrame(f, number, frame);
        }
        if (EqualsIgnoringCase(f[1], "Start") && EqualsIgnoringCase(f[2], "of")) {
            return Step::None;  // the start of measurement every analyser writes
        }
        if (!ParseUnsigned(f[1], 10, 3)) {
            Skip(number);
            return Step::None;
        }
        if (EqualsIgnoringCase(f[2], "ErrorFrame")) {
            return ErrorFrame(f[1], kDirectionReceived, number, frame);
        }
        if (f[3] != "Rx" && f[3] != "Tx") {
            Skip(number);  // statistics, chip states, transmit requests
            return Step::None;
        }
        return ClassicFrame(f, number, frame);
    }

    bool Finish() override {
        if (anyLine_ && !ascSeen_) {
            Fail(firstLine_, "not an ASC log: no date, base or frame line");
            return false;
        }
        return true;
    }

private:
    void ReadDate(std::string_view text, size_t number) {
        const std::optional<int64_t> date = log_lines::ParseAscDate(text);
        if (date) {
            origin_ = date;
            remark_.clear();
        } else {
            remark_ = "line " + std::to_string(number) + ": date " +
                      Quoted(log_text::TrimEnd(text)) +
                      " not understood; the times are kept as they stand";
        }
    }

    Step Base(const Fields& f, size_t number) {
        ascSeen_ = true;
        if (EqualsIgnoringCase(f[1], "hex")) {
            base_ = 16;
        } else if (EqualsIgnoringCase(f[1], "dec")) {
            base_ = 10;
        } else {
            return Fail(number, "base " + Quoted(f[1]) + " is not hex or dec");
        }
        if (EqualsIgnoringCase(f[2], "timestamps")) {
            if (EqualsIgnoringCase(f[3], "relative")) {
                relative_ = true;
            } else if (!EqualsIgnoringCase(f[3], "absolute")) {
                return Fail(number,
                            "time stamps " + Quoted(f[3]) + " are not absolute or relative");
            }
        }
        return Step::None;
    }

    // Starts a frame of ASC channel text; false when it is no channel or a sixth one.
    bool Begin(std::string_view channelText, uint8_t direction, size_t number, LogFrame& out) {
        const auto channel = ParseUnsigned(channelText, 10, 3);
        if (!channel || *channel == 0) {
            Fail(number, "channel " + Quoted(channelText) + " is not a number from 1");
            return false;
        }
        const int index = channels_.Assign(channelText, static_cast<int>(*channel) - 1);
        if (index < 0) {
            Fail(number,
                 "channel " + Quoted(channelText) + " would be a sixth channel; there are five");
            return false;
        }
        out = LogFrame{};
        out.time = lastTime_;
        out.record.timestamp = static_cast<uint32_t>(lastTime_);
        out.record.channel = static_cast<uint8_t>(index);
        out.record.direction = direction;
        out.record.status = kStatusOk;
        ascSeen_ = true;
        return true;
    }

    Step ErrorFrame(std::string_view channel, uint8_t direction, size_t number, LogFrame& frame) {
        LogFrame out;
        if (!Begin(channel, direction, number, out)) {
            return Step::Error;
        }
        out.record.flags = kMsgErrorFrame;
        frame = out;
        return Step::Frame;
    }

    // The identifier, with "x" after an extended one.
    bool Identifier(std::string_view text, CanFrameRecord& r, size_t number) {
        if (!text.empty() && (text.back() == 'x' || text.back() == 'X')) {
            r.flags |= kMsgExt;
            text.remove_suffix(1);
        }
        const auto id = ParseUnsigned(text, base_, base_ == 16 ? 8 : 10);
        if (!id) {
            Fail(number, "identifier " + Quoted(text) + " is not a number");
            return false;
        }
        r.id = *id;
        return true;
    }

    // count data bytes from field first on.
    bool Bytes(const Fields& f, size_t first, uint32_t count, CanFrameRecord& r, size_t number) {
        for (uint32_t i = 0; i < count; ++i) {
            const auto byte = ParseUnsigned(f[first + i], base_, base_ == 16 ? 2 : 3);
            if (!byte || *byte > 0xFF) {
                Fail(number, "data byte " + std::to_string(i + 1) + " " + Quoted(f[first + i]) +
                                 " is not a byte");
                return false;
            }
            r.data[i] = static_cast<uint8_t>(*byte);
        }
        r.dlc = count;
        return true;
    }

    Step Checked(LogFrame& out, size_t number, LogFrame& frame) {
        if (const char* problem = FrameProblem(out.record)) {
            return Fail(number, problem);
        }
        frame = out;
        return Step::Frame;
    }

    // time channel id Rx|Tx d length bytes... | r [length], maybe more words after.
    Step ClassicFrame(const Fields& f, size_t number, LogFrame& frame) {
        LogFrame out;
        if (!Begin(f[1], f[3] == "Rx" ? kDirectionReceived : kDirectionTransmitted, number, out) ||
            !Identifier(f[2], out.record, number)) {
            return Step::Error;
        }
        if (f[4] == "r" || f[4] == "R") {
            out.record.flags |= kMsgRtr;
            const auto length = ParseUnsigned(f[5], 16, 1);
            out.record.dlc = length && *length <= 8 ? *length : 0;
            return Checked(out, number, frame);
        }
        if (f[4] != "d" && f[4] != "D") {
            return Fail(number, "frame kind " + Quoted(f[4]) + " is not d or r");
        }
        const auto code = ParseUnsigned(f[5], 16, 1);
        if (!code) {
            return Fail(number, "length " + Quoted(f[5]) + " is not 0 to F");
        }
        // Codes 9..F of a classic frame still mean eight bytes.
        if (!Bytes(f, 6, std::min<uint32_t>(*code, 8), out.record, number)) {
            return Step::Error;
        }
        return Checked(out, number, frame);
    }

    // time CANFD channel Rx|Tx id [name] brs esi code length bytes... duration
    // bits flags crc timings..., or time CANFD channel Rx|Tx ErrorFrame ...
    Step FdFrame(const Fields& f, size_t number, LogFrame& frame) {
        if (f[3] != "Rx" && f[3] != "Tx") {
            Skip(number);
            return Step::None;
        }
        const uint8_t direction = f[3] == "Rx" ? kDirectionReceived : kDirectionTransmitted;
        if (EqualsIgnoringCase(f[4], "ErrorFrame")) {
            return ErrorFrame(f[2], direction, number, frame);
        }
        LogFrame out;
        if (!Begin(f[2], direction, number, out) || !Identifier(f[4], out.record, number)) {
            return Step::Error;
        }
        size_t k = 5;
        if (!(IsBit(f[k]) && IsBit(f[k + 1]))) {
            ++k;  // a symbolic name
        }
        if (!IsBit(f[k]) || !IsBit(f[k + 1])) {
            return Fail(number, "bit-rate switch and error state " + Quoted(f[k]) + " " +
                                    Quoted(f[k + 1]) + " are not 0 or 1");
        }
        const bool brs = f[k] == "1";
        const bool esi = f[k + 1] == "1";
        const auto code = ParseUnsigned(f[k + 2], 16, 1);
        const auto length = ParseUnsigned(f[k + 3], 10, 2);
        if (!code || !length || *length > kMaxFrameBytes) {
            return Fail(number, "length code and length " + Quoted(f[k + 2]) + " " +
                                    Quoted(f[k + 3]) + " are not 0 to F and 0 to 64");
        }
        if (!Bytes(f, k + 4, *length, out.record, number)) {
            return Step::Error;
        }
        // Without the flags a CANFD line is a CAN FD frame; with them a line
        // without the EDL flag is a classic frame written the CAN FD way.
        const size_t flagsAt = k + 4 + *length + 2;
        const auto flags = f.Size() > flagsAt ? ParseUnsigned(f[flagsAt], 16, 8) : std::nullopt;
        if (flags && !(*flags & kAscEdl)) {
            if (*flags & kAscRemote) {
                out.record.flags |= kMsgRtr;
                out.record.dlc = std::min<uint32_t>(*code, 8);
            }
        } else {
            out.record.flags |= kFdMsgFdf;
        }
        if (brs) {
            out.record.flags |= kFdMsgBrs;
        }
        if (esi) {
            out.record.flags |= kFdMsgEsi;
        }
        return Checked(out, number, frame);
    }

    unsigned base_ = 16;
    bool relative_ = false;
    int64_t lastTime_ = 0;
    bool anyLine_ = false;
    bool ascSeen_ = false;
    size_t firstLine_ = 0;
    ChannelAssigner channels_;
};

void AppendPadded(std::string& out, std::string_view text, size_t width, bool left) {
    if (!left && text.size() < width) {
        out.append(width - text.size(), ' ');
    }
    out += text;
    if (left && text.size() < width) {
        out.append(width - text.size(), ' ');
    }
}

}  // namespace

std::unique_ptr<LogReader> MakeAscLogReader() {
    return std::make_unique<AscLogReader>();
}

std::string log_lines::AscDate(int64_t date) {
    const int64_t seconds = date >= 0 ? date / 1000000 : -((-date + 999999) / 1000000);
    const time_t t = static_cast<time_t>(seconds);
    struct tm local {};
    localtime_r(&t, &local);
    const int hour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    char text[64];
    std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d.%03d %s %d",
                  kWeekdays[local.tm_wday % 7], kMonths[local.tm_mon % 12], local.tm_mday, hour12,
                  local.tm_min, local.tm_sec, static_cast<int>((date - seconds * 1000000) / 1000),
                  local.tm_hour < 12 ? "am" : "pm", local.tm_year + 1900);
    return text;
}

std::optional<int64_t> log_lines::ParseAscDate(std::string_view text) {
    // [weekday] month day hh:mm:ss[.fraction] [am|pm] year
    const Fields f(text);
    size_t i = MonthOf(f[0]) >= 0 ? 0 : 1;
    const int month = MonthOf(f[i]);
    const auto day = ParseUnsigned(f[i + 1], 10, 2);
    const std::string_view clock = f[i + 2];
    if (month < 0 || !day || *day < 1 || *day > 31 || clock.size() < 8 || clock[2] != ':' ||
        clock[5] != ':') {
        return std::nullopt;
    }
    const auto hour = ParseUnsigned(clock.substr(0, 2), 10, 2);
    const auto minute = ParseUnsigned(clock.substr(3, 2), 10, 2);
    const auto second = log_text::ParseSeconds(clock.substr(6), false);
    i += 3;
    int hours = hour ? static_cast<int>(*hour) : -1;
    if (EqualsIgnoringCase(f[i], "am") || EqualsIgnoringCase(f[i], "pm")) {
        if (hours < 1 || hours > 12) {
            return std::nullopt;
        }
        hours = hours % 12 + (EqualsIgnoringCase(f[i], "pm") ? 12 : 0);
        ++i;
    }
    const auto year = ParseUnsigned(f[i], 10, 4);
    if (hours < 0 || hours > 23 || !minute || *minute > 59 || !second || *second >= 61000000 ||
        !year || *year < 1900 || f.Size() != i + 1) {
        return std::nullopt;
    }
    struct tm local {};
    local.tm_year = static_cast<int>(*year) - 1900;
    local.tm_mon = month;
    local.tm_mday = static_cast<int>(*day);
    local.tm_hour = hours;
    local.tm_min = static_cast<int>(*minute);
    local.tm_sec = static_cast<int>(*second / 1000000);
    local.tm_isdst = -1;
    local.tm_yday = -1;  // mktime sets it when it succeeds, also for the time -1
    const time_t t = mktime(&local);
    if (t == static_cast<time_t>(-1) && local.tm_yday < 0) {
        return std::nullopt;
    }
    return static_cast<int64_t>(t) * 1000000 + *second % 1000000;
}

void log_lines::AppendAscHead(std::string& out, int64_t date) {
    const std::string when = AscDate(date);
    out += "date " + when + "\r\n";
    out += "base hex  timestamps absolute\r\n";
    out += "internal events logged\r\n";
    out += "Begin Triggerblock " + when + "\r\n";
    out += "   0.000000 Start of measurement\r\n";
}

void log_lines::AppendAsc(std::string& out, const CanFrameRecord& r, int64_t time) {
    log_text::AppendSeconds(out, time, 4, ' ');
    out += ' ';
    const uint32_t channel = r.channel + 1u;
    if (r.flags & kMsgErrorFrame) {
        log_text::AppendNumber(out, channel, 10, 0, ' ');
        out += "  ErrorFrame";
        return;
    }
    std::string id;
    log_text::AppendNumber(id, r.flags & kMsgExt ? (r.id & 0x1FFFFFFF) : (r.id & 0x7FF), 16, 0,
                           ' ');
    if (r.flags & kMsgExt) {
        id += 'x';
    }
    const char* direction = r.direction != 0 ? "Rx" : "Tx";
    const uint32_t bytes = std::min<uint32_t>(r.dlc, kMaxFrameBytes);
    if (r.flags & kFdMsgFdf) {
        out += "CANFD ";
        log_text::AppendNumber(out, channel, 10, 3, ' ');
        out += ' ';
        AppendPadded(out, direction, 4, true);
        out += ' ';
        AppendPadded(out, id, 9, false);
        out.append(34, ' ');  // no symbolic name
        out += (r.flags & kFdMsgBrs) ? '1' : '0';
        out += ' ';
        out += (r.flags & kFdMsgEsi) ? '1' : '0';
        out += ' ';
        log_text::AppendNumber(out, CanFdLengthCode(bytes), 16, 0, ' ');
        out += ' ';
        log_text::AppendNumber(out, bytes, 10, 2, ' ');
        for (uint32_t i = 0; i < bytes; ++i) {
            out += ' ';
            log_text::AppendHexByte(out, r.data[i]);
        }
        // Duration and bit count are not known; the flags say CAN FD.
        const uint32_t flags =
            kAscEdl | ((r.flags & kFdMsgBrs) ? kAscBrs : 0) | ((r.flags & kFdMsgEsi) ? kAscEsi : 0);
        out += "        0    0 ";
        log_text::AppendNumber(out, flags, 16, 8, ' ');
        out += "        0        0        0        0        0";
        return;
    }
    log_text::AppendNumber(out, channel, 10, 0, ' ');
    out += "  ";
    AppendPadded(out, id, 15, true);
    out += ' ';
    AppendPadded(out, direction, 4, true);
    out += ' ';
    if (r.flags & kMsgRtr) {
        out += "r ";
        log_text::AppendNumber(out, std::min<uint32_t>(r.dlc, 8), 16, 0, ' ');
        return;
    }
    out += "d ";
    log_text::AppendNumber(out, std::min<uint32_t>(bytes, 8), 16, 0, ' ');
    for (uint32_t i = 0; i < std::min<uint32_t>(bytes, 8); ++i) {
        out += ' ';
        log_text::AppendHexByte(out, r.data[i]);
    }
}

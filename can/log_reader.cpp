#include "log_reader.h"

#include "frame_text.h"
#include "log_text.h"

LogReader::Step LogReader::Fail(size_t number, std::string_view what) {
    error_ = "line " + std::to_string(number) + ": " + std::string(what);
    return Step::Error;
}

void LogReader::Skip(size_t number) {
    if (skipped_++ == 0) {
        firstSkipped_ = number;
    }
}

std::unique_ptr<LogReader> MakeLogReader(LogFormat format) {
    switch (format) {
        case LogFormat::Candump:
            return MakeCandumpLogReader();
        case LogFormat::Asc:
            return MakeAscLogReader();
        case LogFormat::Monitor:
            break;
    }
    return MakeMonitorLogReader();
}

namespace {

using log_text::EqualsIgnoringCase;

// What one line says about its format, if anything.
std::optional<LogFormat> FormatOfLine(std::string_view line) {
    line = log_text::TrimEnd(line);
    if (line == kMonitorHeaderText) {
        return LogFormat::Monitor;
    }
    const log_text::Fields f(line);
    if (f.Size() == 0) {
        return std::nullopt;
    }
    // "(1700000000.000001) can0 123#..."
    if (f[0].size() > 2 && f[0].front() == '(' && f[0].back() == ')' &&
        log_text::ParseSeconds(f[0].substr(1, f[0].size() - 2), false) &&
        f[2].find('#') != std::string_view::npos) {
        return LogFormat::Candump;
    }
    if (EqualsIgnoringCase(f[0], "date") || EqualsIgnoringCase(f[0], "base") ||
        (EqualsIgnoringCase(f[0], "begin") && EqualsIgnoringCase(f[1], "triggerblock")) ||
        (EqualsIgnoringCase(f[0], "internal") && EqualsIgnoringCase(f[1], "events")) ||
        (EqualsIgnoringCase(f[0], "no") && EqualsIgnoringCase(f[1], "internal"))) {
        return LogFormat::Asc;
    }
    // " 0    00000123  ..." : one blank, the channel, four blanks, eight hex digits.
    if (line.size() > 14 && line[0] == ' ' && line[1] >= '0' && line[1] <= '9' &&
        line.substr(2, 4) == "    " && f[1].size() == 8 && log_text::ParseUnsigned(f[1], 16, 8)) {
        return LogFormat::Monitor;
    }
    // "   1.500000 1  123  Rx   d ..." or "   1.5 CANFD ..."
    if (log_text::ParseSeconds(f[0], false) &&
        (EqualsIgnoringCase(f[1], "CANFD") ||
         (log_text::ParseUnsigned(f[1], 10, 3) &&
          (EqualsIgnoringCase(f[2], "ErrorFrame") || f[3] == "Rx" || f[3] == "Tx")))) {
        return LogFormat::Asc;
    }
    return std::nullopt;
}

}  // namespace

std::optional<LogFormat> GuessLogFormat(std::string_view head) {
    // The first lines that tell decide; a comment or blank line tells nothing.
    size_t lines = 0;
    while (!head.empty() && lines < 50) {
        const size_t end = head.find('\n');
        const std::string_view line = head.substr(0, end);
        if (const auto format = FormatOfLine(line)) {
            return format;
        }
        if (end == std::string_view::npos) {
            break;
        }
        head.remove_prefix(end + 1);
        ++lines;
    }
    return std::nullopt;
}

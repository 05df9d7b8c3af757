#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "log_format.h"

// Writes frames as the text of one log format into a caller's buffer; the
// caller hands the buffer to a file. The monitor log's lines end in CR LF,
// candump's in LF (as can-utils writes them), ASC's in CR LF (as the
// analysers write them).
class LogWriter {
public:
    struct Options {
        // The monitor log's column header first (the saved form); the live
        // log has none.
        bool monitorHeader = true;
        // Where the frames' times count from (LogReader::Origin): an ASC log
        // keeps a known date (to the millisecond); for wall-clock times it takes the first frame's
        // second; for the channel clock the date of writing.
        std::optional<int64_t> origin;
        // Now, in microseconds since 1970.
        int64_t now = 0;
    };

    LogWriter(LogFormat format, const Options& options);

    LogFormat Format() const { return format_; }
    // The head of the log (ASC's date and base lines, the monitor header),
    // once; Append writes it before the first frame when not yet written.
    void Begin(std::string& out, const LogFrame* first = nullptr);
    // The frame's text. False, with Problem(), when this format cannot hold
    // the frame's time. Frames the format has no form for are counted, not
    // written: error frames in the monitor log.
    bool Append(std::string& out, const LogFrame& frame);
    // The end of the log (ASC's end of the trigger block), after the head when
    // no frame came.
    void Finish(std::string& out);

    const char* Problem() const { return problem_; }
    // Error frames left out, and frames whose error state was not kept (the
    // monitor log shows neither).
    size_t ErrorFramesLeftOut() const { return errorFramesLeftOut_; }
    size_t ErrorStatesLeftOut() const { return errorStatesLeftOut_; }

private:
    LogFormat format_;
    Options options_;
    bool begun_ = false;
    // ASC: the date the times count from, and what to subtract from a frame's time.
    int64_t date_ = 0;
    int64_t shift_ = 0;
    const char* problem_ = nullptr;
    size_t errorFramesLeftOut_ = 0;
    size_t errorStatesLeftOut_ = 0;
};

// The per-format line pieces, also used by the live log.
namespace log_lines {
// candump -L: "(seconds.micro) canN ID#DATA R|T", no line end.
void AppendCandump(std::string& out, const LogFrame& frame);
// One ASC event line without its line end; time relative to the date.
void AppendAsc(std::string& out, const CanFrameRecord& record, int64_t time);
// ASC's head for a date (microseconds since 1970, shown in local time).
void AppendAscHead(std::string& out, int64_t date);
inline constexpr const char kAscEnd[] = "End TriggerBlock";
// "Tue Nov 14 10:13:20.000 pm 2023" in local time, as the analysers write it.
std::string AscDate(int64_t date);
// Microseconds since 1970 of an ASC date text (after the word "date" or
// "Begin Triggerblock"), read as local time; nothing when it is not one.
std::optional<int64_t> ParseAscDate(std::string_view text);
}  // namespace log_lines

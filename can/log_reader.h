#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "log_format.h"

// Reads one log format line by line. A frame may take more than one line
// (the monitor log's CAN FD continuation rows): it is handed out at the line
// that completes it. The first line that cannot be read ends the reading with
// a message naming it.
class LogReader {
public:
    enum class Step { None, Frame, Error };

    virtual ~LogReader() = default;
    // line without its line end; number counts from 1.
    virtual Step Line(std::string_view line, size_t number, LogFrame& frame) = 0;
    // After the last line; false when the log ends inside a frame.
    virtual bool Finish() { return true; }

    // "line N: what is wrong" after an Error step.
    const std::string& Error() const { return error_; }
    // Where the times count from, in microseconds since 1970: 0 for candump
    // (its times are wall-clock times), the date of an ASC log, nothing for
    // the monitor log (the channel clock).
    std::optional<int64_t> Origin() const { return origin_; }
    // Lines that hold no frame and were passed over (comments, other events).
    size_t Skipped() const { return skipped_; }
    // The first of them, for the report; 0 when none.
    size_t FirstSkipped() const { return firstSkipped_; }
    // A remark on the log as a whole, empty when none (an ASC date that could
    // not be read).
    const std::string& Remark() const { return remark_; }

protected:
    Step Fail(size_t number, std::string_view what);
    void Skip(size_t number);

    std::optional<int64_t> origin_;
    std::string remark_;

private:
    std::string error_;
    size_t skipped_ = 0;
    size_t firstSkipped_ = 0;
};

std::unique_ptr<LogReader> MakeLogReader(LogFormat format);
std::unique_ptr<LogReader> MakeMonitorLogReader();
std::unique_ptr<LogReader> MakeCandumpLogReader();
std::unique_ptr<LogReader> MakeAscLogReader();

// The format of a log from its first lines, or nothing when they do not tell.
std::optional<LogFormat> GuessLogFormat(std::string_view head);

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "log_format.h"

struct LogConversion {
    bool ok = false;
    // What went wrong, naming the file and the line: "in.log: line 12: ...".
    std::string error;
    LogFormat from = LogFormat::Monitor;
    LogFormat to = LogFormat::Monitor;
    size_t frames = 0;
    // What the reader passed over and what the output format could not hold.
    std::vector<std::string> notes;
};

// Converts the log at in to the log at out. A format not given is taken from
// the content of in, else from its extension; for out from its extension,
// else the monitor log. The output goes to a new file beside out that takes
// its name only when the whole log was read and written: a conversion that
// fails leaves out as it was.
LogConversion ConvertLogFile(const std::string& in, const std::string& out,
                             std::optional<LogFormat> from, std::optional<LogFormat> to);

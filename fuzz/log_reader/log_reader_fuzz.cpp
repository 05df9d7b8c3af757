// The log readers over arbitrary text: no crash, leak or hang, and every
// frame a reader accepts is written by each writer and read back the same.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "can/log_reader.h"
#include "can/log_writer.h"
#include "tests/can/log_test_support.h"

namespace {

constexpr LogFormat kFormats[] = {LogFormat::Monitor, LogFormat::Candump, LogFormat::Asc};

// A text read whole; a failure always says what is wrong, and readers hand
// out only frames the bus can carry.
log_test::ReadResult ReadAll(LogFormat format, std::string_view text) {
    log_test::ReadResult result = log_test::Read(format, text);
    if (!result.ok && result.error.empty()) {
        std::abort();
    }
    for (const LogFrame& frame : result.frames) {
        if (FrameProblem(frame.record) != nullptr) {
            std::abort();
        }
    }
    return result;
}

bool Same(const LogFrame& a, int64_t aTime, const LogFrame& b, int64_t bTime, LogFormat to) {
    const CanFrameRecord& x = a.record;
    const CanFrameRecord& y = b.record;
    if (aTime != bTime || x.channel != y.channel) {
        return false;
    }
    if (x.flags & kMsgErrorFrame) {
        return (y.flags & kMsgErrorFrame) != 0;  // the formats give it different contents
    }
    const uint32_t esi = to == LogFormat::Monitor ? kFdMsgEsi : 0;
    return (x.flags & ~esi) == (y.flags & ~esi) && x.id == y.id && x.dlc == y.dlc &&
           x.direction == y.direction &&
           ((x.flags & kMsgRtr) || std::memcmp(x.data, y.data, x.dlc) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("TZ", "UTC", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const LogFormat from = kFormats[data[0] % 3];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    GuessLogFormat(text);
    const log_test::ReadResult read = ReadAll(from, text);
    if (!read.ok || read.frames.empty()) {
        return 0;
    }
    for (const LogFormat to : kFormats) {
        LogWriter writer(to, LogWriter::Options{true, read.origin, 1700000000000000LL});
        std::string out;
        std::vector<const LogFrame*> written;
        for (const LogFrame& f : read.frames) {
            if (!writer.Append(out, f)) {
                break;  // a time the format cannot hold
            }
            if (!(to == LogFormat::Monitor && (f.record.flags & kMsgErrorFrame))) {
                written.push_back(&f);
            }
        }
        writer.Finish(out);
        const log_test::ReadResult back = ReadAll(to, out);
        if (!back.ok || back.frames.size() < written.size()) {
            std::abort();  // what a writer writes, its reader reads
        }
        for (size_t i = 0; i < written.size(); ++i) {
            // The same instant where the source knew where its times count from;
            // the monitor log keeps the times as they were (it has no date).
            const bool dated = read.origin && to != LogFormat::Monitor;
            const int64_t a = written[i]->time + (dated ? *read.origin : 0);
            const int64_t b = back.frames[i].time + (dated ? back.origin.value_or(0) : 0);
            if (!Same(*written[i], a, back.frames[i], b, to)) {
                std::abort();
            }
        }
    }
    return 0;
}

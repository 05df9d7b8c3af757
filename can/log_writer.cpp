#include "log_writer.h"

#include "frame_text.h"
#include "log_text.h"

namespace {

int64_t WholeSecond(int64_t microseconds) {
    const int64_t rest = microseconds % 1000000;
    return microseconds - (rest < 0 ? rest + 1000000 : rest);
}

}  // namespace

LogWriter::LogWriter(LogFormat format, const Options& options)
    : format_(format), options_(options) {}

void LogWriter::Begin(std::string& out, const LogFrame* first) {
    if (begun_) {
        return;
    }
    begun_ = true;
    switch (format_) {
        case LogFormat::Monitor:
            if (options_.monitorHeader) {
                out += kMonitorHeaderText;
                out += "\r\n";
            }
            break;
        case LogFormat::Candump:
            break;
        case LogFormat::Asc:
            if (options_.origin && *options_.origin != 0) {
                // An ASC date: kept to the millisecond the date line shows, the
                // rest goes into the times.
                date_ = *options_.origin - ((*options_.origin % 1000) + 1000) % 1000;
                shift_ = date_ - *options_.origin;
            } else if (options_.origin) {
                // Wall-clock times: the date is the first frame's second.
                date_ = first != nullptr ? WholeSecond(first->time) : 0;
                shift_ = date_;
            } else {
                date_ = WholeSecond(options_.now);  // the channel clock has no date
            }
            log_lines::AppendAscHead(out, date_);
            break;
    }
}

bool LogWriter::Append(std::string& out, const LogFrame& frame) {
    Begin(out, &frame);
    const CanFrameRecord& r = frame.record;
    switch (format_) {
        case LogFormat::Monitor:
            if (r.flags & kMsgErrorFrame) {
                ++errorFramesLeftOut_;
                return true;
            }
            if (frame.time < 0 || frame.time > log_text::kLatest) {
                problem_ =
                    "a time before 0 or past the year 2286, which the monitor log cannot hold";
                return false;
            }
            if (r.flags & kFdMsgEsi) {
                ++errorStatesLeftOut_;
            }
            AppendFrameLineAt(out, r, static_cast<uint64_t>(frame.time), "\r\n");
            out += "\r\n";
            return true;
        case LogFormat::Candump: {
            LogFrame absolute = frame;
            absolute.time += options_.origin.value_or(0);
            if (absolute.time < 0 || absolute.time > log_text::kLatest) {
                problem_ =
                    "a time before 0 or past the year 2286, which the candump log cannot hold";
                return false;
            }
            log_lines::AppendCandump(out, absolute);
            out += '\n';
            return true;
        }
        case LogFormat::Asc:
            if (frame.time - shift_ > log_text::kLatest ||
                frame.time - shift_ < -log_text::kLatest) {
                problem_ = "a time more than 2286 years from the log's date";
                return false;
            }
            log_lines::AppendAsc(out, r, frame.time - shift_);
            out += "\r\n";
            return true;
    }
    return true;
}

void LogWriter::Finish(std::string& out) {
    Begin(out);
    if (format_ == LogFormat::Asc) {
        out += log_lines::kAscEnd;
        out += "\r\n";
    }
}

#include "log_convert.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "frame_log_file.h"
#include "log_reader.h"
#include "log_writer.h"

namespace {

constexpr size_t kReadBytes = 1 << 20;
constexpr size_t kWriteBytes = 1 << 20;
// No log line comes near this; a longer one is not text of these formats.
constexpr size_t kMaxLineBytes = 1 << 16;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

LogConversion Failed(LogConversion result, std::string error) {
    result.ok = false;
    result.error = std::move(error);
    return result;
}

std::string Plural(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

LogConversion ConvertLogFile(const std::string& in, const std::string& out,
                             std::optional<LogFormat> from, std::optional<LogFormat> to) {
    LogConversion result;
    std::unique_ptr<FILE, FileCloser> input(std::fopen(in.c_str(), "rb"));
    if (!input) {
        return Failed(result, in + ": cannot be opened: " + std::strerror(errno));
    }
    std::string buffer(kReadBytes, '\0');
    size_t filled = std::fread(buffer.data(), 1, buffer.size(), input.get());
    if (std::ferror(input.get())) {
        return Failed(result, in + ": cannot be read: " + std::strerror(errno));
    }
    if (!from) {
        from = GuessLogFormat(std::string_view(buffer.data(), filled));
    }
    if (!from) {
        from = LogFormatFromExtension(in);
    }
    if (!from) {
        return Failed(result, in + ": neither its lines nor its name tell its format; give --from");
    }
    result.from = *from;
    result.to = to.value_or(LogFormatFromExtension(out).value_or(LogFormat::Monitor));

    const std::unique_ptr<LogReader> reader = MakeLogReader(result.from);
    FrameLogFile file;
    std::string temporary;
    if (!CreateFileBeside(out, file, temporary)) {
        return Failed(result, out + ": cannot be created: " + std::strerror(errno));
    }
    auto abandon = [&](std::string error) {
        file.Close();
        ::unlink(temporary.c_str());
        return Failed(result, std::move(error));
    };

    std::optional<LogWriter> writer;
    std::string text;
    size_t number = 0;
    bool written = true;
    // One line through the reader and its frame through the writer; the
    // message of what failed, empty when none.
    auto handle = [&](std::string_view line) -> std::string {
        ++number;
        // Control bytes belong to no log of these formats: a binary file
        // read by mistake is named, not passed over line by line.
        for (size_t i = 0; i < line.size(); ++i) {
            const auto c = static_cast<unsigned char>(line[i]);
            if (c < 0x20 && c != '\t' && c != '\r') {
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02X", c);
                return in + ": line " + std::to_string(number) + ": not text: a byte " + hex +
                       " at column " + std::to_string(i + 1);
            }
        }
        LogFrame frame;
        const LogReader::Step step = reader->Line(line, number, frame);
        if (step == LogReader::Step::Error) {
            return in + ": " + reader->Error();
        }
        if (step != LogReader::Step::Frame) {
            return {};
        }
        if (!writer) {
            // The reader knows where its times count from once its head is read.
            const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::system_clock::now().time_since_epoch());
            writer.emplace(result.to, LogWriter::Options{true, reader->Origin(), now.count()});
        }
        if (!writer->Append(text, frame)) {
            return in + ": line " + std::to_string(number) + ": " + writer->Problem();
        }
        ++result.frames;
        if (text.size() >= kWriteBytes) {
            file.AddText(text);
            text.clear();
            written = written && file.Flush();
        }
        return {};
    };

    size_t start = 0;
    for (;;) {
        const std::string_view view(buffer.data(), filled);
        for (size_t newline; (newline = view.find('\n', start)) != std::string_view::npos;
             start = newline + 1) {
            if (std::string error = handle(view.substr(start, newline - start)); !error.empty()) {
                return abandon(std::move(error));
            }
        }
        if (filled - start >= kMaxLineBytes) {
            return abandon(in + ": line " + std::to_string(number + 1) + ": longer than " +
                           std::to_string(kMaxLineBytes) +
                           " characters; not a log of these formats");
        }
        // The unfinished line moves to the front; the next read completes it.
        std::memmove(buffer.data(), buffer.data() + start, filled - start);
        filled -= start;
        start = 0;
        const size_t n = std::fread(buffer.data() + filled, 1, buffer.size() - filled, input.get());
        if (std::ferror(input.get())) {
            return abandon(in + ": cannot be read: " + std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        filled += n;
    }
    if (filled > 0) {  // a last line without a line end
        if (std::string error = handle(std::string_view(buffer.data(), filled)); !error.empty()) {
            return abandon(std::move(error));
        }
    }
    if (!reader->Finish()) {
        return abandon(in + ": " + reader->Error());
    }
    if (!writer) {
        writer.emplace(result.to, LogWriter::Options{true, reader->Origin(), 0});
    }
    writer->Finish(text);
    file.AddText(text);
    written = written && file.Flush();
    if (!file.Close() || !written) {
        return abandon(out + ": cannot be written: " + std::strerror(errno));
    }
    if (::rename(temporary.c_str(), out.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Failed(result, out + ": cannot be replaced: " + std::strerror(error));
    }

    if (!reader->Remark().empty()) {
        result.notes.push_back(in + ": " + reader->Remark());
    }
    if (reader->Skipped() > 0) {
        result.notes.push_back(in + ": " + Plural(reader->Skipped(), "line", "lines") +
                               " without a frame passed over, the first at line " +
                               std::to_string(reader->FirstSkipped()));
    }
    if (writer->ErrorFramesLeftOut() > 0) {
        result.notes.push_back(Plural(writer->ErrorFramesLeftOut(), "error frame", "error frames") +
                               " left out: the monitor log has no form for error frames");
        result.frames -= writer->ErrorFramesLeftOut();
    }
    if (writer->ErrorStatesLeftOut() > 0) {
        result.notes.push_back("the error state indicator of " +
                               Plural(writer->ErrorStatesLeftOut(), "frame", "frames") +
                               " not kept: the monitor log has no form for it");
    }
    result.ok = true;
    return result;
}

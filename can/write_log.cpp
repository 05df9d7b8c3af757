#include "write_log.h"

#include <cstdarg>
#include <mutex>

#include "platform/os/debug_output.h"
#include "platform/os/format.h"

namespace {

std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

LogSink& Sink() {
    static LogSink sink;
    return sink;
}

// A sink that logs from inside itself would wait on its own lock.
thread_local bool insideSink = false;

}  // namespace

void WriteLogText(int level, const std::string& text) {
    if (!insideSink) {
        std::lock_guard<std::mutex> lock(SinkMutex());
        if (Sink()) {
            insideSink = true;
            Sink()(level, text);
            insideSink = false;
            return;
        }
    }
    os::OutputDebugLine(level, text);
}

void WriteLog(int level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = os::VFormat(format, args);
    va_end(args);
    WriteLogText(level, text);
}

void SetLogSink(LogSink sink) {
    std::lock_guard<std::mutex> lock(SinkMutex());
    Sink() = std::move(sink);
}

#pragma once

#include <functional>
#include <string>

// Levels of the program-wide log, shown as I, D, W and E.
inline constexpr int kLogInfo = 0;
inline constexpr int kLogDebug = 1;
inline constexpr int kLogWarning = 2;
inline constexpr int kLogError = 3;

// Formats printf-style and hands the text to the installed sink, or to
// stderr in the debugger-output form when none is installed. Callable from
// any thread; it returns as soon as the sink has taken the line.
void WriteLog(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void WriteLogText(int level, const std::string& text);

// A sink must only queue the line and return: it is called from worker
// threads while they may hold the channel manager's lock.
using LogSink = std::function<void(int level, const std::string& text)>;
// Installs a sink (an empty one restores stderr). Returns once no thread is
// still inside the previous sink, so its owner may then be destroyed.
void SetLogSink(LogSink sink);

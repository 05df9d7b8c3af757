#include "debug_output.h"

#include <sys/time.h>
#include <unistd.h>

#include <ctime>

#include "format.h"

namespace os {

std::string FormatDebugLine(int level, const std::string& text) {
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return Format("%04d/%02d/%02d %02d:%02d:%02d:%03d [%d] %s", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(now.tv_usec / 1000), level, text.c_str());
}

void OutputDebugLine(int level, const std::string& text) {
    std::string line = FormatDebugLine(level, text);
    if (line.empty() || line.back() != '\n') {
        line.push_back('\n');
    }
    // One write per line keeps lines of several threads from interleaving.
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(STDERR_FILENO, line.data() + done, line.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
}

}  // namespace os

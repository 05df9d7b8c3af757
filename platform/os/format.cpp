#include "format.h"

#include <cstdio>

namespace os {

std::string VFormat(const char* format, va_list args) {
    if (format == nullptr) {
        return {};
    }
    char stackBuffer[512];
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(stackBuffer, sizeof stackBuffer, format, copy);
    va_end(copy);
    if (needed < 0) {
        return {};
    }
    if (static_cast<size_t>(needed) < sizeof stackBuffer) {
        return std::string(stackBuffer, static_cast<size_t>(needed));
    }
    std::string result(static_cast<size_t>(needed), '\0');
    std::vsnprintf(result.data(), result.size() + 1, format, args);
    return result;
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string result = VFormat(format, args);
    va_end(args);
    return result;
}

}  // namespace os

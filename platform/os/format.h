#pragma once

#include <cstdarg>
#include <string>

namespace os {

// printf-style formatting into a std::string. The program's text formats are
// printf formats, so this keeps them exact without a formatting library.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VFormat(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace os

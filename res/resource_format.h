#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

namespace res {

// The program's own printf formats live in the string table (identifiers
// 20000 to 20999). A translation of one of them is used only when it takes
// the same arguments as the built-in text; anything else would read the
// wrong arguments.
constexpr uint32_t kFormatStringFirst = 20000;
constexpr uint32_t kFormatStringLast = 20999;
inline bool IsFormatStringId(uint32_t id) {
    return id >= kFormatStringFirst && id <= kFormatStringLast;
}

// The argument list a printf format reads, one conversion with its length
// modifier per entry ("d,s,lld"; a '*' width or precision reads an int).
// "%%" reads nothing. False when the format holds an incomplete or unknown
// conversion.
bool PrintfSignature(const char* format, std::string* signature);

// Whether translated reads exactly the arguments that reference reads.
bool SameArguments(const char* reference, const char* translated);

// printf-style formatting of a format taken from the resource set. Only for
// formats whose arguments the loader has checked (see above); the caller
// passes the arguments the built-in text names.
std::string FormatText(const char* format, ...);
std::string VFormatText(const char* format, va_list args);

}  // namespace res

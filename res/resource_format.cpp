#include "res/resource_format.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace res {

bool PrintfSignature(const char* format, std::string* signature) {
    std::string out;
    if (format == nullptr) {
        return false;
    }
    for (const char* p = format; *p != 0; ++p) {
        if (*p != '%') {
            continue;
        }
        ++p;
        if (*p == '%') {
            continue;
        }
        auto add = [&out](const std::string& conversion) {
            if (!out.empty()) {
                out += ',';
            }
            out += conversion;
        };
        while (*p != 0 && std::strchr("-+ #0'", *p) != nullptr) {
            ++p;
        }
        if (*p == '*') {
            add("*");
            ++p;
        } else {
            while (*p >= '0' && *p <= '9') {
                ++p;
            }
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                add("*");
                ++p;
            } else {
                while (*p >= '0' && *p <= '9') {
                    ++p;
                }
            }
        }
        std::string length;
        while (*p != 0 && std::strchr("hljztL", *p) != nullptr) {
            length += *p++;
        }
        if (*p == 0 || std::strchr("diouxXeEfFgGaAcsp", *p) == nullptr) {
            return false;  // '%n' is refused on purpose: it writes through an argument
        }
        // Conversions that read the same argument type compare equal.
        char kind = *p;
        if (std::strchr("diouxXc", kind) != nullptr) {
            kind = 'd';
        } else if (std::strchr("eEfFgGaA", kind) != nullptr) {
            kind = 'f';
        }
        add(length + kind);
    }
    if (signature != nullptr) {
        *signature = out;
    }
    return true;
}

bool SameArguments(const char* reference, const char* translated) {
    std::string a;
    std::string b;
    return PrintfSignature(reference, &a) && PrintfSignature(translated, &b) && a == b;
}

std::string VFormatText(const char* format, va_list args) {
    if (format == nullptr) {
        return {};
    }
    char buffer[512];
    va_list copy;
    va_copy(copy, args);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    int length = std::vsnprintf(buffer, sizeof buffer, format, copy);
    va_end(copy);
    if (length < 0) {
        return {};
    }
    if (static_cast<size_t>(length) < sizeof buffer) {
        return std::string(buffer, static_cast<size_t>(length));
    }
    std::vector<char> large(static_cast<size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, args);
#pragma GCC diagnostic pop
    return std::string(large.data(), static_cast<size_t>(length));
}

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VFormatText(format, args);
    va_end(args);
    return text;
}

}  // namespace res

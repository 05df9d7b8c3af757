#include "log_text.h"

#include <cctype>

namespace log_text {

void AppendNumber(std::string& text, uint64_t value, unsigned base, size_t width, char fill) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char digits[24];
    size_t n = 0;
    do {
        digits[n++] = kDigits[value % base];
        value /= base;
    } while (value != 0);
    if (width > n) {
        text.append(width - n, fill);
    }
    while (n > 0) {
        text += digits[--n];
    }
}

void AppendHexByte(std::string& text, uint8_t byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    text += kHex[byte >> 4];
    text += kHex[byte & 0xF];
}

void AppendSeconds(std::string& text, int64_t microseconds, size_t width, char fill) {
    // Negated as unsigned: the most negative value has no positive twin.
    const bool negative = microseconds < 0;
    const uint64_t magnitude =
        negative ? 0 - static_cast<uint64_t>(microseconds) : static_cast<uint64_t>(microseconds);
    const uint64_t seconds = magnitude / 1000000;
    size_t digits = 1;
    for (uint64_t rest = seconds / 10; rest != 0; rest /= 10) {
        ++digits;
    }
    const size_t wanted = digits + (negative ? 1 : 0);
    if (width > wanted) {
        if (fill == '0') {
            if (negative) {
                text += '-';
            }
            text.append(width - wanted, '0');
        } else {
            text.append(width - wanted, ' ');
            if (negative) {
                text += '-';
            }
        }
    } else if (negative) {
        text += '-';
    }
    AppendNumber(text, seconds, 10, 0, ' ');
    text += '.';
    AppendNumber(text, magnitude % 1000000, 10, 6, '0');
}

std::optional<int64_t> ParseSeconds(std::string_view text, bool negative) {
    bool minus = false;
    if (negative && !text.empty() && text.front() == '-') {
        minus = true;
        text.remove_prefix(1);
    }
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    // Ten digits of seconds reach the year 2286, as candump's ten-digit times do.
    if (whole.empty() || whole.size() > 10 || fraction.size() > 9 ||
        (point != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    int64_t seconds = 0;
    for (const char c : whole) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        seconds = seconds * 10 + (c - '0');
    }
    int64_t nanoseconds = 0;
    for (size_t i = 0; i < 9; ++i) {
        const char c = i < fraction.size() ? fraction[i] : '0';
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        nanoseconds = nanoseconds * 10 + (c - '0');
    }
    const int64_t microseconds = seconds * 1000000 + (nanoseconds + 500) / 1000;
    return minus ? -microseconds : microseconds;
}

std::optional<uint32_t> ParseUnsigned(std::string_view text, unsigned base, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (const char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        if (digit >= base) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > UINT32_MAX) {
            return std::nullopt;
        }
    }
    return static_cast<uint32_t>(value);
}

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

Fields::Fields(std::string_view line) {
    size_t i = 0;
    while (count_ < kMax) {
        while (i < line.size() && Blank(line[i])) {
            ++i;
        }
        if (i == line.size()) {
            return;
        }
        size_t end = i;
        if (count_ == kMax - 1) {
            end = TrimEnd(line).size();
        } else {
            while (end < line.size() && !Blank(line[end])) {
                ++end;
            }
        }
        fields_[count_++] = line.substr(i, end - i);
        i = end;
    }
}

std::string_view TrimEnd(std::string_view line) {
    while (!line.empty() && Blank(line.back())) {
        line.remove_suffix(1);
    }
    return line;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string Quoted(std::string_view field) {
    std::string text = "'";
    for (const char c : field.substr(0, 40)) {
        // A damaged file may hold anything; the message stays printable.
        text += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? '?' : c;
    }
    if (field.size() > 40) {
        text += "...";
    }
    return text + "'";
}

}  // namespace log_text

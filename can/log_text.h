#pragma once

// Small text pieces shared by the log readers and writers: numbers written
// without a formatting call (the live log formats a line per frame inside the
// manager lock) and strict readers of the fields of a line.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace log_text {

// Ten digits of seconds, as candump's times have: the year 2286. Times of
// the logs stay within this either way.
inline constexpr int64_t kLatest = 9999999999999999LL;

// Unsigned value in base 10 or 16 (upper case), at least width characters:
// zero-filled or right-aligned with blanks as fill says.
void AppendNumber(std::string& text, uint64_t value, unsigned base, size_t width, char fill);
// Two upper-case hex digits.
void AppendHexByte(std::string& text, uint8_t byte);
// Microseconds as seconds with six decimals, the whole seconds right-aligned
// in width (fill blank or '0'); a negative time gets its sign.
void AppendSeconds(std::string& text, int64_t microseconds, size_t width, char fill);

// Seconds with up to nine decimals ("12", "12.5", "-0.000001" when negative
// is allowed), rounded to the microsecond. Nothing when the text is not such
// a number or does not fit.
std::optional<int64_t> ParseSeconds(std::string_view text, bool negative);
// A hexadecimal or decimal value of 1 to maxDigits digits, no sign or prefix.
std::optional<uint32_t> ParseUnsigned(std::string_view text, unsigned base, size_t maxDigits);

// Whitespace-separated fields of a line, at most kMax; a line with more keeps
// the rest in the last field.
class Fields {
public:
    static constexpr size_t kMax = 96;
    explicit Fields(std::string_view line);
    size_t Size() const { return count_; }
    std::string_view operator[](size_t i) const {
        return i < count_ ? fields_[i] : std::string_view();
    }

private:
    std::string_view fields_[kMax];
    size_t count_ = 0;
};

// The line without its CR LF or LF end and trailing blanks.
std::string_view TrimEnd(std::string_view line);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
// A field quoted for a message: at most 40 characters.
std::string Quoted(std::string_view field);

}  // namespace log_text

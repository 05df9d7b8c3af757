// One generated value of a simulated message: a bit field (Intel byte order, start bit as in
// a DBC file) that changes from frame to frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vcan {

class FieldGenerator {
public:
    enum class Kind { kFixed, kCounter, kRamp, kSaw, kSequence, kRandom, kWalk };

    // Parses "START LENGTH KIND ARGS...", for example "16 8 ramp 0 200 5". On failure
    // returns false with a reason in `error`.
    bool Parse(const std::string& text, unsigned frameBytes, uint32_t seed, std::string* error);

    // Writes the current value into the frame and advances to the next one.
    void Apply(uint8_t* data);

    uint64_t Value() const { return value_; }

private:
    uint64_t Mask() const { return length_ >= 64 ? ~0ull : (1ull << length_) - 1; }
    uint64_t NextRandom();
    void Advance();

    Kind kind_ = Kind::kFixed;
    unsigned start_ = 0;
    unsigned length_ = 8;
    int64_t min_ = 0;
    int64_t max_ = 0;
    int64_t step_ = 1;
    unsigned hold_ = 1;
    unsigned held_ = 0;
    size_t index_ = 0;
    std::vector<int64_t> sequence_;
    int64_t current_ = 0;
    int direction_ = 1;
    uint64_t value_ = 0;
    uint64_t rng_ = 0x9E3779B97F4A7C15ull;
};

// Parses a decimal, 0x-hexadecimal or negative integer; false when it is not one.
bool ParseInteger(const std::string& text, int64_t* out);

}  // namespace vcan

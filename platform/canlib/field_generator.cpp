#include "field_generator.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "ini_file.h"

namespace vcan {
namespace {

// Values are kept within +-2^62 so that stepping never overflows.
constexpr int64_t kLimit = int64_t{1} << 62;

}  // namespace

bool ParseInteger(const std::string& text, int64_t* out) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const bool negative = text[0] == '-';
    const char* digits = text.c_str() + (negative ? 1 : 0);
    if (*digits == '-' || *digits == '+' || *digits == '\0')
        return false;
    const unsigned long long v = std::strtoull(digits, &end, 0);
    if (errno != 0 || *end != '\0' || v > 0x7FFFFFFFFFFFFFFFull)
        return false;
    *out = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    return true;
}

bool FieldGenerator::Parse(const std::string& text, unsigned frameBytes, uint32_t seed,
                           std::string* error) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    if (words.size() < 3) {
        *error = "expected START LENGTH KIND [values]";
        return false;
    }
    int64_t start = 0;
    int64_t length = 0;
    if (!ParseInteger(words[0], &start) || !ParseInteger(words[1], &length) || start < 0 ||
        length < 1 || length > 64 || start + length > int64_t{8} * frameBytes) {
        *error = "start bit and length must lie within the frame's data";
        return false;
    }
    start_ = static_cast<unsigned>(start);
    length_ = static_cast<unsigned>(length);
    std::vector<int64_t> args;
    for (size_t i = 3; i < words.size(); ++i) {
        int64_t v = 0;
        if (!ParseInteger(words[i], &v) || v > kLimit || v < -kLimit) {
            *error = "'" + words[i] + "' is not a number within +-2^62";
            return false;
        }
        args.push_back(v);
    }
    const std::string kind = Lower(words[2]);
    rng_ ^= (static_cast<uint64_t>(seed) + 1) * 0xBF58476D1CE4E5B9ull;
    auto want = [&](size_t lo, size_t hi) {
        if (args.size() < lo || args.size() > hi) {
            *error = "wrong number of values for '" + kind + "'";
            return false;
        }
        return true;
    };
    if (kind == "fixed") {
        if (!want(1, 1))
            return false;
        kind_ = Kind::kFixed;
        current_ = args[0];
    } else if (kind == "counter") {
        if (!want(0, 3))
            return false;
        kind_ = Kind::kCounter;
        step_ = args.size() > 0 ? args[0] : 1;
        min_ = args.size() > 1 ? args[1] : 0;
        max_ = args.size() > 2 ? args[2] : static_cast<int64_t>(length_ >= 62 ? kLimit : Mask());
        current_ = min_;
    } else if (kind == "ramp" || kind == "saw" || kind == "walk") {
        if (!want(3, 3))
            return false;
        kind_ = kind == "ramp" ? Kind::kRamp : kind == "saw" ? Kind::kSaw : Kind::kWalk;
        min_ = args[0];
        max_ = args[1];
        step_ = args[2];
        current_ = min_;
        if (kind_ == Kind::kWalk)
            current_ = min_ + (max_ - min_) / 2;
    } else if (kind == "sequence") {
        if (args.size() < 2) {
            *error = "sequence needs HOLD and at least one value";
            return false;
        }
        kind_ = Kind::kSequence;
        if (args[0] < 1) {
            *error = "sequence HOLD must be at least 1";
            return false;
        }
        hold_ = static_cast<unsigned>(args[0]);
        sequence_.assign(args.begin() + 1, args.end());
        current_ = sequence_[0];
    } else if (kind == "random") {
        if (!want(2, 2))
            return false;
        kind_ = Kind::kRandom;
        min_ = args[0];
        max_ = args[1];
        current_ = min_;
    } else {
        *error = "unknown kind '" + words[2] + "'";
        return false;
    }
    if ((kind_ != Kind::kFixed && kind_ != Kind::kSequence) && max_ < min_) {
        *error = "maximum below minimum";
        return false;
    }
    if ((kind_ == Kind::kCounter || kind_ == Kind::kRamp || kind_ == Kind::kSaw ||
         kind_ == Kind::kWalk) &&
        step_ <= 0) {
        *error = "step must be positive";
        return false;
    }
    if (kind_ == Kind::kRandom)
        Advance();
    value_ = static_cast<uint64_t>(current_) & Mask();
    return true;
}

uint64_t FieldGenerator::NextRandom() {
    // xorshift64*: cheap and reproducible for a given seed.
    rng_ ^= rng_ >> 12;
    rng_ ^= rng_ << 25;
    rng_ ^= rng_ >> 27;
    return rng_ * 0x2545F4914F6CDD1Dull;
}

void FieldGenerator::Advance() {
    switch (kind_) {
        case Kind::kFixed:
            break;
        case Kind::kCounter:
        case Kind::kSaw:
            current_ = (current_ > max_ - step_) ? min_ : current_ + step_;
            break;
        case Kind::kRamp:
            if (direction_ > 0) {
                if (current_ > max_ - step_) {
                    direction_ = -1;
                    current_ = max_ - step_ < min_ ? min_ : max_ - step_;
                } else {
                    current_ += step_;
                }
            } else {
                if (current_ < min_ + step_) {
                    direction_ = 1;
                    current_ = min_ + step_ > max_ ? max_ : min_ + step_;
                } else {
                    current_ -= step_;
                }
            }
            break;
        case Kind::kWalk: {
            const uint64_t r = NextRandom() % 3;  // down, stay, up
            if (r == 0)
                current_ = current_ - step_ < min_ ? min_ : current_ - step_;
            if (r == 2)
                current_ = current_ > max_ - step_ ? max_ : current_ + step_;
            break;
        }
        case Kind::kSequence:
            if (++held_ >= hold_) {
                held_ = 0;
                index_ = (index_ + 1) % sequence_.size();
                current_ = sequence_[index_];
            }
            break;
        case Kind::kRandom:
            current_ = min_ + static_cast<int64_t>(NextRandom() %
                                                   (static_cast<uint64_t>(max_ - min_) + 1));
            break;
    }
    value_ = static_cast<uint64_t>(current_) & Mask();
}

void FieldGenerator::Apply(uint8_t* data) {
    // Intel order: bit b of the field goes to bit (start + b) counted from bit 0 of byte 0.
    for (unsigned b = 0; b < length_; ++b) {
        const unsigned pos = start_ + b;
        const uint8_t bit = static_cast<uint8_t>(1u << (pos % 8));
        if ((value_ >> b) & 1) {
            data[pos / 8] |= bit;
        } else {
            data[pos / 8] &= static_cast<uint8_t>(~bit);
        }
    }
    Advance();
}

}  // namespace vcan

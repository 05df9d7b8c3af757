#include "candb/signal_decoder.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/os/format.h"

namespace candb {

namespace {

uint64_t Mask(int bits) {
    return bits >= 64 ? ~0ULL : (1ULL << bits) - 1;
}

int64_t SignExtend(uint64_t raw, int length) {
    if (length <= 0 || length >= 64) {
        return static_cast<int64_t>(raw);
    }
    const uint64_t sign = 1ULL << (length - 1);
    return static_cast<int64_t>((raw ^ sign) - sign);
}

// The value text of an integer signal: the truncated physical value in
// decimal and in hex. Values that fit 32 bits keep the 32-bit form
// "%d (%04X)"; others show their full value.
std::string IntegerText(double physical, bool isUnsigned, const std::string& unit) {
    if (std::isnan(physical)) {
        physical = 0;
    }
    const double t = std::trunc(physical);
    if (isUnsigned && t >= 9223372036854775808.0) {
        const uint64_t u = t >= 18446744073709551616.0 ? ~0ULL : static_cast<uint64_t>(t);
        return os::Format("%llu (%04llX) %s", static_cast<unsigned long long>(u),
                          static_cast<unsigned long long>(u), unit.c_str());
    }
    int64_t n = 0;
    if (t >= 9223372036854775807.0) {
        n = std::numeric_limits<int64_t>::max();
    } else if (t <= -9223372036854775808.0) {
        n = std::numeric_limits<int64_t>::min();
    } else {
        n = static_cast<int64_t>(t);
    }
    if (n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max()) {
        const auto n32 = static_cast<int32_t>(n);
        return os::Format("%d (%04X) %s", n32, static_cast<uint32_t>(n32), unit.c_str());
    }
    return os::Format("%lld (%04llX) %s", static_cast<long long>(n),
                      static_cast<unsigned long long>(n), unit.c_str());
}

}  // namespace

bool ExtractRaw(const uint8_t* data, size_t bytes, int encoding, int startBit, int length,
                uint64_t& raw) {
    raw = 0;
    if (startBit < 0 || length <= 0 || length > 64) {
        return false;
    }
    long long byte = startBit / 8;
    int bit = startBit % 8;
    int got = 0;
    while (got < length) {
        if (byte < 0 || static_cast<size_t>(byte) >= bytes) {
            raw = 0;
            return false;
        }
        const int take = std::min(8 - bit, length - got);
        const uint64_t chunk = (static_cast<uint64_t>(data[byte]) >> bit) & Mask(take);
        raw |= chunk << got;
        got += take;
        bit = 0;
        // Intel continues in the next byte, Motorola in the previous one.
        byte += encoding == 1 ? -1 : 1;
    }
    return true;
}

DecodedSignal DecodeSignal(const CandbSignal& signal, uint64_t raw) {
    DecodedSignal out;
    const std::string& unit = signal.unit;
    switch (signal.representationType) {
        case 1: {
            const int64_t value = SignExtend(raw, signal.length);
            const double physical = static_cast<double>(value) * signal.factor + signal.offset;
            // Exact for 64-bit counters that are not scaled.
            if (signal.length > 32 && signal.factor == 1 && signal.offset == 0) {
                out.valueText = os::Format("%lld (%04llX) %s", static_cast<long long>(value),
                                           static_cast<unsigned long long>(value), unit.c_str());
            } else {
                out.valueText = IntegerText(physical, false, unit);
            }
            break;
        }
        case 2: {
            const double physical = static_cast<double>(raw) * signal.factor + signal.offset;
            if (signal.length > 32 && signal.factor == 1 && signal.offset == 0) {
                out.valueText = os::Format("%llu (%04llX) %s", static_cast<unsigned long long>(raw),
                                           static_cast<unsigned long long>(raw), unit.c_str());
            } else {
                out.valueText = IntegerText(physical, true, unit);
            }
            break;
        }
        case 3:
        case 4: {
            double value = 0;
            if (signal.length == 32) {
                float f = 0;
                const auto bits = static_cast<uint32_t>(raw);
                std::memcpy(&f, &bits, sizeof f);
                value = f;
            } else if (signal.length == 64) {
                std::memcpy(&value, &raw, sizeof value);
            } else {
                value = static_cast<double>(raw);  // not an IEEE value: take the bits as a number
            }
            double physical = value * signal.factor + signal.offset;
            if (signal.representationType == 3) {
                physical = static_cast<float>(physical);
            }
            out.valueText = os::Format("%f %s", physical, unit.c_str());
            break;
        }
        default:
            break;  // no format for an invalid type
    }
    if (signal.enumValues) {
        // Value tables describe raw values; the interface carries 32 bits.
        const uint64_t key = signal.representationType == 1
                                 ? static_cast<uint64_t>(SignExtend(raw, signal.length))
                                 : raw;
        const bool fits = signal.representationType == 1
                              ? static_cast<int64_t>(key) >= std::numeric_limits<int32_t>::min() &&
                                    static_cast<int64_t>(key) <= std::numeric_limits<int32_t>::max()
                              : key <= 0xFFFFFFFFull;
        if (fits) {
            for (const CandbEnumValue& e : *signal.enumValues) {
                if (static_cast<uint32_t>(e.value) == static_cast<uint32_t>(key)) {
                    out.tableText = e.name;
                    break;
                }
            }
        }
    }
    return out;
}

}  // namespace candb

#include "ui/dialogs/bus_param_presets.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <limits>

#include "res/ids.h"

namespace bus_presets {

namespace {

struct Timing {
    int samplePoint;
    uint32_t tseg1;
    uint32_t tseg2;
};

struct Table {
    int32_t bitrate;
    const Timing* timings;
    std::size_t count;
};

// 16 time quanta per bit at 125, 250 and 500 kbit/s.
constexpr Timing kClassic16[] = {{0, 7, 8},  {1, 8, 7},  {3, 9, 6}, {4, 10, 5},
                                 {5, 11, 4}, {7, 12, 3}, {8, 13, 2}};
// 8 time quanta per bit at 1 Mbit/s.
constexpr Timing kClassic8[] = {{0, 3, 4}, {3, 4, 3}, {5, 5, 2}};
// CAN FD: 80, 40, 20, 10 and 5 time quanta per bit.
constexpr Timing kFd500k[] = {{6, 63, 16}};
constexpr Timing kFd1M[] = {{6, 31, 8}};
constexpr Timing kFd2M[] = {{6, 15, 4}};
constexpr Timing kFd4M[] = {{6, 7, 2}};
constexpr Timing kFd8M[] = {{2, 2, 2}};

template <std::size_t N>
constexpr Table Make(int32_t bitrate, const Timing (&timings)[N]) {
    return {bitrate, timings, N};
}

constexpr Table kClassicTables[] = {Make(125000, kClassic16), Make(250000, kClassic16),
                                    Make(500000, kClassic16), Make(1000000, kClassic8)};
constexpr Table kFdArbitrationTables[] = {Make(500000, kFd500k), Make(1000000, kFd1M)};
constexpr Table kFdDataTables[] = {Make(500000, kFd500k), Make(1000000, kFd1M),
                                   Make(2000000, kFd2M), Make(4000000, kFd4M),
                                   Make(8000000, kFd8M)};

template <std::size_t N>
void Append(std::vector<Preset>& rows, const Table (&tables)[N]) {
    for (const Table& table : tables) {
        for (std::size_t i = 0; i < table.count; ++i) {
            const Timing& t = table.timings[i];
            rows.push_back({{table.bitrate, t.tseg1, t.tseg2, 1, 1, 0}, t.samplePoint});
        }
    }
}

constexpr BitrateChoice kClassicChoices[] = {{IDS_BITRATE_125K, 125000},
                                             {IDS_BITRATE_250K, 250000},
                                             {IDS_BITRATE_500K, 500000},
                                             {IDS_BITRATE_1M, 1000000}};
constexpr BitrateChoice kFdArbitrationChoices[] = {{IDS_BITRATE_500K, 500000},
                                                   {IDS_BITRATE_1M, 1000000}};
constexpr BitrateChoice kFdDataChoices[] = {{IDS_BITRATE_500K, 500000},
                                            {IDS_BITRATE_1M, 1000000},
                                            {IDS_BITRATE_2M, 2000000},
                                            {IDS_BITRATE_4M, 4000000},
                                            {IDS_BITRATE_8M, 8000000}};

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') {
        ++p;
    }
    return p;
}

// The sign and the magnitude of the leading number, the magnitude saturated.
uint64_t ReadMagnitude(const char* text, bool* negative) {
    *negative = false;
    if (text == nullptr) {
        return 0;
    }
    const char* p = SkipBlanks(text);
    if (*p == '+' || *p == '-') {
        *negative = *p == '-';
        ++p;
    }
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const auto digit = static_cast<uint64_t>(*p - '0');
        if (value > (kMax - digit) / 10) {
            return kMax;
        }
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

std::vector<Preset> PresetRows(int32_t mode, int32_t phase) {
    std::vector<Preset> rows;
    if (mode == kChannelModeCan) {
        Append(rows, kClassicTables);
    } else if (mode == kChannelModeCanFd) {
        if (phase == 0) {
            Append(rows, kFdArbitrationTables);
        } else {
            Append(rows, kFdDataTables);
        }
    }
    return rows;
}

std::vector<BitrateChoice> BitrateChoices(int32_t mode, int32_t phase) {
    if (mode == kChannelModeCanFd) {
        return phase == 0 ? std::vector<BitrateChoice>(std::begin(kFdArbitrationChoices),
                                                       std::end(kFdArbitrationChoices))
                          : std::vector<BitrateChoice>(std::begin(kFdDataChoices),
                                                       std::end(kFdDataChoices));
    }
    return {std::begin(kClassicChoices), std::end(kClassicChoices)};
}

uint64_t ReadUnsigned(const char* text) {
    bool negative = false;
    const uint64_t magnitude = ReadMagnitude(text, &negative);
    if (magnitude == std::numeric_limits<uint64_t>::max()) {
        return magnitude;
    }
    return negative ? 0 - magnitude : magnitude;
}

int64_t ReadSigned(const char* text) {
    bool negative = false;
    const uint64_t magnitude = ReadMagnitude(text, &negative);
    constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (negative) {
        return magnitude > kMax ? std::numeric_limits<int64_t>::min()
                                : -static_cast<int64_t>(magnitude);
    }
    return magnitude > kMax ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(magnitude);
}

int32_t ReadInt(const char* text) {
    return static_cast<int32_t>(std::clamp<int64_t>(ReadSigned(text),
                                                    std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace bus_presets

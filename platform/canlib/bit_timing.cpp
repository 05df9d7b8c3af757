#include "bit_timing.h"

#include <cstdint>

#include "canlib.h"

namespace vcan {
namespace {

// Register limits of the controller: prescaler 1..1024, time segment 1 1..256, time
// segment 2 and the synchronisation jump width 1..128, in both phases.
constexpr uint64_t kMaxPrescaler = 1024;
constexpr unsigned kMaxTseg1 = 256;
constexpr unsigned kMaxTseg2 = 128;

struct Predefined {
    long code;
    BitTiming timing;
};

// Sample points as in the preset tables of the program: 87.5 % for classic rates up to
// 500 kbit/s, 75 % at 1 Mbit/s; 80 % for the CAN FD rates up to 4 Mbit/s, 60 % at 8 Mbit/s.
constexpr Predefined kClassic[] = {
    {canBITRATE_1M, {1000000, 5, 2, 1, 1}},   {canBITRATE_500K, {500000, 13, 2, 1, 1}},
    {canBITRATE_250K, {250000, 13, 2, 1, 1}}, {canBITRATE_125K, {125000, 13, 2, 1, 1}},
    {canBITRATE_100K, {100000, 13, 2, 1, 1}}, {canBITRATE_62K, {62500, 13, 2, 1, 1}},
    {canBITRATE_50K, {50000, 13, 2, 1, 1}},   {canBITRATE_10K, {10000, 13, 2, 1, 1}},
};
constexpr Predefined kFd[] = {
    {canFD_BITRATE_500K_80P, {500000, 63, 16, 16, 1}},
    {canFD_BITRATE_1M_80P, {1000000, 31, 8, 8, 1}},
    {canFD_BITRATE_2M_80P, {2000000, 15, 4, 4, 1}},
    {canFD_BITRATE_4M_80P, {4000000, 7, 2, 2, 1}},
    {canFD_BITRATE_8M_60P, {8000000, 2, 2, 1, 1}},
};

}  // namespace

bool IsValidTiming(const BitTiming& t, Phase phase) {
    if (t.bitrate <= 0 || t.bitrate > kControllerClockHz)
        return false;
    if (t.tseg1 < 1 || t.tseg1 > kMaxTseg1 || t.tseg2 < 1 || t.tseg2 > kMaxTseg2)
        return false;
    if (t.sjw < 1 || t.sjw > t.tseg2)
        return false;
    if (phase == Phase::kNominal && t.noSamp != 0 && t.noSamp != 1 && t.noSamp != 3)
        return false;
    const uint64_t quanta = 1ull + t.tseg1 + t.tseg2;
    const uint64_t perBit = static_cast<uint64_t>(t.bitrate) * quanta;
    if (static_cast<uint64_t>(kControllerClockHz) % perBit != 0)
        return false;
    return static_cast<uint64_t>(kControllerClockHz) / perBit <= kMaxPrescaler;
}

bool PredefinedTiming(long code, Phase phase, bool fd, BitTiming* out) {
    for (const auto& p : kFd) {
        if (p.code == code) {
            if (!fd)
                return false;
            // The nominal phase of CAN FD runs at 1 Mbit/s at most.
            if (phase == Phase::kNominal && p.timing.bitrate > 1000000)
                return false;
            *out = p.timing;
            return true;
        }
    }
    if (phase == Phase::kData)
        return false;
    for (const auto& p : kClassic) {
        if (p.code == code) {
            *out = p.timing;
            return true;
        }
    }
    // 83.333 kbit/s is not a whole rate: 16 quanta at prescaler 60.
    if (code == canBITRATE_83K) {
        *out = {83333, 13, 2, 1, 1};
        return true;
    }
    return false;
}

}  // namespace vcan

// Extraction and value texts of single signals, against hand-computed values
// and against an independent bit-by-bit encoder.

// GCC 12 reports a false -Wrestrict inside std::string assignments here.
#pragma GCC diagnostic ignored "-Wrestrict"

#include "candb/signal_decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <utility>

namespace {

using candb::DecodeSignal;
using candb::ExtractRaw;

CandbSignal Signal(int type, int start, int length, double factor = 1, double offset = 0,
                   std::string unit = {}, int encoding = 0) {
    CandbSignal s;
    s.name = "S";
    s.unit = std::move(unit);
    s.representationType = type;
    s.startBit = start;
    s.length = length;
    s.factor = factor;
    s.offset = offset;
    s.encoding = encoding;
    return s;
}

std::string Text(const CandbSignal& s, const std::vector<uint8_t>& data) {
    uint64_t raw = 0;
    ExtractRaw(data.data(), data.size(), s.encoding, s.startBit, s.length, raw);
    return DecodeSignal(s, raw).valueText;
}

TEST(SignalDecoder, IntegerTextsOfHandComputedFrames) {
    EXPECT_EQ(Text(Signal(2, 0, 16, 1, 0, "rpm"), {0x34, 0x12}), "4660 (1234) rpm");
    // Signed raw values are sign-extended from their length before scaling.
    EXPECT_EQ(Text(Signal(1, 4, 4), {0xF0}), "-1 (FFFFFFFF) ");
    EXPECT_EQ(Text(Signal(1, 4, 4), {0x70}), "7 (0007) ");
    EXPECT_EQ(Text(Signal(1, 0, 8, 0.5, -10), {0x03}), "-8 (FFFFFFF8) ");
    // Unsigned values past 2^31 are not shown negative; offsets below zero are.
    EXPECT_EQ(Text(Signal(2, 0, 32), {0xFF, 0xFF, 0xFF, 0xFF}), "4294967295 (FFFFFFFF) ");
    EXPECT_EQ(Text(Signal(2, 0, 8, 1, -40, "degC"), {0x00}), "-40 (FFFFFFD8) degC");
    // Signals beyond 32 bits decode to their full value.
    EXPECT_EQ(Text(Signal(2, 0, 40), {0x01, 0x00, 0x00, 0x00, 0xFF}),
              "1095216660481 (FF00000001) ");
    EXPECT_EQ(Text(Signal(1, 0, 64), std::vector<uint8_t>(8, 0xFF)), "-1 (FFFFFFFFFFFFFFFF) ");
    EXPECT_EQ(Text(Signal(2, 0, 64), std::vector<uint8_t>(8, 0xFF)),
              "18446744073709551615 (FFFFFFFFFFFFFFFF) ");
    // Absurd scaling saturates instead of overflowing.
    EXPECT_EQ(Text(Signal(1, 0, 8, 1e300), {0x7F}), "9223372036854775807 (7FFFFFFFFFFFFFFF) ");
    // An invalid type has no value text.
    EXPECT_EQ(Text(Signal(0, 0, 8), {0x7F}), "");
}

TEST(SignalDecoder, SignalsTheFrameDoesNotCarryAreZero) {
    uint64_t raw = 99;
    const uint8_t data[2] = {0xFF, 0xFF};
    EXPECT_FALSE(ExtractRaw(data, 2, 0, 16, 8, raw));
    EXPECT_EQ(raw, 0u);
    EXPECT_FALSE(ExtractRaw(data, 2, 0, 12, 8, raw));  // half outside
    EXPECT_FALSE(ExtractRaw(data, 2, 1, 0, 16, raw));  // Motorola LSB in byte 0 goes to byte -1
    EXPECT_TRUE(ExtractRaw(data, 2, 1, 8, 16, raw));
    EXPECT_EQ(raw, 0xFFFFu);
    EXPECT_FALSE(ExtractRaw(data, 2, 0, 0, 0, raw));
    EXPECT_FALSE(ExtractRaw(data, 2, 0, 0, 65, raw));
    EXPECT_FALSE(ExtractRaw(data, 2, 0, -1, 4, raw));
    EXPECT_EQ(Text(Signal(2, 16, 8), {0xFF, 0xFF}), "0 (0000) ");
}

TEST(SignalDecoder, FloatAndDoubleAreTheirIeeeValuesScaled) {
    std::vector<uint8_t> data(8, 0);
    const float f = 1.5f;
    std::memcpy(data.data(), &f, 4);
    EXPECT_EQ(Text(Signal(3, 0, 32, 2, 1, "V"), data), "4.000000 V");
    const double d = -2.25;
    std::memcpy(data.data(), &d, 8);
    EXPECT_EQ(Text(Signal(4, 0, 64), data), "-2.250000 ");
    // Motorola float: the bytes stand most significant first.
    const uint8_t be[4] = {0x3F, 0xC0, 0x00, 0x00};  // 1.5f
    uint64_t raw = 0;
    // MSB at bit 7 of byte 0, LSB at bit 0 of byte 3.
    ASSERT_TRUE(ExtractRaw(be, 4, 1, 24, 32, raw));
    EXPECT_EQ(DecodeSignal(Signal(3, 24, 32, 1, 0, "", 1), raw).valueText, "1.500000 ");
}

TEST(SignalDecoder, ValueTablesAreLookedUpWithTheRawValue) {
    CandbSignal s = Signal(2, 0, 8, 0.5, 0);
    s.enumValues = std::vector<CandbEnumValue>{{0, "Off"}, {1, "On"}, {12, "Error"}};
    EXPECT_EQ(DecodeSignal(s, 12).tableText, "Error");  // physical 6, raw 12
    EXPECT_EQ(DecodeSignal(s, 6).tableText, "");
    CandbSignal neg = Signal(1, 0, 4);
    neg.enumValues = std::vector<CandbEnumValue>{{-1, "Invalid"}};
    EXPECT_EQ(DecodeSignal(neg, 0xF).tableText, "Invalid");
    CandbSignal none = Signal(2, 0, 8);
    EXPECT_EQ(DecodeSignal(none, 1).tableText, "");
}

// An encoder of its own: walks the signal bit by bit the way DBC files
// number them, the Motorola signal from its most significant bit.
void EncodeIntel(uint8_t* data, int lsb, int length, uint64_t value) {
    for (int k = 0; k < length; ++k) {
        const int p = lsb + k;
        if ((value >> k) & 1u) {
            data[p / 8] |= static_cast<uint8_t>(1u << (p % 8));
        }
    }
}

// Returns the LSB position; msb is the file's start bit.
int EncodeMotorola(uint8_t* data, int msb, int length, uint64_t value) {
    int p = msb;
    for (int k = length - 1; k >= 0; --k) {
        if (p < 128 && ((value >> k) & 1u)) {  // the caller skips signals past 16 bytes
            data[p / 8] |= static_cast<uint8_t>(1u << (p % 8));
        }
        if (k > 0) {
            p = p % 8 == 0 ? p + 15 : p - 1;
        }
    }
    return p;
}

TEST(SignalDecoder, BothByteOrdersAtEveryOffsetAndLength) {
    std::mt19937_64 rng(7);
    for (int length = 1; length <= 64; ++length) {
        const uint64_t mask = length == 64 ? ~0ULL : (1ULL << length) - 1;
        for (int start = 0; start + length <= 128; ++start) {
            const uint64_t value = rng() & mask;
            uint8_t intel[16] = {};
            EncodeIntel(intel, start, length, value);
            uint64_t raw = 0;
            ASSERT_TRUE(ExtractRaw(intel, 16, 0, start, length, raw));
            ASSERT_EQ(raw, value) << "Intel " << start << "|" << length;

            uint8_t motorola[16] = {};
            const int lsb = EncodeMotorola(motorola, start, length, value);
            if (lsb >= 128) {
                continue;  // runs past the frame
            }
            ASSERT_TRUE(ExtractRaw(motorola, 16, 1, lsb, length, raw));
            ASSERT_EQ(raw, value) << "Motorola " << start << "|" << length;
        }
    }
}

}  // namespace

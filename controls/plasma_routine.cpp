#include "controls/plasma_routine.h"

#include <algorithm>
#include <cmath>

namespace {

struct ColourPair {
    uint32_t from;
    uint32_t to;
};

// Gradient k of the palette runs from pair k's first colour towards its second.
constexpr ColourPair kPairs[8] = {
    {0x000000, 0xFF0000}, {0xFF0000, 0x00FF00}, {0x00FF00, 0xFFFF00}, {0xFFFF00, 0xFFFF00},
    {0xFFFF00, 0xFFFF00}, {0xFFFFFF, 0x006400}, {0x8B0000, 0x006400}, {0x8B0000, 0x000000},
};
constexpr int kGradientSteps = 32;

// n * distance / 32, rounded half away from zero.
int ScaledStep(int n, int distance) {
    return (n * distance + kGradientSteps / 2) / kGradientSteps;
}

uint32_t GradientColour(const ColourPair& pair, int n) {
    uint32_t colour = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int from = static_cast<int>((pair.from >> shift) & 0xFF);
        const int to = static_cast<int>((pair.to >> shift) & 0xFF);
        const int distance = to - from;
        const int sign = distance > 0 ? 1 : (distance < 0 ? -1 : 0);
        const int value = from + sign * ScaledStep(n, std::abs(distance));
        colour |= static_cast<uint32_t>(value) << shift;
    }
    return colour;
}

}  // namespace

void CPlasmaRoutine::Create(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    index_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
    for (int i = 0; i < 256; ++i) {
        cosine_[static_cast<size_t>(i)] = static_cast<int32_t>(std::cos(i * 0.04908734375) * 30);
    }
    for (int k = 0; k < 8; ++k) {
        for (int n = 0; n < kGradientSteps; ++n) {
            palette_[static_cast<size_t>(k * kGradientSteps + n)] = GradientColour(kPairs[k], n);
        }
    }
    Step();
}

void CPlasmaRoutine::Release() {
    width_ = 0;
    height_ = 0;
    index_ = {};
}

void CPlasmaRoutine::SetAlpha(int alpha) {
    alpha_ = std::clamp(alpha, 0, kMaxAlpha);
}

uint8_t CPlasmaRoutine::IndexAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    return index_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void CPlasmaRoutine::Step() {
    // Phases are bytes: their arithmetic wraps at 256 like the table index.
    // Locals, because the byte stores below could alias the members.
    const int32_t* t = cosine_.data();
    uint8_t a1 = frame_[0];
    uint8_t a2 = frame_[1];
    uint8_t a3 = 0;
    uint8_t a4 = 0;
    const uint8_t start3 = frame_[2];
    const uint8_t start4 = frame_[3];
    const int w = width_;
    const int h = height_;
    uint8_t* out = index_.data();
    for (int y = 0; y < h; ++y) {
        a3 = start3;
        a4 = start4;
        const int32_t rowPart = t[a1] + t[a2];
        for (int x = 0; x < w; ++x) {
            *out++ = static_cast<uint8_t>(rowPart + t[a3] + t[a4]);
            a3 = static_cast<uint8_t>(a3 + 1);
            a4 = static_cast<uint8_t>(a4 + 2);
        }
        a1 = static_cast<uint8_t>(a1 + 1);
        a2 = static_cast<uint8_t>(a2 + 2);
    }
    run_ = {a1, a2, a3, a4};
    frame_[0] = static_cast<uint8_t>(frame_[0] + 1);
    frame_[1] = static_cast<uint8_t>(frame_[1] - 2);
    frame_[2] = static_cast<uint8_t>(frame_[2] - 1);
    frame_[3] = static_cast<uint8_t>(frame_[3] + 3);
}

void CPlasmaRoutine::Blend(uint32_t* pixels, int width, int height) const {
    if (pixels == nullptr) {
        return;
    }
    const int w = std::min(width, width_);
    const int h = std::min(height, height_);
    const int32_t alpha = alpha_;
    for (int y = 0; y < h; ++y) {
        const uint8_t* index = index_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
        uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < w; ++x) {
            const uint32_t c = palette_[index[x]];
            const uint32_t p = row[x];
            uint32_t out = p & 0xFF000000u;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int32_t cb = static_cast<int32_t>((c >> shift) & 0xFF);
                const int32_t pb = static_cast<int32_t>((p >> shift) & 0xFF);
                out |= static_cast<uint32_t>(((cb - pb) * alpha + pb * 256) >> 8) << shift;
            }
            row[x] = out;
        }
    }
}

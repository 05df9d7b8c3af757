#include "controls/water_routine.h"

#include <algorithm>

void CWaterRoutine::Create(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    const size_t size = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    field1_.assign(size, 0);
    field2_.assign(size, 0);
    page_ = 0;
}

void CWaterRoutine::Release() {
    width_ = 0;
    height_ = 0;
    field1_ = {};
    field2_ = {};
    page_ = 0;
}

void CWaterRoutine::ClearFields() {
    std::fill(field1_.begin(), field1_.end(), 0);
    std::fill(field2_.begin(), field2_.end(), 0);
}

int32_t CWaterRoutine::FieldAt(int field, int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    return Field(
        field)[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

namespace {

inline uint32_t Shade(uint32_t pixel, int32_t by) {
    const auto channel = [by](uint32_t value) {
        return static_cast<uint32_t>(std::clamp(static_cast<int32_t>(value & 0xFF) - by, 0, 255));
    };
    return (pixel & 0xFF000000u) | (channel(pixel >> 16) << 16) | (channel(pixel >> 8) << 8) |
           channel(pixel);
}

// One inner row: each pixel shows the source pixel the slope points at.
template <bool kLight>
void DrawRow(const int32_t* __restrict f, const uint32_t* __restrict source,
             uint32_t* __restrict target, int first, int end, int w, int total) {
    for (int i = first; i < end; ++i) {
        const int32_t dx = f[i] - f[i + 1];
        const int32_t dy = f[i] - f[i + w];
        const int64_t s = static_cast<int64_t>(i) + static_cast<int64_t>(w) * (dy >> 3) + (dx >> 3);
        if (s < 1 || s >= total) {
            target[i] = source[i];
        } else if constexpr (kLight) {
            target[i] = Shade(source[s], dx);
        } else {
            target[i] = source[s];
        }
    }
}

}  // namespace

void CWaterRoutine::Render(const uint32_t* source, uint32_t* target) {
    const int w = width_;
    const int h = height_;
    if (w < 3 || h < 3 || source == nullptr || target == nullptr) {
        page_ ^= 1;
        return;
    }
    const int total = w * h;
    // The border is never moved by the water: it shows the source, as does a
    // pixel whose slope points outside the picture. Every pixel is written
    // each step, so an overlay blended on top never piles up.
    std::copy(source, source + w, target);
    std::copy(source + total - w, source + total, target + total - w);
    const int32_t* f = field1_.data();
    const bool lit = light != 0;
    for (int y = 1; y < h - 1; ++y) {
        const int row = y * w;
        target[row] = source[row];
        target[row + w - 1] = source[row + w - 1];
        if (lit) {
            DrawRow<true>(f, source, target, row + 1, row + w - 1, w, total);
        } else {
            DrawRow<false>(f, source, target, row + 1, row + w - 1, w, total);
        }
    }

    std::vector<int32_t>& fresh = page_ == 0 ? field1_ : field2_;
    const std::vector<int32_t>& old = page_ == 0 ? field2_ : field1_;
    // The two fields never overlap; saying so lets the compiler vectorise.
    int32_t* __restrict n = fresh.data();
    const int32_t* __restrict o = old.data();
    const int damping = density;
    for (int y = 1; y < h - 1; ++y) {
        for (int i = y * w + 1; i < y * w + w - 1; ++i) {
            const int32_t sum = o[i - 1] + o[i + 1] + o[i - w] + o[i + w] + o[i - w - 1] +
                                o[i - w + 1] + o[i + w - 1] + o[i + w + 1];
            const int32_t value = (sum >> 2) - n[i];
            n[i] = value - (value >> damping);
        }
    }
    page_ ^= 1;
}

bool CWaterRoutine::HeightBlob(int x, int y, int radius, int height) {
    const int w = width_;
    const int h = height_;
    if (w < 3 || h < 3 || radius <= 0) {
        return false;
    }
    // A random place keeps the whole blob inside; a picture too small for
    // that gets no random drop at all.
    if (x < 0) {
        const int span = w - 2 * radius - 1;
        if (span <= 0) {
            return false;
        }
        x = radius + static_cast<int>(Random() % static_cast<uint32_t>(span)) + 1;
    }
    if (y < 0) {
        const int span = h - 2 * radius - 1;
        if (span <= 0) {
            return false;
        }
        y = radius + static_cast<int>(Random() % static_cast<uint32_t>(span)) + 1;
    }
    std::vector<int32_t>& field = CurrentField();
    const int64_t r2 = static_cast<int64_t>(radius) * radius;
    bool raised = false;
    for (int dy = std::max(-radius, 1 - y); dy < std::min(radius, h - 1 - y); ++dy) {
        for (int dx = std::max(-radius, 1 - x); dx < std::min(radius, w - 1 - x); ++dx) {
            if (dx * dx + dy * dy < r2) {
                field[static_cast<size_t>(y + dy) * static_cast<size_t>(w) +
                      static_cast<size_t>(x + dx)] += height;
                raised = true;
            }
        }
    }
    return raised;
}

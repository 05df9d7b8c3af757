#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The colour plasma: an index image from four running cosine phases and a
// palette of eight gradients, blended over a picture at a level of 0..256.
// Table lookups and shifts only; nothing is allocated after Create.
class CPlasmaRoutine {
public:
    static constexpr int kPaletteSize = 256;
    static constexpr int kMaxAlpha = 256;

    virtual ~CPlasmaRoutine() = default;

    // Index image, cosine table and palette for width x height, then one step.
    void Create(int width, int height);
    void Release();
    // Next frame of the index image.
    void Step();
    // Blends the palette colours into the pixels (width x height, packed
    // rows) where both the plasma and the picture have them.
    void Blend(uint32_t* pixels, int width, int height) const;

    void SetAlpha(int alpha);
    int Alpha() const { return alpha_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    uint8_t IndexAt(int x, int y) const;
    // 0x00RRGGBB
    const std::array<uint32_t, kPaletteSize>& Palette() const { return palette_; }
    const std::array<int32_t, 256>& CosineTable() const { return cosine_; }

private:
    int width_ = 0;
    int height_ = 0;
    int alpha_ = 30;
    std::vector<uint8_t> index_;
    std::array<uint32_t, kPaletteSize> palette_{};
    std::array<int32_t, 256> cosine_{};
    std::array<uint8_t, 4> run_{};    // phases while an image is drawn
    std::array<uint8_t, 4> frame_{};  // phases at the start of the next image
};

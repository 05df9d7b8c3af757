#pragma once

#include <cstdint>
#include <random>
#include <vector>

// The water ripple: two height fields that alternate as old and new state,
// and the drawing that shifts each pixel by the slope of the water there.
// Integer arithmetic only; nothing is allocated after Create.
class CWaterRoutine {
public:
    virtual ~CWaterRoutine() = default;

    // Both height fields for a width x height picture, all 0; page 0.
    void Create(int width, int height);
    void Release();
    // Both fields back to flat water.
    void ClearFields();
    // Draws source into target (width x height pixels each, packed rows)
    // through the water, moves the simulation one step and flips the page.
    void Render(const uint32_t* source, uint32_t* target);
    // Raises the water of the current page by height within radius of
    // (x, y), clipped to the inner area. A negative x or y stands for a
    // random place. False when nothing could be dropped.
    bool HeightBlob(int x, int y, int radius, int height);

    void Seed(uint32_t seed) { random_.seed(seed); }
    uint32_t Random() { return static_cast<uint32_t>(random_()); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Page() const { return page_; }
    // Height of field 1 or 2 at a pixel.
    int32_t FieldAt(int field, int x, int y) const;
    const std::vector<int32_t>& Field(int field) const { return field == 1 ? field1_ : field2_; }
    // The field drops go into: field 1 on page 0, field 2 on page 1.
    std::vector<int32_t>& CurrentField() { return page_ == 0 ? field1_ : field2_; }

    int light = 1;          // shade the shifted pixels by the slope
    int lightModifier = 1;  // kept for the settings of the effect; drawing does not use it
    int density = 5;        // damping: each step keeps 1 - 1/2^density of the wave

private:
    int width_ = 0;
    int height_ = 0;
    int page_ = 0;
    std::vector<int32_t> field1_;
    std::vector<int32_t> field2_;
    std::minstd_rand random_;
};

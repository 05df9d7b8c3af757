#pragma once

#include <QImage>
#include <QPoint>
#include <cstdint>

class QPainter;

// An off-screen picture of 32-bit pixels (0x??RRGGBB, blue in the lowest
// byte), rows top-down and packed, that the effect code reads and writes
// directly.
class CDIBSection {
public:
    // A copy of bitmap's pixels at its size; false (and empty) for a null bitmap.
    bool Create(const QImage& bitmap);
    // Copies the pixels of another picture of the same size; false otherwise.
    bool CopyFrom(const CDIBSection& other);
    void Draw(QPainter& painter, QPoint at) const;
    void Release() { image_ = QImage(); }

    bool IsNull() const { return image_.isNull(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    uint32_t* Bits() { return reinterpret_cast<uint32_t*>(image_.bits()); }
    const uint32_t* Bits() const { return reinterpret_cast<const uint32_t*>(image_.constBits()); }
    const QImage& Image() const { return image_; }

private:
    QImage image_;
};

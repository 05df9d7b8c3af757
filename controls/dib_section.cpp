#include "controls/dib_section.h"

#include <QPainter>
#include <cstring>

bool CDIBSection::Create(const QImage& bitmap) {
    image_ = QImage();
    if (bitmap.isNull()) {
        return false;
    }
    // RGB32 lines are whole words, so the pixels lie packed row after row;
    // the copy keeps the picture from sharing data with the bitmap.
    QImage copy = bitmap.convertToFormat(QImage::Format_RGB32).copy();
    copy.setDevicePixelRatio(1.0);
    if (copy.isNull()) {
        return false;
    }
    image_ = std::move(copy);
    return true;
}

bool CDIBSection::CopyFrom(const CDIBSection& other) {
    if (other.IsNull() || other.Width() != Width() || other.Height() != Height()) {
        return false;
    }
    std::memcpy(Bits(), other.Bits(),
                static_cast<size_t>(Width()) * static_cast<size_t>(Height()) * sizeof(uint32_t));
    return true;
}

void CDIBSection::Draw(QPainter& painter, QPoint at) const {
    if (!image_.isNull()) {
        painter.drawImage(at, image_);
    }
}

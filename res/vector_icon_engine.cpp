#include "res/vector_icon_engine.h"

#include <QPainter>
#include <QPixmapCache>

#include "res/vector_renderer.h"

namespace res {

VectorIconEngine::VectorIconEngine(const SorvaneResImage* image, uint32_t cell,
                                   const SorvaneResImage* disabledImage, uint32_t disabledCell)
    : image_(image), cell_(cell), disabledImage_(disabledImage), disabledCell_(disabledCell) {}

QSize VectorIconEngine::FitSize(const QSize& size) const {
    if (image_ == nullptr || size.isEmpty()) {
        return QSize();
    }
    QSize design = CellSize(*image_);
    if (design.isEmpty()) {
        return QSize();
    }
    return design.scaled(size, Qt::KeepAspectRatio);
}

QSize VectorIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    return FitSize(size);
}

QPixmap VectorIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap VectorIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State,
                                       qreal scale) {
    // Qt asks with the size in device pixels; the cell is drawn at its
    // logical size times the scale, so that it stays crisp.
    if (!(scale > 0)) {
        scale = 1;
    }
    const QSize fit = FitSize(QSize(qRound(size.width() / scale), qRound(size.height() / scale)));
    if (fit.isEmpty()) {
        return QPixmap();
    }
    const bool disabled = mode == QIcon::Disabled;
    const SorvaneResImage* image = image_;
    uint32_t cell = cell_;
    bool derive = disabled;
    if (disabled && disabledImage_ != nullptr && disabledCell_ < CellCount(*disabledImage_)) {
        image = disabledImage_;
        cell = disabledCell_;
        derive = false;
    }
    const QString cacheKey = QStringLiteral("sorvane-res/%1/%2/%3x%4/%5/%6")
                                 .arg(quintptr(image), 0, 16)
                                 .arg(cell)
                                 .arg(fit.width())
                                 .arg(fit.height())
                                 .arg(scale)
                                 .arg(derive ? 1 : 0);
    QPixmap cached;
    if (QPixmapCache::find(cacheKey, &cached)) {
        return cached;
    }
    QPixmap result = QPixmap::fromImage(RenderCell(*image, cell, fit, scale, derive));
    QPixmapCache::insert(cacheKey, result);
    return result;
}

void VectorIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                             QIcon::State state) {
    const qreal scale = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1;
    QPixmap pm = scaledPixmap(rect.size() * scale, mode, state, scale);
    if (pm.isNull()) {
        return;
    }
    const QSizeF logical = QSizeF(pm.size()) / pm.devicePixelRatio();
    const QPointF topLeft(rect.x() + (rect.width() - logical.width()) / 2,
                          rect.y() + (rect.height() - logical.height()) / 2);
    painter->drawPixmap(topLeft, pm);
}

QList<QSize> VectorIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
    if (image_ == nullptr) {
        return {};
    }
    QSize design = CellSize(*image_);
    QList<QSize> sizes{design};
    // Window icons are asked for by size; offer the usual ones.
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        QSize s = design.scaled(side, side, Qt::KeepAspectRatio);
        if (!sizes.contains(s)) {
            sizes.append(s);
        }
    }
    return sizes;
}

QIconEngine* VectorIconEngine::clone() const {
    return new VectorIconEngine(image_, cell_, disabledImage_, disabledCell_);
}

QString VectorIconEngine::key() const {
    return QStringLiteral("SorvaneVectorIconEngine");
}

bool VectorIconEngine::isNull() {
    return image_ == nullptr || cell_ >= CellCount(*image_);
}

}  // namespace res

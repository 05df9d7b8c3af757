#pragma once

#include <QIconEngine>

#include "res/resource_set.h"

namespace res {

// An icon drawn from one cell of a resource image at whatever size and
// device-pixel ratio it is asked for, so it stays crisp at 1x and 2x. The
// disabled mode shows the cell of the disabled image when there is one,
// else the cell in the derived disabled look. The images must outlive the
// icon: the built-in set always does, a language library stays loaded.
class VectorIconEngine : public QIconEngine {
public:
    VectorIconEngine(const SorvaneResImage* image, uint32_t cell,
                     const SorvaneResImage* disabledImage = nullptr, uint32_t disabledCell = 0);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override;

private:
    QSize FitSize(const QSize& size) const;

    const SorvaneResImage* image_;
    uint32_t cell_;
    const SorvaneResImage* disabledImage_;
    uint32_t disabledCell_;
};

}  // namespace res

#include "res/vector_renderer.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPen>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace res {

namespace {

class PathReader {
public:
    explicit PathReader(const char* data) : p_(data) {}

    void SkipSeparators() {
        while (*p_ != 0 && (std::isspace(static_cast<unsigned char>(*p_)) || *p_ == ',')) {
            ++p_;
        }
    }
    bool AtEnd() {
        SkipSeparators();
        return *p_ == 0;
    }
    bool AtNumber() {
        SkipSeparators();
        return *p_ == '-' || *p_ == '+' || *p_ == '.' ||
               std::isdigit(static_cast<unsigned char>(*p_));
    }
    char Command() { return *p_++; }
    bool Number(qreal* value) {
        if (!AtNumber()) {
            return false;
        }
        char* end = nullptr;
        double v = std::strtod(p_, &end);
        if (end == p_ || !std::isfinite(v)) {
            return false;
        }
        p_ = end;
        *value = v;
        return true;
    }
    bool Point(QPointF* point) {
        qreal x = 0;
        qreal y = 0;
        if (!Number(&x) || !Number(&y)) {
            return false;
        }
        *point = QPointF(x, y);
        return true;
    }

private:
    const char* p_;
};

QColor Argb(uint32_t value) {
    return QColor::fromRgba(value);
}

QPainterPath ShapePath(const SorvaneResShape& shape) {
    QPainterPath path;
    switch (shape.kind) {
        case SORVANE_SHAPE_PATH:
            ParsePathData(shape.path, &path);
            break;
        case SORVANE_SHAPE_RECT:
            if (shape.radius > 0) {
                path.addRoundedRect(QRectF(shape.x, shape.y, shape.w, shape.h), shape.radius,
                                    shape.radius);
            } else {
                path.addRect(QRectF(shape.x, shape.y, shape.w, shape.h));
            }
            break;
        case SORVANE_SHAPE_ELLIPSE:
            path.addEllipse(QRectF(shape.x, shape.y, shape.w, shape.h));
            break;
        default:
            break;
    }
    return path;
}

}  // namespace

bool ParsePathData(const char* data, QPainterPath* path) {
    if (data == nullptr || path == nullptr) {
        return false;
    }
    PathReader reader(data);
    QPointF current;
    QPointF start;
    char command = 0;
    while (!reader.AtEnd()) {
        if (!reader.AtNumber()) {
            command = reader.Command();
        } else if (command == 0 || command == 'Z' || command == 'z') {
            return false;  // numbers without a command
        }
        const bool relative = std::islower(static_cast<unsigned char>(command)) != 0;
        const QPointF origin = relative ? current : QPointF();
        QPointF a;
        QPointF b;
        QPointF c;
        qreal v = 0;
        switch (command) {
            case 'M':
            case 'm':
                if (!reader.Point(&a)) {
                    return false;
                }
                current = start = origin + a;
                path->moveTo(current);
                // Further pairs after a move are lines.
                command = relative ? 'l' : 'L';
                break;
            case 'L':
            case 'l':
                if (!reader.Point(&a)) {
                    return false;
                }
                current = origin + a;
                path->lineTo(current);
                break;
            case 'H':
            case 'h':
                if (!reader.Number(&v)) {
                    return false;
                }
                current.setX((relative ? current.x() : 0) + v);
                path->lineTo(current);
                break;
            case 'V':
            case 'v':
                if (!reader.Number(&v)) {
                    return false;
                }
                current.setY((relative ? current.y() : 0) + v);
                path->lineTo(current);
                break;
            case 'C':
            case 'c':
                if (!reader.Point(&a) || !reader.Point(&b) || !reader.Point(&c)) {
                    return false;
                }
                path->cubicTo(origin + a, origin + b, origin + c);
                current = origin + c;
                break;
            case 'Q':
            case 'q':
                if (!reader.Point(&a) || !reader.Point(&b)) {
                    return false;
                }
                path->quadTo(origin + a, origin + b);
                current = origin + b;
                break;
            case 'Z':
            case 'z':
                path->closeSubpath();
                current = start;
                break;
            default:
                return false;
        }
    }
    return true;
}

void PaintVector(QPainter& painter, const SorvaneResVector& cell, const QSizeF& design,
                 const QRectF& target) {
    if (cell.shapes == nullptr || design.isEmpty()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(target.topLeft());
    painter.scale(target.width() / design.width(), target.height() / design.height());
    for (uint32_t i = 0; i < cell.shapeCount; ++i) {
        const SorvaneResShape& shape = cell.shapes[i];
        QPainterPath path = ShapePath(shape);
        if (path.isEmpty()) {
            continue;
        }
        if (qAlpha(shape.fill) != 0 ||
            ((shape.flags & SORVANE_SHAPE_GRADIENT) && qAlpha(shape.fill2) != 0)) {
            if (shape.flags & SORVANE_SHAPE_GRADIENT) {
                QRectF box = path.boundingRect();
                QLinearGradient gradient(box.topLeft(), (shape.flags & SORVANE_SHAPE_HGRADIENT)
                                                            ? box.topRight()
                                                            : box.bottomLeft());
                gradient.setColorAt(0, Argb(shape.fill));
                gradient.setColorAt(1, Argb(shape.fill2));
                painter.fillPath(path, gradient);
            } else {
                painter.fillPath(path, Argb(shape.fill));
            }
        }
        if (qAlpha(shape.stroke) != 0 && shape.strokeWidth > 0) {
            Qt::PenCapStyle cap = Qt::RoundCap;
            Qt::PenJoinStyle join = Qt::RoundJoin;
            if (shape.flags & SORVANE_SHAPE_FLAT_CAP) {
                cap = Qt::FlatCap;
                join = Qt::MiterJoin;
            } else if (shape.flags & SORVANE_SHAPE_SQUARE_CAP) {
                cap = Qt::SquareCap;
                join = Qt::MiterJoin;
            }
            QPen pen(Argb(shape.stroke), shape.strokeWidth, Qt::SolidLine, cap, join);
            painter.strokePath(path, pen);
        }
    }
    painter.restore();
}

void ApplyDisabledLook(QImage* image) {
    if (image == nullptr || image->isNull()) {
        return;
    }
    if (image->format() != QImage::Format_ARGB32_Premultiplied) {
        *image = image->convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    for (int y = 0; y < image->height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image->scanLine(y));
        for (int x = 0; x < image->width(); ++x) {
            QRgb pixel = qUnpremultiply(line[x]);
            int alpha = qAlpha(pixel);
            if (alpha == 0) {
                continue;
            }
            int grey = qGray(pixel);
            // Compress towards a mid grey so dark and light parts stay apart
            // but nothing reads as active.
            int level = 112 + grey * 96 / 255;
            line[x] = qPremultiply(qRgba(level, level, level, alpha * 3 / 5));
        }
    }
}

QSize CellSize(const SorvaneResImage& image) {
    if (image.cellWidth > 0 && image.cellHeight > 0) {
        return QSize(image.cellWidth, image.cellHeight);
    }
    if (image.png != nullptr && image.pngSize > 0) {
        QImage whole;
        whole.loadFromData(image.png, static_cast<int>(image.pngSize), "PNG");
        return whole.size();
    }
    return QSize();
}

uint32_t CellCount(const SorvaneResImage& image) {
    if (image.png != nullptr && image.pngSize > 0) {
        QSize cell = CellSize(image);
        QImage whole;
        if (cell.isEmpty() ||
            !whole.loadFromData(image.png, static_cast<int>(image.pngSize), "PNG")) {
            return 0;
        }
        return static_cast<uint32_t>(whole.width() / cell.width());
    }
    return image.cells != nullptr ? image.cellCount : 0;
}

QImage RenderCell(const SorvaneResImage& image, uint32_t cell, QSize size, qreal dpr,
                  bool disabled) {
    const QSize design = CellSize(image);
    if (design.isEmpty() || cell >= CellCount(image)) {
        return {};
    }
    if (size.isEmpty()) {
        size = design;
    }
    if (!(dpr > 0) || dpr > 16) {
        dpr = 1;
    }
    const QSize pixels(qMax(1, qRound(size.width() * dpr)), qMax(1, qRound(size.height() * dpr)));
    QImage result;
    if (image.png != nullptr && image.pngSize > 0) {
        QImage whole;
        qreal scale = 1;
        if (dpr > 1.25 && image.png2x != nullptr && image.png2xSize > 0 &&
            whole.loadFromData(image.png2x, static_cast<int>(image.png2xSize), "PNG")) {
            scale = 2;
        } else {
            whole.loadFromData(image.png, static_cast<int>(image.pngSize), "PNG");
        }
        QRect source(qRound(cell * design.width() * scale), 0, qRound(design.width() * scale),
                     qRound(design.height() * scale));
        result = whole.copy(source).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (result.size() != pixels) {
            result = result.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
    } else {
        result = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        PaintVector(painter, image.cells[cell], QSizeF(design),
                    QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    if (disabled) {
        ApplyDisabledLook(&result);
    }
    result.setDevicePixelRatio(dpr);
    return result;
}

QImage RenderImage(const SorvaneResImage& image, qreal dpr, bool disabled) {
    const QSize cell = CellSize(image);
    const uint32_t count = CellCount(image);
    if (cell.isEmpty() || count == 0) {
        return {};
    }
    if (!(dpr > 0) || dpr > 16) {
        dpr = 1;
    }
    QImage whole(qRound(cell.width() * count * dpr), qRound(cell.height() * dpr),
                 QImage::Format_ARGB32_Premultiplied);
    whole.fill(Qt::transparent);
    QPainter painter(&whole);
    for (uint32_t i = 0; i < count; ++i) {
        QImage part = RenderCell(image, i, cell, dpr, disabled);
        part.setDevicePixelRatio(1);
        painter.drawImage(qRound(i * cell.width() * dpr), 0, part);
    }
    painter.end();
    whole.setDevicePixelRatio(dpr);
    return whole;
}

}  // namespace res

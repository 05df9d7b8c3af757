#pragma once

#include <QImage>
#include <QPainterPath>
#include <QSize>

#include "res/resource_set.h"

namespace res {

// Parses path data (M L H V C Q Z, upper case absolute, lower case
// relative). Stops at the first error, keeps what was read before it and
// reports false.
bool ParsePathData(const char* data, QPainterPath* path);

// Draws one vector cell into target (logical coordinates of painter),
// scaling the design grid to the target.
void PaintVector(QPainter& painter, const SorvaneResVector& cell, const QSizeF& design,
                 const QRectF& target);

// Turns a rendered image into its disabled look: grey, light and faint.
void ApplyDisabledLook(QImage* image);

// Renders cell of image at size (logical pixels; empty = the design size) for
// a device-pixel ratio. The result carries the ratio. A PNG image is scaled
// from the larger of its two renditions when that suits the ratio. A null
// image when the cell does not exist.
QImage RenderCell(const SorvaneResImage& image, uint32_t cell, QSize size, qreal dpr,
                  bool disabled);
// Renders the whole image (all cells side by side) at its design size.
QImage RenderImage(const SorvaneResImage& image, qreal dpr, bool disabled);

// Size of one cell at scale 1 (for a PNG without cell size: the whole image).
QSize CellSize(const SorvaneResImage& image);
// Number of cells of an image.
uint32_t CellCount(const SorvaneResImage& image);

}  // namespace res

// Painting of CItemList: background, the visible rows, the row-header strip
// and the grid. Qt double-buffers the widget, so the rows are drawn straight
// onto the viewport.
#include <QPaintEvent>
#include <QPainter>

#include "controls/item_list.h"

namespace {

const QColor kRowHeaderStrip(255, 250, 250);

// The rectangle is drawn in NOT-XOR mode over the freshly filled background,
// so its colour is known without reading pixels back.
QColor NotXor(QColor pen, QColor background) {
    const QRgb v = ~(pen.rgb() ^ background.rgb());
    return QColor(qRed(v), qGreen(v), qBlue(v));
}

}  // namespace

int CItemList::ColumnLeft(int column) const {
    int x = rowHeaderWidth_ - HorizontalPosition();
    const int n = qMin(column, static_cast<int>(columnWidths_.size()));
    for (int i = 0; i < n; ++i) {
        x += columnWidths_[static_cast<size_t>(i)];
    }
    return x;
}

QRect CItemList::CellRect(const QRect& rowRect, int column) const {
    if (column < 0 || column >= static_cast<int>(columnWidths_.size())) {
        return QRect();
    }
    return QRect(ColumnLeft(column), rowRect.top(), columnWidths_[static_cast<size_t>(column)],
                 rowRect.height());
}

void CItemList::DrawCellText(QPainter& painter, const QRect& cell, const QString& text,
                             Qt::Alignment align) const {
    if (text.isEmpty() || cell.width() <= 0) {
        return;
    }
    const int width = normalMetrics_.horizontalAdvance(text);
    if (width > cell.width()) {
        const int flags = static_cast<int>(align | Qt::AlignVCenter) | Qt::TextSingleLine;
        painter.drawText(cell, flags,
                         normalMetrics_.elidedText(text, Qt::ElideRight, cell.width()));
        return;
    }
    // A text that fits is drawn at its baseline: the plain path lays out one
    // run with no formatting pass, which keeps painting a row cheap.
    int x = cell.left();
    if (align & Qt::AlignRight) {
        x = cell.right() + 1 - width;
    } else if (align & Qt::AlignHCenter) {
        x = cell.left() + (cell.width() - width) / 2;
    }
    const int y =
        cell.top() + (cell.height() - normalMetrics_.height()) / 2 + normalMetrics_.ascent();
    painter.drawText(QPoint(x, y), text);
}

void CItemList::DrawSelection(QPainter& painter, const QRect& rect, QColor brush, QColor pen) {
    painter.fillRect(rect, NotXor(brush, background_));
    painter.setPen(NotXor(pen, background_));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

void CItemList::paintEvent(QPaintEvent* /*event*/) {
    if (!created_) {
        return;
    }
    QPainter painter(viewport());
    painter.setFont(normalFont_);
    painter.setBackgroundMode(Qt::TransparentMode);
    // Rows start with the window-text pen; the selection rectangle's pen and
    // brush must not leak into the row drawn on top of it.
    const QPen textPen(palette().color(QPalette::Text));
    painter.setPen(textPen);
    painter.fillRect(itemRect_, background_);

    const int count = GetItemCount();
    const int right = itemRect_.right();
    const int rowWidth = itemRect_.width();
    QRect row(itemRect_.left(), itemRect_.top(), rowWidth, rowHeight_);
    int painted = 0;
    for (int i = TopIndex(); painted < visibleRows_ && i < count; ++i, ++painted) {
        if (selectionEnabled_ && i == selection_) {
            const QRect sel(QPoint(itemRect_.left() + rowHeaderWidth_, row.top() + 1),
                            QPoint(right, row.bottom()));
            const QPalette& pal = palette();
            if (hasFocus()) {
                const QColor c = pal.color(QPalette::Active, QPalette::Highlight);
                DrawSelection(painter, sel, c, c);
            } else {
                // Unfocused: a pale form of the highlight with a shadow rim.
                QColor pale = pal.color(QPalette::Active, QPalette::Highlight);
                const QColor base = pal.color(QPalette::Base);
                pale.setRgb((pale.red() + base.red() * 2) / 3,
                            (pale.green() + base.green() * 2) / 3,
                            (pale.blue() + base.blue() * 2) / 3);
                DrawSelection(painter, sel, pale, pal.color(QPalette::Dark));
            }
            painter.setPen(textPen);
            painter.setBrush(Qt::NoBrush);
        }
        DrawItem(painter, row, i);
        if (rowHeaderWidth_ > 0) {
            painter.fillRect(QRect(0, row.top(), rowHeaderWidth_, rowHeight_), kRowHeaderStrip);
        }
        row.translate(0, rowHeight_);
    }
    if (rowHeaderWidth_ > 0 && row.top() <= itemRect_.bottom()) {
        painter.fillRect(
            QRect(QPoint(0, row.top()), QPoint(rowHeaderWidth_ - 1, itemRect_.bottom())),
            kRowHeaderStrip);
    }

    // Grid: a line at the top and under every visible row position, also
    // where no row is, and one at the left of each column.
    painter.setPen(QPen(palette().color(QPalette::Button), 1));
    for (int k = 0; k <= visibleRows_; ++k) {
        const int y = itemRect_.top() + k * rowHeight_;
        painter.drawLine(rowHeaderWidth_, y, right, y);
    }
    int x = rowHeaderWidth_ - HorizontalPosition();
    const int columns = static_cast<int>(columnWidths_.size());
    for (int c = 0; c <= columns; ++c) {
        if (x >= rowHeaderWidth_ && (c < columns || columns > 0)) {
            painter.drawLine(x - 1, itemRect_.top(), x - 1, itemRect_.bottom());
        }
        if (c < columns) {
            x += columnWidths_[static_cast<size_t>(c)];
        }
    }
}

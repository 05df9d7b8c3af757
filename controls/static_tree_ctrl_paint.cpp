// Painting of CStaticTreeCtrl. Qt double-buffers the widget, so the rows are
// drawn straight onto the viewport.
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include "controls/static_tree_ctrl.h"

void CStaticTreeCtrl::paintEvent(QPaintEvent* /*event*/) {
    Layout();
    QPainter painter(viewport());
    painter.setBackgroundMode(Qt::TransparentMode);
    const int width = viewport()->width();
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const int p = ScrollPosition();
    for (CStaticTreeItem* item = firstVisible_; item != nullptr; item = item->nextVisible) {
        DrawRow(painter, item, item->position.y() - p, width);
    }
}

void CStaticTreeCtrl::DrawRow(QPainter& painter, CStaticTreeItem* item, int top, int width) {
    const QPalette& pal = palette();
    const int r = rowHeight_;
    painter.fillRect(QRect(0, top + 1, width, r - 1), pal.color(QPalette::Base));

    const QFont* font = &normalFont_;
    QColor textColor;
    int image = item->image;
    if (item->selected) {
        font = &boldFont_;
        textColor = pal.color(QPalette::Light);
        const int fillTop = item->HasChildren() ? top : top + 1;
        painter.fillRect(QRect(0, fillTop, width, top + r - fillTop),
                         pal.color(QPalette::Highlight));
        if (item->selectedImage != -1) {
            image = item->selectedImage;
        }
    } else {
        textColor = item->textColor == CStaticTreeItem::kAutoColor ? pal.color(QPalette::Text)
                                                                   : ColorFromRef(item->textColor);
    }

    int x = Indent(item) + 8;
    if (item->HasChildren()) {
        font = &parentFont_;
        // The box looks the same open or closed.
        const QRect box(x + 2, top + (r - kBoxSize) / 2, kBoxSize, kBoxSize);
        painter.fillRect(box, pal.color(QPalette::Button));
        painter.setPen(pal.color(QPalette::Dark));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        x += 11;
    }
    x += 8;
    if (HasImageList() && image != -1) {
        // An index the list lacks draws nothing but keeps the slot.
        if (image >= 0 && image < ImageCount()) {
            painter.drawPixmap(QPoint(x + 2, top + (r - kImageSize) / 2),
                               images_[static_cast<size_t>(image)]);
        }
        x += 24;
    }

    const QRect textRect(x, top, width - x, r);
    if (textRect.width() > 0 && !item->text.isEmpty()) {
        painter.setFont(*font);
        painter.setPen(textColor);
        // The painter's own measure: the font as it is drawn on this device.
        const QFontMetrics metrics = painter.fontMetrics();
        // Shortened only when it does not fit, which is rare and costs a layout.
        if (metrics.horizontalAdvance(item->text) <= textRect.width()) {
            painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             item->text);
        } else {
            painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             metrics.elidedText(item->text, Qt::ElideRight, textRect.width(),
                                                Qt::TextSingleLine));
        }
    }

    painter.setPen(pal.color(QPalette::Button));
    painter.drawLine(0, top + r, width, top + r);
}

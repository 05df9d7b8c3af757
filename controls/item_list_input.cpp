#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "controls/item_list.h"

// The item list's input side: wheel, hit test, selection, mouse, keys,
// focus and the context menu.

bool CItemList::WheelStep(int deltaY) {
    // Only a scrollable list reacts, one line per wheel message whatever
    // its size.
    if (vPage_ == 0 || vMax_ == 0 || vMax_ <= vPage_) {
        return false;
    }
    VScroll(deltaY > 0 ? Scroll::LineUp : Scroll::LineDown);
    return true;
}

void CItemList::wheelEvent(QWheelEvent* event) {
    // Sideways-only and empty deltas (end of a touchpad gesture) are no
    // wheel movement.
    if (event->angleDelta().y() != 0) {
        WheelStep(event->angleDelta().y());
    }
    event->accept();
}

bool CItemList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel &&
        (watched == verticalScrollBar() || watched == horizontalScrollBar())) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

int CItemList::HitTest(QPoint point) const {
    if (point.y() < headerHeight_ || rowHeight_ <= 0) {
        return -1;
    }
    const int row = TopIndex() + (point.y() - headerHeight_) / rowHeight_;
    if (row < 0 || row >= GetItemCount()) {
        return -1;
    }
    return row;
}

int CItemList::ClampIndex(int index) const {
    const int count = GetItemCount();
    if (count <= 0) {
        return 0;
    }
    return qBound(0, index, count - 1);
}

void CItemList::NotifyOwner(int code, int index) {
    Q_EMIT itemNotify(code, index);
}

void CItemList::SetSelection(int index, bool ensureVisible) {
    if (index < 0 || index >= GetItemCount() || index == selection_) {
        return;
    }
    selection_ = index;
    NotifyOwner(ILN_SELCHANGE, index);
    if (ensureVisible) {
        EnsureVisible(index, false);
    }
    // The highlight moved even when the row was already in view.
    InvalidateItems();
}

void CItemList::EnsureVisible(int index, bool invalidate) {
    if (index < 0 || index >= GetItemCount() || rowHeight_ <= 0) {
        return;
    }
    const int h = viewport()->height();
    const int r = rowHeight_;
    const int t = headerHeight_;
    const int p = TopIndex();
    const int y = index * r + t;
    if (y >= p * r + t && y < p * r + h - r) {
        return;
    }
    const int pos = y < p * r + t ? index : (index * r + 2 * r + t - h) / r;
    verticalScrollBar()->setValue(qMax(0, pos));
    if (invalidate) {
        InvalidateItems();
    }
}

void CItemList::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        const int row = HitTest(event->position().toPoint());
        if (row != selection_) {
            SetSelection(row, true);
        }
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void CItemList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int row = HitTest(event->position().toPoint());
        if (row >= 0) {
            NotifyOwner(ILN_DBLCLK, row);
        }
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

int CItemList::KeySelect(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            NotifyOwner(ILN_RETURN, selection_);
            return selection_;
        case Qt::Key_PageUp:
            return ClampIndex(selection_ - visibleRows_);
        case Qt::Key_PageDown:
            return ClampIndex(selection_ + visibleRows_);
        case Qt::Key_End:
            return ClampIndex(GetItemCount() - 1);
        case Qt::Key_Home:
            return ClampIndex(0);
        case Qt::Key_Left:
            HScroll(Scroll::LineUp);
            return selection_;
        case Qt::Key_Right:
            HScroll(Scroll::LineDown);
            return selection_;
        // With no selection (-1) both arrows land on row 0.
        case Qt::Key_Up:
            return ClampIndex(selection_ - 1);
        case Qt::Key_Down:
            return ClampIndex(selection_ + 1);
        default:
            return selection_;
    }
}

int CItemList::KeyScroll(int key) {
    switch (key) {
        case Qt::Key_PageUp:
            VScroll(Scroll::PageUp);
            break;
        case Qt::Key_PageDown:
            VScroll(Scroll::PageDown);
            break;
        case Qt::Key_End:
            VScroll(Scroll::Bottom);
            break;
        case Qt::Key_Home:
            VScroll(Scroll::Top);
            break;
        case Qt::Key_Left:
            HScroll(Scroll::LineUp);
            break;
        case Qt::Key_Right:
            HScroll(Scroll::LineDown);
            break;
        case Qt::Key_Up:
            VScroll(Scroll::LineUp);
            break;
        case Qt::Key_Down:
            VScroll(Scroll::LineDown);
            break;
        default:
            break;
    }
    return selection_;
}

void CItemList::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool handled = key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_End ||
                         key == Qt::Key_Home || key == Qt::Key_Left || key == Qt::Key_Right ||
                         key == Qt::Key_Up || key == Qt::Key_Down ||
                         ((key == Qt::Key_Return || key == Qt::Key_Enter) && selectionEnabled_);
    if (!handled) {
        event->ignore();
        return;
    }
    const int candidate = selectionEnabled_ ? KeySelect(key) : KeyScroll(key);
    if (candidate >= 0 && candidate < GetItemCount() && candidate != selection_) {
        SetSelection(candidate, true);
    }
    event->accept();
}

void CItemList::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    InvalidateItems();
}

void CItemList::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    InvalidateItems();
}

void CItemList::contextMenuEvent(QContextMenuEvent* event) {
    // The owning frame shows its menu at the same screen point.
    QWidget* owner = parentWidget();
    if (owner == nullptr) {
        event->ignore();
        return;
    }
    QContextMenuEvent forwarded(event->reason(), owner->mapFromGlobal(event->globalPos()),
                                event->globalPos(), event->modifiers());
    QCoreApplication::sendEvent(owner, &forwarded);
    event->accept();
}

// The static tree's input side: mouse, keys, wheel, cursor and focus.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "controls/static_tree_ctrl.h"

void CStaticTreeCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        CStaticTreeItem* item = nullptr;
        const bool onBox = HitTestBox(event->position().toPoint(), &item);
        if (item != nullptr) {
            setFocus(Qt::MouseFocusReason);
            if (onBox) {
                item->expanded = item->expanded ? 0 : 1;
                RecalcScroll();
            } else {
                if (item != current_) {
                    Q_EMIT treeNotify(STN_SELCHANGE, item);
                }
                SelectItem(item, true);
            }
        }
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void CStaticTreeCtrl::mouseMoveEvent(QMouseEvent* event) {
    // The hand over an expand box says that a click there opens or closes.
    if (HitTestBox(event->position().toPoint())) {
        viewport()->setCursor(Qt::PointingHandCursor);
    } else {
        viewport()->unsetCursor();
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void CStaticTreeCtrl::wheelEvent(QWheelEvent* event) {
    // One line per wheel message; a sideways-only delta is no vertical move.
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        VScroll(delta > 0 ? Scroll::LineUp : Scroll::LineDown);
    }
    event->accept();
}

bool CStaticTreeCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == verticalScrollBar() && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void CStaticTreeCtrl::MoveSelection(CStaticTreeItem* target) {
    if (target == nullptr || target == current_) {
        return;
    }
    SelectItem(target, true);
    Q_EMIT treeNotify(STN_SELCHANGE, target);
}

void CStaticTreeCtrl::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageUp:
            VScroll(Scroll::PageUp);
            break;
        case Qt::Key_PageDown:
            VScroll(Scroll::PageDown);
            break;
        case Qt::Key_Home:
            SelectItem(FirstItem(), true);
            break;
        case Qt::Key_End:
            SelectItem(lastVisible_, true);
            break;
        case Qt::Key_Left:
            if (current_ != nullptr && current_->HasChildren() && current_->expanded) {
                current_->expanded = 0;
                RecalcScroll();
            }
            [[fallthrough]];
        case Qt::Key_Up:
            MoveSelection(current_ != nullptr ? VisibleBefore(current_) : lastVisible_);
            break;
        case Qt::Key_Right:
            if (current_ != nullptr && current_->HasChildren() && !current_->expanded) {
                current_->expanded = 1;
                RecalcScroll();
            }
            [[fallthrough]];
        case Qt::Key_Down:
            MoveSelection(current_ == nullptr   ? firstVisible_
                          : IsVisible(current_) ? current_->nextVisible
                                                : nullptr);
            break;
        default:
            // Enter, Escape and the rest belong to the dialog around the tree.
            event->ignore();
            return;
    }
    event->accept();
}

void CStaticTreeCtrl::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    Refresh();
}

void CStaticTreeCtrl::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    Refresh();
}

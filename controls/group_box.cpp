#include "controls/group_box.h"

#include <QEvent>
#include <QMoveEvent>

CGroupBox::CGroupBox(QWidget* parent) : QGroupBox(parent), lastGeometry_(geometry()) {}

CGroupBox::CGroupBox(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), lastGeometry_(geometry()) {}

int CGroupBox::ForEachInner(const std::function<bool(QWidget*)>& action, QRect rect) const {
    QWidget* parent = parentWidget();
    if (!propagation_ || !action || parent == nullptr) {
        return 0;
    }
    if (rect.isNull()) {
        rect = geometry();
    }
    // Siblings share the parent's coordinates; the children list is the
    // stacking order, the box's followers are the controls made after it.
    const QObjectList& siblings = parent->children();
    qsizetype start = 0;
    if (followingOnly_) {
        start = siblings.indexOf(const_cast<CGroupBox*>(this));
        if (start < 0) {
            return 0;
        }
    }
    int applied = 0;
    for (qsizetype i = start; i < siblings.size(); ++i) {
        auto* w = qobject_cast<QWidget*>(siblings.at(i));
        if (w == nullptr || w == this || w->isWindow()) {
            continue;
        }
        const QRect r = w->geometry();
        bool inner = rect.contains(r);
        if (!inner) {
            const bool partial = rect.contains(r.topLeft()) || rect.contains(r.bottomRight());
            if (partial) {
                inner = includePartial_;
            } else if (followingOnly_) {
                break;
            }
        }
        if (!inner) {
            continue;
        }
        ++applied;
        if (!action(w)) {
            break;
        }
    }
    return applied;
}

void CGroupBox::setVisible(bool visible) {
    // Only an explicit show or hide of the box travels; a parent opening or
    // closing shows and hides the siblings by itself.
    const bool wasHidden = isHidden();
    QGroupBox::setVisible(visible);
    if (wasHidden != isHidden()) {
        ForEachInner([visible](QWidget* w) {
            w->setVisible(visible);
            return true;
        });
    }
}

void CGroupBox::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() != QEvent::EnabledChange) {
        return;
    }
    // A parent being disabled reaches the siblings itself; only the box's
    // own state is carried over.
    const bool enabledNow = !testAttribute(Qt::WA_ForceDisabled);
    if (enabledNow == explicitEnabled_) {
        return;
    }
    explicitEnabled_ = enabledNow;
    ForEachInner([enabledNow](QWidget* w) {
        w->setEnabled(enabledNow);
        return true;
    });
    update();
}

void CGroupBox::moveEvent(QMoveEvent* event) {
    QGroupBox::moveEvent(event);
    const QRect before = lastGeometry_;
    lastGeometry_ = geometry();
    const QPoint offset = event->pos() - event->oldPos();
    if (offset.isNull() || before.isNull()) {
        return;
    }
    // The inner controls still lie inside the rectangle the box had.
    ForEachInner(
        [offset](QWidget* w) {
            w->move(w->pos() + offset);
            return true;
        },
        before);
    update();
}

void CGroupBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    lastGeometry_ = geometry();
}

#include "controls/up_down_ctrl.h"

#include <QToolButton>
#include <QWheelEvent>

namespace {

QToolButton* ArrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

CUpDownCtrl::CUpDownCtrl(QWidget* parent)
    : QWidget(parent),
      up_(ArrowButton(Qt::UpArrow, this)),
      down_(ArrowButton(Qt::DownArrow, this)) {
    connect(up_, &QToolButton::clicked, this, [this] { Q_EMIT deltaPos(-1); });
    connect(down_, &QToolButton::clicked, this, [this] { Q_EMIT deltaPos(1); });
}

void CUpDownCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

void CUpDownCtrl::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta != 0 && isEnabled()) {
        Q_EMIT deltaPos(delta > 0 ? -1 : 1);
    }
    event->accept();
}

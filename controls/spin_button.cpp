#include "controls/spin_button.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

CSpinButton::CSpinButton(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIconSize(QSize(7, 7));
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { Step(true); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(false); });
}

void CSpinButton::SetBuddy(QLineEdit* buddy, bool setBuddyInt) {
    if (buddy_ != nullptr) {
        buddy_->removeEventFilter(this);
    }
    buddy_ = buddy;
    buddyInt_ = setBuddyInt;
    if (buddy_ != nullptr) {
        buddy_->installEventFilter(this);
    }
}

void CSpinButton::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    position_ = std::clamp(position_, std::min(lower_, upper_), std::max(lower_, upper_));
}

void CSpinButton::Step(bool up) {
    if (!isEnabled()) {
        return;
    }
    const int toUpper = upper_ >= lower_ ? 1 : -1;
    const int delta = up ? toUpper : -toUpper;
    const int low = std::min(lower_, upper_);
    const int high = std::max(lower_, upper_);
    if (buddyInt_ && buddy_ != nullptr) {
        // The number in the field is where the step starts; a field that
        // holds none keeps the control's own position.
        bool ok = false;
        const int typed = buddy_->text().trimmed().toInt(&ok);
        if (ok) {
            position_ = std::clamp(typed, low, high);
        }
    }
    Q_EMIT DeltaPos(delta);
    long long next = static_cast<long long>(position_) + delta;
    if (next > high) {
        next = wrap_ ? low : high;
    } else if (next < low) {
        next = wrap_ ? high : low;
    }
    position_ = static_cast<int>(next);
    if (buddyInt_ && buddy_ != nullptr) {
        buddy_->setText(QString::number(position_));
    }
}

QSize CSpinButton::sizeHint() const {
    return QSize(16, 22);
}

bool CSpinButton::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) &&
            key->modifiers() == Qt::NoModifier && isEnabled()) {
            Step(key->key() == Qt::Key_Up);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CSpinButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

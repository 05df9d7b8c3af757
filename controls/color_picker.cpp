#include "controls/color_picker.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

CColorPicker::CColorPicker(QWidget* parent, int id) : QPushButton(parent), controlId_(id) {
    setObjectName(QString::number(id));
    connect(this, &QPushButton::clicked, this, [this] { OpenPopup(); });
}

void CColorPicker::SetColor(uint32_t color) {
    color_ = color;
    update();
}

CColorPopup* CColorPicker::OpenPopup() {
    if (!isEnabled()) {
        return nullptr;
    }
    if (popup_ != nullptr) {
        return popup_;
    }
    const QRect anchor(mapToGlobal(QPoint(0, 0)), size());
    popup_ = new CColorPopup(anchor, color_, this);
    connect(popup_, &CColorPopup::colorNotify, this, &CColorPicker::OnPopupNotify);
    return popup_;
}

void CColorPicker::OnPopupNotify(int code, uint32_t color) {
    if (code != CPN_COLORCHOSEN) {
        return;
    }
    SetColor(color);
    Q_EMIT colorNotify(CPN_COLORCHOSEN, color);
}

int CColorPicker::SeparatorX() const {
    // The arrow part is as wide as a scroll bar's arrow, and never narrower
    // than the classic one, so the arrow keeps clear of the button's frame.
    const int thumb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return width() - qMax(thumb, 17);
}

QRect CColorPicker::SwatchRect() const {
    // 4 pixels in from the left and the top, 2 from the bottom, 3 from the separator.
    return QRect(QPoint(4, 4), QPoint(SeparatorX() - 4, height() - 3));
}

QSize CColorPicker::sizeHint() const {
    return QSize(60, 22);
}

void CColorPicker::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QPalette& pal = palette();
    const int separator = SeparatorX();
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawLine(separator, 4, separator, height() - 5);
    painter.setPen(pal.color(QPalette::Light));
    painter.drawLine(separator + 1, 4, separator + 1, height() - 5);

    // Four lines of 7, 5, 3 and 1 pixels centred in the arrow part.
    painter.setPen(
        pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const int middle = (separator + 2 + width()) / 2;
    const int top = height() / 2 - 2;
    for (int i = 0; i < 4; ++i) {
        const int half = 3 - i;
        painter.drawLine(middle - half, top + i, middle + half, top + i);
    }

    const QRect swatch = SwatchRect();
    painter.fillRect(swatch, ColorFromColorRef(isEnabled() ? color_ : kDisabledSwatch));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

#include "ui/dialogs/copyright_link.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

CCopyrightLink::CCopyrightLink(QWidget* parent) : QAbstractButton(parent) {
    setObjectName(QStringLiteral("CCopyrightLink"));
    font_ = QApplication::font();
    font_.setUnderline(true);
    setFont(font_);
    setCursor(Qt::PointingHandCursor);
    // Repaint on enter and leave, so the colour follows the mouse.
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, &CCopyrightLink::Open);
}

void CCopyrightLink::SetVisited(bool visited) {
    visited_ = visited;
    update();
}

QColor CCopyrightLink::TextColor() const {
    if (visited_) {
        return QColor::fromRgb(kVisitedColor);
    }
    if (underMouse() || isDown()) {
        return QColor::fromRgb(kHotColor);
    }
    return QColor::fromRgb(kNormalColor);
}

QSize CCopyrightLink::sizeHint() const {
    const QFontMetrics metrics(font_);
    return QSize(metrics.horizontalAdvance(text()) + kTextIndent * 2, metrics.height());
}

void CCopyrightLink::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setFont(font_);
    painter.setPen(TextColor());
    const QRect face = rect().adjusted(kTextIndent, 0, 0, 0);
    painter.drawText(face, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    if (hasFocus()) {
        QStyleOption option;
        option.initFrom(this);
        option.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CCopyrightLink::Open() {
    if (url_.isValid() && QDesktopServices::openUrl(url_)) {
        SetVisited(true);
    }
}

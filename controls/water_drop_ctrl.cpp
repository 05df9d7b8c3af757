#include "controls/water_drop_ctrl.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

CWaterDropCtrl::CWaterDropCtrl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CWaterDropCtrl"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setObjectName(QString::number(kEffectTimerId));
    timer_.setInterval(kEffectPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &CWaterDropCtrl::Step);
    water_.Seed(static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch()) + 20210401u);
}

bool CWaterDropCtrl::SetSource(const QImage& bitmap) {
    if (!source_.Create(bitmap) || !render_.Create(source_.Image())) {
        source_.Release();
        render_.Release();
        water_.Release();
        plasma_.Release();
        StopEffect();
        update();
        return false;
    }
    water_.Create(source_.Width(), source_.Height());
    plasma_.Create(source_.Width(), source_.Height());
    updateGeometry();
    update();
    return true;
}

void CWaterDropCtrl::StartEffect() {
    if (!HasSource()) {
        return;
    }
    timer_.start();
    Step();
    timerStarted_ = true;
}

void CWaterDropCtrl::StopEffect() {
    timer_.stop();
    timerStarted_ = false;
}

void CWaterDropCtrl::Step() {
    if (!effectActive_ || !HasSource()) {
        return;
    }
    if (waterEnabled_) {
        water_.Render(source_.Bits(), render_.Bits());
    } else {
        render_.CopyFrom(source_);
    }
    if (plasmaEnabled_) {
        plasma_.Blend(render_.Bits(), render_.Width(), render_.Height());
        plasma_.Step();
    }
    update();
    if (waterEnabled_ && randomDrops_ && water_.Random() % 5 == 0) {
        water_.HeightBlob(-1, -1, kMoveRadius, kMoveHeight);
    }
}

void CWaterDropCtrl::Drop(int x, int y, int radius, int height) {
    water_.HeightBlob(x, y, radius, height);
}

void CWaterDropCtrl::RestoreSource() {
    render_.CopyFrom(source_);
    update();
}

QSize CWaterDropCtrl::sizeHint() const {
    return HasSource() ? QSize(source_.Width(), source_.Height()) : QSize(0, 0);
}

void CWaterDropCtrl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    render_.Draw(painter, QPoint(0, 0));
}

void CWaterDropCtrl::DropAt(QPoint point, int radius, int height) {
    // Only points on the picture: a drag that leaves it makes no ripples
    // elsewhere. Picture rows run top-down like the widget's.
    if (point.x() < 0 || point.y() < 0 || point.x() >= source_.Width() ||
        point.y() >= source_.Height()) {
        return;
    }
    water_.HeightBlob(point.x(), point.y(), radius, height);
}

void CWaterDropCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && AcceptsDrops()) {
        DropAt(event->position().toPoint(), kClickRadius, kClickHeight);
    }
    QWidget::mousePressEvent(event);
}

void CWaterDropCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (AcceptsDrops()) {
        const bool held = (event->buttons() & Qt::LeftButton) != 0;
        DropAt(event->position().toPoint(), held ? kClickRadius : kMoveRadius,
               held ? kClickHeight : kMoveHeight);
    }
    QWidget::mouseMoveEvent(event);
}

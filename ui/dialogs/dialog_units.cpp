#include "ui/dialogs/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    // Rounded as the classic dialog manager rounds its base units.
    baseX_ = qMax(1, (metrics.horizontalAdvance(sample) / 26 + 1) / 2);
    baseY_ = qMax(1, metrics.height());
}

void CDialogUnits::Place(QWidget* widget, int x, int y, int cx, int cy) const {
    widget->setGeometry(Rect(x, y, cx, cy));
}

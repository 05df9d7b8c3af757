#pragma once

#include <QFont>
#include <QRect>

// Dialog layouts are written in dialog units: a quarter of the dialog
// font's average character width across and an eighth of its height down,
// so that a layout grows with its font.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);
    int X(int units) const { return units * baseX_ / 4; }
    int Y(int units) const { return units * baseY_ / 8; }
    QRect Rect(int x, int y, int cx, int cy) const { return QRect(X(x), Y(y), X(cx), Y(cy)); }

private:
    int baseX_;
    int baseY_;
};

#pragma once

#include <QFont>
#include <QRect>

class QWidget;

// Dialog units of a font, as dialog templates place their controls: a
// horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its height. The pages are laid out in these
// units so that they grow with the font and keep their proportions.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    // Rounded to the nearest pixel, as the dialog manager maps its rectangles.
    int X(int units) const { return (units * baseX_ + 2) / 4; }
    int Y(int units) const { return (units * baseY_ + 4) / 8; }
    QRect Rect(int x, int y, int cx, int cy) const { return QRect(X(x), Y(y), X(cx), Y(cy)); }
    // Gives the widget its rectangle in dialog units.
    void Place(QWidget* widget, int x, int y, int cx, int cy) const;

private:
    int baseX_;
    int baseY_;
};

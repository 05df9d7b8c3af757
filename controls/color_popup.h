#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

// Notification code of the colour controls, carried by their colorNotify
// signals: a colour was chosen; the value is the colour (0x00BBGGRR, or
// kAutomaticColor for the automatic entry).
enum ColorNotify : int {
    CPN_COLORCHOSEN = -1604,
};

// The value that stands for the automatic colour.
inline constexpr uint32_t kAutomaticColor = 0xFF000000u;

// 0x00BBGGRR to a colour and back; the high byte is not part of the colour,
// so the automatic value paints black, as it reads back after a restart.
QColor ColorFromColorRef(uint32_t colorRef);
uint32_t ColorRefFromColor(const QColor& color);

// The small borderless window a CColorPicker opens: the automatic entry on
// top, 40 named colours in 5 rows of 8, and the more-colours entry that
// opens the colour dialog. It grabs the mouse and the keyboard while open,
// reports a choice with colorNotify and closes itself (and is deleted) on a
// choice or a cancel; a cancel sends nothing.
class CColorPopup : public QWidget {
    Q_OBJECT
public:
    static constexpr int kColorCount = 40;
    static constexpr int kColumns = 8;
    static constexpr int kRows = (kColorCount + kColumns - 1) / kColumns;
    static constexpr int kCellSize = 20;
    static constexpr int kMargin = 2;  // the classic edge width

    // Entries that are not grid cells.
    enum Entry : int {
        kNone = -1,
        kMoreEntry = -2,
        kAutomaticEntry = -3,
    };

    struct PaletteEntry {
        uint32_t color;   // 0x00BBGGRR
        uint32_t nameId;  // string id of its name
    };
    static const std::array<PaletteEntry, kColorCount>& Palette();
    // The first grid index holding color, kNone when it is not in the palette.
    static int PaletteIndex(uint32_t color);

    // The names of the grid cells and the two entries' texts. Without a call
    // they are read from the resources when the first popup opens.
    static void LoadTexts();  // from the resources of the active language
    static void SetTexts(const QStringList& names, const QString& automatic, const QString& more);
    static QString ColorName(int index);
    static QString AutomaticText();
    static QString MoreText();

    // The colour dialog of the more-colours entry: shown with the initial
    // colour, true with the chosen one in *chosen on OK. Tests install their
    // own; null restores the platform dialog. Returns the previous one.
    using ColorDialog = std::function<bool(QWidget* parent, uint32_t initial, uint32_t* chosen)>;
    static ColorDialog SetColorDialog(ColorDialog dialog);

    // The top-left corner that keeps a popup of size on screen: below the
    // anchor (the picker, global coordinates) from its left edge, moved left
    // to stay inside the screen, above the anchor when it would pass the
    // bottom of the screen.
    static QPoint PlaceOnScreen(const QRect& anchor, QSize size, const QRect& screen);

    // The entry an arrow key (Qt::Key_Left .. Key_Down) leads to from entry.
    static int Neighbour(int entry, int key);

    // The button face made lighter: its lightness L (0..1) becomes 0.75 + L / 4.
    static QColor Lighter(const QColor& color);

    // Opens below anchor (global coordinates) and shows itself.
    CColorPopup(const QRect& anchor, uint32_t initialColor, QWidget* owner);

    uint32_t InitialColor() const { return initial_; }
    uint32_t CurrentColor() const { return current_; }
    uint32_t CustomColor() const { return custom_; }
    int Highlighted() const { return highlighted_; }
    int Selected() const { return selected_; }
    // The entry at a point of the popup, kNone outside every entry.
    int EntryAt(QPoint point) const;
    QRect EntryRect(int entry) const;
    QColor BackgroundColor() const { return background_; }

Q_SIGNALS:
    // CPN_COLORCHOSEN with the colour.
    void colorNotify(int code, uint32_t color);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Layout();
    void Highlight(int entry);
    void Choose();
    void Cancel();
    void Finish();
    void DrawEntry(QPainter& painter, int entry);
    uint32_t EntryColor(int entry) const;

    uint32_t initial_;
    uint32_t current_;
    uint32_t custom_ = kAutomaticColor;  // none
    int highlighted_ = kNone;
    int selected_ = kNone;
    bool finished_ = false;
    int boxHeight_ = kCellSize;
    QRect automaticBox_;
    QRect moreBox_;
    QPoint gridOrigin_;
    QColor background_;
    QColor highlight_;
    QColor highlightFill_;
    QColor text_;
    QColor frame_;
};

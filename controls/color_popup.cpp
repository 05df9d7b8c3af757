#include "controls/color_popup.h"

#include <QColorDialog>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QToolTip>

#include "res/ids.h"
#include "res/resources.h"

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

// Row by row, 8 to a row. Entries 10 and 11 repeat the colours of 2 and 3
// under other names.
constexpr std::array<CColorPopup::PaletteEntry, CColorPopup::kColorCount> kPalette = {{
    {Rgb(0, 0, 0), IDS_COLOR_NAME_FIRST + 0},
    {Rgb(165, 42, 0), IDS_COLOR_NAME_FIRST + 1},
    {Rgb(0, 64, 64), IDS_COLOR_NAME_FIRST + 2},
    {Rgb(0, 100, 0), IDS_COLOR_NAME_FIRST + 3},
    {Rgb(0, 0, 94), IDS_COLOR_NAME_FIRST + 4},
    {Rgb(0, 0, 139), IDS_COLOR_NAME_FIRST + 5},
    {Rgb(75, 0, 130), IDS_COLOR_NAME_FIRST + 6},
    {Rgb(40, 40, 40), IDS_COLOR_NAME_FIRST + 7},
    {Rgb(139, 0, 0), IDS_COLOR_NAME_FIRST + 8},
    {Rgb(255, 104, 32), IDS_COLOR_NAME_FIRST + 9},
    {Rgb(0, 64, 64), IDS_COLOR_NAME_FIRST + 10},
    {Rgb(0, 100, 0), IDS_COLOR_NAME_FIRST + 11},
    {Rgb(56, 142, 142), IDS_COLOR_NAME_FIRST + 12},
    {Rgb(0, 0, 255), IDS_COLOR_NAME_FIRST + 13},
    {Rgb(123, 123, 192), IDS_COLOR_NAME_FIRST + 14},
    {Rgb(102, 102, 102), IDS_COLOR_NAME_FIRST + 15},
    {Rgb(255, 0, 0), IDS_COLOR_NAME_FIRST + 16},
    {Rgb(255, 173, 91), IDS_COLOR_NAME_FIRST + 17},
    {Rgb(50, 205, 50), IDS_COLOR_NAME_FIRST + 18},
    {Rgb(60, 179, 113), IDS_COLOR_NAME_FIRST + 19},
    {Rgb(127, 255, 212), IDS_COLOR_NAME_FIRST + 20},
    {Rgb(173, 216, 230), IDS_COLOR_NAME_FIRST + 21},
    {Rgb(128, 0, 128), IDS_COLOR_NAME_FIRST + 22},
    {Rgb(128, 128, 128), IDS_COLOR_NAME_FIRST + 23},
    {Rgb(255, 192, 203), IDS_COLOR_NAME_FIRST + 24},
    {Rgb(255, 215, 0), IDS_COLOR_NAME_FIRST + 25},
    {Rgb(255, 255, 0), IDS_COLOR_NAME_FIRST + 26},
    {Rgb(0, 255, 0), IDS_COLOR_NAME_FIRST + 27},
    {Rgb(64, 224, 208), IDS_COLOR_NAME_FIRST + 28},
    {Rgb(135, 206, 235), IDS_COLOR_NAME_FIRST + 29},
    {Rgb(221, 160, 221), IDS_COLOR_NAME_FIRST + 30},
    {Rgb(192, 192, 192), IDS_COLOR_NAME_FIRST + 31},
    {Rgb(255, 228, 225), IDS_COLOR_NAME_FIRST + 32},
    {Rgb(210, 180, 140), IDS_COLOR_NAME_FIRST + 33},
    {Rgb(255, 255, 224), IDS_COLOR_NAME_FIRST + 34},
    {Rgb(152, 251, 152), IDS_COLOR_NAME_FIRST + 35},
    {Rgb(175, 238, 238), IDS_COLOR_NAME_FIRST + 36},
    {Rgb(104, 131, 139), IDS_COLOR_NAME_FIRST + 37},
    {Rgb(230, 230, 250), IDS_COLOR_NAME_FIRST + 38},
    {Rgb(255, 255, 255), IDS_COLOR_NAME_FIRST + 39},
}};

struct PopupTexts {
    QStringList names;
    QString automatic;
    QString more;
    bool loaded = false;
};

PopupTexts& Texts() {
    static PopupTexts texts;
    return texts;
}

const PopupTexts& LoadedTexts() {
    if (!Texts().loaded) {
        CColorPopup::LoadTexts();
    }
    return Texts();
}

bool PlatformColorDialog(QWidget* parent, uint32_t initial, uint32_t* chosen) {
    const QColor color = QColorDialog::getColor(ColorFromColorRef(initial), parent);
    if (!color.isValid()) {
        return false;
    }
    *chosen = ColorRefFromColor(color);
    return true;
}

CColorPopup::ColorDialog& Dialog() {
    static CColorPopup::ColorDialog dialog = PlatformColorDialog;
    return dialog;
}

// Room between a box and the grid, with the dividing line in its middle.
constexpr int kGap = 2 * CColorPopup::kMargin + 1;

}  // namespace

QColor ColorFromColorRef(uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

uint32_t ColorRefFromColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<uint32_t>(rgb.red()) | (static_cast<uint32_t>(rgb.green()) << 8) |
           (static_cast<uint32_t>(rgb.blue()) << 16);
}

// ---- tables and helpers -----------------------------------------------------

const std::array<CColorPopup::PaletteEntry, CColorPopup::kColorCount>& CColorPopup::Palette() {
    return kPalette;
}

int CColorPopup::PaletteIndex(uint32_t color) {
    for (int i = 0; i < kColorCount; ++i) {
        if (kPalette[static_cast<size_t>(i)].color == color) {
            return i;
        }
    }
    return kNone;
}

void CColorPopup::LoadTexts() {
    const res::Resources& res = res::Resources::Instance();
    QStringList names;
    for (const PaletteEntry& entry : kPalette) {
        names.append(res.String(entry.nameId));
    }
    SetTexts(names, res.String(IDS_COLOR_AUTOMATIC), res.String(IDS_COLOR_MORE));
}

void CColorPopup::SetTexts(const QStringList& names, const QString& automatic,
                           const QString& more) {
    PopupTexts& texts = Texts();
    texts.names = names;
    // A short list leaves the remaining cells without a name, never out of range.
    while (texts.names.size() < kColorCount) {
        texts.names.append(QString());
    }
    texts.automatic = automatic;
    texts.more = more;
    texts.loaded = true;
}

QString CColorPopup::ColorName(int index) {
    const PopupTexts& texts = LoadedTexts();
    return index >= 0 && index < kColorCount ? texts.names[index] : QString();
}

QString CColorPopup::AutomaticText() {
    return LoadedTexts().automatic;
}

QString CColorPopup::MoreText() {
    return LoadedTexts().more;
}

CColorPopup::ColorDialog CColorPopup::SetColorDialog(ColorDialog dialog) {
    ColorDialog previous = Dialog();
    Dialog() = dialog ? std::move(dialog) : ColorDialog(PlatformColorDialog);
    return previous;
}

QPoint CColorPopup::PlaceOnScreen(const QRect& anchor, QSize size, const QRect& screen) {
    QPoint at(anchor.left(), anchor.bottom() + 1);
    if (at.x() + size.width() > screen.right() + 1) {
        at.setX(screen.right() + 1 - size.width());
    }
    at.setX(qMax(at.x(), screen.left()));
    if (at.y() + size.height() > screen.bottom() + 1) {
        at.setY(anchor.top() - size.height());
    }
    // A screen too low for the popup above the picker as well: its top stays visible.
    at.setY(qMax(at.y(), screen.top()));
    return at;
}

QColor CColorPopup::Lighter(const QColor& color) {
    const QColor hsl = color.toHsl();
    const float lightness = 0.75f + hsl.lightnessF() / 4.0f;
    return QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), lightness).toRgb();
}

int CColorPopup::Neighbour(int entry, int key) {
    const int last = kColorCount - 1;
    const int lastRow = (kRows - 1) * kColumns;
    switch (key) {
        case Qt::Key_Left:
            if (entry == kMoreEntry) {
                return last;
            }
            return entry <= 0 ? kAutomaticEntry : entry - 1;
        case Qt::Key_Right:
            if (entry == kAutomaticEntry || entry == kNone) {
                return 0;
            }
            return entry == kMoreEntry || entry >= last ? kMoreEntry : entry + 1;
        case Qt::Key_Up:
            if (entry == kMoreEntry) {
                return lastRow;
            }
            return entry < kColumns ? kAutomaticEntry : entry - kColumns;
        case Qt::Key_Down:
            if (entry == kAutomaticEntry || entry == kNone) {
                return 0;
            }
            return entry == kMoreEntry || entry + kColumns > last ? kMoreEntry : entry + kColumns;
        default:
            return entry;
    }
}

// ---- the window -------------------------------------------------------------

CColorPopup::CColorPopup(const QRect& anchor, uint32_t initialColor, QWidget* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint),
      initial_(initialColor),
      current_(initialColor) {
    setObjectName(QStringLiteral("CColorPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    const QPalette& pal = palette();
    background_ = Lighter(pal.color(QPalette::Button));
    highlightFill_ = Lighter(pal.color(QPalette::Highlight));
    // A pale highlight colour framed in itself hardly shows on the light background.
    highlight_ = pal.color(QPalette::Highlight).darker(130);
    text_ = pal.color(QPalette::WindowText);
    frame_ = pal.color(QPalette::ButtonText);

    if (initialColor == kAutomaticColor) {
        selected_ = kAutomaticEntry;
    } else {
        selected_ = PaletteIndex(initialColor);
        if (selected_ == kNone) {
            selected_ = kMoreEntry;
            custom_ = initialColor;
        }
    }
    highlighted_ = selected_;
    Layout();

    const QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (screen == nullptr) {
        screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    }
    if (screen != nullptr) {
        move(PlaceOnScreen(anchor, size(), screen->availableGeometry()));
    } else {
        move(anchor.bottomLeft() + QPoint(0, 1));
    }
    // Switching to another application ends the choice.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive) {
                    Cancel();
                }
            });
    show();
    setFocus(Qt::PopupFocusReason);
}

void CColorPopup::Layout() {
    const QFontMetrics metrics(font());
    boxHeight_ = qMax(kCellSize, metrics.height() + 2 * kMargin + 2);
    int textWidth = qMax(metrics.horizontalAdvance(AutomaticText()),
                         metrics.horizontalAdvance(MoreText()) +
                             (custom_ != kAutomaticColor ? kCellSize + kMargin : 0));
    textWidth += 4 * kMargin;  // room for the frame of a highlighted box
    const int width = qMax(kColumns * kCellSize + 2 * kMargin, textWidth + 2 * kMargin);
    automaticBox_ = QRect(kMargin, kMargin, width - 2 * kMargin, boxHeight_);
    gridOrigin_ = QPoint((width - kColumns * kCellSize) / 2, automaticBox_.bottom() + 1 + kGap);
    moreBox_ =
        QRect(kMargin, gridOrigin_.y() + kRows * kCellSize + kGap, width - 2 * kMargin, boxHeight_);
    setFixedSize(width, moreBox_.bottom() + 1 + kMargin);
}

int CColorPopup::EntryAt(QPoint point) const {
    if (automaticBox_.contains(point)) {
        return kAutomaticEntry;
    }
    if (moreBox_.contains(point)) {
        return kMoreEntry;
    }
    const QPoint offset = point - gridOrigin_;
    if (offset.x() < 0 || offset.y() < 0) {
        return kNone;
    }
    const int column = offset.x() / kCellSize;
    const int row = offset.y() / kCellSize;
    const int index = row * kColumns + column;
    return column < kColumns && row < kRows && index < kColorCount ? index : kNone;
}

QRect CColorPopup::EntryRect(int entry) const {
    if (entry == kAutomaticEntry) {
        return automaticBox_;
    }
    if (entry == kMoreEntry) {
        return moreBox_;
    }
    if (entry < 0 || entry >= kColorCount) {
        return {};
    }
    return QRect(gridOrigin_.x() + (entry % kColumns) * kCellSize,
                 gridOrigin_.y() + (entry / kColumns) * kCellSize, kCellSize, kCellSize);
}

uint32_t CColorPopup::EntryColor(int entry) const {
    if (entry >= 0 && entry < kColorCount) {
        return kPalette[static_cast<size_t>(entry)].color;
    }
    if (entry == kAutomaticEntry) {
        return kAutomaticColor;
    }
    if (entry == kMoreEntry) {
        return custom_;
    }
    // Off every entry the colour stays what it was, so that a release on the
    // border or Enter after leaving the grid does not pick a colour nobody
    // pointed at.
    return initial_;
}

void CColorPopup::Highlight(int entry) {
    current_ = EntryColor(entry);
    if (entry == highlighted_) {
        return;
    }
    update(EntryRect(highlighted_));
    highlighted_ = entry;
    update(EntryRect(highlighted_));
}

// ---- input ------------------------------------------------------------------

bool CColorPopup::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int entry = EntryAt(help->pos());
        if (entry >= 0) {
            QToolTip::showText(help->globalPos(), ColorName(entry), this, EntryRect(entry));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

void CColorPopup::mouseMoveEvent(QMouseEvent* event) {
    Highlight(EntryAt(event->position().toPoint()));
}

void CColorPopup::mousePressEvent(QMouseEvent* event) {
    // A press outside does not close the popup as Qt would: the release decides.
    event->accept();
}

void CColorPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint at = event->position().toPoint();
    if (rect().contains(at)) {
        Highlight(EntryAt(at));
        Choose();
    } else {
        Cancel();
    }
}

void CColorPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            Cancel();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Choose();
            return;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (highlighted_ == kNone) {
                // The first arrow shows where the selection stands.
                Highlight(selected_ != kNone ? selected_ : 0);
            } else {
                Highlight(Neighbour(highlighted_, event->key()));
            }
            return;
        default:
            event->accept();
    }
}

void CColorPopup::hideEvent(QHideEvent* event) {
    // Hidden by anything but a choice (Qt closing popups, the window system):
    // a cancel.
    if (!finished_) {
        finished_ = true;
        current_ = initial_;
    }
    QWidget::hideEvent(event);
}

void CColorPopup::Choose() {
    if (finished_) {
        return;
    }
    finished_ = true;
    if (highlighted_ != kMoreEntry) {
        Q_EMIT colorNotify(CPN_COLORCHOSEN, current_);
        close();
        return;
    }
    // The colour dialog is modal: the popup gives up its grab first.
    hide();
    QWidget* dialogParent = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const uint32_t start = custom_ != kAutomaticColor    ? custom_
                           : initial_ != kAutomaticColor ? initial_
                                                         : 0;
    uint32_t chosen = 0;
    const QPointer<CColorPopup> self(this);
    const bool ok = Dialog()(dialogParent, start, &chosen);
    if (self.isNull()) {
        return;
    }
    if (ok) {
        custom_ = chosen;
        current_ = chosen;
        Q_EMIT colorNotify(CPN_COLORCHOSEN, chosen);
    } else {
        current_ = initial_;
    }
    close();
}

void CColorPopup::Cancel() {
    if (finished_) {
        return;
    }
    finished_ = true;
    current_ = initial_;
    close();
}

// ---- drawing ----------------------------------------------------------------

void CColorPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    painter.setPen(frame_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // The automatic box has a line under it, the more-colours box one over it.
    painter.setPen(palette().color(QPalette::Mid));
    const int under = automaticBox_.bottom() + 1 + kGap / 2;
    const int over = moreBox_.top() - 1 - kGap / 2;
    painter.drawLine(kMargin, under, width() - 1 - kMargin, under);
    painter.drawLine(kMargin, over, width() - 1 - kMargin, over);
    DrawEntry(painter, kAutomaticEntry);
    for (int i = 0; i < kColorCount; ++i) {
        DrawEntry(painter, i);
    }
    DrawEntry(painter, kMoreEntry);
}

void CColorPopup::DrawEntry(QPainter& painter, int entry) {
    const QRect r = EntryRect(entry);
    painter.setBrush(Qt::NoBrush);
    if (entry == highlighted_) {
        painter.fillRect(r, highlightFill_);
        painter.setPen(highlight_);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    } else if (entry == selected_) {
        painter.fillRect(r, background_);
        painter.setPen(frame_);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
        painter.fillRect(r, background_);
    }

    const auto swatch = [&painter](const QRect& area, uint32_t color) {
        const QRect inner = area.adjusted(kMargin, kMargin, -kMargin, -kMargin);
        painter.fillRect(inner, ColorFromColorRef(color));
        painter.setPen(Qt::black);
        painter.drawRect(inner.adjusted(0, 0, -1, -1));
    };
    if (entry >= 0) {
        swatch(r, kPalette[static_cast<size_t>(entry)].color);
        return;
    }
    QRect textRect = r;
    if (entry == kMoreEntry && custom_ != kAutomaticColor) {
        const QRect cell(r.left() + kMargin, r.top() + (r.height() - kCellSize) / 2, kCellSize,
                         kCellSize);
        swatch(cell, custom_);
        textRect.setLeft(cell.right() + 1);
    }
    painter.setPen(text_);
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine,
                     entry == kAutomaticEntry ? AutomaticText() : MoreText());
}

#include "controls/dump_ctrl.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "res/ids.h"

// The dump control's buffers, layout and painting; keys, mouse and the
// editor are in dump_ctrl_input.cpp.

namespace {

constexpr int kAddressDigits = 4;
constexpr int kByteDigits = 2;
// Address column: its digits framed by one blank on each side.
constexpr int kAddressChars = kAddressDigits + 2;
// Byte column: each byte takes its digits and one blank.
constexpr int kByteStep = kByteDigits + 1;

QFont DumpFont() {
    // An old fixed-pitch face; where it is missing any monospaced face stands in.
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(8);
    return font;
}

}  // namespace

const std::array<CDumpCtrl::Column, 2>& CDumpCtrl::Columns() {
    static const std::array<Column, 2> columns{Column{IDS_DUMP_COL_ADDR, kAddressDigits},
                                               Column{IDS_DUMP_COL_HEX, kByteDigits}};
    return columns;
}

CDumpCtrl::CDumpCtrl(QWidget* parent) : QFrame(parent), font_(DumpFont()) {
    setObjectName(QStringLiteral("COMMUI_DUMP_CTRL_CLASS"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QPalette pal = palette();
    colors_[kBackground] = pal.color(QPalette::Active, QPalette::Base);
    colors_[kBackgroundDisabled] = pal.color(QPalette::Active, QPalette::Window);
    colors_[kText] = pal.color(QPalette::Active, QPalette::Text);
    colors_[kTextDisabled] = pal.color(QPalette::Disabled, QPalette::Text);
    colors_[kChangedText] = QColor(255, 104, 32);
    colors_[kSelection] = QColor(0, 255, 255);
    colors_[kGridLine] = pal.color(QPalette::Active, QPalette::Mid);
    colors_[kHoverFrame] = QColor(0, 100, 0);
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    scrollBar_->hide();
    connect(scrollBar_, &QScrollBar::valueChanged, this,
            [this](int row) { ChangeTop(row * bytesPerRow_); });
    Layout();
}

CDumpCtrl::~CDumpCtrl() = default;

void CDumpCtrl::SetData(uint8_t* bytes, int count) {
    CloseEditor(false);
    data_ = bytes;
    count_ = qMax(0, count);
    hover_ = -1;
    const int last = qMax(0, count_ - 1);
    caret_ = qMin(caret_, last);
    selFirst_ = qMin(selFirst_, last);
    selLast_ = qMin(selLast_, last);
    anchor_ = qMin(anchor_, last);
    Layout();
    update();
}

void CDumpCtrl::SetReference(const uint8_t* reference) {
    reference_ = reference;
    update();
}

void CDumpCtrl::SetBaseAddress(uint32_t base) {
    base_ = base;
    update();
}

uint8_t CDumpCtrl::ByteAt(int index) const {
    return data_ != nullptr && index >= 0 && index < count_ ? data_[index] : 0;
}

QString CDumpCtrl::AddressText(int index) const {
    const uint32_t rowStart = static_cast<uint32_t>(index - index % bytesPerRow_);
    // Addresses of five digits and more keep their last four.
    const QString digits =
        QString::number(rowStart + base_, 16).toUpper().rightJustified(kAddressDigits, u'0');
    return u' ' + digits.right(kAddressDigits) + u' ';
}

QString CDumpCtrl::ByteText(int index) const {
    return u' ' + QString::number(ByteAt(index), 16).toUpper().rightJustified(kByteDigits, u'0') +
           u' ';
}

int CDumpCtrl::WidthForBytes(int bytesPerRow) const {
    const int cw = qMax(1, QFontMetrics(font_).averageCharWidth());
    const int scroll = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return 2 * frameWidth() + (kAddressChars + 1 + kByteStep * qMax(1, bytesPerRow)) * cw + scroll +
           1;
}

QSize CDumpCtrl::sizeHint() const {
    const QFontMetrics fm(font_);
    return QSize(WidthForBytes(16), 2 * frameWidth() + 4 * static_cast<int>(fm.height() * 1.2));
}

int CDumpCtrl::VisibleRows() const {
    // Rows drawn, the one cut by the bottom edge included.
    const int height = contentsRect().height();
    return (height + rowHeight_ - 1) / rowHeight_;
}

void CDumpCtrl::Layout() {
    const QFontMetrics fm(font_);
    charWidth_ = qMax(1, fm.averageCharWidth());
    fontHeight_ = fm.height();
    rowHeight_ = qMax(1, static_cast<int>(fontHeight_ * 1.2));
    const QRect client = contentsRect();
    addressRight_ = client.left() + kAddressChars * charWidth_;
    const int scrollWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bytesPerRow_ = ((client.right() + 1 - addressRight_ - scrollWidth) - charWidth_) /
                   (charWidth_ * kByteStep);
    bool fixedRange = false;
    if (bytesPerRow_ <= 0) {
        bytesPerRow_ = 1;
        fixedRange = true;
    }
    bytesRight_ = addressRight_ + (kByteStep * bytesPerRow_ + 1) * charWidth_;
    const int pageRows = client.height() / rowHeight_;
    bytesPerPage_ = pageRows * bytesPerRow_;
    // Rows the top can move by: whole rows not on the page. Nothing to
    // scroll when the buffer fits, however the division rounds.
    const int totalRows = (count_ + bytesPerRow_ - 1) / bytesPerRow_;
    scrollRange_ = fixedRange ? 0 : qMax(0, totalRows - pageRows);
    // The first byte shown stays a row start inside the buffer.
    const int maxTop = qMax(0, totalRows - qMax(1, pageRows)) * bytesPerRow_;
    ChangeTop(qBound(0, top_ - top_ % bytesPerRow_, maxTop));
    UpdateScrollBar();
}

void CDumpCtrl::UpdateScrollBar() {
    const QRect client = contentsRect();
    const int width = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    scrollBar_->setGeometry(client.right() + 1 - width, client.top(), width, client.height());
    const QSignalBlocker quiet(scrollBar_);
    scrollBar_->setRange(0, scrollRange_);
    scrollBar_->setPageStep(qMax(1, bytesPerPage_ / bytesPerRow_));
    scrollBar_->setValue(top_ / bytesPerRow_);
    scrollBar_->setVisible(scrollRange_ > 0);
}

void CDumpCtrl::SetTop(int index) {
    const int totalRows = (count_ + bytesPerRow_ - 1) / bytesPerRow_;
    const int pageRows = qMax(1, bytesPerPage_ / bytesPerRow_);
    const int maxTop = qMax(0, totalRows - pageRows) * bytesPerRow_;
    ChangeTop(qBound(0, index - index % bytesPerRow_, maxTop));
}

void CDumpCtrl::ChangeTop(int top) {
    if (top == top_) {
        return;
    }
    // An editor left over a cell that scrolls away would edit the wrong byte.
    CloseEditor(true);
    top_ = top;
    UpdateScrollBar();
    update();
    Q_EMIT dumpNotify(DCN_TOPCHANGE, top_);
}

QRect CDumpCtrl::CellRect(int index, Cell kind) const {
    if (index < 0 || index >= count_ || index < top_) {
        return QRect();
    }
    const QRect client = contentsRect();
    const int row = (index - top_) / bytesPerRow_;
    const int y = client.top() + row * rowHeight_;
    if (y > client.bottom()) {
        return QRect();
    }
    if (kind == Cell::Address) {
        return QRect(client.left(), y, addressRight_ - client.left(), rowHeight_);
    }
    const int column = index % bytesPerRow_;
    const int x = addressRight_ + charWidth_ / 2 + column * kByteStep * charWidth_;
    return QRect(x, y, kByteStep * charWidth_, rowHeight_);
}

int CDumpCtrl::HitTest(QPoint point, Cell* kind) const {
    const QRect client = contentsRect();
    if (!client.contains(point) || point.x() >= bytesRight_) {
        return -1;
    }
    const int rowStart = top_ + (point.y() - client.top()) / rowHeight_ * bytesPerRow_;
    int index = rowStart;
    Cell hit = Cell::Address;
    if (point.x() >= addressRight_) {
        const int offset = point.x() - addressRight_ - charWidth_ / 2;
        const int column = qBound(0, offset / (kByteStep * charWidth_), bytesPerRow_ - 1);
        index = rowStart + (offset < 0 ? 0 : column);
        hit = Cell::Byte;
    }
    if (index >= count_) {
        return -1;
    }
    if (kind != nullptr) {
        *kind = hit;
    }
    return index;
}

void CDumpCtrl::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    Layout();
}

void CDumpCtrl::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            CloseEditor(true);
        }
        update();
    } else if (event->type() == QEvent::StyleChange) {
        Layout();
    }
}

void CDumpCtrl::paintEvent(QPaintEvent* event) {
    Layout();
    QFrame::paintEvent(event);  // the border
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.setClipRect(client);
    const bool enabled = isEnabled();
    painter.fillRect(client, colors_[enabled ? kBackground : kBackgroundDisabled]);
    painter.setPen(colors_[kGridLine]);
    painter.drawLine(addressRight_, client.top(), addressRight_, client.bottom());
    painter.setFont(font_);

    const QColor text = colors_[enabled ? kText : kTextDisabled];
    const int rows = VisibleRows();
    for (int row = 0; row < rows; ++row) {
        const int first = top_ + row * bytesPerRow_;
        if (first >= count_) {
            break;
        }
        const QRect address = CellRect(first, Cell::Address);
        if (enabled && caretKind_ == Cell::Address && RowOf(caret_) == RowOf(first)) {
            painter.fillRect(address.adjusted(1, 0, -1, 0), colors_[kSelection]);
        }
        painter.setPen(text);
        painter.drawText(address, Qt::AlignLeft | Qt::AlignVCenter, AddressText(first));
        const int end = qMin(count_, first + bytesPerRow_);
        for (int index = first; index < end; ++index) {
            const QRect cell = CellRect(index, Cell::Byte);
            if (enabled && caretKind_ == Cell::Byte && index >= selFirst_ && index <= selLast_) {
                painter.fillRect(cell, colors_[kSelection]);
            }
            const bool changed =
                reference_ != nullptr && data_ != nullptr && data_[index] != reference_[index];
            painter.setPen(changed && enabled ? colors_[kChangedText] : text);
            painter.drawText(cell, Qt::AlignCenter, ByteText(index));
        }
    }

    const QRect hover = enabled ? CellRect(hover_, hoverKind_) : QRect();
    if (!hover.isEmpty()) {
        // A raised 3-D frame: light above and left, the frame colour below and right.
        const QRect r = hover.adjusted(0, 0, -1, -1);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(colors_[kHoverFrame]);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
    if (hasFocus() && editor_ == nullptr) {
        const QRect caret = CellRect(caret_, caretKind_);
        if (!caret.isEmpty()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = caret;
            option.backgroundColor = colors_[kSelection];
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
}

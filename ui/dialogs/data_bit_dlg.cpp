#include "ui/dialogs/data_bit_dlg.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "res/resources.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/frame/user_events.h"

namespace {

QString HexByte(uint8_t value) {
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

}  // namespace

CDataBitDlg::CDataBitDlg(QWidget* owner) : QDialog(owner), owner_(owner) {
    const auto& resources = res::Resources::Instance();
    setWindowTitle(resources.DialogCaption(IDD_DATA_BIT));
    setFont(resources.DialogFont(IDD_DATA_BIT));
    setMouseTracking(true);
    const CDialogUnits du(font());

    // The grid takes the place of a hidden placeholder; the byte texts stand
    // right of their rows once the cells are known.
    placeholder_ = new QLabel(resources.DialogText(IDD_DATA_BIT, IDC_STATIC_BITAREA), this);
    placeholder_->setGeometry(du.Rect(7, 7, 150, 118));
    placeholder_->hide();
    for (int i = 0; i < kBytes; ++i) {
        auto* text = new QLabel(resources.DialogText(IDD_DATA_BIT, IDC_STATIC_BYTE0 + i), this);
        text->setAlignment(Qt::AlignCenter);
        texts_[static_cast<size_t>(i)] = text;
    }
    reset_ = new QPushButton(resources.DialogText(IDD_DATA_BIT, IDC_BUTTON_BITRESET), this);
    apply_ = new QPushButton(resources.DialogText(IDD_DATA_BIT, IDC_BUTTON_BITSET), this);
    reset_->setGeometry(du.Rect(192, 7, 50, 14));
    apply_->setGeometry(du.Rect(192, 25, 50, 14));
    connect(reset_, &QPushButton::clicked, this, &CDataBitDlg::Reset);
    connect(apply_, &QPushButton::clicked, this, &CDataBitDlg::Apply);
    setFixedSize(du.X(249), du.Y(132));

    LayoutCells();
    UpdateTexts();
    UpdateResetButton();
}

void CDataBitDlg::LayoutCells() {
    // Metrics of the user-interface font, as the labels and cells use it.
    normalFont_ = QApplication::font();
    boldFont_ = normalFont_;
    boldFont_.setBold(true);
    const QFontMetrics metrics(normalFont_);
    const QSize xy = metrics.size(Qt::TextSingleLine, QStringLiteral("Xy"));
    charWidth_ = xy.width() / 2;
    charHeight_ = xy.height() + 2;

    const QRect area = placeholder_->geometry();
    cellSize_ = qMax(
        1, qMin((area.width() - 4 * charWidth_) / kBits, (area.height() - charHeight_) / kBytes));
    for (int row = 0; row < kBytes; ++row) {
        const int y = area.top() + charHeight_ + row * cellSize_;
        for (int column = 0; column < kBits; ++column) {
            const int x = area.left() + 4 * charWidth_ + column * cellSize_;
            cells_[static_cast<size_t>(row)][static_cast<size_t>(column)] =
                QRect(x, y, cellSize_, cellSize_);
        }
        QLabel* text = texts_[static_cast<size_t>(row)];
        const QRect last = cells_[static_cast<size_t>(row)][kBits - 1];
        text->setGeometry(last.right() + 1 + 2 * charWidth_, y, 4 * charWidth_, cellSize_);
    }
}

QRect CDataBitDlg::CellRect(int byte, int bit) const {
    if (byte < 0 || byte >= kBytes || bit < 0 || bit >= kBits) {
        return QRect();
    }
    return cells_[static_cast<size_t>(byte)][static_cast<size_t>(kBits - 1 - bit)];
}

QRect CDataBitDlg::CellArea() const {
    return cells_[0][0].united(cells_[kBytes - 1][kBits - 1]);
}

void CDataBitDlg::SetBitData(const uint8_t* bytes, int length) {
    length_ = qBound(1, length, kBytes);
    working_.fill(0);
    for (int i = 0; i < length_ && bytes != nullptr; ++i) {
        working_[static_cast<size_t>(i)] = bytes[i];
    }
    saved_ = working_;
    pressedByte_ = pressedBit_ = -1;
    UpdateTexts();
    UpdateResetButton();
    update(CellArea().adjusted(-4 * charWidth_, -charHeight_, 1, 1));
}

void CDataBitDlg::UpdateTexts() {
    for (int i = 0; i < kBytes; ++i) {
        QLabel* text = texts_[static_cast<size_t>(i)];
        text->setText(HexByte(working_[static_cast<size_t>(i)]));
        text->setEnabled(i < length_);
    }
}

void CDataBitDlg::UpdateResetButton() {
    bool differ = false;
    for (int i = 0; i < length_; ++i) {
        differ = differ || working_[static_cast<size_t>(i)] != saved_[static_cast<size_t>(i)];
    }
    reset_->setEnabled(differ);
}

void CDataBitDlg::Reset() {
    const std::array<uint8_t, kBytes> saved = saved_;
    SetBitData(saved.data(), length_);
}

void CDataBitDlg::Apply() {
    // The send dialog reads the working bytes when the event arrives.
    if (owner_ != nullptr) {
        QCoreApplication::postEvent(owner_, new QEvent(kEventDataBitApply));
    }
    saved_ = working_;
    reset_->setEnabled(false);
}

bool CDataBitDlg::ActiveCellAt(QPoint point, int* byte, int* bit) const {
    for (int row = 0; row < length_; ++row) {
        for (int b = 0; b < kBits; ++b) {
            if (CellRect(row, b).contains(point)) {
                *byte = row;
                *bit = b;
                return true;
            }
        }
    }
    return false;
}

void CDataBitDlg::mousePressEvent(QMouseEvent* event) {
    int byte = -1;
    int bit = -1;
    if (event->button() == Qt::LeftButton &&
        ActiveCellAt(event->position().toPoint(), &byte, &bit)) {
        // The press holds the mouse (Qt grabs it until the release).
        pressedByte_ = byte;
        pressedBit_ = bit;
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CDataBitDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressedByte_ < 0) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    // The pressed bit toggles wherever the mouse is released.
    const int byte = pressedByte_;
    const int bit = pressedBit_;
    pressedByte_ = pressedBit_ = -1;
    if (byte < length_) {
        working_[static_cast<size_t>(byte)] ^= static_cast<uint8_t>(1u << bit);
    }
    UpdateTexts();
    update(CellRect(byte, bit));
    UpdateResetButton();
    event->accept();
}

void CDataBitDlg::mouseMoveEvent(QMouseEvent* event) {
    int byte = -1;
    int bit = -1;
    if (ActiveCellAt(event->position().toPoint(), &byte, &bit)) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
    QDialog::mouseMoveEvent(event);
}

void CDataBitDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor windowText = pal.color(QPalette::WindowText);
    const QColor light = pal.color(QPalette::Midlight);
    const QColor shadow = pal.color(QPalette::Dark);
    const auto& resources = res::Resources::Instance();
    const QRect area = CellArea();
    painter.fillRect(area, face);

    painter.setFont(boldFont_);
    painter.setPen(windowText);
    for (int bit = 0; bit < kBits; ++bit) {
        const QRect cell = CellRect(0, bit);
        const QRect header(cell.left(), cell.top() - charHeight_, cell.width(), charHeight_);
        painter.drawText(header, Qt::AlignCenter | Qt::TextSingleLine,
                         resources.Format(IDS_FMT_BIT_COLUMN, bit));
    }
    for (int row = 0; row < kBytes; ++row) {
        const QRect cell = CellRect(row, kBits - 1);
        const QRect label(cell.left() - 4 * charWidth_, cell.top(), 4 * charWidth_, cell.height());
        painter.setPen(row < length_ ? windowText : light);
        painter.drawText(label, Qt::AlignCenter | Qt::TextSingleLine,
                         resources.Format(IDS_FMT_BIT_ROW, row));
    }

    const QString inactive = resources.String(IDS_BIT_INACTIVE);
    for (int row = 0; row < kBytes; ++row) {
        for (int bit = 0; bit < kBits; ++bit) {
            const QRect cell = CellRect(row, bit);
            if (row >= length_) {
                painter.setPen(shadow);
                painter.setBrush(light);
                painter.drawRect(cell.adjusted(0, 0, -1, -1));
                painter.setBrush(Qt::NoBrush);
                painter.setFont(normalFont_);
                painter.setPen(face);
                painter.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, inactive);
                continue;
            }
            const bool set = (working_[static_cast<size_t>(row)] >> bit) & 1u;
            qDrawWinButton(&painter, cell, pal, set);
            painter.setFont(set ? boldFont_ : normalFont_);
            painter.setPen(set ? QColor(0, 0, 255) : windowText);
            // A pressed button shows its face one pixel down and right.
            painter.drawText(set ? cell.translated(1, 1) : cell,
                             Qt::AlignCenter | Qt::TextSingleLine,
                             set ? QStringLiteral("1") : QStringLiteral("0"));
        }
    }

    painter.setPen(shadow);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

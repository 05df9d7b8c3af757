#include "ui/frame/statistics_list.h"

#include <QPainter>
#include <string>

#include "controls/clipboard_text.h"
#include "platform/os/format.h"
#include "res/ids.h"
#include "res/resources.h"

namespace {

// Row labels in row order; the four kinds of frame come as standard data,
// extended data, standard remote, extended remote.
constexpr uint32_t kRowLabels[CStatisticsList::kRowCount] = {
    IDS_STAT_BUSLOAD,      IDS_STAT_BUSLOAD_PEAK,  IDS_STAT_TX_MESSAGES, IDS_STAT_RX_TOTAL,
    IDS_STAT_STD_DATA,     IDS_STAT_EXT_DATA,      IDS_STAT_STD_REMOTE,  IDS_STAT_EXT_REMOTE,
    IDS_STAT_ERROR_FRAMES, IDS_STAT_RX_PER_SECOND, IDS_STAT_TX_ERRORS,   IDS_STAT_RX_ERRORS,
    IDS_STAT_OVERLOAD,
};

constexpr uint32_t kColumnTitles[CStatisticsList::kColumnCount] = {
    IDS_STAT_COL_ITEMS, IDS_STAT_COL_CAN1, IDS_STAT_COL_CAN2,
    IDS_STAT_COL_CAN3,  IDS_STAT_COL_CAN4, IDS_STAT_COL_CAN5,
};

const QColor kOverThresholdFill(255, 0, 0);
const QColor kOverThresholdText(255, 250, 250);

constexpr int kLabelInset = 3;
constexpr int kCellInset = 2;

// The copy layout: labels padded to 28 columns, cells right-aligned in 10.
// A label is cut to the 47 bytes its buffer held, never inside a character.
constexpr int kCopyLabelColumns = 28;
constexpr size_t kCopyLabelMaxBytes = 47;
constexpr int kCopyCellColumns = 10;

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

std::string CopyLabel(const QString& label) {
    QByteArray bytes = label.toUtf8();
    if (static_cast<size_t>(bytes.size()) > kCopyLabelMaxBytes) {
        qsizetype cut = static_cast<qsizetype>(kCopyLabelMaxBytes);
        while (cut > 0 && (static_cast<uint8_t>(bytes[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        bytes.truncate(cut);
    }
    std::string text = bytes.toStdString();
    const int width = CStatisticsList::DisplayWidth(QString::fromUtf8(bytes));
    if (width < kCopyLabelColumns) {
        text.append(static_cast<size_t>(kCopyLabelColumns - width), ' ');
    }
    return text;
}

}  // namespace

CStatisticsList::CStatisticsList(int32_t* columnWidths, QWidget* parent)
    : CItemList("CLASS_STATISTICS_LIST", parent) {
    for (int c = 0; c < kColumnCount; ++c) {
        columns_[static_cast<size_t>(c)] = {kColumnTitles[c],
                                            columnWidths != nullptr ? &columnWidths[c] : nullptr};
    }
    columns_[kColumnCount] = {0, nullptr};
    const res::Resources& resources = res::Resources::Instance();
    for (uint32_t id : kRowLabels) {
        labels_.push_back(resources.String(id));
    }
    // A fixed table: rows are not selected.
    SetSelectionEnabled(false);
    SetAutoScroll(false);
}

StatisticsSnapshot CStatisticsList::TakeSnapshot() const {
    return provider_ ? provider_() : StatisticsSnapshot{};
}

uint32_t CStatisticsList::RowValue(const ChannelStatistics& s, int row) {
    switch (row) {
        case 0:
            return s.bus.busLoad;
        case 1:
            return s.busLoadPeak;
        case 2:
            return s.txCount;
        case 3:
            return s.rxTotal;
        case 4:
            return s.bus.stdData;
        case 5:
            return s.bus.extData;
        case 6:
            return s.bus.stdRemote;
        case 7:
            return s.bus.extRemote;
        case 8:
            return s.bus.errFrame;
        case 9:
            return s.rxPerSecond;
        case 10:
            return s.txErrors;
        case 11:
            return s.rxErrors;
        case 12:
            return s.overrunErrors;
        default:
            return 0;
    }
}

bool CStatisticsList::OverThreshold(int row, uint32_t value, uint32_t thresholdPercent) {
    // In 64 bits: a threshold typed on the options page is not range-checked.
    return (row == 0 || row == 1) &&
           static_cast<uint64_t>(value) >= static_cast<uint64_t>(thresholdPercent) * 100;
}

QString CStatisticsList::CellText(int row, uint32_t value) {
    const res::Resources& resources = res::Resources::Instance();
    if (row == 0 || row == 1) {
        return resources.Format(IDS_FMT_STAT_BUSLOAD, value / 100.0);
    }
    return resources.Format(IDS_FMT_STAT_COUNT, static_cast<unsigned>(value));
}

int CStatisticsList::DisplayWidth(const QString& text) {
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        width += IsWide(c) ? 2 : 1;
    }
    return width;
}

QString CStatisticsList::CopyText(const StatisticsSnapshot& snapshot, const QStringList& labels,
                                  const QString& header) {
    std::string text = header.toStdString();
    for (int row = 0; row < kRowCount; ++row) {
        text += CopyLabel(row < labels.size() ? labels[row] : QString());
        for (int c = 0; c < kChannelCount; ++c) {
            const auto index = static_cast<size_t>(c);
            std::string cell;
            if (snapshot.live[index]) {
                const uint32_t value = RowValue(snapshot.stats[index], row);
                cell = row <= 1 ? os::Format("%.2f %%", value / 100.0) : os::Format("%u", value);
            }
            text += os::Format("%*s", kCopyCellColumns, cell.c_str());
        }
        text += '\n';
    }
    return QString::fromStdString(text);
}

void CStatisticsList::CopyToClipboard() const {
    const QString header = res::Resources::Instance().String(IDS_STATISTICS_HEADER);
    controls::SetClipboardText(CopyText(TakeSnapshot(), labels_, header));
}

void CStatisticsList::paintEvent(QPaintEvent* event) {
    snapshot_ = TakeSnapshot();
    if (!metrics_ && IsCreated()) {
        metrics_.emplace(NormalFont(), viewport());
        for (int row = 0; row < kRowCount; ++row) {
            SetCached(labelTexts_[static_cast<size_t>(row)], labels_.value(row));
        }
    }
    CItemList::paintEvent(event);
}

void CStatisticsList::SetCached(CachedText& cached, const QString& text) {
    cached.text = text;
    cached.width = metrics_->horizontalAdvance(text);
    cached.image = QImage();
}

void CStatisticsList::DrawCached(QPainter& painter, const QRect& cell, CachedText& cached,
                                 Qt::Alignment align, QColor pen, QColor fill) {
    if (cached.width > cell.width()) {
        painter.setPen(pen);
        DrawCellText(painter, cell, cached.text, align);  // shortened with an ellipsis
        return;
    }
    // Drawn once on its background, then copied: laying out and rasterising
    // text costs many times a copy, and most texts stay between two ticks.
    if (cached.image.isNull() || cached.pen != pen.rgb() || cached.fill != fill.rgb() ||
        cached.image.height() != cell.height() * cached.image.devicePixelRatio()) {
        const qreal ratio = viewport()->devicePixelRatioF();
        cached.image =
            QImage(QSize(qMax(1, cached.width), cell.height()) * ratio, QImage::Format_RGB32);
        cached.image.setDevicePixelRatio(ratio);
        cached.image.fill(fill);
        QPainter text(&cached.image);
        text.setFont(NormalFont());
        text.setPen(pen);
        text.drawText(QPoint(0, (cell.height() - metrics_->height()) / 2 + metrics_->ascent()),
                      cached.text);
        cached.pen = pen.rgb();
        cached.fill = fill.rgb();
    }
    const int x = (align & Qt::AlignRight) ? cell.right() + 1 - cached.width : cell.left();
    painter.drawImage(QPoint(x, cell.top()), cached.image);
}

void CStatisticsList::DrawItem(QPainter& painter, const QRect& rowRect, int row) {
    if (row < 0 || row >= kRowCount) {
        return;
    }
    if (!metrics_) {
        return;
    }
    const QPalette& pal = palette();
    const QColor background = BackgroundColor();
    const QRect label = CellRect(rowRect, 0).adjusted(kLabelInset, 0, -kLabelInset, 0);
    if (label.width() > 0) {
        DrawCached(painter, label, labelTexts_[static_cast<size_t>(row)], Qt::AlignLeft,
                   pal.color(QPalette::Text), background);
    }

    const QColor grey = pal.color(QPalette::Disabled, QPalette::Text);
    const QColor text = ColorFromRef(snapshot_.textColor);
    for (int c = 0; c < kChannelCount; ++c) {
        const auto index = static_cast<size_t>(c);
        const QRect cell = CellRect(rowRect, c + 1).adjusted(kCellInset, 0, -kCellInset, 0);
        if (cell.width() <= 0) {
            continue;
        }
        QColor color = snapshot_.live[index] ? text : grey;
        QColor fill = background;
        const uint32_t value = RowValue(snapshot_.stats[index], row);
        if (OverThreshold(row, value, snapshot_.threshold)) {
            painter.fillRect(cell, kOverThresholdFill);
            color = kOverThresholdText;
            fill = kOverThresholdFill;
        }
        // Most figures stand still between two ticks: only changed ones are
        // formatted and drawn again.
        CachedText& cached = cellTexts_[static_cast<size_t>(row * kChannelCount + c)];
        if (cached.width < 0 || cached.value != value) {
            SetCached(cached, CellText(row, value));
            cached.value = value;
        }
        DrawCached(painter, cell, cached, Qt::AlignRight, color, fill);
    }
}

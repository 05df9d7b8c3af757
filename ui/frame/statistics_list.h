#pragma once

#include <QFontMetrics>
#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "can/bus_statistics.h"
#include "can/can_frame_record.h"
#include "controls/item_list.h"

// The figures of the five channels as one paint or one copy sees them.
struct StatisticsSnapshot {
    std::array<ChannelStatistics, kChannelCount> stats{};
    // The channel is enabled and, while communicating, active: its figures
    // are drawn in the text colour and copied; otherwise grey and blank.
    std::array<bool, kChannelCount> live{};
    uint32_t threshold = 80;  // percent
    uint32_t textColor = 0;   // 0x00BBGGRR
};

// The statistics table: thirteen fixed rows, one column of labels and one
// column per channel. It keeps no figures; each paint takes a snapshot from
// its provider.
class CStatisticsList : public CItemList {
    Q_OBJECT

public:
    static constexpr int kRowCount = 13;
    static constexpr int kColumnCount = 6;

    // columnWidths: the six width settings (labels, CAN1..CAN5), read at
    // creation and written back when the list dies.
    explicit CStatisticsList(int32_t* columnWidths, QWidget* parent = nullptr);

    void SetSnapshotProvider(std::function<StatisticsSnapshot()> provider) {
        provider_ = std::move(provider);
    }
    StatisticsSnapshot TakeSnapshot() const;
    const QStringList& Labels() const { return labels_; }

    // Puts the table on the clipboard in the copy layout.
    void CopyToClipboard() const;

    // ---- the rules of a cell --------------------------------------------
    static uint32_t RowValue(const ChannelStatistics& stats, int row);
    // Rows 0 and 1 (bus load and its peak) turn red at the threshold.
    static bool OverThreshold(int row, uint32_t value, uint32_t thresholdPercent);
    static QString CellText(int row, uint32_t value);
    // The copied table: the header line, then per row the label padded to 28
    // columns and a 10-column cell per channel, blank for a channel that is
    // not live.
    static QString CopyText(const StatisticsSnapshot& snapshot, const QStringList& labels,
                            const QString& header);
    // Columns a text takes in a fixed-width font: two for a wide (CJK,
    // full-width) character, one for others.
    static int DisplayWidth(const QString& text);

protected:
    std::span<const ItemListColumn> GetColumns() const override { return columns_; }
    int GetItemCount() const override { return kRowCount; }
    void DrawItem(QPainter& painter, const QRect& rowRect, int row) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // A cell's text with its picture, so that a repaint draws again only
    // what changed since the last one.
    struct CachedText {
        QString text;
        int width = -1;  // advance in the list's font
        uint32_t value = 0;
        QImage image;  // the text on its background, one row high
        QRgb pen = 0;
        QRgb fill = 0;
    };
    void SetCached(CachedText& cached, const QString& text);
    void DrawCached(QPainter& painter, const QRect& cell, CachedText& cached, Qt::Alignment align,
                    QColor pen, QColor fill);

    std::array<ItemListColumn, kColumnCount + 1> columns_{};
    QStringList labels_;
    std::function<StatisticsSnapshot()> provider_;
    StatisticsSnapshot snapshot_;  // of the paint in progress
    std::optional<QFontMetrics> metrics_;
    std::array<CachedText, kRowCount> labelTexts_;
    std::array<CachedText, kRowCount * kChannelCount> cellTexts_;
};

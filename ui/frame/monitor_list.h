#pragma once

#include <QPen>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "controls/item_list.h"
#include "ui/frame/ascii_text_run.h"
#include "ui/frame/live_columns.h"
#include "ui/frame/live_view_text.h"

class FrameList;
struct AppSettings;

// The monitor's list: one row per record of the frame list, drawn straight
// from the list at paint time (no rows of its own). The timer path keeps the
// list within the line limit, follows the newest row while auto-scroll is on
// and repaints.
class CMonitorList : public CItemList {
    Q_OBJECT

public:
    static constexpr int kRowHeaderWidth = 20;
    // Empties the frame list under the writers' lock and returns the number
    // of records it held.
    using ClearFn = std::function<size_t()>;

    explicit CMonitorList(QWidget* parent = nullptr);

    // The records shown and how to empty them; null frames show nothing.
    void SetSource(const FrameList* frames, ClearFn clear);
    // Colours, line limit and column widths; set before Create. Null keeps
    // the defaults of a fresh settings record.
    void SetSettings(AppSettings* settings);

    // Line limit, scroll range and position, repaint.
    void UpdateItemCount() override;
    // Empties the frame list and updates the rows at once.
    void Clear();

    size_t RecordCount() const;
    // Records removed by clears (command and line limit) since creation.
    uint64_t ClearedRecords() const { return cleared_; }

protected:
    std::span<const ItemListColumn> GetColumns() const override { return columns_.Table(); }
    int GetItemCount() const override;
    void DrawItem(QPainter& painter, const QRect& rowRect, int index) override;
    void paintEvent(QPaintEvent* event) override;

private:
    size_t EmptyFrames();
    const AppSettings& Settings() const;

    const FrameList* frames_ = nullptr;
    ClearFn clear_;
    AppSettings* settings_ = nullptr;
    uint64_t cleared_ = 0;
    CLiveColumns<live_text::MonitorRow::kColumns> columns_;
    // Buffers reused for every drawn row.
    live_text::MonitorRow row_{};
    QPen okPen_;
    QPen ngPen_;
    QPen currentPen_;
    CAsciiTextRun textRun_;
    std::array<QString, live_text::MonitorRow::kColumns> cellText_;
};

#pragma once

#include <QPen>
#include <QString>
#include <array>
#include <vector>

#include "can/message_info_table.h"
#include "controls/item_list.h"
#include "ui/frame/ascii_text_run.h"
#include "ui/frame/live_columns.h"
#include "ui/frame/live_view_text.h"

class CCanManager;
struct AppSettings;

// The message-info list: one row per identifier, direction and channel of
// the channel layer's table, in key order. It keeps no rows of its own: each
// paint copies the visible entries out of the table in one walk under the
// manager's lock.
class CMessageInfoList : public CItemList {
    Q_OBJECT

public:
    static constexpr int kColumns = live_text::MessageInfoRow::kColumns;

    explicit CMessageInfoList(QWidget* parent = nullptr);

    // The table's owner; null shows nothing.
    void SetSource(CCanManager* manager) { manager_ = manager; }
    // Column widths and colours; set before Create. Null keeps the defaults.
    void SetSettings(AppSettings* settings);
    void ApplyColors();
    // Empties the table and repaints; the scroll range follows at the next tick.
    void Clear();

protected:
    std::span<const ItemListColumn> GetColumns() const override { return columns_.Table(); }
    int GetItemCount() const override;
    void DrawItem(QPainter& painter, const QRect& rowRect, int index) override;
    void paintEvent(QPaintEvent* event) override;

private:
    const AppSettings& Settings() const;

    CCanManager* manager_ = nullptr;
    AppSettings* settings_ = nullptr;
    CLiveColumns<kColumns> columns_;
    // The entries of the paint in progress, from row first_ on; the count is
    // the table's at the same moment, so rows and count agree.
    bool painting_ = false;
    size_t first_ = 0;
    size_t paintCount_ = 0;
    std::vector<MessageInfoEntry> rows_;
    live_text::MessageInfoRow row_{};
    std::array<QString, kColumns> cellText_;
    QPen textPen_;
    CAsciiTextRun textRun_;
};

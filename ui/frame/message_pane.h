#pragma once

#include <QDockWidget>
#include <array>
#include <string>
#include <vector>

#include "controls/item_list.h"
#include "ui/frame/live_columns.h"

struct AppSettings;

// The decoded signals of the frame selected in the monitor: one row per
// signal with its name, value and value-table text. It keeps the texts of the
// last decoding that found signals, so a frame no database knows leaves the
// rows as they were.
class CMessageDetailList : public CItemList {
    Q_OBJECT

public:
    static constexpr int kColumns = 3;

    explicit CMessageDetailList(QWidget* parent = nullptr);
    // Column widths and colours; set before Create. Null keeps the defaults.
    void SetSettings(AppSettings* settings);
    // Takes the texts of a decoding (three per signal) and updates the rows.
    void SetTexts(const std::vector<std::string>& texts);
    const std::vector<std::string>& Texts() const { return texts_; }
    // The colours of the settings, after they changed.
    void ApplyColors();

protected:
    std::span<const ItemListColumn> GetColumns() const override { return columns_.Table(); }
    int GetItemCount() const override { return static_cast<int>(texts_.size() / kColumns); }
    void DrawItem(QPainter& painter, const QRect& rowRect, int index) override;

private:
    const AppSettings& Settings() const;

    AppSettings* settings_ = nullptr;
    std::vector<std::string> texts_;
    CLiveColumns<kColumns> columns_;
};

// The monitor window's dockable pane that hosts the detail list.
class CMessagePane : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kControlId = 5;
    static constexpr int kListControlId = 1;

    // The list is made with the settings given (null: defaults).
    explicit CMessagePane(AppSettings* settings, QWidget* parent = nullptr);
    CMessageDetailList* List() const { return list_; }

private:
    CMessageDetailList* list_ = nullptr;
};

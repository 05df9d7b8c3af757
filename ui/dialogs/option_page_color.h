#pragma once

#include <array>
#include <cstdint>

#include "ui/dialogs/option_page.h"

class QPushButton;
class CColorPicker;
class CStaticTreeCtrl;
class CStaticTreeItem;

// The colour page: every colour of the list windows and the bus-load graph
// in a tree of five groups, the selected one edited with a colour picker.
// Changes stay in a working copy until the sheet closes with OK; Revert
// brings back the selected colour as the settings hold it.
class COptionPageColor : public COptionPage {
    Q_OBJECT
public:
    // Items are identified by group << 16 | position within the group;
    // group nodes by 0.
    static constexpr uint32_t ItemId(uint32_t group, uint32_t item) { return group << 16 | item; }
    static constexpr int kColorCount = 17;

    // The settings colour of an item id, null for a group node or an id
    // without a colour.
    static uint32_t* SettingsColor(AppSettings& settings, uint32_t id);

    explicit COptionPageColor(const COptionContext& context, QWidget* parent = nullptr);

    void OnApply() override;

    CStaticTreeCtrl* Tree() const { return tree_; }
    CColorPicker* Picker() const { return picker_; }
    QPushButton* RevertButton() const { return revert_; }
    uint32_t CurrentItem() const { return currentItem_; }
    // The working colour of an item id (0xFFFFFFFF when it has none).
    uint32_t WorkingColor(uint32_t id) const;
    // The tree item of an id, null when there is none.
    CStaticTreeItem* FindItem(uint32_t id) const;

protected:
    void OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSelChange(CStaticTreeItem* item);
    void OnColorChosen(uint32_t color);
    void OnRevert();
    // The working-copy entry of an id, null for none.
    uint32_t* WorkingEntry(uint32_t id);
    void ShowColor(uint32_t color);

    CStaticTreeCtrl* tree_;
    CColorPicker* picker_;
    QPushButton* revert_;
    uint32_t currentItem_ = 0;
    CStaticTreeItem* currentTreeItem_ = nullptr;
    std::array<uint32_t, kColorCount> workingColors_{};
};

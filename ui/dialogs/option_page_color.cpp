#include "ui/dialogs/option_page_color.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "controls/color_picker.h"
#include "controls/static_tree_ctrl.h"
#include "res/resources.h"
#include "settings/app_settings.h"
#include "ui/dialogs/dialog_units.h"

namespace {

const res::Resources& Res() {
    return res::Resources::Instance();
}

// The groups in the order the tree shows them: the string with the group
// title and its items, and the group number the item ids carry.
struct ColorGroup {
    uint32_t stringId;
    uint32_t group;
};
constexpr ColorGroup kGroups[] = {
    {IDS_COLOR_MONITOR, 0},       {IDS_COLOR_STATISTICS, 2}, {IDS_COLOR_MESSAGEINFO, 3},
    {IDS_COLOR_MESSAGEDETAIL, 4}, {IDS_COLOR_BUSLOAD, 1},
};

// Every colour of the page: its item id and where the settings keep it.
// The threshold colour of the graph is not among them.
struct ColorSlot {
    uint32_t id;
    uint32_t& (*field)(AppSettings&);
};
using S = AppSettings;
constexpr ColorSlot kSlots[] = {
    {COptionPageColor::ItemId(0, 1), [](S& s) -> uint32_t& { return s.monitorColorTextOk; }},
    {COptionPageColor::ItemId(0, 2), [](S& s) -> uint32_t& { return s.monitorColorTextNg; }},
    {COptionPageColor::ItemId(0, 3), [](S& s) -> uint32_t& { return s.monitorColorBkgnd; }},
    {COptionPageColor::ItemId(2, 1), [](S& s) -> uint32_t& { return s.statisticsColorText; }},
    {COptionPageColor::ItemId(2, 2), [](S& s) -> uint32_t& { return s.statisticsColorBkgnd; }},
    {COptionPageColor::ItemId(3, 1), [](S& s) -> uint32_t& { return s.messageInfoColorText; }},
    {COptionPageColor::ItemId(3, 2), [](S& s) -> uint32_t& { return s.messageInfoColorBkgnd; }},
    {COptionPageColor::ItemId(4, 1), [](S& s) -> uint32_t& { return s.messageDetailColorText; }},
    {COptionPageColor::ItemId(4, 2), [](S& s) -> uint32_t& { return s.messageDetailColorBkgnd; }},
    {COptionPageColor::ItemId(1, 1), [](S& s) -> uint32_t& { return s.busLoadColorLine[0]; }},
    {COptionPageColor::ItemId(1, 2), [](S& s) -> uint32_t& { return s.busLoadColorLine[1]; }},
    {COptionPageColor::ItemId(1, 3), [](S& s) -> uint32_t& { return s.busLoadColorLine[2]; }},
    {COptionPageColor::ItemId(1, 4), [](S& s) -> uint32_t& { return s.busLoadColorLine[3]; }},
    {COptionPageColor::ItemId(1, 5), [](S& s) -> uint32_t& { return s.busLoadColorLine[4]; }},
    {COptionPageColor::ItemId(1, 6), [](S& s) -> uint32_t& { return s.busLoadColorBkgnd; }},
    {COptionPageColor::ItemId(1, 7), [](S& s) -> uint32_t& { return s.busLoadColorScaleLine; }},
    {COptionPageColor::ItemId(1, 8), [](S& s) -> uint32_t& { return s.busLoadColorScaleText; }},
};
static_assert(std::size(kSlots) == COptionPageColor::kColorCount);

// Index of an id in kSlots, -1 for none (group nodes have id 0).
int SlotIndex(uint32_t id) {
    for (size_t i = 0; i < std::size(kSlots); ++i) {
        if (id != 0 && kSlots[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The picker keeps the colour it shows unless the working colour is this.
constexpr uint32_t kNoColor = 0xFFFFFFFFu;

// Whether the popup has its names: once per process, in the language of
// the first showing of the page.
bool popupTextsLoaded = false;

}  // namespace

uint32_t* COptionPageColor::SettingsColor(AppSettings& settings, uint32_t id) {
    const int slot = SlotIndex(id);
    return slot < 0 ? nullptr : &kSlots[slot].field(settings);
}

COptionPageColor::COptionPageColor(const COptionContext& context, QWidget* parent)
    : COptionPage(kPositionColor, IDS_OPTION_COLOR, context, parent),
      tree_(new CStaticTreeCtrl(this, IDC_TREE_COLOR)),
      picker_(new CColorPicker(this, IDC_COLOR_PICKER)),
      revert_(option_page::MakeControl<QPushButton>(this, IDC_BUTTON_REVERT)) {
    setObjectName(QStringLiteral("COptionPageColor"));
    setFont(Res().DialogFont(IDD_OPTION_COLOR));
    const CDialogUnits du(font());

    du.Place(tree_, 10, 10, 160, 148);
    QLabel* label = option_page::MakeLabel(this, IDD_OPTION_COLOR, IDC_LABEL_COLOR);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(picker_);
    du.Place(label, 176, 12, 24, 10);
    du.Place(picker_, 202, 10, 60, 14);
    revert_->setText(Res().DialogText(IDD_OPTION_COLOR, IDC_BUTTON_REVERT));
    du.Place(revert_, 202, 30, 60, 14);
    setMinimumSize(du.X(290), du.Y(166));

    picker_->setEnabled(false);
    revert_->setEnabled(false);
    tree_->installEventFilter(this);
    connect(tree_, &CStaticTreeCtrl::treeNotify, this, [this](int code, CStaticTreeItem* item) {
        if (code == STN_SELCHANGE) {
            OnSelChange(item);
        }
    });
    connect(picker_, &CColorPicker::colorNotify, this, [this](int code, uint32_t color) {
        if (code == CPN_COLORCHOSEN) {
            OnColorChosen(color);
        }
    });
    connect(revert_, &QPushButton::clicked, this, &COptionPageColor::OnRevert);
}

void COptionPageColor::OnInitDialog() {
    AppSettings& settings = Settings();
    for (size_t i = 0; i < std::size(kSlots); ++i) {
        workingColors_[i] = kSlots[i].field(settings);
    }

    for (const ColorGroup& group : kGroups) {
        // Positions count every piece, so that a blank line in a translated
        // list cannot shift the items onto the wrong colours.
        const QStringList pieces = Res().StringList(group.stringId, u'\n', false);
        if (pieces.isEmpty()) {
            continue;
        }
        CStaticTreeItem* node = tree_->InsertItem(pieces[0]);
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            const uint32_t id = ItemId(group.group, static_cast<uint32_t>(i));
            if (!pieces[i].isEmpty() && SlotIndex(id) >= 0) {
                tree_->InsertItem(pieces[i], node, id);
            }
        }
        // A group of one item opens as well.
        node->expanded = 1;
        if (group.group == 0 && node->firstChild != nullptr) {
            tree_->SelectItem(node->firstChild, false);
            OnSelChange(node->firstChild);
        }
    }
    tree_->RecalcScroll();

    if (!popupTextsLoaded) {
        popupTextsLoaded = true;
        CColorPopup::LoadTexts();
    }
}

bool COptionPageColor::eventFilter(QObject* watched, QEvent* event) {
    // Home and End select without telling the owner; the picker follows the
    // tree's selection all the same.
    if (watched == tree_ && event->type() == QEvent::KeyRelease &&
        tree_->SelectedItem() != currentTreeItem_) {
        OnSelChange(tree_->SelectedItem());
    }
    return COptionPage::eventFilter(watched, event);
}

uint32_t* COptionPageColor::WorkingEntry(uint32_t id) {
    const int slot = SlotIndex(id);
    return slot < 0 ? nullptr : &workingColors_[static_cast<size_t>(slot)];
}

uint32_t COptionPageColor::WorkingColor(uint32_t id) const {
    const int slot = SlotIndex(id);
    return slot < 0 ? kNoColor : workingColors_[static_cast<size_t>(slot)];
}

CStaticTreeItem* COptionPageColor::FindItem(uint32_t id) const {
    for (CStaticTreeItem* item = tree_->FirstItem(); item != nullptr;
         item = CStaticTreeCtrl::NextDisplayed(item)) {
        if (item->data == id) {
            return item;
        }
    }
    return nullptr;
}

void COptionPageColor::ShowColor(uint32_t color) {
    picker_->SetColor(color);
}

void COptionPageColor::OnSelChange(CStaticTreeItem* item) {
    currentTreeItem_ = item;
    currentItem_ = item != nullptr ? static_cast<uint32_t>(item->data) : 0;
    const uint32_t* working = WorkingEntry(currentItem_);
    if (working == nullptr) {
        currentItem_ = 0;
    }
    picker_->setEnabled(currentItem_ != 0);
    revert_->setEnabled(currentItem_ != 0);
    if (working != nullptr && *working != kNoColor) {
        ShowColor(*working);
    }
}

void COptionPageColor::OnColorChosen(uint32_t color) {
    // Stored as it comes: the automatic entry stays 0xFF000000.
    if (uint32_t* working = WorkingEntry(currentItem_)) {
        *working = color;
    }
}

void COptionPageColor::OnRevert() {
    uint32_t* working = WorkingEntry(currentItem_);
    const uint32_t* stored = SettingsColor(Settings(), currentItem_);
    if (working != nullptr && stored != nullptr) {
        *working = *stored;
        ShowColor(*working);
    }
}

void COptionPageColor::OnApply() {
    AppSettings& settings = Settings();
    for (size_t i = 0; i < std::size(kSlots); ++i) {
        kSlots[i].field(settings) = workingColors_[i];
    }
}

#include "ui/dialogs/option_page_can.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "controls/group_box.h"
#include "controls/spin_button.h"
#include "res/resources.h"
#include "settings/app_settings.h"
#include "ui/dialogs/bus_param_preset_dlg.h"
#include "ui/dialogs/bus_param_presets.h"
#include "ui/dialogs/dialog_units.h"

namespace {

const res::Resources& Res() {
    return res::Resources::Instance();
}

template <class Widget>
Widget* Make(QWidget* page, uint32_t id) {
    return option_page::MakeControl<Widget>(page, id);
}

QLabel* Label(QWidget* page, uint32_t id) {
    return option_page::MakeLabel(page, IDD_OPTION_CAN, id);
}

// Control ids of the two phases: group, bit rate, preset, SJW, TSEG1, TSEG2,
// the three spins and the four labels.
struct PhaseIds {
    uint32_t group, bitrate, preset, sjw, tseg1, tseg2;
    uint32_t spins[3];
    uint32_t labels[4];
};

constexpr PhaseIds kPhaseIds[2] = {
    {IDC_GROUP_ARBITRATION,
     IDC_COMBO_ARB_BITRATE,
     IDC_BUTTON_ARB_PRESET,
     IDC_EDIT_ARB_SJW,
     IDC_EDIT_ARB_TSEG1,
     IDC_EDIT_ARB_TSEG2,
     {IDC_SPIN_ARB_SJW, IDC_SPIN_ARB_TSEG1, IDC_SPIN_ARB_TSEG2},
     {IDC_LABEL_ARB_BITRATE, IDC_LABEL_ARB_SJW, IDC_LABEL_ARB_TSEG1, IDC_LABEL_ARB_TSEG2}},
    {IDC_GROUP_DATA,
     IDC_COMBO_DATA_BITRATE,
     IDC_BUTTON_DATA_PRESET,
     IDC_EDIT_DATA_SJW,
     IDC_EDIT_DATA_TSEG1,
     IDC_EDIT_DATA_TSEG2,
     {IDC_SPIN_DATA_SJW, IDC_SPIN_DATA_TSEG1, IDC_SPIN_DATA_TSEG2},
     {IDC_LABEL_DATA_BITRATE, IDC_LABEL_DATA_SJW, IDC_LABEL_DATA_TSEG1, IDC_LABEL_DATA_TSEG2}},
};

int32_t ReadInt(const QLineEdit* edit) {
    const QByteArray text = edit->text().toUtf8();
    return bus_presets::ReadInt(text.constData());
}

// An edit's value for storing: empty or above 255 is refused.
bool ReadTiming(const QLineEdit* edit, uint32_t* value) {
    const QString text = edit->text();
    if (text.isEmpty()) {
        return false;
    }
    const QByteArray utf8 = text.toUtf8();
    const uint64_t read = bus_presets::ReadUnsigned(utf8.constData());
    if (read > 255) {
        return false;
    }
    *value = static_cast<uint32_t>(read);
    return true;
}

bool DefaultChooser(QWidget* parent, int32_t mode, int32_t phase, BusParams& current) {
    CBusParamPresetDlg dialog(mode, phase, current, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

COptionPageCan::COptionPageCan(int index, const COptionContext& context, QWidget* parent)
    : COptionPage(kPositionCan1 + index, IDS_OPTION_CAN1 + static_cast<uint32_t>(index), context,
                  parent),
      index_(index) {
    setObjectName(QStringLiteral("COptionPageCan%1").arg(index + 1));
    setFont(Res().DialogFont(IDD_OPTION_CAN));
    const CDialogUnits du(font());

    enable_ = Make<QCheckBox>(this, IDC_CHECK_ENABLE);
    enable_->setText(Res().DialogText(IDD_OPTION_CAN, IDC_CHECK_ENABLE));
    du.Place(enable_, 10, 8, 80, 12);
    modeLabel_ = Label(this, IDC_STATIC_CANMODE);
    du.Place(modeLabel_, 10, 26, 52, 10);
    mode_ = Make<QComboBox>(this, IDC_COMBO_CANMODE);
    du.Place(mode_, 64, 24, 70, 14);

    BuildPhase(0, 7);
    BuildPhase(1, 147);

    note_ = Label(this, IDC_STATIC_CAN_NOTE);
    option_page::MakeRed(note_);
    du.Place(note_, 10, 152, 200, 10);
    setMinimumSize(du.X(290), du.Y(166));

    connect(enable_, &QCheckBox::clicked, this, &COptionPageCan::UpdateEnabling);
    connect(mode_, &QComboBox::activated, this, &COptionPageCan::OnModeChosen);
}

void COptionPageCan::BuildPhase(int phase, int x) {
    const CDialogUnits du(font());
    const PhaseIds& ids = kPhaseIds[phase];
    PhaseControls& p = phases_[phase];
    // The group first, so that the controls inside it lie above it.
    p.group = Make<CGroupBox>(this, ids.group);
    p.group->SetPropagation(true);
    du.Place(p.group, x, 44, 136, 102);

    du.Place(Label(this, ids.labels[0]), x + 8, 60, 48, 10);
    p.bitrate = Make<QComboBox>(this, ids.bitrate);
    du.Place(p.bitrate, x + 58, 58, 70, 14);
    p.preset = Make<QPushButton>(this, ids.preset);
    p.preset->setText(Res().DialogText(IDD_OPTION_CAN, ids.preset));
    du.Place(p.preset, x + 58, 76, 70, 14);

    QLineEdit** edits[3] = {&p.sjw, &p.tseg1, &p.tseg2};
    const uint32_t editIds[3] = {ids.sjw, ids.tseg1, ids.tseg2};
    for (int i = 0; i < 3; ++i) {
        const int y = 96 + i * 16;
        du.Place(Label(this, ids.labels[i + 1]), x + 8, y + 2, 48, 10);
        *edits[i] = Make<QLineEdit>(this, editIds[i]);
        du.Place(*edits[i], x + 58, y, 36, 14);
        p.spins[i] = Make<CSpinButton>(this, ids.spins[i]);
        du.Place(p.spins[i], x + 94, y, 10, 14);
        p.spins[i]->SetBuddy(*edits[i], true);
        p.spins[i]->SetWrap(true);
    }
    connect(p.preset, &QPushButton::clicked, this, [this, phase] { OnPreset(phase); });
}

int32_t COptionPageCan::SelectedMode() const {
    return mode_->currentIndex() >= 0 ? mode_->currentData().toInt() : -1;
}

void COptionPageCan::OnInitDialog() {
    const ChannelSettings& channel = Settings().can[index_];
    for (PhaseControls& p : phases_) {
        for (CSpinButton* spin : p.spins) {
            spin->SetRange(0, 255);
        }
    }
    mode_->addItem(Res().String(IDS_CANMODE_CAN), kChannelModeCan);
    mode_->addItem(Res().String(IDS_CANMODE_CANFD), kChannelModeCanFd);
    mode_->setCurrentIndex(mode_->findData(channel.mode));
    enable_->setChecked(channel.enabled != 0);
    const bool communicating = Communicating();
    enable_->setEnabled(!communicating);
    note_->setVisible(communicating);
    UpdateEnabling();
    UpdatePhase();
}

bool COptionPageCan::Editable() const {
    return enable_->isChecked() && enable_->isEnabled();
}

void COptionPageCan::UpdateEnabling() {
    const bool editable = Editable();
    modeLabel_->setEnabled(editable);
    mode_->setEnabled(editable);
    phases_[0].group->setEnabled(editable);
    phases_[1].group->setEnabled(editable);
}

void COptionPageCan::OnModeChosen() {
    // Choosing another mode shows that mode's stored values again; choosing
    // the mode already shown keeps what is being edited.
    if (SelectedMode() != shownMode_) {
        UpdatePhase();
    }
}

void COptionPageCan::UpdatePhase() {
    const int32_t mode = SelectedMode();
    if (mode < 0) {
        return;
    }
    const ChannelSettings& channel = Settings().can[index_];
    CGroupBox* dataGroup = phases_[1].group;
    if (mode == kChannelModeCanFd) {
        dataGroup->setVisible(true);
        dataGroup->setEnabled(Editable());
        phases_[0].group->setTitle(Res().String(IDS_ARBITRATION_PARAMETERS));
        dataGroup->setTitle(Res().String(IDS_DATA_PARAMETERS));
        Fill(0, mode, channel.arbitration);
        Fill(1, mode, channel.data);
    } else {
        phases_[0].group->setTitle(Res().String(IDS_BUS_PARAMETERS));
        dataGroup->setEnabled(false);
        dataGroup->setVisible(false);
        Fill(0, mode, channel.arbitration);
    }
    shownMode_ = mode;
}

void COptionPageCan::Fill(int phase, int32_t mode, const BusParams& stored) {
    PhaseControls& p = phases_[phase];
    p.bitrate->clear();
    for (const bus_presets::BitrateChoice& choice : bus_presets::BitrateChoices(mode, phase)) {
        p.bitrate->addItem(Res().String(choice.textId), choice.bitrate);
    }
    // A stored rate the list does not offer shows its first entry.
    p.bitrate->setCurrentIndex(std::max(0, p.bitrate->findData(stored.bitrate)));
    p.sjw->setText(QString::number(static_cast<int32_t>(stored.sjw)));
    p.tseg1->setText(QString::number(static_cast<int32_t>(stored.tseg1)));
    p.tseg2->setText(QString::number(static_cast<int32_t>(stored.tseg2)));
}

void COptionPageCan::OnPreset(int phase) {
    const PhaseControls& p = phases_[phase != 0 ? 1 : 0];
    BusParams current{};
    current.bitrate = p.bitrate->currentIndex() >= 0 ? p.bitrate->currentData().toInt() : -1;
    current.sjw = static_cast<uint32_t>(ReadInt(p.sjw));
    current.tseg1 = static_cast<uint32_t>(ReadInt(p.tseg1));
    current.tseg2 = static_cast<uint32_t>(ReadInt(p.tseg2));
    const int32_t mode = SelectedMode();
    const bool chosen =
        chooser_ ? chooser_(mode, phase, current) : DefaultChooser(this, mode, phase, current);
    if (!chosen) {
        return;
    }
    const int item = p.bitrate->findData(current.bitrate);
    if (item >= 0) {
        p.bitrate->setCurrentIndex(item);
    }
    p.sjw->setText(QString::number(static_cast<int32_t>(current.sjw)));
    p.tseg1->setText(QString::number(static_cast<int32_t>(current.tseg1)));
    p.tseg2->setText(QString::number(static_cast<int32_t>(current.tseg2)));
}

COptionPage::Failure COptionPageCan::CheckPhase(int phase) const {
    const PhaseControls& p = phases_[phase];
    if (p.bitrate->currentIndex() < 0) {
        return {IDS_ERR_BITRATE, p.bitrate};
    }
    const std::pair<QLineEdit*, uint32_t> timings[] = {
        {p.sjw, IDS_ERR_SJW}, {p.tseg1, IDS_ERR_TSEG1}, {p.tseg2, IDS_ERR_TSEG2}};
    for (const auto& [edit, message] : timings) {
        uint32_t value = 0;
        if (!ReadTiming(edit, &value)) {
            return {message, edit};
        }
    }
    return {};
}

COptionPage::Failure COptionPageCan::Validate() const {
    const int32_t mode = SelectedMode();
    if (mode != kChannelModeCan && mode != kChannelModeCanFd) {
        return {};
    }
    if (Failure failure = CheckPhase(0)) {
        return failure;
    }
    return mode == kChannelModeCanFd ? CheckPhase(1) : Failure{};
}

BusParams COptionPageCan::ReadPhase(int phase) const {
    const PhaseControls& p = phases_[phase];
    BusParams params{p.bitrate->currentData().toInt(), 0, 0, 0, 0, 0};
    ReadTiming(p.tseg1, &params.tseg1);
    ReadTiming(p.tseg2, &params.tseg2);
    ReadTiming(p.sjw, &params.sjw);
    return params;
}

void COptionPageCan::OnApply() {
    const int32_t mode = SelectedMode();
    if (mode != kChannelModeCan && mode != kChannelModeCanFd) {
        return;
    }
    ChannelSettings& channel = Settings().can[index_];
    channel.arbitration = ReadPhase(0);
    if (mode == kChannelModeCanFd) {
        channel.data = ReadPhase(1);
    }
    channel.enabled = enable_->isChecked() ? 1 : 0;
    channel.mode = mode;
    if (Context().save) {
        Context().save(ENV_CAN1 << index_);
    }
}

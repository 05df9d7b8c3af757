#pragma once

#include <array>
#include <cstdint>

#include "can/channel_settings.h"
#include "ui/dialogs/option_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class CGroupBox;
class CSpinButton;

// One channel's page: whether it takes part, classic CAN or CAN FD, and the
// bus timing of the arbitration phase and of the CAN FD data phase. OK
// stores the channel and saves it at once; while communicating the page can
// be looked at but not changed.
class COptionPageCan : public COptionPage {
    Q_OBJECT
public:
    // The controls of one phase (0 arbitration, 1 data).
    struct PhaseControls {
        CGroupBox* group = nullptr;
        QComboBox* bitrate = nullptr;
        QPushButton* preset = nullptr;
        QLineEdit* sjw = nullptr;
        QLineEdit* tseg1 = nullptr;
        QLineEdit* tseg2 = nullptr;
        std::array<CSpinButton*, 3> spins{};  // SJW, TSEG1, TSEG2
    };

    // Shows the preset dialog for a mode and phase over current; true on OK.
    using PresetChooser = std::function<bool(int32_t mode, int32_t phase, BusParams& current)>;

    COptionPageCan(int index, const COptionContext& context, QWidget* parent = nullptr);

    int Index() const { return index_; }
    Failure Validate() const override;
    void OnApply() override;

    // The preset dialog; tests answer it themselves.
    void SetPresetChooser(PresetChooser chooser) { chooser_ = std::move(chooser); }
    // What the preset button of a phase does.
    void OnPreset(int phase);

    QCheckBox* EnableCheck() const { return enable_; }
    QLabel* ModeLabel() const { return modeLabel_; }
    QComboBox* ModeCombo() const { return mode_; }
    const PhaseControls& Phase(int phase) const { return phases_[phase != 0 ? 1 : 0]; }
    QLabel* CommunicatingNote() const { return note_; }

    // The value of the selected mode, -1 when none.
    int32_t SelectedMode() const;

protected:
    void OnInitDialog() override;

private:
    void BuildPhase(int phase, int x);
    bool Editable() const;
    void UpdateEnabling();
    void UpdatePhase();
    void OnModeChosen();
    void Fill(int phase, int32_t mode, const BusParams& stored);
    Failure CheckPhase(int phase) const;
    BusParams ReadPhase(int phase) const;

    int index_;
    QCheckBox* enable_;
    QLabel* modeLabel_;
    QComboBox* mode_;
    std::array<PhaseControls, 2> phases_;
    QLabel* note_;
    int32_t shownMode_ = -1;
    PresetChooser chooser_;
};

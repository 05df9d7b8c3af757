#pragma once

#include <cstdint>

#include "ui/dialogs/option_page.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class CSpinButton;

// The Common page: application look, bus-load threshold, the monitor's line
// limit, the settings store and the display language.
class COptionPageCommon : public COptionPage {
    Q_OBJECT
public:
    static constexpr int64_t kMaxLineLowest = 32767;
    static constexpr int64_t kMaxLineHighest = 2147483647;

    explicit COptionPageCommon(const COptionContext& context, QWidget* parent = nullptr);

    void OnApply() override;

    // One step of the line limit: the value minus the step's delta, wrapping
    // from the top of the range to its bottom and back.
    static int64_t StepMaxLine(int64_t value, int delta);
    // The look ids in list order.
    static const uint32_t* LookIds(int* count);

    QComboBox* LookCombo() const { return look_; }
    QLineEdit* ThresholdEdit() const { return threshold_; }
    CSpinButton* ThresholdSpin() const { return thresholdSpin_; }
    QLineEdit* MaxLineEdit() const { return maxLine_; }
    CSpinButton* MaxLineSpin() const { return maxLineSpin_; }
    QRadioButton* IniFileRadio() const { return iniFile_; }
    QRadioButton* RegistryRadio() const { return registry_; }
    QComboBox* LanguageCombo() const { return language_; }
    QLabel* LanguageNote() const { return note_; }

protected:
    void OnInitDialog() override;

private:
    void OnMaxLineDelta(int delta);

    QComboBox* look_;
    QLineEdit* threshold_;
    CSpinButton* thresholdSpin_;
    QLineEdit* maxLine_;
    CSpinButton* maxLineSpin_;
    QRadioButton* iniFile_;
    QRadioButton* registry_;
    QComboBox* language_;
    QLabel* note_;
};

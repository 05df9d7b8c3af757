#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "ui/dialogs/bus_param_presets.h"

class QTableWidget;

// Lists the preset timings that fit a channel mode and phase, preselects the
// row matching the caller's values and, on OK, hands back the chosen row's
// bit rate, SJW, TSEG1 and TSEG2 (the rest of the caller's record stays).
class CBusParamPresetDlg : public QDialog {
    Q_OBJECT
public:
    // phase: 0 arbitration, 1 data. current is read now and written on OK.
    CBusParamPresetDlg(int32_t mode, int32_t phase, BusParams& current, QWidget* parent = nullptr);

    QTableWidget* List() const { return list_; }
    // The rows in list order.
    const std::vector<bus_presets::Preset>& Rows() const { return rows_; }

    void accept() override;

private:
    BusParams& current_;
    std::vector<bus_presets::Preset> rows_;
    QTableWidget* list_;
};

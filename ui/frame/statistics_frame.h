#pragma once

#include "ui/frame/child_frm_base.h"

// The statistics window's frame: per-channel counts, error counters and bus
// load, refreshed every 500 ms while communicating.
class CStatisticsFrame : public CChildFrmBase {
    Q_OBJECT

public:
    static constexpr int kListControlId = 0xE901;

    explicit CStatisticsFrame(QWidget* parent = nullptr);
    static ViewFrameParams FrameParams();

protected:
    bool OnCreate() override;
    // The figures at the moment of the stop are read once more, as a tick.
    void OnCommStop() override { OnViewTimer(); }
};

#pragma once

#include "ui/frame/child_frm_base.h"

// The monitor window's frame: every received and sent frame, in arrival
// order, refreshed every 100 ms while communicating.
class CMonitorFrame : public CChildFrmBase {
    Q_OBJECT

public:
    static constexpr int kListControlId = 0xE900;

    explicit CMonitorFrame(QWidget* parent = nullptr);
    static ViewFrameParams FrameParams();

protected:
    bool OnCreate() override;
};

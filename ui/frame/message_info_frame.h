#pragma once

#include "ui/frame/child_frm_base.h"

// The message-info window's frame: one row per identifier, direction and
// channel with its cycle time, refreshed every 300 ms while communicating.
class CMessageInfoFrame : public CChildFrmBase {
    Q_OBJECT

public:
    static constexpr int kListControlId = 59650;

    explicit CMessageInfoFrame(QWidget* parent = nullptr);
    static ViewFrameParams FrameParams();

protected:
    bool OnCreate() override;
};

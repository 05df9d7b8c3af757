#pragma once

#include "ui/frame/child_frm_base.h"

// The bus-load graph's frame: the load of each channel over the last 30, 60
// or 120 seconds, repainted every 500 ms while communicating.
class CBusLoadFrame : public CChildFrmBase {
    Q_OBJECT

public:
    static constexpr int kGraphControlId = 59650;

    explicit CBusLoadFrame(QWidget* parent = nullptr);
    static ViewFrameParams FrameParams();

protected:
    bool OnCreate() override;
};

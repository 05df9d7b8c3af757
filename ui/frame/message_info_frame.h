#pragma once

#include "ui/frame/child_frm_base.h"

class CCanManager;
class CMessageInfoList;

// The message-info window's frame: one row per identifier, direction and
// channel with its cycle time, refreshed every 300 ms while communicating.
class CMessageInfoFrame : public CChildFrmBase {
    Q_OBJECT

public:
    static constexpr int kListControlId = 59650;

    explicit CMessageInfoFrame(QWidget* parent = nullptr);
    static ViewFrameParams FrameParams();

    bool OnFrameCommand(uint32_t id, CCmdUI* ui) override;
    CMessageInfoList* List() const { return list_; }

protected:
    bool OnCreate() override;
    void OnViewTimer() override;
    void OnSettingsChanged() override;

private:
    CCanManager* Manager() const;
    bool HasEntries() const;
    void CopyToClipboard();

    CMessageInfoList* list_ = nullptr;
};

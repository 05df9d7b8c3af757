#pragma once

#include <QMenu>
#include <QPointer>

#include "ui/frame/child_frm_base.h"
#include "ui/frame/live_view_inputs.h"
#include "ui/frame/statistics_list.h"

// The statistics window's frame: per-channel counts, error counters and bus
// load. Its tick wakes the statistics workers and repaints, every 500 ms
// while communicating; the workers' new figures show at the next tick.
class CStatisticsFrame : public CChildFrmBase {
    Q_OBJECT

public:
    static constexpr int kListControlId = 0xE901;

    explicit CStatisticsFrame(QWidget* parent = nullptr);
    ~CStatisticsFrame() override;
    static ViewFrameParams FrameParams();

    // Copy, clear per channel and clear all (toolbar, context menu, main menu).
    bool OnFrameCommand(uint32_t id, CCmdUI* ui) override;

    CStatisticsList* List() const { return list_; }
    // The menu of the clear button's drop-down part.
    QMenu* ClearMenu() const { return clearMenu_; }
    // Where the figures come from; by default the backend's channel manager.
    // Not owned; null returns to the default.
    void SetStatisticsSource(CStatisticsSource* source) { inputs_.SetSource(source); }
    // What one paint or copy shows.
    StatisticsSnapshot Snapshot();
    // The tick: wakes the statistics workers and repaints. Public so that a
    // benchmark can drive it.
    void OnViewTimer() override;

protected:
    bool OnCreate() override;
    // The figures at the moment of the stop are read once more, as a tick.
    void OnCommStop() override { OnViewTimer(); }
    void OnSettingsChanged() override;
    bool event(QEvent* event) override;

private:
    bool CreateClearMenu();
    void Clear(int first, int last);

    CStatisticsList* list_ = nullptr;
    QPointer<QMenu> clearMenu_;
    CLiveViewInputs inputs_;
};

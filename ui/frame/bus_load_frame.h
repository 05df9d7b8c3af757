#pragma once

#include "ui/frame/bus_load_graph.h"
#include "ui/frame/child_frm_base.h"
#include "ui/frame/live_view_inputs.h"

// The bus-load graph's frame: the load of each channel over the last 30, 60
// or 120 seconds, repainted every 500 ms while communicating. The samples
// come from the statistics workers, which the statistics window's tick
// drives.
class CBusLoadFrame : public CChildFrmBase {
    Q_OBJECT

public:
    static constexpr int kGraphControlId = 59650;

    explicit CBusLoadFrame(QWidget* parent = nullptr);
    ~CBusLoadFrame() override;
    static ViewFrameParams FrameParams();

    // Line visibility per channel, clearing, history time.
    bool OnFrameCommand(uint32_t id, CCmdUI* ui) override;

    CBusLoadGraph* Graph() const { return graph_; }
    // Where the histories come from; by default the backend's channel
    // manager. Not owned; null returns to the default.
    void SetStatisticsSource(CStatisticsSource* source) { inputs_.SetSource(source); }
    // The tick: repaints while communicating. Public so that a benchmark
    // can drive it.
    void OnViewTimer() override;

protected:
    bool OnCreate() override;
    void OnCommStart() override;
    void OnCommStop() override;
    void OnSettingsChanged() override;

private:
    void SetHistTime(uint32_t histTime);

    CBusLoadGraph* graph_ = nullptr;
    CLiveViewInputs inputs_;
};

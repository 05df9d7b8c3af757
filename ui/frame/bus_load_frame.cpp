#include "ui/frame/bus_load_frame.h"

#include <QApplication>
#include <QMainWindow>

#include "res/ids.h"
#include "settings/app_settings.h"
#include "ui/frame/frame_backend.h"

CBusLoadFrame::CBusLoadFrame(QWidget* parent)
    : CChildFrmBase(FrameParams(), parent), inputs_(this) {
    setObjectName(QStringLiteral("CBusLoadFrame"));
}

CBusLoadFrame::~CBusLoadFrame() = default;

ViewFrameParams CBusLoadFrame::FrameParams() {
    return {IDR_TOOLBAR_BUSLOAD,
            IDB_TOOLBAR_BUSLOAD_DISABLED,
            IDR_MENU_BUSLOAD,
            IDS_BUSLOAD_WINDOW,
            IDI_BUSLOAD,
            1002,
            500};
}

bool CBusLoadFrame::OnCreate() {
    graph_ = new CBusLoadGraph(Body());
    graph_->setProperty("controlId", kGraphControlId);
    CBusLoadGraph::Inputs inputs;
    inputs.settings = [this]() -> const AppSettings& { return inputs_.Settings(); };
    inputs.active = [this](int index) { return inputs_.EnabledAndOnBus(index); };
    inputs.history = [this](int index) {
        CStatisticsSource* source = inputs_.Source();
        return source != nullptr ? source->BusLoadHistory(index) : std::vector<uint32_t>{};
    };
    graph_->SetInputs(std::move(inputs));
    SetView(graph_);
    return true;
}

bool CBusLoadFrame::OnFrameCommand(uint32_t id, CCmdUI* ui) {
    if (id >= ID_BUSLOAD_LINE_CAN1 && id <= ID_BUSLOAD_LINE_CAN5) {
        const int index = static_cast<int>(id - ID_BUSLOAD_LINE_CAN1);
        if (ui != nullptr) {
            ui->Enable(inputs_.EnabledAndOnBus(index));
            ui->SetCheck(graph_ != nullptr && graph_->LineShown(index));
        } else if (graph_ != nullptr) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            graph_->SetLineVisible(index, !graph_->LineVisible(index));
            graph_->repaint();
            QApplication::restoreOverrideCursor();
        }
        return true;
    }
    if (id == ID_BUSLOAD_CLEAR) {
        if (ui != nullptr) {
            ui->Enable(true);
        } else {
            if (CStatisticsSource* source = inputs_.Source()) {
                for (int c = 0; c < kChannelCount; ++c) {
                    source->ClearBusLoadHistory(c);
                }
            }
            if (graph_ != nullptr) {
                graph_->update();
            }
        }
        return true;
    }
    if (id >= ID_BUSLOAD_HIST_30 && id <= ID_BUSLOAD_HIST_120) {
        const uint32_t histTime = id - ID_BUSLOAD_HIST_30;
        if (ui != nullptr) {
            ui->Enable(true);
            ui->SetCheck(inputs_.Settings().busLoadHistTime == histTime);
        } else {
            SetHistTime(histTime);
        }
        return true;
    }
    return false;
}

void CBusLoadFrame::SetHistTime(uint32_t histTime) {
    AppSettings& settings = inputs_.Settings();
    if (settings.busLoadHistTime == histTime) {
        return;
    }
    // Only the span changes; the histories keep their values, so a longer
    // span shows older values at once.
    settings.busLoadHistTime = histTime;
    if (graph_ != nullptr) {
        graph_->Relayout();
        graph_->repaint();
    }
}

void CBusLoadFrame::OnCommStart() {
    if (graph_ == nullptr) {
        return;
    }
    // Each running channel's line starts at 0 % at the right edge.
    if (CStatisticsSource* source = inputs_.Source()) {
        for (int c = 0; c < kChannelCount; ++c) {
            if (Backend() != nullptr && Backend()->ChannelBusOn(c)) {
                source->SeedBusLoadHistory(c, 0);
            } else {
                source->ClearBusLoadHistory(c);
            }
        }
    }
    graph_->update();
}

void CBusLoadFrame::OnViewTimer() {
    if (graph_ != nullptr && inputs_.Connected()) {
        graph_->update();
    }
}

void CBusLoadFrame::OnCommStop() {
    if (graph_ != nullptr) {
        graph_->repaint();
    }
}

void CBusLoadFrame::OnSettingsChanged() {
    if (graph_ != nullptr) {
        graph_->CreatePens();
        // The history time may have come with an imported environment.
        graph_->Relayout();
        graph_->repaint();
    }
}

#include "ui/frame/statistics_frame.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "res/ids.h"
#include "res/menu_builder.h"
#include "res/toolbar_builder.h"
#include "settings/app_settings.h"
#include "ui/frame/user_events.h"

CStatisticsFrame::CStatisticsFrame(QWidget* parent)
    : CChildFrmBase(FrameParams(), parent), inputs_(this) {
    setObjectName(QStringLiteral("CStatisticsFrame"));
}

CStatisticsFrame::~CStatisticsFrame() {
    // The list writes its column widths back when it dies: into settings
    // that may be the inputs' own, so before they go.
    delete list_;
}

ViewFrameParams CStatisticsFrame::FrameParams() {
    return {IDR_TOOLBAR_STATISTICS,
            IDB_TOOLBAR_STATISTICS_DISABLED,
            IDR_MENU_STATISTICS,
            IDS_STATISTICS_WINDOW,
            IDI_STATISTICS,
            1001,
            500};
}

StatisticsSnapshot CStatisticsFrame::Snapshot() {
    StatisticsSnapshot snapshot;
    CStatisticsSource* source = inputs_.Source();
    for (int c = 0; c < kChannelCount; ++c) {
        const auto index = static_cast<size_t>(c);
        if (source != nullptr) {
            snapshot.stats[index] = source->Statistics(c);
        }
        snapshot.live[index] = inputs_.EnabledAndActive(c);
    }
    const AppSettings& settings = inputs_.Settings();
    snapshot.threshold = settings.busLoadThreshold;
    snapshot.textColor = settings.statisticsColorText;
    return snapshot;
}

bool CStatisticsFrame::OnCreate() {
    list_ = new CStatisticsList(inputs_.Settings().statisticsColumn, Body());
    list_->SetSnapshotProvider([this] { return Snapshot(); });
    list_->SetBackgroundColorRef(inputs_.Settings().statisticsColorBkgnd);
    if (!list_->Create(Body(), kListControlId)) {
        return false;
    }
    SetView(list_, list_);
    return CreateClearMenu();
}

bool CStatisticsFrame::CreateClearMenu() {
    // The clear button of the toolbar clears every channel; its drop-down
    // part offers the channels one by one.
    QAction* button = res::FindCommandAction(ToolBar(), ID_STATISTICS_CLEAR);
    if (button == nullptr) {
        return false;
    }
    const res::ActionFactory factory = [this](uint32_t id, QObject* owner) {
        auto* action = new QAction(owner);
        connect(action, &QAction::triggered, this, [this, id] {
            CCmdUI ui;
            if (RouteCommand(id, &ui) && ui.enabled) {
                RouteCommand(id, nullptr);
            }
            UpdateToolBarUi();
        });
        return action;
    };
    clearMenu_ = res::BuildPopupMenu(IDR_MENU_STATISTICS_CLEAR, this, factory);
    if (clearMenu_ == nullptr) {
        return false;
    }
    connect(clearMenu_, &QMenu::aboutToShow, this, [this] {
        for (QAction* action : clearMenu_->actions()) {
            if (action->isSeparator() || !action->data().isValid()) {
                continue;
            }
            CCmdUI ui;
            action->setEnabled(RouteCommand(action->data().toUInt(), &ui) && ui.enabled);
        }
    });
    button->setMenu(clearMenu_);
    if (auto* tool = qobject_cast<QToolButton*>(ToolBar()->widgetForAction(button))) {
        tool->setPopupMode(QToolButton::MenuButtonPopup);
    }
    return true;
}

bool CStatisticsFrame::OnFrameCommand(uint32_t id, CCmdUI* ui) {
    if (id == ID_STATISTICS_COPY) {
        if (ui != nullptr) {
            ui->Enable(!inputs_.Connected());
        } else if (list_ != nullptr) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            list_->CopyToClipboard();
            QApplication::restoreOverrideCursor();
        }
        return true;
    }
    if (id == ID_STATISTICS_CLEAR) {
        if (ui != nullptr) {
            ui->Enable(true);
        } else {
            Clear(0, kChannelCount - 1);
        }
        return true;
    }
    if (id >= ID_STATISTICS_CLEAR_CAN1 && id <= ID_STATISTICS_CLEAR_CAN5) {
        const int index = static_cast<int>(id - ID_STATISTICS_CLEAR_CAN1);
        if (ui != nullptr) {
            ui->Enable(inputs_.EnabledAndActive(index));
        } else {
            Clear(index, index);
        }
        return true;
    }
    if (id == ID_STATISTICS_CLEAR_ALL) {
        if (ui != nullptr) {
            bool any = false;
            for (int c = 0; c < kChannelCount; ++c) {
                any = any || inputs_.EnabledAndActive(c);
            }
            ui->Enable(any);
        } else {
            Clear(0, kChannelCount - 1);
        }
        return true;
    }
    return false;
}

void CStatisticsFrame::Clear(int first, int last) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A channel whose reset failed keeps its figures (the channel layer
    // logs why); the others are still cleared.
    if (CStatisticsSource* source = inputs_.Source()) {
        for (int c = first; c <= last; ++c) {
            source->ClearStatistics(c);
        }
    }
    if (list_ != nullptr) {
        list_->InvalidateItems();
    }
    QApplication::restoreOverrideCursor();
}

void CStatisticsFrame::OnViewTimer() {
    if (CStatisticsSource* source = inputs_.Source()) {
        source->RefreshStatistics();
    }
    if (list_ != nullptr) {
        list_->InvalidateItems();
    }
}

void CStatisticsFrame::OnSettingsChanged() {
    if (list_ != nullptr) {
        list_->SetBackgroundColorRef(inputs_.Settings().statisticsColorBkgnd);
        list_->InvalidateItems();
    }
}

bool CStatisticsFrame::event(QEvent* event) {
    if (event->type() == kEventRefreshList) {
        if (list_ != nullptr) {
            list_->InvalidateItems();
        }
        return true;
    }
    return CChildFrmBase::event(event);
}

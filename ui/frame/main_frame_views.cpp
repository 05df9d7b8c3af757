#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>

#include "ui/frame/bus_load_frame.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/message_info_frame.h"
#include "ui/frame/monitor_frame.h"
#include "ui/frame/statistics_frame.h"
#include "ui/frame/view_placement.h"

// The main frame's side of the view frames: their creation and placement,
// the record of their places on close and the window list of the view menu.
bool CMainFrame::CreateViewFrames() {
    // Made from the last index to the first, as the layout was saved.
    std::array<CChildFrmBase*, kViewFrameCount> made{};
    for (int index = kViewFrameCount - 1; index >= 0; --index) {
        CChildFrmBase* frame = nullptr;
        switch (index) {
            case 0:
                frame = new CMonitorFrame;
                break;
            case 1:
                frame = new CBusLoadFrame;
                break;
            case 2:
                frame = new CStatisticsFrame;
                break;
            default:
                frame = new CMessageInfoFrame;
                break;
        }
        mdi_->addSubWindow(frame);
        frame->SetBackend(backend_);
        if (!frame->Create(this)) {
            return false;
        }
        made[index] = frame;
        frames_[index] = frame;
        RegisterViewFrame(index, frame, [frame](uint32_t id, CCmdUI* ui) {
            return frame->OnFrameCommand(id, ui);
        });
    }
    view_placement::Placements placements;
    for (int index = 0; index < kViewFrameCount; ++index) {
        placements[index] = backend_->Placement(index);
    }
    const view_placement::Frames frames = {made[0], made[1], made[2], made[3]};
    if (!view_placement::Restore(mdi_, frames, placements)) {
        // Tiled once the area has its size.
        mdi_->tileSubWindows();
        tilePending_ = true;
    }
    return true;
}

void CMainFrame::RebuildWindowList() {
    if (viewMenu_ == nullptr || mdi_ == nullptr) {
        return;
    }
    for (QAction* action : windowListActions_) {
        viewMenu_->removeAction(action);
        delete action;
    }
    windowListActions_.clear();
    viewMenu_->removeAction(windowsManager_);
    windowListActions_.push_back(viewMenu_->addSeparator());
    int number = 0;
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        QString title = window->windowTitle();
        title.replace(u'&', QStringLiteral("&&"));
        QAction* action = viewMenu_->addAction(QStringLiteral("&%1 %2").arg(++number).arg(title));
        action->setCheckable(true);
        action->setChecked(window == mdi_->currentSubWindow());
        QPointer<QMdiSubWindow> target(window);
        connect(action, &QAction::triggered, this, [this, target] {
            if (target) {
                if (target->isMinimized()) {
                    target->showNormal();
                }
                mdi_->setActiveSubWindow(target);
            }
        });
        windowListActions_.push_back(action);
    }
    viewMenu_->addAction(windowsManager_);
}

std::vector<QAction*> CMainFrame::WindowListActions() const {
    std::vector<QAction*> result;
    for (QAction* action : windowListActions_) {
        if (!action->isSeparator()) {
            result.push_back(action);
        }
    }
    return result;
}

CChildFrmBase* CMainFrame::ViewFrame(int index) const {
    return index >= 0 && index < kViewFrameCount ? frames_[index].data() : nullptr;
}

void CMainFrame::SaveViewPlacements() {
    view_placement::Placements old;
    view_placement::Frames frames{};
    for (int index = 0; index < kViewFrameCount; ++index) {
        old[index] = backend_->Placement(index);
        frames[index] = frames_[index].data();
    }
    const view_placement::Placements recorded = view_placement::Record(mdi_, frames, old);
    for (int index = 0; index < kViewFrameCount; ++index) {
        if (frames[index] != nullptr) {
            backend_->SetPlacement(index, recorded[index]);
        }
    }
    // Destroyed now, so that what they write back (column widths) is in the
    // settings before they are saved.
    for (QMdiSubWindow* frame : frames) {
        delete frame;
    }
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (tilePending_) {
        tilePending_ = false;
        QTimer::singleShot(0, this, [this] {
            if (mdi_ != nullptr) {
                mdi_->tileSubWindows();
            }
        });
    }
}

void CMainFrame::RegisterViewFrame(int index, QWidget* frame, ViewCommandHandler handler) {
    if (index < 0 || index >= kViewFrameCount) {
        return;
    }
    views_[index] = frame;
    viewHandlers_[index] = std::move(handler);
}

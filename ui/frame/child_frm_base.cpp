#include "ui/frame/child_frm_base.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

#include "controls/item_list.h"
#include "res/ids.h"
#include "res/menu_builder.h"
#include "res/resources.h"
#include "res/toolbar_builder.h"
#include "ui/frame/user_events.h"

namespace {

// The body of a view frame. A right click anywhere but on the toolbar goes
// to the frame, which shows its own menu; over the toolbar the body keeps
// its standard toolbar menu.
class CFrameBody : public QMainWindow {
public:
    explicit CFrameBody(CChildFrmBase* frame) : QMainWindow(frame), frame_(frame) {
        // A main window is a top-level window by birth; this one is a child.
        setWindowFlags(Qt::Widget);
        setObjectName(QStringLiteral("FrameBody"));
    }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        for (QWidget* w = childAt(event->pos()); w != nullptr && w != this; w = w->parentWidget()) {
            if (qobject_cast<QToolBar*>(w) != nullptr) {
                QMainWindow::contextMenuEvent(event);
                return;
            }
        }
        frame_->ShowContextMenu(event->globalPos());
        event->accept();
    }

private:
    CChildFrmBase* frame_;
};

}  // namespace

CChildFrmBase::CChildFrmBase(const ViewFrameParams& params, QWidget* parent)
    : QMdiSubWindow(parent), params_(params) {
    body_ = new CFrameBody(this);
    setWidget(body_);
    viewTimer_.setObjectName(QString::number(params_.timerId));
    if (params_.timerPeriod > 0) {
        viewTimer_.setInterval(params_.timerPeriod);
    }
    connect(&viewTimer_, &QTimer::timeout, this, [this] { OnViewTimer(); });
}

CChildFrmBase::~CChildFrmBase() = default;

bool CChildFrmBase::Create(CCommandTarget* menuOwner) {
    menuOwner_ = menuOwner;
    const res::Resources& resources = res::Resources::Instance();
    if (params_.iconId != 0) {
        setWindowIcon(resources.Icon(static_cast<uint32_t>(params_.iconId)));
    }
    if (params_.titleStringId != 0) {
        setWindowTitle(resources.String(static_cast<uint32_t>(params_.titleStringId)));
    }
    if (params_.toolbarId != 0 && !CreateToolBar()) {
        return false;
    }
    return OnCreate();
}

bool CChildFrmBase::CreateToolBar() {
    const res::ActionFactory factory = [this](uint32_t id, QObject* owner) {
        auto* action = new QAction(owner);
        connect(action, &QAction::triggered, this, [this, id] { OnToolBarCommand(id); });
        toolActions_.emplace(id, action);
        return action;
    };
    toolBar_ = res::BuildToolBar(static_cast<uint32_t>(params_.toolbarId), body_, factory, 0,
                                 res::Resources::Instance(),
                                 static_cast<uint32_t>(params_.toolbarDisabledImageId));
    if (toolBar_ == nullptr) {
        return false;
    }
    toolBar_->setMovable(true);
    toolBar_->setFloatable(false);
    body_->addToolBar(Qt::TopToolBarArea, toolBar_);
    UpdateToolBarUi();
    return true;
}

void CChildFrmBase::SetView(QWidget* view, CItemList* list) {
    view_ = view;
    list_ = list;
    body_->setCentralWidget(view);
    if (list != nullptr) {
        body_->setFocusProxy(list);
    }
}

bool CChildFrmBase::RouteCommand(uint32_t id, CCmdUI* ui) {
    if (list_ && list_->OnCmdMsg(id, ui)) {
        return true;
    }
    if (OnFrameCommand(id, ui)) {
        return true;
    }
    if (id == ID_FILE_CLOSE) {
        if (ui != nullptr) {
            ui->Enable(true);
        } else {
            showMinimized();
        }
        return true;
    }
    return false;
}

void CChildFrmBase::OnToolBarCommand(uint32_t id) {
    CCmdUI ui;
    if (RouteCommand(id, &ui) && ui.enabled) {
        RouteCommand(id, nullptr);
    }
    UpdateToolBarUi();
}

void CChildFrmBase::UpdateToolBarUi() {
    for (auto& [id, action] : toolActions_) {
        if (!action) {
            continue;
        }
        CCmdUI ui;
        const bool handled = RouteCommand(id, &ui);
        action->setEnabled(handled && ui.enabled);
        if (ui.checked >= 0) {
            action->setCheckable(true);
            action->setChecked(ui.checked == 1);
        }
    }
}

QMenu* CChildFrmBase::ShowContextMenu(QPoint globalPos) {
    if (params_.contextMenuId == 0 || menuOwner_ == nullptr) {
        return nullptr;
    }
    // The popup belongs to the main window, and so do its commands: the
    // main frame routes them back to this frame whichever frame is active.
    CCommandTarget* owner = menuOwner_;
    QWidget* ownerWindow = window();
    const res::ActionFactory factory = [owner](uint32_t id, QObject* parent) {
        auto* action = new QAction(parent);
        const CCmdUI ui = owner->CommandState(id);
        action->setEnabled(ui.enabled);
        if (ui.checked >= 0) {
            action->setCheckable(true);
            action->setChecked(ui.checked == 1);
        }
        QObject::connect(action, &QAction::triggered, action, [owner, id] {
            if (owner->CommandState(id).enabled) {
                owner->OnCommand(id);
            }
        });
        return action;
    };
    QMenu* menu =
        res::BuildPopupMenu(static_cast<uint32_t>(params_.contextMenuId), ownerWindow, factory);
    if (menu == nullptr) {
        return nullptr;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
    return menu;
}

bool CChildFrmBase::event(QEvent* event) {
    const auto type = event->type();
    if (type == kEventCommStart) {
        if (params_.timerId != 0 && params_.timerPeriod > 0) {
            viewTimer_.start();
        }
        OnCommStart();
        return true;
    }
    if (type == kEventCommStop) {
        if (params_.timerId != 0 && params_.timerPeriod > 0) {
            viewTimer_.stop();
        }
        // One more tick, so the view shows the state at the moment of the stop.
        OnViewTimer();
        OnCommStop();
        return true;
    }
    if (type == kEventSettingsChanged) {
        OnSettingsChanged();
        return true;
    }
    return QMdiSubWindow::event(event);
}

void CChildFrmBase::closeEvent(QCloseEvent* event) {
    // A view frame lives as long as the main frame: closing it minimises it.
    event->ignore();
    showMinimized();
}

void CChildFrmBase::focusInEvent(QFocusEvent* event) {
    QMdiSubWindow::focusInEvent(event);
    if (list_) {
        list_->setFocus(event->reason());
    }
}

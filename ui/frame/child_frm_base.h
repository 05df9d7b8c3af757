#pragma once

#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <map>

#include "controls/cmd_ui.h"
#include "controls/item_list.h"

class CFrameBackend;
class QMainWindow;
class QMenu;
class QToolBar;

// The constant features of a view frame, set by the derived frame's
// constructor. 0 switches a feature off.
struct ViewFrameParams {
    int32_t toolbarId = 0;
    int32_t toolbarDisabledImageId = 0;
    int32_t contextMenuId = 0;
    int32_t titleStringId = 0;
    int32_t iconId = 0;
    int32_t timerId = 0;
    int32_t timerPeriod = 0;  // milliseconds
};

// Where a view frame's context-menu commands go: the main frame, which
// routes them back to the view frame they belong to.
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    virtual void OnCommand(uint32_t id) = 0;
    virtual CCmdUI CommandState(uint32_t id) const = 0;
};

// The shell every view shares: icon, title, own toolbar, a context menu
// whose commands go through the main frame, and a refresh timer that runs
// only while communication runs. The user cannot close a view frame;
// closing minimises it.
//
// The view itself lives in the frame's body (a main-window widget, so that
// the toolbar docks and a frame can have a status bar of its own).
class CChildFrmBase : public QMdiSubWindow {
    Q_OBJECT

public:
    explicit CChildFrmBase(const ViewFrameParams& params, QWidget* parent = nullptr);
    ~CChildFrmBase() override;

    // The creation steps: icon, title, toolbar, then the derived parts
    // (OnCreate). False when the toolbar or a derived part failed.
    bool Create(CCommandTarget* menuOwner);

    const ViewFrameParams& Params() const { return params_; }

    // What the view reads and drives (channel manager, settings, CANdb);
    // set by the main frame before Create. Null in a frame made alone.
    void SetBackend(CFrameBackend* backend) { backend_ = backend; }
    CFrameBackend* Backend() const { return backend_; }

    // The frame's own command handlers (not those of the hosted list): ui
    // null runs the command, otherwise its state is reported. False when
    // the frame has no handler for it. The main frame's view commands come
    // here.
    virtual bool OnFrameCommand(uint32_t id, CCmdUI* ui) { return false; }
    // The routing of the frame's own toolbar: the hosted list first, then
    // the frame's handlers, then the base's close command (minimises).
    bool RouteCommand(uint32_t id, CCmdUI* ui);
    // Enabled states and marks of the toolbar buttons.
    void UpdateToolBarUi();

    // Shows the context menu at a screen point; its commands go to the menu
    // owner. Null when the frame has no context menu. The menu deletes
    // itself when it closes.
    QMenu* ShowContextMenu(QPoint globalPos);

    QMainWindow* Body() const { return body_; }
    QToolBar* ToolBar() const { return toolBar_; }
    CItemList* HostedList() const { return list_; }
    QWidget* View() const { return view_; }
    bool ViewTimerActive() const { return viewTimer_.isActive(); }

protected:
    // ---- what the derived frames add --------------------------------
    // Creates the view and its parts; false fails the creation.
    virtual bool OnCreate() { return true; }
    // After the timer was set when communication starts.
    virtual void OnCommStart() {}
    // After the last tick when communication stops.
    virtual void OnCommStop() {}
    // Every tick of the frame's timer, and once more at stop.
    virtual void OnViewTimer() {}
    // After the options were confirmed: colours and the like are read again.
    virtual void OnSettingsChanged() {}

    // The widget that fills the body below the toolbar; a list given here
    // also gets the frame's commands first and its focus.
    void SetView(QWidget* view, CItemList* list = nullptr);

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    bool CreateToolBar();
    void OnToolBarCommand(uint32_t id);

    const ViewFrameParams params_;
    QMainWindow* body_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QWidget* view_ = nullptr;
    QPointer<CItemList> list_;
    CCommandTarget* menuOwner_ = nullptr;
    CFrameBackend* backend_ = nullptr;
    std::multimap<uint32_t, QPointer<QAction>> toolActions_;
    QTimer viewTimer_;
};

#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "controls/cmd_ui.h"
#include "ui/frame/child_frm_base.h"
#include "ui/frame/frame_backend.h"

class QMdiArea;
class QMenu;
class QToolBar;
class CCANdbPane;
class COutputLogPane;

// The single top-level window: menus, main toolbar, status bar, the CANdb
// pane on the left, the output log pane at the bottom and the view frames
// in the MDI area. It starts and stops communication, toggles buses, opens
// CANdb files, imports and exports the environment and switches the look.
class CMainFrame : public QMainWindow, public CCommandTarget {
    Q_OBJECT

public:
    static constexpr int kPaneCount = 12;
    static constexpr int kUptimeTimerId = 1000;
    static constexpr int kUptimePeriodMs = 500;
    static constexpr int kViewFrameCount = 4;  // monitor, bus load, statistics, message info

    // A view frame's command handler: with ui set it only reports the
    // command's state there; false when it has no entry for the command.
    using ViewCommandHandler = std::function<bool(uint32_t id, CCmdUI* ui)>;
    // A command that opens a dialog of its own (send, options, about).
    using DialogCommand = std::function<void()>;
    // The options sheet: true when it was closed with OK.
    using OptionsCommand = std::function<bool()>;

    explicit CMainFrame(CFrameBackend* backend, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds menus, toolbar, status bar and panes, applies the look,
    // installs the log pane as WriteLog's sink and creates and places the
    // four view frames. False when a part failed.
    bool Create();

    // Milliseconds since an arbitrary start; replaceable for tests.
    void SetClock(std::function<uint64_t()> clock) { clock_ = std::move(clock); }

    // View frames by index (0 monitor, 1 bus load, 2 statistics, 3 message
    // info), with the handler their commands go to. Create registers the
    // four frames it makes; a test may put its own in their place.
    void RegisterViewFrame(int index, QWidget* frame, ViewCommandHandler handler);
    // The view frame Create made for an index; null once it is destroyed.
    CChildFrmBase* ViewFrame(int index) const;
    // The entries of the view menu that name the view frames, in creation
    // order; rebuilt each time the menu opens.
    std::vector<QAction*> WindowListActions() const;
    void RebuildWindowList();
    void SetOptionsCommand(OptionsCommand command) { options_ = std::move(command); }
    void SetSendMessageCommand(DialogCommand command) { sendMessage_ = std::move(command); }
    void SetAboutCommand(DialogCommand command) { about_ = std::move(command); }

    // ---- commands ----
    void OnCommand(uint32_t id) override;
    CCmdUI CommandState(uint32_t id) const override;
    bool IsCommandEnabled(uint32_t id) const;
    // Whether the command table has an entry for the command.
    bool HandlesCommand(uint32_t id) const { return commands_.count(id) != 0; }
    // Enabled states, check marks and texts of every menu and toolbar item.
    void UpdateCommandUi();
    // All actions of a command (menu and toolbar items).
    std::vector<QAction*> ActionsOf(uint32_t id) const;

    void StartCommunication();
    void StopCommunication();
    void OpenCandbFile(const QString& path);
    void ImportEnvironment(const QString& path);
    // The first local file of a drop is imported; false when there is none.
    bool ImportDroppedFiles(const QList<QUrl>& urls);
    void ApplyLook(uint32_t id);

    // ---- status bar ----
    void SetPaneText(int index, const QString& text);
    QString PaneText(int index) const;
    int PaneWidth(int index) const;
    void RefreshStatus(bool state, bool channels, bool uptime);

    CFrameBackend* Backend() const { return backend_; }
    COutputLogPane* LogPane() const { return logPane_; }
    CCANdbPane* CandbPane() const { return candbPane_; }
    QToolBar* MainToolBar() const { return toolBar_; }
    QMdiArea* MdiArea() const { return mdi_; }
    bool UptimeTimerActive() const { return uptimeTimer_.isActive(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The store's reason in an error box (import or export string).
    void ReportEnvironmentFailure(uint32_t stringId, const QString& path);
    // One command of the table: what it does, its enabled state and mark,
    // and a text that follows the state (null: the resource text stays).
    using CommandRun = std::function<void(uint32_t id)>;
    using CommandStateFn = std::function<CCmdUI(uint32_t id)>;
    using CommandText = std::function<QString(uint32_t id)>;
    struct CommandEntry {
        CommandRun run;
        CommandStateFn state;
        CommandText text;
    };

    QAction* NewAction(uint32_t id, QObject* owner);
    void BuildCommandTable();
    void AddCommand(uint32_t id, CommandRun run, CommandStateFn state, CommandText text = {});
    void AddCommands(uint32_t first, uint32_t last, CommandRun run, CommandStateFn state,
                     CommandText text = {});
    bool RouteToView(int index, uint32_t id, CCmdUI* ui) const;
    std::string RecentEntry(size_t n) const;
    bool CreateViewFrames();
    void SaveViewPlacements();
    void ImportFromDialog();
    void ExportFromDialog();
    void OpenCandbFromDialog();
    void PostToViews(int eventType);
    void RedrawAll();

    CFrameBackend* backend_;
    std::function<uint64_t()> clock_;
    QMdiArea* mdi_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    COutputLogPane* logPane_ = nullptr;
    CCANdbPane* candbPane_ = nullptr;
    QLabel* idleLabel_ = nullptr;
    std::array<QLabel*, kPaneCount> panes_{};
    std::multimap<uint32_t, QPointer<QAction>> actions_;
    std::unordered_map<uint32_t, CommandEntry> commands_;
    std::array<QPointer<QWidget>, kViewFrameCount> views_;
    std::array<ViewCommandHandler, kViewFrameCount> viewHandlers_;
    std::array<QPointer<CChildFrmBase>, kViewFrameCount> frames_;
    bool tilePending_ = false;
    QMenu* viewMenu_ = nullptr;
    QAction* windowsManager_ = nullptr;
    std::vector<QAction*> windowListActions_;
    OptionsCommand options_;
    DialogCommand sendMessage_;
    DialogCommand about_;
    QTimer uptimeTimer_;
    QTimer commandUiTimer_;
    uint64_t startTime_ = 0;
    bool sinkInstalled_ = false;
};

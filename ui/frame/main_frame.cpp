#include "ui/frame/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "can/write_log.h"
#include "res/menu_builder.h"
#include "res/shortcut_builder.h"
#include "res/toolbar_builder.h"
#include "ui/frame/app_look.h"
#include "ui/frame/candb_pane.h"
#include "ui/frame/dialog_service.h"
#include "ui/frame/frame_texts.h"
#include "ui/frame/output_log_pane.h"
#include "ui/frame/user_events.h"
#include "ui/frame/windows_dialog.h"

namespace {

const res::Resources& Res() {
    return res::Resources::Instance();
}

uint64_t SteadyMilliseconds() {
    static QElapsedTimer timer;
    if (!timer.isValid()) {
        timer.start();
    }
    return static_cast<uint64_t>(timer.elapsed());
}

// The indicator list of the status bar; 0 is the message pane.
constexpr uint32_t kIndicators[CMainFrame::kPaneCount] = {0,
                                                          ID_INDICATOR_PANE1,
                                                          ID_INDICATOR_PANE2,
                                                          ID_INDICATOR_PANE3,
                                                          ID_INDICATOR_PANE4,
                                                          ID_INDICATOR_PANE5,
                                                          ID_INDICATOR_PANE6,
                                                          ID_INDICATOR_PANE7,
                                                          ID_INDICATOR_PANE8,
                                                          ID_INDICATOR_PANE9,
                                                          ID_INDICATOR_PANE10,
                                                          ID_INDICATOR_PANE11};

// Names of the main window's layout values.
const char* const kLayoutGeometry = "Geometry";
const char* const kLayoutState = "State";

bool InRange(uint32_t id, uint32_t first, uint32_t last) {
    return id >= first && id <= last;
}

// The view frame a command belongs to: 0 monitor, 1 bus load, 2 statistics,
// 3 message info; -1 for the frame's own commands.
int ViewOfCommand(uint32_t id) {
    if (InRange(id, ID_MONITOR_FIRST, ID_MONITOR_LAST)) {
        return 0;
    }
    if (InRange(id, ID_BUSLOAD_FIRST, ID_BUSLOAD_LAST) || id == ID_BUSLOAD_LINE_ALL) {
        return 1;
    }
    if (InRange(id, ID_STATISTICS_FIRST, ID_STATISTICS_LAST)) {
        return 2;
    }
    if (InRange(id, ID_MESSAGEINFO_FIRST, ID_MESSAGEINFO_LAST)) {
        return 3;
    }
    return -1;
}

}  // namespace

CMainFrame::CMainFrame(CFrameBackend* backend, QWidget* parent)
    : QMainWindow(parent), backend_(backend), clock_(SteadyMilliseconds) {
    setObjectName(QStringLiteral("CMainFrame"));
    uptimeTimer_.setInterval(kUptimePeriodMs);
    uptimeTimer_.setObjectName(QString::number(kUptimeTimerId));
    connect(&uptimeTimer_, &QTimer::timeout, this, [this] { RefreshStatus(false, false, true); });
    // Toolbar buttons follow the state as the idle update of a frame does.
    commandUiTimer_.setInterval(250);
    connect(&commandUiTimer_, &QTimer::timeout, this, &CMainFrame::UpdateCommandUi);
}

CMainFrame::~CMainFrame() {
    if (sinkInstalled_) {
        SetLogSink({});  // waits until no worker is inside the pane's queue
    }
}

QAction* CMainFrame::NewAction(uint32_t id, QObject* owner) {
    auto* action = new QAction(owner);
    connect(action, &QAction::triggered, this, [this, id] {
        if (IsCommandEnabled(id)) {
            OnCommand(id);
        }
    });
    if (InRange(id, ID_VIEW_APPLOOK_WIN_2000, ID_VIEW_APPLOOK_WINDOWS_7)) {
        action->setCheckable(true);
    }
    actions_.emplace(id, action);
    return action;
}

bool CMainFrame::Create() {
    if (backend_ == nullptr) {
        return false;
    }
    setWindowTitle(Res().String(IDR_MAINFRAME));
    setWindowIcon(Res().Icon(IDR_MAINFRAME));
    setAcceptDrops(true);

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MDIClient"));
    setCentralWidget(mdi_);

    const res::ActionFactory factory = [this](uint32_t id, QObject* owner) {
        return NewAction(id, owner);
    };
    if (!res::FillMenuBar(menuBar(), IDR_MAINFRAME, factory)) {
        return false;
    }
    // The look entries of menu 139 join the view menu as its sub-menu.
    if (QMenu* view = res::FindSubMenuOf(menuBar(), ID_WINDOW_CASCADE)) {
        if (QMenu* looks = res::BuildPopupMenu(IDR_THEME_MENU, view, factory)) {
            view->addSeparator();
            view->addMenu(looks);
        }
        // As in every multiple-document frame: the list of the view frames
        // and the windows dialog close the menu that tiles them.
        viewMenu_ = view;
        windowsManager_ =
            res::MakeCommandAction(ID_WINDOW_MANAGER, view, factory, res::Resources::Instance());
        windowsManager_->setText(Res().String(IDS_WINDOWS_MANAGER));
        connect(view, &QMenu::aboutToShow, this, &CMainFrame::RebuildWindowList);
        RebuildWindowList();
    }
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    }

    toolBar_ = res::BuildToolBar(IDR_MAINFRAME, this, factory, IDS_TOOLBAR_LABELS);
    if (toolBar_ == nullptr) {
        return false;
    }
    toolBar_->setWindowTitle(Res().String(IDS_TOOLBAR_MAIN_TITLE));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    res::InstallShortcuts(IDR_MAINFRAME, this, [this](uint32_t id) {
        if (IsCommandEnabled(id)) {
            OnCommand(id);
        }
    });

    idleLabel_ = new QLabel(Res().String(AFX_IDS_IDLEMESSAGE));
    statusBar()->addWidget(idleLabel_, 1);
    panes_[0] = idleLabel_;
    for (int i = 1; i < kPaneCount; ++i) {
        auto* label = new QLabel;
        label->setObjectName(QStringLiteral("pane%1").arg(i));
        label->setContentsMargins(0, 0, 0, 0);
        label->setIndent(0);
        label->setMargin(0);
        statusBar()->addPermanentWidget(label);
        panes_[i] = label;
        SetPaneText(i, Res().String(kIndicators[i]));
    }
    RefreshStatus(true, true, true);

    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    candbPane_ = new CCANdbPane(this);
    candbPane_->setWindowTitle(
        Res().Format(IDS_FMT_PANE_CAPTION, Res().String(IDS_CANDB_PANE).toUtf8().constData()));
    addDockWidget(Qt::LeftDockWidgetArea, candbPane_);
    resizeDocks({candbPane_}, {200}, Qt::Horizontal);
    logPane_ = new COutputLogPane(this);
    logPane_->setWindowTitle(
        Res().Format(IDS_FMT_PANE_CAPTION, Res().String(IDS_LOG_PANE).toUtf8().constData()));
    addDockWidget(Qt::BottomDockWidgetArea, logPane_);
    SetLogSink(
        [pane = logPane_](int level, const std::string& text) { pane->AddLogLine(level, text); });
    sinkInstalled_ = true;

    ApplyLook(backend_->AppLook());

    if (backend_->NotConfigured()) {
        // First start: 82 % by 86 % of the work area, centred.
        const QScreen* screen = QApplication::primaryScreen();
        if (screen != nullptr) {
            const QRect area = screen->availableGeometry();
            const QSize size(area.width() * 82 / 100, area.height() * 86 / 100);
            resize(size);
            move(area.x() + (area.width() - size.width()) / 2,
                 area.y() + (area.height() - size.height()) / 2);
        }
    }
    if (!CreateViewFrames()) {
        return false;
    }
    // Size, position and docking as the user left them; a damaged layout is
    // refused by Qt and the defaults stay.
    const std::vector<uint8_t> geometry = backend_->WindowLayout(kLayoutGeometry);
    if (!geometry.empty()) {
        restoreGeometry(QByteArray(reinterpret_cast<const char*>(geometry.data()),
                                   static_cast<qsizetype>(geometry.size())));
    }
    const std::vector<uint8_t> state = backend_->WindowLayout(kLayoutState);
    if (!state.empty()) {
        restoreState(QByteArray(reinterpret_cast<const char*>(state.data()),
                                static_cast<qsizetype>(state.size())));
    }
    UpdateCommandUi();
    commandUiTimer_.start();
    return true;
}

std::vector<QAction*> CMainFrame::ActionsOf(uint32_t id) const {
    std::vector<QAction*> result;
    auto [first, last] = actions_.equal_range(id);
    for (auto it = first; it != last; ++it) {
        if (it->second) {
            result.push_back(it->second);
        }
    }
    return result;
}

bool CMainFrame::RouteToView(uint32_t id, CCmdUI* ui) const {
    const int index = ViewOfCommand(id);
    if (index < 0 || !views_[index] || !viewHandlers_[index]) {
        return false;  // no entry: not handled, shown disabled
    }
    return viewHandlers_[index](id, ui);
}

CCmdUI CMainFrame::CommandState(uint32_t id) const {
    CCmdUI ui;
    if (ViewOfCommand(id) >= 0) {
        if (!RouteToView(id, &ui)) {
            ui = CCmdUI{};
        }
        return ui;
    }
    ui.Enable(IsCommandEnabled(id));
    if (InRange(id, ID_VIEW_APPLOOK_WIN_2000, ID_VIEW_APPLOOK_WINDOWS_7)) {
        ui.SetCheck(id == backend_->AppLook());
    }
    return ui;
}

bool CMainFrame::IsCommandEnabled(uint32_t id) const {
    const bool connected = backend_->Connected();
    if (ViewOfCommand(id) >= 0) {
        CCmdUI ui;
        return RouteToView(id, &ui) && ui.enabled;
    }
    if (InRange(id, ID_BUS_ONOFF_CAN1, ID_BUS_ONOFF_CAN5)) {
        const int c = static_cast<int>(id - ID_BUS_ONOFF_CAN1);
        return connected && backend_->Channel(c).enabled != 0 && backend_->ChannelActive(c);
    }
    if (InRange(id, ID_CANDB_RECENT1, ID_CANDB_RECENT4)) {
        const std::vector<std::string> recent = backend_->RecentCandb();
        const size_t n = id - ID_CANDB_RECENT1;
        return n < recent.size() && !recent[n].empty() &&
               QFileInfo::exists(QString::fromStdString(recent[n]));
    }
    if (InRange(id, ID_VIEW_APPLOOK_WIN_2000, ID_VIEW_APPLOOK_WINDOWS_7)) {
        return true;
    }
    switch (id) {
        case ID_CANDB_OPEN:
            return backend_->CandbLibraryLoaded();
        case ID_ENV_IMPORT:
        case ID_ENV_EXPORT:
        case ID_COMM_START:
        case ID_COMM_RESET:
            return !connected;
        case ID_OPTIONS:
            return !connected && static_cast<bool>(options_);
        case ID_COMM_STOP:
            return connected;
        case ID_SEND_MESSAGE:
            return connected && static_cast<bool>(sendMessage_);
        case ID_APP_ABOUT:
            return static_cast<bool>(about_);
        case ID_APP_EXIT:
        case ID_WINDOW_CASCADE:
        case ID_WINDOW_TILE_HORZ:
        case ID_WINDOW_MANAGER:
            return true;
        default:
            return false;
    }
}

void CMainFrame::UpdateCommandUi() {
    if (backend_ == nullptr) {
        return;
    }
    const std::vector<std::string> recent = backend_->RecentCandb();
    for (auto& [id, action] : actions_) {
        if (!action) {
            continue;
        }
        if (ViewOfCommand(id) >= 0) {
            CCmdUI ui;
            const bool handled = RouteToView(id, &ui);
            action->setEnabled(handled && ui.enabled);
            if (handled && ui.checked >= 0) {
                action->setCheckable(true);
                action->setChecked(ui.checked == 1);
            }
            continue;
        }
        const bool enabled = IsCommandEnabled(id);
        action->setEnabled(enabled);
        if (InRange(id, ID_BUS_ONOFF_CAN1, ID_BUS_ONOFF_CAN5) && enabled) {
            const int c = static_cast<int>(id - ID_BUS_ONOFF_CAN1);
            action->setText(frame_texts::BusMenuText(c, backend_->ChannelBusOn(c)));
        } else if (InRange(id, ID_CANDB_RECENT1, ID_CANDB_RECENT4)) {
            const size_t n = id - ID_CANDB_RECENT1;
            const bool has = n < recent.size() && !recent[n].empty();
            // "&" in a path is not a mnemonic.
            action->setText(
                has ? QString::fromStdString(recent[n]).replace(u'&', QStringLiteral("&&"))
                    : Res().String(IDS_RECENT_NONE));
        } else if (action->isCheckable()) {
            action->setChecked(id == backend_->AppLook());
        }
    }
    for (const QPointer<CChildFrmBase>& frame : frames_) {
        if (frame) {
            frame->UpdateToolBarUi();
        }
    }
}

void CMainFrame::OnCommand(uint32_t id) {
    if (ViewOfCommand(id) >= 0) {
        RouteToView(id, nullptr);
        UpdateCommandUi();
        return;
    }
    if (InRange(id, ID_BUS_ONOFF_CAN1, ID_BUS_ONOFF_CAN5)) {
        backend_->ToggleBus(static_cast<int>(id - ID_BUS_ONOFF_CAN1));
    } else if (InRange(id, ID_CANDB_RECENT1, ID_CANDB_RECENT4)) {
        const std::vector<std::string> recent = backend_->RecentCandb();
        const size_t n = id - ID_CANDB_RECENT1;
        if (n < recent.size() && !recent[n].empty()) {
            OpenCandbFile(QString::fromStdString(recent[n]));
        }
    } else if (InRange(id, ID_VIEW_APPLOOK_WIN_2000, ID_VIEW_APPLOOK_WINDOWS_7)) {
        ApplyLook(id);
    } else {
        switch (id) {
            case ID_COMM_START:
                StartCommunication();
                break;
            case ID_COMM_STOP:
                StopCommunication();
                break;
            case ID_COMM_RESET:
                backend_->ResetCommunication();
                break;
            case ID_CANDB_OPEN:
                OpenCandbFromDialog();
                break;
            case ID_ENV_IMPORT:
                ImportFromDialog();
                break;
            case ID_ENV_EXPORT:
                ExportFromDialog();
                break;
            case ID_OPTIONS:
                if (options_) {
                    options_();
                    PostToViews(kEventSettingsChanged);
                    RefreshStatus(false, true, false);
                }
                break;
            case ID_SEND_MESSAGE:
                if (sendMessage_) {
                    sendMessage_();
                }
                break;
            case ID_APP_ABOUT:
                if (about_) {
                    about_();
                }
                break;
            case ID_APP_EXIT:
                close();
                break;
            case ID_WINDOW_MANAGER: {
                CWindowsDialog dialog(mdi_, this);
                dialog.exec();
                break;
            }
            case ID_WINDOW_CASCADE:
            case ID_WINDOW_TILE_HORZ:
                // View frames cannot be closed, only minimised: arranging
                // them brings the minimised ones back as well.
                for (QMdiSubWindow* window : mdi_->subWindowList()) {
                    if (window->isMinimized()) {
                        window->showNormal();
                    }
                }
                if (id == ID_WINDOW_CASCADE) {
                    mdi_->cascadeSubWindows();
                } else {
                    mdi_->tileSubWindows();
                }
                break;
            default:
                break;
        }
    }
    UpdateCommandUi();
}

void CMainFrame::StartCommunication() {
    bool anyEnabled = false;
    for (int c = 0; c < kChannelCount; ++c) {
        anyEnabled = anyEnabled || backend_->Channel(c).enabled != 0;
    }
    if (!anyEnabled) {
        CDialogService::Message(this, IDS_ERR_NO_CHANNEL, CDialogService::Icon::Error);
        return;
    }
    if (backend_->Start() == 0) {
        CDialogService::Message(this, IDS_ERR_COMM_START, CDialogService::Icon::Error);
        return;
    }
    startTime_ = clock_();
    uptimeTimer_.start();
    PostToViews(kEventCommStart);
    RefreshStatus(true, true, true);
    UpdateCommandUi();
}

void CMainFrame::StopCommunication() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    uptimeTimer_.stop();
    backend_->Stop();
    PostToViews(kEventCommStop);
    RefreshStatus(true, true, true);
    QApplication::restoreOverrideCursor();
    UpdateCommandUi();
}

void CMainFrame::PostToViews(int eventType) {
    for (const QPointer<QWidget>& view : views_) {
        if (view) {
            QCoreApplication::postEvent(view, new QEvent(static_cast<QEvent::Type>(eventType)));
        }
    }
}

void CMainFrame::SetPaneText(int index, const QString& text) {
    if (index < 0 || index >= kPaneCount || panes_[index] == nullptr) {
        return;
    }
    panes_[index]->setText(text);
    if (index > 0) {
        panes_[index]->setFixedWidth(statusBar()->fontMetrics().horizontalAdvance(text) + 2);
    }
    statusBar()->updateGeometry();
}

QString CMainFrame::PaneText(int index) const {
    return index >= 0 && index < kPaneCount && panes_[index] != nullptr ? panes_[index]->text()
                                                                        : QString();
}

int CMainFrame::PaneWidth(int index) const {
    return index > 0 && index < kPaneCount && panes_[index] != nullptr ? panes_[index]->width() : 0;
}

void CMainFrame::RefreshStatus(bool state, bool channels, bool uptime) {
    const bool connected = backend_->Connected();
    if (state) {
        SetPaneText(8, Res().String(connected ? IDS_COMM_ACTIVE : IDS_COMM_IDLE));
    }
    if (channels) {
        int pane = 3;
        for (int c = 0; c < kChannelCount; ++c) {
            const ChannelSettings settings = backend_->Channel(c);
            if (settings.enabled == 0 || (connected && !backend_->ChannelActive(c))) {
                continue;
            }
            SetPaneText(pane++, frame_texts::ChannelLabel(c, settings));
        }
        for (; pane <= 7; ++pane) {
            SetPaneText(pane, QStringLiteral(" "));
        }
    }
    if (uptime && connected) {
        const uint64_t now = clock_();
        const uint64_t elapsed = now >= startTime_ ? (now - startTime_) / 1000 : 0;
        SetPaneText(9, frame_texts::UptimeText(elapsed));
    }
}

void CMainFrame::OpenCandbFromDialog() {
    CDialogService::FileRequest request;
    request.titleId = IDS_CANDB_OPEN_TITLE;
    request.filterId = IDS_FILTER_CANDB;
    request.defaultExtension = QStringLiteral("dbc");
    const QString path = CDialogService::Current().AskFileName(this, request);
    if (!path.isEmpty()) {
        OpenCandbFile(path);
    }
}

void CMainFrame::OpenCandbFile(const QString& path) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CFrameBackend::CandbResult result = backend_->OpenCandb(path.toStdString());
    QApplication::restoreOverrideCursor();
    if (!result.ok) {
        CDialogService::Box box;
        box.stringId = IDS_ERR_CANDB_OPEN;
        box.text = Res().Message(IDS_ERR_CANDB_OPEN, QString::number(result.errorCode),
                                 QString::fromStdString(result.errorText));
        box.icon = CDialogService::Icon::Error;
        CDialogService::Current().ShowMessage(this, box);
        return;
    }
    QStringList messages;
    messages.reserve(static_cast<int>(result.messages.size()));
    for (const CFrameBackend::CandbMessage& message : result.messages) {
        messages.append(Res().Format(IDS_FMT_CANDB_NODE, message.name.c_str(), message.id));
    }
    candbPane_->Fill(Res().String(IDS_CANDB_ROOT), messages);
    SetPaneText(2, path);
    backend_->SetRecentCandb(
        frame_texts::UpdatedRecentList(backend_->RecentCandb(), path.toStdString()));
    UpdateCommandUi();
}

void CMainFrame::ImportFromDialog() {
    CDialogService::FileRequest request;
    request.titleId = IDS_ENV_IMPORT_TITLE;
    request.filterId = IDS_FILTER_ENV_IMPORT;
    request.defaultExtension = QStringLiteral("txt");
    const QString path = CDialogService::Current().AskFileName(this, request);
    if (!path.isEmpty()) {
        ImportEnvironment(path);
    }
}

void CMainFrame::ImportEnvironment(const QString& path) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = backend_->ImportEnvironment(path.toStdString());
    QApplication::restoreOverrideCursor();
    if (ok) {
        RefreshStatus(false, true, false);
        RedrawAll();
    }
}

void CMainFrame::ExportFromDialog() {
    CDialogService::FileRequest request;
    request.titleId = IDS_ENV_EXPORT_TITLE;
    request.filterId = IDS_FILTER_ENV_EXPORT;
    request.defaultExtension = QStringLiteral("txt");
    request.save = true;
    const QString path = CDialogService::Current().AskFileName(this, request);
    if (path.isEmpty()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    backend_->ExportEnvironment(path.toStdString());
    QApplication::restoreOverrideCursor();
    RedrawAll();
}

void CMainFrame::ApplyLook(uint32_t id) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    backend_->SetAppLook(id);
    app_look::Apply(id);
    RedrawAll();
    QApplication::restoreOverrideCursor();
    backend_->SaveAppLook();
    UpdateCommandUi();
}

void CMainFrame::RedrawAll() {
    for (QWidget* widget : findChildren<QWidget*>()) {
        widget->update();
    }
    update();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (CDialogService::Message(this, IDS_CONFIRM_EXIT, CDialogService::Icon::Question,
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    StopCommunication();
    commandUiTimer_.stop();
    const auto bytes = [](const QByteArray& layout) {
        return std::vector<uint8_t>(layout.begin(), layout.end());
    };
    backend_->SetWindowLayout(kLayoutGeometry, bytes(saveGeometry()));
    backend_->SetWindowLayout(kLayoutState, bytes(saveState()));
    SaveViewPlacements();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    if (ImportDroppedFiles(event->mimeData()->urls())) {
        event->acceptProposedAction();
    }
}

bool CMainFrame::ImportDroppedFiles(const QList<QUrl>& urls) {
    // The first dropped file is imported, whatever its type and also while
    // communicating.
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            ImportEnvironment(url.toLocalFile());
            return true;
        }
    }
    return false;
}

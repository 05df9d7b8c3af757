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

#include "can/can_manager.h"
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

}  // namespace

CMainFrame::CMainFrame(CFrameBackend* backend, QWidget* parent)
    : QMainWindow(parent), backend_(backend), clock_(SteadyMilliseconds) {
    setObjectName(QStringLiteral("CMainFrame"));
    uptimeTimer_.setInterval(kUptimePeriodMs);
    uptimeTimer_.setObjectName(QString::number(kUptimeTimerId));
    connect(&uptimeTimer_, &QTimer::timeout, this, [this] {
        // A worker that ran out of memory has ended communication and logged
        // why; the window stops as the stop command does.
        const CCanManager* manager = backend_->Manager();
        if (manager != nullptr && manager->Failed()) {
            StopCommunication();
            return;
        }
        RefreshStatus(false, false, true);
    });
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
    BuildCommandTable();

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
    } else {
        ReportEnvironmentFailure(IDS_FMT_ENV_IMPORT_FAILED, path);
    }
}

void CMainFrame::ReportEnvironmentFailure(uint32_t stringId, const QString& path) {
    CDialogService::Box box;
    box.stringId = stringId;
    box.text =
        Res().Format(stringId, path.toUtf8().constData(), backend_->EnvironmentError().c_str());
    box.icon = CDialogService::Icon::Error;
    CDialogService::Current().ShowMessage(this, box);
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
    const bool ok = backend_->ExportEnvironment(path.toStdString());
    QApplication::restoreOverrideCursor();
    RedrawAll();
    if (!ok) {
        ReportEnvironmentFailure(IDS_FMT_ENV_EXPORT_FAILED, path);
    }
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

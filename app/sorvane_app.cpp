#include "app/sorvane_app.h"

#include <unistd.h>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPalette>
#include <QScreen>
#include <algorithm>

#include "can/can_manager.h"
#include "can/write_log.h"
#include "candb/candb_manager.h"
#include "candb/kvadb_binding.h"
#include "platform/os/paths.h"
#include "platform/os/registry.h"
#include "res/qt_language.h"
#include "res/resources.h"
#include "settings/app_settings.h"
#include "settings/settings_codec.h"
#include "settings/settings_store.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/option_prop_sheet.h"
#include "ui/frame/dialog_service.h"
#include "ui/frame/frame_backend.h"
#include "ui/frame/main_frame.h"

namespace {

constexpr int kInstanceWaitMs = 1000;

uint32_t ColorRef(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}

bool SimplifiedChineseDefault(os::LangId systemDefault) {
    return systemDefault >= 0x0800 && systemDefault <= 0x0BFF;
}

}  // namespace

// The frame's view of the channel manager and the settings.
class CSorvaneApp::Backend : public CFrameBackend {
public:
    Backend(CCanManager& manager, CSettingsStore& store, AppSettings& settings,
            os::Registry& registry)
        : manager_(manager), store_(store), settings_(settings), registry_(registry) {}

    bool Connected() const override { return manager_.Connected(); }
    int Start() override { return manager_.Start(); }
    void Stop() override { manager_.Stop(); }
    bool ChannelActive(int index) const override { return manager_.Active(index) != 0; }
    bool ChannelBusOn(int index) const override { return manager_.BusOn(index) != 0; }
    void ToggleBus(int index) override { manager_.ToggleBus(index); }
    void ResetCommunication() override { manager_.ResetCommunication(); }

    ChannelSettings Channel(int index) const override {
        return index >= 0 && index < kChannelCount ? settings_.can[index] : ChannelSettings{};
    }
    uint32_t AppLook() const override { return settings_.appLook; }
    void SetAppLook(uint32_t look) override { settings_.appLook = look; }
    void SaveAppLook() override { store_.SaveSettings(store_.settingsFilePath, ENV_APPLOOK); }
    std::vector<std::string> RecentCandb() const override {
        return {std::begin(settings_.recentCandb), std::end(settings_.recentCandb)};
    }
    void SetRecentCandb(const std::vector<std::string>& recent) override {
        for (int i = 0; i < kRecentCandbCount; ++i) {
            settings_.recentCandb[i] = static_cast<size_t>(i) < recent.size() ? recent[i] : "";
        }
    }
    bool NotConfigured() const override { return settings_.notConfigured != 0; }
    FramePlacement Placement(int index) const override {
        const FramePlacement* p = PlacementOf(index);
        return p != nullptr ? *p : FramePlacement{0, 0, 0, 0, 5, index};
    }
    void SetPlacement(int index, const FramePlacement& placement) override {
        if (FramePlacement* p = PlacementOf(index)) {
            *p = placement;
        }
    }
    // The layout lives where the framework keeps it: a key of the Workspace
    // tree, which the settings-file store carries into the file at exit.
    std::vector<uint8_t> WindowLayout(const std::string& name) const override {
        os::RegValue value;
        if (registry_.QueryValue(LayoutKey(), name, &value) && value.type == os::RegType::Binary) {
            return value.data;
        }
        return {};
    }
    void SetWindowLayout(const std::string& name, const std::vector<uint8_t>& data) override {
        registry_.SetBinary(LayoutKey(), name, data);
    }
    bool ImportEnvironment(const std::string& path) override { return store_.ImportSettings(path); }
    bool ExportEnvironment(const std::string& path) override { return store_.ExportSettings(path); }
    std::string EnvironmentError() const override { return store_.LastError(); }

    bool CandbLibraryLoaded() const override { return candb::KvaDbLoaded(); }
    CandbResult OpenCandb(const std::string& path) override {
        CandbResult result;
        CCANdbManager& candb = TheCandbManager();
        result.ok = candb.Load(path, result.errorCode, result.errorText);
        if (result.ok) {
            for (const ::CandbMessage& message : candb.Messages()) {
                result.messages.push_back({message.name, message.id});
            }
        }
        return result;
    }

    CCanManager* Manager() override { return &manager_; }
    AppSettings* Settings() override { return &settings_; }
    CCANdbManager* Candb() override { return &TheCandbManager(); }

private:
    static std::string LayoutKey() { return WorkspacePath() + "\\MainFrame"; }
    FramePlacement* PlacementOf(int index) const {
        switch (index) {
            case 0:
                return &settings_.frameMonitor;
            case 1:
                return &settings_.frameBusLoad;
            case 2:
                return &settings_.frameStatistics;
            case 3:
                return &settings_.frameMessageInfo;
            default:
                return nullptr;
        }
    }

    CCanManager& manager_;
    CSettingsStore& store_;
    AppSettings& settings_;
    os::Registry& registry_;
};

CSorvaneApp::CSorvaneApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Sorvane"));
    registry_ = std::make_unique<os::Registry>(os::Registry::DefaultFilePath(kVendorKey));
    store_ = std::make_unique<CSettingsStore>(GlobalSettings(), *registry_);
}

CSorvaneApp::~CSorvaneApp() {
    delete frame_;
    backend_.reset();
    manager_.reset();
}

AppSettings& CSorvaneApp::Settings() const {
    return GlobalSettings();
}

int CSorvaneApp::ResolveLanguage(int language, os::LangId ui, os::LangId systemDefault) {
    if (language == -1) {
        switch (os::PrimaryLanguage(ui)) {
            case os::kLangChinese:
                return SimplifiedChineseDefault(systemDefault) ? 2 : 3;
            case os::kLangEnglish:
                return 1;
            case os::kLangJapanese:
                return 0;
            case os::kLangKorean:
                return 4;
            default:
                return 1;
        }
    }
    return language >= 0 && language <= 4 ? language : 0;
}

uint32_t CSorvaneApp::LanguageFailureMessage(os::LangId ui, os::LangId systemDefault) {
    switch (os::PrimaryLanguage(ui)) {
        case os::kLangChinese:
            return SimplifiedChineseDefault(systemDefault) ? IDS_ERR_LANGLIB_CN
                                                           : IDS_ERR_LANGLIB_TW;
        case os::kLangEnglish:
            return IDS_ERR_LANGLIB_EN;
        case os::kLangJapanese:
            return IDS_ERR_LANGLIB_JA;
        case os::kLangKorean:
            return IDS_ERR_LANGLIB_KO;
        default:
            return 0;
    }
}

QString CSorvaneApp::InstanceName(const char* vendorKey) {
    // Per user: in the runtime folder where there is one, else tagged with the uid.
    const QString name = QStringLiteral("%1:Sorvane").arg(QString::fromUtf8(vendorKey));
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        return QString::fromLocal8Bit(runtime) + u'/' + name;
    }
    return name + QStringLiteral("-%1").arg(getuid());
}

bool CSorvaneApp::ActivateRunningInstance() {
    for (const char* key : {kLegacyVendorKey, kVendorKey}) {
        QLocalSocket socket;
        socket.connectToServer(InstanceName(key));
        if (socket.waitForConnected(kInstanceWaitMs)) {
            socket.write("activate\n");
            socket.waitForBytesWritten(kInstanceWaitMs);
            socket.disconnectFromServer();
            return true;
        }
    }
    return false;
}

bool CSorvaneApp::ListenForInstances() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = InstanceName(kVendorKey);
    if (!server_->listen(name)) {
        // Nobody answered, so the socket is left over from a crash.
        QLocalServer::removeServer(name);
        if (!server_->listen(name)) {
            return false;
        }
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (frame_) {
                frame_->setWindowState(frame_->windowState() & ~Qt::WindowMinimized);
                frame_->show();
                frame_->raise();
                frame_->activateWindow();
            }
        }
    });
    return true;
}

void CSorvaneApp::ApplyLanguage() {
    AppSettings& settings = Settings();
    const os::LangId ui = os::UserDefaultUILanguage();
    const os::LangId system = os::SystemDefaultLangId();
    settings.language = ResolveLanguage(settings.language, ui, system);
    if (settings.language == 0) {
        return;
    }
    if (res::Resources::Instance().LoadLanguage(settings.language) == res::LibraryStatus::Loaded) {
        return;
    }
    if (const uint32_t message = LanguageFailureMessage(ui, system)) {
        CDialogService::Message(nullptr, message, CDialogService::Icon::Error);
    }
    settings.language = 0;
}

bool CSorvaneApp::InitInstance() {
    if (ActivateRunningInstance()) {
        return false;
    }
    ListenForInstances();  // without it the program still runs, only unmarked

    store_->CheckSettingsStore(CSettingsStore::When::Start);
    const QPalette palette = QApplication::palette();
    SystemColors colors;
    colors.windowText = ColorRef(palette.color(QPalette::WindowText));
    colors.window = ColorRef(palette.color(QPalette::Base));
    colors.buttonFace = ColorRef(palette.color(QPalette::Button));
    store_->SetDefaultSettings(colors);
    // Window places stored on a larger or a second monitor are checked
    // against the primary screen, so none comes back wholly off screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->availableGeometry().size();
        store_->screen = ScreenSize{size.width(), size.height()};
    }
    const bool loaded = store_->LoadSettings(store_->settingsFilePath);

    AppSettings& settings = Settings();
    const auto libraries = ProbeResourceLibraries(os::ProgramDir());
    std::copy(libraries.begin(), libraries.end(), std::begin(settings.resLibVersion));
    ApplyLanguage();
    const uint32_t languageId = res::Resources::Instance().LanguageId();
    if (!res::ApplyQtLanguage(languageId)) {
        WriteLog(kLogWarning, "Qt texts: no translation for language %u installed\n", languageId);
    }

    manager_ =
        std::make_unique<CCanManager>([] { return CanConfigFromSettings(GlobalSettings()); });
    if (!manager_->Lib().IsCanLibLoaded()) {
        CDialogService::Message(nullptr, IDS_ERR_CANLIB_MISSING, CDialogService::Icon::Error,
                                QMessageBox::Ok, QMessageBox::NoButton, true);
    }
    TheCandbManager();  // loads the database library
    if (!candb::KvaDbLoaded()) {
        CDialogService::Message(nullptr, IDS_ERR_KVADBLIB_MISSING, CDialogService::Icon::Error,
                                QMessageBox::Ok, QMessageBox::NoButton, true);
    }

    if (loaded) {
        settings.notConfigured = 0;
    } else if (CDialogService::Message(nullptr, IDS_FIRST_START, CDialogService::Icon::Warning,
                                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        // The defaults reach the store first; the sheet's channel pages then
        // save over them.
        store_->SaveSettings(store_->settingsFilePath, ENV_ALL);
        ShowOptions(nullptr);
    }
    saveOnExit_ = true;

    backend_ = std::make_unique<Backend>(*manager_, *store_, settings, *registry_);
    frame_ = new CMainFrame(backend_.get());
    frame_->SetOptionsCommand([this] { return ShowOptions(frame_); });
    frame_->SetAboutCommand([this] {
        CAboutDlg dialog(AboutVersions::Collect(Settings(), &manager_->Lib()), frame_);
        dialog.exec();
    });
    if (!frame_->Create()) {
        return false;
    }
    frame_->show();
    // A database named on the command line opens as if it had been dropped on the frame.
    const QStringList args = arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i].endsWith(QStringLiteral(".dbc"), Qt::CaseInsensitive)) {
            frame_->OpenCandbFile(args[i]);
            break;
        }
    }
    return true;
}

bool CSorvaneApp::ShowOptions(QWidget* parent) {
    COptionContext context;
    context.settings = &Settings();
    context.save = [this](uint32_t groups) {
        if (store_->SaveSettings(store_->settingsFilePath, groups)) {
            return true;
        }
        WriteLog(kLogError, "%s\n", store_->LastError().c_str());
        return false;
    };
    context.communicating = [this] { return manager_ != nullptr && manager_->Connected(); };
    COptionPropSheet sheet(context, parent);
    return sheet.exec() == QDialog::Accepted;
}

int CSorvaneApp::ExitInstance() {
    // The main window has closed: log lines go to the debugger output now.
    SetLogSink({});
    if (saveOnExit_ && !store_->SaveAllSettings(ENV_ALL)) {
        WriteLog(kLogError, "Settings:[%s] %s\n", "SaveAllSettings", store_->LastError().c_str());
    }
    store_->CheckSettingsStore(CSettingsStore::When::Exit);
    return 0;
}

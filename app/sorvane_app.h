#pragma once

#include <QApplication>
#include <QPointer>
#include <memory>
#include <string>

#include "platform/os/ui_language.h"
#include "ui/frame/main_frame.h"

class CMainFrame;
class CCanManager;
class CSettingsStore;
class QLocalServer;
struct AppSettings;
namespace os {
class Registry;
}

// The application object: single instance, settings, language, library
// checks, first-start prompt and the main frame; at exit the settings are
// saved.
class CSorvaneApp : public QApplication {
    Q_OBJECT

public:
    CSorvaneApp(int& argc, char** argv);
    ~CSorvaneApp() override;

    // False ends the process before any window is shown (another instance
    // runs, or the main frame could not be created).
    bool InitInstance();
    int ExitInstance();

    // The language code to use for a stored code: -1 follows the user's UI
    // language, codes outside 0..4 become 0.
    static int ResolveLanguage(int language, os::LangId uiLanguage, os::LangId systemDefault);
    // The message that reports a missing language library, chosen by the
    // user's UI language; 0 for none.
    static uint32_t LanguageFailureMessage(os::LangId uiLanguage, os::LangId systemDefault);
    // The local socket names of a running instance: current and legacy.
    static QString InstanceName(const char* vendorKey);

    // Asks a running instance to come to the front; true when one answered.
    static bool ActivateRunningInstance();

    CMainFrame* MainFrame() const { return frame_; }
    bool SaveOnExit() const { return saveOnExit_; }
    AppSettings& Settings() const;
    CSettingsStore& Store() const { return *store_; }
    // The channel manager; null before InitInstance made it.
    CCanManager* Manager() const { return manager_.get(); }
    // Shows the options sheet over parent; true when it was closed with OK.
    bool ShowOptions(QWidget* parent);

private:
    bool ListenForInstances();
    void ApplyLanguage();

    std::unique_ptr<os::Registry> registry_;
    std::unique_ptr<CSettingsStore> store_;
    std::unique_ptr<CCanManager> manager_;
    class Backend;
    std::unique_ptr<Backend> backend_;
    QPointer<CMainFrame> frame_;
    QLocalServer* server_ = nullptr;
    bool saveOnExit_ = false;
};

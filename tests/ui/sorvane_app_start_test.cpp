// A start of the program on stored settings: window places checked against
// the primary screen, and the settings store's failures shown to the user.

#include <unistd.h>

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "app/sorvane_app.h"
#include "platform/os/registry.h"
#include "res/ids.h"
#include "settings/app_settings.h"
#include "settings/profile_store.h"
#include "settings/settings_store.h"
#include "tests/ui/fake_frame_backend.h"

namespace {

QTemporaryDir* tempDir = nullptr;

QString SettingsFile() {
    return tempDir->filePath(QStringLiteral("Sorvane.ini"));
}

bool SameRect(const FramePlacement& p, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return p.left == left && p.top == top && p.right == right && p.bottom == bottom;
}

// The settings a run on a larger monitor left: the monitor window far right
// and below, the bus-load window on the primary screen, the statistics
// window reaching into it from the left.
void WriteStoredSettings() {
    AppSettings stored;
    SetDefaultSettings(stored, SystemColors{});
    stored.frameMonitor = {4000, 3000, 4800, 3600, 1, 0};
    stored.frameBusLoad = {10, 20, 400, 300, 1, 1};
    stored.frameStatistics = {-500, -100, 200, 150, 1, 2};
    stored.frameMessageInfo = {-900, -900, -100, -100, 1, 3};
    stored.language = 0;
    os::Registry registry(tempDir->filePath(QStringLiteral("writer-registry")).toStdString());
    std::string error;
    if (!CProfileStore::Save(stored, SettingsFile().toStdString(), ENV_ALL, registry, &error)) {
        std::fprintf(stderr, "cannot write the stored settings: %s\n", error.c_str());
    }
}

}  // namespace

class SorvaneAppStartTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storedPlacesAreCheckedAgainstThePrimaryScreen();
    void importAndExportFailuresShowTheReason();
    void aFailedSaveAtExitIsLogged();
};

void SorvaneAppStartTest::storedPlacesAreCheckedAgainstThePrimaryScreen() {
    ScriptedDialogs dialogs;
    auto* app = static_cast<CSorvaneApp*>(QCoreApplication::instance());
    QVERIFY(QFile::exists(SettingsFile()));
    QVERIFY(app->InitInstance());
    QStringList ids;
    for (const auto& box : dialogs.boxes) {
        ids << QString::number(box.stringId);
    }
    // Both libraries missing; the settings were read, so no first-start question.
    QCOMPARE(ids, (QStringList{"224", "305"}));
    const AppSettings& s = app->Settings();
    QCOMPARE(s.notConfigured, 0);
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    QCOMPARE(app->Store().screen.width, screen.width());
    QCOMPARE(app->Store().screen.height, screen.height());
    QVERIFY2(screen.width() < 4000 && screen.height() < 3000, "a screen smaller than the stored");
    QVERIFY(SameRect(s.frameMonitor, 0, 0, 0, 0));  // wholly off screen
    QVERIFY(SameRect(s.frameBusLoad, 10, 20, 400, 300));
    QVERIFY(SameRect(s.frameStatistics, -500, -100, 200, 150));  // its right edge is on it
    QVERIFY(SameRect(s.frameMessageInfo, 0, 0, 0, 0));
    QCOMPARE(s.frameMonitor.showCmd, 1);
    QCOMPARE(s.frameMessageInfo.order, 3);
}

void SorvaneAppStartTest::importAndExportFailuresShowTheReason() {
    ScriptedDialogs dialogs;
    auto* app = static_cast<CSorvaneApp*>(QCoreApplication::instance());
    QVERIFY(app->MainFrame() != nullptr);
    const QString missing = tempDir->filePath(QStringLiteral("no-such.ini"));
    const QString noFolder = tempDir->filePath(QStringLiteral("no-folder/out.ini"));
    dialogs.fileAnswers = {missing, noFolder};
    app->MainFrame()->OnCommand(ID_ENV_IMPORT);
    app->MainFrame()->OnCommand(ID_ENV_EXPORT);
    QCOMPARE(dialogs.boxes.size(), size_t{2});
    QCOMPARE(dialogs.boxes[0].stringId, uint32_t{IDS_FMT_ENV_IMPORT_FAILED});
    QCOMPARE(dialogs.boxes[0].icon, CDialogService::Icon::Error);
    QVERIFY2(dialogs.boxes[0].text.contains(missing), qPrintable(dialogs.boxes[0].text));
    QCOMPARE(dialogs.boxes[1].stringId, uint32_t{IDS_FMT_ENV_EXPORT_FAILED});
    QVERIFY2(dialogs.boxes[1].text.contains(noFolder), qPrintable(dialogs.boxes[1].text));
    // The reason follows the file: the store's own words, not an empty line.
    for (const auto& box : dialogs.boxes) {
        const QString reason = box.text.section(QLatin1Char('\n'), -1);
        QVERIFY2(reason.size() > QStringLiteral("理由: ").size(), qPrintable(box.text));
    }
    // A failed import changes nothing.
    QVERIFY(SameRect(app->Settings().frameBusLoad, 10, 20, 400, 300));
}

void SorvaneAppStartTest::aFailedSaveAtExitIsLogged() {
    auto* app = static_cast<CSorvaneApp*>(QCoreApplication::instance());
    // The settings file has become a folder: nothing can be written there.
    QVERIFY(QFile::remove(SettingsFile()));
    QVERIFY(QDir().mkdir(SettingsFile()));
    const QString captured = tempDir->filePath(QStringLiteral("stderr.txt"));
    std::fflush(stderr);
    const int saved = dup(2);
    FILE* capture = std::fopen(captured.toLocal8Bit().constData(), "w");
    QVERIFY(capture != nullptr);
    dup2(fileno(capture), 2);
    app->ExitInstance();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::fclose(capture);
    QFile file(captured);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("[3] Settings:[SaveAllSettings] "), text.constData());
    QVERIFY2(text.contains(SettingsFile().toLocal8Bit()), text.constData());
}

int main(int argc, char** argv) {
    QTemporaryDir dir;
    tempDir = &dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    qputenv("SORVANE_SETTINGS_FILE", SettingsFile().toLocal8Bit());
    qputenv("SORVANE_CANLIB", dir.filePath(QStringLiteral("missing-canlib.so")).toLocal8Bit());
    qputenv("SORVANE_KVADBLIB", dir.filePath(QStringLiteral("missing-kvadb.so")).toLocal8Bit());
    qputenv("LANGUAGE", "ja_JP");
    qputenv("LC_ALL", "ja_JP.UTF-8");
    WriteStoredSettings();
    CSorvaneApp app(argc, argv);
    SorvaneAppStartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "sorvane_app_start_test.moc"

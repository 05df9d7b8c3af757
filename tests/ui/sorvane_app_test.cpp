#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

#include "app/sorvane_app.h"
#include "res/ids.h"
#include "settings/app_settings.h"
#include "settings/settings_codec.h"
#include "tests/ui/fake_frame_backend.h"

namespace {

// Locale-derived language ids as the start-up sees them.
constexpr os::LangId kEnglishUs = 0x0409;
constexpr os::LangId kJapanese = 0x0411;
constexpr os::LangId kKorean = 0x0412;
constexpr os::LangId kChineseTaiwan = 0x0404;
constexpr os::LangId kChinesePrc = 0x0804;
constexpr os::LangId kChineseSingapore = 0x1004;
constexpr os::LangId kGerman = 0x0407;

QTemporaryDir* tempDir = nullptr;

}  // namespace

class SorvaneAppTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void languageResolution_data();
    void languageResolution();
    void languageFailureMessage_data();
    void languageFailureMessage();
    void singleInstanceFindsCurrentAndLegacy();
    void firstStartWithMissingLibraries();
};

void SorvaneAppTest::languageResolution_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("ui");
    QTest::addColumn<int>("system");
    QTest::addColumn<int>("expected");
    QTest::newRow("english ui") << -1 << int(kEnglishUs) << int(kEnglishUs) << 1;
    QTest::newRow("japanese ui") << -1 << int(kJapanese) << int(kJapanese) << 0;
    QTest::newRow("korean ui") << -1 << int(kKorean) << int(kKorean) << 4;
    QTest::newRow("zh ui, zh-CN system") << -1 << int(kChineseTaiwan) << int(kChinesePrc) << 2;
    QTest::newRow("zh ui, zh-TW system") << -1 << int(kChinesePrc) << int(kChineseTaiwan) << 3;
    // 0x1004 lies outside the Simplified range 0x0800..0x0BFF.
    QTest::newRow("zh ui, zh-SG system") << -1 << int(kChinesePrc) << int(kChineseSingapore) << 3;
    QTest::newRow("range end") << -1 << int(kChinesePrc) << 0x0BFF << 2;
    QTest::newRow("other ui") << -1 << int(kGerman) << int(kGerman) << 1;
    QTest::newRow("stored 7") << 7 << int(kEnglishUs) << int(kEnglishUs) << 0;
    QTest::newRow("stored -2") << -2 << int(kKorean) << int(kKorean) << 0;
    QTest::newRow("stored 3 kept") << 3 << int(kJapanese) << int(kJapanese) << 3;
}

void SorvaneAppTest::languageResolution() {
    QFETCH(int, stored);
    QFETCH(int, ui);
    QFETCH(int, system);
    QFETCH(int, expected);
    QCOMPARE(CSorvaneApp::ResolveLanguage(stored, static_cast<os::LangId>(ui),
                                          static_cast<os::LangId>(system)),
             expected);
}

void SorvaneAppTest::languageFailureMessage_data() {
    QTest::addColumn<int>("ui");
    QTest::addColumn<int>("system");
    QTest::addColumn<uint>("message");
    QTest::newRow("english") << int(kEnglishUs) << int(kEnglishUs) << uint(IDS_ERR_LANGLIB_EN);
    QTest::newRow("japanese") << int(kJapanese) << int(kJapanese) << uint(IDS_ERR_LANGLIB_JA);
    QTest::newRow("korean") << int(kKorean) << int(kKorean) << uint(IDS_ERR_LANGLIB_KO);
    QTest::newRow("simplified") << int(kChinesePrc) << int(kChinesePrc) << uint(IDS_ERR_LANGLIB_CN);
    QTest::newRow("traditional") << int(kChineseTaiwan) << int(kChineseTaiwan)
                                 << uint(IDS_ERR_LANGLIB_TW);
    QTest::newRow("other: no message") << int(kGerman) << int(kGerman) << 0u;
}

void SorvaneAppTest::languageFailureMessage() {
    QFETCH(int, ui);
    QFETCH(int, system);
    QFETCH(uint, message);
    QCOMPARE(CSorvaneApp::LanguageFailureMessage(static_cast<os::LangId>(ui),
                                                 static_cast<os::LangId>(system)),
             message);
}

void SorvaneAppTest::singleInstanceFindsCurrentAndLegacy() {
    QVERIFY(!CSorvaneApp::ActivateRunningInstance());
    for (const char* key : {kLegacyVendorKey, kVendorKey}) {
        QLocalServer server;
        QVERIFY(server.listen(CSorvaneApp::InstanceName(key)));
        QByteArray received;
        connect(&server, &QLocalServer::newConnection, this, [&] {
            QLocalSocket* socket = server.nextPendingConnection();
            connect(socket, &QLocalSocket::readyRead, this,
                    [&received, socket] { received += socket->readAll(); });
        });
        QVERIFY2(CSorvaneApp::ActivateRunningInstance(), key);
        QTRY_VERIFY(received.startsWith("activate"));
    }
}

void SorvaneAppTest::firstStartWithMissingLibraries() {
    ScriptedDialogs dialogs;
    dialogs.answers = {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::No};
    auto* app = static_cast<CSorvaneApp*>(QCoreApplication::instance());
    const QString settingsFile = tempDir->filePath(QStringLiteral("Sorvane.ini"));
    QVERIFY(!QFile::exists(settingsFile));
    QVERIFY(app->InitInstance());
    QStringList ids;
    for (const auto& box : dialogs.boxes) {
        ids << QString::number(box.stringId);
    }
    // Japanese UI: no language library needed; both libraries missing, then
    // the first-start question.
    QCOMPARE(ids, (QStringList{"224", "305", "292"}));
    QVERIFY(dialogs.boxes[0].systemModal);
    QCOMPARE(dialogs.boxes[0].icon, CDialogService::Icon::Error);
    QCOMPARE(dialogs.boxes[2].buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(app->SaveOnExit());
    QCOMPARE(app->Settings().notConfigured, 1);
    QCOMPARE(app->Settings().language, 0);
    QVERIFY(app->MainFrame() != nullptr);
    QVERIFY(app->MainFrame()->isVisible());
    // No: only the look the frame saves when it applies it is written.
    const auto readSettings = [&settingsFile] {
        QFile file(settingsFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QVERIFY(!readSettings().contains("CAN1"));
    // The second start of the program finds this one.
    QVERIFY(CSorvaneApp::ActivateRunningInstance());

    // Starting communication with no channel enabled: message 221.
    app->MainFrame()->OnCommand(ID_COMM_START);
    QCOMPARE(dialogs.boxes.back().stringId, uint32_t{IDS_ERR_NO_CHANNEL});

    app->ExitInstance();
    QVERIFY(QFile::exists(settingsFile));  // the No path still saves at exit
    const QByteArray text = readSettings();
    QVERIFY(text.contains("CAN1"));
    QVERIFY(text.contains("ApplicationLook"));
    QVERIFY(text.contains("Language"));
}

int main(int argc, char** argv) {
    QTemporaryDir dir;
    tempDir = &dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    qputenv("SORVANE_SETTINGS_FILE", dir.filePath(QStringLiteral("Sorvane.ini")).toLocal8Bit());
    qputenv("SORVANE_CANLIB", dir.filePath(QStringLiteral("missing-canlib.so")).toLocal8Bit());
    qputenv("SORVANE_KVADBLIB", dir.filePath(QStringLiteral("missing-kvadb.so")).toLocal8Bit());
    qputenv("LANGUAGE", "ja_JP");
    qputenv("LC_ALL", "ja_JP.UTF-8");
    CSorvaneApp app(argc, argv);
    SorvaneAppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "sorvane_app_test.moc"

// The program as run.sh starts it: our CAN library with the demo bus, our
// database library with the demo database and the demo environment, driven
// through the main frame's commands.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/sorvane_app.h"
#include "can/can_manager.h"
#include "controls/static_tree_ctrl.h"
#include "res/ids.h"
#include "settings/app_settings.h"
#include "tests/ui/demo_environment.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/frame/candb_pane.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/output_log_pane.h"

namespace {

QTemporaryDir* tempDir = nullptr;

QString LogText(CMainFrame* frame) {
    frame->LogPane()->FlushPending();
    return frame->LogPane()->Edit()->toPlainText();
}

}  // namespace

class DemoSessionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startOpenRunToggleStopAndExit();
};

void DemoSessionTest::startOpenRunToggleStopAndExit() {
    ScriptedDialogs dialogs;
    auto* app = static_cast<CSorvaneApp*>(QCoreApplication::instance());
    QVERIFY(app->InitInstance());
    // Stored settings, both libraries present, Japanese: nothing to ask.
    QCOMPARE(dialogs.boxes.size(), size_t{0});
    CMainFrame* frame = app->MainFrame();
    QVERIFY(frame != nullptr);
    uint64_t now = 1000;
    frame->SetClock([&now] { return now; });

    const QString dbc = QStringLiteral(SORVANE_DEMO_DIR "/demo.dbc");
    frame->OpenCandbFile(dbc);
    QCOMPARE(dialogs.boxes.size(), size_t{0});
    QCOMPARE(frame->PaneText(2), dbc);
    const CStaticTreeCtrl* tree = frame->CandbPane()->Tree();
    const CStaticTreeItem* root = tree->FirstItem();
    QVERIFY(root != nullptr && root->nextSibling == nullptr);
    QCOMPARE(root->text, QStringLiteral("【メッセージ】"));
    int engineData = 0;
    int messages = 0;
    for (const CStaticTreeItem* item = root->firstChild; item != nullptr;
         item = item->nextSibling) {
        ++messages;
        engineData += item->text == QStringLiteral("EngineData (0x00000100)") ? 1 : 0;
    }
    QVERIFY(messages >= 10);
    QCOMPARE(engineData, 1);
    QCOMPARE(QString::fromStdString(app->Settings().recentCandb[0]), dbc);

    QCOMPARE(frame->PaneText(3), QStringLiteral("CAN1 (CAN): 500Kbps"));
    QCOMPARE(frame->PaneText(4), QStringLiteral("CAN2 (CAN-FD): [Arb=500Kbps][Dat=2Mbps]"));
    frame->OnCommand(ID_COMM_START);
    QCOMPARE(dialogs.boxes.size(), size_t{0});
    QVERIFY(app->Manager()->Connected());
    QCOMPARE(frame->PaneText(8), QStringLiteral("通信中"));
    QCOMPARE(frame->PaneText(9), QStringLiteral("00:00:00"));
    QString log = LogText(frame);
    for (const char* line :
         {"[I] CAN1 [canBusOn] succeed.", "[I] CAN2 [canSetBusParamsFd] succeed.",
          "[I] CAN2 [canBusOn] succeed."}) {
        QVERIFY2(log.contains(QLatin1String(line)), line);
    }
    QVERIFY2(!log.contains(QStringLiteral("[E]")), qPrintable(log));
    QCoreApplication::processEvents();
    for (int index = 0; index < 4; ++index) {
        QVERIFY(frame->ViewFrame(index)->ViewTimerActive());
    }
    // The demo nodes talk: frames arrive in the monitor's list.
    QTRY_VERIFY(app->Manager()->Frames().Size() > 20);

    now += 3723000;
    frame->RefreshStatus(false, false, true);
    QCOMPARE(frame->PaneText(9), QStringLiteral("01:02:03"));

    QVERIFY(frame->IsCommandEnabled(ID_BUS_ONOFF_CAN1));
    QVERIFY(!frame->IsCommandEnabled(ID_BUS_ONOFF_CAN3));  // not enabled
    frame->OnCommand(ID_BUS_ONOFF_CAN1);
    QVERIFY(LogText(frame).contains(QStringLiteral("[I] CAN1 [canBusOff] succeed.")));
    QCOMPARE(frame->ActionsOf(ID_BUS_ONOFF_CAN1).front()->text(),
             QStringLiteral("CAN1: BUS ON (&1)"));
    frame->OnCommand(ID_BUS_ONOFF_CAN1);
    QCOMPARE(frame->ActionsOf(ID_BUS_ONOFF_CAN1).front()->text(),
             QStringLiteral("CAN1: BUS OFF (&1)"));

    frame->OnCommand(ID_COMM_STOP);
    QVERIFY(!app->Manager()->Connected());
    QCOMPARE(frame->PaneText(8), QStringLiteral(" "));
    QCoreApplication::processEvents();
    for (int index = 0; index < 4; ++index) {
        QVERIFY(!frame->ViewFrame(index)->ViewTimerActive());
    }
    log = LogText(frame);
    QVERIFY2(!log.contains(QStringLiteral("[E]")), qPrintable(log));
    const size_t frames = app->Manager()->Frames().Size();
    QTest::qWait(120);
    QCOMPARE(app->Manager()->Frames().Size(), frames);  // nothing after the stop

    dialogs.answers = {QMessageBox::Yes};
    QVERIFY(frame->close());
    app->ExitInstance();
    QFile file(qEnvironmentVariable("SORVANE_SETTINGS_FILE"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    QVERIFY(saved.contains(QFile::encodeName(dbc)));
    QVERIFY(saved.contains("Frame.Monitor"));
    // The main window's layout travels in the file, not in the registry.
    QVERIFY(saved.contains("\\Sorvane\\Workspace\\MainFrame]"));
    QVERIFY(saved.contains("\"Geometry\"=hex:"));
}

int main(int argc, char** argv) {
    QTemporaryDir dir;
    tempDir = &dir;
    if (!UseDemoEnvironment(dir)) {
        return 2;
    }
    CSorvaneApp app(argc, argv);
    DemoSessionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "demo_session_test.moc"

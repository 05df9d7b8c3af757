// The program as run.sh starts it: our CAN library with the demo bus, our
// database library with the demo database and the demo environment, driven
// through the main frame's commands.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/sorvane_app.h"
#include "can/can_manager.h"
#include "controls/static_tree_ctrl.h"
#include "res/ids.h"
#include "settings/app_settings.h"
#include "tests/ui/demo_environment.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/frame/app_look.h"
#include "ui/frame/candb_pane.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/message_info_frame.h"
#include "ui/frame/message_pane.h"
#include "ui/frame/monitor_frame.h"
#include "ui/frame/monitor_list.h"
#include "ui/frame/output_log_pane.h"

namespace {

QTemporaryDir* tempDir = nullptr;

QString LogText(CMainFrame* frame) {
    frame->LogPane()->FlushPending();
    return frame->LogPane()->Edit()->toPlainText();
}

// The monitor's copy: the header, then every listed frame in order, each
// line built here from the record with the columns the log files use.
void CheckMonitorCopy(const QString& text, const FrameList& frames) {
    const QStringList lines = text.split(u'\n');
    QCOMPARE(lines.front(), QStringLiteral("Chn Identifier Flg   DLC  "
                                           "D0...1...2...3...4...5...6..D7       Time     Dir"));
    qsizetype line = 1;
    for (size_t i = 0; i < frames.Size(); ++i) {
        const CanFrameRecord& r = frames.At(i);
        QString type;
        for (const auto& [flag, letter] : {std::pair{0x1u, 'R'}, std::pair{0x4u, 'E'},
                                           std::pair{0x10000u, 'F'}, std::pair{0x20000u, 'B'}}) {
            if (r.flags & flag) {
                type += QLatin1Char(letter);
            }
        }
        QString data = r.dlc == 0 ? QStringLiteral("  00") : QString();
        for (uint32_t b = 0; b < qMin<uint32_t>(r.dlc, 8); ++b) {
            data += QString::asprintf("  %02X", r.data[b]);
        }
        const QString time = QString::asprintf("  %-6.6f", r.timestamp / 1000000.0);
        const QString expected = QString::asprintf(" %d    %08X  %-5s %2X%-32s  %13s %s", r.channel,
                                                   r.id, qPrintable(type), r.dlc, qPrintable(data),
                                                   qPrintable(time), r.direction != 0 ? "R" : "T");
        QVERIFY(line < lines.size());
        QCOMPARE(lines[line++], expected);
        for (uint32_t row = 8; row < r.dlc; row += 8) {
            QString more(24, u' ');
            for (uint32_t b = row; b < qMin<uint32_t>(r.dlc, row + 8); ++b) {
                more += QString::asprintf("  %02X", r.data[b]);
            }
            QVERIFY(line < lines.size());
            QCOMPARE(lines[line++], more);
        }
    }
    QCOMPARE(line, lines.size() - 1);
    QVERIFY(lines.back().isEmpty());  // the text ends with a line break
}

// The main window while the demo runs, in three looks, kept as PNG files in
// $SORVANE_SCREENSHOT_DIR when that is set (docs/screenshots/).
void Screenshots(CMainFrame* frame) {
    const QByteArray dir = qgetenv("SORVANE_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        return;
    }
    // The database by a path relative to the tree, as a user's would read.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(SORVANE_DEMO_DIR "/.."));
    frame->OpenCandbFile(QStringLiteral("demo/demo.dbc"));
    QDir::setCurrent(cwd);
    frame->resize(1600, 1000);
    frame->show();
    // The monitor across the top, the other three views below it.
    QCoreApplication::processEvents();
    const QSize area = frame->MdiArea()->viewport()->size();
    const int top = area.height() * 11 / 20;
    frame->ViewFrame(0)->setGeometry(0, 0, area.width(), top);
    for (int i = 1; i < CMainFrame::kViewFrameCount; ++i) {
        const int third = area.width() / 3;
        const int slot = i == 1 ? 1 : i == 2 ? 0 : 2;  // statistics, bus load, message info
        frame->ViewFrame(i)->setGeometry(slot * third, top, third, area.height() - top);
    }
    QTest::qWait(1500);
    const uint32_t look = app_look::Current();
    const QList<QPair<uint32_t, QString>> looks = {
        {ID_VIEW_APPLOOK_OFF_2007_BLUE, QStringLiteral("main-office2007-blue.png")},
        {ID_VIEW_APPLOOK_OFF_2007_BLACK, QStringLiteral("main-office2007-black.png")},
        {ID_VIEW_APPLOOK_WIN_2000, QStringLiteral("main-windows2000.png")}};
    for (const auto& [id, file] : looks) {
        frame->ApplyLook(id);
        QTest::qWait(300);
        QVERIFY(frame->grab().toImage().save(QString::fromLocal8Bit(dir) + u'/' + file));
    }
    frame->ApplyLook(look);
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
    auto* monitor = static_cast<CMonitorFrame*>(frame->ViewFrame(0));
    QTRY_VERIFY(monitor->PaneText(1).toULongLong() > 20);
    // Ten identifiers on CAN1 (0x400 also as remote request), one on CAN2.
    QTRY_VERIFY_WITH_TIMEOUT(app->Manager()->MessageInfoCount() >= 12, 3000);
    // Selecting a row decodes its frame into the message pane.
    const FrameList& frames = app->Manager()->Frames();
    int engine = -1;
    for (size_t i = 0; i < frames.Size() && engine < 0; ++i) {
        engine = frames.At(i).id == 0x100 ? static_cast<int>(i) : -1;
    }
    QVERIFY(engine >= 0);
    monitor->List()->SetSelection(engine, true);
    const std::vector<std::string>& detail = monitor->MessagePane()->List()->Texts();
    QVERIFY(detail.size() >= 15);
    QVERIFY(std::find(detail.begin(), detail.end(), "EngineSpeed") != detail.end());
    Screenshots(frame);

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
    const size_t listed = app->Manager()->Frames().Size();
    QTest::qWait(120);
    QCOMPARE(app->Manager()->Frames().Size(), listed);  // nothing after the stop

    // After the stop both copies are offered and put the lists on the clipboard.
    QVERIFY(frame->IsCommandEnabled(ID_MONITOR_COPY));
    frame->OnCommand(ID_MONITOR_COPY);
    CheckMonitorCopy(QApplication::clipboard()->text(), frames);
    QVERIFY(frame->IsCommandEnabled(ID_MESSAGEINFO_COPY));
    frame->OnCommand(ID_MESSAGEINFO_COPY);
    const QStringList infoLines = QApplication::clipboard()->text().split(u'\n');
    QCOMPARE(infoLines.front(), QStringLiteral("CAN  Dir   Type  ID    DLC  Cycle(ms)      Count"));
    QCOMPARE(static_cast<size_t>(infoLines.size()), app->Manager()->MessageInfoCount() + 2);
    QVERIFY(infoLines.contains(
        QRegularExpression(QStringLiteral("^ 1    R    FB    600   40      50\\.\\d{3} +\\d+$"))));

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

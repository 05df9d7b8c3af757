#include <QApplication>
#include <QDropEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "controls/static_tree_ctrl.h"
#include "res/ids.h"
#include "res/resources.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/frame/app_look.h"
#include "ui/frame/candb_pane.h"
#include "ui/frame/frame_texts.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/output_log_pane.h"
#include "ui/frame/user_events.h"

namespace {

ChannelSettings Fd(int32_t arb, int32_t data) {
    return {1, 1, {arb, 0, 0, 0, 0, 0}, {data, 0, 0, 0, 0, 0}};
}
ChannelSettings Classic(int32_t arb) {
    return {1, 0, {arb, 12, 3, 1, 0, 0}, {}};
}

// Counts the user events a view frame receives.
class EventCounter : public QWidget {
public:
    int starts = 0, stops = 0, settings = 0;
    bool event(QEvent* e) override {
        if (e->type() == kEventCommStart)
            ++starts;
        if (e->type() == kEventCommStop)
            ++stops;
        if (e->type() == kEventSettingsChanged)
            ++settings;
        return QWidget::event(e);
    }
};

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void texts_data();
    void texts();
    void recentListOrdering();
    void qtFilters();
    void menusToolbarAndPanes();
    void startWithoutChannelShows221();
    void startFailureShows222();
    void startStopStateUptimeAndViews();
    void channelPanesPackEnabledChannels();
    void busToggleTextAndEnable();
    void openCandbSuccessAndFailure();
    void recentMenuEntries();
    void importExportAndDrop();
    void looksSwitchAndSave();
    void exitConfirmation();
    void viewCommandRouting();
    void windowLayoutRoundTrip();
    void threeLooksLookDifferent();
};

void MainFrameTest::texts_data() {
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    using namespace frame_texts;
    QTest::newRow("fd") << ChannelLabel(0, Fd(500000, 2000000))
                        << "CAN1 (CAN-FD): [Arb=500Kbps][Dat=2Mbps]";
    QTest::newRow("fd odd data") << ChannelLabel(2, Fd(1000000, 800000))
                                 << "CAN3 (CAN-FD): [Arb=1Mbps][Dat=]";
    QTest::newRow("classic") << ChannelLabel(4, Classic(125000)) << "CAN5 (CAN): 125Kbps";
    QTest::newRow("800000") << BitrateText(800000) << "";
    QTest::newRow("8M") << BitrateText(8000000) << "8Mbps";
    QTest::newRow("zero") << BitrateText(0) << "";
    QTest::newRow("day hour") << UptimeText(86400 + 3600) << "1 days 01:00:00";
    QTest::newRow("under a day") << UptimeText(86399) << "23:59:59";
    QTest::newRow("zero uptime") << UptimeText(0) << "00:00:00";
    QTest::newRow("many days") << UptimeText(100ull * 86400 + 61) << "100 days 00:01:01";
    QTest::newRow("bus on") << BusMenuText(1, true) << "CAN2: BUS OFF (&2)";
    QTest::newRow("bus off") << BusMenuText(4, false) << "CAN5: BUS ON (&5)";
}

void MainFrameTest::texts() {
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void MainFrameTest::recentListOrdering() {
    using frame_texts::UpdatedRecentList;
    std::vector<std::string> recent(4);
    recent = UpdatedRecentList(recent, "/d/a.dbc");
    recent = UpdatedRecentList(recent, "/d/b.dbc");
    QCOMPARE(recent, (std::vector<std::string>{"/d/b.dbc", "/d/a.dbc", "", ""}));
    // The same file in other letter case stays once, at the top.
    recent = UpdatedRecentList(recent, "/D/A.DBC");
    QCOMPARE(recent, (std::vector<std::string>{"/D/A.DBC", "/d/b.dbc", "", ""}));
    recent = UpdatedRecentList(recent, "/d/c.dbc");
    recent = UpdatedRecentList(recent, "/d/e.dbc");
    recent = UpdatedRecentList(recent, "/d/f.dbc");  // a fifth drops the oldest
    QCOMPARE(recent, (std::vector<std::string>{"/d/f.dbc", "/d/e.dbc", "/d/c.dbc", "/D/A.DBC"}));
    // Empty entries in the middle are closed up; non-ASCII compares by case.
    recent = {"/x/Ä.dbc", "", "/x/b.dbc", ""};
    recent = UpdatedRecentList(recent, "/x/ä.dbc");
    QCOMPARE(recent, (std::vector<std::string>{"/x/ä.dbc", "/x/b.dbc", "", ""}));
}

void MainFrameTest::qtFilters() {
    const auto& r = res::Resources::Instance();
    QCOMPARE(CDialogService::QtFilter(r.String(IDS_FILTER_CANDB)),
             QStringLiteral("CANdbファイル(DBCフォーマット) (*.dbc)"));
    QCOMPARE(CDialogService::QtFilter(r.String(IDS_FILTER_ENV_IMPORT)).split(";;").first(),
             QStringLiteral("ファイル (*.txt *.ini)"));
    QCOMPARE(CDialogService::QtFilter(QString()), QString());
}

void MainFrameTest::menusToolbarAndPanes() {
    FakeFrameBackend backend;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    QStringList titles;
    for (QAction* action : frame.menuBar()->actions()) {
        titles << action->text();
    }
    QCOMPARE(titles, (QStringList{"ファイル(&F)", "通信(&C)", "メッセージ(&M)", "モニタ(&M)",
                                  "統計情報(&S)", "バス占有率(&B)", "メッセージ情報(&L)",
                                  "表示(&V)", "ヘルプ(&H)"}));
    QCOMPARE(frame.ActionsOf(ID_COMM_START).front()->text(), QStringLiteral("通信開始(&S)\tF2"));
    QStringList labels;
    QList<uint32_t> commands;
    for (QAction* action : frame.MainToolBar()->actions()) {
        if (!action->isSeparator()) {
            labels << action->iconText();
            commands << action->data().toUInt();
        }
    }
    QCOMPARE(commands, (QList<uint32_t>{ID_CANDB_OPEN, ID_COMM_START, ID_COMM_STOP, ID_SEND_MESSAGE,
                                        ID_OPTIONS}));
    QCOMPARE(labels, (QStringList{"CANdbファイル\nのオープン", "通信\n開始", "通信\n停止",
                                  "メッセージ\n送信", "環境\n設定"}));
    QCOMPARE(frame.MainToolBar()->iconSize(), QSize(32, 32));
    QCOMPARE(frame.LogPane()->windowTitle(), QStringLiteral("\U0001F424 ログウィンドウ"));
    QCOMPARE(frame.CandbPane()->windowTitle(), QStringLiteral("\U0001F424 CANdbウィンドウ"));
    QCOMPARE(frame.dockWidgetArea(frame.LogPane()), Qt::BottomDockWidgetArea);
    QCOMPARE(frame.dockWidgetArea(frame.CandbPane()), Qt::LeftDockWidgetArea);

    // Twelve panes; 1..11 start as one blank and are as wide as their text + 2.
    QCOMPARE(frame.statusBar()->findChildren<QLabel*>().size(), CMainFrame::kPaneCount);
    const QFontMetrics metrics = frame.statusBar()->fontMetrics();
    for (int i = 1; i < CMainFrame::kPaneCount; ++i) {
        QCOMPARE(frame.PaneText(i), QStringLiteral(" "));
        QCOMPARE(frame.PaneWidth(i), metrics.horizontalAdvance(QStringLiteral(" ")) + 2);
    }
    frame.SetPaneText(2, QStringLiteral("/a/long/path/to/some.dbc"));
    QCOMPARE(frame.PaneWidth(2),
             metrics.horizontalAdvance(QStringLiteral("/a/long/path/to/some.dbc")) + 2);
    // Accelerators come from table 133.
    QCOMPARE(frame.findChildren<QShortcut*>().size(), 6);

    // Every command a menu or toolbar offers has its entry in the command
    // table; one without would stay disabled for good.
    QStringList unhandled;
    for (QAction* action : frame.findChildren<QAction*>()) {
        const uint32_t id = action->data().toUInt();
        if (id != 0 && !frame.HandlesCommand(id)) {
            unhandled << QString::number(id);
        }
    }
    QVERIFY2(unhandled.isEmpty(), qPrintable(unhandled.join(u' ')));
    QVERIFY(!frame.HandlesCommand(0xFFFF));
}

void MainFrameTest::startWithoutChannelShows221() {
    FakeFrameBackend backend;
    ScriptedDialogs dialogs;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    frame.OnCommand(ID_COMM_START);
    QCOMPARE(dialogs.boxes.size(), size_t{1});
    QCOMPARE(dialogs.boxes[0].stringId, uint32_t{IDS_ERR_NO_CHANNEL});
    QCOMPARE(dialogs.boxes[0].icon, CDialogService::Icon::Error);
    QVERIFY(dialogs.boxes[0].text.startsWith(QStringLiteral("通信情報が設定されていません。\n")));
    QCOMPARE(backend.starts, 0);
    QVERIFY(!frame.UptimeTimerActive());
    QVERIFY(frame.IsCommandEnabled(ID_COMM_START));
    QVERIFY(!frame.IsCommandEnabled(ID_COMM_STOP));
}

void MainFrameTest::startFailureShows222() {
    FakeFrameBackend backend;
    backend.channels[1] = Classic(500000);
    backend.startResult = 0;
    ScriptedDialogs dialogs;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    EventCounter view;
    frame.RegisterViewFrame(0, &view, {});
    frame.OnCommand(ID_COMM_START);
    QCOMPARE(backend.starts, 1);
    QCOMPARE(dialogs.boxes.size(), size_t{1});
    QCOMPARE(dialogs.boxes[0].stringId, uint32_t{IDS_ERR_COMM_START});
    QCOMPARE(dialogs.boxes[0].text, QStringLiteral("通信開始に失敗しました。"));
    QCoreApplication::processEvents();
    QCOMPARE(view.starts, 0);  // views and timer untouched
    QVERIFY(!frame.UptimeTimerActive());
}

void MainFrameTest::startStopStateUptimeAndViews() {
    FakeFrameBackend backend;
    backend.channels[0] = Fd(500000, 2000000);
    CMainFrame frame(&backend);
    uint64_t now = 5000;
    frame.SetClock([&now] { return now; });
    QVERIFY(frame.Create());
    EventCounter monitor, statistics;
    frame.RegisterViewFrame(0, &monitor, {});
    frame.RegisterViewFrame(2, &statistics, {});
    QCOMPARE(frame.PaneText(3), QStringLiteral("CAN1 (CAN-FD): [Arb=500Kbps][Dat=2Mbps]"));

    frame.OnCommand(ID_COMM_START);
    QVERIFY(frame.UptimeTimerActive());
    QCOMPARE(frame.PaneText(8), QStringLiteral("通信中"));
    QCOMPARE(frame.PaneText(9), QStringLiteral("00:00:00"));
    QVERIFY(!frame.IsCommandEnabled(ID_COMM_START));
    QVERIFY(frame.IsCommandEnabled(ID_COMM_STOP));
    QVERIFY(!frame.IsCommandEnabled(ID_ENV_IMPORT));
    QVERIFY(!frame.IsCommandEnabled(ID_ENV_EXPORT));
    QVERIFY(!frame.IsCommandEnabled(ID_COMM_RESET));
    QVERIFY(!frame.ActionsOf(ID_COMM_START).front()->isEnabled());
    QCoreApplication::processEvents();
    QCOMPARE(monitor.starts, 1);
    QCOMPARE(statistics.starts, 1);

    now += (86400ull + 3600) * 1000 + 999;  // the fraction of a second is cut
    frame.RefreshStatus(false, false, true);
    QCOMPARE(frame.PaneText(9), QStringLiteral("1 days 01:00:00"));
    now = 5000 + 86399ull * 1000;
    QTRY_COMPARE(frame.PaneText(9), QStringLiteral("23:59:59"));  // the 500 ms timer

    frame.OnCommand(ID_COMM_STOP);
    QVERIFY(!frame.UptimeTimerActive());
    QCOMPARE(backend.stops, 1);
    QCOMPARE(frame.PaneText(8), QStringLiteral(" "));
    QCoreApplication::processEvents();
    QCOMPARE(monitor.stops, 1);
    QCOMPARE(statistics.stops, 1);
    QVERIFY(frame.IsCommandEnabled(ID_COMM_START));
}

void MainFrameTest::channelPanesPackEnabledChannels() {
    FakeFrameBackend backend;
    backend.channels[0] = Classic(500000);
    backend.channels[2] = Classic(250000);
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    QCOMPARE(frame.PaneText(3), QStringLiteral("CAN1 (CAN): 500Kbps"));
    QCOMPARE(frame.PaneText(4), QStringLiteral("CAN3 (CAN): 250Kbps"));
    for (int pane = 5; pane <= 7; ++pane) {
        QCOMPARE(frame.PaneText(pane), QStringLiteral(" "));
    }
    // While communicating only channels that reached the bus are listed.
    backend.active[0] = false;
    frame.OnCommand(ID_COMM_START);
    QCOMPARE(frame.PaneText(3), QStringLiteral("CAN3 (CAN): 250Kbps"));
    QCOMPARE(frame.PaneText(4), QStringLiteral(" "));
}

void MainFrameTest::busToggleTextAndEnable() {
    FakeFrameBackend backend;
    backend.channels[1] = Classic(500000);
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    QVERIFY(!frame.IsCommandEnabled(ID_BUS_ONOFF_CAN2));  // not communicating
    frame.OnCommand(ID_COMM_START);
    QVERIFY(frame.IsCommandEnabled(ID_BUS_ONOFF_CAN2));
    QVERIFY(!frame.IsCommandEnabled(ID_BUS_ONOFF_CAN1));  // not enabled
    backend.busOn[1] = true;
    frame.UpdateCommandUi();
    QAction* bus = frame.ActionsOf(ID_BUS_ONOFF_CAN2).front();
    QCOMPARE(bus->text(), QStringLiteral("CAN2: BUS OFF (&2)"));
    bus->trigger();
    QVERIFY(!backend.busOn[1]);
    QCOMPARE(bus->text(), QStringLiteral("CAN2: BUS ON (&2)"));
    backend.active[1] = false;  // did not reach the bus at start
    QVERIFY(!frame.IsCommandEnabled(ID_BUS_ONOFF_CAN2));
}

void MainFrameTest::openCandbSuccessAndFailure() {
    FakeFrameBackend backend;
    ScriptedDialogs dialogs;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    backend.candb.ok = true;
    backend.candb.messages = {{"EngineData", 0x100}, {"Ext", 0x18FEF100}};
    dialogs.fileAnswers.push_back(QStringLiteral("/data/demo.dbc"));
    frame.OnCommand(ID_CANDB_OPEN);
    QCOMPARE(dialogs.files.size(), size_t{1});
    QCOMPARE(dialogs.files[0].titleId, uint32_t{IDS_CANDB_OPEN_TITLE});
    QCOMPARE(dialogs.files[0].filterId, uint32_t{IDS_FILTER_CANDB});
    QCOMPARE(dialogs.files[0].defaultExtension, QStringLiteral("dbc"));
    CStaticTreeCtrl* tree = frame.CandbPane()->Tree();
    CStaticTreeItem* root = tree->FirstItem();
    QVERIFY(root != nullptr);
    QVERIFY(root->nextSibling == nullptr);
    QCOMPARE(root->text, QStringLiteral("【メッセージ】"));
    QVERIFY(root->expanded);
    QCOMPARE(tree->DisplayedRowCount(), 3);
    QCOMPARE(root->firstChild->text, QStringLiteral("EngineData (0x00000100)"));
    QCOMPARE(root->lastChild->text, QStringLiteral("Ext (0x18FEF100)"));
    QCOMPARE(frame.PaneText(2), QStringLiteral("/data/demo.dbc"));
    QCOMPARE(backend.recent[0], std::string("/data/demo.dbc"));

    backend.candb = {};
    backend.candb.errorCode = -3;
    backend.candb.errorText = "line 12: %2 unexpected";
    frame.OpenCandbFile(QStringLiteral("/data/bad.dbc"));
    QCOMPARE(dialogs.boxes.size(), size_t{1});
    QCOMPARE(dialogs.boxes[0].stringId, uint32_t{IDS_ERR_CANDB_OPEN});
    QCOMPARE(dialogs.boxes[0].text,
             QStringLiteral("CANdbファイルのオープンに失敗しました。\n\nエラーコード: -3\n理由: "
                            "line 12: %2 unexpected"));
    // Nothing else changes.
    QCOMPARE(tree->FirstItem(), root);
    QCOMPARE(tree->DisplayedRowCount(), 3);
    QCOMPARE(frame.PaneText(2), QStringLiteral("/data/demo.dbc"));
    QCOMPARE(backend.recent[0], std::string("/data/demo.dbc"));
    QCOMPARE(backend.recent[1], std::string());
    // Without the database library the command is disabled.
    backend.candbLoaded = false;
    QVERIFY(!frame.IsCommandEnabled(ID_CANDB_OPEN));
}

void MainFrameTest::recentMenuEntries() {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("a&b.dbc"));
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    FakeFrameBackend backend;
    backend.recent = {existing.toStdString(), "/missing/file.dbc", "", ""};
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    QAction* first = frame.ActionsOf(ID_CANDB_RECENT1).front();
    QAction* second = frame.ActionsOf(ID_CANDB_RECENT2).front();
    QAction* third = frame.ActionsOf(ID_CANDB_RECENT3).front();
    QCOMPARE(first->text(), QString(existing).replace("&", "&&"));
    QVERIFY(first->isEnabled());
    QCOMPARE(second->text(), QStringLiteral("/missing/file.dbc"));
    QVERIFY(!second->isEnabled());  // the file is gone
    QCOMPARE(third->text(), QStringLiteral("(なし)"));
    QVERIFY(!third->isEnabled());
    backend.candb.ok = true;
    first->trigger();
    QCOMPARE(backend.opened, (std::vector<std::string>{existing.toStdString()}));
}

void MainFrameTest::importExportAndDrop() {
    FakeFrameBackend backend;
    ScriptedDialogs dialogs;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    frame.OnCommand(ID_ENV_IMPORT);  // cancelled
    QVERIFY(backend.imported.empty());
    dialogs.fileAnswers = {QStringLiteral("/e/in.txt"), QStringLiteral("/e/out.txt")};
    frame.OnCommand(ID_ENV_IMPORT);
    frame.OnCommand(ID_ENV_EXPORT);
    QCOMPARE(backend.imported, (std::vector<std::string>{"/e/in.txt"}));
    QCOMPARE(backend.exported, (std::vector<std::string>{"/e/out.txt"}));
    QCOMPARE(dialogs.files[1].titleId, uint32_t{IDS_ENV_IMPORT_TITLE});
    QVERIFY(!dialogs.files[1].save);
    QCOMPARE(dialogs.files[2].titleId, uint32_t{IDS_ENV_EXPORT_TITLE});
    QCOMPARE(dialogs.files[2].filterId, uint32_t{IDS_FILTER_ENV_EXPORT});
    QVERIFY(dialogs.files[2].save);
    QVERIFY(dialogs.boxes.empty());  // both went well

    // Failures show the file and the store's reason in an error box.
    backend.importResult = backend.exportResult = false;
    backend.environmentError = "disk full";
    dialogs.fileAnswers = {QStringLiteral("/e/bad-in.txt"), QStringLiteral("/e/bad-out.txt")};
    frame.OnCommand(ID_ENV_IMPORT);
    frame.OnCommand(ID_ENV_EXPORT);
    QCOMPARE(dialogs.boxes.size(), size_t{2});
    QCOMPARE(dialogs.boxes[0].stringId, uint32_t{IDS_FMT_ENV_IMPORT_FAILED});
    QCOMPARE(dialogs.boxes[0].text,
             QStringLiteral("動作環境のインポートに失敗しました。\n\nファイル: /e/bad-in.txt\n"
                            "理由: disk full"));
    QCOMPARE(dialogs.boxes[1].stringId, uint32_t{IDS_FMT_ENV_EXPORT_FAILED});
    QVERIFY(dialogs.boxes[1].text.contains(QStringLiteral("/e/bad-out.txt")));
    QCOMPARE(dialogs.boxes[1].icon, CDialogService::Icon::Error);
    backend.importResult = backend.exportResult = true;

    // An imported channel shows in the status bar at once.
    backend.channels[3] = Classic(1000000);
    backend.connected = true;  // a drop imports also while communicating
    QVERIFY(!frame.ImportDroppedFiles({QUrl(QStringLiteral("https://example.org/x.ini"))}));
    QVERIFY(frame.ImportDroppedFiles({QUrl::fromLocalFile(QStringLiteral("/e/dropped.ini")),
                                      QUrl::fromLocalFile(QStringLiteral("/e/second.ini"))}));
    QCOMPARE(backend.imported.back(), std::string("/e/dropped.ini"));
    QCOMPARE(backend.imported.size(), size_t{3});
    QCOMPARE(frame.PaneText(3), QStringLiteral("CAN4 (CAN): 1Mbps"));
}

void MainFrameTest::looksSwitchAndSave() {
    FakeFrameBackend backend;
    backend.look = ID_VIEW_APPLOOK_OFF_2007_BLUE;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    QCOMPARE(backend.lookSaves, 1);  // saved at creation too
    QCOMPARE(app_look::Current(), uint32_t{ID_VIEW_APPLOOK_OFF_2007_BLUE});
    // Every one of the eleven looks differs from every other.
    QSet<QString> seen;
    for (uint32_t id = ID_VIEW_APPLOOK_WIN_2000; id <= ID_VIEW_APPLOOK_WINDOWS_7; ++id) {
        const app_look::Look look = app_look::LookFor(id);
        seen.insert(look.styleName + look.palette.color(QPalette::Window).name() +
                    look.palette.color(QPalette::Highlight).name());
    }
    QCOMPARE(seen.size(), 11);
    // An unknown id takes the Office 2007 look.
    QCOMPARE(app_look::LookFor(12345).palette.color(QPalette::Window),
             app_look::LookFor(ID_VIEW_APPLOOK_OFF_2007_BLUE).palette.color(QPalette::Window));

    QAction* black = frame.ActionsOf(ID_VIEW_APPLOOK_OFF_2007_BLACK).front();
    black->trigger();
    QCOMPARE(backend.look, uint32_t{ID_VIEW_APPLOOK_OFF_2007_BLACK});
    QCOMPARE(backend.lookSaves, 2);
    QVERIFY(black->isChecked());
    QVERIFY(!frame.ActionsOf(ID_VIEW_APPLOOK_OFF_2007_BLUE).front()->isChecked());
    QCOMPARE(QApplication::palette().color(QPalette::Window),
             app_look::LookFor(ID_VIEW_APPLOOK_OFF_2007_BLACK).palette.color(QPalette::Window));
    frame.ApplyLook(ID_VIEW_APPLOOK_WIN_2000);  // reachable without a menu entry
    QCOMPARE(QApplication::style()->name().toLower(), QStringLiteral("windows"));
    QCOMPARE(backend.look, uint32_t{ID_VIEW_APPLOOK_WIN_2000});
}

void MainFrameTest::exitConfirmation() {
    FakeFrameBackend backend;
    backend.channels[0] = Classic(500000);
    ScriptedDialogs dialogs;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    frame.show();
    frame.OnCommand(ID_COMM_START);
    dialogs.answers = {QMessageBox::No};
    frame.OnCommand(ID_APP_EXIT);
    QCOMPARE(dialogs.boxes.back().stringId, uint32_t{IDS_CONFIRM_EXIT});
    QCOMPARE(dialogs.boxes.back().text, QStringLiteral("Sorvaneを終了してよろしいですか？"));
    QCOMPARE(dialogs.boxes.back().icon, CDialogService::Icon::Question);
    QCOMPARE(dialogs.boxes.back().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(dialogs.boxes.back().defaultButton, QMessageBox::No);
    QVERIFY(frame.isVisible());
    QVERIFY(backend.connected);
    dialogs.answers = {QMessageBox::Yes};
    frame.close();
    QVERIFY(!frame.isVisible());
    QVERIFY(!backend.connected);  // communication stopped on the way out
}

void MainFrameTest::viewCommandRouting() {
    FakeFrameBackend backend;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    QVERIFY(!frame.IsCommandEnabled(ID_MONITOR_CLEAR));  // no view frame yet
    QMdiArea* mdi = frame.MdiArea();
    QWidget monitor, statistics;
    mdi->addSubWindow(&monitor);
    mdi->addSubWindow(&statistics);
    std::vector<uint32_t> monitorRan, statisticsRan;
    frame.RegisterViewFrame(0, &monitor, [&](uint32_t id, CCmdUI* ui) {
        if (id != ID_MONITOR_CLEAR)
            return false;
        if (ui != nullptr)
            ui->Enable(true);
        else
            monitorRan.push_back(id);
        return true;
    });
    frame.RegisterViewFrame(2, &statistics, [&](uint32_t id, CCmdUI* ui) {
        if (ui != nullptr)
            ui->Enable(id == ID_STATISTICS_COPY);
        else
            statisticsRan.push_back(id);
        return true;
    });
    frame.RegisterViewFrame(1, nullptr, {});               // the bus-load frame taken away
    mdi->setActiveSubWindow(mdi->subWindowList().last());  // statistics active
    QVERIFY(frame.IsCommandEnabled(ID_MONITOR_CLEAR));
    QVERIFY(!frame.IsCommandEnabled(ID_MONITOR_SCROLL));  // no entry
    QVERIFY(!frame.IsCommandEnabled(ID_BUSLOAD_CLEAR));   // no bus-load frame
    frame.OnCommand(ID_MONITOR_CLEAR);
    frame.OnCommand(ID_STATISTICS_COPY);
    QCOMPARE(monitorRan, (std::vector<uint32_t>{ID_MONITOR_CLEAR}));
    QCOMPARE(statisticsRan, (std::vector<uint32_t>{ID_STATISTICS_COPY}));
}

void MainFrameTest::windowLayoutRoundTrip() {
    FakeFrameBackend backend;
    ScriptedDialogs dialogs;
    {
        CMainFrame frame(&backend);
        QVERIFY(frame.Create());
        frame.show();
        frame.resize(1010, 690);
        frame.addDockWidget(Qt::RightDockWidgetArea, frame.LogPane());
        QTRY_COMPARE(frame.size(), QSize(1010, 690));
        dialogs.answers = {QMessageBox::Yes};
        QVERIFY(frame.close());
    }
    QVERIFY(!backend.layouts["Geometry"].empty());
    QVERIFY(!backend.layouts["State"].empty());
    {
        CMainFrame frame(&backend);
        QVERIFY(frame.Create());
        QCOMPARE(frame.size(), QSize(1010, 690));
        QCOMPARE(frame.dockWidgetArea(frame.LogPane()), Qt::RightDockWidgetArea);
        QCOMPARE(frame.dockWidgetArea(frame.CandbPane()), Qt::LeftDockWidgetArea);
    }
    // A damaged layout is ignored: the panes stand where they start.
    backend.layouts["Geometry"] = {0x01, 0xD9, 0xD0, 0xCB, 0x00};
    backend.layouts["State"] = std::vector<uint8_t>(300, 0xFF);
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    QCOMPARE(frame.dockWidgetArea(frame.LogPane()), Qt::BottomDockWidgetArea);
}

void MainFrameTest::threeLooksLookDifferent() {
    // The window as a user sees it while communicating, in three looks. (The
    // screenshots with traffic come from the demo session test.)
    FakeFrameBackend backend;
    backend.channels[0] = Fd(500000, 2000000);
    backend.channels[1] = Classic(500000);
    backend.candb.ok = true;
    backend.candb.messages = {{"EngineData", 0x100},
                              {"BrakeStatus", 0x1A0},
                              {"BodyFd", 0x18FF1234},
                              {"Diagnostics", 0x7DF}};
    uint64_t now = 0;
    CMainFrame frame(&backend);
    frame.SetClock([&now] { return now; });
    QVERIFY(frame.Create());
    frame.resize(1200, 760);
    frame.show();
    frame.OpenCandbFile(QStringLiteral("/home/user/demo/demo.dbc"));
    frame.OnCommand(ID_COMM_START);
    now = 3723000;
    frame.RefreshStatus(false, false, true);
    frame.LogPane()->AddLogLine(0, "CAN1 [canBusOn] succeed.\n");
    frame.LogPane()->AddLogLine(0, "CAN2 [canBusOn] succeed.\n");
    frame.LogPane()->AddLogLine(2, "CAN2 bus load 82% over the threshold 80%\n");
    frame.LogPane()->AddLogLine(3, "CAN3 [canOpenChannel] Specified device not found\n");
    frame.LogPane()->FlushPending();
    QList<QImage> grabs;
    for (const uint32_t look : {ID_VIEW_APPLOOK_OFF_2007_BLUE, ID_VIEW_APPLOOK_OFF_2007_BLACK,
                                ID_VIEW_APPLOOK_WIN_2000}) {
        frame.ApplyLook(look);
        QCoreApplication::processEvents();
        const QImage image = frame.grab().toImage();
        QVERIFY(!image.isNull());
        grabs.append(image);
    }
    QVERIFY(grabs[0] != grabs[1]);
    QVERIFY(grabs[1] != grabs[2]);
    QVERIFY(grabs[0] != grabs[2]);
}

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"

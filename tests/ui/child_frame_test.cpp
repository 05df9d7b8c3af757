#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QTest>
#include <QToolBar>

#include "controls/item_list.h"
#include "res/ids.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/frame/bus_load_frame.h"
#include "ui/frame/child_frm_base.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/message_info_frame.h"
#include "ui/frame/monitor_frame.h"
#include "ui/frame/statistics_frame.h"
#include "ui/frame/user_events.h"
#include "ui/frame/view_placement.h"
#include "ui/frame/windows_dialog.h"

namespace {

ChannelSettings Classic(int32_t arb) {
    return {1, 0, {arb, 12, 3, 1, 0, 0}, {}};
}

// A list that handles the scroll command itself, as the monitor list will.
class ScrollList : public CItemList {
public:
    ScrollList() : CItemList("CLASS_TEST_LIST") {}
    int ran = 0;
    bool scrolling = true;
    bool OnCmdMsg(uint32_t id, CCmdUI* ui) override {
        if (id != ID_MONITOR_SCROLL) {
            return false;
        }
        if (ui != nullptr) {
            ui->Enable(true);
            ui->SetCheck(scrolling);
        } else {
            ++ran;
            scrolling = !scrolling;
        }
        return true;
    }
};

// A view frame that records what the base calls, with the monitor's
// resources and a timer of the test's choosing.
class ProbeFrame : public CChildFrmBase {
public:
    explicit ProbeFrame(int32_t timerId = 7, int32_t period = 20)
        : CChildFrmBase(Params(timerId, period)) {}

    static ViewFrameParams Params(int32_t timerId, int32_t period) {
        ViewFrameParams p = CMonitorFrame::FrameParams();
        p.timerId = timerId;
        p.timerPeriod = period;
        return p;
    }

    QStringList calls;
    bool timerAtStart = false;
    std::vector<uint32_t> ran;
    int settingsChanged = 0;
    ScrollList* list = nullptr;

    bool OnFrameCommand(uint32_t id, CCmdUI* ui) override {
        if (id != ID_MONITOR_CLEAR && id != ID_MONITOR_SCROLL) {
            return false;
        }
        if (ui != nullptr) {
            ui->Enable(true);
        } else {
            ran.push_back(id);
        }
        return true;
    }

protected:
    bool OnCreate() override {
        list = new ScrollList;
        if (!list->Create(Body(), 0xE900)) {
            return false;
        }
        SetView(list, list);
        return true;
    }
    void OnCommStart() override {
        timerAtStart = ViewTimerActive();
        calls << QStringLiteral("start");
    }
    void OnCommStop() override { calls << QStringLiteral("stop"); }
    void OnViewTimer() override { calls << QStringLiteral("tick"); }
    void OnSettingsChanged() override { ++settingsChanged; }
};

void Post(QObject* target, QEvent::Type type) {
    QCoreApplication::postEvent(target, new QEvent(type));
    QCoreApplication::processEvents();
}

std::vector<uint32_t> CommandIds(const QWidget* widget) {
    std::vector<uint32_t> ids;
    for (const QAction* action : widget->actions()) {
        ids.push_back(action->isSeparator() ? 0 : action->data().toUInt());
    }
    return ids;
}

QAction* ActionFor(const QWidget* widget, uint32_t id) {
    for (QAction* action : widget->actions()) {
        if (!action->isSeparator() && action->data().toUInt() == id) {
            return action;
        }
    }
    return nullptr;
}

// A probe frame in the main window, standing in for the real frame of index.
ProbeFrame* AddProbe(CMainFrame& main, int index) {
    auto* probe = new ProbeFrame;
    main.MdiArea()->addSubWindow(probe);
    if (!probe->Create(&main)) {
        return nullptr;
    }
    main.RegisterViewFrame(
        index, probe, [probe](uint32_t id, CCmdUI* ui) { return probe->OnFrameCommand(id, ui); });
    return probe;
}

FramePlacement Rect(int l, int t, int r, int b, int show, int order) {
    return {l, t, r, b, show, order};
}

}  // namespace

class ChildFrameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fourFramesStandWithTheirParts();
    void timerRunsOnlyWhileCommunicating();
    void frameWithoutTimerStillGetsItsCalls_data();
    void frameWithoutTimerStillGetsItsCalls();
    void closeMinimises();
    void toolbarOffersCommandsToTheListFirst();
    void contextMenuCommandReachesItsFrame();
    void focusGoesToTheList();
    void userMessagesReachTheFrames();
    void stackOrderRepairsDamagedRanks_data();
    void stackOrderRepairsDamagedRanks();
    void storedRectRefusesDamagedRecords();
    void noPlacementTiles();
    void placementRoundTripThroughCloseAndRestart();
};

void ChildFrameTest::fourFramesStandWithTheirParts() {
    FakeFrameBackend backend;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    frame.resize(1200, 800);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));

    struct Expected {
        int index;
        QString title;
        ViewFrameParams params;
        std::vector<uint32_t> buttons;
        QString view;
    };
    const std::vector<Expected> expected = {
        {0,
         QStringLiteral("モニタウィンドウ"),
         {320, 347, 332, 201, 313, 1003, 100},
         {32781, 0, 32782, 0, 32783, 32785, 0, 32787},
         QStringLiteral("CLASS_MONITOR_LIST")},
        {1,
         QStringLiteral("バス占有率"),
         {317, 348, 334, 212, 315, 1002, 500},
         {32799, 32800, 32801, 32802, 32803, 0, 32798, 0, 32804, 32805, 32806},
         QStringLiteral("CLASS_BUSLOAD_GRAPH")},
        {2,
         QStringLiteral("統計情報"),
         {316, 349, 333, 209, 314, 1001, 500},
         {32789, 0, 32790},
         QStringLiteral("CLASS_STATISTICS_LIST")},
        {3,
         QStringLiteral("メッセージ情報"),
         {318, 350, 336, 211, 319, 1004, 300},
         {32808, 0, 32809},
         QStringLiteral("CLASS_MESSAGEINFO_LIST")},
    };
    QCOMPARE(frame.MdiArea()->subWindowList().size(), 4);
    for (const Expected& e : expected) {
        CChildFrmBase* view = frame.ViewFrame(e.index);
        QVERIFY(view != nullptr);
        const ViewFrameParams& p = view->Params();
        QCOMPARE(p.toolbarId, e.params.toolbarId);
        QCOMPARE(p.toolbarDisabledImageId, e.params.toolbarDisabledImageId);
        QCOMPARE(p.contextMenuId, e.params.contextMenuId);
        QCOMPARE(p.titleStringId, e.params.titleStringId);
        QCOMPARE(p.iconId, e.params.iconId);
        QCOMPARE(p.timerId, e.params.timerId);
        QCOMPARE(p.timerPeriod, e.params.timerPeriod);
        QCOMPARE(view->windowTitle(), e.title);
        QVERIFY(!view->windowIcon().isNull());
        QVERIFY(view->ToolBar() != nullptr);
        QCOMPARE(CommandIds(view->ToolBar()), e.buttons);
        QCOMPARE(view->ToolBar()->iconSize(), QSize(24, 24));
        // What a user sees: the toolbar on top, the view filling the rest.
        QVERIFY(view->isVisible());
        QVERIFY(view->ToolBar()->isVisible());
        QVERIFY(view->View() != nullptr);
        QCOMPARE(view->View()->objectName(), e.view);
        QVERIFY(view->View()->isVisible());
        QVERIFY(view->View()->geometry().top() >= view->ToolBar()->geometry().bottom());
        // A pane docked beside the view (the monitor's message pane) takes the
        // rest of the width.
        int right = view->Body()->width();
        for (const QDockWidget* dock : view->Body()->findChildren<QDockWidget*>()) {
            if (dock->isVisible() && !dock->isFloating()) {
                QCOMPARE(dock->geometry().right(), view->Body()->width() - 1);
                right = std::min(right, dock->geometry().left());
            }
        }
        QVERIFY(view->View()->geometry().left() == 0);
        QVERIFY(view->View()->geometry().right() < right);
        QVERIFY(view->View()->width() >= right - 8);
    }
    // Without records (this backend has no frame list) clearing is disabled.
    QVERIFY(!frame.IsCommandEnabled(ID_MONITOR_CLEAR));
    QVERIFY(!ActionFor(frame.ViewFrame(0)->ToolBar(), ID_MONITOR_CLEAR)->isEnabled());
}

void ChildFrameTest::timerRunsOnlyWhileCommunicating() {
    QMdiArea area;
    auto* frame = new ProbeFrame(7, 20);
    area.addSubWindow(frame);
    QVERIFY(frame->Create(nullptr));
    QVERIFY(!frame->ViewTimerActive());

    Post(frame, kEventCommStart);
    QVERIFY(frame->ViewTimerActive());
    QVERIFY(frame->timerAtStart);  // the timer is set before OnCommStart
    QTRY_VERIFY(frame->calls.count(QStringLiteral("tick")) >= 2);
    Post(frame, kEventCommStop);
    QVERIFY(!frame->ViewTimerActive());
    // The extra tick at stop comes before OnCommStop.
    QCOMPARE(frame->calls.mid(frame->calls.size() - 2),
             (QStringList{QStringLiteral("tick"), QStringLiteral("stop")}));
    const int afterStop = static_cast<int>(frame->calls.size());
    QTest::qWait(80);
    QCOMPARE(frame->calls.size(), afterStop);  // no tick once stopped

    // And running again on the next start.
    Post(frame, kEventCommStart);
    QVERIFY(frame->ViewTimerActive());
    Post(frame, kEventCommStop);
    QVERIFY(!frame->ViewTimerActive());
}

void ChildFrameTest::frameWithoutTimerStillGetsItsCalls_data() {
    QTest::addColumn<int>("timerId");
    QTest::addColumn<int>("period");
    QTest::newRow("no id") << 0 << 100;
    QTest::newRow("no period") << 1003 << 0;
}

void ChildFrameTest::frameWithoutTimerStillGetsItsCalls() {
    QFETCH(int, timerId);
    QFETCH(int, period);
    QMdiArea area;
    auto* frame = new ProbeFrame(timerId, period);
    area.addSubWindow(frame);
    QVERIFY(frame->Create(nullptr));
    Post(frame, kEventCommStart);
    QVERIFY(!frame->ViewTimerActive());
    QTest::qWait(30);
    Post(frame, kEventCommStop);
    QCOMPARE(frame->calls, (QStringList{QStringLiteral("start"), QStringLiteral("tick"),
                                        QStringLiteral("stop")}));
}

void ChildFrameTest::closeMinimises() {
    QMdiArea area;
    area.resize(800, 600);
    auto* frame = new ProbeFrame;
    area.addSubWindow(frame);
    QVERIFY(frame->Create(nullptr));
    area.show();
    frame->show();
    QPointer<ProbeFrame> alive(frame);
    QVERIFY(!frame->close());  // the close box: refused, minimised instead
    QVERIFY(alive);
    QVERIFY(frame->isMinimized());
    QCOMPARE(area.subWindowList().size(), 1);

    frame->showNormal();
    QVERIFY(!frame->isMinimized());
    // The close command does the same.
    CCmdUI ui;
    QVERIFY(frame->RouteCommand(ID_FILE_CLOSE, &ui));
    QVERIFY(ui.enabled);
    QVERIFY(frame->RouteCommand(ID_FILE_CLOSE, nullptr));
    QVERIFY(alive);
    QVERIFY(frame->isMinimized());

    // In the main window the frames come back through cascade and tile.
    FakeFrameBackend backend;
    CMainFrame main(&backend);
    QVERIFY(main.Create());
    main.resize(1000, 700);
    main.show();
    for (uint32_t command : {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ}) {
        QVERIFY(!main.ViewFrame(1)->close());
        QVERIFY(!main.ViewFrame(3)->close());
        QVERIFY(main.ViewFrame(1)->isMinimized());
        main.OnCommand(command);
        for (int i = 0; i < 4; ++i) {
            QVERIFY(!main.ViewFrame(i)->isMinimized());
        }
    }

    // And through the view menu's list of windows, made in creation order.
    QVERIFY(!main.ViewFrame(1)->close());
    main.RebuildWindowList();
    const std::vector<QAction*> entries = main.WindowListActions();
    QCOMPARE(entries.size(), size_t{4});
    QCOMPARE(entries[0]->text(), QStringLiteral("&1 メッセージ情報"));
    QCOMPARE(entries[2]->text(), QStringLiteral("&3 バス占有率"));
    entries[2]->trigger();
    QVERIFY(!main.ViewFrame(1)->isMinimized());
    QCOMPARE(main.MdiArea()->currentSubWindow(), main.ViewFrame(1));
    main.RebuildWindowList();
    QVERIFY(main.WindowListActions()[2]->isChecked());
    QVERIFY(!main.WindowListActions()[0]->isChecked());
    QVERIFY(main.IsCommandEnabled(ID_WINDOW_MANAGER));

    // And through the windows dialog.
    QVERIFY(!main.ViewFrame(3)->close());
    CWindowsDialog dialog(main.MdiArea(), &main);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("ウィンドウ"));
    QCOMPARE(dialog.List()->count(), 4);
    dialog.List()->setCurrentRow(0);
    QCOMPARE(dialog.List()->currentItem()->text(), QStringLiteral("メッセージ情報"));
    QVERIFY(dialog.ActivateSelected());
    QVERIFY(!main.ViewFrame(3)->isMinimized());
    QCOMPARE(main.MdiArea()->currentSubWindow(), main.ViewFrame(3));
}

void ChildFrameTest::toolbarOffersCommandsToTheListFirst() {
    FakeFrameBackend backend;
    CMainFrame main(&backend);
    QVERIFY(main.Create());
    ProbeFrame* frame = AddProbe(main, 0);
    QVERIFY(frame != nullptr);

    QAction* scroll = ActionFor(frame->ToolBar(), ID_MONITOR_SCROLL);
    QAction* clear = ActionFor(frame->ToolBar(), ID_MONITOR_CLEAR);
    QAction* copy = ActionFor(frame->ToolBar(), ID_MONITOR_COPY);
    QVERIFY(scroll && clear && copy);
    frame->UpdateToolBarUi();
    QVERIFY(scroll->isEnabled());
    QVERIFY(scroll->isChecked());  // the list's mark
    QVERIFY(clear->isEnabled());
    QVERIFY(!copy->isEnabled());  // nobody handles it

    scroll->trigger();  // both could: the list comes first
    QCOMPARE(frame->list->ran, 1);
    QVERIFY(frame->ran.empty());
    QVERIFY(!scroll->isChecked());
    clear->trigger();
    QCOMPARE(frame->ran, (std::vector<uint32_t>{ID_MONITOR_CLEAR}));

    // The main menu reaches the frame's own handlers, not the list's.
    main.OnCommand(ID_MONITOR_SCROLL);
    QCOMPARE(frame->list->ran, 1);
    QCOMPARE(frame->ran, (std::vector<uint32_t>{ID_MONITOR_CLEAR, ID_MONITOR_SCROLL}));
}

void ChildFrameTest::contextMenuCommandReachesItsFrame() {
    FakeFrameBackend backend;
    CMainFrame main(&backend);
    QVERIFY(main.Create());
    main.resize(1000, 700);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    ProbeFrame* frame = AddProbe(main, 0);
    QVERIFY(frame != nullptr);
    frame->show();
    // Another frame is active.
    main.MdiArea()->setActiveSubWindow(main.ViewFrame(2));
    QCOMPARE(main.MdiArea()->activeSubWindow(), main.ViewFrame(2));

    QWidget* viewport = frame->list->viewport();
    const QPoint at(20, 40);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &click);
    QMenu* menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr);
    QCOMPARE(menu->title(), QStringLiteral("Menu"));
    QCOMPARE(menu->parentWidget(), &main);  // owned by the main frame
    QCOMPARE(CommandIds(menu), (std::vector<uint32_t>{32781, 0, 32783, 0, 32785, 0, 32787}));
    QVERIFY(!ActionFor(menu, ID_MONITOR_SAVE)->isEnabled());
    QAction* clear = ActionFor(menu, ID_MONITOR_CLEAR);
    QVERIFY(clear->isEnabled());
    clear->trigger();
    menu->close();
    QCOMPARE(frame->ran, (std::vector<uint32_t>{ID_MONITOR_CLEAR}));
    QCOMPARE(frame->list->ran, 0);
}

void ChildFrameTest::focusGoesToTheList() {
    QMdiArea area;
    area.resize(800, 600);
    auto* frame = new ProbeFrame;
    area.addSubWindow(frame);
    QVERIFY(frame->Create(nullptr));
    area.show();
    QVERIFY(QTest::qWaitForWindowActive(&area));
    area.setActiveSubWindow(frame);
    frame->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(frame->list->hasFocus());
}

void ChildFrameTest::userMessagesReachTheFrames() {
    FakeFrameBackend backend;
    backend.channels[0] = Classic(500000);
    CMainFrame main(&backend);
    QVERIFY(main.Create());
    ProbeFrame* probe = AddProbe(main, 3);
    QVERIFY(probe != nullptr);
    int optionsShown = 0;
    main.SetOptionsCommand([&optionsShown] {
        ++optionsShown;
        return true;
    });

    main.OnCommand(ID_COMM_START);
    QCoreApplication::processEvents();
    for (int index = 0; index < 3; ++index) {
        QVERIFY2(main.ViewFrame(index)->ViewTimerActive(), qPrintable(QString::number(index)));
    }
    QCOMPARE(probe->calls.first(), QStringLiteral("start"));
    main.OnCommand(ID_COMM_STOP);
    QCoreApplication::processEvents();
    for (int index = 0; index < 3; ++index) {
        QVERIFY(!main.ViewFrame(index)->ViewTimerActive());
    }
    QCOMPARE(probe->calls.last(), QStringLiteral("stop"));
    main.OnCommand(ID_OPTIONS);
    QCoreApplication::processEvents();
    QCOMPARE(optionsShown, 1);
    QCOMPARE(probe->settingsChanged, 1);
}

void ChildFrameTest::stackOrderRepairsDamagedRanks_data() {
    QTest::addColumn<QList<int>>("orders");
    QTest::addColumn<QList<int>>("expected");  // index of rank 0..3
    QTest::newRow("stored") << QList<int>{1, 0, 3, 2} << QList<int>{1, 0, 3, 2};
    QTest::newRow("defaults") << QList<int>{0, 1, 2, 3} << QList<int>{0, 1, 2, 3};
    QTest::newRow("twice") << QList<int>{2, 2, 0, 0} << QList<int>{2, 1, 0, 3};
    QTest::newRow("out of range") << QList<int>{-1, 9, 1, 1000000} << QList<int>{0, 2, 1, 3};
}

void ChildFrameTest::stackOrderRepairsDamagedRanks() {
    QFETCH(QList<int>, orders);
    QFETCH(QList<int>, expected);
    view_placement::Placements p{};
    for (int i = 0; i < 4; ++i) {
        p[i].order = orders[i];
    }
    const auto order = view_placement::StackOrder(p);
    QCOMPARE((QList<int>{order[0], order[1], order[2], order[3]}), expected);
}

void ChildFrameTest::storedRectRefusesDamagedRecords() {
    using view_placement::StoredRect;
    QCOMPARE(StoredRect(Rect(10, 20, 410, 320, 5, 0)), QRect(10, 20, 400, 300));
    QCOMPARE(StoredRect(Rect(-30, -5, 70, 95, 5, 0)), QRect(-30, -5, 100, 100));
    QVERIFY(StoredRect(Rect(0, 0, 0, 0, 5, 0)).isNull());
    QVERIFY(StoredRect(Rect(400, 20, 10, 320, 5, 0)).isNull());  // right left of left
    QVERIFY(StoredRect(Rect(10, 20, 10, 320, 5, 0)).isNull());   // no width
    QVERIFY(StoredRect(Rect(0, 0, 2000000000, 300, 5, 0)).isNull());
    QVERIFY(StoredRect(Rect(INT32_MIN, 0, 10, 300, 5, 0)).isNull());
}

void ChildFrameTest::noPlacementTiles() {
    FakeFrameBackend backend;  // every rectangle zero
    CMainFrame main(&backend);
    QVERIFY(main.Create());
    main.resize(1200, 800);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const QRect area = main.MdiArea()->viewport()->rect();
    QTRY_VERIFY([&] {
        int covered = 0;
        for (int i = 0; i < 4; ++i) {
            const QRect g = main.ViewFrame(i)->geometry();
            for (int j = i + 1; j < 4; ++j) {
                if (g.intersects(main.ViewFrame(j)->geometry())) {
                    return false;
                }
            }
            covered += g.width() * g.height();
        }
        return covered >= area.width() * area.height() * 95 / 100;
    }());
}

void ChildFrameTest::placementRoundTripThroughCloseAndRestart() {
    FakeFrameBackend backend;
    // Monitor on top, then bus load, message info, statistics; one zero
    // record (statistics) only takes its rank.
    backend.placements[0] = Rect(0, 0, 500, 300, 5, 0);
    backend.placements[1] = Rect(40, 30, 640, 430, 5, 1);
    backend.placements[2] = Rect(0, 0, 0, 0, 5, 3);
    backend.placements[3] = Rect(300, 200, 700, 500, 5, 2);
    ScriptedDialogs dialogs;
    QList<QMdiSubWindow*> stacking;
    {
        CMainFrame main(&backend);
        QVERIFY(main.Create());
        main.resize(1200, 800);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(main.ViewFrame(0)->geometry(), QRect(0, 0, 500, 300));
        QCOMPARE(main.ViewFrame(1)->geometry(), QRect(40, 30, 600, 400));
        QCOMPARE(main.ViewFrame(3)->geometry(), QRect(300, 200, 400, 300));
        stacking = main.MdiArea()->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(stacking.last(), main.ViewFrame(0));  // rank 0 on top
        QCOMPARE(stacking.at(2), main.ViewFrame(1));
        QCOMPARE(stacking.at(1), main.ViewFrame(3));
        QCOMPARE(main.MdiArea()->currentSubWindow(), main.ViewFrame(0));

        // The user moves the bus-load graph, maximises the statistics and
        // closes the program.
        main.MdiArea()->setActiveSubWindow(main.ViewFrame(1));
        main.ViewFrame(1)->setGeometry(100, 50, 700, 450);
        main.MdiArea()->setActiveSubWindow(main.ViewFrame(2));
        const QRect statisticsNormal(120, 80, 320, 240);
        main.ViewFrame(2)->setGeometry(statisticsNormal);
        main.ViewFrame(2)->showMaximized();
        dialogs.answers = {QMessageBox::Yes};
        QVERIFY(main.close());
        for (int i = 0; i < 4; ++i) {
            QVERIFY(main.ViewFrame(i) == nullptr);  // destroyed on the way out
        }
        const FramePlacement& statistics = backend.placements[2];
        QCOMPARE(statistics.showCmd, 3);
        QCOMPARE(statistics.order, 0);
        QCOMPARE(backend.placements[1].order, 1);
        QCOMPARE(backend.placements[1].showCmd, 5);
        // Relative to the top-left-most frame (the monitor at 0, 0).
        QCOMPARE(backend.placements[0].left, 0);
        QCOMPARE(backend.placements[0].top, 0);
        QCOMPARE(QRect(statistics.left, statistics.top, statistics.right - statistics.left,
                       statistics.bottom - statistics.top),
                 statisticsNormal);
        QCOMPARE(backend.placements[1].left, 100);
        QCOMPARE(backend.placements[1].right, 800);
        QList<int> ranks;
        for (const FramePlacement& p : backend.placements) {
            ranks << p.order;
        }
        std::sort(ranks.begin(), ranks.end());
        QCOMPARE(ranks, (QList<int>{0, 1, 2, 3}));
    }
    // Next start: the statistics frame comes back maximised, active, and
    // restores to where it was.
    CMainFrame again(&backend);
    QVERIFY(again.Create());
    again.resize(1200, 800);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QVERIFY(again.ViewFrame(2)->isMaximized());
    QCOMPARE(again.MdiArea()->currentSubWindow(), again.ViewFrame(2));
    again.ViewFrame(2)->showNormal();
    QCOMPARE(again.ViewFrame(2)->geometry(), QRect(120, 80, 320, 240));
    QCOMPARE(again.ViewFrame(1)->geometry(), QRect(100, 50, 700, 450));
}

QTEST_MAIN(ChildFrameTest)
#include "child_frame_test.moc"

// The monitor and message-info windows over a real channel manager on our
// virtual bus: frames injected into the library travel through the receive
// workers into the lists, as on a bench.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMdiArea>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "can/can_manager.h"
#include "candb/candb_manager.h"
#include "res/ids.h"
#include "settings/app_settings.h"
#include "tests/can/manager_test_support.h"
#include "tests/ui/fake_frame_backend.h"
#include "tests/ui/live_views.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/message_info_frame.h"
#include "ui/frame/message_info_list.h"
#include "ui/frame/message_pane.h"
#include "ui/frame/monitor_frame.h"
#include "ui/frame/monitor_list.h"
#include "ui/frame/output_log_pane.h"
#include "ui/frame/user_events.h"

namespace {

// (record number, record count) pairs as the save reports them.
using Reports = QList<QPair<int, int>>;

// Pixels of a row of the monitor list that carry a colour close to c.
int PixelsOf(const QImage& image, const CMonitorList* list, int row, QColor c) {
    const int top = list->HeaderHeight() + (row - list->TopIndex()) * list->RowHeight();
    int n = 0;
    for (int y = top + 2; y < top + list->RowHeight() - 1; ++y) {
        for (int x = list->RowHeaderWidth() + 2; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            n += qAbs(p.red() - c.red()) < 40 && qAbs(p.green() - c.green()) < 40 &&
                 qAbs(p.blue() - c.blue()) < 40;
        }
    }
    return n;
}

QString ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

}  // namespace

class LiveViewsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void monitorDrawsFramesInTheirColours();
    void commandStatesFollowListAndCommunication();
    void lineLimitClearsAndLogs();
    void autoScrollOffKeepsTheViewStill();
    void realtimeSaveSetsCancelsAndRefusesBadFiles();
    void saveProgress_data();
    void saveProgress();
    void saveWritesTheListAndReportsFailure();
    void copiesAfterStopAreExact();
    void messageInfoOrderAndClearWhileRunning();
    void selectionFillsDetailRows();
    void settingsChangedTakesColours();
    void outOfMemoryStopsCommunication();

private:
    std::unique_ptr<Vcan> vcan_;
};

void LiveViewsTest::init() {
    vcan_ = std::make_unique<Vcan>(SORVANE_TEST_CANLIB);
    QVERIFY(vcan_->Ready());
    QCOMPARE(vcan_->configure("[CAN2]\nbus = 2\n"), 0);
}

void LiveViewsTest::monitorDrawsFramesInTheirColours() {
    LiveBackend backend(TwoChannels());
    backend.settings.monitorColorTextOk = 0x00FF0000;  // blue
    backend.settings.monitorColorTextNg = 0x000000FF;  // red
    Views views(backend);
    QVERIFY(views.ok);
    QCOMPARE(backend.Start(), 1);
    const uint8_t data[8] = {0x11, 0x22};
    QVERIFY(vcan_->inject(0, 0x18DAF110, data, 2, kMsgExt) > 0);
    QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == 1; }));
    QCOMPARE(vcan_->failNext("canWrite", -13, 1), 0);
    CanFrameRecord sent{};
    sent.id = 0x100;
    sent.dlc = 1;
    sent.flags = kMsgStd;
    QVERIFY(backend.manager.QueueFrame(sent));
    QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == 2; }));
    QCOMPARE(backend.manager.Frames().At(1).status, kStatusNg);

    Tick(views.monitor);
    QCOMPARE(views.monitor->PaneText(1), QStringLiteral("2"));
    CMonitorList* list = views.monitor->List();
    QImage image = list->viewport()->grab().toImage();
    const QColor blue(0, 0, 255), red(255, 0, 0);
    QVERIFY(PixelsOf(image, list, 0, blue) > 10);
    QCOMPARE(PixelsOf(image, list, 0, red), 0);
    QVERIFY(PixelsOf(image, list, 1, red) > 10);
    // The current row is drawn in the window-text colour, whatever its status.
    list->SetSelection(1, true);
    image = list->viewport()->grab().toImage();
    QCOMPARE(PixelsOf(image, list, 1, red), 0);
    backend.Stop();
}

void LiveViewsTest::commandStatesFollowListAndCommunication() {
    LiveBackend backend(TwoChannels());
    Views views(backend);
    QVERIFY(views.ok);
    CMonitorFrame* m = views.monitor;
    struct Expect {
        uint32_t id;
        bool enabled;
        int checked;
    };
    const auto check = [&](const char* when, std::initializer_list<Expect> expects) {
        for (const Expect& e : expects) {
            const CCmdUI ui = State(m, e.id);
            QVERIFY2(ui.enabled == e.enabled && ui.checked == e.checked,
                     qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(when)).arg(e.id)));
        }
    };
    check("empty, idle", {{ID_MONITOR_SCROLL, true, 1},
                          {ID_MONITOR_COPY, false, -1},
                          {ID_MONITOR_SAVE_SETTING, true, 0},
                          {ID_MONITOR_SAVE, false, -1},
                          {ID_MONITOR_CLEAR, false, -1}});
    QCOMPARE(backend.Start(), 1);
    QVERIFY(InjectMany(*vcan_, backend.manager, 3, 0x10));
    check(
        "records, communicating",
        {{ID_MONITOR_COPY, false, -1}, {ID_MONITOR_SAVE, false, -1}, {ID_MONITOR_CLEAR, true, -1}});
    Run(m, ID_MONITOR_SCROLL);
    check("scroll off", {{ID_MONITOR_SCROLL, true, 0}});
    backend.Stop();
    check("records, idle",
          {{ID_MONITOR_COPY, true, -1}, {ID_MONITOR_SAVE, true, -1}, {ID_MONITOR_CLEAR, true, -1}});
    Run(m, ID_MONITOR_CLEAR);
    QCOMPARE(backend.manager.Frames().Size(), size_t{0});
    QCOMPARE(m->PaneText(1), QStringLiteral("0"));
    check("cleared", {{ID_MONITOR_COPY, false, -1}, {ID_MONITOR_CLEAR, false, -1}});

    // The message-info table outlives the monitor's clear.
    QVERIFY(State(views.info, ID_MESSAGEINFO_COPY).enabled);
    QVERIFY(State(views.info, ID_MESSAGEINFO_CLEAR).enabled);
    Run(views.info, ID_MESSAGEINFO_CLEAR);
    QVERIFY(!State(views.info, ID_MESSAGEINFO_COPY).enabled);
    QVERIFY(!State(views.info, ID_MESSAGEINFO_CLEAR).enabled);
}

void LiveViewsTest::lineLimitClearsAndLogs() {
    LiveBackend backend(TwoChannels());
    QCOMPARE(backend.settings.monitorMaxLine, uint64_t{65535});
    Views views(backend);
    QVERIFY(views.ok);
    LogCapture log;
    QCOMPARE(backend.Start(), 1);
    QVERIFY(InjectMany(*vcan_, backend.manager, 65535, 0x10));
    Tick(views.monitor);
    QCOMPARE(views.monitor->PaneText(1), QStringLiteral("65535"));  // at the limit: kept
    QCOMPARE(log.Count(0, "モニタウィンドウ最大行数Over.ログをクリア (65535)\n"), size_t{0});

    QVERIFY(InjectMany(*vcan_, backend.manager, 1, 0x10));
    Tick(views.monitor);
    QCOMPARE(log.Count(0, "モニタウィンドウ最大行数Over.ログをクリア (65535)\n"), size_t{1});
    QCOMPARE(views.monitor->PaneText(1), QStringLiteral("0"));
    QCOMPARE(views.monitor->ClearedRecords(), uint64_t{65536});
    // The workers go on appending to the emptied list.
    QVERIFY(InjectMany(*vcan_, backend.manager, 5, 0x10));
    Tick(views.monitor);
    QCOMPARE(views.monitor->PaneText(1), QStringLiteral("5"));
    backend.Stop();
}

void LiveViewsTest::autoScrollOffKeepsTheViewStill() {
    LiveBackend backend(TwoChannels());
    Views views(backend);
    QVERIFY(views.ok);
    CMonitorList* list = views.monitor->List();
    QCOMPARE(backend.Start(), 1);
    QVERIFY(InjectMany(*vcan_, backend.manager, 200, 0x10));
    Tick(views.monitor);
    QVERIFY(list->VisibleRows() > 5);
    QCOMPARE(list->TopIndex(), 200 - list->VisibleRows());

    Run(views.monitor, ID_MONITOR_SCROLL);
    QVERIFY(!list->AutoScroll());
    const int still = list->TopIndex();
    QVERIFY(InjectMany(*vcan_, backend.manager, 100, 0x10));
    Tick(views.monitor);
    QCOMPARE(list->TopIndex(), still);

    Run(views.monitor, ID_MONITOR_SCROLL);
    QCOMPARE(list->TopIndex(), still);  // it jumps at the next tick, not before
    Tick(views.monitor);
    QCOMPARE(list->TopIndex(), 300 - list->VisibleRows());
    backend.Stop();
}

void LiveViewsTest::realtimeSaveSetsCancelsAndRefusesBadFiles() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("live.txt"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content\r\n");
    }
    LiveBackend backend(TwoChannels());
    ScriptedDialogs dialogs;
    {
        Views views(backend);
        QVERIFY(views.ok);
        dialogs.fileAnswers = {path};
        Run(views.monitor, ID_MONITOR_SAVE_SETTING);
        QCOMPARE(dialogs.files.size(), size_t{1});
        QCOMPARE(dialogs.files[0].titleId, uint32_t{IDS_MONITOR_SAVE_TITLE});
        QCOMPARE(dialogs.files[0].filterId, uint32_t{IDS_FILTER_MONITOR_FORMATS});
        QCOMPARE(dialogs.files[0].defaultExtension, QStringLiteral("txt"));
        QCOMPARE(views.monitor->PaneText(0), QStringLiteral("live.txt に保存中..."));
        QCOMPARE(State(views.monitor, ID_MONITOR_SAVE_SETTING).checked, 1);

        QCOMPARE(backend.Start(), 1);
        QVERIFY(InjectMany(*vcan_, backend.manager, 3, 0x123));
        // Set: the command cancels at once, with no question.
        Run(views.monitor, ID_MONITOR_SAVE_SETTING);
        QCOMPARE(dialogs.files.size(), size_t{1});
        QCOMPARE(views.monitor->PaneText(0), QStringLiteral(" "));
        QCOMPARE(State(views.monitor, ID_MONITOR_SAVE_SETTING).checked, 0);
        QVERIFY(InjectMany(*vcan_, backend.manager, 2, 0x124));
        backend.Stop();
        // The old file was replaced; the three frames while it was set are in it.
        const QString text = ReadFile(path);
        QCOMPARE(text.count(QStringLiteral("\r\n")), 3);
        QCOMPARE(text.count(QStringLiteral("00000123")), 3);
        QVERIFY(!text.contains(QStringLiteral("old content")));

        // Set again, then communication stops: the pane no longer says saving.
        dialogs.fileAnswers = {path};
        Run(views.monitor, ID_MONITOR_SAVE_SETTING);
        QCOMPARE(backend.Start(), 1);
        backend.Stop();
        Tick(views.monitor);
        QCOMPARE(views.monitor->PaneText(0), QStringLiteral(" "));

        // A file that cannot be opened is refused with a message.
        dialogs.fileAnswers = {dir.filePath(QStringLiteral("missing/live.txt"))};
        Run(views.monitor, ID_MONITOR_SAVE_SETTING);
        QCOMPARE(dialogs.boxes.size(), size_t{1});
        QCOMPARE(dialogs.boxes[0].stringId, uint32_t{IDS_ERR_MONITOR_LOG_OPEN});
        QVERIFY(dialogs.boxes[0].text.contains(QStringLiteral("missing")));
        QVERIFY(backend.manager.RealtimeLogName().empty());

        dialogs.fileAnswers = {path};
        Run(views.monitor, ID_MONITOR_SAVE_SETTING);
        QVERIFY(!backend.manager.RealtimeLogName().empty());
    }
    // Destroying the window cancels the real-time file.
    QVERIFY(backend.manager.RealtimeLogName().empty());
}

void LiveViewsTest::saveProgress_data() {
    QTest::addColumn<Reports>("reports");  // (record number, record count)
    QTest::addColumn<int>("value");        // -1: no bar left
    QTest::newRow("single record") << Reports{{1, 1}} << -1;
    QTest::newRow("first of three") << Reports{{1, 3}} << 0;
    QTest::newRow("second of three") << Reports{{1, 3}, {2, 3}} << 66;
    QTest::newRow("last of three") << Reports{{1, 3}, {2, 3}, {3, 3}} << -1;
    QTest::newRow("no bar without a first report") << Reports{{2, 3}} << -1;
}

void LiveViewsTest::saveProgress() {
    QFETCH(Reports, reports);
    QFETCH(int, value);
    LiveBackend backend(TwoChannels());
    Views views(backend);
    QVERIFY(views.ok);
    for (const auto& [n, count] : reports) {
        CSaveProgressEvent event(static_cast<size_t>(n), static_cast<size_t>(count));
        QCoreApplication::sendEvent(views.monitor, &event);
    }
    if (value < 0) {
        QVERIFY(views.monitor->ProgressBar() == nullptr);
    } else {
        QVERIFY(views.monitor->ProgressBar() != nullptr);
        QCOMPARE(views.monitor->ProgressBar()->value(), value);
        QCOMPARE(views.monitor->ProgressBar()->maximum(), 100);
    }
}

// Records the progress reports that reach the frame.
class ProgressWatch : public QObject {
public:
    QList<QPair<size_t, size_t>> reports;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == kEventSaveProgress) {
            const auto* p = static_cast<CSaveProgressEvent*>(event);
            reports.append({p->Number(), p->Count()});
        }
        return false;
    }
};

void LiveViewsTest::saveWritesTheListAndReportsFailure() {
    QTemporaryDir dir;
    LiveBackend backend(TwoChannels());
    ScriptedDialogs dialogs;
    Views views(backend);
    QVERIFY(views.ok);
    ProgressWatch watch;
    views.monitor->installEventFilter(&watch);
    QCOMPARE(backend.Start(), 1);
    QVERIFY(InjectMany(*vcan_, backend.manager, 1000, 0x321));
    backend.Stop();

    const QString path = dir.filePath(QStringLiteral("saved.txt"));
    dialogs.fileAnswers = {path};
    Run(views.monitor, ID_MONITOR_SAVE);
    QCOMPARE(dialogs.files.back().titleId, uint32_t{IDS_MONITOR_SAVE_TITLE});
    const QString text = ReadFile(path);
    QVERIFY(text.startsWith(QStringLiteral(
        "Chn Identifier Flg   DLC  D0...1...2...3...4...5...6..D7       Time     Dir\r\n")));
    QCOMPARE(text.count(QStringLiteral("\r\n")), 1001);
    // One report per percent, from the first record to the last; the bar is gone.
    QVERIFY(watch.reports.size() >= 100 && watch.reports.size() <= 102);
    QCOMPARE(watch.reports.front(), (QPair<size_t, size_t>{1, 1000}));
    QCOMPARE(watch.reports.back(), (QPair<size_t, size_t>{1000, 1000}));
    QVERIFY(views.monitor->ProgressBar() == nullptr);
    QVERIFY(dialogs.boxes.empty());

    dialogs.fileAnswers = {dir.filePath(QStringLiteral("missing/saved.txt"))};
    Run(views.monitor, ID_MONITOR_SAVE);
    QCOMPARE(dialogs.boxes.size(), size_t{1});
    QCOMPARE(dialogs.boxes[0].stringId, uint32_t{IDS_ERR_MONITOR_SAVE});
    QVERIFY(views.monitor->ProgressBar() == nullptr);
}

void LiveViewsTest::copiesAfterStopAreExact() {
    LiveBackend backend(TwoChannels());
    Views views(backend);
    QVERIFY(views.ok);
    QCOMPARE(backend.Start(), 1);
    const uint8_t bytes[20] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9,
                               0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3};
    QVERIFY(vcan_->inject(0, 0x123, bytes, 3, kMsgStd) > 0);
    QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == 1; }));
    QVERIFY(vcan_->inject(1, 0x18DAF110, bytes, 20, kMsgExt | kFdMsgFdf | kFdMsgBrs) > 0);
    QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == 2; }));
    QVERIFY(vcan_->inject(0, 0x7FF, bytes, 0, kMsgStd) > 0);
    QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == 3; }));
    backend.Stop();

    const auto time = [&](size_t i) {
        const double seconds = backend.manager.Frames().At(i).timestamp / 1000000.0;
        return QString::asprintf("%13s", qPrintable(QString::asprintf("  %-6.6f", seconds)));
    };
    QApplication::clipboard()->clear();
    Run(views.monitor, ID_MONITOR_COPY);
    const QString expected =
        QStringLiteral(
            "Chn Identifier Flg   DLC  D0...1...2...3...4...5...6..D7       Time     Dir\n") +
        QStringLiteral(" 0    00000123         3  A0  A1  A2                      ") + time(0) +
        QStringLiteral(" R\n") +
        QStringLiteral(" 1    18DAF110  EFB   14  A0  A1  A2  A3  A4  A5  A6  A7  ") + time(1) +
        QStringLiteral(" R\n                          A8  A9  AA  AB  AC  AD  AE  AF\n") +
        QStringLiteral("                          B0  B1  B2  B3\n") +
        QStringLiteral(" 0    000007FF         0  00                              ") + time(2) +
        QStringLiteral(" R\n");
    QCOMPARE(QApplication::clipboard()->text(), expected);

    // In key order: 0x18DAF110 ranks by its low 16 bits, 0xF110.
    Run(views.info, ID_MESSAGEINFO_COPY);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("CAN  Dir   Type  ID    DLC  Cycle(ms)      Count\n"
                            " 0    R          123   03       0.000          1\n"
                            " 0    R          7FF   00       0.000          1\n"
                            " 1    R   EFB    110   14       0.000          1\n"));
}

void LiveViewsTest::messageInfoOrderAndClearWhileRunning() {
    LiveBackend backend(TwoChannels());
    Views views(backend);
    QVERIFY(views.ok);
    QCOMPARE(backend.Start(), 1);
    const uint8_t data[8] = {};
    size_t n = 0;
    const auto received = [&](int channel, long id) {
        QVERIFY(vcan_->inject(channel, id, data, 8, kMsgStd) > 0);
        QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == n + 1; }));
        ++n;
    };
    received(0, 0x200);
    received(1, 0x100);
    received(0, 0x100);
    CanFrameRecord sent{};
    sent.id = 0x100;
    sent.dlc = 8;
    sent.flags = kMsgStd;
    QVERIFY(backend.manager.QueueFrame(sent));
    QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == n + 1; }));
    ++n;
    received(0, 0x100);

    QVERIFY(!State(views.info, ID_MESSAGEINFO_COPY).enabled);  // communicating
    QVERIFY(State(views.info, ID_MESSAGEINFO_CLEAR).enabled);
    // Identifier first, then sent before received, then channel.
    const std::vector<MessageInfoEntry> rows = backend.manager.MessageInfo();
    QCOMPARE(rows.size(), size_t{4});
    const std::vector<std::tuple<uint32_t, int, int, uint32_t>> order = {
        {0x100, 0, 0, 1}, {0x100, 1, 0, 2}, {0x100, 1, 1, 1}, {0x200, 1, 0, 1}};
    for (size_t i = 0; i < order.size(); ++i) {
        const auto& [id, direction, channel, count] = order[i];
        QCOMPARE(rows[i].id, id);
        QCOMPARE(int{rows[i].direction}, direction);
        QCOMPARE(int{rows[i].channel}, channel);
        QCOMPARE(rows[i].count, count);
    }
    Tick(views.info);
    QCOMPARE(views.info->List()->TopIndex(), 0);

    Run(views.info, ID_MESSAGEINFO_CLEAR);
    QCOMPARE(backend.manager.MessageInfoCount(), size_t{0});
    QVERIFY(!State(views.info, ID_MESSAGEINFO_CLEAR).enabled);
    received(0, 0x100);
    received(0, 0x100);
    received(1, 0x300);
    backend.Stop();
    Run(views.info, ID_MESSAGEINFO_COPY);
    const QString copied = QApplication::clipboard()->text();
    const QStringList lines = copied.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[1].startsWith(QStringLiteral(" 0    R          100   08  ")));
    QVERIFY(lines[1].endsWith(QStringLiteral("          2")));  // counts from 1 again
    QVERIFY(lines[2].endsWith(QStringLiteral("          1")));
}

void LiveViewsTest::selectionFillsDetailRows() {
    LiveBackend backend(TwoChannels());
    CandbSignal speed;
    speed.name = "Speed";
    speed.unit = "rpm";
    speed.factor = 1;
    speed.representationType = 2;
    speed.startBit = 0;
    speed.length = 16;
    CandbSignal mode = speed;
    mode.name = "Mode";
    mode.unit = "";
    mode.startBit = 16;
    mode.length = 8;
    mode.enumValues = std::vector<CandbEnumValue>{{0, "Off"}, {2, "Run"}};
    CandbMessage message;
    message.name = "Engine";
    message.id = 0x123;
    message.signals = std::vector<CandbSignal>{mode, speed};
    backend.candb.messages = {message};

    Views views(backend);

    QVERIFY(views.ok);
    QCOMPARE(backend.Start(), 1);
    const uint8_t known[3] = {0x34, 0x12, 0x02};
    QVERIFY(vcan_->inject(0, 0x123, known, 3, kMsgStd) > 0);
    QVERIFY(vcan_->inject(0, 0x456, known, 3, kMsgStd) > 0);
    QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == 2; }));
    backend.Stop();
    Tick(views.monitor);

    CMessageDetailList* detail = views.monitor->MessagePane()->List();
    QVERIFY(detail->Texts().empty());
    views.monitor->List()->SetSelection(0, true);
    const std::vector<std::string> decoded = {"Mode",  "2 (0002) ",       "Run",
                                              "Speed", "4660 (1234) rpm", ""};
    QCOMPARE(detail->Texts(), decoded);
    // A frame no database knows leaves the rows as they were.
    views.monitor->List()->SetSelection(1, true);
    QCOMPARE(detail->Texts(), decoded);
    QVERIFY(views.monitor->MessagePane()->windowTitle().endsWith(QStringLiteral("メッセージ詳細")));
}

void LiveViewsTest::settingsChangedTakesColours() {
    LiveBackend backend(TwoChannels());
    backend.settings.messageInfoColorBkgnd = 0x00CCFFCC;
    Views views(backend);
    QVERIFY(views.ok);
    // The stored background shows from the start.
    QCOMPARE(views.info->List()->BackgroundColor(), QColor(0xCC, 0xFF, 0xCC));
    backend.settings.monitorColorBkgnd = 0x00112233;
    backend.settings.messageInfoColorBkgnd = 0x00445566;
    backend.settings.messageDetailColorBkgnd = 0x00778899;
    for (CChildFrmBase* frame :
         {static_cast<CChildFrmBase*>(views.monitor), static_cast<CChildFrmBase*>(views.info)}) {
        QEvent changed(kEventSettingsChanged);
        QCoreApplication::sendEvent(frame, &changed);
    }
    QCOMPARE(views.monitor->List()->BackgroundColor(), QColor(0x33, 0x22, 0x11));
    QCOMPARE(views.info->List()->BackgroundColor(), QColor(0x66, 0x55, 0x44));
    QCOMPARE(views.monitor->MessagePane()->List()->BackgroundColor(), QColor(0x99, 0x88, 0x77));
}

void LiveViewsTest::outOfMemoryStopsCommunication() {
    LiveBackend backend(TwoChannels());
    backend.manager.SetFrameListLimit(5);
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    frame.OnCommand(ID_COMM_START);
    QVERIFY(backend.Connected());
    QCoreApplication::processEvents();
    QVERIFY(frame.ViewFrame(0)->ViewTimerActive());
    const uint8_t data[8] = {};
    for (int i = 0; i < 10; ++i) {
        QVERIFY(vcan_->inject(0, 0x100, data, 8, kMsgStd) > 0);
    }
    // The frame's timer notices the dead workers and stops as the stop command does.
    QTRY_VERIFY_WITH_TIMEOUT(!backend.Connected(), 3000);
    QCoreApplication::processEvents();
    QCOMPARE(frame.PaneText(8), QStringLiteral(" "));
    QVERIFY(frame.IsCommandEnabled(ID_COMM_START));
    QVERIFY(!frame.ViewFrame(0)->ViewTimerActive());
    frame.LogPane()->FlushPending();
    QVERIFY(frame.LogPane()->Edit()->toPlainText().contains(
        QStringLiteral("[E] CAN1 [FrameList] Out of memory: communication ended.")));
    QCOMPARE(backend.manager.Frames().Size(), size_t{5});
}

QTEST_MAIN(LiveViewsTest)
#include "live_views_test.moc"

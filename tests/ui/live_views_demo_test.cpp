// The statistics window and the bus-load graph in the program as run.sh
// starts it: our CAN library with the demo bus, driven through the main
// frame. The library's test control pins CAN1's bus load, so that the
// threshold warnings are known in advance.
#include <dlfcn.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include "app/sorvane_app.h"
#include "can/can_manager.h"
#include "res/ids.h"
#include "settings/app_settings.h"
#include "tests/ui/demo_environment.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/output_log_pane.h"
#include "ui/frame/statistics_frame.h"

namespace {

using SetBusLoad = int (*)(int, long);

QString LogText(CMainFrame* frame) {
    frame->LogPane()->FlushPending();
    return frame->LogPane()->Edit()->toPlainText();
}

// Waits for n more statistics passes of CAN1 (one per tick of the
// statistics window).
bool WaitForPasses(CCanManager* manager, size_t n) {
    const size_t target = manager->BusLoadHistoryValues(0).size() + n;
    QElapsedTimer timer;
    timer.start();
    while (manager->BusLoadHistoryValues(0).size() < target) {
        if (timer.elapsed() > 5000 + 1000 * static_cast<qint64>(n)) {
            return false;
        }
        QTest::qWait(20);
    }
    return true;
}

}  // namespace

class LiveViewsDemoTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void statisticsKeepCountingAndWarnOncePerNewPeak();
};

void LiveViewsDemoTest::statisticsKeepCountingAndWarnOncePerNewPeak() {
    ScriptedDialogs dialogs;
    auto* app = static_cast<CSorvaneApp*>(QCoreApplication::instance());
    QVERIFY(app->InitInstance());
    CMainFrame* frame = app->MainFrame();
    QVERIFY(frame != nullptr);
    CCanManager* manager = app->Manager();
    app->Settings().busLoadThreshold = 25;  // the demo's CAN1 runs at about 24 %

    void* library = dlopen(SORVANE_TEST_CANLIB, RTLD_NOW | RTLD_NOLOAD);
    QVERIFY(library != nullptr);
    auto setBusLoad = reinterpret_cast<SetBusLoad>(dlsym(library, "vcanTestSetBusLoad"));
    QVERIFY(setBusLoad != nullptr);
    QCOMPARE(setBusLoad(0, 2000), 0);

    frame->OnCommand(ID_COMM_START);
    QVERIFY(manager->Connected());
    QVERIFY(WaitForPasses(manager, 2));
    // Past the first pass the counts and the rate go on.
    const ChannelStatistics early = manager->Statistics(0);
    QVERIFY(WaitForPasses(manager, 2));
    const ChannelStatistics later = manager->Statistics(0);
    QVERIFY2(later.rxTotal > early.rxTotal + 100, qPrintable(QString::number(later.rxTotal)));
    QVERIFY(later.rxPerSecond > 500);
    QVERIFY(!LogText(frame).contains(QStringLiteral("Busload Over")));

    const QString warning = QStringLiteral("[W] CAN1 Busload Over Threshould.");
    QCOMPARE(setBusLoad(0, 3000), 0);
    QTRY_VERIFY_WITH_TIMEOUT(LogText(frame).contains(warning + QStringLiteral(" (30%)")), 5000);
    QVERIFY(WaitForPasses(manager, 3));
    QCOMPARE(LogText(frame).count(warning), 1);  // staying above warns once
    QCOMPARE(setBusLoad(0, 3500), 0);
    QTRY_VERIFY_WITH_TIMEOUT(LogText(frame).contains(warning + QStringLiteral(" (35%)")), 5000);
    QVERIFY(WaitForPasses(manager, 2));
    QCOMPARE(LogText(frame).count(warning), 2);
    QVERIFY(!LogText(frame).contains(QStringLiteral("CAN2 Busload Over")));
    QCOMPARE(manager->BusLoadHistoryValues(0).front(), 3500u);

    auto* statistics = qobject_cast<CStatisticsFrame*>(frame->ViewFrame(2));
    QVERIFY(statistics != nullptr);
    QVERIFY(!frame->IsCommandEnabled(ID_STATISTICS_COPY));
    frame->OnCommand(ID_COMM_STOP);
    QVERIFY(frame->IsCommandEnabled(ID_STATISTICS_COPY));
    QGuiApplication::clipboard()->clear();
    frame->OnCommand(ID_STATISTICS_COPY);
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n');
    QCOMPARE(lines.size(), 15);
    const ChannelStatistics can1 = manager->Statistics(0);
    const ChannelStatistics can2 = manager->Statistics(1);
    const QString blank3(30, u' ');
    const auto load = [](uint32_t v) {
        return QString::asprintf("%10s", qPrintable(QString::asprintf("%.2f %%", v / 100.0)));
    };
    QCOMPARE(lines[1], QStringLiteral("バス占有率") + QString(18, u' ') + load(3500) +
                           load(can2.bus.busLoad) + blank3);
    QCOMPARE(lines[2], QStringLiteral("バス占有率 (最大)") + QString(11, u' ') + load(3500) +
                           load(can2.busLoadPeak) + blank3);
    QCOMPARE(lines[4], QStringLiteral("受信メッセージ (Total)") + QString(6, u' ') +
                           QString::asprintf("%10u%10u", can1.rxTotal, can2.rxTotal) + blank3);

    dialogs.answers = {QMessageBox::Yes};
    QVERIFY(frame->close());
    app->ExitInstance();
}

int main(int argc, char** argv) {
    QTemporaryDir dir;
    if (!UseDemoEnvironment(dir)) {
        return 2;
    }
    CSorvaneApp app(argc, argv);
    LiveViewsDemoTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "live_views_demo_test.moc"

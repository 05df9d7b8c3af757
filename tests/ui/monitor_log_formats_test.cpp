// The monitor window's two save commands in the three log formats: the file
// type chosen in the dialog decides, the monitor log first and chosen.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "can/log_reader.h"
#include "res/ids.h"
#include "res/resources.h"
#include "tests/can/log_test_support.h"
#include "tests/ui/fake_frame_backend.h"
#include "tests/ui/live_views.h"
#include "ui/frame/dialog_service.h"
#include "ui/frame/monitor_frame.h"

namespace {

std::string ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

}  // namespace

class MonitorLogFormatsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void dialogOffersTheThreeFormatsOursFirst();
    void savesInTheChosenFormat_data();
    void savesInTheChosenFormat();

private:
    std::unique_ptr<Vcan> vcan_;
};

void MonitorLogFormatsTest::init() {
    vcan_ = std::make_unique<Vcan>(SORVANE_TEST_CANLIB);
    QVERIFY(vcan_->Ready());
    QCOMPARE(vcan_->configure("[CAN2]\nbus = 2\n"), 0);
}

void MonitorLogFormatsTest::dialogOffersTheThreeFormatsOursFirst() {
    const QString filter =
        CDialogService::QtFilter(res::Resources::Instance().String(IDS_FILTER_MONITOR_FORMATS));
    const QStringList types = filter.split(QStringLiteral(";;"));
    QCOMPARE(types.size(), 4);
    QVERIFY(types[0].endsWith(QStringLiteral("(*.txt)")));
    QVERIFY(types[1].endsWith(QStringLiteral("(*.log)")));
    QVERIFY(types[2].endsWith(QStringLiteral("(*.asc)")));
    QVERIFY(types[3].endsWith(QStringLiteral("(*.*)")));

    LiveBackend backend(TwoChannels());
    ScriptedDialogs dialogs;
    Views views(backend);
    QVERIFY(views.ok);
    Run(views.monitor, ID_MONITOR_SAVE_SETTING);  // cancelled
    QCOMPARE(dialogs.files.size(), size_t{1});
    const CDialogService::FileRequest& asked = dialogs.files[0];
    QCOMPARE(asked.filterId, uint32_t{IDS_FILTER_MONITOR_FORMATS});
    QCOMPARE(asked.defaultExtension, QStringLiteral("txt"));
    QCOMPARE(asked.filterExtensions, QStringList({QStringLiteral("txt"), QStringLiteral("log"),
                                                  QStringLiteral("asc"), QString()}));
    QVERIFY(asked.chosenFilter != nullptr);
}

void MonitorLogFormatsTest::savesInTheChosenFormat_data() {
    QTest::addColumn<int>("type");  // index in the filter
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format");
    QTest::newRow("monitor") << 0 << QStringLiteral("a.txt") << int(LogFormat::Monitor);
    QTest::newRow("candump") << 1 << QStringLiteral("a.log") << int(LogFormat::Candump);
    QTest::newRow("asc") << 2 << QStringLiteral("a.asc") << int(LogFormat::Asc);
    QTest::newRow("the type wins over the name")
        << 2 << QStringLiteral("a.txt") << int(LogFormat::Asc);
    QTest::newRow("all files: the name tells")
        << 3 << QStringLiteral("a.log") << int(LogFormat::Candump);
    QTest::newRow("all files: else ours")
        << 3 << QStringLiteral("a.dat") << int(LogFormat::Monitor);
}

// The live file and the whole list in the format chosen: read back, both
// hold the frames the list holds.
void MonitorLogFormatsTest::savesInTheChosenFormat() {
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(int, format);
    QTemporaryDir dir;
    const QString live = dir.filePath(QStringLiteral("live-") + name);
    const QString saved = dir.filePath(name);
    LiveBackend backend(TwoChannels());
    ScriptedDialogs dialogs;
    Views views(backend);
    QVERIFY(views.ok);
    dialogs.fileAnswers = {live};
    dialogs.filterAnswers = {type};
    Run(views.monitor, ID_MONITOR_SAVE_SETTING);
    QCOMPARE(backend.Start(), 1);
    const uint8_t bytes[20] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9,
                               0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3};
    QVERIFY(vcan_->inject(0, 0x123, bytes, 3, kMsgStd) > 0);
    QVERIFY(vcan_->inject(1, 0x18DAF110, bytes, 20, kMsgExt | kFdMsgFdf | kFdMsgBrs) > 0);
    QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == 2; }));
    backend.Stop();

    dialogs.fileAnswers = {saved};
    dialogs.filterAnswers = {type};
    Run(views.monitor, ID_MONITOR_SAVE);
    QVERIFY(dialogs.boxes.empty());
    for (const QString& path : {live, saved}) {
        const log_test::ReadResult back =
            log_test::Read(static_cast<LogFormat>(format), ReadAll(path));
        QVERIFY2(back.ok, back.error.c_str());
        QCOMPARE(back.frames.size(), size_t{2});
        for (size_t i = 0; i < 2; ++i) {
            QCOMPARE(log_test::Show(back.frames[i]),
                     log_test::Show(LogFrameOf(backend.manager.Frames().At(i))));
        }
        const std::string text = ReadAll(path);
        QCOMPARE(GuessLogFormat(text).value_or(LogFormat::Monitor), static_cast<LogFormat>(format));
    }
}

QTEST_MAIN(MonitorLogFormatsTest)
#include "monitor_log_formats_test.moc"

// The options sheet in a whole program: first start without settings, Yes to
// the set-up question, a channel set on its page, then F10 with a preset and
// another look, each time started on our CAN library's virtual bus.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/sorvane_app.h"
#include "can/can_manager.h"
#include "platform/os/registry.h"
#include "res/ids.h"
#include "settings/app_settings.h"
#include "settings/settings_codec.h"
#include "settings/settings_store.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/dialogs/bus_param_preset_dlg.h"
#include "ui/dialogs/option_page_can.h"
#include "ui/dialogs/option_page_common.h"
#include "ui/dialogs/option_prop_sheet.h"
#include "ui/frame/app_look.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/output_log_pane.h"

namespace {

QString LogText(CMainFrame* frame) {
    frame->LogPane()->FlushPending();
    return frame->LogPane()->Edit()->toPlainText();
}

QByteArray SettingsFile() {
    QFile file(qEnvironmentVariable("SORVANE_SETTINGS_FILE"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Acts on the next modal dialog of that class once it is up.
template <class Dialog>
void WhenShown(std::function<void(Dialog*)> act, bool* done) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act, done] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        act(dialog);
        *done = true;
        // A check that failed inside act left it open: close it, do not hang.
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    timer->start();
}

void SetTiming(const COptionPageCan::PhaseControls& phase, int bitrate, const char* sjw,
               const char* tseg1, const char* tseg2) {
    phase.bitrate->setCurrentIndex(phase.bitrate->findData(bitrate));
    phase.sjw->setText(QString::fromLatin1(sjw));
    phase.tseg1->setText(QString::fromLatin1(tseg1));
    phase.tseg2->setText(QString::fromLatin1(tseg2));
}

}  // namespace

class OptionSessionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstStartAndF10ReachTheBus();
};

void OptionSessionTest::firstStartAndF10ReachTheBus() {
    ScriptedDialogs dialogs;
    dialogs.answers = {QMessageBox::Yes};
    auto* app = static_cast<CSorvaneApp*>(QCoreApplication::instance());

    // First start: the sheet opens on the Common page; CAN1 gets a timing
    // that does not fit the controller's clock (17 quanta at 250 kbit/s).
    bool firstShown = false;
    WhenShown<COptionPropSheet>(
        [](COptionPropSheet* sheet) {
            QCOMPARE(sheet->ActivePage(), static_cast<COptionPage*>(sheet->CommonPage()));
            COptionPageCan* can1 = sheet->CanPage(0);
            sheet->SetActivePage(can1);
            can1->EnableCheck()->click();
            SetTiming(can1->Phase(0), 250000, "1", "14", "2");
            QTest::mouseClick(sheet->OkButton(), Qt::LeftButton);
        },
        &firstShown);
    QVERIFY(app->InitInstance());
    QVERIFY(firstShown);
    QCOMPARE(dialogs.boxes.size(), size_t{1});
    QCOMPARE(dialogs.boxes[0].stringId, uint32_t{IDS_FIRST_START});
    // The defaults and then the channel are in the file before the frame exists.
    QVERIFY(SettingsFile().contains("\"CAN1\"=hex:01,00,00,00,00,00,00,00,90,d0,03,00,0e,"));
    QVERIFY(SettingsFile().contains("\"Threshould\"=dword:00000050"));
    CMainFrame* frame = app->MainFrame();
    QVERIFY(frame != nullptr);
    QCOMPARE(frame->PaneText(3), QStringLiteral("CAN1 (CAN): 250Kbps"));

    frame->OnCommand(ID_COMM_START);
    QVERIFY2(LogText(frame).contains(QStringLiteral("[E] CAN1 [canSetBusParams]")),
             qPrintable(LogText(frame)));
    if (app->Manager()->Connected()) {
        frame->OnCommand(ID_COMM_STOP);
    }

    // F10 opens on CAN1, the page used last; a preset mends the timing and
    // the Common page picks another look.
    bool sheetShown = false;
    bool presetShown = false;
    WhenShown<COptionPropSheet>(
        [&presetShown](COptionPropSheet* sheet) {
            COptionPageCan* can1 = sheet->CanPage(0);
            QCOMPARE(sheet->ActivePage(), static_cast<COptionPage*>(can1));
            QCOMPARE(can1->Phase(0).tseg1->text(), QStringLiteral("14"));
            WhenShown<CBusParamPresetDlg>(
                [](CBusParamPresetDlg* presets) {
                    QTableWidget* list = presets->List();
                    QCOMPARE(list->rowCount(), 24);
                    QVERIFY(list->selectionModel()->selectedRows().isEmpty());
                    const int row = 13;  // 250 kbit/s, 87.5 %
                    QCOMPARE(list->item(row, 0)->text(), QStringLiteral("250000 bps"));
                    QCOMPARE(list->item(row, 1)->text(), QStringLiteral("87.5 %"));
                    const QPoint at = list->visualItemRect(list->item(row, 1)).center();
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
                },
                &presetShown);
            QTest::mouseClick(can1->Phase(0).preset, Qt::LeftButton);
            QCOMPARE(can1->Phase(0).tseg1->text(), QStringLiteral("13"));
            sheet->SetActivePage(sheet->CommonPage());
            QComboBox* look = sheet->CommonPage()->LookCombo();
            look->setCurrentIndex(look->findData(ID_VIEW_APPLOOK_WIN_2000));
            sheet->CommonPage()->ThresholdEdit()->setText(QStringLiteral("150"));
            QTest::mouseClick(sheet->OkButton(), Qt::LeftButton);
        },
        &sheetShown);
    frame->OnCommand(ID_OPTIONS);
    QVERIFY(sheetShown);
    QVERIFY(presetShown);
    QCOMPARE(app->Settings().appLook, uint32_t{ID_VIEW_APPLOOK_WIN_2000});
    QCOMPARE(app_look::Current(), uint32_t{ID_VIEW_APPLOOK_WIN_2000});
    QVERIFY(SettingsFile().contains("\"ApplicationLook\"=dword:0000802d"));
    QVERIFY(SettingsFile().contains("\"CAN1\"=hex:01,00,00,00,00,00,00,00,90,d0,03,00,0d,"));

    // The next start takes the new timing: the library accepts it.
    frame->OnCommand(ID_COMM_START);
    QVERIFY(app->Manager()->Connected());
    const QString log = LogText(frame);
    for (const char* line :
         {"[I] CAN1 [canSetBusParams] succeed.", "[I] CAN1 [canBusOn] succeed."}) {
        QVERIFY2(log.contains(QLatin1String(line)), line);
    }
    frame->OnCommand(ID_COMM_STOP);

    dialogs.answers = {QMessageBox::Yes};
    QVERIFY(frame->close());
    app->ExitInstance();

    // What the next start of the program finds: the typed threshold was
    // stored as it stood and loads as the default.
    QVERIFY(SettingsFile().contains("\"Threshould\"=dword:00000096"));
    AppSettings next;
    os::Registry registry(os::Registry::DefaultFilePath(kVendorKey));
    QVERIFY(ReadStoredSettings(next, registry));
    QCOMPARE(next.busLoadThreshold, 80u);
    QCOMPARE(next.appLook, uint32_t{ID_VIEW_APPLOOK_WIN_2000});
    QCOMPARE(next.can[0].enabled, 1);
    QCOMPARE(next.can[0].arbitration.bitrate, 250000);
    QCOMPARE(next.can[0].arbitration.tseg1, 13u);
}

int main(int argc, char** argv) {
    QTemporaryDir dir;
    // No settings file yet: the first start asks.
    qputenv("SORVANE_SETTINGS_FILE", dir.filePath(QStringLiteral("Sorvane.ini")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    qputenv("SORVANE_CANLIB", SORVANE_TEST_CANLIB);
    qputenv("SORVANE_KVADBLIB", SORVANE_TEST_KVADBLIB);
    qputenv("SORVANE_VCAN_CONFIG", SORVANE_DEMO_DIR "/vcan-demo.ini");
    qputenv("LANGUAGE", "ja_JP");
    qputenv("LC_ALL", "ja_JP.UTF-8");
    CSorvaneApp app(argc, argv);
    OptionSessionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "option_session_test.moc"

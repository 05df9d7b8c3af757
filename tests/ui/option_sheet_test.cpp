// The options sheet with its Common and channel pages, driven through their
// controls as a user would.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <cstring>

#include "controls/group_box.h"
#include "controls/spin_button.h"
#include "res/ids.h"
#include "settings/app_settings.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/dialogs/option_page_can.h"
#include "ui/dialogs/option_page_color.h"
#include "ui/dialogs/option_page_common.h"
#include "ui/dialogs/option_prop_sheet.h"
#include "ui/frame/app_look.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/user_events.h"

namespace {

// A settings record and the saves the pages ask for.
struct Fixture {
    AppSettings settings;
    std::vector<uint32_t> saves;
    bool communicating = false;

    COptionContext Context() {
        COptionContext context;
        context.settings = &settings;
        context.save = [this](uint32_t groups) {
            saves.push_back(groups);
            return true;
        };
        context.communicating = [this] { return communicating; };
        return context;
    }
};

void ChooseMode(COptionPageCan* page, int32_t mode) {
    QComboBox* combo = page->ModeCombo();
    combo->setCurrentIndex(combo->findData(mode));
    Q_EMIT combo->activated(combo->currentIndex());
}

class CountingView : public QWidget {
public:
    int settingsChanged = 0;
    bool event(QEvent* e) override {
        if (e->type() == kEventSettingsChanged) {
            ++settingsChanged;
        }
        return QWidget::event(e);
    }
};

}  // namespace

class OptionSheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { COptionPropSheet::SetLastPagePosition(COptionPage::kPositionCommon); }
    void commonPageShowsAndApplies();
    void commonPageSpins();
    void canPageValidation_data();
    void canPageValidation();
    void canPageStoredValues_data();
    void canPageStoredValues();
    void canPageEnablingAndModes();
    void canPageWhileCommunicating();
    void canPagePresetsAndWrappingSpins();
    void sheetOrderLastPageAndCancel();
    void sheetKeepsEverythingWhenAPageFails();
    void mainFrameActsOnOkOnly();
};

void OptionSheetTest::commonPageShowsAndApplies() {
    Fixture f;
    f.settings.appLook = 12345;  // no such look
    f.settings.busLoadThreshold = 80;
    f.settings.monitorMaxLine = 2147483647;
    f.settings.configFile = 1;
    f.settings.language = 2;
    COptionPageCommon page(f.Context());
    page.show();
    QCOMPARE(page.LookCombo()->count(), 11);
    QCOMPARE(page.LookCombo()->itemText(0), QStringLiteral("Windows XP"));
    QCOMPARE(page.LookCombo()->itemData(1).toUInt(), uint32_t{ID_VIEW_APPLOOK_WINDOWS_7});
    QCOMPARE(page.LookCombo()->currentIndex(), -1);
    QCOMPARE(page.MaxLineEdit()->text(), QStringLiteral("2147483647"));
    QVERIFY(page.RegistryRadio()->isChecked());
    QCOMPARE(page.LanguageCombo()->count(), 5);
    QCOMPARE(page.LanguageCombo()->currentText(), QStringLiteral("简体中文"));
    QCOMPARE(page.LanguageNote()->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    page.ThresholdEdit()->setText(QStringLiteral("150"));
    page.MaxLineSpin()->Step(true);
    page.IniFileRadio()->setChecked(true);
    page.LanguageCombo()->setCurrentIndex(1);
    page.OnApply();
    QCOMPARE(f.settings.appLook, 12345u);  // nothing selected: kept
    QCOMPARE(f.settings.busLoadThreshold, 150u);
    QCOMPARE(f.settings.monitorMaxLine, uint64_t{32767});
    QCOMPARE(f.settings.configFile, 0u);
    QCOMPARE(f.settings.language, 1);
    QVERIFY(f.saves.empty());  // the Common page saves nothing itself

    page.LookCombo()->setCurrentIndex(2);
    page.ThresholdEdit()->setText(QStringLiteral("abc"));
    page.OnApply();
    QCOMPARE(f.settings.appLook, uint32_t{ID_VIEW_APPLOOK_WIN_2000});
    QCOMPARE(f.settings.busLoadThreshold, 0u);
}

void OptionSheetTest::commonPageSpins() {
    // The line limit wraps at both ends of 32767..2147483647.
    QCOMPARE(COptionPageCommon::StepMaxLine(2147483647, -1), 32767);
    QCOMPARE(COptionPageCommon::StepMaxLine(32767, 1), 2147483647);
    QCOMPARE(COptionPageCommon::StepMaxLine(65535, -1), 65536);
    Fixture f;
    f.settings.monitorMaxLine = 32767;
    COptionPageCommon page(f.Context());
    page.show();
    page.MaxLineSpin()->Step(false);
    QCOMPARE(page.MaxLineEdit()->text(), QStringLiteral("2147483647"));
    // The Up key in the field steps as the arrow does.
    QTest::keyClick(page.MaxLineEdit(), Qt::Key_Up);
    QCOMPARE(page.MaxLineEdit()->text(), QStringLiteral("32767"));

    // The threshold's arrows stay within 0..100 and do not wrap.
    const struct {
        const char* typed;
        bool up;
        const char* shown;
    } steps[] = {{"100", true, "100"},
                 {"0", false, "0"},
                 {"150", true, "100"},
                 {"41", true, "42"},
                 {"-7", false, "0"}};
    for (const auto& step : steps) {
        page.ThresholdEdit()->setText(QString::fromLatin1(step.typed));
        page.ThresholdSpin()->Step(step.up);
        QCOMPARE(page.ThresholdEdit()->text(), QString::fromLatin1(step.shown));
    }
}

void OptionSheetTest::canPageValidation_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("phase");
    QTest::addColumn<int>("field");  // 0 bit rate, 1 SJW, 2 TSEG1, 3 TSEG2
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("message");  // 0 = accepted
    QTest::newRow("sjw 256") << 0 << 0 << 1 << "256" << uint(IDS_ERR_SJW);
    QTest::newRow("sjw -1") << 0 << 0 << 1 << "-1" << uint(IDS_ERR_SJW);
    QTest::newRow("sjw empty") << 0 << 0 << 1 << "" << uint(IDS_ERR_SJW);
    QTest::newRow("sjw abc is 0") << 0 << 0 << 1 << "abc" << 0u;
    QTest::newRow("sjw 255") << 0 << 0 << 1 << "255" << 0u;
    QTest::newRow("tseg1 300") << 0 << 0 << 2 << "300" << uint(IDS_ERR_TSEG1);
    QTest::newRow("tseg2 empty") << 0 << 0 << 3 << "" << uint(IDS_ERR_TSEG2);
    QTest::newRow("no bit rate") << 0 << 0 << 0 << "" << uint(IDS_ERR_BITRATE);
    QTest::newRow("fd data tseg2") << 1 << 1 << 3 << "256" << uint(IDS_ERR_TSEG2);
    QTest::newRow("fd data bit rate") << 1 << 1 << 0 << "" << uint(IDS_ERR_BITRATE);
    QTest::newRow("classic ignores data") << 0 << 1 << 1 << "999" << 0u;
}

void OptionSheetTest::canPageValidation() {
    QFETCH(int, mode);
    QFETCH(int, phase);
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(uint, message);
    Fixture f;
    f.settings.can[1] = {1, mode, {500000, 13, 2, 1, 0, 0}, {2000000, 15, 4, 1, 0, 0}};
    const ChannelSettings before = f.settings.can[1];
    COptionPageCan page(1, f.Context());
    page.show();
    const COptionPageCan::PhaseControls& p = page.Phase(phase);
    QWidget* const fields[] = {p.bitrate, p.sjw, p.tseg1, p.tseg2};
    if (field == 0) {
        p.bitrate->setCurrentIndex(-1);
    } else {
        static_cast<QLineEdit*>(fields[field])->setText(text);
    }
    const COptionPage::Failure failure = page.Validate();
    QCOMPARE(uint(failure.messageId), message);
    if (message != 0) {
        QCOMPARE(failure.control, fields[field]);
        QCOMPARE(std::memcmp(&before, &f.settings.can[1], sizeof before), 0);
        return;
    }
    page.OnApply();
    QCOMPARE(f.saves, std::vector<uint32_t>{ENV_CAN2});
    if (field == 1 && phase == 0) {
        QCOMPARE(f.settings.can[1].arbitration.sjw, text == "abc" ? 0u : text.toUInt());
    }
}

void OptionSheetTest::canPageStoredValues_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("arbitration");
    QTest::addColumn<int>("data");
    QTest::addColumn<QString>("arbitrationShown");
    QTest::addColumn<int>("arbitrationStored");
    QTest::addColumn<int>("dataStored");
    QTest::newRow("classic 300000") << 0 << 300000 << 0 << "125Kbps" << 125000 << 0;
    QTest::newRow("classic 1M") << 0 << 1000000 << 0 << "1Mbps" << 1000000 << 0;
    QTest::newRow("fd 500k") << 1 << 500000 << 4000000 << "500Kbps" << 500000 << 4000000;
    QTest::newRow("fd 250k not offered") << 1 << 250000 << 800000 << "500Kbps" << 500000 << 500000;
}

void OptionSheetTest::canPageStoredValues() {
    QFETCH(int, mode);
    QFETCH(int, arbitration);
    QFETCH(int, data);
    QFETCH(QString, arbitrationShown);
    QFETCH(int, arbitrationStored);
    QFETCH(int, dataStored);
    Fixture f;
    f.settings.can[2] = {1, mode, {arbitration, 13, 2, 1, 1, 1}, {data, 7, 2, 2, 0, 0}};
    COptionPageCan page(2, f.Context());
    page.show();
    QCOMPARE(page.Phase(0).bitrate->currentText(), arbitrationShown);
    QCOMPARE(page.Phase(0).bitrate->count(), mode == 0 ? 4 : 2);
    page.OnApply();
    const ChannelSettings& c = f.settings.can[2];
    QCOMPARE(c.arbitration.bitrate, arbitrationStored);
    QCOMPARE(c.data.bitrate, dataStored);
    // The page stores noSamp and syncMode as 0; a classic page leaves the data phase alone.
    QCOMPARE(c.arbitration.noSamp, 0u);
    QCOMPARE(c.arbitration.syncMode, 0u);
    QCOMPARE(c.data.tseg1, 7u);
    QCOMPARE(c.data.sjw, 2u);
    QCOMPARE(f.saves, std::vector<uint32_t>{ENV_CAN3});
}

void OptionSheetTest::canPageEnablingAndModes() {
    Fixture f;
    f.settings.can[0] = {0, 1, {1000000, 31, 8, 8, 0, 0}, {2000000, 15, 4, 4, 0, 0}};
    COptionPageCan page(0, f.Context());
    page.show();
    QCOMPARE(page.Phase(0).group->title(), QStringLiteral("Arbitration Phase Parameters "));
    QCOMPARE(page.Phase(1).group->title(), QStringLiteral("Data Phase Parameters"));
    QVERIFY(!page.CommunicatingNote()->isVisible());
    // Disabled channel: both groups and what lies in them are disabled.
    for (QWidget* w : std::vector<QWidget*>{page.ModeCombo(), page.Phase(0).group,
                                            page.Phase(1).sjw, page.Phase(1).preset}) {
        QVERIFY(!w->isEnabled());
    }
    page.EnableCheck()->click();
    for (QWidget* w : std::vector<QWidget*>{page.ModeCombo(), page.Phase(0).tseg2,
                                            page.Phase(1).sjw, page.Phase(1).spins[2]}) {
        QVERIFY(w->isEnabled());
    }

    // Another mode shows its stored values again; the data phase hides in classic mode.
    page.Phase(0).sjw->setText(QStringLiteral("3"));
    ChooseMode(&page, 0);
    QCOMPARE(page.Phase(0).group->title(), QStringLiteral("Bus Parameters"));
    QVERIFY(!page.Phase(1).group->isVisible());
    QVERIFY(!page.Phase(1).tseg1->isVisible());
    QCOMPARE(page.Phase(0).bitrate->count(), 4);
    QCOMPARE(page.Phase(0).sjw->text(), QStringLiteral("8"));
    page.Phase(0).sjw->setText(QStringLiteral("4"));
    ChooseMode(&page, 0);  // the same mode again keeps the edit
    QCOMPARE(page.Phase(0).sjw->text(), QStringLiteral("4"));
    ChooseMode(&page, 1);
    QVERIFY(page.Phase(1).tseg1->isVisible());
    QVERIFY(page.Phase(1).tseg1->isEnabled());
    QCOMPARE(page.Phase(0).sjw->text(), QStringLiteral("8"));
    QCOMPARE(page.Phase(1).bitrate->currentText(), QStringLiteral("2Mbps"));

    // OK in classic mode keeps the data phase as stored.
    ChooseMode(&page, 0);
    page.OnApply();
    QCOMPARE(f.settings.can[0].enabled, 1);
    QCOMPARE(f.settings.can[0].mode, 0);
    QCOMPARE(f.settings.can[0].arbitration.bitrate, 1000000);
    QCOMPARE(f.settings.can[0].data.bitrate, 2000000);
    QCOMPARE(f.settings.can[0].data.sjw, 4u);
}

void OptionSheetTest::canPageWhileCommunicating() {
    Fixture f;
    f.communicating = true;
    f.settings.can[4] = {1, 1, {500000, 63, 16, 16, 0, 0}, {4000000, 7, 2, 2, 0, 0}};
    const ChannelSettings before = f.settings.can[4];
    COptionPageCan page(4, f.Context());
    page.show();
    QVERIFY(!page.EnableCheck()->isEnabled());
    QVERIFY(page.CommunicatingNote()->isVisible());
    QCOMPARE(page.CommunicatingNote()->text(), QStringLiteral("※通信中は変更できません"));
    for (QWidget* w :
         std::vector<QWidget*>{page.Phase(0).group, page.Phase(0).bitrate, page.Phase(1).group,
                               page.Phase(1).bitrate, page.Phase(1).tseg2}) {
        QVERIFY(!w->isEnabled());
    }
    QVERIFY(!page.Validate());
    page.OnApply();
    QCOMPARE(std::memcmp(&before, &f.settings.can[4], sizeof before), 0);
    QCOMPARE(f.saves, std::vector<uint32_t>{ENV_CAN5});
}

void OptionSheetTest::canPagePresetsAndWrappingSpins() {
    Fixture f;
    f.settings.can[3] = {1, 0, {500000, 12, 3, 1, 0, 0}, {}};
    COptionPageCan page(3, f.Context());
    page.show();
    std::vector<std::pair<int, int>> asked;
    BusParams seen{};
    BusParams answer{250000, 13, 2, 1, 0, 0};
    bool ok = true;
    page.SetPresetChooser([&](int32_t mode, int32_t phase, BusParams& current) {
        asked.emplace_back(mode, phase);
        seen = current;
        if (ok) {
            current = answer;
        }
        return ok;
    });
    page.Phase(0).tseg1->setText(QStringLiteral("abc"));
    QTest::mouseClick(page.Phase(0).preset, Qt::LeftButton);
    QCOMPARE(asked, (std::vector<std::pair<int, int>>{{0, 0}}));
    QCOMPARE(seen.bitrate, 500000);
    QCOMPARE(seen.tseg1, 0u);  // not a number reads as 0
    QCOMPARE(seen.tseg2, 3u);
    QCOMPARE(page.Phase(0).bitrate->currentText(), QStringLiteral("250Kbps"));
    QCOMPARE(page.Phase(0).tseg1->text(), QStringLiteral("13"));
    QCOMPARE(page.Phase(0).tseg2->text(), QStringLiteral("2"));

    // A rate the list lacks keeps the selection; Cancel changes nothing.
    answer = {8000000, 2, 2, 1, 0, 0};
    QTest::mouseClick(page.Phase(0).preset, Qt::LeftButton);
    QCOMPARE(page.Phase(0).bitrate->currentText(), QStringLiteral("250Kbps"));
    QCOMPARE(page.Phase(0).tseg1->text(), QStringLiteral("2"));
    ok = false;
    page.Phase(0).bitrate->setCurrentIndex(-1);
    QTest::mouseClick(page.Phase(0).preset, Qt::LeftButton);
    QCOMPARE(seen.bitrate, -1);
    QCOMPARE(page.Phase(0).tseg1->text(), QStringLiteral("2"));

    // The timing spins run over 0..255 and wrap.
    const struct {
        int spin;
        const char* typed;
        bool up;
        const char* shown;
    } steps[] = {{0, "255", true, "0"}, {1, "0", false, "255"}, {2, "17", true, "18"}};
    for (const auto& step : steps) {
        QLineEdit* edit = page.Phase(0).spins[step.spin]->Buddy();
        edit->setText(QString::fromLatin1(step.typed));
        page.Phase(0).spins[step.spin]->Step(step.up);
        QCOMPARE(edit->text(), QString::fromLatin1(step.shown));
    }
}

void OptionSheetTest::sheetOrderLastPageAndCancel() {
    Fixture f;
    {
        COptionPropSheet sheet(f.Context());
        QCOMPARE(sheet.windowTitle(), QStringLiteral("動作環境"));
        QStringList order;
        for (int tab = 0; tab < sheet.PageCount(); ++tab) {
            order << QString::number(sheet.Page(tab)->Position());
        }
        QCOMPARE(order.join(u','), QStringLiteral("0,1,2,3,4,5,6"));
        QVERIFY(qobject_cast<COptionPageColor*>(sheet.Page(1)) != nullptr);
        QCOMPARE(sheet.findChild<QTabWidget*>()->tabText(1), QStringLiteral("色情報"));
        sheet.show();
        QCOMPARE(sheet.ActivePage(), static_cast<COptionPage*>(sheet.CommonPage()));
        sheet.SetActivePage(sheet.CanPage(2));
        sheet.CanPage(2)->EnableCheck()->setChecked(true);
        sheet.CommonPage()->ThresholdEdit()->setText(QStringLiteral("5"));
        sheet.reject();
    }
    // Cancel: nothing applied, nothing saved; the sheet opens on CAN3 next time.
    QCOMPARE(f.settings.can[2].enabled, 0);
    QCOMPARE(f.settings.busLoadThreshold, 80u);
    QVERIFY(f.saves.empty());
    COptionPropSheet sheet(f.Context());
    sheet.show();
    QCOMPARE(sheet.ActivePage(), static_cast<COptionPage*>(sheet.CanPage(2)));
    // Only what was shown is applied: CAN3 here, not the colour page.
    QVERIFY(!sheet.CommonPage()->Initialized());
    QVERIFY(!sheet.Page(1)->Initialized());
    f.settings.monitorColorBkgnd = 0x00123456;
    sheet.accept();
    QCOMPARE(sheet.result(), int(QDialog::Accepted));
    QCOMPARE(f.saves, std::vector<uint32_t>{ENV_CAN3});
    QCOMPARE(f.settings.monitorColorBkgnd, 0x00123456u);
}

void OptionSheetTest::sheetKeepsEverythingWhenAPageFails() {
    ScriptedDialogs dialogs;
    Fixture f;
    f.settings.can[0] = {1, 1, {500000, 63, 16, 16, 0, 0}, {2000000, 15, 4, 4, 0, 0}};
    COptionPropSheet sheet(f.Context());
    sheet.show();
    sheet.CommonPage()->ThresholdEdit()->setText(QStringLiteral("55"));
    sheet.SetActivePage(sheet.CanPage(0));
    sheet.CanPage(0)->Phase(0).sjw->setText(QStringLiteral("2"));
    QLineEdit* bad = sheet.CanPage(0)->Phase(1).tseg1;
    bad->setText(QStringLiteral("999"));
    sheet.SetActivePage(sheet.CommonPage());
    sheet.accept();
    QCOMPARE(dialogs.boxes.size(), size_t{1});
    QCOMPARE(dialogs.boxes[0].stringId, uint32_t{IDS_ERR_TSEG1});
    QCOMPARE(dialogs.boxes[0].icon, CDialogService::Icon::Error);
    QVERIFY(sheet.isVisible());
    QCOMPARE(sheet.ActivePage(), static_cast<COptionPage*>(sheet.CanPage(0)));
    QCOMPARE(sheet.focusWidget(), static_cast<QWidget*>(bad));
    // Nothing of any page reached the settings, nothing was saved.
    QCOMPARE(f.settings.busLoadThreshold, 80u);
    QCOMPARE(f.settings.can[0].arbitration.sjw, 16u);
    QVERIFY(f.saves.empty());

    bad->setText(QStringLiteral("31"));
    sheet.accept();
    QCOMPARE(sheet.result(), int(QDialog::Accepted));
    QCOMPARE(f.settings.busLoadThreshold, 55u);
    QCOMPARE(f.settings.can[0].arbitration.sjw, 2u);
    QCOMPARE(f.settings.can[0].data.tseg1, 31u);
    QCOMPARE(f.saves, std::vector<uint32_t>{ENV_CAN1});
}

void OptionSheetTest::mainFrameActsOnOkOnly() {
    FakeFrameBackend backend;
    backend.channels[0] = {1, 0, {500000, 13, 2, 1, 0, 0}, {}};
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    auto* view = new CountingView;
    view->setParent(&frame);
    frame.RegisterViewFrame(0, view, {});
    bool accept = false;
    uint32_t chosenLook = ID_VIEW_APPLOOK_WIN_2000;
    frame.SetOptionsCommand([&] {
        // A cancelled sheet changes nothing.
        if (accept) {
            backend.look = chosenLook;
            backend.channels[1] = {1, 0, {250000, 13, 2, 1, 0, 0}, {}};
        }
        return accept;
    });
    const int savesBefore = backend.lookSaves;
    backend.look = ID_VIEW_APPLOOK_OFF_2007_BLUE;

    frame.OnCommand(ID_OPTIONS);  // cancelled
    QCoreApplication::processEvents();
    QCOMPARE(view->settingsChanged, 0);
    QCOMPARE(backend.lookSaves, savesBefore);
    QCOMPARE(frame.PaneText(4), QStringLiteral(" "));

    accept = true;
    frame.OnCommand(ID_OPTIONS);
    QCoreApplication::processEvents();
    QCOMPARE(view->settingsChanged, 1);
    QCOMPARE(app_look::Current(), uint32_t{ID_VIEW_APPLOOK_WIN_2000});
    QCOMPARE(backend.lookSaves, savesBefore + 1);
    QCOMPARE(frame.PaneText(4), QStringLiteral("CAN2 (CAN): 250Kbps"));

    // An unchanged look is not applied again.
    frame.OnCommand(ID_OPTIONS);
    QCoreApplication::processEvents();
    QCOMPARE(view->settingsChanged, 2);
    QCOMPARE(backend.lookSaves, savesBefore + 1);

    // While communicating the command is disabled.
    backend.connected = true;
    QVERIFY(!frame.IsCommandEnabled(ID_OPTIONS));
    backend.connected = false;
}

QTEST_MAIN(OptionSheetTest)
#include "option_sheet_test.moc"

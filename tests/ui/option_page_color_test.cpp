// The colour page of the options sheet, driven with the tree's keys and the
// picker's popup as a user would; the colour dialog is scripted.
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "platform/os/registry.h"
#include "settings/app_settings.h"
#include "settings/settings_codec.h"
#include "settings/settings_store.h"
#include "tests/ui/color_page_driver.h"
#include "ui/dialogs/option_page_color.h"
#include "ui/dialogs/option_page_common.h"
#include "ui/dialogs/option_prop_sheet.h"

namespace {

constexpr uint32_t Id(uint32_t group, uint32_t item) {
    return COptionPageColor::ItemId(group, item);
}

struct Fixture {
    AppSettings settings;

    Fixture() {
        // Every colour different, so that a colour written to the wrong place shows.
        uint32_t* colors[] = {&settings.monitorColorTextOk,      &settings.monitorColorTextNg,
                              &settings.monitorColorBkgnd,       &settings.statisticsColorText,
                              &settings.statisticsColorBkgnd,    &settings.messageInfoColorText,
                              &settings.messageInfoColorBkgnd,   &settings.messageDetailColorText,
                              &settings.messageDetailColorBkgnd, &settings.busLoadColorBkgnd,
                              &settings.busLoadColorScaleLine,   &settings.busLoadColorScaleText,
                              &settings.busLoadColorThreshold};
        uint32_t value = 0x00010203;
        for (uint32_t* color : colors) {
            *color = value;
            value += 0x00050505;
        }
    }
    COptionContext Context() {
        COptionContext context;
        context.settings = &settings;
        context.save = [](uint32_t) { return true; };
        context.communicating = [] { return false; };
        return context;
    }
};

// Every stored value of the record, for "nothing else changed".
std::vector<std::vector<uint8_t>> Stored(const AppSettings& settings) {
    std::vector<std::vector<uint8_t>> values;
    for (const StoredValue& value : CollectStoredValues(settings, ENV_ALL)) {
        values.push_back(value.data);
    }
    return values;
}

// Where each item's colour lives, written out independently of the page.
struct ItemField {
    const char* name;
    uint32_t id;
    uint32_t& (*field)(AppSettings&);
};
using S = AppSettings;
const ItemField kItems[] = {
    {"monitor NG", Id(0, 2), [](S& s) -> uint32_t& { return s.monitorColorTextNg; }},
    {"monitor background", Id(0, 3), [](S& s) -> uint32_t& { return s.monitorColorBkgnd; }},
    {"statistics text", Id(2, 1), [](S& s) -> uint32_t& { return s.statisticsColorText; }},
    {"message info background", Id(3, 2),
     [](S& s) -> uint32_t& { return s.messageInfoColorBkgnd; }},
    {"message detail text", Id(4, 1), [](S& s) -> uint32_t& { return s.messageDetailColorText; }},
    {"CAN1 line", Id(1, 1), [](S& s) -> uint32_t& { return s.busLoadColorLine[0]; }},
    {"CAN5 line", Id(1, 5), [](S& s) -> uint32_t& { return s.busLoadColorLine[4]; }},
    {"scale text", Id(1, 8), [](S& s) -> uint32_t& { return s.busLoadColorScaleText; }},
};

}  // namespace

class OptionPageColorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void treeOfFiveGroups();
    void eachItemEditsItsOwnColour_data();
    void eachItemEditsItsOwnColour();
    void groupNodesDisableThePicker();
    void revertThenOkKeepsTheStoredColour();
    void automaticIsStoredAndReloadsAsBlack();
    void sheetCancelDiscardsAndOkKeepsOtherPages();
};

void OptionPageColorTest::treeOfFiveGroups() {
    Fixture f;
    COptionPageColor page(f.Context());
    page.show();
    QStringList rows;
    for (CStaticTreeItem* item = page.Tree()->FirstItem(); item != nullptr;
         item = CStaticTreeCtrl::NextDisplayed(item)) {
        rows << QStringLiteral("%1:%2").arg(item->text).arg(item->data, 0, 16);
    }
    QCOMPARE(
        rows.join(u'|'),
        QStringLiteral("モニタウィンドウ:0|リスト文字色(OK):1|リスト文字色(NG):2|リスト背景色:3|"
                       "統計情報ウィンドウ:0|リスト文字色:20001|リスト背景色:20002|"
                       "メッセージ情報ウィンドウ:0|リスト文字色:30001|リスト背景色:30002|"
                       "メッセージ詳細:0|リスト文字色:40001|リスト背景色:40002|"
                       "バス占有率グラフ:0|グラフ線色 (CAN1):10001|グラフ線色 (CAN2):10002|"
                       "グラフ線色 (CAN3):10003|グラフ線色 (CAN4):10004|グラフ線色 (CAN5):10005|"
                       "グラフ背景色:10006|グラフ軸線色:10007|グラフ軸テキスト色:10008"));
    // It opens on the monitor's OK text colour, ready to edit.
    QCOMPARE(page.Tree()->SelectedItem()->data, uint64_t{Id(0, 1)});
    QCOMPARE(page.CurrentItem(), Id(0, 1));
    QVERIFY(page.Picker()->isEnabled());
    QVERIFY(page.RevertButton()->isEnabled());
    QCOMPARE(page.Picker()->Color(), f.settings.monitorColorTextOk);
    QCOMPARE(page.RevertButton()->text(), QStringLiteral("元に戻す"));
    // The popup's names come from the string table.
    QCOMPARE(CColorPopup::ColorName(26), QStringLiteral("黄"));
    QCOMPARE(CColorPopup::AutomaticText() + CColorPopup::MoreText(),
             QStringLiteral("自動その他..."));
}

void OptionPageColorTest::eachItemEditsItsOwnColour_data() {
    QTest::addColumn<int>("row");
    for (size_t i = 0; i < std::size(kItems); ++i) {
        QTest::newRow(kItems[i].name) << static_cast<int>(i);
    }
}

void OptionPageColorTest::eachItemEditsItsOwnColour() {
    QFETCH(int, row);
    const uint32_t id = kItems[row].id;
    const auto at = kItems[row].field;
    Fixture f;
    COptionPageColor page(f.Context());
    page.resize(page.minimumSize());
    page.show();
    QVERIFY(SelectWithKeys(page, id));
    QCOMPARE(page.CurrentItem(), id);
    QCOMPARE(page.Picker()->Color(), at(f.settings));
    PickColor(page, 0x00C0FFEE);
    QCOMPARE(page.Picker()->Color(), 0x00C0FFEEu);
    QCOMPARE(page.WorkingColor(id), 0x00C0FFEEu);
    // Nothing reaches the settings before OK.
    AppSettings expected = f.settings;
    QVERIFY(Stored(f.settings) == Stored(expected));
    // Going elsewhere and back shows the working colour, not the stored one.
    QVERIFY(SelectWithKeys(page, Id(2, 1) == id ? Id(0, 1) : Id(2, 1)));
    QVERIFY(SelectWithKeys(page, id));
    QCOMPARE(page.Picker()->Color(), 0x00C0FFEEu);
    page.OnApply();
    at(expected) = 0x00C0FFEE;
    QVERIFY(Stored(f.settings) == Stored(expected));
}

void OptionPageColorTest::groupNodesDisableThePicker() {
    Fixture f;
    COptionPageColor page(f.Context());
    page.show();
    // Home reaches the group node without telling the page; it follows anyway.
    QTest::keyClick(page.Tree(), Qt::Key_Home);
    QCOMPARE(page.CurrentItem(), 0u);
    QVERIFY(!page.Picker()->isEnabled());
    QVERIFY(!page.RevertButton()->isEnabled());
    QVERIFY(page.Picker()->OpenPopup() == nullptr);
    QTest::keyClick(page.Tree(), Qt::Key_Down);
    QVERIFY(page.Picker()->isEnabled());
    // A click on a group row, then on an item row.
    CStaticTreeItem* group = page.FindItem(Id(2, 1))->parent;
    page.Tree()->RecalcScroll();
    QTest::mouseClick(page.Tree()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      page.Tree()->TextRect(group).center());
    QCOMPARE(page.Tree()->SelectedItem(), group);
    QCOMPARE(page.CurrentItem(), 0u);
    QVERIFY(!page.Picker()->isEnabled() && !page.RevertButton()->isEnabled());
    QTest::mouseClick(page.Tree()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      page.Tree()->TextRect(group->firstChild).center());
    QCOMPARE(page.CurrentItem(), Id(2, 1));
    QVERIFY(page.Picker()->isEnabled() && page.RevertButton()->isEnabled());
    QCOMPARE(page.Picker()->Color(), f.settings.statisticsColorText);
}

void OptionPageColorTest::revertThenOkKeepsTheStoredColour() {
    Fixture f;
    COptionPageColor page(f.Context());
    page.show();
    QVERIFY(SelectWithKeys(page, Id(4, 1)));
    PickColor(page, 0x00ABCDEF);
    QVERIFY(SelectWithKeys(page, Id(1, 2)));
    PickColor(page, 0x00FEDCBA);
    QTest::mouseClick(page.RevertButton(), Qt::LeftButton);
    QCOMPARE(page.Picker()->Color(), f.settings.busLoadColorLine[1]);
    page.OnApply();
    // Revert touched only the selected colour.
    QCOMPARE(f.settings.busLoadColorLine[1], Fixture().settings.busLoadColorLine[1]);
    QCOMPARE(f.settings.messageDetailColorText, 0x00ABCDEFu);
}

void OptionPageColorTest::automaticIsStoredAndReloadsAsBlack() {
    Fixture f;
    {
        COptionPageColor page(f.Context());
        page.show();
        QVERIFY(SelectWithKeys(page, Id(3, 2)));
        // Six steps up always reach the automatic entry.
        Pick(page, "UUUUUUE");
        page.OnApply();
    }
    QCOMPARE(f.settings.messageInfoColorBkgnd, kAutomaticColor);

    QTemporaryDir folder;
    os::Registry registry(folder.filePath(QStringLiteral("registry.dat")).toStdString());
    CSettingsStore store(f.settings, registry);
    store.settingsFilePath = folder.filePath(QStringLiteral("Sorvane.ini")).toStdString();
    QVERIFY(store.SaveAllSettings(ENV_ALL));
    AppSettings next;
    CSettingsStore reader(next, registry);
    QVERIFY(reader.LoadSettings(store.settingsFilePath));
    QCOMPARE(next.messageInfoColorBkgnd, 0u);
    QCOMPARE(next.messageInfoColorText, f.settings.messageInfoColorText);
}

void OptionPageColorTest::sheetCancelDiscardsAndOkKeepsOtherPages() {
    for (const bool ok : {false, true}) {
        Fixture f;
        const AppSettings before = f.settings;
        COptionPropSheet sheet(f.Context());
        COptionPropSheet::SetLastPagePosition(COptionPage::kPositionCommon);
        sheet.show();
        sheet.CommonPage()->ThresholdEdit()->setText(QStringLiteral("42"));
        auto* page = qobject_cast<COptionPageColor*>(sheet.Page(1));
        QVERIFY(page != nullptr);
        sheet.SetActivePage(page);
        QVERIFY(SelectWithKeys(*page, Id(1, 6)));
        PickColor(*page, 0x00336699);
        if (ok) {
            sheet.accept();
            QCOMPARE(f.settings.busLoadThreshold, 42u);
            QCOMPARE(f.settings.busLoadColorBkgnd, 0x00336699u);
            QCOMPARE(COptionPropSheet::LastPagePosition(), int(COptionPage::kPositionColor));
        } else {
            sheet.reject();
            QVERIFY(Stored(f.settings) == Stored(before));
        }
    }
}

QTEST_MAIN(OptionPageColorTest)
#include "option_page_color_test.moc"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <map>
#include <vector>

#include "can/can_lib.h"
#include "controls/static_tree_ctrl.h"
#include "controls/water_drop_ctrl.h"
#include "res/ids.h"
#include "res/resources.h"
#include "settings/app_settings.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/copyright_link.h"
#include "ui/dialogs/version_report.h"

namespace {

// Every version known.
AboutVersions Known() {
    AboutVersions v;
    v.exeVersionMS = (1u << 16) | 3;
    v.exeVersionLS = (9u << 16) | 4;
    v.buildDate = "20220523";
    v.buildNumber = "6284";
    v.resLibVersion = {0x01030000u, 0x02000500u, 0x0A0B0C0Du, 0xFFFFFF00u};
    v.canlibVersion = 0x0508;
    v.canlibProductVersion = 0x05281E01;
    v.dbMajor = 0x0102;
    v.dbMinor = 0x0304;
    v.dbBuild = 0x0B16;
    return v;
}

struct Line {
    QString text;
    bool root;
    bool grey;
};

// The tree's rows in order, with their kind and colour.
std::vector<Line> TreeLines(const CStaticTreeCtrl* tree) {
    std::vector<Line> lines;
    for (const CStaticTreeItem* item = tree->FirstItem(); item != nullptr;
         item = CStaticTreeCtrl::NextDisplayed(item)) {
        lines.push_back(
            {item->text, item->level == 1, item->textColor == CAboutDlg::kUnknownColor});
    }
    return lines;
}

QString LineText(const CStaticTreeCtrl* tree, int index) {
    const std::vector<Line> lines = TreeLines(tree);
    return index < static_cast<int>(lines.size()) ? lines[static_cast<size_t>(index)].text
                                                  : QString();
}

}  // namespace

class AboutDlgTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pictureByTimeOfDay_data();
    void pictureByTimeOfDay();
    void fullReport();
    void unknownVersionsInGrey();
    void onlyChineseLibraryPresent();
    void canLibraryMissingOrPresent();
    void plasmaFadesInAndStopsAt54();
    void controlsAndLink();
    void linkColours();
    void closingStillsThePicture();
};

void AboutDlgTest::pictureByTimeOfDay_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<uint32_t>("picture");
    QTest::newRow("midnight") << QTime(0, 0) << uint32_t{IDB_ABOUT_NIGHT};
    QTest::newRow("07:59") << QTime(7, 59, 59) << uint32_t{IDB_ABOUT_NIGHT};
    QTest::newRow("08:00") << QTime(8, 0) << uint32_t{IDB_ABOUT_DAY};
    QTest::newRow("15:59") << QTime(15, 59) << uint32_t{IDB_ABOUT_DAY};
    QTest::newRow("16:00") << QTime(16, 0) << uint32_t{IDB_ABOUT_EVENING};
    QTest::newRow("23:59") << QTime(23, 59) << uint32_t{IDB_ABOUT_EVENING};
}

void AboutDlgTest::pictureByTimeOfDay() {
    QFETCH(QTime, time);
    QFETCH(uint32_t, picture);
    CAboutDlg dialog(Known(), nullptr, [time] { return time; });
    QCOMPARE(dialog.PictureId(), picture);
    CWaterDropCtrl* water = dialog.WaterDrop();
    QCOMPARE(water->objectName(), QString::number(IDC_PICTURE));
    // The chosen picture, drawn at the size of its place in the dialog.
    const QImage want = res::Resources::Instance()
                            .Image(picture, water->size(), 1.0)
                            .convertToFormat(QImage::Format_RGB32);
    QCOMPARE(water->SourceImage(), want);
    QVERIFY(water->TimerActive());
    QVERIFY(water->TimerStarted());
    QVERIFY(water->EffectActive());
}

void AboutDlgTest::fullReport() {
    CAboutDlg dialog(Known());
    const std::vector<Line> lines = TreeLines(dialog.VersionTree());
    const std::vector<QString> want = {
        "[Application]",
        "  App Version: 1.3.9",
        "  Build : 20220523.6284\n",
        "[Resource Library]",
        "  SorvaneResEn: 1.3.0",
        "  SorvaneResCn: 2.0.5",
        "  SorvaneResTw: 10.11.12",
        "  SorvaneResKo: 255.255.255",
        "[Kvaser CANLIB]",
        "  Lib Version: 05.08\n",
        "  Product Version: 05.40.30.01\n",
        "[kvaDbLib CANdb]",
        "  Version: 01.02.03.04\n",
        "  Build Version: 11.22\n",
    };
    QCOMPARE(lines.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        QCOMPARE(lines[i].text, want[i]);
        QCOMPARE(lines[i].root, want[i].startsWith(u'['));
        QVERIFY(!lines[i].grey);
    }
    // Every root is open.
    for (const CStaticTreeItem* item = dialog.VersionTree()->FirstItem(); item != nullptr;
         item = item->nextSibling) {
        QCOMPARE(item->expanded, 1);
    }
}

void AboutDlgTest::unknownVersionsInGrey() {
    AboutVersions v = Known();
    v.resLibVersion = {};
    v.canlibVersion = 0;
    v.canlibProductVersion = 0;
    v.dbMajor = 0;
    v.dbMinor = 7;  // without a the version is unknown, whatever b says
    v.dbBuild = 0;
    CAboutDlg dialog(v);
    const std::map<int, QString> grey = {
        {4, "  SorvaneResEn: (unknown)\n"}, {5, "  SorvaneResCn: (unknown)\n"},
        {6, "  SorvaneResTw: (unknown)\n"}, {7, "  SorvaneResKo: (unknown)\n"},
        {9, "  Lib Version: (unknown)\n"},  {10, "  Product Version: (unknown)\n"},
        {12, "  Version: (unknown)\n"},     {13, "  Build Version: (unknown)\n"},
    };
    const std::vector<Line> lines = TreeLines(dialog.VersionTree());
    QCOMPARE(lines.size(), size_t{14});
    for (int i = 0; i < 14; ++i) {
        const Line& line = lines[static_cast<size_t>(i)];
        QCOMPARE(line.grey, grey.count(i) == 1);
        if (line.grey) {
            QCOMPARE(line.text, grey.at(i));
        }
    }
}

void AboutDlgTest::onlyChineseLibraryPresent() {
    const auto versions = ProbeResourceLibraries(SORVANE_TEST_CN_ONLY_DIR);
    QCOMPARE(versions[0], 0u);
    QCOMPARE(versions[1], 0x01020700u);
    QCOMPARE(versions[2], 0u);
    QCOMPARE(versions[3], 0u);

    AppSettings settings;
    std::copy(versions.begin(), versions.end(), std::begin(settings.resLibVersion));
    CAboutDlg dialog(AboutVersions::Collect(settings, nullptr));
    const std::vector<Line> lines = TreeLines(dialog.VersionTree());
    QCOMPARE(lines[3].text, QStringLiteral("[Resource Library]"));
    QCOMPARE(lines[4].text, QStringLiteral("  SorvaneResEn: (unknown)\n"));
    QVERIFY(lines[4].grey);
    QCOMPARE(lines[5].text, QStringLiteral("  SorvaneResCn: 1.2.7"));
    QVERIFY(!lines[5].grey);
    QCOMPARE(lines[6].text, QStringLiteral("  SorvaneResTw: (unknown)\n"));
    QVERIFY(lines[6].grey);
    QCOMPARE(lines[7].text, QStringLiteral("  SorvaneResKo: (unknown)\n"));
    QVERIFY(lines[7].grey);
}

void AboutDlgTest::canLibraryMissingOrPresent() {
    AppSettings settings;
    CCanLib missing("/nonexistent/libcanlib.so.1");
    missing.LoadCanLib();
    QVERIFY(!missing.IsCanLibLoaded());
    const AboutVersions none = AboutVersions::Collect(settings, &missing);
    CAboutDlg dialog(none);
    QCOMPARE(LineText(dialog.VersionTree(), 9), QStringLiteral("  Lib Version: (unknown)\n"));
    QCOMPARE(LineText(dialog.VersionTree(), 10), QStringLiteral("  Product Version: (unknown)\n"));
    QVERIFY(TreeLines(dialog.VersionTree())[9].grey);
    QVERIFY(TreeLines(dialog.VersionTree())[10].grey);
#ifdef SORVANE_TEST_CANLIB
    CCanLib ours(SORVANE_TEST_CANLIB);
    ours.LoadCanLib();
    QVERIFY(ours.IsCanLibLoaded());
    const AboutVersions v = AboutVersions::Collect(settings, &ours);
    QCOMPARE(v.canlibVersion, ours.LibraryVersion());
    const std::vector<VersionReportLine> report = BuildVersionReport(v);
    QCOMPARE(report[9].text,
             QString::asprintf("  Lib Version: %02d.%02d\n", (v.canlibVersion >> 8) & 0xFF,
                               v.canlibVersion & 0xFF));
    QVERIFY(!report[9].unknown);
    QVERIFY(!report[10].unknown);
#endif
}

void AboutDlgTest::plasmaFadesInAndStopsAt54() {
    CAboutDlg dialog(Known());
    QCOMPARE(dialog.PlasmaLevel(), 0);
    QCOMPARE(dialog.WaterDrop()->PlasmaLevel(), 0);
    QVERIFY(dialog.PlasmaTimerActive());
    QCOMPARE(dialog.PlasmaTimer().interval(), 2000);
    QCOMPARE(dialog.PlasmaTimer().objectName(), QStringLiteral("1005"));
    for (int tick = 1; tick <= 18; ++tick) {
        dialog.OnPlasmaTimer();
        QCOMPARE(dialog.PlasmaLevel(), 3 * tick);
        QCOMPARE(dialog.WaterDrop()->PlasmaLevel(), 3 * tick);
        QVERIFY(dialog.PlasmaTimerActive());
    }
    dialog.OnPlasmaTimer();  // the 19th tick ends the fade-in
    QCOMPARE(dialog.PlasmaLevel(), 54);
    QVERIFY(!dialog.PlasmaTimerActive());
}

void AboutDlgTest::controlsAndLink() {
    CAboutDlg dialog(Known());
    const res::Resources& r = res::Resources::Instance();
    QCOMPARE(dialog.windowTitle(), r.DialogCaption(IDD_ABOUTBOX));
    QCOMPARE(dialog.ProductLabel()->text(),
             r.DialogText(IDD_ABOUTBOX, IDC_STATIC_PRODUCT) + QStringLiteral(" (64bit)"));
    QVERIFY(dialog.ProductLabel()->font().bold());
    // The link opens a new mail; its tip names the address.
    const QString target = r.DialogData(IDD_ABOUTBOX, IDC_MFCLINK_MAIL);
    QVERIFY(target.startsWith(QStringLiteral("mailto:")));
    QCOMPARE(dialog.Link()->Url(), QUrl(target));
    QCOMPARE(dialog.Link()->toolTip(), QStringLiteral("mailto: ") + target.mid(7));
    // The controls keep to the dialog and do not overlap.
    const QRect picture = dialog.WaterDrop()->geometry();
    const QRect tree = dialog.VersionTree()->geometry();
    QVERIFY(dialog.rect().contains(picture));
    QVERIFY(dialog.rect().contains(tree));
    QVERIFY(!picture.intersects(tree));
    QVERIFY(!tree.intersects(dialog.Link()->geometry()));
}

void AboutDlgTest::linkColours() {
    CCopyrightLink link;
    QCOMPARE(link.TextColor().rgb(), qRgb(100, 149, 237));
    link.setDown(true);
    QCOMPARE(link.TextColor().rgb(), qRgb(0, 0, 255));
    link.setDown(false);
    link.SetVisited(true);
    QCOMPARE(link.TextColor().rgb(), qRgb(139, 0, 139));
    link.setDown(true);  // visited wins over pressed
    QCOMPARE(link.TextColor().rgb(), qRgb(139, 0, 139));
}

void AboutDlgTest::closingStillsThePicture() {
    CAboutDlg dialog(Known(), nullptr, [] { return QTime(12, 0); });
    CWaterDropCtrl* water = dialog.WaterDrop();
    water->Drop(100, 60, 20, 500);
    dialog.OnPlasmaTimer();
    for (int i = 0; i < 5; ++i) {
        water->Step();
    }
    QVERIFY(water->RenderImage() != water->SourceImage());
    dialog.done(QDialog::Accepted);
    QVERIFY(!water->EffectActive());
    QVERIFY(!dialog.PlasmaTimerActive());
    QCOMPARE(water->RenderImage(), water->SourceImage());
    for (int field : {1, 2}) {
        for (int32_t h : water->Water().Field(field)) {
            QCOMPARE(h, 0);
        }
    }
}

QTEST_MAIN(AboutDlgTest)
#include "about_dlg_test.moc"

// The statistics window: the rules of a cell, the painted table, the copied
// text, the clear commands and the tick that drives the statistics workers.
#include <QImage>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "res/ids.h"
#include "res/resources.h"
#include "res/toolbar_builder.h"
#include "tests/ui/live_view_support.h"
#include "ui/frame/statistics_frame.h"
#include "ui/frame/statistics_list.h"
#include "ui/frame/user_events.h"

namespace {

// CAN1, CAN3 and CAN4 enabled.
struct Fixture : ViewFixture<CStatisticsFrame> {
    Fixture() : ViewFixture({0, 2, 3}) {}
    QImage Grab() const { return frame->List()->viewport()->grab().toImage(); }
    // The cell of a row and column, in the list's viewport.
    QRect Cell(int row, int column) const {
        CStatisticsList* list = frame->List();
        const QRect rowRect(0, list->HeaderHeight() + row * list->RowHeight(),
                            list->viewport()->width(), list->RowHeight());
        return list->CellRect(rowRect, column).adjusted(3, 1, -3, -1);
    }
};

// The darkest pixel of a cell's text and whether the cell is filled red.
struct CellLook {
    int darkest = 255;
    bool red = false;
};

CellLook Look(const QImage& image, const QRect& cell) {
    CellLook look;
    look.red = QColor(image.pixel(cell.left(), cell.center().y())) == QColor(255, 0, 0);
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            look.darkest = qMin(look.darkest, qGray(image.pixel(x, y)));
        }
    }
    return look;
}

}  // namespace

class StatisticsFrameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cellRules_data();
    void cellRules();
    void rowsShowTheirOwnField();
    void paintedCellsFollowThresholdAndChannelState();
    void copyLayout();
    void copyCutsLongLabelsOnCharacters();
    void clearCommands();
    void dropDownClearsOneChannel();
    void tickWakesTheWorkersAndRefreshesOnceMoreAtStop();
    void settingsChangeRecoloursTheList();
};

void StatisticsFrameTest::cellRules_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<uint>("value");
    QTest::addColumn<uint>("threshold");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("red");
    QTest::newRow("just below") << 0 << 7999u << 80u << "79.99 % " << false;
    QTest::newRow("at threshold") << 0 << 8000u << 80u << "80.00 % " << true;
    QTest::newRow("peak at threshold") << 1 << 8000u << 80u << "80.00 % " << true;
    QTest::newRow("full load, threshold 100") << 1 << 10000u << 100u << "100.00 % " << true;
    QTest::newRow("99.99 at 100") << 0 << 9999u << 100u << "99.99 % " << false;
    QTest::newRow("threshold 0 marks even 0") << 0 << 0u << 0u << "0.00 % " << true;
    // A count is never a load, whatever its size.
    QTest::newRow("count row") << 2 << 8000u << 80u << "8000 " << false;
    QTest::newRow("largest count") << 12 << 4294967295u << 0u << "4294967295 " << false;
    // A typed threshold is not range-checked; times 100 it leaves 32 bits.
    QTest::newRow("huge threshold") << 0 << 10000u << 42949673u << "100.00 % " << false;
}

void StatisticsFrameTest::cellRules() {
    QFETCH(int, row);
    QFETCH(uint, value);
    QFETCH(uint, threshold);
    QFETCH(QString, text);
    QFETCH(bool, red);
    QCOMPARE(CStatisticsList::CellText(row, value), text);
    QCOMPARE(CStatisticsList::OverThreshold(row, value, threshold), red);
}

void StatisticsFrameTest::rowsShowTheirOwnField() {
    ChannelStatistics s{};
    s.bus = {104, 106, 105, 107, 108, 100, 999};
    s.busLoadPeak = 101;
    s.txCount = 102;
    s.rxTotal = 103;
    s.rxPerSecond = 109;
    s.txErrors = 110;
    s.rxErrors = 111;
    s.overrunErrors = 112;
    // Row r shows 100 + r: the kinds of frame come as standard data,
    // extended data, standard remote, extended remote.
    for (int row = 0; row < CStatisticsList::kRowCount; ++row) {
        QCOMPARE(CStatisticsList::RowValue(s, row), static_cast<uint32_t>(100 + row));
    }
    const QStringList labels = CStatisticsList(nullptr).Labels();
    QCOMPARE(labels.size(), 13);
    QCOMPARE(labels[5], QStringLiteral("　拡張データフレーム"));
    QCOMPARE(labels[6], QStringLiteral("　標準リモートフレーム"));
    QCOMPARE(labels[7], QStringLiteral("　拡張リモートフレーム"));
}

void StatisticsFrameTest::paintedCellsFollowThresholdAndChannelState() {
    Fixture f;
    QVERIFY(f.Create());
    f.source.stats[0].bus.busLoad = 8000;  // CAN1: red
    f.source.stats[2].bus.busLoad = 7999;  // CAN3: normal
    f.source.stats[1].bus.busLoad = 9000;  // CAN2 not enabled: red all the same
    for (auto& s : f.source.stats) {
        s.txCount = 888888;
    }
    QImage image = f.Grab();
    const CellLook can1 = Look(image, f.Cell(0, 1));
    const CellLook can2 = Look(image, f.Cell(0, 2));
    const CellLook can3 = Look(image, f.Cell(0, 3));
    QVERIFY(can1.red);
    QVERIFY(can2.red);
    QVERIFY(!can3.red);
    QVERIFY2(can3.darkest < 80, "an enabled channel's text is dark");
    // Counts: enabled channels in the text colour, the others grey.
    QVERIFY(Look(image, f.Cell(2, 1)).darkest < 80);
    QVERIFY(Look(image, f.Cell(2, 2)).darkest >= 100);
    QVERIFY(Look(image, f.Cell(2, 5)).darkest >= 100);

    // While communicating, an enabled channel that is not active is grey too.
    f.backend.connected = true;
    f.backend.active[3] = false;
    image = f.Grab();
    QVERIFY(Look(image, f.Cell(2, 1)).darkest < 80);
    QVERIFY(Look(image, f.Cell(2, 4)).darkest >= 100);
}

void StatisticsFrameTest::copyLayout() {
    StatisticsSnapshot snapshot;
    snapshot.live = {true, false, true, true, false};
    snapshot.stats[0].bus.busLoad = 8000;
    snapshot.stats[2].bus.busLoad = 7999;
    snapshot.stats[1].bus.busLoad = 5000;  // not enabled: left blank
    snapshot.stats[0].bus.extRemote = 7;
    snapshot.stats[0].bus.extData = 70;
    snapshot.stats[3].rxPerSecond = 4294967295u;
    const QString header = res::Resources::Instance().String(IDS_STATISTICS_HEADER);
    const QString text =
        CStatisticsList::CopyText(snapshot, CStatisticsList(nullptr).Labels(), header);
    const QStringList lines = text.split(u'\n');
    QCOMPARE(lines.size(), 15);  // header, 13 rows, nothing after the last line end
    QCOMPARE(lines[0] + u'\n', header);
    QCOMPARE(lines[0],
             QStringLiteral("Item                            CAN1      CAN2      CAN3     "
                            "CAN4      CAN5"));
    const QString blank(10, u' ');
    // Labels fill 28 columns, a wide character taking two.
    QCOMPARE(lines[1], QStringLiteral("バス占有率") + QString(18, u' ') +
                           QStringLiteral("   80.00 %") + blank + QStringLiteral("   79.99 %") +
                           QStringLiteral("    0.00 %") + blank);
    QCOMPARE(lines[8], QStringLiteral("　拡張リモートフレーム") + QString(6, u' ') +
                           QStringLiteral("         7") + blank +
                           QStringLiteral("         0         0") + blank);
    // A label wider than 28 columns is not cut.
    QCOMPARE(lines[10], QStringLiteral("受信メッセージ (1秒あたり平均)") +
                            QStringLiteral("         0") + blank +
                            QStringLiteral("         04294967295") + blank);
    QCOMPARE(lines[14], QString());
}

void StatisticsFrameTest::copyCutsLongLabelsOnCharacters() {
    StatisticsSnapshot snapshot;
    // 20 three-byte characters: 60 bytes, cut to what fits in 47 bytes.
    const QString longLabel(20, QChar(0x3042));
    const QStringList labels(13, longLabel);
    const QString text = CStatisticsList::CopyText(snapshot, labels, QString());
    const QString first = text.split(u'\n').first();
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QCOMPARE(first, QString(15, QChar(0x3042)) + QString(50, u' '));
    QCOMPARE(CStatisticsList::DisplayWidth(QStringLiteral("ｱｲｳ")), 3);  // half-width kana
    QCOMPARE(CStatisticsList::DisplayWidth(QStringLiteral("Rx 受信")), 7);
}

void StatisticsFrameTest::clearCommands() {
    Fixture f;
    QVERIFY(f.Create());
    for (int c = 0; c < kChannelCount; ++c) {
        f.source.stats[static_cast<size_t>(c)].busLoadPeak = 1000 + c;
    }
    // Idle: an enabled channel may be cleared.
    QVERIFY(f.State(ID_STATISTICS_CLEAR_CAN1).enabled);
    QVERIFY(!f.State(ID_STATISTICS_CLEAR_CAN2).enabled);  // not enabled
    QVERIFY(f.State(ID_STATISTICS_CLEAR_ALL).enabled);
    QVERIFY(f.State(ID_STATISTICS_CLEAR).enabled);
    // Communicating: only active channels.
    f.backend.connected = true;
    f.backend.active[0] = false;
    QVERIFY(!f.State(ID_STATISTICS_CLEAR_CAN1).enabled);
    QVERIFY(f.State(ID_STATISTICS_CLEAR_CAN3).enabled);
    f.backend.active[2] = f.backend.active[3] = false;
    QVERIFY(!f.State(ID_STATISTICS_CLEAR_ALL).enabled);
    QVERIFY(f.State(ID_STATISTICS_CLEAR).enabled);  // the button is always there

    f.Run(ID_STATISTICS_CLEAR_CAN3);
    QCOMPARE(f.source.cleared, (std::vector<int>{2}));
    QCOMPARE(f.frame->Snapshot().stats[2].busLoadPeak, 0u);
    QCOMPARE(f.frame->Snapshot().stats[0].busLoadPeak, 1000u);
    f.source.cleared.clear();
    f.Run(ID_STATISTICS_CLEAR);
    f.Run(ID_STATISTICS_CLEAR_ALL);
    QCOMPARE(f.source.cleared, (std::vector<int>{0, 1, 2, 3, 4, 0, 1, 2, 3, 4}));
}

void StatisticsFrameTest::dropDownClearsOneChannel() {
    Fixture f;
    QVERIFY(f.Create());
    QMenu* menu = f.frame->ClearMenu();
    QVERIFY(menu != nullptr);
    std::vector<uint32_t> ids;
    for (QAction* action : menu->actions()) {
        ids.push_back(action->isSeparator() ? 0 : action->data().toUInt());
    }
    QCOMPARE(ids, (std::vector<uint32_t>{32791, 32792, 32793, 32794, 32795, 0, 32796}));
    QCOMPARE(menu->actions().last()->text(), QStringLiteral("すべて(&A)"));
    QAction* button = res::FindCommandAction(f.frame->ToolBar(), ID_STATISTICS_CLEAR);
    QVERIFY(button != nullptr && button->menu() == menu);
    auto* tool = qobject_cast<QToolButton*>(f.frame->ToolBar()->widgetForAction(button));
    QVERIFY(tool != nullptr);
    QCOMPARE(tool->popupMode(), QToolButton::MenuButtonPopup);

    Q_EMIT menu->aboutToShow();
    QVERIFY(menu->actions()[0]->isEnabled());
    QVERIFY(!menu->actions()[1]->isEnabled());  // CAN2 is not enabled
    menu->actions()[3]->trigger();              // CAN4
    QCOMPARE(f.source.cleared, (std::vector<int>{3}));
    button->trigger();  // the button's own part clears all
    QCOMPARE(f.source.cleared, (std::vector<int>{3, 0, 1, 2, 3, 4}));
}

void StatisticsFrameTest::tickWakesTheWorkersAndRefreshesOnceMoreAtStop() {
    Fixture f;
    QVERIFY(f.Create());
    f.backend.connected = true;
    f.Post(kEventCommStart);
    QVERIFY(f.frame->ViewTimerActive());
    QTRY_VERIFY_WITH_TIMEOUT(f.source.refreshes >= 2, 3000);
    f.backend.connected = false;
    const int before = f.source.refreshes;
    f.Post(kEventCommStop);
    QVERIFY(!f.frame->ViewTimerActive());
    QVERIFY(f.source.refreshes > before);
    const int after = f.source.refreshes;
    QTest::qWait(600);
    QCOMPARE(f.source.refreshes, after);
}

void StatisticsFrameTest::settingsChangeRecoloursTheList() {
    Fixture f;
    f.backend.settings.statisticsColorBkgnd = 0x00E0F0FF;
    QVERIFY(f.Create());
    QCOMPARE(f.frame->List()->BackgroundColor(), QColor(0xFF, 0xF0, 0xE0));
    f.backend.settings.statisticsColorBkgnd = 0x00203040;
    f.backend.settings.statisticsColorText = 0x00FFFFFF;
    f.Post(kEventSettingsChanged);
    QCOMPARE(f.frame->List()->BackgroundColor(), QColor(0x40, 0x30, 0x20));
    const QImage image = f.Grab();
    QCOMPARE(QColor(image.pixel(f.Cell(3, 1).left(), f.Cell(3, 1).top())),
             QColor(0x40, 0x30, 0x20));
}

QTEST_MAIN(StatisticsFrameTest)
#include "statistics_frame_test.moc"

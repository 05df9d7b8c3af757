// The bus-load graph: its layout for a size, where samples and the
// threshold land, the rendered picture, and the frame's commands.
#include <QImage>

#include "res/ids.h"
#include "tests/ui/live_view_support.h"
#include "ui/frame/bus_load_frame.h"
#include "ui/frame/bus_load_graph.h"
#include "ui/frame/bus_load_layout.h"
#include "ui/frame/user_events.h"

namespace {

// CAN1, CAN2 and CAN4 enabled.
struct Fixture : ViewFixture<CBusLoadFrame> {
    Fixture() : ViewFixture({0, 1, 3}) {}
    CBusLoadGraph* Graph() const { return frame->Graph(); }
    QImage Grab() const { return Graph()->grab().toImage(); }
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

bool Reddish(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

}  // namespace

class BusLoadFrameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layoutForHistoryTimes_data();
    void layoutForHistoryTimes();
    void samplesOfTheSixtySecondExample();
    void narrowWindowKeepsTenPixelsAtTheLeftEdge();
    void heightsOfLoadsAndThreshold();
    void axisLabelsForThirtyAndOneHundredTwentySeconds();
    void renderedGraph();
    void tinyGraphPaints();
    void lineCommandsFollowTheChannels();
    void historyTimeAndClear();
    void commStartSeedsZeroForRunningChannels();
    void settingsChangeTakesNewPens();
};

void BusLoadFrameTest::layoutForHistoryTimes_data() {
    QTest::addColumn<uint>("histTime");
    QTest::addColumn<int>("divisions");
    QTest::addColumn<int>("divWidth");
    QTest::addColumn<int>("left");
    QTest::addColumn<double>("perSample");
    QTest::newRow("30 s") << 0u << 3 << 241 << 69 << 12.05;
    QTest::newRow("60 s") << 1u << 6 << 120 << 72 << 6.0;
    QTest::newRow("120 s") << 2u << 12 << 60 << 72 << 3.0;
    QTest::newRow("damaged value counts as 60 s") << 7u << 6 << 120 << 72 << 6.0;
}

void BusLoadFrameTest::layoutForHistoryTimes() {
    QFETCH(uint, histTime);
    QFETCH(int, divisions);
    QFETCH(int, divWidth);
    QFETCH(int, left);
    QFETCH(double, perSample);
    const BusLoadLayout l = ComputeBusLoadLayout(800, 400, 4, 20, histTime);
    QCOMPARE(l.plot.right, 792);
    QCOMPARE(l.plot.bottom, 380);
    QCOMPARE(l.divisions, divisions);
    QCOMPARE(l.divWidth, divWidth);
    QCOMPARE(l.plot.left, left);
    QCOMPARE(l.pixelsPerSample, perSample);
    QCOMPARE(l.tenPercent, 37);
    QCOMPARE(l.plot.top, 10);
    QCOMPARE(l.legend, (BusLoadBox{6, 6, 48, 106}));
    QCOMPARE(static_cast<int>(l.xLabels.size()), divisions);
    QCOMPARE(l.xLabels.front(), (BusLoadBox{792 - divWidth, 380, 792, 400}));
    QCOMPARE(l.yLabels[0], (BusLoadBox{48, 353, left, 390}));
    QCOMPARE(l.yLabels[10], (BusLoadBox{48, 353 - 370, left, 390 - 370}));
}

void BusLoadFrameTest::samplesOfTheSixtySecondExample() {
    const BusLoadLayout l = ComputeBusLoadLayout(800, 400, 4, 20, 1);
    for (int j = 0; j <= 120; ++j) {
        QCOMPARE(BusLoadSampleX(l, j), j == 0 ? 790 : 792 - 6 * j);
    }
    for (int j = 121; j < 240; ++j) {
        QCOMPARE(BusLoadSampleX(l, j), 72);
    }
    // The whole history is walked at 60 s; at 30 s twice the span.
    QCOMPARE(BusLoadSamplesDrawn(l, 240), 240);
    QCOMPARE(BusLoadSamplesDrawn(ComputeBusLoadLayout(800, 400, 4, 20, 0), 240), 121);
    QCOMPARE(BusLoadSamplesDrawn(l, 1), 1);
}

void BusLoadFrameTest::narrowWindowKeepsTenPixelsAtTheLeftEdge() {
    const BusLoadLayout l = ComputeBusLoadLayout(120, 300, 4, 20, 1);
    QCOMPARE(l.divWidth, 7);
    QCOMPARE(l.plot.left, 112 - 60);
    QCOMPARE(l.xLabels.back().left, 112 - 42);
    QCOMPARE(BusLoadSampleX(l, 20), 112 - 7);  // the spacing follows the smaller width
    QCOMPARE(BusLoadSampleX(l, 239), 52);
}

void BusLoadFrameTest::heightsOfLoadsAndThreshold() {
    // Every height: whole percents on their grid line, the extremes one
    // pixel inside the outline.
    for (int height = 150; height <= 900; ++height) {
        const BusLoadLayout l = ComputeBusLoadLayout(800, height, 4, 20, 1);
        const int ten = l.tenPercent;
        QCOMPARE(BusLoadSampleY(l, 5099), l.plot.bottom - 5 * ten);
        QCOMPARE(BusLoadSampleY(l, 3000), l.plot.bottom - 3 * ten);
        QCOMPARE(BusLoadSampleY(l, 10000), l.plot.top + 1);
        QCOMPARE(BusLoadSampleY(l, 0), l.plot.bottom - 1);
        QCOMPARE(BusLoadSampleY(l, 0xFFFFFFFFu), l.plot.top + 1);  // a library's bad figure
        QCOMPARE(BusLoadThresholdY(l, 80), l.plot.bottom - 8 * ten);
        QCOMPARE(BusLoadThresholdY(l, 0), l.plot.bottom);
        QCOMPARE(BusLoadThresholdY(l, 100), l.plot.top);
        QCOMPARE(BusLoadThresholdY(l, 4000000000u), l.plot.top);  // typed, not range-checked
    }
    // Too low for 10 pixels per 10 %: the plot keeps 100 pixels.
    const BusLoadLayout low = ComputeBusLoadLayout(800, 80, 4, 20, 1);
    QCOMPARE(low.plot.bottom - low.plot.top, 100);
}

void BusLoadFrameTest::axisLabelsForThirtyAndOneHundredTwentySeconds() {
    Fixture f;
    f.backend.settings.busLoadHistTime = 0;
    QVERIFY(f.Create());
    const auto texts = [&f] {
        QStringList list;
        for (const CBusLoadGraph::AxisLabel& label : f.Graph()->AxisLabels()) {
            list << label.text;
        }
        return list;
    };
    QStringList expected = {"-0sec", "-10sec", "-20sec", "-30sec"};
    for (int k = 0; k <= 100; k += 10) {
        expected << QStringLiteral("%1% ").arg(k);
    }
    QCOMPARE(texts(), expected);
    const std::vector<CBusLoadGraph::AxisLabel> labels = f.Graph()->AxisLabels();
    const BusLoadLayout& l = f.Graph()->Layout();
    QCOMPARE(labels[3].rect.left(), l.plot.left);  // -30sec at the left edge, left-aligned
    QVERIFY(labels[3].flags & Qt::AlignLeft);
    QVERIFY(labels[0].flags & Qt::AlignRight);
    QCOMPARE(labels[0].rect.right() + 1, l.plot.right);

    f.Run(ID_BUSLOAD_HIST_120);
    const QStringList twelve = texts();
    QCOMPARE(twelve.size(), 12 + 1 + 11);
    QCOMPARE(twelve[11], QStringLiteral("-110sec"));
    QCOMPARE(twelve[12], QStringLiteral("-120sec"));
    QCOMPARE(f.Graph()->AxisLabels()[12].rect.left(), f.Graph()->Layout().plot.left);
}

void BusLoadFrameTest::renderedGraph() {
    Fixture f;
    f.backend.settings.busLoadThreshold = 80;
    f.backend.settings.busLoadColorBkgnd = 0x00E0FFFF;  // RGB 255, 255, 224
    f.source.histories[0] = std::vector<uint32_t>(240, 5099);
    f.source.histories[1] = std::vector<uint32_t>(240, 3000);
    f.source.histories[2] = std::vector<uint32_t>(240, 6000);  // CAN3 not enabled
    QVERIFY(f.Create());
    f.Run(ID_BUSLOAD_LINE_CAN2);  // hidden
    const QImage image = f.Grab();
    const BusLoadLayout& l = f.Graph()->Layout();
    const int charW = f.Graph()->CharWidth();
    const int lineH = f.Graph()->LineHeight();
    QVERIFY(l.tenPercent * 10 >= 100);

    const QColor can1(0, 0, 255), can2(60, 179, 113), can3(255, 228, 181);
    const int x = BusLoadSampleX(l, 30);
    QCOMPARE(QColor(image.pixel(x, l.plot.bottom - 5 * l.tenPercent)), can1);
    QVERIFY(QColor(image.pixel(x, BusLoadSampleY(l, 3000))) != can2);
    QVERIFY(QColor(image.pixel(x, BusLoadSampleY(l, 6000))) != can3);
    // The plot takes the background setting; the outline the shadow colour.
    QCOMPARE(QColor(image.pixel(x, l.plot.bottom - 5 * l.tenPercent - 4)), QColor(255, 255, 224));
    const QColor shadow(f.Graph()->palette().color(QPalette::Dark).rgb());
    QCOMPARE(QColor(image.pixel(l.plot.left, l.plot.top + 5)), shadow);
    QCOMPARE(QColor(image.pixel(l.plot.right, l.plot.bottom - 5)), shadow);
    QCOMPARE(QColor(image.pixel(l.plot.left + 5, l.plot.bottom)), shadow);
    // The threshold line at the 80 % grid line.
    const int yThreshold = l.plot.bottom - 8 * l.tenPercent;
    QVERIFY(Reddish(image.pixel(l.plot.left + 3, yThreshold)));
    QVERIFY(!Reddish(image.pixel(l.plot.left + 3, yThreshold - 3)));
    // Legend strokes: CAN1 in its colour, the hidden CAN2 and the disabled
    // CAN3 in the button face.
    const QColor face(f.Graph()->palette().color(QPalette::Button).rgb());
    const int strokeX = 11 * charW - 1;
    const auto strokeY = [lineH](int c) { return 6 + c * lineH + lineH / 2; };
    QCOMPARE(QColor(image.pixel(strokeX, strokeY(0))), can1);
    QCOMPARE(QColor(image.pixel(strokeX, strokeY(0) + 1)), can1);
    QCOMPARE(QColor(image.pixel(strokeX, strokeY(1))), face);
    QCOMPARE(QColor(image.pixel(strokeX, strokeY(2))), face);
    QCOMPARE(QColor(image.pixel(strokeX, strokeY(0) + lineH / 2 + 1)), QColor(Qt::white));
}

void BusLoadFrameTest::tinyGraphPaints() {
    Fixture f;
    f.source.histories[0] = std::vector<uint32_t>(240, 10000);
    QVERIFY(f.Create());
    for (const QSize size : {QSize(1, 1), QSize(30, 20), QSize(90, 400), QSize(2000, 12)}) {
        f.Graph()->resize(size);
        QVERIFY(!f.Grab().isNull());
    }
}

void BusLoadFrameTest::lineCommandsFollowTheChannels() {
    Fixture f;
    QVERIFY(f.Create());
    // Idle: every enabled channel is active.
    QVERIFY(f.State(ID_BUSLOAD_LINE_CAN1).enabled);
    QCOMPARE(f.State(ID_BUSLOAD_LINE_CAN1).checked, 1);
    QVERIFY(!f.State(ID_BUSLOAD_LINE_CAN3).enabled);
    QCOMPARE(f.State(ID_BUSLOAD_LINE_CAN3).checked, 0);
    // Communicating: an enabled channel off the bus is neither drawn nor
    // switchable.
    f.backend.connected = true;
    f.backend.busOn[0] = true;
    f.backend.busOn[1] = false;
    QVERIFY(f.State(ID_BUSLOAD_LINE_CAN1).enabled);
    QVERIFY(!f.State(ID_BUSLOAD_LINE_CAN2).enabled);
    QCOMPARE(f.State(ID_BUSLOAD_LINE_CAN2).checked, 0);
    QVERIFY(!f.Graph()->LineShown(1));

    // The legend follows at once, though the graph keeps its still parts
    // between paints.
    const int strokeX = 11 * f.Graph()->CharWidth() - 1;
    const int strokeY = 6 + f.Graph()->LineHeight() / 2;
    const QColor face(f.Graph()->palette().color(QPalette::Button).rgb());
    QCOMPARE(QColor(f.Grab().pixel(strokeX, strokeY)), QColor(0, 0, 255));
    f.Run(ID_BUSLOAD_LINE_CAN1);
    QVERIFY(!f.Graph()->LineVisible(0));
    QCOMPARE(f.State(ID_BUSLOAD_LINE_CAN1).checked, 0);
    QVERIFY(f.State(ID_BUSLOAD_LINE_CAN1).enabled);
    QCOMPARE(QColor(f.Grab().pixel(strokeX, strokeY)), face);
    f.Run(ID_BUSLOAD_LINE_CAN1);
    QCOMPARE(f.State(ID_BUSLOAD_LINE_CAN1).checked, 1);
    QCOMPARE(QColor(f.Grab().pixel(strokeX, strokeY)), QColor(0, 0, 255));
    // So does a new look.
    QPalette palette = f.Graph()->palette();
    palette.setColor(QPalette::Button, QColor(10, 20, 30));
    f.Graph()->setPalette(palette);
    QCOMPARE(QColor(f.Grab().pixel(1, 1)), QColor(10, 20, 30));
}

void BusLoadFrameTest::historyTimeAndClear() {
    Fixture f;
    f.source.histories[0] = {100, 200};
    f.source.histories[4] = {300};
    QVERIFY(f.Create());
    QCOMPARE(f.State(ID_BUSLOAD_HIST_60).checked, 1);
    QCOMPARE(f.State(ID_BUSLOAD_HIST_30).checked, 0);
    PaintCounter counter;
    f.Graph()->installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints = 0;

    // The span already shown: nothing happens.
    f.Run(ID_BUSLOAD_HIST_60);
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 0);
    f.Run(ID_BUSLOAD_HIST_120);
    QCOMPARE(counter.paints, 1);  // at once
    QCOMPARE(f.backend.settings.busLoadHistTime, 2u);
    QCOMPARE(f.Graph()->Layout().divisions, 12);
    QCOMPARE(f.State(ID_BUSLOAD_HIST_120).checked, 1);
    QCOMPARE(f.source.histories[0].size(), size_t{2});  // the samples stay

    QVERIFY(f.State(ID_BUSLOAD_CLEAR).enabled);
    f.Run(ID_BUSLOAD_CLEAR);
    for (const auto& history : f.source.histories) {
        QVERIFY(history.empty());
    }
}

void BusLoadFrameTest::commStartSeedsZeroForRunningChannels() {
    Fixture f;
    QVERIFY(f.Create());
    for (auto& history : f.source.histories) {
        history = {1234, 5678};
    }
    f.backend.connected = true;
    f.backend.busOn[0] = f.backend.busOn[3] = true;
    f.Post(kEventCommStart);
    QCOMPARE(f.source.histories[0], (std::vector<uint32_t>{0}));
    QVERIFY(f.source.histories[1].empty());
    QVERIFY(f.source.histories[2].empty());
    QCOMPARE(f.source.histories[3], (std::vector<uint32_t>{0}));
    // After the stop the histories stay and every enabled line is drawn.
    f.backend.connected = false;
    f.Post(kEventCommStop);
    QCOMPARE(f.source.histories[0], (std::vector<uint32_t>{0}));
    QVERIFY(f.Graph()->LineShown(1));
}

void BusLoadFrameTest::settingsChangeTakesNewPens() {
    Fixture f;
    f.source.histories[0] = std::vector<uint32_t>(100, 4000);
    QVERIFY(f.Create());
    f.backend.settings.busLoadColorLine[0] = 0x0000FF00;
    f.backend.settings.busLoadThreshold = 50;
    f.Post(kEventSettingsChanged);
    const QImage image = f.Grab();
    const BusLoadLayout& l = f.Graph()->Layout();
    QCOMPARE(QColor(image.pixel(BusLoadSampleX(l, 10), BusLoadSampleY(l, 4000))),
             QColor(0, 255, 0));
    QVERIFY(Reddish(image.pixel(l.plot.left + 3, l.plot.bottom - 5 * l.tenPercent)));
}

QTEST_MAIN(BusLoadFrameTest)
#include "bus_load_frame_test.moc"

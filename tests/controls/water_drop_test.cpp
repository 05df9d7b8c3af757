#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <vector>

#include "controls/plasma_routine.h"
#include "controls/water_drop_ctrl.h"
#include "controls/water_routine.h"

namespace {

// A picture with a different colour in every pixel, so shifted pixels show.
QImage Gradient(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 5) & 0xFF, (x + y) & 0xFF));
        }
    }
    return image;
}

// Cells of a field that differ from 0: on the border, and in total.
struct Raised {
    int border = 0;
    int inner = 0;
};

Raised Count(const CWaterRoutine& water, int field) {
    Raised r;
    for (int y = 0; y < water.Height(); ++y) {
        for (int x = 0; x < water.Width(); ++x) {
            if (water.FieldAt(field, x, y) != 0) {
                const bool border =
                    x == 0 || y == 0 || x == water.Width() - 1 || y == water.Height() - 1;
                (border ? r.border : r.inner)++;
            }
        }
    }
    return r;
}

// Picture pixel p under palette colour c at level a (0..256).
QRgb Blended(QRgb p, uint32_t c, int a) {
    return qRgb(((qRed(c) - qRed(p)) * a + qRed(p) * 256) >> 8,
                ((qGreen(c) - qGreen(p)) * a + qGreen(p) * 256) >> 8,
                ((qBlue(c) - qBlue(p)) * a + qBlue(p) * 256) >> 8);
}

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

}  // namespace

class WaterDropTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dropNearEdgeKeepsBorder_data();
    void dropNearEdgeKeepsBorder();
    void dropShape();
    void randomDrops_data();
    void randomDrops();
    void flatWaterShowsTheSource();
    void ripplesMoveAndDie();
    void plasmaBlendLevels_data();
    void plasmaBlendLevels();
    void plasmaPaletteAndTable();
    void noBitmapNoTimer();
    void timerAndStep();
    void mouseDrops();
    void plasmaDoesNotPileUp();
};

void WaterDropTest::dropNearEdgeKeepsBorder_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("radius");
    QTest::newRow("top left corner") << QPoint(0, 0) << 5;
    QTest::newRow("first inner pixel") << QPoint(1, 1) << 5;
    QTest::newRow("bottom right corner") << QPoint(63, 39) << 5;
    QTest::newRow("left edge, big radius") << QPoint(2, 20) << 50;
    QTest::newRow("bottom edge") << QPoint(30, 38) << 50;
    QTest::newRow("larger than the picture") << QPoint(32, 20) << 500;
}

void WaterDropTest::dropNearEdgeKeepsBorder() {
    QFETCH(QPoint, at);
    QFETCH(int, radius);
    CWaterRoutine water;
    water.Create(64, 40);
    QVERIFY(water.HeightBlob(at.x(), at.y(), radius, 500));
    Raised raised = Count(water, 1);
    QCOMPARE(raised.border, 0);
    QVERIFY(raised.inner > 0);
    QCOMPARE(Count(water, 2).inner, 0);  // page 0 drops into field 1
    // The simulation keeps the border flat too.
    const QImage picture = Gradient(64, 40);
    QImage target = picture.copy();
    for (int i = 0; i < 6; ++i) {
        water.Render(reinterpret_cast<const uint32_t*>(picture.constBits()),
                     reinterpret_cast<uint32_t*>(target.bits()));
        QCOMPARE(Count(water, 1).border, 0);
        QCOMPARE(Count(water, 2).border, 0);
    }
}

void WaterDropTest::dropShape() {
    CWaterRoutine water;
    water.Create(40, 40);
    water.HeightBlob(20, 20, 5, 50);
    QCOMPARE(water.FieldAt(1, 20, 20), 50);
    QCOMPARE(water.FieldAt(1, 24, 20), 50);
    QCOMPARE(water.FieldAt(1, 25, 20), 0);  // distance r is outside
    QCOMPARE(water.FieldAt(1, 24, 24), 0);  // 32 > 25
    QCOMPARE(water.FieldAt(1, 23, 23), 50);
    // Drops add up.
    water.HeightBlob(20, 20, 1, 7);
    QCOMPARE(water.FieldAt(1, 20, 20), 57);
}

void WaterDropTest::randomDrops_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("radius");
    QTest::addColumn<bool>("dropped");
    QTest::newRow("room for it") << QSize(40, 30) << 5 << true;
    QTest::newRow("just room") << QSize(12, 12) << 5 << true;
    QTest::newRow("too narrow") << QSize(11, 40) << 5 << false;
    QTest::newRow("too low") << QSize(40, 11) << 5 << false;
    QTest::newRow("click radius on a small picture") << QSize(60, 60) << 50 << false;
    QTest::newRow("no picture") << QSize(0, 0) << 5 << false;
}

void WaterDropTest::randomDrops() {
    QFETCH(QSize, size);
    QFETCH(int, radius);
    QFETCH(bool, dropped);
    CWaterRoutine water;
    water.Create(size.width(), size.height());
    water.Seed(7);
    for (int i = 0; i < 200; ++i) {
        QCOMPARE(water.HeightBlob(-1, -1, radius, 1), dropped);
    }
    const Raised raised = Count(water, 1);
    QCOMPARE(raised.border, 0);
    QCOMPARE(raised.inner > 0, dropped);
}

void WaterDropTest::flatWaterShowsTheSource() {
    for (int light : {0, 1}) {
        CWaterRoutine water;
        water.Create(50, 20);
        water.light = light;
        const QImage picture = Gradient(50, 20);
        QImage target(50, 20, QImage::Format_RGB32);
        target.fill(Qt::black);
        water.Render(reinterpret_cast<const uint32_t*>(picture.constBits()),
                     reinterpret_cast<uint32_t*>(target.bits()));
        QCOMPARE(target, picture);
    }
}

void WaterDropTest::ripplesMoveAndDie() {
    CWaterRoutine water;
    water.Create(80, 60);
    water.HeightBlob(40, 30, 6, 500);
    const QImage picture = Gradient(80, 60);
    QImage target = picture.copy();
    const auto render = [&] {
        water.Render(reinterpret_cast<const uint32_t*>(picture.constBits()),
                     reinterpret_cast<uint32_t*>(target.bits()));
    };
    for (int i = 0; i < 4; ++i) {
        render();
    }
    // The wave shifts the picture where the water slopes.
    QVERIFY(target != picture);
    // The wave spreads beyond the drop ...
    QVERIFY(water.FieldAt(1, 40, 38) != 0 || water.FieldAt(2, 40, 38) != 0);
    // ... and the damping flattens it.
    for (int i = 0; i < 2000; ++i) {
        render();
    }
    QCOMPARE(Count(water, 1).inner + Count(water, 2).inner, 0);
    render();
    QCOMPARE(target, picture);
}

void WaterDropTest::plasmaBlendLevels_data() {
    QTest::addColumn<int>("alpha");
    QTest::newRow("0 leaves the picture") << 0;
    QTest::newRow("256 replaces it") << 256;
    QTest::newRow("half") << 128;
    QTest::newRow("above the range acts as 256") << 1000;
    QTest::newRow("below the range acts as 0") << -5;
}

void WaterDropTest::plasmaBlendLevels() {
    QFETCH(int, alpha);
    CPlasmaRoutine plasma;
    plasma.Create(30, 20);
    plasma.SetAlpha(alpha);
    const QImage picture = Gradient(40, 10);  // wider, lower than the plasma
    QImage blended = picture.copy();
    plasma.Blend(reinterpret_cast<uint32_t*>(blended.bits()), 40, 10);
    const int a = qBound(0, alpha, 256);
    QCOMPARE(plasma.Alpha(), a);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 40; ++x) {
            const QRgb p = picture.pixel(x, y);
            const QRgb got = blended.pixel(x, y);
            if (x >= 30) {
                QCOMPARE(got, p);  // outside the plasma
                continue;
            }
            QCOMPARE(got, Blended(p, plasma.Palette()[plasma.IndexAt(x, y)], a));
        }
    }
    if (a == 0) {
        QCOMPARE(blended, picture);
    }
    if (a == 256) {
        QCOMPARE(blended.pixel(3, 4), 0xFF000000u | plasma.Palette()[plasma.IndexAt(3, 4)]);
    }
}

void WaterDropTest::plasmaPaletteAndTable() {
    CPlasmaRoutine plasma;
    plasma.Create(4, 4);
    const auto& pal = plasma.Palette();
    // Black to red in steps of 255/32, rounded to the nearest.
    QCOMPARE(pal[0], 0x000000u);
    QCOMPARE(pal[1], 0x080000u);
    QCOMPARE(pal[2], 0x100000u);
    QCOMPARE(pal[3], 0x180000u);
    QCOMPARE(pal[16], 0x800000u);
    QCOMPARE(pal[31], 0xF70000u);  // one step short of red
    // Red towards green; yellow stays yellow.
    QCOMPARE(pal[32], 0xFF0000u);
    QCOMPARE(pal[33], 0xF70800u);
    QCOMPARE(pal[100], 0xFFFF00u);
    QCOMPARE(pal[159], 0xFFFF00u);
    // White towards dark green: red and blue fall, green falls less.
    QCOMPARE(pal[160], 0xFFFFFFu);
    QCOMPARE(pal[161], 0xF7FAF7u);
    QCOMPARE(pal[224], 0x8B0000u);
    QCOMPARE(pal[255], 0x040000u);
    // Truncated toward zero: the half period lands just short of -30.
    const auto& t = plasma.CosineTable();
    QCOMPARE(t[0], 30);
    QCOMPARE(t[32], 0);
    QCOMPARE(t[64], -29);
    QCOMPARE(t[128], 29);
    QCOMPARE(t[16], 21);
}

void WaterDropTest::noBitmapNoTimer() {
    CWaterDropCtrl control;
    control.resize(50, 30);
    QVERIFY(!control.SetSource(QImage()));
    control.StartEffect();
    QVERIFY(!control.TimerActive());
    QVERIFY(!control.TimerStarted());
    control.Step();
    SendMouse(&control, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(control.RenderImage().isNull());
    // A picture that goes away stops the effect.
    QVERIFY(control.SetSource(Gradient(20, 20)));
    control.StartEffect();
    QVERIFY(control.TimerActive());
    QVERIFY(!control.SetSource(QImage()));
    QVERIFY(!control.TimerActive());
}

void WaterDropTest::timerAndStep() {
    CWaterDropCtrl control;
    const QImage picture = Gradient(48, 32);
    QVERIFY(control.SetSource(picture));
    QCOMPARE(control.RenderImage(), picture);
    control.SetPlasmaLevel(256);
    control.StartEffect();
    QVERIFY(control.TimerStarted() && control.TimerActive());
    QCOMPARE(control.EffectTimer().interval(), 40);
    // The first step ran at once: the plasma covers the picture.
    QVERIFY(control.RenderImage() != picture);
    // An inactive effect does not step.
    control.SetEffectActive(false);
    const QImage frozen = control.RenderImage().copy();
    control.Step();
    QCOMPARE(control.RenderImage(), frozen);
    // Without water and plasma a step shows the source.
    control.SetEffectActive(true);
    control.SetWaterEnabled(false);
    control.SetPlasmaEnabled(false);
    control.Step();
    QCOMPARE(control.RenderImage(), picture);
    control.StopEffect();
    QVERIFY(!control.TimerActive() && !control.TimerStarted());
}

void WaterDropTest::mouseDrops() {
    CWaterDropCtrl control;
    control.resize(120, 80);  // larger than the picture
    QVERIFY(control.SetSource(Gradient(100, 60)));
    CWaterRoutine& water = control.Water();
    SendMouse(&control, QEvent::MouseButtonPress, QPoint(80, 10), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(water.FieldAt(1, 80, 10), 500);
    QCOMPARE(water.FieldAt(1, 80, 58), 500);  // radius 50
    SendMouse(&control, QEvent::MouseMove, QPoint(10, 40), Qt::NoButton, Qt::NoButton);
    QCOMPARE(water.FieldAt(1, 10, 40), 50);
    QCOMPARE(water.FieldAt(1, 10, 46), 0);  // radius 5
    SendMouse(&control, QEvent::MouseMove, QPoint(90, 10), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(water.FieldAt(1, 90, 10), 500 + 500);
    // Off the picture, or with the effect stopped: no drop anywhere.
    control.ClearWater();
    SendMouse(&control, QEvent::MouseMove, QPoint(110, 70), Qt::NoButton, Qt::LeftButton);
    SendMouse(&control, QEvent::MouseMove, QPoint(-5, 10), Qt::NoButton, Qt::LeftButton);
    control.SetEffectActive(false);
    SendMouse(&control, QEvent::MouseButtonPress, QPoint(50, 20), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(Count(water, 1).inner + Count(water, 2).inner, 0);
}

void WaterDropTest::plasmaDoesNotPileUp() {
    // Every step blends the plasma once over the picture as the water shows
    // it, on the border as inside, however many steps ran before.
    CWaterDropCtrl control;
    const QImage picture = Gradient(32, 24);
    QVERIFY(control.SetSource(picture));
    control.SetPlasmaLevel(128);
    for (int step = 0; step < 4; ++step) {
        std::vector<QRgb> want;
        const QPoint points[] = {{0, 0}, {31, 23}, {0, 12}, {15, 10}};
        for (QPoint at : points) {
            const uint32_t c = control.Plasma().Palette()[control.Plasma().IndexAt(at.x(), at.y())];
            want.push_back(Blended(picture.pixel(at), c, 128));
        }
        control.Step();
        for (size_t i = 0; i < want.size(); ++i) {
            QCOMPARE(control.RenderImage().pixel(points[i]), want[i]);
        }
    }
}

QTEST_MAIN(WaterDropTest)
#include "water_drop_test.moc"

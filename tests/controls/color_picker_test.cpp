// The colour picker and its popup, driven with keys and the mouse as a user
// would; the colour dialog of the more-colours entry is scripted.
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "controls/color_picker.h"
#include "controls/color_popup.h"
#include "tests/controls/color_test_support.h"

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

constexpr uint32_t kAuto = kAutomaticColor;
constexpr uint32_t kCustom = 0x00123456;  // in no palette entry

// A picker with its notifications recorded.
struct PickerFixture {
    CColorPicker picker{nullptr, 1043};
    QSignalSpy spy{&picker, &CColorPicker::colorNotify};

    explicit PickerFixture(uint32_t color) {
        picker.SetColor(color);
        picker.resize(80, 24);
        picker.show();
    }
    CColorPopup* Open() { return picker.OpenPopup(); }
    // The popup is gone once its deletion ran.
    bool PopupGone() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return picker.Popup() == nullptr;
    }
};

// The pointer moved over a point of the popup, delivered at once.
void MoveTo(QWidget* popup, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, popup->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(popup, &move);
}

}  // namespace

class ColorPickerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keys_data();
    void keys();
    void mouse_data();
    void mouse();
    void cancelledFromOutside();
    void customColourShownBesideMoreColours();
    void placement_data();
    void placement();
    void popupNearScreenCornerStaysOnScreen();
    void pickerFace_data();
    void pickerFace();
};

void ColorPickerTest::keys_data() {
    QTest::addColumn<uint>("initial");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("dialogOk");
    QTest::addColumn<int>("sent");  // notifications expected (0 or 1)
    QTest::addColumn<uint>("color");
    const auto& p = CColorPopup::Palette();
    QTest::newRow("enter at once keeps the colour")
        << p[13].color << "E" << true << 1 << p[13].color;
    QTest::newRow("right then enter") << 0u << "RE" << true << 1 << p[1].color;
    QTest::newRow("right wraps to the next row") << p[7].color << "RE" << true << 1 << p[8].color;
    QTest::newRow("left wraps to the row above") << p[8].color << "LE" << true << 1 << p[7].color;
    QTest::newRow("left from the first cell: automatic") << 0u << "LE" << true << 1 << kAuto;
    QTest::newRow("up from the first row: automatic") << p[5].color << "UE" << true << 1 << kAuto;
    // Entries 10 and 11 repeat 2 and 3: the first of them is the selection.
    QTest::newRow("repeated colour starts on its first cell")
        << p[10].color << "RE" << true << 1 << p[3].color;
    QTest::newRow("down from automatic enters the grid")
        << kAuto << "DE" << true << 1 << p[0].color;
    QTest::newRow("space chooses") << p[13].color << "DS" << true << 1 << p[21].color;
    QTest::newRow("down through the grid to more colours, OK")
        << p[3].color << "DDDDDDE" << true << 1 << 0x00ABCDEFu;
    QTest::newRow("right from the last cell: more colours")
        << p[39].color << "RE" << true << 1 << 0x00ABCDEFu;
    QTest::newRow("more colours, dialog cancelled")
        << p[39].color << "DE" << false << 0 << p[39].color;
    QTest::newRow("up from more colours: last row") << kCustom << "UE" << true << 1 << p[32].color;
    QTest::newRow("escape after moving sends nothing")
        << p[0].color << "RRDDX" << true << 0 << p[0].color;
}

void ColorPickerTest::keys() {
    QFETCH(uint, initial);
    QFETCH(QString, keys);
    QFETCH(bool, dialogOk);
    QFETCH(int, sent);
    QFETCH(uint, color);
    ScriptedColorDialog dialog;
    dialog.ok = dialogOk;
    PickerFixture f(initial);
    TypeKeys(f.Open(), qPrintable(keys));
    QVERIFY(f.PopupGone());
    QCOMPARE(f.spy.count(), sent);
    if (sent == 1) {
        QCOMPARE(f.spy.at(0).at(0).toInt(), int(CPN_COLORCHOSEN));
        QCOMPARE(f.spy.at(0).at(1).toUInt(), color);
    }
    QCOMPARE(f.picker.Color(), color);
}

void ColorPickerTest::mouse_data() {
    QTest::addColumn<uint>("initial");
    QTest::addColumn<QList<int>>("moves");  // entries passed over before the release
    QTest::addColumn<int>("release");       // entry released on; kNone: the border
    QTest::addColumn<int>("sent");
    QTest::addColumn<uint>("color");
    const auto& p = CColorPopup::Palette();
    const int none = CColorPopup::kNone;
    QTest::newRow("release on a cell") << 0u << QList<int>{3, 20} << 9 << 1 << p[9].color;
    QTest::newRow("release on automatic")
        << p[4].color << QList<int>{4} << int(CColorPopup::kAutomaticEntry) << 1 << kAuto;
    QTest::newRow("release on more colours")
        << 0u << QList<int>{39} << int(CColorPopup::kMoreEntry) << 1 << 0x00ABCDEFu;
    // The border is no entry: the colour stays what it was.
    QTest::newRow("release on the border keeps the colour")
        << p[6].color << QList<int>{12} << none << 1 << p[6].color;
}

void ColorPickerTest::mouse() {
    QFETCH(uint, initial);
    QFETCH(QList<int>, moves);
    QFETCH(int, release);
    QFETCH(int, sent);
    QFETCH(uint, color);
    ScriptedColorDialog dialog;
    PickerFixture f(initial);
    CColorPopup* popup = f.Open();
    for (int entry : moves) {
        MoveTo(popup, popup->EntryRect(entry).center());
        QCOMPARE(popup->Highlighted(), entry);
        QCOMPARE(popup->CurrentColor(), CColorPopup::Palette()[entry].color);
    }
    // (1, 1) on the border: QTest would take (0, 0) for the centre.
    const QPoint at =
        release == CColorPopup::kNone ? QPoint(1, 1) : popup->EntryRect(release).center();
    QCOMPARE(popup->EntryAt(at), release);
    QTest::mousePress(popup, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(popup, Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(f.PopupGone());
    QCOMPARE(f.spy.count(), sent);
    QCOMPARE(f.spy.at(0).at(1).toUInt(), color);
    QCOMPARE(f.picker.Color(), color);
}

void ColorPickerTest::cancelledFromOutside() {
    // A click outside, the popup hidden by the window system, the application
    // losing activation: each cancels, sends nothing and lets the picker open again.
    const auto& p = CColorPopup::Palette();
    for (int way = 0; way < 3; ++way) {
        PickerFixture f(p[17].color);
        CColorPopup* popup = f.Open();
        MoveTo(popup, popup->EntryRect(25).center());
        QCOMPARE(popup->CurrentColor(), p[25].color);
        if (way == 0) {
            const QPoint outside(popup->width() + 5, popup->height() + 5);
            QTest::mousePress(popup, Qt::LeftButton, Qt::NoModifier, outside);
            QVERIFY(popup->isVisible());  // the release decides, not the press
            QTest::mouseRelease(popup, Qt::LeftButton, Qt::NoModifier, outside);
        } else if (way == 1) {
            popup->hide();
            QCOMPARE(popup->CurrentColor(), p[17].color);
            popup->close();
        } else {
            Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
        }
        QVERIFY2(f.PopupGone(), qPrintable(QString::number(way)));
        QCOMPARE(f.spy.count(), 0);
        QCOMPARE(f.picker.Color(), p[17].color);
        QVERIFY(f.Open() != nullptr);
    }
    PickerFixture disabled(0);
    disabled.picker.setEnabled(false);
    QVERIFY(disabled.Open() == nullptr);
}

void ColorPickerTest::customColourShownBesideMoreColours() {
    PickerFixture plain(0);
    const int plainWidth = plain.Open()->width();
    PickerFixture f(kCustom);
    CColorPopup* popup = f.Open();
    QCOMPARE(popup->Highlighted(), int(CColorPopup::kMoreEntry));
    QVERIFY(popup->width() >= plainWidth);
    // The swatch stands at the left of the more-colours box.
    const QImage image = popup->grab().toImage();
    const QRect box = popup->EntryRect(CColorPopup::kMoreEntry);
    const QPoint swatch(box.left() + CColorPopup::kCellSize / 2, box.center().y());
    QCOMPARE(image.pixelColor(swatch * image.devicePixelRatio()), ColorFromColorRef(kCustom));
    // Without a custom colour the same place is the box's own background.
    const QImage other = plain.picker.Popup()->grab().toImage();
    QVERIFY(other.pixelColor(swatch * other.devicePixelRatio()) != ColorFromColorRef(kCustom));
    // The colour dialog starts from the custom colour.
    ScriptedColorDialog dialog;
    QTest::keyClick(popup, Qt::Key_Return);
    QCOMPARE(dialog.openedWith, kCustom);
    QCOMPARE(f.picker.Color(), dialog.answer);
}

void ColorPickerTest::placement_data() {
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("at");
    const QRect screen(0, 0, 1000, 800);  // the popup is 170 x 160
    QTest::newRow("below the picker") << QRect(100, 100, 60, 22) << screen << QPoint(100, 122);
    QTest::newRow("right edge: moved left")
        << QRect(950, 100, 60, 22) << screen << QPoint(830, 122);
    QTest::newRow("exactly fits below") << QRect(100, 618, 60, 22) << screen << QPoint(100, 640);
    QTest::newRow("second screen")
        << QRect(1750, 580, 40, 20) << QRect(1000, 0, 800, 600) << QPoint(1630, 420);
    QTest::newRow("screen lower than the popup")
        << QRect(0, 50, 40, 20) << QRect(0, 0, 1000, 100) << QPoint(0, 0);
}

void ColorPickerTest::placement() {
    QFETCH(QRect, anchor);
    QFETCH(QRect, screen);
    QFETCH(QPoint, at);
    QCOMPARE(CColorPopup::PlaceOnScreen(anchor, QSize(170, 160), screen), at);
}

void ColorPickerTest::popupNearScreenCornerStaysOnScreen() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    PickerFixture f(0);
    f.picker.move(screen.right() - 30, screen.bottom() - 15);
    QVERIFY(QTest::qWaitForWindowExposed(&f.picker));
    const QPoint picker = f.picker.mapToGlobal(QPoint(0, 0));
    QVERIFY(picker.x() + 100 > screen.right() && picker.y() + 100 > screen.bottom());
    CColorPopup* popup = f.Open();
    QVERIFY(screen.contains(popup->geometry()));
    QVERIFY(popup->geometry().bottom() < picker.y());
}

void ColorPickerTest::pickerFace_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<uint>("color");
    QTest::addColumn<QColor>("swatch");
    QTest::newRow("byte order") << true << 0x00123456u << QColor(0x56, 0x34, 0x12);
    QTest::newRow("automatic paints black") << true << kAuto << QColor(0, 0, 0);
    QTest::newRow("disabled") << false << Rgb(255, 0, 0) << QColor(179, 179, 179);
}

void ColorPickerTest::pickerFace() {
    QFETCH(bool, enabled);
    QFETCH(uint, color);
    QFETCH(QColor, swatch);
    PickerFixture f(color);
    f.picker.setEnabled(enabled);
    const QImage image = f.picker.grab().toImage();
    const qreal dpr = image.devicePixelRatio();
    const QRect rect = f.picker.SwatchRect();
    QCOMPARE(image.pixelColor(rect.center() * dpr), swatch);
    QCOMPARE(image.pixelColor(rect.topLeft() * dpr), QColor(Qt::black));
    // The swatch keeps clear of the separator and the arrow part.
    QVERIFY(rect.right() < f.picker.SeparatorX() - 2);
    QVERIFY(f.picker.width() - f.picker.SeparatorX() >= 17);
}

QTEST_MAIN(ColorPickerTest)
#include "color_picker_test.moc"

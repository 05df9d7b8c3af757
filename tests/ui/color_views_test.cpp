// Colours chosen on the colour page reach the views: the main frame's
// options command shows the sheet, every colour is changed through the
// picker, OK, and each view is grabbed and its pixels looked at.
#include <QTest>

#include "res/ids.h"
#include "tests/ui/color_page_driver.h"
#include "tests/ui/live_views.h"
#include "ui/dialogs/option_prop_sheet.h"
#include "ui/frame/bus_load_frame.h"
#include "ui/frame/bus_load_graph.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/message_info_list.h"
#include "ui/frame/message_pane.h"
#include "ui/frame/monitor_list.h"
#include "ui/frame/statistics_frame.h"
#include "ui/frame/statistics_list.h"

namespace {

constexpr uint32_t Id(uint32_t group, uint32_t item) {
    return COptionPageColor::ItemId(group, item);
}

// Colours that no look paints by itself, one per item.
struct Choice {
    uint32_t id;
    uint32_t color;  // 0x00BBGGRR
};
constexpr Choice kChoices[] = {
    {Id(0, 1), 0x00C000C0}, {Id(0, 2), 0x0000A0E0}, {Id(0, 3), 0x00D0F0E0}, {Id(2, 1), 0x00A06000},
    {Id(2, 2), 0x00E0E0FF}, {Id(3, 1), 0x000080A0}, {Id(3, 2), 0x00FFE8D0}, {Id(4, 1), 0x00B03070},
    {Id(4, 2), 0x00C8FFFF}, {Id(1, 1), 0x000000C8}, {Id(1, 2), 0x0000C800}, {Id(1, 6), 0x00F0E0FF},
    {Id(1, 7), 0x00808000}, {Id(1, 8), 0x006000B0},
};

QColor Chosen(uint32_t id) {
    for (const Choice& choice : kChoices) {
        if (choice.id == id) {
            return ColorFromColorRef(choice.color);
        }
    }
    return {};
}

// Pixels of an image area close to a colour (text is drawn smoothed).
int PixelsNear(const QImage& image, const QRect& area, const QColor& c, int tolerance = 40) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            n += qAbs(p.red() - c.red()) < tolerance && qAbs(p.green() - c.green()) < tolerance &&
                 qAbs(p.blue() - c.blue()) < tolerance;
        }
    }
    return n;
}

QImage Grab(QWidget* widget) {
    QImage image = widget->grab().toImage();
    // Pixels are looked up in widget coordinates.
    return image.scaled(widget->size());
}

}  // namespace

class ColorViewsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void viewsPaintTheColoursChosenAfterOk();
};

void ColorViewsTest::viewsPaintTheColoursChosenAfterOk() {
    // CAN1 and CAN2 each on a bus of its own.
    Vcan vcan(SORVANE_TEST_CANLIB);
    QVERIFY(vcan.Ready() && vcan.configure("[CAN2]\nbus = 2\n") == 0);
    LiveBackend backend(TwoChannels());
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    frame.resize(1400, 1000);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    auto* monitor = qobject_cast<CMonitorFrame*>(frame.ViewFrame(0));
    auto* busLoad = qobject_cast<CBusLoadFrame*>(frame.ViewFrame(1));
    auto* statistics = qobject_cast<CStatisticsFrame*>(frame.ViewFrame(2));
    auto* info = qobject_cast<CMessageInfoFrame*>(frame.ViewFrame(3));
    QVERIFY(monitor && busLoad && statistics && info);

    // One frame received OK and one refused (NG), so that the lists have rows.
    frame.OnCommand(ID_COMM_START);
    QVERIFY(backend.Connected());
    const uint8_t data[8] = {0x11, 0x22};
    QVERIFY(vcan.inject(0, 0x123, data, 2, kMsgStd) > 0);
    QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == 1; }));
    QCOMPARE(vcan.failNext("canWrite", -13, 1), 0);
    CanFrameRecord sent{};
    sent.id = 0x100;
    sent.dlc = 1;
    sent.flags = kMsgStd;
    QVERIFY(backend.manager.QueueFrame(sent));
    QVERIFY(WaitUntil([&] { return backend.manager.Frames().Size() == 2; }));
    frame.OnCommand(ID_COMM_STOP);
    QCoreApplication::processEvents();
    monitor->MessagePane()->List()->SetTexts({"Speed", "42", "km/h"});

    // The options command shows the sheet; every colour is chosen on its page.
    bool shown = false;
    frame.SetOptionsCommand([&] {
        COptionContext context;
        context.settings = &backend.settings;
        context.save = [](uint32_t) { return true; };
        context.communicating = [&] { return backend.Connected(); };
        COptionPropSheet sheet(context, &frame);
        sheet.show();
        auto* page = qobject_cast<COptionPageColor*>(sheet.Page(1));
        sheet.SetActivePage(page);
        for (const Choice& choice : kChoices) {
            if (!SelectWithKeys(*page, choice.id)) {
                return false;
            }
            PickColor(*page, choice.color);
        }
        shown = true;
        sheet.accept();
        return sheet.result() == QDialog::Accepted;
    });
    frame.OnCommand(ID_OPTIONS);
    QVERIFY(shown);
    QCOMPARE(backend.settings.monitorColorBkgnd, 0x00D0F0E0u);
    QCoreApplication::processEvents();

    // Monitor: the background below the rows, the OK row and the NG row.
    CMonitorList* list = monitor->List();
    QImage image = Grab(list->viewport());
    const int rowH = list->RowHeight();
    const int top = list->HeaderHeight();
    const int left = list->RowHeaderWidth() + 2;
    QCOMPARE(image.pixelColor(left + 30, top + 3 * rowH + 10), Chosen(Id(0, 3)));
    QVERIFY(PixelsNear(image, QRect(left, top, image.width(), rowH), Chosen(Id(0, 1))) > 10);
    QVERIFY(PixelsNear(image, QRect(left, top + rowH, image.width(), rowH), Chosen(Id(0, 2))) > 10);

    // Message detail list of the monitor's message pane.
    CMessageDetailList* detail = monitor->MessagePane()->List();
    image = Grab(detail->viewport());
    QCOMPARE(image.pixelColor(image.width() / 2, image.height() - 3), Chosen(Id(4, 2)));
    QVERIFY(PixelsNear(image, image.rect(), Chosen(Id(4, 1))) > 10);

    // Message info: background and the text of its rows.
    CMessageInfoList* infoList = info->List();
    image = Grab(infoList->viewport());
    QCOMPARE(image.pixelColor(image.width() / 2, image.height() - 3), Chosen(Id(3, 2)));
    QVERIFY(PixelsNear(image, image.rect(), Chosen(Id(3, 1))) > 10);

    // Statistics: background and the figures of the enabled channels.
    CStatisticsList* statsList = statistics->List();
    image = Grab(statsList->viewport());
    QCOMPARE(image.pixelColor(image.width() - 3, image.height() - 3), Chosen(Id(2, 2)));
    QVERIFY(PixelsNear(image, image.rect(), Chosen(Id(2, 1))) > 10);

    // Bus-load graph: the plot's background, the grid, the axis texts and
    // the legend strokes of CAN1 and CAN2.
    CBusLoadGraph* graph = busLoad->Graph();
    image = Grab(graph);
    const BusLoadLayout& l = graph->Layout();
    const QRect plot(QPoint(l.plot.left + 1, l.plot.top + 1),
                     QPoint(l.plot.right - 1, l.plot.bottom - 1));
    QVERIFY(PixelsNear(image, plot, Chosen(Id(1, 6)), 1) > plot.width() * plot.height() / 2);
    QVERIFY(PixelsNear(image, plot, Chosen(Id(1, 7)), 1) > 20);
    QVERIFY(PixelsNear(image, QRect(0, l.plot.bottom + 1, image.width(), image.height()),
                       Chosen(Id(1, 8))) > 10);
    const int strokeX = 11 * graph->CharWidth() - 1;
    const int strokeY = 6 + graph->LineHeight() / 2;
    QCOMPARE(image.pixelColor(strokeX, strokeY), Chosen(Id(1, 1)));
    QCOMPARE(image.pixelColor(strokeX, strokeY + graph->LineHeight()), Chosen(Id(1, 2)));
}

QTEST_MAIN(ColorViewsTest)
#include "color_views_test.moc"

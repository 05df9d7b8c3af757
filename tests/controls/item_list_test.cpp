#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <array>
#include <memory>
#include <vector>

#include "controls/item_list.h"
#include "res/ids.h"
#include "res/resources.h"

namespace {

// A list over a row count the test sets; each row paints a black mark in its
// first cell so tests can see which rows were drawn.
class TestList : public CItemList {
public:
    explicit TestList(std::array<int32_t, 3>* widths) : CItemList("CLASS_TEST_LIST") {
        columns_ = {{{IDS_MON_COL_TIME, &(*widths)[0]},
                     {IDS_MON_COL_CAN, &(*widths)[1]},
                     {IDS_MON_COL_DATA, &(*widths)[2]},
                     {0, nullptr}}};
    }
    int rows = 0;
    int drawCalls = 0;
    bool withText = false;
    std::vector<QRgb> pens;  // pen each row was handed

protected:
    std::span<const ItemListColumn> GetColumns() const override { return columns_; }
    int GetItemCount() const override { return rows; }
    void DrawItem(QPainter& painter, const QRect& rowRect, int index) override {
        ++drawCalls;
        pens.push_back(painter.pen().color().rgb());
        const QRect cell = CellRect(rowRect, 0);
        painter.fillRect(QRect(cell.left() + 2, rowRect.top() + 3, 4, 4), Qt::black);
        if (withText) {
            DrawCellText(painter, CellRect(rowRect, 0), QString::number(index * 0.001, 'f', 6),
                         Qt::AlignRight);
            DrawCellText(painter, CellRect(rowRect, 1), QString::number(index % 5),
                         Qt::AlignHCenter);
            DrawCellText(painter, CellRect(rowRect, 2),
                         QStringLiteral("  01  02  03  04  05  06  07  08  09  0A  0B  0C  0D  0E"),
                         Qt::AlignLeft);
        }
    }

private:
    std::array<ItemListColumn, 4> columns_;
};

// The owner: records context menus handed over by the list.
class Owner : public QWidget {
public:
    QPoint menuAt;
    int menus = 0;

protected:
    void contextMenuEvent(QContextMenuEvent* e) override {
        ++menus;
        menuAt = e->globalPos();
    }
};

struct Fixture {
    std::array<int32_t, 3> widths{110, 40, 320};
    Owner owner;
    TestList* list = nullptr;

    explicit Fixture(int rows, int rowHeaderWidth = 0, QSize size = QSize(600, 400)) {
        owner.resize(size);
        list = new TestList(&widths);
        list->SetRowHeaderWidth(rowHeaderWidth);
        list->rows = rows;
        list->Create(&owner, 0xE900);
        list->setGeometry(0, 0, size.width(), size.height());
        owner.show();
        QApplication::processEvents();
        list->UpdateScrollBars(true);
    }
    QImage Grab() const { return list->viewport()->grab().toImage(); }
    QPoint RowPoint(int visibleRow) const {
        return QPoint(
            200, list->HeaderHeight() + visibleRow * list->RowHeight() + list->RowHeight() / 2);
    }
};

QColor GridColor(const CItemList& list) {
    return list.palette().color(QPalette::Button);
}

}  // namespace

class ItemListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void metricsFromFont();
    void emptyListPaintsGridOnly();
    void paintsOnlyVisibleRows();
    void autoScrollKeptAtEveryTick();
    void autoScrollEnds_data();
    void autoScrollEnds();
    void wheelOnlyWhenScrollable();
    void keysWithoutSelection_data();
    void keysWithoutSelection();
    void pageDownPastEnd();
    void selectionNotifications();
    void mouseSelectsAndDoubleClicks();
    void ensureVisible();
    void hitTestEdges();
    void dividerDoubleClickFitsHeaderText();
    void draggedWidthsReachSettingsAfterDestroy();
    void badWidthsFromSettings();
    void headerScrollsSidewaysRowHeaderStays();
    void selectionColoursFollowFocus();
    void contextMenuGoesToOwner();
    void screenshot();
};

void ItemListTest::metricsFromFont() {
    Fixture f(0);
    const QFontMetrics fm(f.list->NormalFont());
    const QSize xy = fm.size(Qt::TextSingleLine, QStringLiteral("Xy"));
    QCOMPARE(f.list->CharWidth(), xy.width() / 2);
    QCOMPARE(f.list->RowHeight() % 2, 0);
    QVERIFY(f.list->RowHeight() >= xy.height() + 4 && f.list->RowHeight() <= xy.height() + 5);
    QCOMPARE(f.list->HeaderHeight(), f.list->RowHeight() + 2);
    QVERIFY(f.list->BoldFont().bold());
    QCOMPARE(f.list->ColumnHeader()->count(), 3);
    QCOMPARE(f.list->ColumnHeader()->model()->headerData(2, Qt::Horizontal).toString(),
             res::Resources::Instance().String(IDS_MON_COL_DATA));
    QCOMPARE(f.list->TotalWidth(), 470);
    QCOMPARE(f.list->VisibleRows(),
             (f.list->viewport()->height() - f.list->HeaderHeight()) / f.list->RowHeight());
    QCOMPARE(f.list->objectName(), QStringLiteral("CLASS_TEST_LIST"));
}

void ItemListTest::emptyListPaintsGridOnly() {
    Fixture f(0);
    const QImage img = f.Grab();
    const QRgb bg = f.list->BackgroundColor().rgb();
    const QRgb grid = GridColor(*f.list).rgb();
    QVERIFY(bg != grid);
    const int top = f.list->HeaderHeight();
    const int r = f.list->RowHeight();
    int horizontalLines = 0;
    for (int y = top; y < img.height(); ++y) {
        // Sample a column between the vertical grid lines.
        const QRgb px = img.pixel(50, y);
        QVERIFY2(px == bg || px == grid, qPrintable(QString::number(y)));
        if (px == grid) {
            QCOMPARE((y - top) % r, 0);
            ++horizontalLines;
        }
    }
    QCOMPARE(horizontalLines, f.list->VisibleRows() + 1);
    // Vertical lines at the column edges, nothing else in a row's band.
    const int y = top + r / 2;
    for (int x = 0; x < img.width(); ++x) {
        const QRgb px = img.pixel(x, y);
        const bool edge = x == 109 || x == 149 || x == 469;
        QCOMPARE(px, edge ? grid : bg);
    }
    QCOMPARE(f.list->drawCalls, 0);
}

void ItemListTest::paintsOnlyVisibleRows() {
    Fixture f(10'000'000);
    f.list->verticalScrollBar()->setValue(9'999'000);
    f.list->drawCalls = 0;
    f.Grab();
    QCOMPARE(f.list->drawCalls, f.list->VisibleRows());
    // Fewer rows than the view holds: only those are drawn.
    f.list->rows = 3;
    f.list->UpdateScrollBars(false);
    f.list->drawCalls = 0;
    const QImage img = f.Grab();
    QCOMPARE(f.list->drawCalls, 3);
    const int third = f.list->HeaderHeight() + 2 * f.list->RowHeight();
    QCOMPARE(img.pixel(3, third + 4), QColor(Qt::black).rgb());
    QCOMPARE(img.pixel(3, third + f.list->RowHeight() + 4), f.list->BackgroundColor().rgb());
}

void ItemListTest::autoScrollKeptAtEveryTick() {
    Fixture f(0);
    const int visible = f.list->VisibleRows();
    for (int count = 0; count < 3 * visible; count += 7) {
        f.list->rows = count;
        f.list->UpdateItemCount();
        QCOMPARE(f.list->TopIndex(), qMax(0, count - visible));
        QVERIFY(f.list->AutoScroll());
    }
}

void ItemListTest::autoScrollEnds_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("one wheel notch") << "wheel";
    QTest::newRow("scroll-bar click") << "bar";
    QTest::newRow("arrow key in scroll mode") << "key";
}

void ItemListTest::autoScrollEnds() {
    QFETCH(QString, how);
    Fixture f(0);
    f.list->SetSelectionEnabled(how != "key");
    f.list->rows = 500;
    f.list->UpdateItemCount();
    const int top = f.list->TopIndex();
    QCOMPARE(top, 500 - f.list->VisibleRows());
    if (how == "wheel") {
        QWheelEvent wheel(QPointF(100, 100), QPointF(f.list->mapToGlobal(QPoint(100, 100))),
                          QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(f.list->viewport(), &wheel);
        QCOMPARE(f.list->TopIndex(), top - 1);
    } else if (how == "bar") {
        QScrollBar* bar = f.list->verticalScrollBar();
        QApplication::processEvents();  // the bar is shown from the event loop
        QVERIFY(bar->isVisible());
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, 40));
        QVERIFY(f.list->TopIndex() < top);
    } else {
        f.list->setFocus();
        QTest::keyClick(f.list, Qt::Key_Up);
        QCOMPARE(f.list->TopIndex(), top - 1);
        QCOMPARE(f.list->Selection(), -1);
    }
    QVERIFY(!f.list->AutoScroll());
    const int held = f.list->TopIndex();
    f.list->rows = 900;
    f.list->UpdateItemCount();
    QCOMPARE(f.list->TopIndex(), held);
    // Only the owner turns it on again.
    f.list->SetAutoScroll(true);
    f.list->UpdateItemCount();
    QCOMPARE(f.list->TopIndex(), 900 - f.list->VisibleRows());
}

void ItemListTest::wheelOnlyWhenScrollable() {
    Fixture f(3);
    f.list->UpdateItemCount();
    QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, -1), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.list->viewport(), &wheel);
    QVERIFY(f.list->AutoScroll());
    QCOMPARE(f.list->TopIndex(), 0);
    // A huge delta is still one line.
    f.list->rows = 1000;
    f.list->UpdateScrollBars(false);
    f.list->verticalScrollBar()->setValue(10);
    QWheelEvent big(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, -1200), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.list->viewport(), &big);
    QCOMPARE(f.list->TopIndex(), 11);
}

void ItemListTest::keysWithoutSelection_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("selected");
    QTest::newRow("Down selects row 0") << int(Qt::Key_Down) << 50 << 0;
    QTest::newRow("Up selects row 0") << int(Qt::Key_Up) << 50 << 0;
    QTest::newRow("End selects the last") << int(Qt::Key_End) << 50 << 49;
    QTest::newRow("Down on an empty list") << int(Qt::Key_Down) << 0 << -1;
}

void ItemListTest::keysWithoutSelection() {
    QFETCH(int, key);
    QFETCH(int, rows);
    QFETCH(int, selected);
    Fixture f(rows);
    QSignalSpy spy(f.list, &CItemList::itemNotify);
    f.list->setFocus();
    QTest::keyClick(f.list, Qt::Key(key));
    QCOMPARE(f.list->Selection(), selected);
    QCOMPARE(spy.count(), selected >= 0 ? 1 : 0);
    if (selected >= 0) {
        QCOMPARE(spy.at(0).at(0).toInt(), int(ILN_SELCHANGE));
        QCOMPARE(spy.at(0).at(1).toInt(), selected);
    }
}

void ItemListTest::pageDownPastEnd() {
    Fixture f(30);
    const int visible = f.list->VisibleRows();
    QVERIFY(visible > 1 && visible < 30);
    f.list->SetSelection(25, true);
    QTest::keyClick(f.list, Qt::Key_PageDown);
    QCOMPARE(f.list->Selection(), 29);
    // The last row is in view.
    QVERIFY(f.list->TopIndex() <= 29 && f.list->TopIndex() + visible > 29);
    QTest::keyClick(f.list, Qt::Key_PageUp);
    QCOMPARE(f.list->Selection(), 29 - visible);
    QTest::keyClick(f.list, Qt::Key_Home);
    QCOMPARE(f.list->Selection(), 0);
    QCOMPARE(f.list->TopIndex(), 0);
}

void ItemListTest::selectionNotifications() {
    Fixture f(20);
    QSignalSpy spy(f.list, &CItemList::itemNotify);
    f.list->setFocus();
    QTest::keyClick(f.list, Qt::Key_Return);  // no selection yet
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), int(ILN_RETURN));
    QCOMPARE(spy.at(0).at(1).toInt(), -1);
    f.list->SetSelection(4, false);
    f.list->SetSelection(4, false);   // same row: nothing
    f.list->SetSelection(20, false);  // out of range: nothing
    f.list->SetSelection(-1, false);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), int(ILN_SELCHANGE));
    QCOMPARE(spy.at(1).at(1).toInt(), 4);
    QTest::keyClick(f.list, Qt::Key_Enter);
    QCOMPARE(spy.at(2).at(0).toInt(), int(ILN_RETURN));
    QCOMPARE(spy.at(2).at(1).toInt(), 4);
    // Without selection Enter is not the list's key.
    f.list->SetSelectionEnabled(false);
    QTest::keyClick(f.list, Qt::Key_Return);
    QCOMPARE(spy.count(), 3);
    // Left and Right scroll sideways in both modes and keep the selection.
    f.list->resize(200, 300);
    QApplication::processEvents();
    QTest::keyClick(f.list, Qt::Key_Right);
    QCOMPARE(f.list->HorizontalPosition(), f.list->CharWidth());
    QCOMPARE(f.list->Selection(), 4);
}

void ItemListTest::mouseSelectsAndDoubleClicks() {
    Fixture f(5);
    f.list->SetSelectionEnabled(false);
    QSignalSpy spy(f.list, &CItemList::itemNotify);
    QTest::mouseClick(f.list->viewport(), Qt::LeftButton, Qt::NoModifier, f.RowPoint(2));
    // Stored and notified even with selection disabled.
    QCOMPARE(f.list->Selection(), 2);
    QVERIFY(f.list->hasFocus());
    QTest::mouseClick(f.list->viewport(), Qt::LeftButton, Qt::NoModifier, f.RowPoint(8));
    QCOMPARE(f.list->Selection(), 2);  // below the rows: unchanged
    QTest::mouseDClick(f.list->viewport(), Qt::LeftButton, Qt::NoModifier, f.RowPoint(3));
    QCOMPARE(spy.last().at(0).toInt(), int(ILN_DBLCLK));
    QCOMPARE(spy.last().at(1).toInt(), 3);
    const int before = spy.count();
    QTest::mouseDClick(f.list->viewport(), Qt::LeftButton, Qt::NoModifier, f.RowPoint(9));
    QCOMPARE(spy.count(), before);
}

void ItemListTest::ensureVisible() {
    Fixture f(1000);
    const int visible = f.list->VisibleRows();
    f.list->EnsureVisible(500, true);
    QVERIFY(f.list->TopIndex() <= 500 && f.list->TopIndex() + visible > 500);
    QCOMPARE(
        f.list->TopIndex(),
        500 - visible + 1 +
            ((f.list->viewport()->height() - f.list->HeaderHeight()) % f.list->RowHeight() == 0));
    f.list->EnsureVisible(10, true);
    QCOMPARE(f.list->TopIndex(), 10);  // above: becomes the first row
    f.list->EnsureVisible(12, true);
    QCOMPARE(f.list->TopIndex(), 10);  // in view: nothing moves
    f.list->EnsureVisible(1000, true);
    f.list->EnsureVisible(-1, true);
    QCOMPARE(f.list->TopIndex(), 10);
    QVERIFY(f.list->AutoScroll());  // not touched
}

void ItemListTest::hitTestEdges() {
    Fixture f(100);
    const int t = f.list->HeaderHeight();
    const int r = f.list->RowHeight();
    QCOMPARE(f.list->HitTest(QPoint(5, t - 1)), -1);
    QCOMPARE(f.list->HitTest(QPoint(5, t)), 0);
    QCOMPARE(f.list->HitTest(QPoint(5, t + r - 1)), 0);
    QCOMPARE(f.list->HitTest(QPoint(5, t + r)), 1);
    f.list->verticalScrollBar()->setValue(40);
    QCOMPARE(f.list->HitTest(QPoint(5, t + 2 * r)), 42);
    f.list->rows = 41;
    QCOMPARE(f.list->HitTest(QPoint(5, t + r)), -1);
    QCOMPARE(f.list->HitTest(QPoint(5, t)), 40);
}

void ItemListTest::dividerDoubleClickFitsHeaderText() {
    Fixture f(10, 0, QSize(300, 200));
    QHeaderView* header = f.list->ColumnHeader();
    const QString text = header->model()->headerData(2, Qt::Horizontal).toString();
    const int expected = QFontMetrics(f.list->BoldFont()).horizontalAdvance(text) + 20;
    QVERIFY(expected != 320);
    const int divider = header->sectionViewportPosition(2) + header->sectionSize(2) - 1;
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(divider, header->height() / 2));
    QCOMPARE(header->sectionSize(2), expected);
    QCOMPARE(f.list->ColumnWidths()[2], expected);
    QCOMPARE(f.list->TotalWidth(), 150 + expected);
    // The horizontal range follows the new total.
    const int hmax = f.list->TotalWidth();
    const QScrollBar* bar = f.list->horizontalScrollBar();
    if (hmax > f.list->ItemRect().width()) {
        QVERIFY(bar->maximum() > 0);
        QVERIFY(bar->maximum() <= hmax);
    } else {
        QCOMPARE(bar->maximum(), 0);
    }
    f.list->AutoFitColumn(7);  // no such column: nothing
    QCOMPARE(f.list->TotalWidth(), 150 + expected);
}

void ItemListTest::draggedWidthsReachSettingsAfterDestroy() {
    auto f = std::make_unique<Fixture>(10);
    QHeaderView* header = f->list->ColumnHeader();
    const int divider = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(divider, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(divider + 30, y),
                     QPointF(header->viewport()->mapToGlobal(QPoint(divider + 30, y))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                        QPoint(divider + 30, y));
    QCOMPARE(f->list->ColumnWidths()[1], 70);
    QCOMPARE(f->list->TotalWidth(), 500);
    QCOMPARE(f->widths[1], 40);  // still the old value while the list lives
    std::array<int32_t, 3>* widths = &f->widths;
    delete f->list;
    QCOMPARE((*widths)[0], 110);
    QCOMPARE((*widths)[1], 70);
    QCOMPARE((*widths)[2], 320);
}

void ItemListTest::badWidthsFromSettings() {
    std::array<int32_t, 3> widths{-50, 1 << 30, 40};
    Owner owner;
    auto* list = new TestList(&widths);
    list->Create(&owner, 1);
    QCOMPARE(list->ColumnWidths()[0], 0);
    QVERIFY(list->ColumnWidths()[1] <= 0x7FFF);
    QCOMPARE(list->TotalWidth(), list->ColumnWidths()[1] + 40);
    delete list;
    QCOMPARE(widths[0], 0);
}

void ItemListTest::headerScrollsSidewaysRowHeaderStays() {
    Fixture f(40, 20, QSize(250, 300));
    QHeaderView* header = f.list->ColumnHeader();
    QHeaderView* rowHeader = f.list->RowHeader();
    QVERIFY(rowHeader != nullptr);
    QVERIFY(!rowHeader->isEnabled());
    QCOMPARE(rowHeader->geometry(), QRect(0, 0, 20, f.list->HeaderHeight()));
    QCOMPARE(header->x(), 20);
    QScrollBar* bar = f.list->horizontalScrollBar();
    QVERIFY(bar->maximum() > 0);
    bar->setValue(100);
    QCOMPARE(header->x(), 20 - 100);
    QCOMPARE(header->x() + header->width(), f.list->viewport()->width());
    QCOMPARE(rowHeader->geometry(), QRect(0, 0, 20, f.list->HeaderHeight()));
    QCOMPARE(f.list->ColumnLeft(1), 20 - 100 + 110);
    // The strip stays painted over the scrolled cells, the columns move.
    const QImage img = f.Grab();
    const QPoint p = f.RowPoint(1);
    QCOMPARE(img.pixel(5, p.y()), QColor(255, 250, 250).rgb());
    QCOMPARE(img.pixel(20 - 100 + 110 - 1, p.y()), GridColor(*f.list).rgb());
    // Scrolling is clamped at the right end.
    bar->setValue(100000);
    QVERIFY(f.list->HorizontalPosition() <= f.list->TotalWidth());
}

void ItemListTest::selectionColoursFollowFocus() {
    Fixture f(10);
    QLineEdit* other = new QLineEdit(&f.owner);
    other->move(0, 380);
    other->show();
    f.list->SetSelection(1, true);
    f.owner.activateWindow();
    f.list->setFocus();
    QApplication::processEvents();
    QVERIFY(f.list->hasFocus());
    const QPoint p = f.RowPoint(1) + QPoint(100, 0);
    const QRgb focused = f.Grab().pixel(p);
    other->setFocus();
    QApplication::processEvents();
    QVERIFY(!f.list->hasFocus());
    const QRgb unfocused = f.Grab().pixel(p);
    QVERIFY(focused != unfocused);
    QVERIFY(focused != f.list->BackgroundColor().rgb());
    QVERIFY(unfocused != f.list->BackgroundColor().rgb());
    // Every row, the selected one and those after it, gets the text pen.
    f.list->pens.clear();
    f.Grab();
    QCOMPARE(f.list->pens.size(), size_t(10));
    for (QRgb pen : f.list->pens) {
        QCOMPARE(pen, f.list->palette().color(QPalette::Text).rgb());
    }
    // Selection disabled: stored, not drawn.
    f.list->SetSelectionEnabled(false);
    QCOMPARE(f.Grab().pixel(p), f.list->BackgroundColor().rgb());
}

void ItemListTest::contextMenuGoesToOwner() {
    Fixture f(10);
    const QPoint global = f.list->viewport()->mapToGlobal(QPoint(30, 60));
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(30, 60), global);
    QApplication::sendEvent(f.list->viewport(), &e);
    QCOMPARE(f.owner.menus, 1);
    QCOMPARE(f.owner.menuAt, global);
}

void ItemListTest::screenshot() {
    const QString dir = qEnvironmentVariable("SORVANE_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        QSKIP("set SORVANE_SCREENSHOT_DIR to write the list's picture");
    }
    Fixture f(200, 20, QSize(420, 260));
    f.list->withText = true;
    f.list->SetSelection(3, true);
    f.list->setFocus();
    f.list->horizontalScrollBar()->setValue(30);
    QApplication::processEvents();
    QVERIFY(f.owner.grab().save(dir + "/item_list.png"));
}

QTEST_MAIN(ItemListTest)
#include "item_list_test.moc"

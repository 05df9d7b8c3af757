#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <map>
#include <vector>

#include "controls/static_tree_ctrl.h"

Q_DECLARE_METATYPE(CStaticTreeItem*)

namespace {

// A tree in a window of a given client height, filled by the test.
struct Fixture {
    QWidget owner;
    CStaticTreeCtrl* tree;

    explicit Fixture(int clientHeight = 200, int width = 240) {
        tree = new CStaticTreeCtrl(&owner, 7);
        const int frame = 2 * tree->frameWidth();
        tree->setGeometry(0, 0, width + frame, clientHeight + frame);
        owner.resize(width + frame, clientHeight + frame);
        owner.show();
        QApplication::processEvents();
    }
    // count top-level items, each with children children.
    std::vector<CStaticTreeItem*> Fill(int count, int children = 0) {
        std::vector<CStaticTreeItem*> top;
        for (int i = 0; i < count; ++i) {
            CStaticTreeItem* item = tree->InsertItem(QStringLiteral("item %1").arg(i));
            for (int c = 0; c < children; ++c) {
                tree->InsertItem(QStringLiteral("child %1.%2").arg(i).arg(c), item);
            }
            top.push_back(item);
        }
        tree->RecalcScroll();
        return top;
    }
    void Click(QPoint at) {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void Key(Qt::Key key) { QTest::keyClick(tree, key); }
    void Wheel(QPoint delta) {
        QWheelEvent wheel(QPointF(40, 10), QPointF(40, 10), QPoint(), delta, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tree->viewport(), &wheel);
    }
};

using Spy = QSignalSpy;

CStaticTreeItem* NotifiedItem(const Spy& spy, int index) {
    return spy.at(index).at(1).value<CStaticTreeItem*>();
}

}  // namespace

class StaticTreeCtrlTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<CStaticTreeItem*>(); }
    void metricsAndIdentity();
    void insertLevelsAndExpandRule();
    void scrollRange_data();
    void scrollRange();
    void boxHitTest_data();
    void boxHitTest();
    void keys_data();
    void keys();
    void endWithTreeScrolledSelectsLastDrawnRow();
    void selectItemOpensAncestorsAndScrolls();
    void wheelAndPageKeys();
    void deleteAllItemsAndDeepTrees();
    void paintsRowsSelectionAndColours();
    void imageStripCutAndMasked_data();
    void imageStripCutAndMasked();
    void cursorAndUnhandledKeys();
};

void StaticTreeCtrlTest::metricsAndIdentity() {
    Fixture f;
    QCOMPARE(f.tree->objectName(), QStringLiteral("COMMUI_STATIC_TREE_CTRL_CLASS"));
    QCOMPARE(f.tree->ControlId(), 7);
    const QSize xy = QFontMetrics(f.tree->NormalFont()).size(Qt::TextSingleLine, "Xy");
    QCOMPARE(f.tree->CharWidth(), xy.width() / 2);
    QCOMPARE(f.tree->RowHeight(), (xy.height() + 5) & ~1);
    QVERIFY(f.tree->ParentFont().bold() && f.tree->ParentFont().underline());
    QVERIFY(f.tree->frameWidth() > 0);  // the border
}

void StaticTreeCtrlTest::insertLevelsAndExpandRule() {
    Fixture f;
    CStaticTreeItem* a = f.tree->InsertItem(QStringLiteral("a"), nullptr, 42);
    QCOMPARE(a->level, 1);
    QCOMPARE(a->data, uint64_t{42});
    CStaticTreeItem* a1 = f.tree->InsertItem(QStringLiteral("a1"), a);
    QCOMPARE(a1->level, 2);
    // A single child leaves the parent collapsed.
    QCOMPARE(a->expanded, 0);
    QCOMPARE(f.tree->DisplayedRowCount(), 1);
    // The second child opens it and takes the level of the last child.
    a1->level = 5;
    CStaticTreeItem* a2 = f.tree->InsertItem(QStringLiteral("a2"), a);
    QCOMPARE(a->expanded, 1);
    QCOMPARE(a2->level, 5);
    QCOMPARE(f.tree->DisplayedRowCount(), 3);
    // Nothing is drawn or laid out by inserting.
    QVERIFY(f.tree->FirstVisible() == nullptr);
    f.tree->RecalcScroll();
    QCOMPARE(f.tree->VisibleItems(), (std::vector<CStaticTreeItem*>{a, a1, a2}));
    QCOMPARE(a2->position, QPoint(0, 2 * f.tree->RowHeight()));
    QCOMPARE(CStaticTreeCtrl::Indent(a2), 8 * 4);
}

void StaticTreeCtrlTest::scrollRange_data() {
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("rowsHigh");  // client height in rows
    QTest::addColumn<int>("extra");     // and pixels more
    QTest::addColumn<bool>("bar");
    QTest::newRow("empty") << 0 << 5 << 0 << false;
    QTest::newRow("fits") << 4 << 5 << 0 << false;
    QTest::newRow("exactly one page") << 5 << 5 << 3 << false;
    QTest::newRow("one more than a page") << 6 << 5 << 3 << true;
    QTest::newRow("many") << 300 << 7 << 1 << true;
}

void StaticTreeCtrlTest::scrollRange() {
    QFETCH(int, items);
    QFETCH(int, rowsHigh);
    QFETCH(int, extra);
    QFETCH(bool, bar);
    Fixture probe;
    const int r = probe.tree->RowHeight();
    Fixture f(rowsHigh * r + extra);
    f.Fill(items);
    QScrollBar* sb = f.tree->verticalScrollBar();
    if (!bar) {
        QCOMPARE(sb->maximum(), 0);
        // Scrolling requests keep the position at 0.
        f.tree->VScroll(CStaticTreeCtrl::Scroll::LineDown);
        f.tree->VScroll(CStaticTreeCtrl::Scroll::PageDown);
        f.tree->VScroll(CStaticTreeCtrl::Scroll::Track, 50);
        QCOMPARE(f.tree->ScrollPosition(), 0);
        return;
    }
    const int page = rowsHigh * r;
    QCOMPARE(sb->pageStep(), page);
    QCOMPARE(sb->maximum(), items * r - page + 1);
    // Page down moves by whole rows; the end shows the last row in full.
    f.tree->VScroll(CStaticTreeCtrl::Scroll::PageDown);
    QCOMPARE(f.tree->ScrollPosition(), qMin(page, sb->maximum()));
    f.tree->VScroll(CStaticTreeCtrl::Scroll::Track, 1 << 20);
    QCOMPARE(f.tree->ScrollPosition(), sb->maximum());
    QVERIFY(f.tree->LastVisible()->nextSibling == nullptr);
}

void StaticTreeCtrlTest::boxHitTest_data() {
    // x relative to the item's indent; y relative to the box's top.
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<bool>("toggles");
    QTest::newRow("box left edge") << 10 << 0 << true;
    QTest::newRow("box right edge") << 18 << 8 << true;
    QTest::newRow("one pixel right of the box") << 19 << 4 << false;
    QTest::newRow("one pixel left of the box") << 9 << 4 << false;
    QTest::newRow("one pixel above the box") << 14 << -1 << false;
    QTest::newRow("one pixel below the box") << 14 << 9 << false;
    QTest::newRow("on the text") << 60 << 4 << false;
}

void StaticTreeCtrlTest::boxHitTest() {
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(bool, toggles);
    Fixture f;
    std::vector<CStaticTreeItem*> top = f.Fill(2, 2);
    CStaticTreeItem* parent = top[1];
    QCOMPARE(parent->expanded, 1);
    Spy spy(f.tree, &CStaticTreeCtrl::treeNotify);
    const QRect box = f.tree->BoxRect(parent);
    f.Click(QPoint(CStaticTreeCtrl::Indent(parent) + dx, box.top() + dy));
    QVERIFY(f.tree->hasFocus());
    if (toggles) {
        QCOMPARE(parent->expanded, 0);
        QVERIFY(f.tree->SelectedItem() == nullptr);
        QCOMPARE(spy.count(), 0);
    } else {
        QCOMPARE(parent->expanded, 1);
        QCOMPARE(f.tree->SelectedItem(), parent);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(NotifiedItem(spy, 0), parent);
        // Clicking the selected item again sends nothing.
        f.Click(QPoint(CStaticTreeCtrl::Indent(parent) + dx, box.top() + dy));
        QCOMPARE(spy.count(), 1);
    }
}

void StaticTreeCtrlTest::keys_data() {
    // The tree: a, b { b1 }, c. Names: "" for none.
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("bOpen");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("want");
    QTest::addColumn<bool>("bOpenAfter");
    QTest::addColumn<bool>("notified");
    QTest::newRow("Right opens a closed parent, takes its first child")
        << "b" << false << int(Qt::Key_Right) << "b1" << true << true;
    QTest::newRow("Right on a leaf moves down")
        << "a" << false << int(Qt::Key_Right) << "b" << false << true;
    QTest::newRow("Left closes an open parent, takes the row above")
        << "b" << true << int(Qt::Key_Left) << "a" << false << true;
    QTest::newRow("Left on the first row stays")
        << "a" << true << int(Qt::Key_Left) << "a" << true << false;
    QTest::newRow("Down on the last row stays")
        << "c" << false << int(Qt::Key_Down) << "c" << false << false;
    QTest::newRow("Down without selection: first row")
        << "" << false << int(Qt::Key_Down) << "a" << false << true;
    QTest::newRow("Up without selection: last row")
        << "" << true << int(Qt::Key_Up) << "c" << true << true;
    QTest::newRow("Home: first item, no notification")
        << "c" << false << int(Qt::Key_Home) << "a" << false << false;
    QTest::newRow("End: last drawn row, no notification")
        << "a" << true << int(Qt::Key_End) << "c" << true << false;
    QTest::newRow("a hidden selection does not move")
        << "b1" << false << int(Qt::Key_Down) << "b1" << false << false;
}

void StaticTreeCtrlTest::keys() {
    QFETCH(QString, start);
    QFETCH(bool, bOpen);
    QFETCH(int, key);
    QFETCH(QString, want);
    QFETCH(bool, bOpenAfter);
    QFETCH(bool, notified);
    Fixture f;
    std::map<QString, CStaticTreeItem*> items;
    items["a"] = f.tree->InsertItem(QStringLiteral("a"));
    items["b"] = f.tree->InsertItem(QStringLiteral("b"));
    items["b1"] = f.tree->InsertItem(QStringLiteral("b1"), items["b"]);
    items["c"] = f.tree->InsertItem(QStringLiteral("c"));
    QCOMPARE(items["b"]->expanded, 0);  // one child leaves it closed
    items["b"]->expanded = bOpen ? 1 : 0;
    f.tree->RecalcScroll();
    f.tree->SelectItem(start.isEmpty() ? nullptr : items[start], false);
    f.tree->setFocus();
    Spy spy(f.tree, &CStaticTreeCtrl::treeNotify);
    f.Key(static_cast<Qt::Key>(key));
    QCOMPARE(f.tree->SelectedItem(), items[want]);
    QCOMPARE(items[want]->selected, 1);
    QCOMPARE(items["b"]->expanded, bOpenAfter ? 1 : 0);
    QCOMPARE(spy.count(), notified ? 1 : 0);
    if (notified) {
        QCOMPARE(spy.at(0).at(0).toInt(), -1603);
        QCOMPARE(NotifiedItem(spy, 0), items[want]);
    }
    if (start != want && !start.isEmpty()) {
        QCOMPARE(items[start]->selected, 0);
    }
}

void StaticTreeCtrlTest::endWithTreeScrolledSelectsLastDrawnRow() {
    Fixture probe;
    const int r = probe.tree->RowHeight();
    Fixture f(5 * r);
    std::vector<CStaticTreeItem*> top = f.Fill(40);
    f.tree->VScroll(CStaticTreeCtrl::Scroll::Track, 10 * r);
    f.tree->setFocus();
    Spy spy(f.tree, &CStaticTreeCtrl::treeNotify);
    CStaticTreeItem* lastDrawn = f.tree->LastVisible();
    // Rows reach one row beyond the client area: 10..15 plus the one above.
    QCOMPARE(lastDrawn, top[15]);
    QCOMPARE(f.tree->FirstVisible(), top[9]);
    f.Key(Qt::Key_End);
    QCOMPARE(f.tree->SelectedItem(), top[15]);
    QCOMPARE(spy.count(), 0);
    // It is brought into view: the band ends a row above the bottom.
    const int y = top[15]->position.y() - f.tree->ScrollPosition();
    QVERIFY(y >= 0 && y + r <= 5 * r);
}

void StaticTreeCtrlTest::selectItemOpensAncestorsAndScrolls() {
    Fixture probe;
    const int r = probe.tree->RowHeight();
    const int h = 6 * r;
    Fixture f(h);
    std::vector<CStaticTreeItem*> top = f.Fill(30);
    CStaticTreeItem* deep = f.tree->InsertItem(QStringLiteral("deep"), top[20]);
    CStaticTreeItem* deeper = f.tree->InsertItem(QStringLiteral("deeper"), deep);
    f.tree->RecalcScroll();
    f.tree->SelectItem(deeper, true);
    QCOMPARE(top[20]->expanded, 1);
    QCOMPARE(deep->expanded, 1);
    // Below the band: the item ends up one row above the bottom edge.
    QCOMPARE(f.tree->ScrollPosition(), 22 * r + 2 * r - h);

    // Above the band: the item becomes the top row.
    f.tree->SelectItem(top[3], true);
    QCOMPARE(f.tree->ScrollPosition(), 3 * r);
    // Inside the band nothing moves.
    f.tree->SelectItem(top[5], true);
    QCOMPARE(f.tree->ScrollPosition(), 3 * r);
    // Without ensureVisible nothing moves either.
    f.tree->SelectItem(top[29], false);
    QCOMPARE(f.tree->ScrollPosition(), 3 * r);
}

void StaticTreeCtrlTest::wheelAndPageKeys() {
    Fixture probe;
    const int r = probe.tree->RowHeight();
    Fixture f(4 * r + 3);
    f.Fill(20);
    f.tree->setFocus();
    f.Wheel(QPoint(0, -360));  // three notches, one message
    QCOMPARE(f.tree->ScrollPosition(), r);
    f.Wheel(QPoint(0, 120));
    QCOMPARE(f.tree->ScrollPosition(), 0);
    f.Wheel(QPoint(120, 0));  // sideways
    QCOMPARE(f.tree->ScrollPosition(), 0);
    f.Key(Qt::Key_PageDown);
    QCOMPARE(f.tree->ScrollPosition(), 4 * r);
    f.Key(Qt::Key_PageUp);
    // The rows follow the position at once.
    f.tree->VScroll(CStaticTreeCtrl::Scroll::LineDown);
    QCOMPARE(f.tree->HitTest(QPoint(40, 1))->text, QStringLiteral("item 1"));
}

void StaticTreeCtrlTest::deleteAllItemsAndDeepTrees() {
    Fixture f;
    std::vector<CStaticTreeItem*> top = f.Fill(5, 3);
    f.tree->SelectItem(top[1]->firstChild, true);
    f.tree->DeleteAllItems();
    QVERIFY(f.tree->SelectedItem() == nullptr);
    QVERIFY(f.tree->FirstVisible() == nullptr && f.tree->FirstItem() == nullptr);
    // Keys and clicks on an empty tree select nothing.
    f.tree->setFocus();
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_End, Qt::Key_Down, Qt::Key_Left}) {
        f.Key(key);
    }
    f.Click(QPoint(30, 5));
    QVERIFY(f.tree->SelectedItem() == nullptr);
    // A chain far deeper than any stack allows for recursion.
    CStaticTreeItem* parent = nullptr;
    for (int i = 0; i < 200000; ++i) {
        parent = f.tree->InsertItem(QStringLiteral("d"), parent);
    }
    f.tree->SelectItem(parent, true);  // opens every ancestor
    QCOMPARE(f.tree->DisplayedRowCount(), 200000);
    f.tree->DeleteAllItems();
    f.Fill(1);  // usable again
    QCOMPARE(f.tree->FirstItem()->level, 1);
}

void StaticTreeCtrlTest::paintsRowsSelectionAndColours() {
    Fixture f;
    CStaticTreeItem* parent = f.tree->InsertItem(QStringLiteral("parent"));
    CStaticTreeItem* leaf = f.tree->InsertItem(QStringLiteral("leaf"), parent);
    CStaticTreeItem* red = f.tree->InsertItem(QStringLiteral("red"), parent);
    red->textColor = 0x000000FF;
    f.tree->SelectItem(leaf, true);
    const QImage image = f.tree->viewport()->grab().toImage();
    const QPalette& pal = f.tree->palette();
    const int r = f.tree->RowHeight();
    const int width = f.tree->viewport()->width();
    // The selected leaf: highlight from one pixel below its top.
    QCOMPARE(image.pixel(width - 2, r + 1), pal.color(QPalette::Highlight).rgb());
    // Separator lines under the rows.
    QCOMPARE(image.pixel(width - 2, 3 * r), pal.color(QPalette::Button).rgb());
    // The parent's box: shadow outline, button-face inside.
    const QRect box = f.tree->BoxRect(parent);
    QCOMPARE(image.pixel(box.topLeft()), pal.color(QPalette::Dark).rgb());
    QCOMPARE(image.pixel(box.center()), pal.color(QPalette::Button).rgb());
    // The red text is drawn in red.
    int reds = 0;
    const QRect text = f.tree->TextRect(red);
    for (int y = text.top(); y < text.bottom(); ++y) {
        for (int x = text.left(); x < text.left() + 40; ++x) {
            reds += qRed(image.pixel(x, y)) > 180 && qGreen(image.pixel(x, y)) < 90 ? 1 : 0;
        }
    }
    QVERIFY(reds > 0);
}

void StaticTreeCtrlTest::imageStripCutAndMasked_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("count");
    QTest::newRow("four images") << QSize(64, 16) << 4;
    QTest::newRow("ragged end is dropped") << QSize(40, 16) << 2;
    QTest::newRow("narrower than high") << QSize(10, 16) << 0;
    QTest::newRow("null") << QSize() << 0;
}

void StaticTreeCtrlTest::imageStripCutAndMasked() {
    QFETCH(QSize, size);
    QFETCH(int, count);
    QImage strip;
    if (size.isValid()) {
        strip = QImage(size, QImage::Format_RGB32);
        strip.fill(qRgb(192, 192, 192));
        strip.setPixel(1, 1, qRgb(10, 20, 30));
    }
    const std::vector<QPixmap> images = CStaticTreeCtrl::CutImageStrip(strip, qRgb(192, 192, 192));
    QCOMPARE(static_cast<int>(images.size()), count);
    if (count > 0) {
        const QImage first = images[0].toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(first.size(), QSize(16, 16));
        QCOMPARE(qAlpha(first.pixel(0, 0)), 0);
        QCOMPARE(first.pixel(1, 1), qRgb(10, 20, 30));
    }
}

void StaticTreeCtrlTest::cursorAndUnhandledKeys() {
    Fixture f;
    std::vector<CStaticTreeItem*> top = f.Fill(1, 2);
    const QRect box = f.tree->BoxRect(top[0]);
    QTest::mouseMove(f.tree->viewport(), box.center());
    QCOMPARE(f.tree->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(f.tree->viewport(), box.center() + QPoint(20, 0));
    QCOMPARE(f.tree->viewport()->cursor().shape(), Qt::ArrowCursor);
    // Enter and Escape belong to the dialog around the tree.
    f.tree->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Down}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(f.tree, &event);
        QCOMPARE(event.isAccepted(), key == Qt::Key_Down);
    }
}

QTEST_MAIN(StaticTreeCtrlTest)
#include "static_tree_ctrl_test.moc"

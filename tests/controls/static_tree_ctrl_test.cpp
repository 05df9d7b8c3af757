#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
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
    int Row(const CStaticTreeItem* item) const {
        return item->position.y() - tree->ScrollPosition() + tree->RowHeight() / 2;
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
    void clickOutsideRowsDoesNothing();
    void rightAndLeftOnParents();
    void upDownStayWithinDrawnRows();
    void endWithTreeScrolledSelectsLastDrawnRow();
    void homeOnEmptyAndFilledTree();
    void selectItemOpensAncestorsAndScrolls();
    void wheelAndPageKeys();
    void deleteAllItemsAndDeepTrees();
    void paintsRowsSelectionAndColours();
    void textSlotWithAndWithoutImages();
    void imageStripCutAndMasked_data();
    void imageStripCutAndMasked();
    void handCursorOverBox();
    void unhandledKeysReachTheOwner();
};

void StaticTreeCtrlTest::metricsAndIdentity() {
    Fixture f;
    QCOMPARE(f.tree->objectName(), QStringLiteral("COMMUI_STATIC_TREE_CTRL_CLASS"));
    QCOMPARE(f.tree->ControlId(), 7);
    const QSize xy = QFontMetrics(f.tree->NormalFont()).size(Qt::TextSingleLine, "Xy");
    QCOMPARE(f.tree->CharWidth(), xy.width() / 2);
    QVERIFY(f.tree->RowHeight() >= xy.height() + 4);
    QCOMPARE(f.tree->RowHeight() % 2, 0);
    QVERIFY(f.tree->BoldFont().bold());
    QVERIFY(f.tree->ParentFont().bold() && f.tree->ParentFont().underline());
    QVERIFY(f.tree->frameWidth() > 0);  // the border
    QCOMPARE(f.tree->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void StaticTreeCtrlTest::insertLevelsAndExpandRule() {
    Fixture f;
    CStaticTreeItem* a = f.tree->InsertItem(QStringLiteral("a"), nullptr, 42);
    QCOMPARE(a->level, 1);
    QCOMPARE(a->data, uint64_t{42});
    QCOMPARE(a->image, -1);
    QCOMPARE(a->selectedImage, -1);
    QCOMPARE(a->textColor, CStaticTreeItem::kAutoColor);
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
    QCOMPARE(a->firstChild, a1);
    QCOMPARE(a->lastChild, a2);
    QCOMPARE(a1->nextSibling, a2);
    QCOMPARE(a2->parent, a);
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
    QCOMPARE(sb->singleStep(), r);
    // Page down moves by whole rows; the end shows the last row in full.
    f.tree->VScroll(CStaticTreeCtrl::Scroll::PageDown);
    QCOMPARE(f.tree->ScrollPosition(), qMin(page, sb->maximum()));
    f.tree->VScroll(CStaticTreeCtrl::Scroll::Track, 1 << 20);
    QCOMPARE(f.tree->ScrollPosition(), sb->maximum());
    CStaticTreeItem* last = f.tree->LastVisible();
    QVERIFY(last->nextSibling == nullptr);
    QVERIFY(last->position.y() + r - f.tree->ScrollPosition() <= f.tree->viewport()->height());
    f.tree->VScroll(CStaticTreeCtrl::Scroll::Track, -30);
    QCOMPARE(f.tree->ScrollPosition(), 0);
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
    QCOMPARE(box.size(), QSize(9, 9));
    QCOMPARE(box.left(), CStaticTreeCtrl::Indent(parent) + 10);
    f.Click(QPoint(CStaticTreeCtrl::Indent(parent) + dx, box.top() + dy));
    QVERIFY(f.tree->hasFocus());
    if (toggles) {
        QCOMPARE(parent->expanded, 0);
        QVERIFY(f.tree->SelectedItem() == nullptr);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(f.tree->DisplayedRowCount(), 4);
        f.Click(QPoint(CStaticTreeCtrl::Indent(parent) + dx, box.top() + dy));
        QCOMPARE(parent->expanded, 1);
    } else {
        QCOMPARE(parent->expanded, 1);
        QCOMPARE(f.tree->SelectedItem(), parent);
        QCOMPARE(parent->selected, 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), -1603);
        QCOMPARE(NotifiedItem(spy, 0), parent);
        // Clicking the selected item again sends nothing.
        f.Click(QPoint(CStaticTreeCtrl::Indent(parent) + dx, box.top() + dy));
        QCOMPARE(spy.count(), 1);
    }
}

void StaticTreeCtrlTest::clickOutsideRowsDoesNothing() {
    Fixture f(300);
    std::vector<CStaticTreeItem*> top = f.Fill(2);
    Spy spy(f.tree, &CStaticTreeCtrl::treeNotify);
    f.Click(QPoint(40, 3 * f.tree->RowHeight() + 5));
    QVERIFY(f.tree->SelectedItem() == nullptr);
    QCOMPARE(spy.count(), 0);
    // A leaf has no box: its box area selects.
    f.Click(QPoint(14, f.Row(top[0])));
    QCOMPARE(f.tree->SelectedItem(), top[0]);
    QVERIFY(f.tree->BoxRect(top[0]).isEmpty());
}

void StaticTreeCtrlTest::rightAndLeftOnParents() {
    Fixture f;
    CStaticTreeItem* a = f.tree->InsertItem(QStringLiteral("a"));
    CStaticTreeItem* b = f.tree->InsertItem(QStringLiteral("b"));
    CStaticTreeItem* b1 = f.tree->InsertItem(QStringLiteral("b1"), b);  // b stays collapsed
    f.tree->RecalcScroll();
    f.tree->setFocus();
    Spy spy(f.tree, &CStaticTreeCtrl::treeNotify);
    f.tree->SelectItem(b, true);
    QCOMPARE(spy.count(), 0);

    // Right on a collapsed parent opens it and moves to its first child.
    f.Key(Qt::Key_Right);
    QCOMPARE(b->expanded, 1);
    QCOMPARE(f.tree->SelectedItem(), b1);
    QCOMPARE(b->selected, 0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(NotifiedItem(spy, 0), b1);
    // Right on a leaf only moves down, and there is nothing below.
    f.Key(Qt::Key_Right);
    QCOMPARE(f.tree->SelectedItem(), b1);
    QCOMPARE(spy.count(), 1);

    // Left on an open parent closes it and moves to the row above.
    f.tree->SelectItem(b, true);
    f.Key(Qt::Key_Left);
    QCOMPARE(b->expanded, 0);
    QCOMPARE(f.tree->SelectedItem(), a);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(f.tree->DisplayedRowCount(), 2);
    // Left on the first row: nothing above it.
    f.Key(Qt::Key_Left);
    QCOMPARE(f.tree->SelectedItem(), a);
    QCOMPARE(spy.count(), 2);
}

void StaticTreeCtrlTest::upDownStayWithinDrawnRows() {
    Fixture f;
    std::vector<CStaticTreeItem*> top = f.Fill(3);
    f.tree->setFocus();
    Spy spy(f.tree, &CStaticTreeCtrl::treeNotify);
    // Without a selection Down takes the first row, Up the last.
    f.Key(Qt::Key_Down);
    QCOMPARE(f.tree->SelectedItem(), top[0]);
    f.tree->SelectItem(nullptr, false);
    f.Key(Qt::Key_Up);
    QCOMPARE(f.tree->SelectedItem(), top[2]);
    f.Key(Qt::Key_Up);
    QCOMPARE(f.tree->SelectedItem(), top[1]);
    QCOMPARE(spy.count(), 3);
    QCOMPARE(NotifiedItem(spy, 2), top[1]);
    // A selection under a closed parent is not among the drawn rows.
    CStaticTreeItem* child = f.tree->InsertItem(QStringLiteral("c"), top[0]);
    f.tree->RecalcScroll();
    f.tree->SelectItem(child, false);
    f.Key(Qt::Key_Down);
    f.Key(Qt::Key_Up);
    QCOMPARE(f.tree->SelectedItem(), child);
    QCOMPARE(spy.count(), 3);
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

void StaticTreeCtrlTest::homeOnEmptyAndFilledTree() {
    Fixture f;
    f.tree->setFocus();
    Spy spy(f.tree, &CStaticTreeCtrl::treeNotify);
    f.Key(Qt::Key_Home);
    QVERIFY(f.tree->SelectedItem() == nullptr);
    std::vector<CStaticTreeItem*> top = f.Fill(3);
    f.tree->SelectItem(top[2], false);
    f.Key(Qt::Key_Home);
    QCOMPARE(f.tree->SelectedItem(), top[0]);
    QCOMPARE(top[2]->selected, 0);
    QCOMPARE(spy.count(), 0);
    f.tree->DeleteAllItems();
    f.Key(Qt::Key_Home);
    f.Key(Qt::Key_End);
    f.Key(Qt::Key_Down);
    f.Key(Qt::Key_Left);
    QVERIFY(f.tree->SelectedItem() == nullptr);
    QCOMPARE(spy.count(), 0);
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
    QCOMPARE(top[20]->expanded, 0);

    f.tree->SelectItem(deeper, true);
    QCOMPARE(top[20]->expanded, 1);
    QCOMPARE(deep->expanded, 1);
    QCOMPARE(deeper->position.y(), 22 * r);
    // Below the band: the item ends up one row above the bottom edge.
    QCOMPARE(f.tree->ScrollPosition(), 22 * r + 2 * r - h);
    QVERIFY(f.tree->HitTest(QPoint(50, deeper->position.y() - f.tree->ScrollPosition())) == deeper);

    // Above the band: the item becomes the top row.
    f.tree->SelectItem(top[3], true);
    QCOMPARE(f.tree->ScrollPosition(), 3 * r);
    QCOMPARE(deeper->selected, 0);
    // Inside the band nothing moves.
    f.tree->SelectItem(top[5], true);
    QCOMPARE(f.tree->ScrollPosition(), 3 * r);
    // Without ensureVisible nothing moves either.
    f.tree->SelectItem(top[29], false);
    QCOMPARE(f.tree->ScrollPosition(), 3 * r);
    QCOMPARE(top[29]->selected, 1);
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
    f.Key(Qt::Key_PageUp);
    QCOMPARE(f.tree->ScrollPosition(), 0);
    // The rows follow the position at once.
    f.tree->VScroll(CStaticTreeCtrl::Scroll::LineDown);
    QCOMPARE(f.tree->FirstVisible()->position.y(), 0);
    QCOMPARE(f.tree->HitTest(QPoint(40, 1))->text, QStringLiteral("item 1"));
}

void StaticTreeCtrlTest::deleteAllItemsAndDeepTrees() {
    Fixture f;
    std::vector<CStaticTreeItem*> top = f.Fill(5, 3);
    f.tree->SelectItem(top[1]->firstChild, true);
    f.tree->DeleteAllItems();
    QVERIFY(f.tree->SelectedItem() == nullptr);
    QVERIFY(f.tree->FirstVisible() == nullptr);
    QVERIFY(f.tree->LastVisible() == nullptr);
    QVERIFY(f.tree->FirstItem() == nullptr);
    QCOMPARE(f.tree->DisplayedRowCount(), 0);
    // A chain far deeper than any stack allows for recursion.
    CStaticTreeItem* parent = nullptr;
    for (int i = 0; i < 200000; ++i) {
        parent = f.tree->InsertItem(QStringLiteral("d"), parent);
    }
    QCOMPARE(parent->level, 200000);
    f.tree->SelectItem(parent, true);  // opens every ancestor
    QCOMPARE(f.tree->DisplayedRowCount(), 200000);
    f.tree->DeleteAllItems();
    QVERIFY(f.tree->FirstItem() == nullptr);
    // The tree is usable again.
    f.Fill(1);
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
    QCOMPARE(image.pixel(width - 2, 2 * r - 1), pal.color(QPalette::Highlight).rgb());
    // Separator lines under the rows.
    QCOMPARE(image.pixel(width - 2, 3 * r), pal.color(QPalette::Button).rgb());
    // The parent's box: shadow outline, button-face inside.
    const QRect box = f.tree->BoxRect(parent);
    QCOMPARE(image.pixel(box.topLeft()), pal.color(QPalette::Dark).rgb());
    QCOMPARE(image.pixel(box.center()), pal.color(QPalette::Button).rgb());
    // Below the rows: the window colour.
    QCOMPARE(image.pixel(width - 2, 5 * r), pal.color(QPalette::Base).rgb());
    // The red text is drawn in red.
    bool sawRed = false;
    const QRect text = f.tree->TextRect(red);
    for (int y = text.top(); y < text.bottom() && !sawRed; ++y) {
        for (int x = text.left(); x < text.left() + 40 && !sawRed; ++x) {
            const QColor c = image.pixelColor(x, y);
            sawRed = c.red() > 180 && c.green() < 90 && c.blue() < 90;
        }
    }
    QVERIFY(sawRed);
}

void StaticTreeCtrlTest::textSlotWithAndWithoutImages() {
    Fixture f;
    CStaticTreeItem* root = f.tree->InsertItem(QStringLiteral("root"));
    CStaticTreeItem* node = f.tree->InsertItem(QStringLiteral("node"), root);
    node->image = 0;
    node->selectedImage = 1;
    f.tree->RecalcScroll();
    // No image list: the text follows the indent (the root adds its box).
    QCOMPARE(f.tree->TextRect(root).left(), 0 + 8 + 11 + 8);
    QCOMPARE(f.tree->TextRect(node).left(), 8 + 8 + 8);
    QImage strip(32, 16, QImage::Format_RGB32);
    strip.fill(Qt::blue);
    f.tree->SetImageList(CStaticTreeCtrl::CutImageStrip(strip, qRgb(192, 192, 192)));
    QCOMPARE(f.tree->TextRect(node).left(), 8 + 8 + 8 + 24);
    QCOMPARE(f.tree->TextRect(root).left(), 27);  // no image index on the root
    // An index the list lacks keeps the slot and draws nothing there.
    node->image = 5;
    node->selectedImage = -1;
    f.tree->SelectItem(node, true);
    const QImage image = f.tree->viewport()->grab().toImage();
    const int top = node->position.y() - f.tree->ScrollPosition();
    const int r = f.tree->RowHeight();
    QCOMPARE(f.tree->TextRect(node).left(), 48);
    QCOMPARE(image.pixel(8 + 8 + 8 + 10, top + r / 2),
             f.tree->palette().color(QPalette::Highlight).rgb());
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

void StaticTreeCtrlTest::handCursorOverBox() {
    Fixture f;
    std::vector<CStaticTreeItem*> top = f.Fill(1, 2);
    const QRect box = f.tree->BoxRect(top[0]);
    QTest::mouseMove(f.tree->viewport(), box.center());
    QCOMPARE(f.tree->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(f.tree->viewport(), box.center() + QPoint(20, 0));
    QCOMPARE(f.tree->viewport()->cursor().shape(), Qt::ArrowCursor);
}

void StaticTreeCtrlTest::unhandledKeysReachTheOwner() {
    Fixture f;
    f.Fill(2);
    f.tree->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_A}) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(f.tree, &event);
        QVERIFY(!event.isAccepted());
    }
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(f.tree, &down);
    QVERIFY(down.isAccepted());
}

QTEST_MAIN(StaticTreeCtrlTest)
#include "static_tree_ctrl_test.moc"

#include <QApplication>
#include <QContextMenuEvent>
#include <QTest>

#include "controls/static_tree_ctrl.h"
#include "fake_frame_backend.h"
#include "res/ids.h"
#include "res/resources.h"
#include "ui/frame/candb_pane.h"
#include "ui/frame/main_frame.h"

namespace {

std::vector<QString> Children(const CStaticTreeItem* root) {
    std::vector<QString> texts;
    for (const CStaticTreeItem* item = root->firstChild; item != nullptr;
         item = item->nextSibling) {
        texts.push_back(item->text);
    }
    return texts;
}

}  // namespace

class CandbPaneTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void treeAndImages();
    void emptyDatabaseLeavesTheRoot();
    void secondDatabaseReplacesTheTree();
    void identifiersHaveEightDigits_data();
    void identifiersHaveEightDigits();
    void noImagesWithoutTheBitmap();
};

void CandbPaneTest::treeAndImages() {
    CCANdbPane pane;
    CStaticTreeCtrl* tree = pane.Tree();
    QCOMPARE(pane.widget(), tree);
    QCOMPARE(tree->ControlId(), 1);
    QVERIFY(tree->FirstItem() == nullptr);  // empty before a database
    QCOMPARE(tree->ImageCount(), 4);        // from bitmap 369
    // The pane offers no menu of its own, nor the main window's.
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(&pane, &event);
    QVERIFY(event.isAccepted());
}

void CandbPaneTest::emptyDatabaseLeavesTheRoot() {
    CCANdbPane pane;
    pane.Fill(QStringLiteral("【メッセージ】"), {});
    const CStaticTreeItem* root = pane.Tree()->FirstItem();
    QVERIFY(root != nullptr);
    QCOMPARE(root->text, QStringLiteral("【メッセージ】"));
    QVERIFY(root->nextSibling == nullptr);
    QVERIFY(!root->HasChildren());
    QCOMPARE(root->expanded, 1);
}

void CandbPaneTest::secondDatabaseReplacesTheTree() {
    CCANdbPane pane;
    pane.resize(200, 300);
    pane.show();
    pane.Fill(QStringLiteral("root"),
              {QStringLiteral("A (0x00000001)"), QStringLiteral("B (0x00000002)"),
               QStringLiteral("C (0x00000003)")});
    CStaticTreeCtrl* tree = pane.Tree();
    const CStaticTreeItem* root = tree->FirstItem();
    QCOMPARE(root->expanded, 1);
    QCOMPARE(Children(root),
             (std::vector<QString>{"A (0x00000001)", "B (0x00000002)", "C (0x00000003)"}));
    for (const CStaticTreeItem* item = root->firstChild; item != nullptr;
         item = item->nextSibling) {
        QCOMPARE(item->image, 0);
        QCOMPARE(item->selectedImage, 1);
    }
    tree->SelectItem(root->lastChild, true);

    pane.Fill(QStringLiteral("root"), {QStringLiteral("X (0x00000100)")});
    root = tree->FirstItem();
    QVERIFY(root->nextSibling == nullptr);
    QCOMPARE(Children(root), std::vector<QString>{"X (0x00000100)"});
    QVERIFY(tree->SelectedItem() == nullptr);
    QCOMPARE(tree->VisibleItems().size(), size_t{2});
}

void CandbPaneTest::identifiersHaveEightDigits_data() {
    QTest::addColumn<uint32_t>("id");
    QTest::addColumn<QString>("text");
    QTest::newRow("one digit") << 0x1u << "M (0x00000001)";
    QTest::newRow("standard") << 0x7FFu << "M (0x000007FF)";
    QTest::newRow("zero") << 0x0u << "M (0x00000000)";
    QTest::newRow("extended") << 0x1FFFFFFFu << "M (0x1FFFFFFF)";
    QTest::newRow("all bits") << 0xFFFFFFFFu << "M (0xFFFFFFFF)";
}

void CandbPaneTest::identifiersHaveEightDigits() {
    QFETCH(uint32_t, id);
    QFETCH(QString, text);
    FakeFrameBackend backend;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    backend.candb.ok = true;
    backend.candb.messages = {{"M", id}};
    frame.OpenCandbFile(QStringLiteral("/data/m.dbc"));
    const CStaticTreeItem* root = frame.CandbPane()->Tree()->FirstItem();
    QVERIFY(root != nullptr);
    QCOMPARE(Children(root), std::vector<QString>{text});
}

void CandbPaneTest::noImagesWithoutTheBitmap() {
    CCANdbPane pane;
    pane.resize(200, 300);
    pane.show();
    QVERIFY(!pane.SetImageStrip(QImage()));
    CStaticTreeCtrl* tree = pane.Tree();
    QVERIFY(!tree->HasImageList());
    pane.Fill(QStringLiteral("root"), {QStringLiteral("A (0x00000001)")});
    const CStaticTreeItem* root = tree->FirstItem();
    const CStaticTreeItem* message = root->firstChild;
    // No image slot: the message text starts right after its indent.
    QCOMPARE(tree->TextRect(message).left(), CStaticTreeCtrl::Indent(message) + 16);
    QCOMPARE(tree->TextRect(root).left(), 27);
    // A strip of another size still gives square images as high as it is.
    QImage strip(48, 24, QImage::Format_RGB32);
    strip.fill(qRgb(192, 192, 192));
    QVERIFY(pane.SetImageStrip(strip));
    QCOMPARE(tree->ImageCount(), 2);
    QCOMPARE(tree->TextRect(message).left(), CStaticTreeCtrl::Indent(message) + 16 + 24);
}

QTEST_MAIN(CandbPaneTest)
#include "candb_pane_test.moc"

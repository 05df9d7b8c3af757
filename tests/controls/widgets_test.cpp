#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include "controls/clipboard_text.h"
#include "controls/group_box.h"
#include "controls/hex_edit.h"

namespace {

// Types text one character at a time, as a keyboard with any layout would.
void Type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

}  // namespace

class WidgetsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hexEditTyping_data();
    void hexEditTyping();
    void hexEditPasteMixedText();
    void hexEditPasteKeepsLimit();
    void groupBoxPropagation();
    void groupBoxFollowingOnly();
    void groupBoxMoveOnlyWhenPositionChanges();
    void clipboardText();
};

void WidgetsTest::hexEditTyping_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("shown");
    QTest::newRow("refuses g") << "1g2" << 0 << "12";
    QTest::newRow("lower case shown upper") << "abcdef" << 0 << "ABCDEF";
    QTest::newRow("punctuation and blank pass") << "7- a" << 0 << "7- A";
    QTest::newRow("non-ascii letters and digits refused")
        << QString::fromUtf8("1\u00e92\uff13") << 0 << "12";
    QTest::newRow("limit refuses the fourth") << "7ff0" << 3 << "7FF";
    QTest::newRow("refused chars do not count") << "xx1yy2zz3" << 3 << "123";
}

void WidgetsTest::hexEditTyping() {
    QFETCH(QString, typed);
    QFETCH(int, limit);
    QFETCH(QString, shown);
    CHexEdit edit;
    edit.SetLimitText(limit);
    edit.show();
    Type(&edit, typed);
    QCOMPARE(edit.text(), shown);
}

void WidgetsTest::hexEditPasteMixedText() {
    CHexEdit edit;
    edit.show();
    QApplication::clipboard()->setText(QStringLiteral("id: 0x1aG!"));
    edit.paste();
    // Letters and digits other than hex digits go, the rest stays.
    QCOMPARE(edit.text(), QStringLiteral("D: 01A!"));
}

void WidgetsTest::hexEditPasteKeepsLimit() {
    CHexEdit edit;
    edit.SetLimitText(3);
    edit.show();
    edit.setText(QStringLiteral("0"));
    edit.setCursorPosition(0);
    QApplication::clipboard()->setText(QStringLiteral("zzabcd"));
    edit.paste();
    // Only two characters fit in front of the "0": the paste's first ones.
    QCOMPARE(edit.text(), QStringLiteral("AB0"));
    QCOMPARE(edit.cursorPosition(), 2);
    // A full field refuses typing.
    QTest::keyClick(&edit, Qt::Key_1);
    QCOMPARE(edit.text(), QStringLiteral("AB0"));
}

void WidgetsTest::groupBoxPropagation() {
    QWidget dialog;
    auto* box = new CGroupBox(&dialog);
    box->setGeometry(10, 10, 200, 100);
    auto* inside = new QPushButton(&dialog);
    inside->setGeometry(20, 20, 50, 20);
    auto* half = new QPushButton(&dialog);
    half->setGeometry(180, 40, 60, 20);  // top-left inside, bottom-right out
    auto* outside = new QPushButton(&dialog);
    outside->setGeometry(300, 20, 50, 20);
    dialog.show();

    // Off after construction: nothing travels.
    box->setEnabled(false);
    QVERIFY(inside->isEnabled());
    box->setEnabled(true);

    box->SetPropagation(true);
    box->setEnabled(false);
    QVERIFY(!inside->isEnabled());
    QVERIFY(half->isEnabled());
    QVERIFY(outside->isEnabled());
    box->setEnabled(true);
    QVERIFY(inside->isEnabled());

    box->SetIncludePartial(true);
    box->setEnabled(false);
    QVERIFY(!half->isEnabled());
    QVERIFY(outside->isEnabled());
    box->setEnabled(true);

    // Hiding the box hides its controls; showing brings them back.
    box->hide();
    QVERIFY(inside->isHidden());
    QVERIFY(half->isHidden());
    QVERIFY(!outside->isHidden());
    box->show();
    QVERIFY(!inside->isHidden());

    // A disabled parent does not leave the inner controls disabled for good.
    dialog.setEnabled(false);
    dialog.setEnabled(true);
    QVERIFY(inside->isEnabled());

    // An invisible box still enables and disables its controls.
    box->hide();
    inside->show();
    box->setEnabled(false);
    QVERIFY(!inside->isEnabled());
}

void WidgetsTest::groupBoxFollowingOnly() {
    QWidget dialog;
    auto* before = new QPushButton(&dialog);
    before->setGeometry(20, 20, 30, 20);
    auto* box = new CGroupBox(&dialog);
    box->setGeometry(10, 10, 200, 100);
    auto* first = new QPushButton(&dialog);
    first->setGeometry(60, 20, 30, 20);
    auto* out = new QPushButton(&dialog);
    out->setGeometry(400, 20, 30, 20);
    auto* after = new QPushButton(&dialog);
    after->setGeometry(100, 20, 30, 20);
    dialog.show();
    box->SetPropagation(true);
    box->SetFollowingOnly(true);
    box->setEnabled(false);
    QVERIFY(before->isEnabled());  // ahead of the box
    QVERIFY(!first->isEnabled());
    QVERIFY(after->isEnabled());  // the walk ended at the first outside
    box->SetFollowingOnly(false);
    box->setEnabled(true);
    box->setEnabled(false);
    QVERIFY(!before->isEnabled());
    QVERIFY(!after->isEnabled());
}

void WidgetsTest::groupBoxMoveOnlyWhenPositionChanges() {
    QWidget dialog;
    auto* box = new CGroupBox(&dialog);
    box->setGeometry(10, 10, 200, 100);
    auto* inside = new QPushButton(&dialog);
    inside->setGeometry(20, 20, 50, 20);
    auto* outside = new QPushButton(&dialog);
    outside->setGeometry(300, 20, 50, 20);
    dialog.show();
    box->SetPropagation(true);
    box->resize(150, 80);
    QCOMPARE(inside->pos(), QPoint(20, 20));
    box->move(40, 30);
    QCOMPARE(inside->pos(), QPoint(50, 40));
    QCOMPARE(outside->pos(), QPoint(300, 20));
    // A control placed inside the moved box travels with it next time.
    auto* late = new QPushButton(&dialog);
    late->setGeometry(45, 35, 20, 10);
    late->show();
    box->move(0, 0);
    QCOMPARE(inside->pos(), QPoint(10, 10));
    QCOMPARE(late->pos(), QPoint(5, 5));
}

void WidgetsTest::clipboardText() {
    controls::SetClipboardText(QStringLiteral("line 1\nline 2"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("line 1\nline 2"));
    controls::SetClipboardText(QString::fromUtf16(u"abc\0def", 7));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc"));
}

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"

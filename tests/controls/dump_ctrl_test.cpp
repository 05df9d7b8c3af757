// The hex dump control and its byte editor, driven as a user drives them.
#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <array>
#include <memory>

#include "controls/dump_ctrl.h"

namespace {

using Cell = CDumpCtrl::Cell;

// A dump of count bytes (0, 1, 2, ...) in a window, sized to bytesPerRow
// bytes a row and rows rows, next to a button that can take the focus.
struct Bench {
    QWidget window;
    CDumpCtrl* dump;
    QPushButton* other;
    std::array<uint8_t, 256> bytes{};
    std::array<uint8_t, 256> reference{};

    Bench(int count, int bytesPerRow, int rows) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = reference[i] = static_cast<uint8_t>(i);
        }
        dump = new CDumpCtrl(&window);
        other = new QPushButton(QStringLiteral("x"), &window);
        other->move(0, 400);
        Size(bytesPerRow, rows);
        dump->SetData(bytes.data(), count);
        window.resize(800, 500);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        dump->setFocus();
    }
    void Size(int bytesPerRow, int rows) {
        const int height = 2 * dump->frameWidth() + rows * dump->RowHeight();
        dump->setGeometry(0, 0, bytesPerRow > 0 ? dump->WidthForBytes(bytesPerRow) : 20, height);
    }
    QPoint Center(int index, Cell kind = Cell::Byte) const {
        return dump->CellRect(index, kind).center();
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = dump->Editor() != nullptr ? static_cast<QWidget*>(dump->Editor()) : dump;
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        QCoreApplication::processEvents();
    }
    void Type(const char* text) { QTest::keyClicks(dump->Editor(), QString::fromLatin1(text)); }
};

}  // namespace

class DumpCtrlTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layoutFollowsWidth_data();
    void layoutFollowsWidth();
    void cellTexts();
    void hitTest();
    void keys_data();
    void keys();
    void scrollingReportsTheTop();
    void editorTyping_data();
    void editorTyping();
    void editorCommitCancelAndMove();
    void editorAddressColumn();
    void editorLeftByClickKeepsTheByte();
    void changedBytesInTheirColour();
    void emptyAndNullBuffers();
};

void DumpCtrlTest::layoutFollowsWidth_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("width");  // bytes a row it is sized for; 0 = narrower than one
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("bytesPerRow");
    QTest::addColumn<int>("range");
    QTest::newRow("narrow: one byte a row, no scroll bar") << 64 << 0 << 4 << 1 << 0;
    QTest::newRow("exactly one byte") << 64 << 1 << 4 << 1 << 60;
    QTest::newRow("64 in 16x4 fits") << 64 << 16 << 4 << 16 << 0;
    QTest::newRow("64 in 8x4 scrolls 4 rows") << 64 << 8 << 4 << 8 << 4;
    QTest::newRow("partial last row counts") << 20 << 8 << 2 << 8 << 1;
    QTest::newRow("9 in 8x2 fits") << 9 << 8 << 2 << 8 << 0;
    QTest::newRow("10 in 4x2: three rows") << 10 << 4 << 2 << 4 << 1;
}

void DumpCtrlTest::layoutFollowsWidth() {
    QFETCH(int, count);
    QFETCH(int, width);
    QFETCH(int, rows);
    QFETCH(int, bytesPerRow);
    QFETCH(int, range);
    Bench bench(count, width, rows);
    QCOMPARE(bench.dump->BytesPerRow(), bytesPerRow);
    QCOMPARE(bench.dump->BytesPerPage(), rows * bytesPerRow);
    QCOMPARE(bench.dump->ScrollRange(), range);
    QCOMPARE(bench.dump->ScrollBar()->isVisible(), range > 0);
    if (range > 0) {
        QCOMPARE(bench.dump->ScrollBar()->maximum(), range);
    }
}

void DumpCtrlTest::cellTexts() {
    Bench bench(64, 8, 4);
    QCOMPARE(bench.dump->ByteText(0x1A), QStringLiteral(" 1A "));
    QCOMPARE(bench.dump->AddressText(0x1A), QStringLiteral(" 0018 "));  // its row's start
    bench.dump->SetBaseAddress(0x12340);
    QCOMPARE(bench.dump->AddressText(8), QStringLiteral(" 2348 "));  // the last four digits
}

void DumpCtrlTest::hitTest() {
    Bench bench(20, 8, 4);
    CDumpCtrl* dump = bench.dump;
    Cell kind = Cell::Address;
    QCOMPARE(dump->HitTest(bench.Center(9), &kind), 9);
    QCOMPARE(kind, Cell::Byte);
    QCOMPARE(dump->HitTest(bench.Center(8, Cell::Address), &kind), 8);
    QCOMPARE(kind, Cell::Address);
    // Row 2 has bytes 16..19 only: its column 5 and row 3 hit nothing.
    QCOMPARE(dump->HitTest(bench.Center(13) + QPoint(0, dump->RowHeight())), -1);
    QCOMPARE(dump->HitTest(bench.Center(16, Cell::Address) + QPoint(0, dump->RowHeight())), -1);
    // Right of the byte column.
    QCOMPARE(dump->HitTest(bench.Center(7) + QPoint(3 * dump->CharWidth(), 0)), -1);
}

void DumpCtrlTest::keys_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("caret");
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    // Eight bytes a row, two rows a page.
    QTest::newRow("right") << 20 << 3 << int(Qt::Key_Right) << none << 4;
    QTest::newRow("right on the last byte stays") << 20 << 19 << int(Qt::Key_Right) << none << 19;
    QTest::newRow("left on the first stays") << 20 << 0 << int(Qt::Key_Left) << none << 0;
    QTest::newRow("down") << 20 << 3 << int(Qt::Key_Down) << none << 11;
    QTest::newRow("down into a partial row: last byte")
        << 20 << 13 << int(Qt::Key_Down) << none << 19;
    QTest::newRow("down from the last row stays") << 20 << 17 << int(Qt::Key_Down) << none << 17;
    QTest::newRow("down past a full last row stays") << 16 << 12 << int(Qt::Key_Down) << none << 12;
    QTest::newRow("up from the first row stays") << 20 << 5 << int(Qt::Key_Up) << none << 5;
    QTest::newRow("page down") << 64 << 2 << int(Qt::Key_PageDown) << none << 18;
    QTest::newRow("page down past the end") << 20 << 13 << int(Qt::Key_PageDown) << none << 19;
    QTest::newRow("page up before the start: same column")
        << 64 << 13 << int(Qt::Key_PageUp) << none << 5;
    QTest::newRow("page up") << 64 << 40 << int(Qt::Key_PageUp) << none << 24;
    QTest::newRow("home") << 20 << 13 << int(Qt::Key_Home) << none << 8;
    QTest::newRow("end") << 20 << 9 << int(Qt::Key_End) << none << 15;
    QTest::newRow("end of a partial row") << 20 << 17 << int(Qt::Key_End) << none << 19;
    QTest::newRow("ctrl+home") << 64 << 40 << int(Qt::Key_Home) << ctrl << 0;
    QTest::newRow("ctrl+end") << 64 << 3 << int(Qt::Key_End) << ctrl << 63;
}

void DumpCtrlTest::keys() {
    QFETCH(int, count);
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, caret);
    Bench bench(count, 8, 2);
    bench.dump->SetCaret(start);
    bench.Key(key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(bench.dump->Caret(), caret);
    QCOMPARE(bench.dump->SelectionFirst(), caret);
    QCOMPARE(bench.dump->SelectionLast(), caret);
    // The caret's row is on the page.
    const int top = bench.dump->Top();
    QVERIFY(caret >= top && caret < top + bench.dump->BytesPerPage());
}

void DumpCtrlTest::scrollingReportsTheTop() {
    Bench bench(64, 8, 2);
    CDumpCtrl* dump = bench.dump;
    QSignalSpy spy(dump, &CDumpCtrl::dumpNotify);
    dump->SetCaret(16);  // row 2: below the page, becomes its last row
    QCOMPARE(dump->Top(), 8);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), int(DCN_TOPCHANGE));
    QCOMPARE(spy.at(0).at(1).toInt(), 8);
    QCOMPARE(dump->ScrollBar()->value(), 1);
    dump->SetCaret(16);  // already shown: no report
    QCOMPARE(spy.size(), 1);
    // One row per wheel notch, down then up past the start.
    QWheelEvent down(bench.Center(16), dump->mapToGlobal(bench.Center(16)), QPoint(),
                     QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(dump, &down);
    QCOMPARE(dump->Top(), 24);
    QWheelEvent up(bench.Center(24), dump->mapToGlobal(bench.Center(24)), QPoint(), QPoint(0, 600),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(dump, &up);
    QCOMPARE(dump->Top(), 0);
    QCOMPARE(spy.last().at(1).toInt(), 0);
    // The scroll bar moves the top too, and never past the last page.
    dump->SetTop(1000);
    QCOMPARE(dump->Top(), 48);
}

void DumpCtrlTest::editorTyping_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("lower case shows upper") << "ab"
                                            << "AB";
    QTest::newRow("third digit refused") << "abc"
                                         << "AB";
    QTest::newRow("non-hex letter refused") << "g1"
                                            << "1";
    QTest::newRow("punctuation and blanks refused") << "-. 7"
                                                    << "7";
}

void DumpCtrlTest::editorTyping() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Bench bench(16, 8, 2);
    bench.dump->SetCaret(5);
    bench.Key(Qt::Key_Return);
    CDumpEdit* editor = bench.dump->Editor();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->text(), QStringLiteral("05"));
    QCOMPARE(editor->selectedText(), QStringLiteral("05"));
    QTest::keyClicks(editor, typed);
    QCOMPARE(editor->text(), shown);
}

void DumpCtrlTest::editorCommitCancelAndMove() {
    Bench bench(20, 8, 2);
    CDumpCtrl* dump = bench.dump;
    // Enter commits into the owner's buffer.
    dump->SetCaret(2);
    bench.Key(Qt::Key_Return);
    bench.Type("ab");
    bench.Key(Qt::Key_Return);
    QVERIFY(dump->Editor() == nullptr);
    QCOMPARE(bench.bytes[2], uint8_t{0xAB});
    QVERIFY(dump->hasFocus());
    // Escape leaves the byte as it was.
    bench.Key(Qt::Key_Return);
    bench.Type("cd");
    bench.Key(Qt::Key_Escape);
    QVERIFY(dump->Editor() == nullptr);
    QCOMPARE(bench.bytes[2], uint8_t{0xAB});
    // Right at the end of the text commits and edits the next byte.
    bench.Key(Qt::Key_Return);
    bench.Type("11");
    bench.Key(Qt::Key_Right);
    QCOMPARE(bench.bytes[2], uint8_t{0x11});
    QVERIFY(dump->Editor() != nullptr);
    QCOMPARE(dump->Caret(), 3);
    // Left inside the text only moves the text caret.
    bench.Type("2");
    bench.Key(Qt::Key_Left);
    QCOMPARE(dump->Caret(), 3);
    QVERIFY(dump->Editor() != nullptr);
    // Ctrl+End commits and goes to the end of the row; Down then to the
    // partial last row's last byte.
    bench.Key(Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(bench.bytes[3], uint8_t{0x02});
    QCOMPARE(dump->Caret(), 7);
    bench.Key(Qt::Key_Down);
    QCOMPARE(dump->Caret(), 15);
    bench.Key(Qt::Key_Down);
    QCOMPARE(dump->Caret(), 19);
    // Right at the last byte while editing leaves the caret there.
    bench.Type("ee");
    bench.Key(Qt::Key_Right);
    QCOMPARE(dump->Caret(), 19);
    QCOMPARE(bench.bytes[19], uint8_t{0xEE});
    QVERIFY(dump->Editor() != nullptr);
    // An unchanged text writes nothing even where the buffer changed meanwhile.
    bench.bytes[19] = 0x42;
    bench.Key(Qt::Key_Escape);
    QCOMPARE(bench.bytes[19], uint8_t{0x42});
    // Tab goes to the address column of the row and back.
    bench.Key(Qt::Key_Return);
    bench.Key(Qt::Key_Tab);
    QCOMPARE(dump->CaretKind(), Cell::Address);
    QCOMPARE(dump->Caret(), 16);
    bench.Key(Qt::Key_Backtab);
    QCOMPARE(dump->CaretKind(), Cell::Byte);
    bench.Key(Qt::Key_Escape);
}

void DumpCtrlTest::editorAddressColumn() {
    Bench bench(64, 8, 2);
    CDumpCtrl* dump = bench.dump;
    dump->SetBaseAddress(0x10);
    QTest::mouseDClick(dump, Qt::LeftButton, Qt::NoModifier, bench.Center(8, Cell::Address));
    CDumpEdit* editor = dump->Editor();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->text(), QStringLiteral("18"));  // the row's address
    // A typed address moves the caret there, minus the base.
    bench.Type("38");
    bench.Key(Qt::Key_Return);
    QCOMPARE(dump->Caret(), 0x28);
    QCOMPARE(dump->CaretKind(), Cell::Address);
    QVERIFY(dump->Top() <= 0x28 && 0x28 < dump->Top() + dump->BytesPerPage());
    // Outside the buffer: ignored.
    dump->OpenEditor(0x28, Cell::Address);
    bench.Type("05");
    bench.Key(Qt::Key_Return);
    QCOMPARE(dump->Caret(), 0x28);
    // Buffer bytes are never written from the address column.
    for (int i = 0; i < 64; ++i) {
        QCOMPARE(bench.bytes[static_cast<size_t>(i)], static_cast<uint8_t>(i));
    }
    // Rows from address 256 open with 0.
    dump->SetBaseAddress(0x100);
    dump->OpenEditor(0, Cell::Address);
    QCOMPARE(dump->Editor()->text(), QStringLiteral("00"));
}

void DumpCtrlTest::editorLeftByClickKeepsTheByte() {
    Bench bench(16, 8, 2);
    CDumpCtrl* dump = bench.dump;
    QTest::mouseDClick(dump, Qt::LeftButton, Qt::NoModifier, bench.Center(6));
    QVERIFY(dump->Editor() != nullptr);
    bench.Type("5a");
    // Clicking another control (the send button, say) keeps what was typed.
    bench.other->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    QVERIFY(dump->Editor() == nullptr);
    QCOMPARE(bench.bytes[6], uint8_t{0x5A});
    // A drag selects from the click to the pointer.
    QTest::mousePress(dump, Qt::LeftButton, Qt::NoModifier, bench.Center(2));
    QMouseEvent move(QEvent::MouseMove, bench.Center(10), dump->mapToGlobal(bench.Center(10)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dump, &move);
    QTest::mouseRelease(dump, Qt::LeftButton, Qt::NoModifier, bench.Center(10));
    QCOMPARE(dump->SelectionFirst(), 2);
    QCOMPARE(dump->SelectionLast(), 10);
    QVERIFY(dump->hasFocus());
}

void DumpCtrlTest::changedBytesInTheirColour() {
    Bench bench(16, 8, 2);
    CDumpCtrl* dump = bench.dump;
    dump->SetReference(bench.reference.data());
    bench.bytes[4] = 0x99;
    dump->SetCaret(15);  // keep the selection away from the cells looked at
    const QImage image = dump->grab().toImage();
    const auto hasColour = [&image](QRect cell, QColor colour) {
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x) {
                // Anti-aliased glyphs blend into the background: the hue tells.
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.saturation() > 60 && qAbs(pixel.hue() - colour.hue()) <= 15) {
                    return true;
                }
            }
        }
        return false;
    };
    const QColor changed = dump->Color(CDumpCtrl::kChangedText);
    QVERIFY(hasColour(dump->CellRect(4, Cell::Byte), changed));
    QVERIFY(!hasColour(dump->CellRect(5, Cell::Byte), changed));
    QVERIFY(hasColour(dump->CellRect(15, Cell::Byte), dump->Color(CDumpCtrl::kSelection)));
}

void DumpCtrlTest::emptyAndNullBuffers() {
    Bench bench(8, 8, 2);
    CDumpCtrl* dump = bench.dump;
    // No buffer: every byte shows 00 and an edit writes nowhere.
    dump->SetData(nullptr, 8);
    QCOMPARE(dump->ByteText(3), QStringLiteral(" 00 "));
    dump->OpenEditor(3, Cell::Byte);
    QCOMPARE(dump->Editor()->text(), QStringLiteral("00"));
    bench.Type("77");
    bench.Key(Qt::Key_Return);
    QCOMPARE(bench.bytes[3], uint8_t{3});
    // A length of 0 shows no byte: nothing to hit, move or edit.
    const QPoint first = bench.Center(0);
    dump->SetData(bench.bytes.data(), 0);
    QCOMPARE(dump->HitTest(first), -1);
    bench.Key(Qt::Key_Return);
    QVERIFY(dump->Editor() == nullptr);
    dump->OpenEditor(0, Cell::Byte);
    QVERIFY(dump->Editor() == nullptr);
    // A new buffer closes an open editor without writing to the old one.
    dump->SetData(bench.bytes.data(), 8);
    dump->OpenEditor(1, Cell::Byte);
    bench.Type("99");
    std::array<uint8_t, 8> other{};
    dump->SetData(other.data(), 8);
    QVERIFY(dump->Editor() == nullptr);
    QCOMPARE(bench.bytes[1], uint8_t{1});
    QCOMPARE(other[1], uint8_t{0});
}

QTEST_MAIN(DumpCtrlTest)
#include "dump_ctrl_test.moc"

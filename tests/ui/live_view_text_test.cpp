// The cell texts of the monitor and message-info rows and the lines of their
// clipboard copies, character for character.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <cstring>

#include "can/frame_list.h"
#include "ui/frame/ascii_text_run.h"
#include "ui/frame/live_view_text.h"

namespace {

CanFrameRecord Record(uint8_t channel, uint32_t id, uint32_t flags, uint32_t dlc,
                      uint32_t timestamp, uint8_t direction, uint8_t status, uint8_t firstByte) {
    CanFrameRecord r;
    std::memset(&r, 0, sizeof r);
    r.channel = channel;
    r.id = id;
    r.flags = flags;
    r.dlc = dlc;
    r.timestamp = timestamp;
    r.direction = direction;
    r.status = status;
    for (size_t i = 0; i < sizeof r.data; ++i) {
        r.data[i] = static_cast<uint8_t>(firstByte + i);
    }
    return r;
}

MessageInfoEntry Entry(uint8_t channel, uint8_t direction, uint32_t flags, uint32_t id,
                       uint32_t dlc, uint32_t cycle, uint32_t count) {
    return MessageInfoEntry{flags, id, dlc, 0, channel, direction, cycle, count};
}

QString Joined(const live_text::Cell* cells, int n) {
    QStringList parts;
    for (int i = 0; i < n; ++i) {
        parts << QString::fromLatin1(cells[i].text, cells[i].length);
    }
    return parts.join(u'|');
}

QString DataText(int first, int count) {
    QString text;
    for (int i = 0; i < count; ++i) {
        text += QString::asprintf("  %02X", (first + i) & 0xFF);
    }
    return text;
}

}  // namespace

Q_DECLARE_METATYPE(CanFrameRecord)
Q_DECLARE_METATYPE(MessageInfoEntry)

class LiveViewTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void monitorCells_data();
    void monitorCells();
    void messageInfoTexts_data();
    void messageInfoTexts();
    void monitorCopyText();
    void glyphRunDrawsAsTextDoes_data();
    void glyphRunDrawsAsTextDoes();
};

void LiveViewTextTest::monitorCells_data() {
    QTest::addColumn<CanFrameRecord>("record");
    QTest::addColumn<QString>("cells");  // time|CAN|Dir|Status|Type|ID|DLC|Data

    QTest::newRow("extended: low 11 bits, E") << Record(0, 0x18DAF110, 0x4, 8, 1500000, 1, 1, 0x11)
                                              << "  1.500000|0|R|OK|E|110|08|" + DataText(0x11, 8);
    QTest::newRow("FD with bit-rate switch, standard")
        << Record(1, 0x123, 0x10000 | 0x20000, 12, 0, 1, 1, 0)
        << "  0.000000|1|R|OK|FB|123|0C|" + DataText(0, 12);
    QTest::newRow("FD with bit-rate switch, extended")
        << Record(1, 0x1FFFFFFF, 0x4 | 0x10000 | 0x20000, 64, 1, 1, 1, 0xF0)
        << "  0.000001|1|R|OK|EFB|7FF|40|" + DataText(0xF0, 64);
    QTest::newRow("remote extended: R before E") << Record(2, 0x800, 0x1 | 0x4, 8, 10, 1, 1, 0)
                                                 << "  0.000010|2|R|OK|RE|000|08|" + DataText(0, 8);
    QTest::newRow("no data bytes") << Record(0, 0x7FF, 0x2, 0, 2000000, 1, 1, 0)
                                   << QStringLiteral("  2.000000|0|R|OK||7FF|00|  00");
    QTest::newRow("CAN5, sent, NG") << Record(4, 0x100, 0x2 | 0x40, 1, 0, 0, 0, 0xAB)
                                    << QStringLiteral("  0.000000|4|T|NG||100|01|  AB");
    QTest::newRow("clock at its wrap") << Record(0, 0x1, 0, 1, 0xFFFFFFFF, 1, 1, 0)
                                       << QStringLiteral("  4294.967295|0|R|OK||001|01|  00");
    // A damaged length shows its low seven bits and never more than 64 bytes.
    QTest::newRow("damaged length")
        << Record(0, 0x1, 0, 200, 0, 1, 1, 0) << "  0.000000|0|R|OK||001|48|" + DataText(0, 64);
}

void LiveViewTextTest::monitorCells() {
    QFETCH(CanFrameRecord, record);
    QFETCH(QString, cells);
    live_text::MonitorRow row;
    live_text::FormatMonitorRow(record, row);
    QCOMPARE(Joined(row.cells, live_text::MonitorRow::kColumns), cells);
}

void LiveViewTextTest::messageInfoTexts_data() {
    QTest::addColumn<MessageInfoEntry>("entry");
    QTest::addColumn<QString>("cells");  // CAN|Dir|Type|ID|DLC|Cycle|Count
    QTest::addColumn<QString>("line");

    QTest::newRow("the example") << Entry(1, 1, 0, 0x123, 8, 10000, 25)
                                 << QStringLiteral("1|R||123|08|  10.000|  25")
                                 << QStringLiteral(
                                        " 1    R          123   08      10.000         25\n");
    QTest::newRow("extended FD, first frame")
        << Entry(4, 0, 0x4 | 0x10000 | 0x20000, 0x18FF1234, 64, 0, 1)
        << QStringLiteral("4|T|EFB|234|40|  0.000 |  1")
        << QStringLiteral(" 4    T   EFB    234   40       0.000          1\n");
    QTest::newRow("widest cycle and count")
        << Entry(0, 1, 0x1, 0x7FF, 0, 0xFFFFFFFF, 0xFFFFFFFF)
        << QStringLiteral("0|R|R|7FF|00|  4294967.295|  4294967295")
        << QStringLiteral(" 0    R     R    7FF   00  4294967.295 4294967295\n");
}

void LiveViewTextTest::messageInfoTexts() {
    QFETCH(MessageInfoEntry, entry);
    QFETCH(QString, cells);
    QFETCH(QString, line);
    live_text::MessageInfoRow row;
    live_text::FormatMessageInfoRow(entry, row);
    QCOMPARE(Joined(row.cells, live_text::MessageInfoRow::kColumns), cells);
    QCOMPARE(QString::fromStdString(live_text::MessageInfoCopyLine(entry)), line);
}

void LiveViewTextTest::monitorCopyText() {
    FrameList frames;
    CanFrameRecord first = Record(0, 0x123, 0x2, 3, 1500000, 1, 1, 1);
    QVERIFY(frames.Append(first));
    QVERIFY(
        frames.Append(Record(1, 0x18DAF110, 0x4 | 0x10000 | 0x20000, 20, 0xFFFFFFFF, 0, 1, 0xA0)));
    QVERIFY(frames.Append(Record(4, 0x7FF, 0x1, 0, 0, 1, 1, 0)));
    QVERIFY(frames.Append(first));  // not copied: only the first three are asked for

    // The continuation rows of a long frame stand under the data column, each
    // on a line of its own, and the next frame starts on a fresh line.
    const std::string expected =
        "HEADER\n"
        " 0    00000123         3  01  02  03                           1.500000 R\n"
        " 1    18DAF110  EFB   14  A0  A1  A2  A3  A4  A5  A6  A7    4294.967295 T\n"
        "                          A8  A9  AA  AB  AC  AD  AE  AF\n"
        "                          B0  B1  B2  B3\n"
        " 4    000007FF  R      0  00                                   0.000000 R\n";
    QCOMPARE(live_text::MonitorCopyText("HEADER", frames, 3), expected);
    QCOMPARE(live_text::MonitorCopyText("HEADER", frames, 0), std::string("HEADER\n"));
}

void LiveViewTextTest::glyphRunDrawsAsTextDoes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("align");
    QTest::newRow("time, right") << QStringLiteral("  4294.967295") << int(Qt::AlignRight);
    QTest::newRow("data, left") << QStringLiteral("  AB  CD  EF  01  23  45  67  89")
                                << int(Qt::AlignLeft);
    QTest::newRow("type, centred") << QStringLiteral("EFB") << int(Qt::AlignHCenter);
    QTest::newRow("cycle, right") << QStringLiteral("  0.000 ") << int(Qt::AlignRight);
}

// A cell drawn through the glyph table looks exactly as the painter's own
// text drawing at the same place.
void LiveViewTextTest::glyphRunDrawsAsTextDoes() {
    QFETCH(QString, text);
    QFETCH(int, align);
    QFont font = QApplication::font();
    font.setPixelSize(13);
    CAsciiTextRun run;
    run.SetFont(font);
    QVERIFY(run.Usable());
    const QByteArray ascii = text.toLatin1();
    const QRect cell(3, 2, 260, 20);
    qreal width = 0;
    QVERIFY(run.Fits(ascii.constData(), static_cast<int>(ascii.size()), cell.width(), &width));
    QCOMPARE(qRound(width), QFontMetrics(font).horizontalAdvance(text));
    QVERIFY(
        !run.Fits(ascii.constData(), static_cast<int>(ascii.size()), qRound(width) - 1, &width));

    QImage viaRun(280, 24, QImage::Format_RGB32);
    QImage viaText = viaRun;
    viaRun.fill(Qt::white);
    viaText.fill(Qt::white);
    {
        QPainter painter(&viaRun);
        painter.setPen(Qt::black);
        const QPointF origin = run.Origin(cell, width, Qt::Alignment(align));
        run.Add(origin.x(), origin.y(), ascii.constData(), static_cast<int>(ascii.size()));
        run.Flush(painter);
    }
    {
        QPainter painter(&viaText);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(run.Origin(cell, width, Qt::Alignment(align)), text);
    }
    QCOMPARE(viaRun, viaText);
    // Characters without a glyph of their own go the painter's way.
    QVERIFY(!run.Fits("\x01", 1, 100, &width));
    QVERIFY(!run.Fits("\xE9", 1, 100, &width));
}

QTEST_MAIN(LiveViewTextTest)
#include "live_view_text_test.moc"

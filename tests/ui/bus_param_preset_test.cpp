// The preset dialog of the channel pages and the number reading the pages
// share.
#include <QTableWidget>
#include <QTest>
#include <limits>

#include "ui/dialogs/bus_param_preset_dlg.h"

namespace {

QStringList RowTexts(const QTableWidget* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c) {
        texts << list->item(row, c)->text();
    }
    return texts;
}

int SelectedRow(const QTableWidget* list) {
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

}  // namespace

class BusParamPresetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void presetTables_data();
    void presetTables();
    void presetDialogPreselectsAndReturns_data();
    void presetDialogPreselectsAndReturns();
    void readsNumbersAsTheCLibrary_data();
    void readsNumbersAsTheCLibrary();
};

void BusParamPresetTest::presetTables_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("phase");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("last");  // the last row's cells
    QTest::newRow("classic") << 0 << 0 << 24 << QStringList{"1000000 bps", "75.0 %", "1", "5", "2"};
    QTest::newRow("classic, data button")
        << 0 << 1 << 24 << QStringList{"1000000 bps", "75.0 %", "1", "5", "2"};
    QTest::newRow("fd arbitration")
        << 1 << 0 << 2 << QStringList{"1000000 bps", "80.0 %", "1", "31", "8"};
    QTest::newRow("fd data") << 1 << 1 << 5 << QStringList{"8000000 bps", "60.0 %", "1", "2", "2"};
    QTest::newRow("no mode") << -1 << 0 << 0 << QStringList{};
    QTest::newRow("unknown mode") << 2 << 1 << 0 << QStringList{};
}

void BusParamPresetTest::presetTables() {
    QFETCH(int, mode);
    QFETCH(int, phase);
    QFETCH(int, rows);
    QFETCH(QStringList, last);
    BusParams current{0, 0, 0, 0, 0, 0};
    CBusParamPresetDlg dialog(mode, phase, current);
    const QTableWidget* list = dialog.List();
    QCOMPARE(list->rowCount(), rows);
    QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("ﾋﾞｯﾄﾚｰﾄ"));
    QCOMPARE(list->horizontalHeaderItem(4)->text(), QStringLiteral("Tseg2"));
    QCOMPARE(list->columnWidth(2), 40);
    for (int r = 0; r < rows; ++r) {
        // Every row's label is its own sample point, (1 + tseg1) / (1 + tseg1 + tseg2).
        const BusParams& p = dialog.Rows()[r].params;
        const double point = 100.0 * (1 + p.tseg1) / (1 + p.tseg1 + p.tseg2);
        QCOMPARE(list->item(r, 1)->text(), QString::number(point, 'f', 1) + QStringLiteral(" %"));
        QCOMPARE(p.sjw, 1u);
        QCOMPARE(p.noSamp, 1u);
    }
    if (rows > 0) {
        QCOMPARE(RowTexts(list, rows - 1), last);
    }
    QCOMPARE(SelectedRow(list), -1);
}

void BusParamPresetTest::presetDialogPreselectsAndReturns_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("phase");
    QTest::addColumn<QList<int>>("current");  // bitrate, tseg1, tseg2, sjw
    QTest::addColumn<int>("preselected");
    QTest::addColumn<int>("choose");           // row selected before OK, -1 none
    QTest::addColumn<QList<int>>("returned");  // bitrate, tseg1, tseg2, sjw
    QTest::newRow("500k 87.5 %") << 0 << 0 << QList<int>{500000, 13, 2, 1} << 20 << 20
                                 << QList<int>{500000, 13, 2, 1};
    QTest::newRow("sjw must match too")
        << 0 << 0 << QList<int>{500000, 13, 2, 2} << -1 << -1 << QList<int>{500000, 13, 2, 2};
    QTest::newRow("no match, OK keeps")
        << 0 << 0 << QList<int>{300000, 9, 9, 9} << -1 << -1 << QList<int>{300000, 9, 9, 9};
    QTest::newRow("choose 125k 50 %")
        << 0 << 0 << QList<int>{-1, 0, 0, 0} << -1 << 0 << QList<int>{125000, 7, 8, 1};
    QTest::newRow("fd data 8M") << 1 << 1 << QList<int>{8000000, 2, 2, 1} << 4 << 4
                                << QList<int>{8000000, 2, 2, 1};
    QTest::newRow("fd data, choose 2M")
        << 1 << 1 << QList<int>{2000000, 15, 4, 4} << -1 << 2 << QList<int>{2000000, 15, 4, 1};
}

void BusParamPresetTest::presetDialogPreselectsAndReturns() {
    QFETCH(int, mode);
    QFETCH(int, phase);
    QFETCH(QList<int>, current);
    QFETCH(int, preselected);
    QFETCH(int, choose);
    QFETCH(QList<int>, returned);
    BusParams values{current[0],
                     static_cast<uint32_t>(current[1]),
                     static_cast<uint32_t>(current[2]),
                     static_cast<uint32_t>(current[3]),
                     7,
                     9};
    CBusParamPresetDlg dialog(mode, phase, values);
    dialog.show();
    QTableWidget* list = dialog.List();
    QCOMPARE(SelectedRow(list), preselected);
    if (preselected >= 0) {
        QCOMPARE(list->currentRow(), preselected);
    }
    if (choose >= 0) {
        // A double click on the row is OK.
        list->clearSelection();
        const QRect cell = list->visualItemRect(list->item(choose, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    } else {
        dialog.accept();
    }
    QCOMPARE((QList<int>{values.bitrate, int(values.tseg1), int(values.tseg2), int(values.sjw)}),
             returned);
    // Only the four values come back.
    QCOMPARE(values.noSamp, 7u);
    QCOMPARE(values.syncMode, 9u);
}

void BusParamPresetTest::readsNumbersAsTheCLibrary_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<quint64>("asUnsigned");
    QTest::addColumn<qint64>("asSigned");
    QTest::addColumn<int>("asInt");
    const quint64 top = std::numeric_limits<quint64>::max();
    const int intMax = std::numeric_limits<int>::max();
    const int intMin = std::numeric_limits<int>::min();
    QTest::newRow("plain") << QByteArray("255") << quint64(255) << qint64(255) << 255;
    QTest::newRow("minus one wraps") << QByteArray("-1") << top << qint64(-1) << -1;
    QTest::newRow("letters") << QByteArray("abc") << quint64(0) << qint64(0) << 0;
    QTest::newRow("leading digits") << QByteArray("  12x4") << quint64(12) << qint64(12) << 12;
    QTest::newRow("plus") << QByteArray("+5") << quint64(5) << qint64(5) << 5;
    QTest::newRow("empty") << QByteArray("") << quint64(0) << qint64(0) << 0;
    QTest::newRow("beyond 32 bits")
        << QByteArray("4294967296") << quint64(4294967296) << qint64(4294967296) << intMax;
    QTest::newRow("below 32 bits")
        << QByteArray("-4294967296") << top - 4294967295u << qint64(-4294967296) << intMin;
    QTest::newRow("overflow") << QByteArray("99999999999999999999999") << top
                              << std::numeric_limits<qint64>::max() << intMax;
    QTest::newRow("negative overflow") << QByteArray("-99999999999999999999999") << top
                                       << std::numeric_limits<qint64>::min() << intMin;
}

void BusParamPresetTest::readsNumbersAsTheCLibrary() {
    QFETCH(QByteArray, text);
    QFETCH(quint64, asUnsigned);
    QFETCH(qint64, asSigned);
    QFETCH(int, asInt);
    QCOMPARE(quint64(bus_presets::ReadUnsigned(text.constData())), asUnsigned);
    QCOMPARE(qint64(bus_presets::ReadSigned(text.constData())), asSigned);
    QCOMPARE(int(bus_presets::ReadInt(text.constData())), asInt);
}

QTEST_MAIN(BusParamPresetTest)
#include "bus_param_preset_test.moc"

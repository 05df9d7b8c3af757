// The send dialog and its bit editor over a target whose channels the test sets.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cstring>
#include <vector>

#include "can/write_log.h"
#include "controls/dump_ctrl.h"
#include "controls/hex_edit.h"
#include "controls/up_down_ctrl.h"
#include "res/ids.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/dialogs/data_bit_dlg.h"
#include "ui/dialogs/send_message_dlg.h"
#include "ui/dialogs/send_target.h"

namespace {

constexpr ChannelSettings kClassic{1, kChannelModeCan, {500000, 12, 3, 1, 1, 0}, {}};
constexpr ChannelSettings kFd{
    1, kChannelModeCanFd, {500000, 12, 3, 1, 1, 0}, {2000000, 15, 4, 4, 0, 0}};
constexpr ChannelSettings kOff{};

class FakeSendTarget : public CSendTarget {
public:
    ChannelSettings channels[kChannelCount] = {kClassic, kFd, kOff, kOff, kOff};
    bool connected = true;
    bool busOn[kChannelCount] = {true, true, true, true, true};
    bool queueAccepts = true;
    std::vector<CanFrameRecord> queued;

    ChannelSettings Channel(int index) const override { return channels[index]; }
    bool Connected() const override { return connected; }
    bool BusOn(int index) const override { return busOn[index]; }
    bool Queue(const CanFrameRecord& record) override {
        queued.push_back(record);
        return queueAccepts;
    }
};

// A fresh dialog over the target with a cleared shared record.
struct Dialog {
    CanFrameRecord shared{};
    CSendMessageDlg dlg;
    explicit Dialog(FakeSendTarget& target) : dlg(target, shared) {}

    void Choose(QComboBox* combo, const QString& text) {
        const int index = combo->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        combo->setCurrentIndex(index);
    }
    void Channel(int number) { Choose(dlg.ChannelCombo(), QStringLiteral("CAN %1").arg(number)); }
    void Type(const char* name) { Choose(dlg.TypeCombo(), QString::fromLatin1(name)); }
    void Length(const QString& text) { Choose(dlg.LengthCombo(), text); }
};

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return items;
}

// Clicks one bit cell of the bit editor.
void ClickBit(CDataBitDlg* editor, int byte, int bit) {
    const QPoint at = editor->CellRect(byte, bit).center();
    QTest::mousePress(editor, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(editor, Qt::LeftButton, Qt::NoModifier, at);
}

}  // namespace

class SendMessageDlgTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void channelList_data();
    void channelList();
    void noChannelThenChosen();
    void identifierValidation_data();
    void identifierValidation();
    void identifierStepsWrap_data();
    void identifierStepsWrap();
    void typeSwitchKeepsTheIdentifier();
    void classicFrames();
    void faultyDataFieldIsNamed();
    void fdLengthsBytesAndFlags_data();
    void fdLengthsBytesAndFlags();
    void droppedFrameIsLogged();
    void bitEditor();
    void bitEditorClampsLength_data();
    void bitEditorClampsLength();
};

void SendMessageDlgTest::channelList_data() {
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("enabled");  // one digit a channel, 1 = enabled
    QTest::addColumn<QString>("busOn");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("selected");
    QTest::newRow("CAN1 offered is chosen") << true << "11000"
                                            << "11111" << QStringList{"CAN 1", "CAN 2"} << "CAN 1";
    QTest::newRow("CAN1 disabled: nothing chosen")
        << true << "01100"
        << "11111" << QStringList{"CAN 2", "CAN 3"} << "";
    QTest::newRow("off the bus left out") << true << "11101"
                                          << "01001" << QStringList{"CAN 2", "CAN 5"} << "";
    QTest::newRow("not communicating: enabled ones")
        << false << "10101"
        << "00000" << QStringList{"CAN 1", "CAN 3", "CAN 5"} << "CAN 1";
}

void SendMessageDlgTest::channelList() {
    QFETCH(bool, connected);
    QFETCH(QString, enabled);
    QFETCH(QString, busOn);
    QFETCH(QStringList, items);
    QFETCH(QString, selected);
    FakeSendTarget target;
    target.connected = connected;
    for (int i = 0; i < kChannelCount; ++i) {
        target.channels[i].enabled = enabled[i] == u'1' ? 1 : 0;
        target.busOn[i] = busOn[i] == u'1';
    }
    Dialog d(target);
    QCOMPARE(Items(d.dlg.ChannelCombo()), items);
    QCOMPARE(d.dlg.ChannelCombo()->currentText(), selected);
    QCOMPARE(d.dlg.SendButton()->isEnabled(), !selected.isEmpty());
}

void SendMessageDlgTest::noChannelThenChosen() {
    FakeSendTarget target;
    target.channels[0] = kOff;
    Dialog d(target);
    QCOMPARE(d.dlg.ChannelCombo()->currentIndex(), -1);
    QVERIFY(!d.dlg.SendButton()->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{d.dlg.TypeCombo(), d.dlg.IdEdit(),
                                                      d.dlg.LengthCombo(), d.dlg.DataEdit(0)}) {
        QVERIFY(!w->isEnabled());
    }
    // CAN1 is off, so the mode shown is still CAN1's.
    QCOMPARE(d.dlg.ModeLabel()->text(), QStringLiteral("CAN"));
    d.Channel(2);
    QVERIFY(d.dlg.SendButton()->isEnabled());
    QVERIFY(d.dlg.TypeCombo()->isEnabled());
    QVERIFY(d.dlg.IdEdit()->isEnabled());
    QCOMPARE(d.dlg.ModeLabel()->text(), QStringLiteral("CAN-FD"));
    QVERIFY(!d.dlg.Dump()->isHidden());
    QVERIFY(d.dlg.DataEdit(0)->isHidden());
    QVERIFY(d.dlg.BitButton()->isHidden());
}

void SendMessageDlgTest::identifierValidation_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("expected");  // -1: refused
    QTest::newRow("7FF") << "Std"
                         << "7FF" << 0x7FF;
    QTest::newRow("800") << "Std"
                         << "800" << -1;
    QTest::newRow("empty") << "Std"
                           << "" << -1;
    QTest::newRow("blank") << "Std"
                           << " " << -1;
    QTest::newRow("punctuation") << "Std"
                                 << "1-2" << -1;
    QTest::newRow("remote 7FF") << "Remote"
                                << "7FF" << 0x7FF;
    QTest::newRow("remote 800") << "Remote"
                                << "800" << -1;
    QTest::newRow("ext 1FFFFFFF") << "Ext"
                                  << "1FFFFFFF" << 0x1FFFFFFF;
    QTest::newRow("ext 20000000") << "Ext"
                                  << "20000000" << -1;
    QTest::newRow("ext 800") << "Ext"
                             << "800" << 0x800;
}

void SendMessageDlgTest::identifierValidation() {
    QFETCH(QString, type);
    QFETCH(QString, id);
    QFETCH(int, expected);
    ScriptedDialogs dialogs;
    FakeSendTarget target;
    Dialog d(target);
    d.dlg.show();
    d.Type(type.toLatin1().constData());
    d.dlg.IdEdit()->setText(id);
    d.dlg.SendButton()->setFocus();
    d.dlg.SendButton()->click();
    if (expected < 0) {
        QCOMPARE(dialogs.boxes.size(), size_t{1});
        QCOMPARE(dialogs.boxes[0].stringId, uint32_t{IDS_ERR_INPUT});
        QCOMPARE(dialogs.boxes[0].text, QStringLiteral("入力内容に誤りがあります。"));
        QCOMPARE(dialogs.boxes[0].icon, CDialogService::Icon::Error);
        QVERIFY(target.queued.empty());
        QVERIFY(d.dlg.isVisible());
        QCOMPARE(d.dlg.focusWidget(), static_cast<QWidget*>(d.dlg.IdEdit()));
    } else {
        QVERIFY(dialogs.boxes.empty());
        QCOMPARE(target.queued.size(), size_t{1});
        QCOMPARE(target.queued[0].id, static_cast<uint32_t>(expected));
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
    }
}

void SendMessageDlgTest::identifierStepsWrap_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QString>("after");
    QTest::newRow("up past 7FF") << "Std"
                                 << "7FF" << -1 << "000";
    QTest::newRow("down below 000") << "Std"
                                    << "000" << 1 << "7FF";
    QTest::newRow("up") << "Std"
                        << "12" << -1 << "013";
    QTest::newRow("empty counts as 0") << "Std"
                                       << "" << -1 << "001";
    QTest::newRow("ext up past the top") << "Ext"
                                         << "1FFFFFFF" << -1 << "00000000";
    QTest::newRow("ext down below 0") << "Ext"
                                      << "0" << 1 << "1FFFFFFF";
}

void SendMessageDlgTest::identifierStepsWrap() {
    QFETCH(QString, type);
    QFETCH(QString, start);
    QFETCH(int, delta);
    QFETCH(QString, after);
    FakeSendTarget target;
    Dialog d(target);
    d.Type(type.toLatin1().constData());
    d.dlg.IdEdit()->setText(start);
    d.dlg.StepIdentifier(delta);
    QCOMPARE(d.dlg.IdEdit()->text(), after);
    // The arrows and the Up and Down keys give the same steps (-1 raises).
    d.dlg.IdEdit()->setText(start);
    (delta < 0 ? d.dlg.IdSpin()->UpButton() : d.dlg.IdSpin()->DownButton())->click();
    QCOMPARE(d.dlg.IdEdit()->text(), after);
    d.dlg.IdEdit()->setText(start);
    QTest::keyClick(d.dlg.IdEdit(), delta < 0 ? Qt::Key_Up : Qt::Key_Down);
    QCOMPARE(d.dlg.IdEdit()->text(), after);
}

void SendMessageDlgTest::typeSwitchKeepsTheIdentifier() {
    FakeSendTarget target;
    Dialog d(target);
    QCOMPARE(d.dlg.IdLabel()->text(), QStringLiteral("ID (0～7FF)："));
    QCOMPARE(d.dlg.IdEdit()->text(), QStringLiteral("000"));
    QCOMPARE(d.dlg.IdEdit()->LimitText(), 3);
    d.dlg.IdEdit()->setText(QStringLiteral("123"));
    d.Type("Ext");
    QCOMPARE(d.dlg.IdLabel()->text(), QStringLiteral("ID (0～1FFFFFFF)："));
    QCOMPARE(d.dlg.IdEdit()->text(), QStringLiteral("00000123"));
    QCOMPARE(d.dlg.IdEdit()->LimitText(), 8);
    d.Type("Std");
    QCOMPARE(d.dlg.IdEdit()->text(), QStringLiteral("123"));
    QCOMPARE(d.dlg.IdEdit()->LimitText(), 3);
    QCOMPARE(d.dlg.IdLabel()->text(), QStringLiteral("ID (0～7FF)："));
    // Too large for a standard identifier: kept as typed, refused at send.
    d.Type("Ext");
    d.dlg.IdEdit()->setText(QStringLiteral("1ABCDEF0"));
    d.Type("Remote");
    QCOMPARE(d.dlg.IdEdit()->text(), QStringLiteral("1ABCDEF0"));
}

void SendMessageDlgTest::classicFrames() {
    ScriptedDialogs dialogs;
    FakeSendTarget target;
    {
        // Length 0: no byte field and no bit editor; the frame has no data.
        Dialog d(target);
        QCOMPARE(Items(d.dlg.LengthCombo()),
                 (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8"}));
        QCOMPARE(d.dlg.LengthCombo()->currentText(), QStringLiteral("0"));
        for (int i = 0; i < CSendMessageDlg::kDataFields; ++i) {
            QVERIFY(!d.dlg.DataEdit(i)->isEnabled());
        }
        QVERIFY(!d.dlg.BitButton()->isEnabled());
        d.dlg.DataEdit(0)->setText(QStringLiteral("55"));
        d.dlg.accept();
        QCOMPARE(target.queued.size(), size_t{1});
        QCOMPARE(target.queued[0].dlc, 0u);
        QCOMPARE(target.queued[0].data[0], uint8_t{0});
    }
    Dialog d(target);
    d.Length(QStringLiteral("3"));
    QVERIFY(d.dlg.DataEdit(2)->isEnabled());
    QVERIFY(!d.dlg.DataEdit(3)->isEnabled());
    QVERIFY(d.dlg.BitButton()->isEnabled());
    d.dlg.IdEdit()->setText(QStringLiteral("1a"));  // shown upper case
    QCOMPARE(d.dlg.IdEdit()->text(), QStringLiteral("1A"));
    d.dlg.DataEdit(0)->setText(QStringLiteral("12"));
    d.dlg.DataEdit(1)->setText(QString());  // empty counts as 0
    d.dlg.DataEdit(2)->setText(QStringLiteral("a"));
    d.dlg.DataEdit(3)->setText(QStringLiteral("FF"));  // beyond the length
    d.Type("Remote");
    d.dlg.accept();
    QVERIFY(dialogs.boxes.empty());
    QCOMPARE(target.queued.size(), size_t{2});
    const CanFrameRecord& r = target.queued[1];
    QCOMPARE(r.flags, uint32_t{kMsgRtr});
    QCOMPARE(r.id, 0x1Au);
    QCOMPARE(r.dlc, 3u);
    QCOMPARE(r.data[0], uint8_t{0x12});
    QCOMPARE(r.data[1], uint8_t{0});
    QCOMPARE(r.data[2], uint8_t{0x0A});
    QCOMPARE(r.data[3], uint8_t{0});
    QCOMPARE(r.channel, uint8_t{0});
    // The worker completes these.
    QCOMPARE(r.timestamp, 0u);
    QCOMPARE(r.direction, uint8_t{0});
    QCOMPARE(r.status, uint8_t{0});
    // The shared record holds the frame sent.
    QCOMPARE(std::memcmp(&d.shared, &r, sizeof r), 0);
}

void SendMessageDlgTest::faultyDataFieldIsNamed() {
    ScriptedDialogs dialogs;
    FakeSendTarget target;
    Dialog d(target);
    d.dlg.show();
    d.Length(QStringLiteral("4"));
    d.dlg.DataEdit(2)->setText(QStringLiteral("-1"));  // the hex edit lets "-" through
    d.dlg.DataEdit(3)->setText(QStringLiteral(" "));
    d.dlg.accept();
    QCOMPARE(dialogs.boxes.size(), size_t{1});
    QCOMPARE(d.dlg.focusWidget(), static_cast<QWidget*>(d.dlg.DataEdit(2)));
    QVERIFY(target.queued.empty());
    d.dlg.DataEdit(2)->setText(QStringLiteral("7"));
    d.dlg.accept();
    QCOMPARE(target.queued.size(), size_t{1});
    QCOMPARE(target.queued[0].data[2], uint8_t{7});
}

void SendMessageDlgTest::fdLengthsBytesAndFlags_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("brs");
    QTest::addColumn<uint32_t>("flags");
    QTest::newRow("std") << "Std" << false << uint32_t{kMsgStd};
    QTest::newRow("std with bit-rate switch") << "Std" << true << uint32_t{kMsgStd | kFdMsgBrs};
    QTest::newRow("ext with bit-rate switch") << "Ext" << true << uint32_t{kMsgExt | kFdMsgBrs};
    // The worker adds the FD flag; a remote frame has no bit-rate switch.
    QTest::newRow("remote") << "Remote" << true << uint32_t{kMsgRtr};
}

void SendMessageDlgTest::fdLengthsBytesAndFlags() {
    QFETCH(QString, type);
    QFETCH(bool, brs);
    QFETCH(uint32_t, flags);
    FakeSendTarget target;
    Dialog d(target);
    d.dlg.show();
    d.Channel(2);
    QCOMPARE(Items(d.dlg.LengthCombo()),
             (QStringList{" 0", " 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", "12", "16", "20",
                          "24", "32", "48", "64"}));
    d.Length(QStringLiteral("12"));
    CDumpCtrl* dump = d.dlg.Dump();
    QCOMPARE(dump->Count(), 12);
    QCOMPARE(dump->Data(), d.shared.data);
    QCOMPARE(dump->Caret(), 0);
    // Bytes typed into the dump, the last one still open in its editor.
    dump->OpenEditor(0, CDumpCtrl::Cell::Byte);
    QTest::keyClicks(dump->Editor(), QStringLiteral("a5"));
    QTest::keyClick(dump->Editor(), Qt::Key_Return);
    dump->OpenEditor(11, CDumpCtrl::Cell::Byte);
    QTest::keyClicks(dump->Editor(), QStringLiteral("5a"));
    d.Type(type.toLatin1().constData());
    QCOMPARE(d.dlg.BrsCheck()->isEnabled(), type != "Remote");
    d.dlg.BrsCheck()->setChecked(brs);
    d.dlg.IdEdit()->setText(QStringLiteral("123"));
    d.dlg.accept();
    QCOMPARE(target.queued.size(), size_t{1});
    const CanFrameRecord& r = target.queued[0];
    QCOMPARE(r.flags, flags);
    QCOMPARE(r.dlc, 12u);
    QCOMPARE(r.channel, uint8_t{1});
    QCOMPARE(r.data[0], uint8_t{0xA5});
    QCOMPARE(r.data[11], uint8_t{0x5A});
    QCOMPARE(r.data[12], uint8_t{0});
}

void SendMessageDlgTest::droppedFrameIsLogged() {
    std::vector<std::string> lines;
    SetLogSink([&lines](int level, const std::string& text) {
        if (level == kLogWarning) {
            lines.push_back(text);
        }
    });
    FakeSendTarget target;
    target.queueAccepts = false;
    Dialog d(target);
    d.dlg.accept();
    SetLogSink(nullptr);
    QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
    QCOMPARE(lines.size(), size_t{1});
    QCOMPARE(QString::fromStdString(lines[0]),
             QStringLiteral("CAN1 送信できませんでした。チャネルが通信していません。\n"));
}

void SendMessageDlgTest::bitEditor() {
    FakeSendTarget target;
    Dialog d(target);
    d.dlg.show();
    d.Length(QStringLiteral("3"));
    d.dlg.DataEdit(1)->setText(QStringLiteral("0F"));
    d.dlg.BitButton()->click();
    CDataBitDlg* editor = d.dlg.BitEditor();
    QVERIFY(editor != nullptr);
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->Length(), 3);
    for (int i = 0; i < CDataBitDlg::kBytes; ++i) {
        QCOMPARE(editor->ByteText(i)->isEnabled(), i < 3);
    }
    QCOMPARE(editor->ByteText(1)->text(), QStringLiteral("0F"));
    QVERIFY(!editor->ResetButton()->isEnabled());
    // Bit 7 of D0 is the leftmost cell of the first row.
    QVERIFY(editor->CellRect(0, 7).left() < editor->CellRect(0, 0).left());
    QCOMPARE(editor->CellRect(0, 7).top(), editor->CellRect(0, 0).top());
    ClickBit(editor, 0, 7);
    QCOMPARE(editor->ByteText(0)->text(), QStringLiteral("80"));
    QVERIFY(editor->ResetButton()->isEnabled());
    // Rows beyond the length do not toggle.
    ClickBit(editor, 3, 0);
    QCOMPARE(editor->WorkingBytes()[3], uint8_t{0});
    editor->ResetButton()->click();
    QCOMPARE(editor->ByteText(0)->text(), QStringLiteral("00"));
    QVERIFY(!editor->ResetButton()->isEnabled());
    // The release toggles the pressed bit wherever the mouse is let go.
    QTest::mousePress(editor, Qt::LeftButton, Qt::NoModifier, editor->CellRect(0, 7).center());
    QTest::mouseRelease(editor, Qt::LeftButton, Qt::NoModifier, editor->CellRect(2, 0).center());
    QCOMPARE(editor->WorkingBytes()[0], uint8_t{0x80});
    QCOMPARE(editor->WorkingBytes()[2], uint8_t{0});
    editor->ApplyButton()->click();
    QVERIFY(!editor->ResetButton()->isEnabled());
    QCOMPARE(d.dlg.DataEdit(0)->text(), QStringLiteral("00"));  // applied on the event
    QCoreApplication::processEvents();
    QCOMPARE(d.dlg.DataEdit(0)->text(), QStringLiteral("80"));
    QCOMPARE(d.dlg.DataEdit(1)->text(), QStringLiteral("0F"));
    // Closing only hides it; "■" shows the same window with the fields' bytes.
    editor->close();
    QVERIFY(!editor->isVisible());
    d.dlg.DataEdit(2)->setText(QStringLiteral("C3"));
    d.dlg.BitButton()->click();
    QCOMPARE(d.dlg.BitEditor(), editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->ByteText(2)->text(), QStringLiteral("C3"));
    QCOMPARE(editor->SavedBytes()[2], uint8_t{0xC3});
}

void SendMessageDlgTest::bitEditorClampsLength_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("kept");
    QTest::newRow("0 becomes 1") << 0 << 1;
    QTest::newRow("negative becomes 1") << -5 << 1;
    QTest::newRow("9 becomes 8") << 9 << 8;
    QTest::newRow("5 stays") << 5 << 5;
}

void SendMessageDlgTest::bitEditorClampsLength() {
    QFETCH(int, length);
    QFETCH(int, kept);
    QWidget owner;
    CDataBitDlg editor(&owner);
    const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    editor.SetBitData(bytes, length);
    QCOMPARE(editor.Length(), kept);
    for (int i = 0; i < CDataBitDlg::kBytes; ++i) {
        QCOMPARE(editor.WorkingBytes()[static_cast<size_t>(i)], uint8_t(i < kept ? i + 1 : 0));
    }
    // The grid stays square and inside its placeholder.
    QVERIFY(editor.CellSize() > 0);
    QCOMPARE(editor.CellArea().width(), 8 * editor.CellSize());
    QCOMPARE(editor.CellArea().height(), 8 * editor.CellSize());
}

QTEST_MAIN(SendMessageDlgTest)
#include "send_message_dlg_test.moc"

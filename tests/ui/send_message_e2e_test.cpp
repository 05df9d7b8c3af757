// Frames typed into the send dialog, opened by the main frame's send
// command, travel through the channel manager and our CAN library's virtual
// bus: listed as transmitted and OK, and received by the other channels.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "can/can_manager.h"
#include "controls/dump_ctrl.h"
#include "controls/hex_edit.h"
#include "res/ids.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/dialogs/send_message_dlg.h"
#include "ui/frame/main_frame.h"

namespace {

constexpr ChannelSettings kClassic{1, kChannelModeCan, {500000, 12, 3, 1, 1, 0}, {}};
constexpr ChannelSettings kFd{
    1, kChannelModeCanFd, {500000, 12, 3, 1, 1, 0}, {2000000, 15, 4, 4, 0, 0}};

// The frame's backend over a real channel manager: CAN1 classic, CAN2 and
// CAN3 CAN FD, all at 500 kbit/s on one bus.
class ManagerBackend : public FakeFrameBackend {
public:
    ManagerBackend()
        : manager_(
              [] {
                  CanConfig config{};
                  config.can[0] = kClassic;
                  config.can[1] = kFd;
                  config.can[2] = kFd;
                  config.busLoadThreshold = 100;
                  return config;
              },
              SORVANE_TEST_CANLIB) {
        channels[0] = kClassic;
        channels[1] = kFd;
        channels[2] = kFd;
    }
    bool Connected() const override { return manager_.Connected(); }
    int Start() override { return manager_.Start(); }
    void Stop() override { manager_.Stop(); }
    bool ChannelActive(int i) const override { return manager_.Active(i) != 0; }
    bool ChannelBusOn(int i) const override { return manager_.BusOn(i) != 0; }
    CCanManager* Manager() override { return &manager_; }
    CCanManager& Mgr() { return manager_; }

private:
    CCanManager manager_;
};

// Runs fill on the send dialog once the command has opened it, then sends.
void SendThroughCommand(CMainFrame& frame, const std::function<void(CSendMessageDlg&)>& fill) {
    bool done = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CSendMessageDlg*>(QApplication::activeModalWidget());
        if (dialog == nullptr || done) {
            return;
        }
        done = true;
        fill(*dialog);
        dialog->SendButton()->click();
    });
    poll.start();
    frame.OnCommand(ID_SEND_MESSAGE);
    QVERIFY(done);
}

void Choose(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
}

// The first record of the list on a channel in a direction, if any.
std::optional<CanFrameRecord> Find(const CCanManager& manager, uint8_t channel, uint8_t direction,
                                   uint32_t id) {
    const FrameList& frames = manager.Frames();
    for (size_t i = 0; i < frames.Size(); ++i) {
        const CanFrameRecord& r = frames.At(i);
        if (r.channel == channel && r.direction == direction && r.id == id) {
            return r;
        }
    }
    return std::nullopt;
}

}  // namespace

class SendMessageE2eTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void framesTravelTheVirtualBus();
};

void SendMessageE2eTest::framesTravelTheVirtualBus() {
    ScriptedDialogs dialogs;
    ManagerBackend backend;
    CMainFrame frame(&backend);
    QVERIFY(frame.Create());
    QVERIFY(!frame.IsCommandEnabled(ID_SEND_MESSAGE));  // not communicating
    QCOMPARE(backend.Start(), 1);
    QVERIFY(frame.IsCommandEnabled(ID_SEND_MESSAGE));
    CCanManager& manager = backend.Mgr();

    // A classic frame from CAN1: Std 0x123, three bytes.
    SendThroughCommand(frame, [](CSendMessageDlg& d) {
        QCOMPARE(d.ChannelCombo()->currentText(), QStringLiteral("CAN 1"));
        d.IdEdit()->setText(QStringLiteral("123"));
        Choose(d.LengthCombo(), QStringLiteral("3"));
        d.DataEdit(0)->setText(QStringLiteral("DE"));
        d.DataEdit(1)->setText(QStringLiteral("AD"));
        d.DataEdit(2)->setText(QStringLiteral("01"));
    });
    QTRY_VERIFY(Find(manager, 1, kDirectionReceived, 0x123).has_value());
    QTRY_VERIFY(Find(manager, 2, kDirectionReceived, 0x123).has_value());
    const CanFrameRecord sent = *Find(manager, 0, kDirectionTransmitted, 0x123);
    QCOMPARE(sent.status, kStatusOk);
    QCOMPARE(sent.dlc, 3u);
    QCOMPARE(sent.flags, uint32_t{kMsgStd});
    const CanFrameRecord got = *Find(manager, 1, kDirectionReceived, 0x123);
    QCOMPARE(got.dlc, 3u);
    QCOMPARE(got.data[0], uint8_t{0xDE});
    QCOMPARE(got.data[2], uint8_t{0x01});
    QCOMPARE(got.flags & (kMsgExt | kFdMsgFdf), 0u);
    QCOMPARE(SharedSendRecord().id, 0x123u);

    // A CAN FD frame from CAN2: extended 0x18DAF110, 64 bytes, bit-rate switch.
    SendThroughCommand(frame, [](CSendMessageDlg& d) {
        Choose(d.ChannelCombo(), QStringLiteral("CAN 2"));
        Choose(d.TypeCombo(), QStringLiteral("Ext"));
        d.IdEdit()->setText(QStringLiteral("18DAF110"));
        Choose(d.LengthCombo(), QStringLiteral("64"));
        d.BrsCheck()->setChecked(true);
        for (int i = 0; i < 64; ++i) {
            d.Dump()->Data()[i] = static_cast<uint8_t>(i * 3);
        }
    });
    QTRY_VERIFY(Find(manager, 2, kDirectionReceived, 0x18DAF110).has_value());
    const CanFrameRecord fdSent = *Find(manager, 1, kDirectionTransmitted, 0x18DAF110);
    QCOMPARE(fdSent.status, kStatusOk);
    const CanFrameRecord fdGot = *Find(manager, 2, kDirectionReceived, 0x18DAF110);
    QCOMPARE(fdGot.dlc, 64u);
    QCOMPARE(fdGot.flags & (kMsgExt | kFdMsgFdf | kFdMsgBrs), kMsgExt | kFdMsgFdf | kFdMsgBrs);
    QCOMPARE(fdGot.data[63], uint8_t{63 * 3});
    // A classic controller does not take part in CAN FD frames.
    QVERIFY(!Find(manager, 0, kDirectionReceived, 0x18DAF110).has_value());

    // A remote frame on an FD channel: the worker adds the FD flag, which a
    // remote frame cannot carry; the library refuses it and it is listed NG.
    SendThroughCommand(frame, [](CSendMessageDlg& d) {
        Choose(d.ChannelCombo(), QStringLiteral("CAN 3"));
        Choose(d.TypeCombo(), QStringLiteral("Remote"));
        d.IdEdit()->setText(QStringLiteral("7FF"));
    });
    QTRY_VERIFY(Find(manager, 2, kDirectionTransmitted, 0x7FF).has_value());
    const CanFrameRecord remote = *Find(manager, 2, kDirectionTransmitted, 0x7FF);
    QCOMPARE(remote.flags, uint32_t{kMsgRtr});
    QCOMPARE(remote.status, kStatusNg);

    // The message-info table: the transmitted entries before the received ones.
    std::vector<MessageInfoEntry> info = manager.MessageInfo();
    std::vector<std::pair<uint8_t, uint8_t>> of123;
    for (const MessageInfoEntry& e : info) {
        if (e.id == 0x123) {
            of123.emplace_back(e.direction, e.channel);
            QCOMPARE(e.count, 1u);
        }
    }
    QCOMPARE(of123, (std::vector<std::pair<uint8_t, uint8_t>>{{0, 0}, {1, 1}, {1, 2}}));
    QVERIFY(dialogs.boxes.empty());

    backend.Stop();
    QVERIFY(!frame.IsCommandEnabled(ID_SEND_MESSAGE));
}

int main(int argc, char** argv) {
    // One quiet bus of five channels, whatever the caller's environment says.
    qunsetenv("SORVANE_VCAN_CONFIG");
    QApplication app(argc, argv);
    SendMessageE2eTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "send_message_e2e_test.moc"

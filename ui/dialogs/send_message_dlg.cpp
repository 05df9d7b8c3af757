#include "ui/dialogs/send_message_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <cstring>

#include "can/write_log.h"
#include "controls/dump_ctrl.h"
#include "controls/group_box.h"
#include "controls/hex_edit.h"
#include "controls/hex_text.h"
#include "controls/up_down_ctrl.h"
#include "res/resources.h"
#include "ui/dialogs/data_bit_dlg.h"
#include "ui/dialogs/send_target.h"
#include "ui/frame/dialog_service.h"
#include "ui/frame/user_events.h"

// The send dialog's behaviour; its controls are laid out in
// send_message_layout.cpp.

namespace {

// Byte counts a CAN FD frame can carry.
constexpr int kFdLengths[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 20, 24, 32, 48, 64};
constexpr int kClassicLengths = 9;  // 0..8
constexpr int kStdIdDigits = 3;
constexpr int kExtIdDigits = 8;

QString Hex(uint32_t value, int digits) {
    return QString::number(value, 16).toUpper().rightJustified(digits, u'0');
}

}  // namespace

CanFrameRecord& SharedSendRecord() {
    static CanFrameRecord record{};
    return record;
}

void ShowSendMessageDialog(CFrameBackend& backend, QWidget* parent) {
    std::memset(&SharedSendRecord(), 0, sizeof(CanFrameRecord));
    CFrameSendTarget target(backend);
    CSendMessageDlg dialog(target, SharedSendRecord(), parent);
    dialog.exec();
}

CSendMessageDlg::CSendMessageDlg(CSendTarget& target, CanFrameRecord& shared, QWidget* parent)
    : QDialog(parent), target_(target), shared_(shared) {
    CreateControls();
    connect(channel_, &QComboBox::currentIndexChanged, this, [this] { OnChannelChange(); });
    connect(length_, &QComboBox::currentIndexChanged, this, [this] { OnLengthChange(); });
    connect(type_, &QComboBox::currentIndexChanged, this, [this] { OnTypeChange(); });
    connect(idSpin_, &CUpDownCtrl::deltaPos, this, &CSendMessageDlg::StepIdentifier);
    connect(bitButton_, &QPushButton::clicked, this, &CSendMessageDlg::OpenBitEditor);
    connect(send_, &QPushButton::clicked, this, &CSendMessageDlg::accept);
    connect(close_, &QPushButton::clicked, this, &CSendMessageDlg::reject);
    id_->installEventFilter(this);

    // The mode shown before a channel is chosen is CAN1's.
    fdMode_ = target_.Channel(0).mode == kChannelModeCanFd ? 1 : 0;
    FillChannels();
    OnChannelChange();
    const auto& resources = res::Resources::Instance();
    {
        const QSignalBlocker quiet(type_);
        type_->addItem(resources.String(IDS_FRAMETYPE_REMOTE), kTypeRemote);
        type_->addItem(resources.String(IDS_FRAMETYPE_STD), kTypeStd);
        type_->addItem(resources.String(IDS_FRAMETYPE_EXT), kTypeExt);
        type_->setCurrentIndex(1);
    }
    OnTypeChange();
    id_->SetLimitText(kStdIdDigits);
    id_->setText(Hex(0, kStdIdDigits));
    for (CHexEdit* field : data_) {
        field->SetLimitText(2);
        field->setText(Hex(0, 2));
    }
}

CSendMessageDlg::~CSendMessageDlg() {
    // The bit editor is a child window: it goes with the dialog.
    delete bitEditor_;
}

CDataBitDlg* CSendMessageDlg::BitEditor() const {
    return bitEditor_;
}

void CSendMessageDlg::FillChannels() {
    const QSignalBlocker quiet(channel_);
    const auto& resources = res::Resources::Instance();
    const bool connected = target_.Connected();
    channel_->clear();
    for (int i = 0; i < kChannelCount; ++i) {
        // While communicating only the channels on the bus can send.
        if (target_.Channel(i).enabled != 0 && (!connected || target_.BusOn(i))) {
            channel_->addItem(resources.Format(IDS_FMT_SEND_CHANNEL, i + 1), i);
        }
    }
    // CAN1 is chosen when it is offered; otherwise the user chooses.
    const int first = channel_->findData(0);
    channel_->setCurrentIndex(first);
}

void CSendMessageDlg::OnChannelChange() {
    const auto& resources = res::Resources::Instance();
    const int index = channel_->currentIndex();
    if (index < 0) {
        group_->setEnabled(false);
        mode_->setText(resources.String(fdMode_ == 1 ? IDS_CANMODE_CANFD : IDS_CANMODE_CAN));
        send_->setEnabled(false);
        return;
    }
    group_->setEnabled(true);
    send_->setEnabled(true);
    const int channel = channel_->itemData(index).toInt();
    fdMode_ = target_.Channel(channel).mode == kChannelModeCanFd ? 1 : 0;
    const bool fd = fdMode_ == 1;
    mode_->setText(resources.String(fd ? IDS_CANMODE_CANFD : IDS_CANMODE_CAN));
    dump_->setVisible(fd);
    brs_->setVisible(fd);
    for (CHexEdit* field : data_) {
        field->setVisible(!fd);
    }
    bitButton_->setVisible(!fd);
    {
        const QSignalBlocker quiet(length_);
        length_->clear();
        if (fd) {
            for (const int n : kFdLengths) {
                length_->addItem(QString::number(n).rightJustified(2, u' '), n);
            }
        } else {
            for (int n = 0; n < kClassicLengths; ++n) {
                length_->addItem(QString::number(n), n);
            }
        }
        length_->setCurrentIndex(0);
    }
    OnLengthChange();
    OnTypeChange();
}

void CSendMessageDlg::OnLengthChange() {
    const int n = length_->currentIndex() < 0 ? 0 : length_->currentData().toInt();
    if (fdMode_ == 1) {
        // The dump edits the shared record's bytes in place.
        dump_->SetData(shared_.data, n);
        dump_->SetReference(shared_.data);
        dump_->SetTop(0);
        dump_->SetCaret(0);
        dump_->update();
        return;
    }
    for (int i = 0; i < kDataFields; ++i) {
        data_[static_cast<size_t>(i)]->setEnabled(i < n);
    }
    bitButton_->setEnabled(n > 0);
}

bool CSendMessageDlg::Extended() const {
    return type_->currentIndex() >= 0 && type_->currentData().toUInt() == kTypeExt;
}

uint32_t CSendMessageDlg::IdMask() const {
    return Extended() ? kExtIdMask : kStdIdMask;
}

void CSendMessageDlg::OnTypeChange() {
    const bool extended = Extended();
    const bool remote = type_->currentIndex() >= 0 && type_->currentData().toUInt() == kTypeRemote;
    // A remote frame has no data phase to switch the bit rate in.
    brs_->setEnabled(group_->isEnabled() && !remote);
    if (extended == extended_) {
        return;
    }
    extended_ = extended;
    const auto& resources = res::Resources::Instance();
    idLabel_->setText(extended ? resources.String(IDS_LABEL_ID_EXT)
                               : resources.DialogText(IDD_SEND_MESSAGE, IDC_LABEL_ID));
    uint32_t value = 0;
    const bool valid = ParseHexText(id_->text(), kExtIdMask, &value);
    if (extended) {
        id_->SetLimitText(kExtIdDigits);
        if (valid) {
            id_->setText(Hex(value, kExtIdDigits));
        }
    } else if (valid && value <= kStdIdMask) {
        id_->setText(Hex(value, kStdIdDigits));
        id_->SetLimitText(kStdIdDigits);
    }
    // An extended identifier too large for the standard type stays as it
    // is, so that nothing typed is lost; sending refuses it.
}

void CSendMessageDlg::SetIdentifier(uint32_t value) {
    const bool extended = Extended();
    id_->SetLimitText(extended ? kExtIdDigits : kStdIdDigits);
    id_->setText(Hex(value & IdMask(), extended ? kExtIdDigits : kStdIdDigits));
}

void CSendMessageDlg::StepIdentifier(int delta) {
    uint32_t value = 0;
    if (!ParseHexText(id_->text(), 0xFFFFFFFFu, &value)) {
        value = 0;
    }
    // Wraps both ways within the identifier's range.
    SetIdentifier(value - static_cast<uint32_t>(delta));
}

bool CSendMessageDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == id_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            StepIdentifier(key == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CSendMessageDlg::OpenBitEditor() {
    if (bitEditor_ == nullptr) {
        bitEditor_ = new CDataBitDlg(this);
        // First shown beside the send dialog, not over it.
        bitEditor_->move(frameGeometry().topRight() + QPoint(8, 0));
    }
    const int n = length_->currentText().trimmed().toInt();
    uint8_t bytes[kDataFields] = {};
    for (int i = 0; i < n && i < kDataFields; ++i) {
        uint32_t value = 0;
        if (ParseHexText(data_[static_cast<size_t>(i)]->text(), 0xFF, &value)) {
            bytes[i] = static_cast<uint8_t>(value);
        }
    }
    bitEditor_->SetBitData(bytes, n);
    bitEditor_->show();
    bitEditor_->raise();
    bitEditor_->activateWindow();
}

bool CSendMessageDlg::event(QEvent* event) {
    if (event->type() == kEventDataBitApply) {
        if (bitEditor_ != nullptr) {
            const auto& bytes = bitEditor_->WorkingBytes();
            for (int i = 0; i < bitEditor_->Length(); ++i) {
                data_[static_cast<size_t>(i)]->setText(Hex(bytes[static_cast<size_t>(i)], 2));
            }
        }
        return true;
    }
    return QDialog::event(event);
}

QWidget* CSendMessageDlg::Validate(CanFrameRecord* record) const {
    if (channel_->currentIndex() < 0) {
        return channel_;
    }
    uint32_t id = 0;
    if (!ParseHexText(id_->text(), IdMask(), &id)) {
        return id_;
    }
    if (type_->currentIndex() < 0) {
        return type_;
    }
    if (length_->currentIndex() < 0) {
        return length_;
    }
    const uint32_t n = length_->currentData().toUInt();
    uint8_t bytes[kMaxFrameBytes] = {};
    if (fdMode_ == 1) {
        std::memcpy(bytes, shared_.data, qMin<uint32_t>(n, kMaxFrameBytes));
    } else {
        for (uint32_t i = 0; i < n && i < kDataFields; ++i) {
            CHexEdit* field = data_[i];
            uint32_t value = 0;
            // An empty field counts as 0.
            if (!field->text().trimmed().isEmpty() && !ParseHexText(field->text(), 0xFF, &value)) {
                return field;
            }
            bytes[i] = static_cast<uint8_t>(value);
        }
    }
    std::memset(record, 0, sizeof *record);
    record->flags = type_->currentData().toUInt();
    if (fdMode_ == 1 && brs_->isChecked() && record->flags != kTypeRemote) {
        record->flags |= kFdMsgBrs;
    }
    record->id = id;
    record->dlc = n;
    std::memcpy(record->data, bytes, n);
    record->channel = static_cast<uint8_t>(channel_->currentData().toInt() & 0x0F);
    return nullptr;
}

void CSendMessageDlg::accept() {
    // A byte still open in the dump's editor is part of what is sent.
    dump_->CloseEditor(true);
    CanFrameRecord record;
    if (QWidget* faulty = Validate(&record)) {
        CDialogService::Message(this, IDS_ERR_INPUT, CDialogService::Icon::Error);
        faulty->setFocus(Qt::OtherFocusReason);
        return;
    }
    shared_ = record;
    if (!target_.Queue(record)) {
        // The channel stopped while the dialog was open: say so instead of
        // letting the frame vanish.
        WriteLogText(kLogWarning, res::Resources::Instance()
                                      .Format(IDS_FMT_SEND_DROPPED, record.channel + 1)
                                      .toStdString());
    }
    QDialog::accept();
}

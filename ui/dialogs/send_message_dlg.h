#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <cstdint>

#include "can/can_frame_record.h"

class CDataBitDlg;
class CDumpCtrl;
class CFrameBackend;
class CGroupBox;
class CHexEdit;
class CSendTarget;
class CUpDownCtrl;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// The frame the send dialog edits in CAN FD mode and the last frame it
// sent; one for the process. The main frame clears it before every opening.
CanFrameRecord& SharedSendRecord();

// Opens the send dialog modally over the frame backend's channels, after
// clearing the shared send record.
void ShowSendMessageDialog(CFrameBackend& backend, QWidget* parent);

// Composes one CAN or CAN FD frame and hands it to the transmit worker of a
// running channel. Classic data bytes are typed into eight fields (or set
// bit by bit in the bit editor); CAN FD bytes are edited in a hex dump over
// the shared send record.
class CSendMessageDlg : public QDialog {
    Q_OBJECT
public:
    // Frame types: the flags a type puts into the record.
    static constexpr uint32_t kTypeRemote = kMsgRtr;
    static constexpr uint32_t kTypeStd = kMsgStd;
    static constexpr uint32_t kTypeExt = kMsgExt;
    static constexpr uint32_t kStdIdMask = 0x7FF;
    static constexpr uint32_t kExtIdMask = 0x1FFFFFFF;
    static constexpr int kDataFields = 8;

    CSendMessageDlg(CSendTarget& target, CanFrameRecord& shared, QWidget* parent = nullptr);
    ~CSendMessageDlg() override;

    // 1 while the chosen channel (CAN1 before any choice) runs CAN FD.
    int FdMode() const { return fdMode_; }
    // One step of the identifier's up-down control (-1 raises it).
    void StepIdentifier(int delta);
    // "■": creates the bit editor on first use and shows it with the bytes
    // of the data fields.
    void OpenBitEditor();
    CDataBitDlg* BitEditor() const;

    // Send: validates, queues the frame and closes; on a faulty entry shows
    // the input error and moves the focus to the first faulty control.
    void accept() override;

    // ---- the controls, by role -------------------------------------------
    QComboBox* ChannelCombo() const { return channel_; }
    QLabel* ModeLabel() const { return mode_; }
    QComboBox* TypeCombo() const { return type_; }
    QCheckBox* BrsCheck() const { return brs_; }
    QLabel* IdLabel() const { return idLabel_; }
    CHexEdit* IdEdit() const { return id_; }
    CUpDownCtrl* IdSpin() const { return idSpin_; }
    QComboBox* LengthCombo() const { return length_; }
    CHexEdit* DataEdit(int index) const { return data_[static_cast<size_t>(index)]; }
    QPushButton* BitButton() const { return bitButton_; }
    CDumpCtrl* Dump() const { return dump_; }
    CGroupBox* Group() const { return group_; }
    QPushButton* SendButton() const { return send_; }
    QPushButton* CloseButton() const { return close_; }

protected:
    bool event(QEvent* event) override;
    // Up and Down in the identifier field step it like its arrows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void FillChannels();
    void OnChannelChange();
    void OnLengthChange();
    void OnTypeChange();
    // The identifier's mask for the chosen type.
    uint32_t IdMask() const;
    bool Extended() const;
    void SetIdentifier(uint32_t value);
    // Checks the entries in order; null when all are sound, else the first
    // faulty control. Fills record on success.
    QWidget* Validate(CanFrameRecord* record) const;

    CSendTarget& target_;
    CanFrameRecord& shared_;
    int fdMode_ = 0;
    bool extended_ = false;  // the type last chosen was "Ext"

    QLabel* channelLabel_ = nullptr;
    QComboBox* channel_ = nullptr;
    QLabel* mode_ = nullptr;
    CGroupBox* group_ = nullptr;
    QLabel* typeLabel_ = nullptr;
    QComboBox* type_ = nullptr;
    QCheckBox* brs_ = nullptr;
    QLabel* idLabel_ = nullptr;
    CHexEdit* id_ = nullptr;
    CUpDownCtrl* idSpin_ = nullptr;
    QLabel* lengthLabel_ = nullptr;
    QComboBox* length_ = nullptr;
    QLabel* dataLabel_ = nullptr;
    std::array<CHexEdit*, kDataFields> data_{};
    QPushButton* bitButton_ = nullptr;
    CDumpCtrl* dump_ = nullptr;
    QPushButton* send_ = nullptr;
    QPushButton* close_ = nullptr;
    QPointer<CDataBitDlg> bitEditor_;
};

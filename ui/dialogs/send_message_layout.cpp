#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "controls/dump_ctrl.h"
#include "controls/group_box.h"
#include "controls/hex_edit.h"
#include "controls/up_down_ctrl.h"
#include "res/resources.h"
#include "ui/dialogs/data_bit_dlg.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/send_message_dlg.h"

// The send dialog's controls and where they stand, in dialog units. The
// controls are made in tab order.

namespace {

constexpr int kLabelX = 7;
constexpr int kLabelWidth = 72;
constexpr int kFieldX = 82;
constexpr int kRowStep = 18;
constexpr int kDataStep = 18;  // one data field and its gap

}  // namespace

void CSendMessageDlg::CreateControls() {
    const auto& resources = res::Resources::Instance();
    const auto text = [&resources](uint32_t control) {
        return resources.DialogText(IDD_SEND_MESSAGE, control);
    };
    setWindowTitle(resources.DialogCaption(IDD_SEND_MESSAGE));
    setFont(resources.DialogFont(IDD_SEND_MESSAGE));
    const CDialogUnits du(font());
    const auto label = [this, &du](const QString& caption, int y) {
        auto* l = new QLabel(caption, this);
        l->setGeometry(du.Rect(kLabelX, y + 2, kLabelWidth, 10));
        return l;
    };

    int y = 6;
    channelLabel_ = label(text(IDC_LABEL_CHANNEL), y);
    channel_ = new QComboBox(this);
    channel_->setGeometry(du.Rect(kFieldX, y, 52, 13));
    mode_ = new QLabel(this);
    mode_->setGeometry(du.Rect(kFieldX + 58, y + 2, 50, 10));

    y += kRowStep;
    const int groupTop = y - 3;
    typeLabel_ = label(text(IDC_LABEL_FRAMETYPE), y);
    type_ = new QComboBox(this);
    type_->setGeometry(du.Rect(kFieldX, y, 52, 13));
    brs_ = new QCheckBox(text(IDC_CHECK_BRS), this);
    brs_->setGeometry(du.Rect(kFieldX + 58, y + 1, 50, 11));
    brs_->hide();

    y += kRowStep;
    idLabel_ = label(text(IDC_LABEL_ID), y);
    id_ = new CHexEdit(this);
    id_->setGeometry(du.Rect(kFieldX, y, 44, 13));
    idSpin_ = new CUpDownCtrl(this);
    idSpin_->setGeometry(du.Rect(kFieldX + 44, y, 9, 13));

    y += kRowStep;
    lengthLabel_ = label(text(IDC_LABEL_DLC), y);
    length_ = new QComboBox(this);
    length_->setGeometry(du.Rect(kFieldX, y, 52, 13));

    y += kRowStep;
    dataLabel_ = label(text(IDC_LABEL_DATA), y);
    for (int i = 0; i < kDataFields; ++i) {
        auto* field = new CHexEdit(this);
        field->setGeometry(du.Rect(kFieldX + i * kDataStep, y, kDataStep - 2, 13));
        field->setAlignment(Qt::AlignCenter);
        data_[static_cast<size_t>(i)] = field;
    }
    bitButton_ = new QPushButton(text(IDC_BUTTON_BITEDIT), this);
    bitButton_->setGeometry(du.Rect(kFieldX + kDataFields * kDataStep, y, 14, 13));
    // The dump lies over the data fields, sixteen bytes a row, four rows high.
    dump_ = new CDumpCtrl(this);
    const QRect first = data_[0]->geometry();
    dump_->setGeometry(QRect(first.topLeft(), dump_->sizeHint()));
    dump_->hide();

    const int right = qMax(bitButton_->geometry().right(), dump_->geometry().right()) + du.X(7);
    const int groupBottom =
        qMax(bitButton_->geometry().bottom(), dump_->geometry().bottom()) + du.Y(3);
    // Invisible: it only carries its enabled state over to what it covers.
    group_ = new CGroupBox(this);
    group_->setGeometry(
        QRect(QPoint(du.X(kLabelX - 3), du.Y(groupTop)), QPoint(right - du.X(3), groupBottom)));
    group_->hide();
    group_->SetPropagation(true);
    group_->lower();

    const int buttonY = groupBottom + du.Y(6);
    close_ = new QPushButton(text(IDCANCEL), this);
    close_->setGeometry(right - du.X(50), buttonY, du.X(50), du.Y(14));
    send_ = new QPushButton(text(IDOK), this);
    send_->setGeometry(right - du.X(104), buttonY, du.X(50), du.Y(14));
    send_->setDefault(true);
    close_->setAutoDefault(false);
    setTabOrder(send_, close_);
    setFixedSize(right, buttonY + du.Y(14) + du.Y(7));
}

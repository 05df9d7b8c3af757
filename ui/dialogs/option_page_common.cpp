#include "ui/dialogs/option_page_common.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "controls/spin_button.h"
#include "res/resources.h"
#include "settings/app_settings.h"
#include "ui/dialogs/bus_param_presets.h"
#include "ui/dialogs/dialog_units.h"

namespace {

const res::Resources& Res() {
    return res::Resources::Instance();
}

// The order of the look list; its texts are string IDS_APPLOOK_LIST.
constexpr uint32_t kLookIds[] = {
    ID_VIEW_APPLOOK_WIN_XP,          ID_VIEW_APPLOOK_WINDOWS_7,     ID_VIEW_APPLOOK_WIN_2000,
    ID_VIEW_APPLOOK_VS_2005,         ID_VIEW_APPLOOK_VS_2008,       ID_VIEW_APPLOOK_OFF_XP,
    ID_VIEW_APPLOOK_OFF_2003,        ID_VIEW_APPLOOK_OFF_2007_BLUE, ID_VIEW_APPLOOK_OFF_2007_BLACK,
    ID_VIEW_APPLOOK_OFF_2007_SILVER, ID_VIEW_APPLOOK_OFF_2007_AQUA};

template <class Widget>
Widget* Make(QWidget* page, uint32_t id) {
    return option_page::MakeControl<Widget>(page, id);
}

QLabel* Label(QWidget* page, uint32_t id) {
    return option_page::MakeLabel(page, IDD_OPTION_COMMON, id);
}

}  // namespace

COptionPageCommon::COptionPageCommon(const COptionContext& context, QWidget* parent)
    : COptionPage(kPositionCommon, IDS_OPTION_COMMON, context, parent) {
    setObjectName(QStringLiteral("COptionPageCommon"));
    setFont(Res().DialogFont(IDD_OPTION_COMMON));
    const CDialogUnits du(font());

    du.Place(Label(this, IDC_LABEL_APPLOOK), 10, 14, 110, 10);
    look_ = Make<QComboBox>(this, IDC_COMBO_APPLOOK);
    du.Place(look_, 122, 12, 130, 14);

    du.Place(Label(this, IDC_LABEL_THRESHOLD), 10, 36, 110, 10);
    threshold_ = Make<QLineEdit>(this, IDC_EDIT_THRESHOLD);
    du.Place(threshold_, 122, 34, 34, 14);
    thresholdSpin_ = Make<CSpinButton>(this, IDC_SPIN_THRESHOLD);
    du.Place(thresholdSpin_, 156, 34, 10, 14);
    du.Place(Label(this, IDC_LABEL_THRESHOLD_UNIT), 170, 36, 80, 10);

    du.Place(Label(this, IDC_LABEL_MAXLINE), 10, 58, 110, 10);
    maxLine_ = Make<QLineEdit>(this, IDC_EDIT_MAXLINE);
    maxLine_->setReadOnly(true);
    maxLine_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    du.Place(maxLine_, 122, 56, 54, 14);
    maxLineSpin_ = Make<CSpinButton>(this, IDC_SPIN_MAXLINE);
    du.Place(maxLineSpin_, 176, 56, 10, 14);
    du.Place(Label(this, IDC_STATIC_MAXLINE_RANGE), 190, 58, 90, 10);

    du.Place(Label(this, IDC_LABEL_STORE), 10, 80, 110, 10);
    iniFile_ = Make<QRadioButton>(this, IDC_RADIO_INIFILE);
    iniFile_->setText(Res().DialogText(IDD_OPTION_COMMON, IDC_RADIO_INIFILE));
    du.Place(iniFile_, 122, 79, 64, 12);
    registry_ = Make<QRadioButton>(this, IDC_RADIO_REGISTRY);
    registry_->setText(Res().DialogText(IDD_OPTION_COMMON, IDC_RADIO_REGISTRY));
    du.Place(registry_, 190, 79, 64, 12);

    du.Place(Label(this, IDC_LABEL_LANGUAGE), 10, 102, 110, 10);
    language_ = Make<QComboBox>(this, IDC_COMBO_LANGUAGE);
    du.Place(language_, 122, 100, 130, 14);
    note_ = Label(this, IDC_STATIC_LANGUAGE_NOTE);
    option_page::MakeRed(note_);
    du.Place(note_, 122, 118, 170, 10);

    setMinimumSize(du.X(300), du.Y(140));

    thresholdSpin_->SetBuddy(threshold_, true);
    maxLineSpin_->SetBuddy(maxLine_, false);
    connect(maxLineSpin_, &CSpinButton::DeltaPos, this, &COptionPageCommon::OnMaxLineDelta);
}

const uint32_t* COptionPageCommon::LookIds(int* count) {
    *count = static_cast<int>(std::size(kLookIds));
    return kLookIds;
}

int64_t COptionPageCommon::StepMaxLine(int64_t value, int delta) {
    const int64_t next = value - delta;
    if (next > kMaxLineHighest) {
        return kMaxLineLowest;
    }
    if (next < kMaxLineLowest) {
        return kMaxLineHighest;
    }
    return next;
}

void COptionPageCommon::OnInitDialog() {
    const AppSettings& settings = Settings();
    const QStringList looks = Res().StringList(IDS_APPLOOK_LIST);
    for (int i = 0; i < static_cast<int>(std::size(kLookIds)) && i < looks.size(); ++i) {
        look_->addItem(looks[i], kLookIds[i]);
    }
    // A stored look that is not in the list selects nothing, and stays.
    look_->setCurrentIndex(look_->findData(settings.appLook));

    thresholdSpin_->SetRange(0, 100);
    threshold_->setText(QString::number(static_cast<int32_t>(settings.busLoadThreshold)));
    maxLine_->setText(QString::number(static_cast<int64_t>(settings.monitorMaxLine)));

    (settings.configFile == 0 ? iniFile_ : registry_)->setChecked(true);

    // The item index is the language code; empty pieces are skipped.
    for (const QString& name : Res().StringList(IDS_LANGUAGE_LIST)) {
        language_->addItem(name);
    }
    language_->setCurrentIndex(
        settings.language >= 0 && settings.language < language_->count() ? settings.language : -1);
}

void COptionPageCommon::OnMaxLineDelta(int delta) {
    const QByteArray text = maxLine_->text().toUtf8();
    const int64_t value = bus_presets::ReadSigned(text.constData());
    maxLine_->setText(QString::number(StepMaxLine(value, delta)));
}

void COptionPageCommon::OnApply() {
    AppSettings& settings = Settings();
    if (look_->currentIndex() >= 0) {
        settings.appLook = look_->currentData().toUInt();
    }
    // Typed text is taken as it stands (no range check; not a number gives 0),
    // read as a 32-bit signed number.
    const QByteArray threshold = threshold_->text().toUtf8();
    settings.busLoadThreshold = static_cast<uint32_t>(bus_presets::ReadInt(threshold.constData()));
    if (iniFile_->isChecked()) {
        settings.configFile = 0;
    } else if (registry_->isChecked()) {
        settings.configFile = 1;
    }
    if (language_->currentIndex() >= 0) {
        settings.language = language_->currentIndex();
    }
    // The field is read-only and only stepped within its range.
    const QByteArray maxLine = maxLine_->text().toUtf8();
    const int64_t lines = bus_presets::ReadSigned(maxLine.constData());
    if (lines >= kMaxLineLowest && lines <= kMaxLineHighest) {
        settings.monitorMaxLine = static_cast<uint64_t>(lines);
    }
}

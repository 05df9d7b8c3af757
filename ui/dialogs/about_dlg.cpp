#include "ui/dialogs/about_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "controls/static_tree_ctrl.h"
#include "controls/water_drop_ctrl.h"
#include "res/resources.h"
#include "ui/dialogs/copyright_link.h"
#include "ui/dialogs/dialog_units.h"

namespace {

const res::Resources& Res() {
    return res::Resources::Instance();
}

// A control's place as the dialog template gives it.
QRect ControlRect(const CDialogUnits& units, uint32_t id) {
    const SorvaneResControl* c = Res().Lookup().Control(IDD_ABOUTBOX, id);
    return c != nullptr ? units.Rect(c->x, c->y, c->cx, c->cy) : QRect();
}

}  // namespace

CAboutDlg::CAboutDlg(const AboutVersions& versions, QWidget* parent, std::function<QTime()> clock)
    : QDialog(parent) {
    setObjectName(QStringLiteral("IDD_ABOUTBOX"));
    plasmaTimer_.setObjectName(QString::number(kPlasmaTimerId));
    plasmaTimer_.setInterval(kPlasmaPeriodMs);
    connect(&plasmaTimer_, &QTimer::timeout, this, &CAboutDlg::OnPlasmaTimer);
    InitDialog(versions, clock ? clock() : QTime::currentTime());
}

CAboutDlg::~CAboutDlg() {
    CloseEffect();
}

uint32_t CAboutDlg::PictureForHour(int hour) {
    if (hour >= 0 && hour <= 7) {
        return IDB_ABOUT_NIGHT;
    }
    if (hour >= 8 && hour <= 15) {
        return IDB_ABOUT_DAY;
    }
    return IDB_ABOUT_EVENING;
}

void CAboutDlg::InitDialog(const AboutVersions& versions, QTime now) {
    setWindowTitle(Res().DialogCaption(IDD_ABOUTBOX));
    const QFont dialogFont = Res().DialogFont(IDD_ABOUTBOX);
    setFont(dialogFont);
    const CDialogUnits units(dialogFont);
    const SorvaneResDialog* form = Res().Lookup().Dialog(IDD_ABOUTBOX);
    if (form != nullptr) {
        setFixedSize(units.X(form->cx), units.Y(form->cy));
    }

    product_ = new QLabel(this);
    product_->setObjectName(QString::number(IDC_STATIC_PRODUCT));
    product_->setGeometry(ControlRect(units, IDC_STATIC_PRODUCT));
    product_->setText(Res().DialogText(IDD_ABOUTBOX, IDC_STATIC_PRODUCT) +
                      Res().String(IDS_ABOUT_64BIT));

    // The picture of the time of day, drawn at the size of its place.
    waterDrop_ = new CWaterDropCtrl(this);
    waterDrop_->setObjectName(QString::number(IDC_PICTURE));
    const QRect pictureRect = ControlRect(units, IDC_PICTURE);
    waterDrop_->setGeometry(pictureRect);
    const uint32_t picture = PictureForHour(now.isValid() ? now.hour() : 12);
    const QImage bitmap = Res().Image(picture, pictureRect.size(), 1.0);
    waterDrop_->StopEffect();
    if (waterDrop_->SetSource(bitmap)) {
        pictureId_ = picture;
        if (!waterDrop_->TimerStarted()) {
            waterDrop_->StartEffect();
        }
    }

    ok_ = new QPushButton(Res().DialogText(IDD_ABOUTBOX, IDOK), this);
    ok_->setObjectName(QString::number(IDOK));
    ok_->setGeometry(ControlRect(units, IDOK));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    tree_ = new CStaticTreeCtrl(this, IDC_TREE_VERSION);
    tree_->setGeometry(ControlRect(units, IDC_TREE_VERSION));
    FillVersionTree(versions);

    link_ = new CCopyrightLink(this);
    link_->setObjectName(QString::number(IDC_MFCLINK_MAIL));
    link_->setGeometry(ControlRect(units, IDC_MFCLINK_MAIL));
    link_->setText(Res().DialogText(IDD_ABOUTBOX, IDC_MFCLINK_MAIL));

    waterDrop_->SetEffectActive(true);
    waterDrop_->SetPlasmaLevel(plasmaLevel_);
    plasmaTimer_.start();

    // The target is "mailto:" and the address; the tip names the address.
    const QString target = Res().DialogData(IDD_ABOUTBOX, IDC_MFCLINK_MAIL);
    QString address = target;
    if (address.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive)) {
        address.remove(0, 7);
    }
    link_->SetUrl(QUrl(target));
    link_->setToolTip(Res().String(IDS_ABOUT_MAIL_TIP) + address);

    QFont bold = QApplication::font();
    bold.setBold(true);
    product_->setFont(bold);
    ok_->setFocus(Qt::OtherFocusReason);
}

void CAboutDlg::FillVersionTree(const AboutVersions& versions) {
    CStaticTreeItem* root = nullptr;
    for (const VersionReportLine& line : BuildVersionReport(versions)) {
        CStaticTreeItem* item = tree_->InsertItem(line.text, line.root ? nullptr : root);
        if (line.root) {
            root = item;
        }
        if (line.unknown) {
            item->textColor = kUnknownColor;
        }
    }
    for (CStaticTreeItem* item = tree_->FirstItem(); item != nullptr; item = item->nextSibling) {
        item->expanded = 1;
    }
    tree_->RecalcScroll();
}

void CAboutDlg::OnPlasmaTimer() {
    plasmaTimer_.stop();
    if (plasmaLevel_ <= kPlasmaLastRaised) {
        plasmaLevel_ += kPlasmaStep;
        plasmaTimer_.start();
        waterDrop_->SetPlasmaLevel(plasmaLevel_);
    }
}

void CAboutDlg::CloseEffect() {
    if (closed_ || waterDrop_ == nullptr) {
        return;
    }
    closed_ = true;
    plasmaTimer_.stop();
    // The picture is left as it was loaded: still water, no plasma.
    waterDrop_->SetEffectActive(false);
    waterDrop_->ClearWater();
    waterDrop_->RestoreSource();
}

void CAboutDlg::done(int result) {
    CloseEffect();
    QDialog::done(result);
}

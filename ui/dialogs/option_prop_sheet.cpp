#include "ui/dialogs/option_prop_sheet.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "res/resources.h"
#include "ui/dialogs/option_page_can.h"
#include "ui/dialogs/option_page_color.h"
#include "ui/dialogs/option_page_common.h"
#include "ui/frame/dialog_service.h"

namespace {

const res::Resources& Res() {
    return res::Resources::Instance();
}

// Lives for the run of the program, not for one showing of the sheet.
int lastPagePosition = COptionPage::kPositionCommon;

}  // namespace

COptionPropSheet::COptionPropSheet(const COptionContext& context, QWidget* parent)
    : QDialog(parent), context_(context), tabs_(new QTabWidget(this)) {
    setObjectName(QStringLiteral("COptionPropSheet"));
    setWindowTitle(Res().String(IDS_OPTION_SHEET));
    setFont(Res().DialogFont(IDD_OPTION_COMMON));

    ok_ = new QPushButton(Res().String(IDS_SHEET_OK), this);
    ok_->setObjectName(QString::number(IDOK));
    ok_->setDefault(true);
    cancel_ = new QPushButton(Res().String(IDS_SHEET_CANCEL), this);
    cancel_->setObjectName(QString::number(IDCANCEL));
    connect(ok_, &QPushButton::clicked, this, &COptionPropSheet::accept);
    connect(cancel_, &QPushButton::clicked, this, &COptionPropSheet::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);

    common_ = new COptionPageCommon(context_);
    InsertPage(common_);
    // The colour page takes position 1, between Common and CAN1.
    InsertPage(new COptionPageColor(context_));
    for (int c = 0; c < 5; ++c) {
        can_[c] = new COptionPageCan(c, context_);
        InsertPage(can_[c]);
    }
    connect(tabs_, &QTabWidget::currentChanged, this, &COptionPropSheet::OnPageActivated);
}

void COptionPropSheet::InsertPage(COptionPage* page) {
    const auto at = std::upper_bound(
        pages_.begin(), pages_.end(), page,
        [](const COptionPage* a, const COptionPage* b) { return a->Position() < b->Position(); });
    const int tab = static_cast<int>(at - pages_.begin());
    pages_.insert(at, page);
    tabs_->insertTab(tab, page, Res().String(page->CaptionId()));
}

COptionPage* COptionPropSheet::Page(int tab) const {
    return tab >= 0 && tab < PageCount() ? pages_[tab] : nullptr;
}

COptionPage* COptionPropSheet::ActivePage() const {
    return Page(tabs_->currentIndex());
}

void COptionPropSheet::SetActivePage(const COptionPage* page) {
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it != pages_.end()) {
        tabs_->setCurrentIndex(static_cast<int>(it - pages_.begin()));
    }
}

COptionPageCan* COptionPropSheet::CanPage(int index) const {
    return index >= 0 && index < 5 ? can_[index] : nullptr;
}

int COptionPropSheet::LastPagePosition() {
    return lastPagePosition;
}

void COptionPropSheet::SetLastPagePosition(int position) {
    lastPagePosition = position;
}

void COptionPropSheet::OnPageActivated(int tab) {
    if (const COptionPage* page = Page(tab)) {
        lastPagePosition = page->Position();
    }
}

void COptionPropSheet::setVisible(bool visible) {
    if (visible && !opened_) {
        // Choose the first page before anything is shown, so that only the
        // page the user sees is filled (and later applied).
        opened_ = true;
        const auto it = std::find_if(pages_.begin(), pages_.end(), [](const COptionPage* page) {
            return page->Position() == lastPagePosition;
        });
        const int tab = it != pages_.end() ? static_cast<int>(it - pages_.begin()) : 0;
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(tab);
        if (const COptionPage* page = Page(tab)) {
            lastPagePosition = page->Position();
        }
    }
    QDialog::setVisible(visible);
}

void COptionPropSheet::accept() {
    for (COptionPage* page : pages_) {
        if (!page->Initialized()) {
            continue;
        }
        const COptionPage::Failure failure = page->Validate();
        if (!failure) {
            continue;
        }
        SetActivePage(page);
        CDialogService::Message(this, failure.messageId, CDialogService::Icon::Error);
        if (failure.control != nullptr) {
            failure.control->setFocus(Qt::OtherFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(failure.control)) {
                edit->selectAll();
            }
        }
        return;
    }
    for (COptionPage* page : pages_) {
        if (page->Initialized()) {
            page->OnApply();
        }
    }
    QDialog::accept();
}

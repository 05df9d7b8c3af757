#include "ui/dialogs/option_page.h"

#include <QLabel>
#include <QPalette>

#include "res/resources.h"

COptionPage::COptionPage(int position, uint32_t captionId, const COptionContext& context,
                         QWidget* parent)
    : QWidget(parent), position_(position), captionId_(captionId), context_(context) {}

void COptionPage::EnsureInitialized() {
    if (!initialized_) {
        initialized_ = true;
        OnInitDialog();
    }
}

void COptionPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The controls are visible by now, so what the page hides stays hidden.
    EnsureInitialized();
}

namespace option_page {

QLabel* MakeLabel(QWidget* page, uint32_t dialogId, uint32_t id) {
    auto* label = MakeControl<QLabel>(page, id);
    label->setText(res::Resources::Instance().DialogText(dialogId, id));
    return label;
}

void MakeRed(QWidget* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(255, 0, 0));
    label->setPalette(palette);
}

}  // namespace option_page

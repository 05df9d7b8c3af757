#include "ui/frame/windows_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "res/ids.h"
#include "res/resources.h"

CWindowsDialog::CWindowsDialog(QMdiArea* area, QWidget* parent)
    : QDialog(parent), area_(area), list_(new QListWidget(this)) {
    setObjectName(QStringLiteral("CWindowsDialog"));
    // The caption is the menu text without its mnemonic and ellipsis.
    QString caption = res::Resources::Instance().String(IDS_WINDOWS_MANAGER);
    caption.remove(QStringLiteral("..."));
    caption.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    caption.remove(u'&');
    setWindowTitle(caption.trimmed());

    const QList<QMdiSubWindow*> windows = area_->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow* window : windows) {
        auto* item = new QListWidgetItem(window->windowIcon(), window->windowTitle(), list_);
        item->setData(Qt::UserRole, QVariant::fromValue<QObject*>(window));
        if (window == area_->currentSubWindow()) {
            list_->setCurrentItem(item);
        }
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        ActivateSelected();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, [this] {
        ActivateSelected();
        accept();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

bool CWindowsDialog::ActivateSelected() {
    const QListWidgetItem* item = list_->currentItem();
    if (item == nullptr) {
        return false;
    }
    auto* window = qobject_cast<QMdiSubWindow*>(item->data(Qt::UserRole).value<QObject*>());
    if (window == nullptr || !area_->subWindowList().contains(window)) {
        return false;
    }
    if (window->isMinimized()) {
        window->showNormal();
    }
    area_->setActiveSubWindow(window);
    return true;
}

#include "ui/frame/candb_pane.h"

#include <QContextMenuEvent>

#include "controls/static_tree_ctrl.h"
#include "res/resources.h"

CCANdbPane::CCANdbPane(QWidget* parent)
    : QDockWidget(parent), tree_(new CStaticTreeCtrl(nullptr, kTreeId)) {
    setObjectName(QStringLiteral("CCANdbPane"));
    tree_->setContextMenuPolicy(Qt::NoContextMenu);
    setWidget(tree_);
    // The strip in the device pixels of the screen, so the images stay sharp.
    SetImageStrip(
        res::Resources::Instance().Image(IDB_CANDB_TREE, QSize(), tree_->devicePixelRatioF()));
}

CCANdbPane::~CCANdbPane() {
    tree_->DeleteAllItems();
}

bool CCANdbPane::SetImageStrip(const QImage& strip) {
    tree_->SetImageList(CStaticTreeCtrl::CutImageStrip(strip, kImageMask));
    tree_->viewport()->update();
    return tree_->HasImageList();
}

void CCANdbPane::Fill(const QString& root, const QStringList& messages) {
    tree_->setUpdatesEnabled(false);
    tree_->DeleteAllItems();
    CStaticTreeItem* rootItem = tree_->InsertItem(root);
    for (const QString& message : messages) {
        CStaticTreeItem* item = tree_->InsertItem(message, rootItem);
        item->image = kMessageImage;
        item->selectedImage = kMessageSelectedImage;
    }
    rootItem->expanded = 1;
    tree_->RecalcScroll();
    tree_->setUpdatesEnabled(true);
    tree_->RecalcScroll();
}

void CCANdbPane::contextMenuEvent(QContextMenuEvent* event) {
    // The pane has no menu, and the main window's dock menu is not offered here.
    event->accept();
}

#include "ui/frame/candb_pane.h"

#include <QHeaderView>
#include <QTreeWidget>

CCANdbPane::CCANdbPane(QWidget* parent) : QDockWidget(parent), tree_(new QTreeWidget) {
    setObjectName(QStringLiteral("CCANdbPane"));
    tree_->setObjectName(QStringLiteral("COMMUI_STATIC_TREE_CTRL_CLASS"));
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setUniformRowHeights(true);
    tree_->setContextMenuPolicy(Qt::NoContextMenu);
    setWidget(tree_);
}

void CCANdbPane::Fill(const QString& root, const QStringList& messages) {
    tree_->setUpdatesEnabled(false);
    tree_->clear();
    auto* rootItem = new QTreeWidgetItem(tree_, QStringList{root});
    QList<QTreeWidgetItem*> children;
    children.reserve(messages.size());
    for (const QString& message : messages) {
        children.append(new QTreeWidgetItem(QStringList{message}));
    }
    rootItem->addChildren(children);
    rootItem->setExpanded(true);
    tree_->setCurrentItem(nullptr);
    tree_->setUpdatesEnabled(true);
}

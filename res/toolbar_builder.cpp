#include "res/toolbar_builder.h"

namespace res {

QToolBar* BuildToolBar(uint32_t toolbarId, QWidget* parent, const ActionFactory& factory,
                       uint32_t labelsStringId, const Resources& resources,
                       uint32_t disabledImageId) {
    const ToolbarDef def = resources.Toolbar(toolbarId);
    if (!def.IsValid()) {
        return nullptr;
    }
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("toolbar_%1").arg(toolbarId));
    bar->setIconSize(def.buttonSize);
    const QStringList labels =
        labelsStringId != 0 ? resources.StringList(labelsStringId, u'\t', false) : QStringList();
    if (!labels.isEmpty()) {
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    }
    uint32_t cell = 0;
    for (uint32_t command : def.buttons) {
        if (command == 0) {
            bar->addSeparator();
            continue;
        }
        const uint32_t thisCell = cell++;
        QAction* action = MakeCommandAction(command, bar, factory, resources);
        if (action == nullptr) {
            continue;
        }
        action->setIcon(resources.CellIcon(
            def.bitmap, thisCell, disabledImageId != 0 ? disabledImageId : def.disabledBitmap));
        if (thisCell < static_cast<uint32_t>(labels.size())) {
            action->setIconText(labels[static_cast<int>(thisCell)]);
        } else if (action->text().isEmpty()) {
            action->setText(resources.Tooltip(command));
        }
        bar->addAction(action);
    }
    return bar;
}

QAction* FindCommandAction(const QWidget* widget, uint32_t commandId) {
    if (widget == nullptr) {
        return nullptr;
    }
    for (QAction* action : widget->actions()) {
        if (action->data().isValid() && action->data().toUInt() == commandId) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace res

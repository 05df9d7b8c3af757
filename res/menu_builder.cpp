#include "res/menu_builder.h"

namespace res {

namespace {

constexpr int kMaxDepth = ResourceIndex::kMaxMenuDepth;

void Append(QMenu* menu, const SorvaneResMenuItem* items, uint32_t count,
            const ActionFactory& factory, const Resources& resources, int depth) {
    if (items == nullptr || depth > kMaxDepth) {
        return;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const SorvaneResMenuItem& item = items[i];
        switch (item.kind) {
            case SORVANE_MENU_SEPARATOR:
                menu->addSeparator();
                break;
            case SORVANE_MENU_POPUP: {
                QMenu* sub =
                    menu->addMenu(QString::fromUtf8(item.text != nullptr ? item.text : ""));
                Append(sub, item.items, item.itemCount, factory, resources, depth + 1);
                break;
            }
            case SORVANE_MENU_COMMAND: {
                QAction* action = MakeCommandAction(item.id, menu, factory, resources);
                if (action == nullptr) {
                    break;
                }
                if (item.text != nullptr) {
                    action->setText(QString::fromUtf8(item.text));
                }
                if (action->icon().isNull()) {
                    action->setIcon(resources.CommandIcon(item.id));
                }
                menu->addAction(action);
                break;
            }
            default:
                break;  // an item kind of a later format: left out
        }
    }
}

}  // namespace

QAction* MakeCommandAction(uint32_t commandId, QObject* owner, const ActionFactory& factory,
                           const Resources& resources) {
    QAction* action = factory ? factory(commandId, owner) : new QAction(owner);
    if (action == nullptr) {
        return nullptr;
    }
    action->setData(commandId);
    const QString prompt = resources.Prompt(commandId);
    if (!prompt.isEmpty()) {
        action->setStatusTip(prompt);
    }
    const QString tooltip = resources.Tooltip(commandId);
    if (!tooltip.isEmpty()) {
        action->setToolTip(tooltip);
    }
    return action;
}

void AppendMenuItems(QMenu* menu, const SorvaneResMenuItem* items, uint32_t count,
                     const ActionFactory& factory, const Resources& resources) {
    if (menu != nullptr) {
        Append(menu, items, count, factory, resources, 0);
    }
}

QMenu* BuildPopupMenu(uint32_t menuId, QWidget* parent, const ActionFactory& factory,
                      int popupIndex, const Resources& resources) {
    const SorvaneResMenu* resource = resources.Menu(menuId);
    if (resource == nullptr || popupIndex < 0) {
        return nullptr;
    }
    int seen = 0;
    for (uint32_t i = 0; i < resource->itemCount; ++i) {
        const SorvaneResMenuItem& item = resource->items[i];
        if (item.kind != SORVANE_MENU_POPUP) {
            continue;
        }
        if (seen++ != popupIndex) {
            continue;
        }
        auto* menu = new QMenu(QString::fromUtf8(item.text != nullptr ? item.text : ""), parent);
        menu->setObjectName(QStringLiteral("menu_%1").arg(menuId));
        Append(menu, item.items, item.itemCount, factory, resources, 1);
        return menu;
    }
    return nullptr;
}

bool FillMenuBar(QMenuBar* bar, uint32_t menuId, const ActionFactory& factory,
                 const Resources& resources) {
    const SorvaneResMenu* resource = resources.Menu(menuId);
    if (bar == nullptr || resource == nullptr) {
        return false;
    }
    for (uint32_t i = 0; i < resource->itemCount; ++i) {
        const SorvaneResMenuItem& item = resource->items[i];
        if (item.kind == SORVANE_MENU_POPUP) {
            QMenu* menu = bar->addMenu(QString::fromUtf8(item.text != nullptr ? item.text : ""));
            Append(menu, item.items, item.itemCount, factory, resources, 1);
        } else if (item.kind == SORVANE_MENU_COMMAND) {
            QAction* action = MakeCommandAction(item.id, bar, factory, resources);
            if (action != nullptr) {
                if (item.text != nullptr) {
                    action->setText(QString::fromUtf8(item.text));
                }
                bar->addAction(action);
            }
        } else if (item.kind == SORVANE_MENU_SEPARATOR) {
            bar->addSeparator();
        }
    }
    return true;
}

QMenu* FindSubMenuOf(QWidget* menuOrBar, uint32_t commandId) {
    if (menuOrBar == nullptr) {
        return nullptr;
    }
    for (QAction* action : menuOrBar->actions()) {
        if (QMenu* sub = action->menu()) {
            for (QAction* inner : sub->actions()) {
                if (inner->menu() == nullptr && inner->data().toUInt() == commandId &&
                    inner->data().isValid()) {
                    return sub;
                }
            }
            if (QMenu* deeper = FindSubMenuOf(sub, commandId)) {
                return deeper;
            }
        }
    }
    return nullptr;
}

}  // namespace res

#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "res/resources.h"

namespace res {

// Supplies the action of one command. Builders ask it once per menu item,
// toolbar button or accelerator. It may return a new action (owned by
// owner) or an action the caller shares between menu bar, toolbar and
// shortcuts; null leaves the item out. Without a factory the builders make
// a new QAction owned by the menu or toolbar.
//
// The builders set on the action: data (the command id), the text (menu
// captions), the status-bar prompt, the tooltip and an icon when it has
// none. They never set a QAction shortcut: accelerators are installed from
// their table (shortcut_builder.h), and a key on both would be ambiguous.
using ActionFactory = std::function<QAction*(uint32_t commandId, QObject* owner)>;

// The action for a command: from the factory or new, with data, prompt and
// tooltip set. Null when the factory declines.
QAction* MakeCommandAction(uint32_t commandId, QObject* owner, const ActionFactory& factory,
                           const Resources& resources);

// Builds popup popupIndex (0 = the first) of a menu resource as a QMenu
// owned by parent: the form of the context menus and of the drop-downs.
// Null when the menu or the popup does not exist.
QMenu* BuildPopupMenu(uint32_t menuId, QWidget* parent, const ActionFactory& factory = {},
                      int popupIndex = 0, const Resources& resources = Resources::Instance());

// Fills a menu bar with the popups of a menu resource (133, 135); items at
// the top level that are not popups become plain actions of the bar. False
// when the menu does not exist.
bool FillMenuBar(QMenuBar* bar, uint32_t menuId, const ActionFactory& factory = {},
                 const Resources& resources = Resources::Instance());

// Appends items to menu (sub-popups become sub-menus owned by menu).
void AppendMenuItems(QMenu* menu, const SorvaneResMenuItem* items, uint32_t count,
                     const ActionFactory& factory, const Resources& resources);

// The sub-menu of menu whose items include the command, searched in depth;
// null when none. Handy for the recent-file and bus popups.
QMenu* FindSubMenuOf(QWidget* menuOrBar, uint32_t commandId);

}  // namespace res

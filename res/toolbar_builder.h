#pragma once

#include <QToolBar>

#include "res/menu_builder.h"

namespace res {

// Builds a toolbar resource as a QToolBar owned by parent: one action per
// command with the icon of its cell in the button strip (and the disabled
// strip's cell when disabled), icon size = the button size, separators
// where the resource has 0. With labelsStringId (string 291 for the main
// toolbar) the buttons get the tab-separated labels in order and show
// them under their icons. A disabledImageId other than 0 replaces the
// resource's own disabled strip. Null when the toolbar does not exist.
QToolBar* BuildToolBar(uint32_t toolbarId, QWidget* parent, const ActionFactory& factory = {},
                       uint32_t labelsStringId = 0,
                       const Resources& resources = Resources::Instance(),
                       uint32_t disabledImageId = 0);

// The action of a toolbar's button for a command, null when absent.
QAction* FindCommandAction(const QWidget* widget, uint32_t commandId);

}  // namespace res

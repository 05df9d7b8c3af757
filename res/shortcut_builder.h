#pragma once

#include <QAction>
#include <QList>
#include <QShortcut>
#include <QWidget>
#include <functional>

#include "res/resources.h"

namespace res {

// Installs an accelerator table on a window: one QShortcut per entry (window
// context), each calling onCommand with its command. The caller decides
// there whether the command is enabled, as the frame's command routing does.
QList<QShortcut*> InstallShortcuts(uint32_t tableId, QWidget* window,
                                   const std::function<void(uint32_t)>& onCommand,
                                   const Resources& resources = Resources::Instance());

// The other way: gives each command's action the key of the table, so that
// the key acts only while the action is enabled. actionFor returns null for
// commands it does not know. Returns the number of keys set.
int ApplyShortcuts(uint32_t tableId, const std::function<QAction*(uint32_t)>& actionFor,
                   const Resources& resources = Resources::Instance());

}  // namespace res

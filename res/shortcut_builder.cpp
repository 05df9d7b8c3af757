#include "res/shortcut_builder.h"

#include <QAction>

namespace res {

QList<QShortcut*> InstallShortcuts(uint32_t tableId, QWidget* window,
                                   const std::function<void(uint32_t)>& onCommand,
                                   const Resources& resources) {
    QList<QShortcut*> shortcuts;
    if (window == nullptr) {
        return shortcuts;
    }
    for (const Accelerator& accelerator : resources.Accelerators(tableId)) {
        auto* shortcut = new QShortcut(accelerator.key, window);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setObjectName(QStringLiteral("accel_%1").arg(accelerator.command));
        const uint32_t command = accelerator.command;
        QObject::connect(shortcut, &QShortcut::activated, window, [onCommand, command] {
            if (onCommand) {
                onCommand(command);
            }
        });
        shortcuts.append(shortcut);
    }
    return shortcuts;
}

int ApplyShortcuts(uint32_t tableId, const std::function<QAction*(uint32_t)>& actionFor,
                   const Resources& resources) {
    int applied = 0;
    if (!actionFor) {
        return applied;
    }
    for (const Accelerator& accelerator : resources.Accelerators(tableId)) {
        if (QAction* action = actionFor(accelerator.command)) {
            action->setShortcut(accelerator.key);
            ++applied;
        }
    }
    return applied;
}

}  // namespace res

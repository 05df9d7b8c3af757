#include "controls/clipboard_text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace controls {

void SetClipboardText(const QString& text) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return;
    }
    // The text is a terminated string for the callers; anything after an
    // embedded NUL was never meant to be copied.
    const qsizetype end = text.indexOf(QChar(u'\0'));
    clipboard->setText(end < 0 ? text : text.left(end));
}

}  // namespace controls

#pragma once

#include <QString>

namespace controls {

// Puts text on the clipboard as plain text, up to its first NUL. Without a
// clipboard (no GUI application) nothing happens and nothing is reported: the
// copy commands of the lists are best effort.
void SetClipboardText(const QString& text);

}  // namespace controls

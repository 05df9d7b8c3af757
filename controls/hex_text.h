#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

// Hexadecimal entries of the controls and dialogs.

// True for a hexadecimal digit, which is turned to upper case.
inline bool UpperHexDigit(QChar& c) {
    const char16_t u = c.unicode();
    if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F')) {
        return true;
    }
    if (u >= u'a' && u <= u'f') {
        c = QChar(static_cast<char16_t>(u - u'a' + u'A'));
        return true;
    }
    return false;
}

// The text as a hexadecimal number, blanks around it ignored; false when it
// is empty, holds any other character or exceeds max.
inline bool ParseHexText(const QString& text, uint32_t max, uint32_t* value) {
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 8) {
        return false;
    }
    for (QChar c : digits) {
        if (!UpperHexDigit(c)) {
            return false;
        }
    }
    bool ok = false;
    const uint32_t parsed = digits.toUInt(&ok, 16);
    if (!ok || parsed > max) {
        return false;
    }
    *value = parsed;
    return true;
}

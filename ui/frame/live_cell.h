#pragma once

#include <QString>

#include "ui/frame/live_view_text.h"

namespace live_cell {

// Puts an ASCII cell into a reused string: no allocation once the string has
// grown to the longest cell.
inline void Assign(QString& out, const live_text::Cell& cell) {
    out.resize(cell.length);
    QChar* p = out.data();
    for (int i = 0; i < cell.length; ++i) {
        p[i] = QLatin1Char(cell.text[i]);
    }
}

}  // namespace live_cell

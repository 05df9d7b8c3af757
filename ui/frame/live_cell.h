#pragma once

#include <QPainter>
#include <QString>

#include "controls/item_list.h"
#include "ui/frame/ascii_text_run.h"
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

// Draws one cell of a row: a fitting text joins the row's glyph run, a text
// too wide for its cell is shortened with an ellipsis by the list.
inline void Draw(const CItemList& list, QPainter& painter, CAsciiTextRun& run, const QRect& cell,
                 const live_text::Cell& text, Qt::Alignment align, QString& buffer) {
    if (text.length == 0 || cell.width() <= 0) {
        return;
    }
    qreal width = 0;
    if (run.Fits(text.text, text.length, cell.width(), &width)) {
        const QPointF origin = run.Origin(cell, width, align);
        run.Add(origin.x(), origin.y(), text.text, text.length);
        return;
    }
    Assign(buffer, text);
    list.DrawCellText(painter, cell, buffer, align);
}

}  // namespace live_cell

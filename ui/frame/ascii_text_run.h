#pragma once

#include <QFontMetrics>
#include <QGlyphRun>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <array>
#include <cstdint>

class QPainter;

// Draws the ASCII cell texts of a row as one glyph run, from a table of glyph
// indexes and advances built once per font: no text shaping and no
// allocation per cell. The live lists paint thousands of such cells a second.
class CAsciiTextRun {
public:
    // Builds the table; texts with a character the font has no glyph for are
    // not drawn here (Fits answers false).
    void SetFont(const QFont& font);
    bool Usable() const { return usable_; }

    // The text's width when every character has a glyph and it fits maxWidth.
    bool Fits(const char* text, int length, int maxWidth, qreal* width) const;
    // Adds a text whose baseline starts at (x, y).
    void Add(qreal x, qreal y, const char* text, int length);
    // Draws what was added with the painter's pen, then forgets it.
    void Flush(QPainter& painter);

    // Where a fitting text of width w starts and where its baseline lies in
    // a cell: single line, vertically centred, aligned as given.
    QPointF Origin(const QRect& cell, qreal width, Qt::Alignment align) const;

private:
    bool usable_ = false;
    QRawFont raw_;
    QFontMetrics metrics_{QFont()};
    std::array<quint32, 128> glyphs_{};
    std::array<qreal, 128> advances_{};
    QList<quint32> indexes_;
    QList<QPointF> positions_;
    QGlyphRun run_;
};

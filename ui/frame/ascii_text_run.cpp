#include "ui/frame/ascii_text_run.h"

#include <QPainter>

void CAsciiTextRun::SetFont(const QFont& font) {
    raw_ = QRawFont::fromFont(font);
    metrics_ = QFontMetrics(font);
    usable_ = raw_.isValid();
    if (!usable_) {
        return;
    }
    QChar chars[128];
    for (int c = 0; c < 128; ++c) {
        chars[c] = QChar(c < 32 ? ' ' : c);
    }
    int count = 128;
    if (!raw_.glyphIndexesForChars(chars, 128, glyphs_.data(), &count) || count != 128) {
        usable_ = false;
        return;
    }
    QPointF advances[128];
    raw_.advancesForGlyphIndexes(glyphs_.data(), advances, 128);
    for (int c = 0; c < 128; ++c) {
        advances_[c] = advances[c].x();
        // No glyph: such a text goes the long way, with font fallback.
        if (c >= 32 && glyphs_[c] == 0) {
            advances_[c] = -1;
        }
    }
    run_.setRawFont(raw_);
    indexes_.reserve(512);
    positions_.reserve(512);
}

bool CAsciiTextRun::Fits(const char* text, int length, int maxWidth, qreal* width) const {
    if (!usable_) {
        return false;
    }
    qreal w = 0;
    for (int i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 32 || c >= 128 || advances_[c] < 0) {
            return false;
        }
        w += advances_[c];
    }
    *width = w;
    return w <= maxWidth;
}

QPointF CAsciiTextRun::Origin(const QRect& cell, qreal width, Qt::Alignment align) const {
    qreal x = cell.left();
    if (align & Qt::AlignRight) {
        x = cell.right() + 1 - width;
    } else if (align & Qt::AlignHCenter) {
        x = cell.left() + (cell.width() - width) / 2;
    }
    const int y = cell.top() + (cell.height() - metrics_.height()) / 2 + metrics_.ascent();
    return QPointF(qRound(x), y);
}

void CAsciiTextRun::Add(qreal x, qreal y, const char* text, int length) {
    for (int i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c != ' ') {
            indexes_.append(glyphs_[c]);
            positions_.append(QPointF(x, y));
        }
        x += advances_[c];
    }
}

void CAsciiTextRun::Flush(QPainter& painter) {
    if (!indexes_.isEmpty()) {
        run_.setGlyphIndexes(indexes_);
        run_.setPositions(positions_);
        painter.drawGlyphRun(QPointF(0, 0), run_);
        // Let go of the shared lists, so that clearing keeps their storage.
        run_.setGlyphIndexes({});
        run_.setPositions({});
    }
    indexes_.clear();
    positions_.clear();
}

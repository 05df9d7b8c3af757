#include "controls/hex_edit.h"

#include <QValidator>

#include "controls/hex_text.h"

namespace {

// Filters the whole text after every change (typing, paste, drop, undo), so
// no edit path can bring in a character the filter refuses.
class HexTextValidator : public QValidator {
public:
    HexTextValidator(const CHexEdit* edit, QObject* parent) : QValidator(parent), edit_(edit) {}

    State validate(QString& input, int& pos) const override {
        qsizetype out = 0;
        int newPos = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            QChar c = input.at(i);
            if (!CHexEdit::FilterChar(c)) {
                if (i < pos) {
                    --newPos;
                }
                continue;
            }
            input[out++] = c;
        }
        input.truncate(out);
        pos = newPos;
        const int limit = edit_->LimitText();
        if (limit > 0 && input.size() > limit) {
            // The characters just inserted end at the cursor: drop the excess
            // from there, keeping what was in the field before.
            const qsizetype excess = input.size() - limit;
            const qsizetype from = qMax<qsizetype>(0, pos - excess);
            const qsizetype count = qMin<qsizetype>(excess, pos - from);
            input.remove(from, count);
            pos = static_cast<int>(from);
            if (input.size() > limit) {
                input.truncate(limit);
            }
        }
        pos = qBound(0, pos, static_cast<int>(input.size()));
        return Acceptable;
    }

private:
    const CHexEdit* edit_;
};

}  // namespace

CHexEdit::CHexEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new HexTextValidator(this, this));
}

void CHexEdit::SetLimitText(int limit) {
    limit_ = qMax(0, limit);
    QString current = text();
    int pos = static_cast<int>(current.size());
    validator()->validate(current, pos);
    if (current != text()) {
        setText(current);
    }
}

bool CHexEdit::FilterChar(QChar& c) {
    return !c.isLetterOrNumber() || UpperHexDigit(c);
}

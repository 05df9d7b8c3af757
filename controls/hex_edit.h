#pragma once

#include <QLineEdit>

// A line edit for hexadecimal entries (identifiers, data bytes). Letters and
// digits pass only when they are hexadecimal digits and are shown in upper
// case; every other character passes unchanged. The same filter applies to
// pasted and dropped text, as if it had been typed.
class CHexEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CHexEdit(QWidget* parent = nullptr);

    // Longest entry in characters; 0 = no limit. Text beyond it is cut at
    // the insertion point, so a paste keeps its first characters.
    void SetLimitText(int limit);
    int LimitText() const { return limit_; }

    // The filter for one character: false when it is refused; c is turned
    // to upper case when it passes.
    static bool FilterChar(QChar& c);

private:
    int limit_ = 0;
};

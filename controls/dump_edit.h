#pragma once

#include <QLineEdit>
#include <QString>
#include <cstdint>

// Notification codes between the byte editor and the dump control, carried
// by CDumpEdit::editNotify and CDumpCtrl::dumpNotify.
enum DumpNotify : int {
    DCN_TOPCHANGE = -1605,  // the first byte shown changed; value = its index
    DEN_MOVE = -1608,       // commit, then move by the move code
    DEN_COMMIT = -1609,     // Enter
    DEN_CANCEL = -1610,     // Escape
};

// Where a commit-and-move goes.
enum DumpMove : int {
    DM_NONE = 0,
    DM_ROW_START = 4,
    DM_ROW_END = 5,
    DM_PREV_BYTE = 6,
    DM_NEXT_BYTE = 7,
    DM_ROW_UP = 8,
    DM_ROW_DOWN = 9,
    DM_NEXT_COLUMN = 10,
    DM_PREV_COLUMN = 11,
    DM_PAGE_UP = 12,
    DM_PAGE_DOWN = 13,
};

// The small edit box the dump control opens over one cell: two hexadecimal
// digits, shown in upper case, centred. It reports every way of leaving it
// with the byte it holds; the dump control decides what that changes.
class CDumpEdit : public QLineEdit {
    Q_OBJECT
public:
    // The editor's control identifier in its notifications.
    static constexpr int kControlId = 1;

    // text is the cell's value as the editor opens with it ("%02X").
    CDumpEdit(const QString& text, QWidget* parent);

    const QString& OpenedText() const { return openedText_; }
    // The current text read as hexadecimal, masked to 8 bits (0 when empty).
    uint8_t Value() const;
    bool Changed() const { return text() != openedText_; }

    // The character filter of the editor: hexadecimal digits pass (lower
    // case turned to upper case), control characters pass, the rest is refused.
    static bool FilterChar(QChar& c);
    // The row and page moves shared by the editor and the dump's own keys;
    // DM_NONE for other keys.
    static int RowMoveForKey(int key);

Q_SIGNALS:
    // DEN_COMMIT, DEN_CANCEL or DEN_MOVE with a DumpMove; value = Value().
    void editNotify(int code, int value, int move);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Notify(int code, int move);

    QString openedText_;
    bool done_ = false;  // one notification per editor
};

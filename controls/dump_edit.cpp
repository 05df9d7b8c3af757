#include "controls/dump_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>

#include "controls/hex_text.h"

namespace {

// Refuses any edit that brings in a character the filter refuses, whatever
// its path (typing, paste, drop); the accepted text is shown in upper case.
class DumpEditValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override {
        for (qsizetype i = 0; i < input.size(); ++i) {
            QChar c = input.at(i);
            if (!CDumpEdit::FilterChar(c)) {
                return Invalid;
            }
            input[i] = c;
        }
        (void)pos;
        return Acceptable;
    }
};

}  // namespace

CDumpEdit::CDumpEdit(const QString& text, QWidget* parent)
    : QLineEdit(text, parent), openedText_(text) {
    setAlignment(Qt::AlignCenter);
    // A third digit is refused unless it replaces a selection.
    setMaxLength(2);
    setValidator(new DumpEditValidator(this));
    setFrame(false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

uint8_t CDumpEdit::Value() const {
    bool ok = false;
    const uint32_t value = text().toUInt(&ok, 16);
    return ok ? static_cast<uint8_t>(value & 0xFF) : 0;
}

bool CDumpEdit::FilterChar(QChar& c) {
    return UpperHexDigit(c) || c.category() == QChar::Other_Control;
}

int CDumpEdit::RowMoveForKey(int key) {
    switch (key) {
        case Qt::Key_Up:
            return DM_ROW_UP;
        case Qt::Key_Down:
            return DM_ROW_DOWN;
        case Qt::Key_PageUp:
            return DM_PAGE_UP;
        case Qt::Key_PageDown:
            return DM_PAGE_DOWN;
        default:
            return DM_NONE;
    }
}

void CDumpEdit::Notify(int code, int move) {
    if (done_) {
        return;
    }
    done_ = true;
    Q_EMIT editNotify(code, Value(), move);
}

bool CDumpEdit::event(QEvent* event) {
    // Tab would otherwise move the focus before the editor sees it.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CDumpEdit::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    int move = RowMoveForKey(event->key());
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Taken here, so that the dialog's default button does not fire.
            Notify(DEN_COMMIT, DM_NONE);
            event->accept();
            return;
        case Qt::Key_Escape:
            Notify(DEN_CANCEL, DM_NONE);
            event->accept();
            return;
        case Qt::Key_Tab:
            move = DM_NEXT_COLUMN;
            break;
        case Qt::Key_Backtab:
            move = DM_PREV_COLUMN;
            break;
        case Qt::Key_Left:
            if (ctrl || (cursorPosition() == 0 && !hasSelectedText())) {
                move = DM_PREV_BYTE;
            }
            break;
        case Qt::Key_Right:
            if (ctrl || (cursorPosition() == text().size() && !hasSelectedText())) {
                move = DM_NEXT_BYTE;
            }
            break;
        case Qt::Key_Home:
            if (ctrl) {
                move = DM_ROW_START;
            }
            break;
        case Qt::Key_End:
            if (ctrl) {
                move = DM_ROW_END;
            }
            break;
        default:
            break;
    }
    if (move != DM_NONE) {
        Notify(DEN_MOVE, move);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CDumpEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Leaving the editor for another control (the send button, say) keeps
    // what was typed; a window losing activation is no leaving.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
        Notify(DEN_COMMIT, DM_NONE);
    }
}

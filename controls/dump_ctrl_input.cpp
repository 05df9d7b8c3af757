#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "controls/dump_ctrl.h"

// The dump control's input side: keys, mouse, wheel and the in-place editor.

int CDumpCtrl::MoveTarget(int move) const {
    const int last = count_ - 1;
    const int rowStart = caret_ - caret_ % bytesPerRow_;
    const int page = qMax(bytesPerRow_, bytesPerPage_);
    int target = caret_;
    switch (move) {
        case DM_ROW_START:
            return rowStart;
        case DM_ROW_END:
            return qMin(last, rowStart + bytesPerRow_ - 1);
        case DM_PREV_BYTE:
            target = caret_ - 1;
            break;
        case DM_NEXT_BYTE:
            target = caret_ + 1;
            break;
        case DM_ROW_UP:
            target = caret_ - bytesPerRow_;
            break;
        case DM_ROW_DOWN:
            target = caret_ + bytesPerRow_;
            break;
        case DM_PAGE_UP:
            target = caret_ - page;
            if (target < 0) {
                return caret_ % bytesPerRow_;  // the same column in the first row
            }
            break;
        case DM_PAGE_DOWN:
            target = caret_ + page;
            break;
        default:
            break;
    }
    if (target < 0) {
        return caret_;
    }
    if (target > last) {
        // Past the end: onto the last byte when it stands in a later row,
        // which is then only partly filled; otherwise nowhere.
        return RowOf(last) > RowOf(caret_) ? last : caret_;
    }
    return target;
}

void CDumpCtrl::MoveCaret(int index, Cell kind) {
    if (count_ <= 0) {
        return;
    }
    index = qBound(0, index, count_ - 1);
    caret_ = index;
    caretKind_ = kind;
    selFirst_ = selLast_ = anchor_ = index;
    EnsureVisible(index);
    update();
}

void CDumpCtrl::SetCaret(int index, Cell kind) {
    MoveCaret(index, kind);
}

void CDumpCtrl::EnsureVisible(int index) {
    const int row = RowOf(index);
    const int topRow = top_ / bytesPerRow_;
    const int pageRows = qMax(1, bytesPerPage_ / bytesPerRow_);
    if (row < topRow) {
        SetTop(row * bytesPerRow_);
    } else if (row >= topRow + pageRows) {
        SetTop((row - pageRows + 1) * bytesPerRow_);
    }
}

void CDumpCtrl::keyPressEvent(QKeyEvent* event) {
    if (count_ <= 0 || editor_ != nullptr) {
        QFrame::keyPressEvent(event);
        return;
    }
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    int move = CDumpEdit::RowMoveForKey(event->key());
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            break;
        case Qt::Key_Left:
            move = DM_PREV_BYTE;
            break;
        case Qt::Key_Right:
            move = DM_NEXT_BYTE;
            break;
        case Qt::Key_Home:
            if (ctrl) {
                MoveCaret(0, caretKind_);
                event->accept();
                return;
            }
            move = DM_ROW_START;
            break;
        case Qt::Key_End:
            if (ctrl) {
                MoveCaret(count_ - 1, caretKind_);
                event->accept();
                return;
            }
            move = DM_ROW_END;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Taken here, so that the dialog's default button does not fire.
            OpenEditor(caret_, Cell::Byte);
            event->accept();
            return;
        default:
            QFrame::keyPressEvent(event);
            return;
    }
    MoveCaret(MoveTarget(move), caretKind_);
    event->accept();
}

void CDumpCtrl::SetHover(int index, Cell kind) {
    if (index == hover_ && kind == hoverKind_) {
        return;
    }
    const QRect before = CellRect(hover_, hoverKind_);
    hover_ = index;
    hoverKind_ = kind;
    update(before.adjusted(-1, -1, 1, 1));
    update(CellRect(hover_, hoverKind_).adjusted(-1, -1, 1, 1));
}

void CDumpCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    Cell kind = Cell::Byte;
    const int index = HitTest(event->position().toPoint(), &kind);
    if (index >= 0) {
        MoveCaret(index, kind);
        dragging_ = true;
    }
    event->accept();
}

void CDumpCtrl::mouseMoveEvent(QMouseEvent* event) {
    Cell kind = Cell::Byte;
    const int index = HitTest(event->position().toPoint(), &kind);
    SetHover(index, kind);
    if (dragging_ && (event->buttons() & Qt::LeftButton) && index >= 0) {
        // The selection runs from the click to the cell under the pointer.
        caret_ = index;
        selFirst_ = qMin(anchor_, index);
        selLast_ = qMax(anchor_, index);
        EnsureVisible(index);
        update();
    }
    event->accept();
}

void CDumpCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
    }
    QFrame::mouseReleaseEvent(event);
}

void CDumpCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    Cell kind = Cell::Byte;
    const int index =
        event->button() == Qt::LeftButton ? HitTest(event->position().toPoint(), &kind) : -1;
    if (index >= 0) {
        MoveCaret(index, kind);
        OpenEditor(index, kind);
    }
    event->accept();
}

void CDumpCtrl::leaveEvent(QEvent* event) {
    SetHover(-1, Cell::Byte);
    QFrame::leaveEvent(event);
}

void CDumpCtrl::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        // One row per notch; a fine-grained wheel moves at least one row.
        const int rows = qMax(1, qAbs(delta) / 120);
        SetTop(top_ + (delta > 0 ? -rows : rows) * bytesPerRow_);
    }
    event->accept();
}

void CDumpCtrl::focusInEvent(QFocusEvent* event) {
    QFrame::focusInEvent(event);
    update();
}

void CDumpCtrl::focusOutEvent(QFocusEvent* event) {
    QFrame::focusOutEvent(event);
    update();
}

// ---- the editor --------------------------------------------------------------

void CDumpCtrl::OpenEditor(int index, Cell kind) {
    CloseEditor(true);
    if (index < 0 || index >= count_ || !isEnabled()) {
        return;
    }
    EnsureVisible(index);
    const QRect cell = CellRect(index, kind);
    if (cell.isEmpty()) {
        return;  // a control too low to show one row
    }
    uint32_t value = ByteAt(index);
    if (kind == Cell::Address) {
        // The editor holds two digits: the row's address while it fits.
        const uint32_t address = static_cast<uint32_t>(index - index % bytesPerRow_) + base_;
        value = address < 256 ? address : 0;
    }
    editIndex_ = index;
    editKind_ = kind;
    auto* editor =
        new CDumpEdit(QString::number(value, 16).toUpper().rightJustified(2, u'0'), this);
    editor->setFont(font_);
    editor->setGeometry(cell);
    connect(editor, &CDumpEdit::editNotify, this, &CDumpCtrl::OnEditNotify);
    editor_ = editor;
    editor->show();
    editor->selectAll();
    editor->setFocus(Qt::OtherFocusReason);
    update();
}

void CDumpCtrl::CloseEditor(bool commit) {
    if (editor_ == nullptr) {
        return;
    }
    if (commit) {
        FinishEdit(DEN_COMMIT, editor_->Value(), DM_NONE);
        return;
    }
    CDumpEdit* editor = editor_;
    editor_ = nullptr;
    editIndex_ = -1;
    // The editor may be inside its own key handler: it goes once that returns.
    editor->disconnect(this);
    const bool hadFocus = editor->hasFocus();
    editor->hide();
    editor->deleteLater();
    if (hadFocus) {
        setFocus(Qt::OtherFocusReason);
    }
    update();
}

void CDumpCtrl::OnEditNotify(int code, int value, int move) {
    if (editor_ != nullptr && sender() == editor_) {
        FinishEdit(code, value, move);
    }
}

void CDumpCtrl::FinishEdit(int code, int value, int move) {
    const int index = editIndex_;
    const Cell kind = editKind_;
    const bool changed = editor_->Changed();
    CloseEditor(false);
    if (code == DEN_CANCEL) {
        return;
    }
    if (changed) {
        if (kind == Cell::Byte) {
            if (data_ != nullptr && index < count_) {
                data_[index] = static_cast<uint8_t>(value);
            }
        } else {
            // A typed address moves the caret there, when it lies in the buffer.
            const int64_t target = static_cast<int64_t>(value) - static_cast<int64_t>(base_);
            if (target >= 0 && target < count_) {
                MoveCaret(static_cast<int>(target), Cell::Address);
            }
        }
        update();
    }
    if (code != DEN_MOVE) {
        return;
    }
    Cell nextKind = kind;
    int next = caret_;
    if (move == DM_NEXT_COLUMN || move == DM_PREV_COLUMN) {
        // Two column kinds: either way goes to the other one.
        nextKind = kind == Cell::Byte ? Cell::Address : Cell::Byte;
        next = kind == Cell::Byte ? caret_ - caret_ % bytesPerRow_ : caret_;
    } else {
        next = MoveTarget(move);
    }
    MoveCaret(next, nextKind);
    OpenEditor(caret_, nextKind);
}

#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QPointer>
#include <QRect>
#include <array>
#include <cstdint>

#include "controls/dump_edit.h"

class QScrollBar;

// A byte buffer as a hexadecimal dump: an address column and a column of
// bytes, as many per row as the width allows, with an in-place editor for
// single bytes. The owner keeps the buffers; the control reads and writes
// them in place and never allocates or frees them.
class CDumpCtrl : public QFrame {
    Q_OBJECT
public:
    enum class Cell { Address, Byte };

    // One column of the dump: its header text and how many digits it shows.
    struct Column {
        uint32_t headerId;
        int digits;
    };

    // The colour table; the disabled variants stand right after the normal ones.
    enum ColorIndex {
        kBackground,
        kBackgroundDisabled,
        kText,
        kTextDisabled,
        kChangedText,
        kSelection,
        kGridLine,
        kHoverFrame,
        kColorCount
    };

    explicit CDumpCtrl(QWidget* parent = nullptr);
    ~CDumpCtrl() override;

    // ---- what the owner sets ------------------------------------------
    // count bytes at bytes; a null buffer shows every byte as 00 and takes
    // no edit. A count of 0 shows no byte at all. Closes an open editor.
    void SetData(uint8_t* bytes, int count);
    // Bytes that differ from their reference byte are drawn in the changed
    // colour; null: no reference. The array holds as many bytes as the data.
    void SetReference(const uint8_t* reference);
    void SetBaseAddress(uint32_t base);
    uint8_t* Data() const { return data_; }
    int Count() const { return count_; }
    const uint8_t* Reference() const { return reference_; }
    uint32_t BaseAddress() const { return base_; }

    // ---- caret, selection, scrolling ----------------------------------
    // Moves the caret to index (clamped into the buffer) with a one-byte
    // selection and scrolls it into view.
    void SetCaret(int index, Cell kind = Cell::Byte);
    int Caret() const { return caret_; }
    Cell CaretKind() const { return caretKind_; }
    int SelectionFirst() const { return selFirst_; }
    int SelectionLast() const { return selLast_; }
    // The first byte shown, rounded down to a row start and kept in range.
    void SetTop(int index);
    int Top() const { return top_; }

    // ---- layout --------------------------------------------------------
    int BytesPerRow() const { return bytesPerRow_; }
    int BytesPerPage() const { return bytesPerPage_; }
    int RowHeight() const { return rowHeight_; }
    int CharWidth() const { return charWidth_; }
    // Rows the scroll bar can move the top by; 0 when everything fits.
    int ScrollRange() const { return scrollRange_; }
    const QScrollBar* ScrollBar() const { return scrollBar_; }
    // The cell rectangle of a byte (or of its row's address), in this
    // widget's coordinates; empty when the byte is not shown.
    QRect CellRect(int index, Cell kind) const;
    // The byte under a point, -1 when none; kind receives the column hit.
    int HitTest(QPoint point, Cell* kind = nullptr) const;

    // ---- the editor ----------------------------------------------------
    // Opens the editor over a cell (closing any open one first).
    void OpenEditor(int index, Cell kind);
    // Closes the editor; with commit, as if Enter had been pressed.
    void CloseEditor(bool commit);
    CDumpEdit* Editor() const { return editor_; }

    QColor Color(ColorIndex index) const { return colors_[index]; }
    static const std::array<Column, 2>& Columns();
    // The text of one cell as painted, for an index inside the buffer.
    QString AddressText(int index) const;
    QString ByteText(int index) const;

    // Sixteen bytes a row, four rows: 64 bytes without scrolling.
    QSize sizeHint() const override;
    // The width that shows bytesPerRow bytes a row.
    int WidthForBytes(int bytesPerRow) const;

Q_SIGNALS:
    // DCN_TOPCHANGE with the new first index.
    void dumpNotify(int code, int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Layout();
    void UpdateScrollBar();
    uint8_t ByteAt(int index) const;
    // The row of an index and the index of a row's first byte.
    int RowOf(int index) const { return index / bytesPerRow_; }
    int VisibleRows() const;
    // The caret for a key or an editor move; stays where it is when the
    // move would leave the buffer.
    int MoveTarget(int move) const;
    void MoveCaret(int index, Cell kind);
    void EnsureVisible(int index);
    void ChangeTop(int top);
    void OnEditNotify(int code, int value, int move);
    // What the editor's commit, cancel or move does; closes the editor.
    void FinishEdit(int code, int value, int move);
    void SetHover(int index, Cell kind);

    uint8_t* data_ = nullptr;
    int count_ = 1;
    const uint8_t* reference_ = nullptr;
    uint32_t base_ = 0;

    QFont font_;
    int charWidth_ = 0;
    int fontHeight_ = 0;
    int rowHeight_ = 1;
    int addressRight_ = 0;
    int bytesRight_ = 0;
    int bytesPerRow_ = 1;
    int bytesPerPage_ = 0;
    int scrollRange_ = 0;
    int top_ = 0;

    int caret_ = 0;
    int selFirst_ = 0;
    int selLast_ = 0;
    int anchor_ = 0;  // where a drag selection started
    bool dragging_ = false;
    Cell caretKind_ = Cell::Byte;
    int hover_ = -1;
    Cell hoverKind_ = Cell::Byte;

    std::array<QColor, kColorCount> colors_;
    QScrollBar* scrollBar_ = nullptr;
    QPointer<CDumpEdit> editor_;
    int editIndex_ = -1;
    Cell editKind_ = Cell::Byte;
};

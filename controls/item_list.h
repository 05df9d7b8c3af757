#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <cstdint>
#include <span>
#include <vector>

#include "controls/cmd_ui.h"
#include "controls/scroll_code.h"

class QHeaderView;
class QPainter;
class QStandardItemModel;

// One column of a list: the string id of its header text (0 ends a table)
// and the settings variable that holds its width in pixels. The list reads
// the variable when it is created and writes the width back when it dies.
struct ItemListColumn {
    uint32_t stringId = 0;
    int32_t* width = nullptr;
};

// Notification codes of the list, carried by CItemList::itemNotify.
enum ItemListNotify : int {
    ILN_DBLCLK = -1601,     // a row was double-clicked; value = row
    ILN_RETURN = -1602,     // Enter with selection enabled; value = selection (may be -1)
    ILN_SELCHANGE = -1603,  // the selection moved; value = new selection
};

// The virtual list behind the tabular views: a column header, no item data
// and rows painted by the derived class, visible rows only. The derived list
// reports the row count and the column table and paints one row at a time.
//
// Coordinates are those of the viewport: the header covers the top header
// height pixels, the rows start below it.
class CItemList : public QAbstractScrollArea {
    Q_OBJECT
public:
    // className becomes the object name of the list.
    explicit CItemList(const char* className, QWidget* parent = nullptr);
    ~CItemList() override;

    // Builds fonts, metrics and headers; call once, after the owner has set
    // the row-header width. Columns come from GetColumns.
    bool Create(QWidget* parent, int id);
    bool IsCreated() const { return created_; }
    int ControlId() const { return controlId_; }

    // A command offered by the owning frame before it handles the command
    // itself: ui null runs it, otherwise only its state is reported. True
    // when the list handles the command; the base list handles none.
    virtual bool OnCmdMsg(uint32_t id, CCmdUI* ui) { return false; }

    virtual void UpdateItemCount();
    virtual void InvalidateItems();
    void UpdateScrollBars(bool relayout);
    void LayoutHeaders(bool redraw);
    void AutoFitColumn(int index);
    int HitTest(QPoint point) const;
    void SetSelection(int index, bool ensureVisible);
    void EnsureVisible(int index, bool invalidate);
    int ClampIndex(int index) const;

    // ---- state the owner sets ------------------------------------------
    void SetRowHeaderWidth(int width) { rowHeaderWidth_ = qMax(0, width); }
    int RowHeaderWidth() const { return rowHeaderWidth_; }
    void SetAutoScroll(bool on) { autoScroll_ = on; }
    bool AutoScroll() const { return autoScroll_; }
    void SetSelectionEnabled(bool on) { selectionEnabled_ = on; }
    bool SelectionEnabled() const { return selectionEnabled_; }
    void SetBackgroundColor(QColor color) { background_ = color; }
    // A 0x00BBGGRR settings colour.
    void SetBackgroundColorRef(uint32_t colorRef) { background_ = ColorFromRef(colorRef); }
    QColor BackgroundColor() const { return background_; }
    static QColor ColorFromRef(uint32_t colorRef);

    // ---- metrics and layout for the derived painters ------------------
    int Selection() const { return selection_; }
    int RowHeight() const { return rowHeight_; }
    int HeaderHeight() const { return headerHeight_; }
    int CharWidth() const { return charWidth_; }
    int VisibleRows() const { return visibleRows_; }
    int TotalWidth() const { return totalWidth_; }
    const std::vector<int>& ColumnWidths() const { return columnWidths_; }
    QRect ItemRect() const { return itemRect_; }
    int TopIndex() const;
    int HorizontalPosition() const;
    const QFont& NormalFont() const { return normalFont_; }
    const QFont& BoldFont() const { return boldFont_; }
    // Left edge of a column in viewport coordinates (scrolled).
    int ColumnLeft(int column) const;
    // The cell of a column within a row rectangle.
    QRect CellRect(const QRect& rowRect, int column) const;
    // Single-line, vertically centred text with an ellipsis at the end when
    // it does not fit; allocates only when the text must be shortened.
    void DrawCellText(QPainter& painter, const QRect& cell, const QString& text,
                      Qt::Alignment align) const;
    QHeaderView* ColumnHeader() const { return header_; }
    QHeaderView* RowHeader() const { return rowHeader_; }

    // The owner's scroll request, as a scroll bar sends it.
    using Scroll = ScrollCode;
    void VScroll(Scroll code, int trackPos = 0);
    void HScroll(Scroll code, int trackPos = 0);

Q_SIGNALS:
    // ILN_DBLCLK, ILN_RETURN or ILN_SELCHANGE with its row.
    void itemNotify(int code, int index);

protected:
    // ---- the derived list ---------------------------------------------
    virtual std::span<const ItemListColumn> GetColumns() const { return {}; }
    virtual int GetItemCount() const { return 0; }
    // rowRect spans the item rectangle's width for row index. The painter
    // comes with the normal font; what DrawItem changes carries into the next
    // row (no save and restore per row, which would allocate).
    virtual void DrawItem(QPainter& painter, const QRect& rowRect, int index) {}
    virtual int GetItemImage(int index) const { return -1; }
    virtual void DrawSelection(QPainter& painter, const QRect& rect, QColor brush, QColor pen);

    void NotifyOwner(int code, int index);
    int KeySelect(int key);
    int KeyScroll(int key);
    void CalcVisibleRows(int height);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetVScrollInfo(int maximum, int page);
    void SetHScrollInfo(int maximum, int page);
    void OnSectionResized(int index, int oldSize, int newSize);
    void RecalcTotalWidth();
    void StoreWidths() const;
    bool WheelStep(int deltaY);

    bool created_ = false;
    int controlId_ = 0;
    QHeaderView* rowHeader_ = nullptr;
    QHeaderView* header_ = nullptr;
    QStandardItemModel* headerModel_ = nullptr;
    QStandardItemModel* rowHeaderModel_ = nullptr;
    QFont normalFont_;
    QFont boldFont_;
    QFontMetrics normalMetrics_{QFont()};
    QRect itemRect_;
    int charWidth_ = 0;
    int rowHeight_ = 0;
    int headerHeight_ = 0;
    int visibleRows_ = 0;
    int rowHeaderWidth_ = 0;
    std::vector<int> columnWidths_;
    std::vector<int32_t*> widthVariables_;
    int totalWidth_ = 0;
    int selection_ = -1;
    bool autoScroll_ = true;
    bool selectionEnabled_ = true;
    QColor background_;
    // Win32-style scroll information: the range ends at maximum and the
    // last position is maximum - page + 1.
    int vMax_ = 0;
    int vPage_ = 0;
    int hMax_ = 0;
    int hPage_ = 0;
};

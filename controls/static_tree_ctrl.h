#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

#include "controls/scroll_code.h"

// One node of a CStaticTreeCtrl. The tree owns its items; owners set the
// public fields (images, expanded, text colour, data) right after inserting.
class CStaticTreeItem {
public:
    // textColor value for the window-text colour.
    static constexpr uint32_t kAutoColor = 0xFF000000u;

    virtual ~CStaticTreeItem() = default;

    bool HasChildren() const { return firstChild != nullptr; }

    QString text;
    int32_t level = 0;           // 0 hidden root, 1 top level, one more per level below
    int32_t image = -1;          // index into the tree's image list, -1 none
    int32_t selectedImage = -1;  // while selected; -1 uses image
    int32_t selected = 0;
    int32_t expanded = 0;
    QPoint position;                  // top of the row in content coordinates, set by each layout
    uint32_t textColor = kAutoColor;  // 0x00BBGGRR
    uint64_t data = 0;
    CStaticTreeItem* parent = nullptr;
    CStaticTreeItem* firstChild = nullptr;
    CStaticTreeItem* nextVisible = nullptr;  // rows of the last layout, in screen order
    CStaticTreeItem* nextSibling = nullptr;
    CStaticTreeItem* lastChild = nullptr;
};

// Notification code of the tree, carried by CStaticTreeCtrl::treeNotify.
enum StaticTreeNotify : int {
    STN_SELCHANGE = -1603,  // the user selected another item; item = the new one
};

// A small self-drawn tree: indented rows of equal height, a box in front of
// every item with children, an optional 16 by 16 image, a line under every
// row, vertical scrolling by pixels. No editing, no horizontal scrolling.
//
// Keys, clicks and ensure-visible work on the rows of the last layout (the
// visible list); every repaint of the tree lays it out again first.
class CStaticTreeCtrl : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kImageSize = 16;
    static constexpr int kBoxSize = 9;

    explicit CStaticTreeCtrl(QWidget* parent = nullptr, int id = 0);
    ~CStaticTreeCtrl() override;
    CStaticTreeCtrl(const CStaticTreeCtrl&) = delete;
    CStaticTreeCtrl& operator=(const CStaticTreeCtrl&) = delete;

    int ControlId() const { return controlId_; }
    void SetControlId(int id) { controlId_ = id; }

    // ---- items ---------------------------------------------------------
    // A new last child of parent (of the hidden root when null). The first
    // child gets the parent's level + 1; a further child takes the level of
    // the parent's last child and makes the parent expanded. Nothing is
    // redrawn.
    CStaticTreeItem* InsertItem(const QString& text, CStaticTreeItem* parent = nullptr,
                                uint64_t itemData = 0);
    // Every item but the hidden root; clears the selection and the visible list.
    void DeleteAllItems();
    CStaticTreeItem* Root() const { return root_; }
    // First top-level item, null when the tree is empty.
    CStaticTreeItem* FirstItem() const { return root_->firstChild; }
    // The item displayed after item (children of an expanded item first),
    // null after the last displayed row.
    static CStaticTreeItem* NextDisplayed(const CStaticTreeItem* item);

    // ---- selection ----------------------------------------------------
    // Selects item (null clears). With ensureVisible its ancestors open when
    // it is not among the visible rows, the tree scrolls it into view and
    // repaints; without, nothing is redrawn. Sends no notification.
    void SelectItem(CStaticTreeItem* item, bool ensureVisible);
    CStaticTreeItem* SelectedItem() const { return current_; }

    // ---- layout and scrolling ------------------------------------------
    // Scroll range from the displayed rows and the client height; lays out
    // and repaints.
    void RecalcScroll();
    // Rows displayed now (top-level items plus the children of expanded ones).
    int DisplayedRowCount() const;
    // The rows of the last layout, in screen order.
    CStaticTreeItem* FirstVisible() const { return firstVisible_; }
    CStaticTreeItem* LastVisible() const { return lastVisible_; }
    std::vector<CStaticTreeItem*> VisibleItems() const;
    int ScrollPosition() const;
    using Scroll = ScrollCode;
    void VScroll(Scroll code, int trackPos = 0);

    // ---- geometry ------------------------------------------------------
    int RowHeight() const { return rowHeight_; }
    int CharWidth() const { return charWidth_; }
    // Visible item whose row holds the client point, or null.
    CStaticTreeItem* HitTest(QPoint point) const;
    // True when the client point lies on the expand box of a visible item.
    bool HitTestBox(QPoint point, CStaticTreeItem** item = nullptr) const;
    // Client rectangles of a visible item's box and text (the text runs to
    // the right edge); empty box for an item without children.
    QRect BoxRect(const CStaticTreeItem* item) const;
    QRect TextRect(const CStaticTreeItem* item) const;
    static int Indent(const CStaticTreeItem* item);

    // ---- images --------------------------------------------------------
    // Cuts a strip into square images as high as the strip; pixels of the
    // transparent colour become transparent. Empty for a null strip.
    static std::vector<QPixmap> CutImageStrip(const QImage& strip, QRgb transparent);
    void SetImageList(std::vector<QPixmap> images) { images_ = std::move(images); }
    void ClearImageList() { images_.clear(); }
    bool HasImageList() const { return !images_.empty(); }
    int ImageCount() const { return static_cast<int>(images_.size()); }

    const QFont& NormalFont() const { return normalFont_; }
    const QFont& BoldFont() const { return boldFont_; }
    const QFont& ParentFont() const { return parentFont_; }
    // The row colours: window, text, selection.
    static QColor ColorFromRef(uint32_t colorRef);

Q_SIGNALS:
    // STN_SELCHANGE with the newly selected item, before it is selected.
    void treeNotify(int code, CStaticTreeItem* item);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Walks the displayed rows: positions of all, the visible list of those
    // near the client area.
    void Layout();
    void Refresh();
    bool IsVisible(const CStaticTreeItem* item) const;
    CStaticTreeItem* VisibleBefore(const CStaticTreeItem* item) const;
    void MoveSelection(CStaticTreeItem* target);
    void DrawRow(QPainter& painter, CStaticTreeItem* item, int top, int width);
    void SetVScrollInfo(int maximum, int page);
    void DeleteChildren(CStaticTreeItem* item);

    int controlId_ = 0;
    CStaticTreeItem* root_;
    CStaticTreeItem* current_ = nullptr;
    CStaticTreeItem* firstVisible_ = nullptr;
    CStaticTreeItem* lastVisible_ = nullptr;
    std::vector<QPixmap> images_;
    QFont normalFont_;
    QFont boldFont_;
    QFont parentFont_;  // bold underlined
    int charWidth_ = 0;
    int rowHeight_ = 0;
    int vMax_ = 0;
    int vPage_ = 0;
};

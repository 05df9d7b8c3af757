#include "controls/static_tree_ctrl.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScrollBar>

CStaticTreeCtrl::CStaticTreeCtrl(QWidget* parent, int id)
    : QAbstractScrollArea(parent), controlId_(id), root_(new CStaticTreeItem) {
    setObjectName(QStringLiteral("COMMUI_STATIC_TREE_CTRL_CLASS"));
    // A thin border around the rows.
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->installEventFilter(this);

    // The interface font one pixel larger; bold for the selection, bold
    // underlined for items with children.
    QFont font = QApplication::font();
    if (font.pixelSize() > 0) {
        font.setPixelSize(font.pixelSize() + 1);
    } else if (font.pointSizeF() > 0) {
        const qreal pixels = font.pointSizeF() * logicalDpiY() / 72.0;
        font.setPixelSize(qRound(pixels) + 1);
    }
    normalFont_ = font;
    boldFont_ = font;
    boldFont_.setWeight(QFont::Bold);
    parentFont_ = boldFont_;
    parentFont_.setUnderline(true);

    const QSize xy =
        QFontMetrics(normalFont_, viewport()).size(Qt::TextSingleLine, QStringLiteral("Xy"));
    charWidth_ = xy.width() / 2;
    rowHeight_ = xy.height() + 4;
    rowHeight_ += rowHeight_ & 1;
    verticalScrollBar()->setSingleStep(rowHeight_);
}

CStaticTreeCtrl::~CStaticTreeCtrl() {
    DeleteChildren(root_);
    delete root_;
}

QColor CStaticTreeCtrl::ColorFromRef(uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

// ---- items -------------------------------------------------------------------

CStaticTreeItem* CStaticTreeCtrl::InsertItem(const QString& text, CStaticTreeItem* parent,
                                             uint64_t itemData) {
    if (parent == nullptr) {
        parent = root_;
    }
    auto* item = new CStaticTreeItem;
    item->text = text;
    item->data = itemData;
    item->parent = parent;
    if (parent->lastChild == nullptr) {
        item->level = parent->level + 1;
        parent->firstChild = item;
    } else {
        item->level = parent->lastChild->level;
        parent->lastChild->nextSibling = item;
        parent->expanded = 1;
    }
    parent->lastChild = item;
    return item;
}

void CStaticTreeCtrl::DeleteChildren(CStaticTreeItem* item) {
    // Without recursion, so a deep tree cannot exhaust the stack: unlink and
    // delete the leftmost leaf until only item is left.
    CStaticTreeItem* node = item->firstChild;
    while (node != nullptr) {
        if (node->firstChild != nullptr) {
            node = node->firstChild;
            continue;
        }
        CStaticTreeItem* parent = node->parent;
        parent->firstChild = node->nextSibling;
        if (parent->firstChild == nullptr) {
            parent->lastChild = nullptr;
        }
        delete node;
        node = parent == item ? item->firstChild : parent;
    }
}

void CStaticTreeCtrl::DeleteAllItems() {
    DeleteChildren(root_);
    current_ = nullptr;
    firstVisible_ = nullptr;
    lastVisible_ = nullptr;
}

CStaticTreeItem* CStaticTreeCtrl::NextDisplayed(const CStaticTreeItem* item) {
    if (item == nullptr) {
        return nullptr;
    }
    if (item->expanded && item->firstChild != nullptr) {
        return item->firstChild;
    }
    // The hidden root has no parent, which ends the walk.
    while (item != nullptr && item->nextSibling == nullptr) {
        item = item->parent;
    }
    return item != nullptr ? item->nextSibling : nullptr;
}

int CStaticTreeCtrl::DisplayedRowCount() const {
    int rows = 0;
    for (const CStaticTreeItem* item = root_->firstChild; item != nullptr;
         item = NextDisplayed(item)) {
        ++rows;
    }
    return rows;
}

std::vector<CStaticTreeItem*> CStaticTreeCtrl::VisibleItems() const {
    std::vector<CStaticTreeItem*> items;
    for (CStaticTreeItem* item = firstVisible_; item != nullptr; item = item->nextVisible) {
        items.push_back(item);
    }
    return items;
}

bool CStaticTreeCtrl::IsVisible(const CStaticTreeItem* item) const {
    for (const CStaticTreeItem* v = firstVisible_; v != nullptr; v = v->nextVisible) {
        if (v == item) {
            return true;
        }
    }
    return false;
}

CStaticTreeItem* CStaticTreeCtrl::VisibleBefore(const CStaticTreeItem* item) const {
    CStaticTreeItem* previous = nullptr;
    for (CStaticTreeItem* v = firstVisible_; v != nullptr; v = v->nextVisible) {
        if (v == item) {
            return previous;
        }
        previous = v;
    }
    return nullptr;
}

// ---- selection --------------------------------------------------------------

void CStaticTreeCtrl::SelectItem(CStaticTreeItem* item, bool ensureVisible) {
    if (current_ != nullptr) {
        current_->selected = 0;
    }
    current_ = item;
    if (item != nullptr) {
        item->selected = 1;
    }
    if (!ensureVisible) {
        return;
    }
    if (item != nullptr) {
        if (!IsVisible(item)) {
            for (CStaticTreeItem* a = item->parent; a != nullptr && a != root_; a = a->parent) {
                a->expanded = 1;
            }
            RecalcScroll();
        }
        const int p = ScrollPosition();
        const int h = viewport()->height();
        const int y = item->position.y();
        if (y < p || y >= p + h - rowHeight_) {
            const int pos = y < p ? y : y + 2 * rowHeight_ - h;
            verticalScrollBar()->setValue(qMax(0, pos));
        }
    }
    Refresh();
}

// ---- layout and scrolling ----------------------------------------------------

int CStaticTreeCtrl::ScrollPosition() const {
    return verticalScrollBar()->value();
}

void CStaticTreeCtrl::SetVScrollInfo(int maximum, int page) {
    vMax_ = qMax(0, maximum);
    vPage_ = qMax(0, page);
    // The range ends where the last page starts, as a scroll bar with an
    // inclusive maximum and a page size scrolls.
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(qMax(1, vPage_));
    bar->setRange(0, vPage_ > 0 ? qMax(0, vMax_ - vPage_ + 1) : vMax_);
}

void CStaticTreeCtrl::RecalcScroll() {
    const int h = viewport()->height();
    if (rowHeight_ <= 0) {
        SetVScrollInfo(0, 0);
    } else {
        const int page = rowHeight_ * (h / rowHeight_);
        const int maximum = DisplayedRowCount() * rowHeight_;
        if (page >= maximum) {
            SetVScrollInfo(0, 0);
        } else {
            SetVScrollInfo(maximum, page);
        }
    }
    Refresh();
}

void CStaticTreeCtrl::VScroll(Scroll code, int trackPos) {
    const int pos = ScrollTarget(code, ScrollPosition(), rowHeight_, vPage_, trackPos,
                                 verticalScrollBar()->maximum());
    verticalScrollBar()->setValue(qMax(0, pos));
    Refresh();
}

void CStaticTreeCtrl::Refresh() {
    // The visible list must be current as soon as the call returns, as after
    // a synchronous repaint; the drawing itself follows on the next paint.
    Layout();
    viewport()->update();
}

void CStaticTreeCtrl::Layout() {
    firstVisible_ = nullptr;
    lastVisible_ = nullptr;
    const int p = ScrollPosition();
    const int h = viewport()->height();
    int y = 0;
    for (CStaticTreeItem* item = root_->firstChild; item != nullptr; item = NextDisplayed(item)) {
        item->position = QPoint(0, y);
        item->nextVisible = nullptr;
        if (y >= p - rowHeight_ && y < p + h + rowHeight_) {
            if (lastVisible_ != nullptr) {
                lastVisible_->nextVisible = item;
            } else {
                firstVisible_ = item;
            }
            lastVisible_ = item;
        }
        y += rowHeight_;
    }
}

void CStaticTreeCtrl::scrollContentsBy(int /*dx*/, int /*dy*/) {
    Refresh();
}

void CStaticTreeCtrl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    RecalcScroll();
}

// ---- geometry ----------------------------------------------------------------

int CStaticTreeCtrl::Indent(const CStaticTreeItem* item) {
    return 8 * qMax(item->level - 1, 0);
}

CStaticTreeItem* CStaticTreeCtrl::HitTest(QPoint point) const {
    const int y = point.y() + ScrollPosition();
    for (CStaticTreeItem* v = firstVisible_; v != nullptr; v = v->nextVisible) {
        if (y >= v->position.y() && y < v->position.y() + rowHeight_) {
            return v;
        }
    }
    return nullptr;
}

QRect CStaticTreeCtrl::BoxRect(const CStaticTreeItem* item) const {
    if (item == nullptr || !item->HasChildren()) {
        return QRect();
    }
    const int top = item->position.y() - ScrollPosition() + (rowHeight_ - kBoxSize) / 2;
    return QRect(Indent(item) + 10, top, kBoxSize, kBoxSize);
}

bool CStaticTreeCtrl::HitTestBox(QPoint point, CStaticTreeItem** item) const {
    CStaticTreeItem* hit = HitTest(point);
    if (item != nullptr) {
        *item = hit;
    }
    return hit != nullptr && BoxRect(hit).contains(point);
}

QRect CStaticTreeCtrl::TextRect(const CStaticTreeItem* item) const {
    int x = Indent(item) + 8;
    if (item->HasChildren()) {
        x += 11;
    }
    x += 8;
    const int image =
        item->selected && item->selectedImage != -1 ? item->selectedImage : item->image;
    if (HasImageList() && image != -1) {
        x += 24;
    }
    const int top = item->position.y() - ScrollPosition();
    return QRect(x, top, qMax(0, viewport()->width() - x), rowHeight_);
}

std::vector<QPixmap> CStaticTreeCtrl::CutImageStrip(const QImage& strip, QRgb transparent) {
    std::vector<QPixmap> images;
    if (strip.isNull() || strip.height() <= 0) {
        return images;
    }
    QImage argb = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent & 0x00FFFFFFu;
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == key) {
                line[x] = 0;
            }
        }
    }
    const int side = argb.height();
    const int count = argb.width() / side;
    images.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        QPixmap cell = QPixmap::fromImage(argb.copy(i * side, 0, side, side));
        cell.setDevicePixelRatio(strip.devicePixelRatio());
        images.push_back(cell);
    }
    return images;
}

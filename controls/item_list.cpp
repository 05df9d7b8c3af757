#include "controls/item_list.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QWheelEvent>

#include "res/resources.h"

namespace {

constexpr int kColumnHeaderId = 1;
constexpr int kRowHeaderId = 2;
constexpr int kAutoFitPadding = 20;
constexpr int kMaxHeaderText = 256;
// A width from the settings beyond this is taken as damaged.
constexpr int kMaxColumnWidth = 0x7FFF;

QHeaderView* MakeHeader(QWidget* parent, QStandardItemModel* model, int id) {
    auto* header = new QHeaderView(Qt::Horizontal, parent);
    header->setModel(model);
    header->setObjectName(QString::number(id));
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setFocusPolicy(Qt::NoFocus);
    return header;
}

}  // namespace

CItemList::CItemList(const char* className, QWidget* parent)
    : QAbstractScrollArea(parent), background_(palette().color(QPalette::Base)) {
    setObjectName(QString::fromLatin1(className));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Painting covers the item rectangle, the headers the rest.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->installEventFilter(this);
    horizontalScrollBar()->installEventFilter(this);
    // Any scroll-bar use by the user (arrows, page areas, dragging) ends
    // auto-scroll; positions set by the program do not trigger actions.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int) {
        autoScroll_ = false;
        InvalidateItems();
    });
}

CItemList::~CItemList() {
    if (created_) {
        StoreWidths();
    }
}

QColor CItemList::ColorFromRef(uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

bool CItemList::Create(QWidget* parent, int id) {
    if (created_) {
        return false;
    }
    if (parent != nullptr && parent != parentWidget()) {
        setParent(parent);
    }
    controlId_ = id;

    // The interface font one pixel larger, and its bold form for headers.
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
    normalMetrics_ = QFontMetrics(normalFont_, viewport());

    const QSize xy = normalMetrics_.size(Qt::TextSingleLine, QStringLiteral("Xy"));
    charWidth_ = xy.width() / 2;
    rowHeight_ = xy.height() + 4;
    rowHeight_ += rowHeight_ & 1;
    headerHeight_ = rowHeight_ + 2;
    horizontalScrollBar()->setSingleStep(qMax(1, charWidth_));

    const auto& resources = res::Resources::Instance();
    headerModel_ = new QStandardItemModel(this);
    for (const ItemListColumn& column : GetColumns()) {
        if (column.stringId == 0) {
            break;
        }
        int width = column.width != nullptr ? *column.width : 0;
        width = qBound(0, width, kMaxColumnWidth);
        auto* item = new QStandardItem(resources.String(column.stringId));
        headerModel_->setHorizontalHeaderItem(headerModel_->columnCount(), item);
        columnWidths_.push_back(width);
        widthVariables_.push_back(column.width);
    }
    header_ = MakeHeader(viewport(), headerModel_, kColumnHeaderId);
    header_->setFont(boldFont_);
    for (int i = 0; i < static_cast<int>(columnWidths_.size()); ++i) {
        header_->resizeSection(i, columnWidths_[static_cast<size_t>(i)]);
    }
    RecalcTotalWidth();
    connect(header_, &QHeaderView::sectionResized, this, &CItemList::OnSectionResized);
    connect(header_, &QHeaderView::sectionHandleDoubleClicked, this, &CItemList::AutoFitColumn);
    header_->show();

    if (rowHeaderWidth_ > 0) {
        rowHeaderModel_ = new QStandardItemModel(0, 1, this);
        rowHeaderModel_->setHorizontalHeaderItem(0, new QStandardItem());
        rowHeader_ = MakeHeader(viewport(), rowHeaderModel_, kRowHeaderId);
        rowHeader_->setFont(boldFont_);
        rowHeader_->resizeSection(0, rowHeaderWidth_);
        rowHeader_->setEnabled(false);
    }
    created_ = true;
    resizeEvent(nullptr);
    return true;
}

void CItemList::RecalcTotalWidth() {
    totalWidth_ = 0;
    for (int w : columnWidths_) {
        totalWidth_ += w;
    }
}

void CItemList::StoreWidths() const {
    for (size_t i = 0; i < columnWidths_.size() && i < widthVariables_.size(); ++i) {
        if (widthVariables_[i] != nullptr) {
            *widthVariables_[i] = columnWidths_[i];
        }
    }
}

void CItemList::OnSectionResized(int index, int /*oldSize*/, int newSize) {
    if (index < 0 || index >= static_cast<int>(columnWidths_.size())) {
        return;
    }
    columnWidths_[static_cast<size_t>(index)] = newSize;
    RecalcTotalWidth();
    UpdateScrollBars(false);
}

void CItemList::CalcVisibleRows(int height) {
    if (rowHeight_ > 0) {
        visibleRows_ = qMax(0, (height - headerHeight_) / rowHeight_);
    }
}

void CItemList::resizeEvent(QResizeEvent* /*event*/) {
    if (!created_) {
        return;
    }
    const int cx = viewport()->width();
    const int cy = viewport()->height();
    itemRect_ = QRect(QPoint(0, headerHeight_), QPoint(cx - 1, cy - 1));
    CalcVisibleRows(cy);
    LayoutHeaders(true);
    UpdateScrollBars(false);
}

void CItemList::LayoutHeaders(bool redraw) {
    if (header_ == nullptr) {
        return;
    }
    const int right = viewport()->width();
    const int x = rowHeaderWidth_ - HorizontalPosition();
    header_->setGeometry(x, 0, qMax(0, right - x), headerHeight_);
    if (rowHeader_ != nullptr) {
        rowHeader_->setGeometry(0, 0, rowHeaderWidth_, headerHeight_);
        // Kept above the column header, so the fixed strip stays visible
        // while the columns scroll underneath, as the rows' strip does.
        rowHeader_->raise();
        rowHeader_->show();
    }
    if (redraw) {
        header_->viewport()->update();
        if (rowHeader_ != nullptr) {
            rowHeader_->viewport()->update();
        }
    }
}

void CItemList::SetVScrollInfo(int maximum, int page) {
    vMax_ = qMax(0, maximum);
    vPage_ = qMax(0, page);
    QScrollBar* bar = verticalScrollBar();
    const int last = vPage_ > 0 ? qMax(0, vMax_ - vPage_ + 1) : vMax_;
    bar->setPageStep(qMax(1, vPage_));
    bar->setRange(0, last);
}

void CItemList::SetHScrollInfo(int maximum, int page) {
    hMax_ = qMax(0, maximum);
    hPage_ = qMax(0, page);
    QScrollBar* bar = horizontalScrollBar();
    const int last = hPage_ > 0 ? qMax(0, hMax_ - hPage_ + 1) : hMax_;
    bar->setPageStep(qMax(1, hPage_));
    bar->setRange(0, last);
}

void CItemList::UpdateScrollBars(bool relayout) {
    const int count = GetItemCount();
    if (count <= visibleRows_) {
        SetVScrollInfo(0, 0);
    } else {
        SetVScrollInfo(count, visibleRows_);
    }
    const int hMax = totalWidth_ + rowHeaderWidth_;
    int hPage = itemRect_.width();
    if (charWidth_ > 0) {
        hPage -= hPage % charWidth_;
    }
    if (hMax <= hPage) {
        SetHScrollInfo(0, 0);
    } else {
        SetHScrollInfo(hMax, hPage);
    }
    InvalidateItems();
    if (relayout) {
        LayoutHeaders(true);
    }
}

void CItemList::UpdateItemCount() {
    if (!created_) {
        return;
    }
    const int count = GetItemCount();
    SetVScrollInfo(count + 1, visibleRows_);
    if (autoScroll_) {
        verticalScrollBar()->setValue(qMax(0, count - visibleRows_));
    }
    InvalidateItems();
}

void CItemList::InvalidateItems() {
    if (created_) {
        viewport()->update(itemRect_);
    }
}

int CItemList::TopIndex() const {
    return verticalScrollBar()->value();
}

int CItemList::HorizontalPosition() const {
    return horizontalScrollBar()->value();
}

void CItemList::scrollContentsBy(int dx, int /*dy*/) {
    if (dx != 0) {
        LayoutHeaders(true);
    }
    InvalidateItems();
}

void CItemList::VScroll(Scroll code, int trackPos) {
    QScrollBar* bar = verticalScrollBar();
    const int pos = ScrollTarget(code, bar->value(), 1, vPage_, trackPos, vMax_);
    bar->setValue(qBound(0, pos, vMax_));
    // Every vertical scroll request ends auto-scroll; only the owner turns
    // it on again.
    autoScroll_ = false;
    InvalidateItems();
}

void CItemList::HScroll(Scroll code, int trackPos) {
    QScrollBar* bar = horizontalScrollBar();
    const int pos = ScrollTarget(code, bar->value(), charWidth_, hPage_, trackPos, totalWidth_);
    bar->setValue(qBound(0, pos, totalWidth_));
    InvalidateItems();
    LayoutHeaders(true);
}

void CItemList::AutoFitColumn(int index) {
    if (header_ == nullptr || index < 0 || index >= static_cast<int>(columnWidths_.size())) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString text =
        headerModel_->headerData(index, Qt::Horizontal).toString().left(kMaxHeaderText);
    const int width = QFontMetrics(boldFont_, header_).horizontalAdvance(text) + kAutoFitPadding;
    header_->resizeSection(index, width);
    columnWidths_[static_cast<size_t>(index)] = width;
    RecalcTotalWidth();
    UpdateScrollBars(false);
    LayoutHeaders(true);
    QApplication::restoreOverrideCursor();
}

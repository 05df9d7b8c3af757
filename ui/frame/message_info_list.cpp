#include "ui/frame/message_info_list.h"

#include <QPainter>
#include <climits>

#include "can/can_manager.h"
#include "res/ids.h"
#include "settings/app_settings.h"
#include "ui/frame/live_cell.h"

namespace {

constexpr uint32_t kHeaders[CMessageInfoList::kColumns] = {
    IDS_MSG_COL_CAN, IDS_MSG_COL_DIR,   IDS_MSG_COL_TYPE, IDS_MSG_COL_ID,
    IDS_MSG_COL_DLC, IDS_MSG_COL_CYCLE, IDS_MSG_COL_COUNT};
// Cycle and count stand right-aligned, one character short of the edge.
constexpr int kFirstRightColumn = 5;

int ToInt(size_t n) {
    return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

CMessageInfoList::CMessageInfoList(QWidget* parent) : CItemList("CLASS_MESSAGEINFO_LIST", parent) {
    SetSelectionEnabled(false);
    SetSettings(nullptr);
    for (QString& text : cellText_) {
        text.reserve(32);
    }
}

const AppSettings& CMessageInfoList::Settings() const {
    return SettingsOrDefaults(settings_);
}

void CMessageInfoList::SetSettings(AppSettings* settings) {
    settings_ = settings;
    columns_.Bind(kHeaders, settings != nullptr ? &settings->messageInfoColumn : nullptr,
                  SettingsOrDefaults(nullptr).messageInfoColumn);
    SetBackgroundColorRef(Settings().messageInfoColorBkgnd);
}

void CMessageInfoList::ApplyColors() {
    SetBackgroundColorRef(Settings().messageInfoColorBkgnd);
    InvalidateItems();
}

void CMessageInfoList::Clear() {
    if (manager_ != nullptr) {
        manager_->ClearMessageInfo();
    }
    InvalidateItems();
}

int CMessageInfoList::GetItemCount() const {
    if (painting_) {
        return ToInt(paintCount_);
    }
    return manager_ != nullptr ? ToInt(manager_->MessageInfoCount()) : 0;
}

void CMessageInfoList::paintEvent(QPaintEvent* event) {
    first_ = static_cast<size_t>(qMax(0, TopIndex()));
    // One row more than fits, for a partly visible last row.
    const size_t wanted = static_cast<size_t>(qMax(0, VisibleRows())) + 1;
    if (rows_.capacity() < wanted) {
        rows_.reserve(wanted);
    }
    paintCount_ = manager_ != nullptr ? manager_->MessageInfoRows(first_, wanted, rows_) : 0;
    if (manager_ == nullptr) {
        rows_.clear();
    }
    textPen_ = QPen(ColorFromRef(Settings().messageInfoColorText));
    if (!textRun_.Usable()) {
        textRun_.SetFont(NormalFont());
    }
    painting_ = true;
    CItemList::paintEvent(event);
    painting_ = false;
}

void CMessageInfoList::DrawItem(QPainter& painter, const QRect& rowRect, int index) {
    if (!painting_ || index < 0 || static_cast<size_t>(index) < first_ ||
        static_cast<size_t>(index) - first_ >= rows_.size()) {
        return;
    }
    live_text::FormatMessageInfoRow(rows_[static_cast<size_t>(index) - first_], row_);
    painter.setPen(textPen_);
    for (int c = 0; c < kColumns; ++c) {
        QRect cell = CellRect(rowRect, c);
        Qt::Alignment align = Qt::AlignHCenter;
        if (c >= kFirstRightColumn) {
            cell.setRight(cell.right() - CharWidth());
            align = Qt::AlignRight;
        }
        live_cell::Draw(*this, painter, textRun_, cell, row_.cells[c], align, cellText_[c]);
    }
    textRun_.Flush(painter);
}

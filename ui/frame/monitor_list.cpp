#include "ui/frame/monitor_list.h"

#include <QPainter>
#include <climits>

#include "can/frame_list.h"
#include "can/write_log.h"
#include "res/ids.h"
#include "res/resources.h"
#include "settings/app_settings.h"
#include "ui/frame/live_cell.h"
#include "ui/frame/live_columns.h"

namespace {

constexpr uint32_t kHeaders[live_text::MonitorRow::kColumns] = {
    IDS_MON_COL_TIME, IDS_MON_COL_CAN, IDS_MON_COL_DIR, IDS_MON_COL_STATUS,
    IDS_MON_COL_TYPE, IDS_MON_COL_ID,  IDS_MON_COL_DLC, IDS_MON_COL_DATA};

constexpr Qt::Alignment kAlign[live_text::MonitorRow::kColumns] = {
    Qt::AlignRight,   Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignHCenter,
    Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignLeft};

}  // namespace

CMonitorList::CMonitorList(QWidget* parent) : CItemList("CLASS_MONITOR_LIST", parent) {
    SetRowHeaderWidth(kRowHeaderWidth);
    SetSettings(nullptr);
    for (QString& text : cellText_) {
        text.reserve(kMaxFrameBytes * 4);
    }
}

void CMonitorList::SetSource(const FrameList* frames, ClearFn clear) {
    frames_ = frames;
    clear_ = std::move(clear);
}

const AppSettings& CMonitorList::Settings() const {
    return SettingsOrDefaults(settings_);
}

void CMonitorList::SetSettings(AppSettings* settings) {
    settings_ = settings;
    columns_.Bind(kHeaders, settings != nullptr ? &settings->monitorColumn : nullptr,
                  SettingsOrDefaults(nullptr).monitorColumn);
    SetBackgroundColorRef(Settings().monitorColorBkgnd);
}

size_t CMonitorList::RecordCount() const {
    return frames_ != nullptr ? frames_->Size() : 0;
}

int CMonitorList::GetItemCount() const {
    const size_t count = RecordCount();
    return count > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

size_t CMonitorList::EmptyFrames() {
    const size_t removed = clear_ ? clear_() : 0;
    cleared_ += removed;
    return removed;
}

void CMonitorList::UpdateItemCount() {
    const uint64_t limit = Settings().monitorMaxLine;
    if (RecordCount() > limit) {
        const QString line = res::Resources::Instance().Format(IDS_FMT_MONITOR_OVERFLOW,
                                                               static_cast<long long>(limit));
        WriteLogText(kLogInfo, line.toStdString());
        // The monitor starts again from an empty list; the workers go on appending.
        EmptyFrames();
    }
    CItemList::UpdateItemCount();
}

void CMonitorList::Clear() {
    EmptyFrames();
    UpdateItemCount();
}

void CMonitorList::paintEvent(QPaintEvent* event) {
    // The text colours are read at every paint, so a changed setting shows
    // at once; the pens are made here, not per row.
    const AppSettings& settings = Settings();
    okPen_ = QPen(ColorFromRef(settings.monitorColorTextOk));
    ngPen_ = QPen(ColorFromRef(settings.monitorColorTextNg));
    currentPen_ = QPen(palette().color(QPalette::Text));
    if (!textRun_.Usable()) {
        textRun_.SetFont(NormalFont());
    }
    CItemList::paintEvent(event);
}

void CMonitorList::DrawItem(QPainter& painter, const QRect& rowRect, int index) {
    if (frames_ == nullptr || index < 0 || static_cast<size_t>(index) >= frames_->Size()) {
        return;
    }
    // Records below the size are complete and never move, so the record is
    // read in place while the workers append behind it.
    const CanFrameRecord& record = frames_->At(static_cast<size_t>(index));
    live_text::FormatMonitorRow(record, row_);

    painter.setPen(index == Selection() ? currentPen_ : record.status != 0 ? okPen_ : ngPen_);
    for (int c = 0; c < live_text::MonitorRow::kColumns; ++c) {
        live_cell::Draw(*this, painter, textRun_, CellRect(rowRect, c), row_.cells[c], kAlign[c],
                        cellText_[c]);
    }
    textRun_.Flush(painter);
}

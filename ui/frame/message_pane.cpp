#include "ui/frame/message_pane.h"

#include <QPainter>

#include "res/ids.h"
#include "res/resources.h"
#include "settings/app_settings.h"
#include "ui/frame/live_columns.h"

namespace {

constexpr uint32_t kHeaders[CMessageDetailList::kColumns] = {
    IDS_DETAIL_COL_NAME, IDS_DETAIL_COL_VALUE, IDS_DETAIL_COL_DETAIL};
// The text of a cell starts this far right of the cell's left edge.
constexpr int kCellIndent = 2;

}  // namespace

CMessageDetailList::CMessageDetailList(QWidget* parent)
    : CItemList("CLASS_MESSAGEDETAIL_LIST", parent) {
    SetAutoScroll(false);
    SetSelectionEnabled(false);
    SetSettings(nullptr);
}

const AppSettings& CMessageDetailList::Settings() const {
    return SettingsOrDefaults(settings_);
}

void CMessageDetailList::SetSettings(AppSettings* settings) {
    settings_ = settings;
    columns_.Bind(kHeaders, settings != nullptr ? &settings->messageDetailColumn : nullptr,
                  SettingsOrDefaults(nullptr).messageDetailColumn);
    SetBackgroundColorRef(Settings().messageDetailColorBkgnd);
}

void CMessageDetailList::ApplyColors() {
    SetBackgroundColorRef(Settings().messageDetailColorBkgnd);
    InvalidateItems();
}

void CMessageDetailList::SetTexts(const std::vector<std::string>& texts) {
    texts_ = texts;
    UpdateItemCount();
}

void CMessageDetailList::DrawItem(QPainter& painter, const QRect& rowRect, int index) {
    const size_t first = static_cast<size_t>(index) * kColumns;
    if (index < 0 || texts_.size() < first + kColumns) {
        return;
    }
    painter.setPen(ColorFromRef(Settings().messageDetailColorText));
    for (int c = 0; c < kColumns; ++c) {
        const QRect cell = CellRect(rowRect, c).adjusted(kCellIndent, 0, 0, 0);
        DrawCellText(painter, cell, QString::fromStdString(texts_[first + static_cast<size_t>(c)]),
                     Qt::AlignLeft);
    }
}

CMessagePane::CMessagePane(AppSettings* settings, QWidget* parent) : QDockWidget(parent) {
    setObjectName(QStringLiteral("CMessagePane"));
    const res::Resources& res = res::Resources::Instance();
    setWindowTitle(res.Format(IDS_FMT_MESSAGE_PANE_CAPTION,
                              res.String(IDS_MESSAGE_DETAIL).toUtf8().constData()));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    // The pane has no command that would bring it back, so it cannot be closed.
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    list_ = new CMessageDetailList(this);
    list_->SetSettings(settings);
    list_->Create(this, kListControlId);
    setWidget(list_);
}

#include "ui/dialogs/bus_param_preset_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "res/resources.h"

namespace {

const res::Resources& Res() {
    return res::Resources::Instance();
}

struct Column {
    uint32_t headerId;
    Qt::Alignment alignment;
    int width;
};

constexpr Column kColumns[] = {{IDS_PRESET_COL_BITRATE, Qt::AlignLeft, 120},
                               {IDS_PRESET_COL_SAMPLEPOINT, Qt::AlignLeft, 120},
                               {IDS_PRESET_COL_SJW, Qt::AlignRight, 40},
                               {IDS_PRESET_COL_TSEG1, Qt::AlignRight, 53},
                               {IDS_PRESET_COL_TSEG2, Qt::AlignRight, 53}};

bool Matches(const BusParams& preset, const BusParams& current) {
    return preset.bitrate == current.bitrate && preset.sjw == current.sjw &&
           preset.tseg1 == current.tseg1 && preset.tseg2 == current.tseg2;
}

}  // namespace

CBusParamPresetDlg::CBusParamPresetDlg(int32_t mode, int32_t phase, BusParams& current,
                                       QWidget* parent)
    : QDialog(parent),
      current_(current),
      rows_(bus_presets::PresetRows(mode, phase)),
      list_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("CBusParamPresetDlg"));
    setWindowTitle(Res().DialogCaption(IDD_BUSPARAM_PRESET));
    setFont(Res().DialogFont(IDD_BUSPARAM_PRESET));

    list_->setObjectName(QString::number(IDC_LIST_PRESET));
    list_->setColumnCount(static_cast<int>(std::size(kColumns)));
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
    list_->horizontalHeader()->setHighlightSections(false);
    list_->horizontalHeader()->setStretchLastSection(false);
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        auto* header = new QTableWidgetItem(Res().String(kColumns[c].headerId));
        header->setTextAlignment(kColumns[c].alignment | Qt::AlignVCenter);
        list_->setHorizontalHeaderItem(c, header);
        list_->setColumnWidth(c, kColumns[c].width);
    }

    // Labels "50.0 %" .. "87.5 %" by sample-point code.
    const QStringList samplePoints = Res().Format(IDS_PRESET_SAMPLE_POINTS).split(u'\n');
    list_->setRowCount(static_cast<int>(rows_.size()));
    int preselect = -1;
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const BusParams& p = rows_[r].params;
        const int code = rows_[r].samplePoint;
        const QString cells[] = {
            Res().Format(IDS_FMT_PRESET_BITRATE, static_cast<unsigned>(p.bitrate)),
            code >= 0 && code < samplePoints.size() ? samplePoints[code] : QString(),
            QString::number(p.sjw), QString::number(p.tseg1), QString::number(p.tseg2)};
        for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(kColumns[c].alignment | Qt::AlignVCenter);
            item->setData(Qt::UserRole, r);
            list_->setItem(r, c, item);
        }
        if (preselect < 0 && Matches(p, current_)) {
            preselect = r;
        }
    }
    if (preselect >= 0) {
        list_->selectRow(preselect);
        list_->setCurrentCell(preselect, 0);
        list_->scrollToItem(list_->item(preselect, 0), QAbstractItemView::PositionAtCenter);
    } else {
        list_->clearSelection();
        list_->setCurrentCell(-1, -1);
    }
    // A double click on a row is OK; outside the rows it does nothing.
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (row >= 0 && row < list_->rowCount()) {
            accept();
        }
    });

    auto* ok = new QPushButton(Res().DialogText(IDD_BUSPARAM_PRESET, IDOK), this);
    ok->setObjectName(QString::number(IDOK));
    ok->setDefault(true);
    auto* cancel = new QPushButton(Res().DialogText(IDD_BUSPARAM_PRESET, IDCANCEL), this);
    cancel->setObjectName(QString::number(IDCANCEL));
    connect(ok, &QPushButton::clicked, this, &CBusParamPresetDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CBusParamPresetDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);

    int width = list_->frameWidth() * 2 + 24;  // room for the scroll bar
    for (const Column& column : kColumns) {
        width += column.width;
    }
    resize(width + layout->contentsMargins().left() + layout->contentsMargins().right(), 320);
}

void CBusParamPresetDlg::accept() {
    // The first selected row in list order; with none the values stay.
    int first = -1;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    if (first >= 0 && first < static_cast<int>(rows_.size())) {
        const BusParams& p = rows_[first].params;
        current_.bitrate = p.bitrate;
        current_.sjw = p.sjw;
        current_.tseg1 = p.tseg1;
        current_.tseg2 = p.tseg2;
    }
    QDialog::accept();
}

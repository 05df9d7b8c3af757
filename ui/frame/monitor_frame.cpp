#include "ui/frame/monitor_frame.h"

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

#include "can/can_manager.h"
#include "candb/candb_manager.h"
#include "res/ids.h"
#include "res/resources.h"
#include "settings/app_settings.h"
#include "ui/frame/frame_backend.h"
#include "ui/frame/message_pane.h"
#include "ui/frame/monitor_list.h"

namespace {

// How long a finished save leaves its full bar in view.
constexpr unsigned long kProgressEndPauseMs = 50;
constexpr int kProgressRange = 100;

}  // namespace

CMonitorFrame::CMonitorFrame(QWidget* parent) : CChildFrmBase(FrameParams(), parent) {
    setObjectName(QStringLiteral("CMonitorFrame"));
}

CMonitorFrame::~CMonitorFrame() {
    // The real-time file belongs to this window's command: it ends with it.
    if (CCanManager* manager = Manager()) {
        manager->SetRealtimeLog(std::string());
    }
}

ViewFrameParams CMonitorFrame::FrameParams() {
    return {IDR_TOOLBAR_MONITOR,
            IDB_TOOLBAR_MONITOR_DISABLED,
            IDR_MENU_MONITOR,
            IDS_MONITOR_WINDOW,
            IDI_MONITOR,
            1003,
            100};
}

CCanManager* CMonitorFrame::Manager() const {
    return Backend() != nullptr ? Backend()->Manager() : nullptr;
}

AppSettings* CMonitorFrame::Settings() const {
    return Backend() != nullptr ? Backend()->Settings() : nullptr;
}

bool CMonitorFrame::OnCreate() {
    const res::Resources& res = res::Resources::Instance();
    QMainWindow* body = Body();

    statusBar_ = body->statusBar();
    statusBar_->setObjectName(QString::number(0xE801));
    statusBar_->setSizeGripEnabled(false);
    pane0_ = new QLabel(QStringLiteral(" "));
    pane0_->setObjectName(QStringLiteral("pane0"));
    statusBar_->addWidget(pane0_, 1);
    pane1_ = new QLabel;
    pane1_->setObjectName(QStringLiteral("pane1"));
    pane1_->setFixedWidth(
        statusBar_->fontMetrics().horizontalAdvance(res.String(ID_INDICATOR_LINECOUNT)) + 4);
    statusBar_->addPermanentWidget(pane1_);
    pane1_->setText(QString::number(0));

    CCanManager* manager = Manager();
    list_ = new CMonitorList(body);
    list_->SetSettings(Settings());
    if (manager != nullptr) {
        list_->SetSource(&manager->Frames(), [manager] { return manager->ClearFrames(); });
    }
    if (!list_->Create(body, kListControlId)) {
        return false;
    }
    SetView(list_, list_);
    connect(list_, &CItemList::itemNotify, this, [this](int code, int index) {
        if (code == ILN_SELCHANGE) {
            OnItemChange(index);
        }
    });

    messagePane_ = new CMessagePane(Settings(), body);
    body->addDockWidget(Qt::RightDockWidgetArea, messagePane_);
    body->installEventFilter(this);
    return true;
}

void CMonitorFrame::resizeEvent(QResizeEvent* event) {
    CChildFrmBase::resizeEvent(event);
    // Until the user moves the pane's edge, the pane is as wide as its columns
    // but never more than a third of the frame, whatever sizes the frame goes
    // through while the windows are placed.
    if (messagePane_ == nullptr || !autoPaneWidth_) {
        return;
    }
    // After the body has laid itself out at its new size.
    QTimer::singleShot(0, this, [this] {
        if (!autoPaneWidth_ || messagePane_->isFloating()) {
            return;
        }
        const CMessageDetailList* list = messagePane_->List();
        const int columns = list->TotalWidth() + list->verticalScrollBar()->sizeHint().width() + 4;
        const int wanted = std::min(columns, Body()->width() / 3);
        if (messagePane_->width() != wanted) {
            Body()->resizeDocks({messagePane_}, {wanted}, Qt::Horizontal);
        }
    });
}

bool CMonitorFrame::eventFilter(QObject* watched, QEvent* event) {
    // A press on the body itself, not on one of its parts, takes hold of the
    // edge between list and pane: from then on the user sizes the pane.
    if (watched == Body() && event->type() == QEvent::MouseButtonPress) {
        autoPaneWidth_ = false;
    }
    return CChildFrmBase::eventFilter(watched, event);
}

QString CMonitorFrame::PaneText(int index) const {
    const QLabel* pane = index == 0 ? pane0_ : index == 1 ? pane1_ : nullptr;
    return pane != nullptr ? pane->text() : QString();
}

uint64_t CMonitorFrame::ClearedRecords() const {
    return list_ != nullptr ? list_->ClearedRecords() : 0;
}

void CMonitorFrame::SetPane0(const QString& text) {
    if (pane0_ != nullptr) {
        pane0_->setText(text);
    }
}

void CMonitorFrame::ShowRecordCount() {
    if (pane1_ != nullptr && list_ != nullptr) {
        pane1_->setText(QString::number(list_->RecordCount()));
    }
}

void CMonitorFrame::OnViewTimer() {
    if (list_ == nullptr) {
        return;
    }
    list_->UpdateItemCount();
    ShowRecordCount();
    // The channel layer ends the real-time file when communication stops;
    // the pane no longer claims that frames are being saved.
    if (realtimeShown_ && !RealtimeSet()) {
        realtimeShown_ = false;
        SetPane0(QStringLiteral(" "));
    }
}

void CMonitorFrame::OnSettingsChanged() {
    if (list_ == nullptr) {
        return;
    }
    if (const AppSettings* settings = Settings()) {
        list_->SetBackgroundColorRef(settings->monitorColorBkgnd);
    }
    list_->InvalidateItems();
    messagePane_->List()->ApplyColors();
}

void CMonitorFrame::OnItemChange(int index) {
    if (list_ == nullptr || index < 0 || static_cast<size_t>(index) >= list_->RecordCount()) {
        return;
    }
    CCanManager* manager = Manager();
    CCANdbManager* candb = Backend() != nullptr ? Backend()->Candb() : nullptr;
    if (manager == nullptr || candb == nullptr) {
        return;
    }
    // A copy: decoding runs while the workers go on appending.
    const CanFrameRecord record = manager->Frames().At(static_cast<size_t>(index));
    if (candb->Decode(record)) {
        messagePane_->List()->SetTexts(candb->decodedTexts);
    }
}

bool CMonitorFrame::event(QEvent* event) {
    if (event->type() == kEventSaveProgress) {
        const auto* progress = static_cast<CSaveProgressEvent*>(event);
        OnSaveProgress(progress->Number(), progress->Count());
        return true;
    }
    return CChildFrmBase::event(event);
}

void CMonitorFrame::OnSaveProgress(size_t number, size_t count) {
    if (statusBar_ == nullptr) {
        return;
    }
    if (number <= 1 && !progress_) {
        progress_ = new QProgressBar;
        progress_->setObjectName(QStringLiteral("saveProgress"));
        progress_->setRange(0, kProgressRange);
        progress_->setTextVisible(true);
        progress_->setValue(0);
        pane0_->hide();
        statusBar_->addWidget(progress_, 1);
        progress_->show();
    }
    if (!progress_) {
        return;
    }
    if (number >= count) {
        // The last record, also when it is the only one.
        progress_->setValue(kProgressRange);
        progress_->repaint();
        QThread::msleep(kProgressEndPauseMs);
        EndProgress();
        return;
    }
    if (number > 1) {
        progress_->setValue(static_cast<int>(number * kProgressRange / count));
    }
    // The save runs on this thread: the bar is drawn now, not after it.
    progress_->repaint();
}

void CMonitorFrame::EndProgress() {
    if (progress_) {
        statusBar_->removeWidget(progress_);
        delete progress_;
    }
    if (pane0_ != nullptr) {
        pane0_->show();
    }
}

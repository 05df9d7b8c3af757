// The monitor window's commands: scrolling, copy, the real-time save file,
// the save of the whole list and clearing.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <iterator>

#include "can/can_manager.h"
#include "can/log_format.h"
#include "controls/clipboard_text.h"
#include "res/ids.h"
#include "res/resources.h"
#include "ui/frame/dialog_service.h"
#include "ui/frame/frame_backend.h"
#include "ui/frame/live_view_text.h"
#include "ui/frame/monitor_frame.h"
#include "ui/frame/monitor_list.h"

namespace {

CCmdUI Enabled(bool on) {
    CCmdUI ui;
    ui.Enable(on);
    return ui;
}

// Wait cursor for the length of a scope.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

void ShowFileError(QWidget* parent, uint32_t stringId, const QString& path) {
    CDialogService::Box box;
    box.stringId = stringId;
    box.text = res::Resources::Instance().Message(stringId, QDir::toNativeSeparators(path));
    box.icon = CDialogService::Icon::Error;
    CDialogService::Current().ShowMessage(parent, box);
}

}  // namespace

const CMonitorFrame::Command CMonitorFrame::kCommands[] = {
    {ID_MONITOR_SCROLL, &CMonitorFrame::ToggleScroll, &CMonitorFrame::ScrollState},
    {ID_MONITOR_COPY, &CMonitorFrame::CopyToClipboard, &CMonitorFrame::IdleWithRecordsState},
    {ID_MONITOR_SAVE_SETTING, &CMonitorFrame::SetOrCancelRealtime, &CMonitorFrame::RealtimeState},
    {ID_MONITOR_SAVE, &CMonitorFrame::SaveMonitorLog, &CMonitorFrame::IdleWithRecordsState},
    {ID_MONITOR_CLEAR, &CMonitorFrame::ClearMonitor, &CMonitorFrame::WithRecordsState},
};

bool CMonitorFrame::OnFrameCommand(uint32_t id, CCmdUI* ui) {
    for (const Command& command : kCommands) {
        if (command.id != id) {
            continue;
        }
        if (ui != nullptr) {
            *ui = (this->*command.state)();
        } else if ((this->*command.state)().enabled) {
            (this->*command.run)();
        }
        return true;
    }
    return false;
}

bool CMonitorFrame::Connected() const {
    return Backend() != nullptr && Backend()->Connected();
}

bool CMonitorFrame::HasRecords() const {
    return list_ != nullptr && list_->RecordCount() > 0;
}

bool CMonitorFrame::RealtimeSet() const {
    const CCanManager* manager = Manager();
    return manager != nullptr && !manager->RealtimeLogName().empty();
}

CCmdUI CMonitorFrame::ScrollState() const {
    CCmdUI ui = Enabled(true);
    ui.SetCheck(list_ != nullptr && list_->AutoScroll());
    return ui;
}

CCmdUI CMonitorFrame::IdleWithRecordsState() const {
    return Enabled(!Connected() && HasRecords());
}

CCmdUI CMonitorFrame::RealtimeState() const {
    CCmdUI ui = Enabled(Manager() != nullptr);
    ui.SetCheck(RealtimeSet());
    return ui;
}

CCmdUI CMonitorFrame::WithRecordsState() const {
    return Enabled(HasRecords());
}

void CMonitorFrame::ToggleScroll() {
    list_->SetAutoScroll(!list_->AutoScroll());
}

void CMonitorFrame::CopyToClipboard() {
    const CCanManager* manager = Manager();
    if (manager == nullptr) {
        return;
    }
    WaitCursor wait;
    try {
        const std::string header =
            res::Resources::Instance().String(IDS_MONITOR_HEADER).toStdString();
        const FrameList& frames = manager->Frames();
        const std::string text = live_text::MonitorCopyText(header, frames, frames.Size());
        controls::SetClipboardText(QString::fromStdString(text));
    } catch (const std::exception&) {
        // Out of memory for the text: the clipboard stays as it was.
    }
}

void CMonitorFrame::ClearMonitor() {
    list_->Clear();
    ShowRecordCount();
}

QString CMonitorFrame::AskSavePath(LogFormat* format) {
    // The file types in the order of the filter: the monitor log first and
    // chosen, then the logs other tools read, then all files.
    static constexpr LogFormat kTypes[] = {LogFormat::Monitor, LogFormat::Candump, LogFormat::Asc};
    CDialogService::FileRequest request;
    request.titleId = IDS_MONITOR_SAVE_TITLE;
    request.filterId = IDS_FILTER_MONITOR_FORMATS;
    request.defaultExtension = QStringLiteral("txt");
    request.filterExtensions = {QStringLiteral("txt"), QStringLiteral("log"), QStringLiteral("asc"),
                                QString()};
    request.save = true;
    int chosen = 0;
    request.chosenFilter = &chosen;
    const QString path = CDialogService::Current().AskFileName(this, request);
    if (chosen >= 0 && chosen < static_cast<int>(std::size(kTypes))) {
        *format = kTypes[chosen];
    } else {
        // All files: the name tells, else the monitor log.
        *format = LogFormatFromExtension(QFile::encodeName(path).toStdString())
                      .value_or(LogFormat::Monitor);
    }
    return path;
}

void CMonitorFrame::SetOrCancelRealtime() {
    CCanManager* manager = Manager();
    if (RealtimeSet()) {
        manager->SetRealtimeLog(std::string());
        realtimeShown_ = false;
        SetPane0(QStringLiteral(" "));
        return;
    }
    LogFormat format = LogFormat::Monitor;
    const QString path = AskSavePath(&format);
    if (path.isEmpty()) {
        return;
    }
    QFile::remove(path);
    // The channel layer would skip every line of a file it cannot open
    // without a word; the user learns it here instead of after the run.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
        ShowFileError(this, IDS_ERR_MONITOR_LOG_OPEN, path);
        return;
    }
    probe.close();
    manager->SetRealtimeLog(QFile::encodeName(path).toStdString(), format);
    const QFileInfo info(path);
    const QString extension = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    SetPane0(res::Resources::Instance().Format(IDS_FMT_MONITOR_SAVING,
                                               info.completeBaseName().toUtf8().constData(),
                                               extension.toUtf8().constData()));
    realtimeShown_ = true;
}

void CMonitorFrame::SaveMonitorLog() {
    CCanManager* manager = Manager();
    LogFormat format = LogFormat::Monitor;
    const QString path = AskSavePath(&format);
    if (path.isEmpty() || manager == nullptr) {
        return;
    }
    bool saved = false;
    {
        WaitCursor wait;
        // One progress report per percent: a report per record of a long list
        // would cost more than the save.
        size_t lastPercent = SIZE_MAX;
        saved = manager->SaveFrameList(
            QFile::encodeName(path).toStdString(),
            [this, &lastPercent](size_t n, size_t count) {
                const size_t percent = count > 0 ? n * 100 / count : 100;
                if (n > 1 && n < count && percent == lastPercent) {
                    return;
                }
                lastPercent = percent;
                CSaveProgressEvent progress(n, count);
                QCoreApplication::sendEvent(this, &progress);
            },
            format);
    }
    if (!saved) {
        EndProgress();
        ShowFileError(this, IDS_ERR_MONITOR_SAVE, path);
    }
}

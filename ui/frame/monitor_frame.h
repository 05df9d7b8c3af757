#pragma once

#include <QEvent>
#include <QPointer>
#include <QProgressBar>
#include <cstddef>

#include "ui/frame/child_frm_base.h"
#include "ui/frame/user_events.h"

enum class LogFormat;

class CCanManager;
class CMessagePane;
class CMonitorList;
class QLabel;

class QStatusBar;
struct AppSettings;

// The progress of a monitor log save: the number of the record just written,
// from 1, and the number of records.
class CSaveProgressEvent : public QEvent {
public:
    CSaveProgressEvent(size_t number, size_t count)
        : QEvent(kEventSaveProgress), number_(number), count_(count) {}
    size_t Number() const { return number_; }
    size_t Count() const { return count_; }

private:
    size_t number_;
    size_t count_;
};

// The monitor window's frame: every received and sent frame, in arrival
// order, refreshed every 100 ms while communicating. Its status bar shows the
// save state (pane 0, with a progress bar while the list is saved) and the
// number of records (pane 1); the message pane shows the decoded signals of
// the selected row.
class CMonitorFrame : public CChildFrmBase {
    Q_OBJECT

public:
    static constexpr int kListControlId = 0xE900;

    explicit CMonitorFrame(QWidget* parent = nullptr);
    ~CMonitorFrame() override;
    static ViewFrameParams FrameParams();

    bool OnFrameCommand(uint32_t id, CCmdUI* ui) override;

    CMonitorList* List() const { return list_; }
    CMessagePane* MessagePane() const { return messagePane_; }
    QStatusBar* StatusBar() const { return statusBar_; }
    QString PaneText(int index) const;
    // The save progress bar of pane 0; null while no save runs.
    QProgressBar* ProgressBar() const { return progress_; }
    // Records removed by clears since creation (command and line limit).
    uint64_t ClearedRecords() const;

protected:
    bool OnCreate() override;
    void OnViewTimer() override;
    void OnSettingsChanged() override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One command of the window: what it does and its state.
    struct Command {
        uint32_t id;
        void (CMonitorFrame::*run)();
        CCmdUI (CMonitorFrame::*state)() const;
    };
    static const Command kCommands[];

    CCanManager* Manager() const;
    AppSettings* Settings() const;
    bool Connected() const;
    bool HasRecords() const;
    bool RealtimeSet() const;

    void ToggleScroll();
    void CopyToClipboard();
    void SetOrCancelRealtime();
    void SaveMonitorLog();
    void ClearMonitor();
    CCmdUI ScrollState() const;
    CCmdUI IdleWithRecordsState() const;
    CCmdUI RealtimeState() const;
    CCmdUI WithRecordsState() const;

    void OnItemChange(int index);
    void OnSaveProgress(size_t number, size_t count);
    void EndProgress();
    void SetPane0(const QString& text);
    void ShowRecordCount();
    // The save-file question of both save commands; empty when cancelled.
    // format receives the log format of the file type chosen.
    QString AskSavePath(LogFormat* format);

    CMonitorList* list_ = nullptr;
    CMessagePane* messagePane_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* pane0_ = nullptr;
    QLabel* pane1_ = nullptr;
    QPointer<QProgressBar> progress_;
    bool realtimeShown_ = false;
    bool autoPaneWidth_ = true;
};

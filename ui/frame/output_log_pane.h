#pragma once

#include <QColor>
#include <QDateTime>
#include <QDockWidget>
#include <QPlainTextEdit>
#include <QTextDocumentFragment>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

class QMenu;

// The program's visible log: one time-stamped line per WriteLog call,
// coloured by its level, in a read-only text control at the bottom of the
// main frame.
//
// AddLogLine may be called from any thread. It only queues the line and
// returns; the user-interface thread appends the queued lines in one batch
// per turn of its event loop, so a worker never waits for the window (a stop
// that joins a logging worker cannot deadlock) and a burst of thousands of
// lines costs one layout pass instead of thousands.
//
// The control keeps the newest kMaxLines lines; older ones are dropped from
// the top. The queue is bounded the same way, so a flood while the window is
// busy cannot grow memory without limit: a line that would be trimmed from
// the control anyway is dropped before it is ever shown.
class COutputLogPane : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kMaxLines = 20000;
    static constexpr int kFlushDelayMs = 20;

    explicit COutputLogPane(QWidget* parent = nullptr);
    ~COutputLogPane() override;

    // Queues one line; callable from any thread.
    void AddLogLine(int level, const std::string& text);

    // The level's letter: "I", "D", "W", "E", or " " for any other level.
    static QChar LevelLetter(int level);
    // The level's text colour; level 0 takes the palette's window text.
    static QColor LevelColor(int level, const QPalette& palette);
    // "yyyy/MM/dd hh:mm:ss:zzz [L] text", the text as given (callers end it
    // with a line break; none is added here).
    static QString FormatLine(int level, const QString& text, const QDateTime& time);

    // Appends every queued line now (user-interface thread). Returns the
    // number of lines taken from the queue.
    int FlushPending();
    // Lines waiting in the queue and lines dropped from it so far.
    size_t PendingCount() const;
    uint64_t DroppedCount() const;

    QPlainTextEdit* Edit() const { return edit_; }
    // Number of complete lines in the control.
    int LineCount() const;

    // The commands of the context menu (menu 116).
    bool CanCopy() const;
    bool HasText() const;
    void Copy();
    void SelectAll();
    // Empties the log; Undo brings the cleared lines back in front of the
    // lines written since.
    void ClearAll();
    bool CanUndo() const { return !undoFragment_.isEmpty(); }
    void Undo();

    // The context menu with its command states set, owned by the caller.
    QMenu* CreateContextMenu(QWidget* parent);

private:
    struct PendingLine {
        int level;
        QString line;
    };

    void ScheduleFlush();
    void AppendLines(std::deque<PendingLine>& lines);
    void ShowContextMenu(const QPoint& pos);
    void OnCommand(uint32_t id);

    QPlainTextEdit* edit_;
    QFont font_;
    QTimer flushTimer_;
    QTextDocumentFragment undoFragment_;

    mutable std::mutex mutex_;
    std::deque<PendingLine> pending_;  // guarded by mutex_
    bool flushPosted_ = false;         // guarded by mutex_
    uint64_t dropped_ = 0;             // guarded by mutex_
};

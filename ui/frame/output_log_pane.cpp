#include "ui/frame/output_log_pane.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>

#include "res/ids.h"
#include "res/menu_builder.h"

namespace {

// The log's own colours; level 0 follows the window text of the look.
const QColor kDebugColor(0, 100, 0);
const QColor kWarningColor(139, 139, 0);
const QColor kErrorColor(255, 0, 0);
const QColor kOtherColor(0, 0, 0);

QFont LogFont() {
    // A fixed-pitch copy of the interface font, one unit larger. The face of
    // the original platform comes first where it is installed.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("Noto Sans Mono CJK JP"),
                      QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    if (font.pixelSize() > 0) {
        font.setPixelSize(font.pixelSize() + 1);
    } else if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() + 1);
    }
    return font;
}

}  // namespace

COutputLogPane::COutputLogPane(QWidget* parent) : QDockWidget(parent), edit_(new QPlainTextEdit) {
    setObjectName(QStringLiteral("COutputLogPane"));
    edit_->setObjectName(QStringLiteral("COutputLogEdit"));
    edit_->setReadOnly(true);
    edit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit_->setUndoRedoEnabled(false);  // appends never go to an undo stack
    // One block per line plus the empty block behind the last line break.
    edit_->setMaximumBlockCount(kMaxLines + 1);
    font_ = LogFont();
    edit_->setFont(font_);
    edit_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit_, &QWidget::customContextMenuRequested, this, &COutputLogPane::ShowContextMenu);
    setWidget(edit_);

    auto* undo = new QAction(edit_);
    undo->setShortcut(QKeySequence::Undo);
    undo->setShortcutContext(Qt::WidgetShortcut);
    connect(undo, &QAction::triggered, this, &COutputLogPane::Undo);
    edit_->addAction(undo);

    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(kFlushDelayMs);
    connect(&flushTimer_, &QTimer::timeout, this, [this] { FlushPending(); });
}

COutputLogPane::~COutputLogPane() = default;

QChar COutputLogPane::LevelLetter(int level) {
    switch (level) {
        case 0:
            return u'I';
        case 1:
            return u'D';
        case 2:
            return u'W';
        case 3:
            return u'E';
        default:
            return u' ';
    }
}

QColor COutputLogPane::LevelColor(int level, const QPalette& palette) {
    switch (level) {
        case 0:
            return palette.color(QPalette::Active, QPalette::Text);
        case 1:
            return kDebugColor;
        case 2:
            return kWarningColor;
        case 3:
            return kErrorColor;
        default:
            return kOtherColor;
    }
}

QString COutputLogPane::FormatLine(int level, const QString& text, const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    return QString::asprintf("%04d/%02d/%02d %02d:%02d:%02d:%03d [%c] ", d.year(), d.month(),
                             d.day(), t.hour(), t.minute(), t.second(), t.msec(),
                             LevelLetter(level).toLatin1()) +
           text;
}

void COutputLogPane::AddLogLine(int level, const std::string& text) {
    // Formatting happens here so that the time is the moment of the call.
    QString line = FormatLine(level, QString::fromStdString(text), QDateTime::currentDateTime());
    bool post = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.push_back({level, std::move(line)});
        while (pending_.size() > static_cast<size_t>(kMaxLines)) {
            pending_.pop_front();
            ++dropped_;
        }
        if (!flushPosted_) {
            flushPosted_ = true;
            post = true;
        }
    }
    if (post) {
        // Queued even on the user-interface thread: a caller inside a paint
        // or a model update must not see the control change under it.
        QMetaObject::invokeMethod(this, &COutputLogPane::ScheduleFlush, Qt::QueuedConnection);
    }
}

void COutputLogPane::ScheduleFlush() {
    if (!flushTimer_.isActive()) {
        flushTimer_.start();
    }
}

int COutputLogPane::FlushPending() {
    std::deque<PendingLine> lines;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines.swap(pending_);
        flushPosted_ = false;
    }
    flushTimer_.stop();
    const int count = static_cast<int>(lines.size());
    if (count > 0) {
        AppendLines(lines);
    }
    return count;
}

void COutputLogPane::AppendLines(std::deque<PendingLine>& lines) {
    QTextCursor user = edit_->textCursor();
    const bool follow = !user.hasSelection();
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    QTextCharFormat format;
    for (const PendingLine& pending : lines) {
        // Each line gets exactly its own colour, wherever the user's caret is.
        format.setForeground(LevelColor(pending.level, edit_->palette()));
        cursor.insertText(pending.line, format);
    }
    cursor.endEditBlock();
    if (follow) {
        // The caret goes behind the newest line so that the view follows it.
        user.movePosition(QTextCursor::End);
        edit_->setTextCursor(user);
        edit_->ensureCursorVisible();
    }
}

size_t COutputLogPane::PendingCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_.size();
}

uint64_t COutputLogPane::DroppedCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

int COutputLogPane::LineCount() const {
    // The last block is the empty one behind the final line break.
    const QTextDocument* document = edit_->document();
    int blocks = document->blockCount();
    if (document->lastBlock().length() <= 1) {
        --blocks;
    }
    return blocks;
}

bool COutputLogPane::CanCopy() const {
    return edit_->textCursor().hasSelection();
}

bool COutputLogPane::HasText() const {
    return !edit_->document()->isEmpty();
}

void COutputLogPane::Copy() {
    edit_->copy();
}

void COutputLogPane::SelectAll() {
    edit_->selectAll();
}

void COutputLogPane::ClearAll() {
    if (!HasText()) {
        return;
    }
    undoFragment_ = QTextDocumentFragment(edit_->document());
    edit_->clear();
}

void COutputLogPane::Undo() {
    if (undoFragment_.isEmpty()) {
        return;
    }
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.insertFragment(undoFragment_);
    undoFragment_ = QTextDocumentFragment();
    // The restored lines and the new ones together obey the line bound.
    QTextCursor end = edit_->textCursor();
    end.movePosition(QTextCursor::End);
    edit_->setTextCursor(end);
}

QMenu* COutputLogPane::CreateContextMenu(QWidget* parent) {
    res::ActionFactory factory = [this](uint32_t id, QObject* owner) {
        auto* action = new QAction(owner);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        return action;
    };
    QMenu* menu = res::BuildPopupMenu(IDR_POPUP_EDIT, parent, factory);
    if (menu == nullptr) {
        return nullptr;
    }
    for (QAction* action : menu->actions()) {
        switch (action->data().toUInt()) {
            case ID_EDIT_COPY:
                action->setEnabled(CanCopy());
                break;
            case ID_EDIT_SELECT_ALL:
            case ID_EDIT_CLEAR_ALL:
                action->setEnabled(HasText());
                break;
            default:
                break;
        }
    }
    return menu;
}

void COutputLogPane::ShowContextMenu(const QPoint& pos) {
    QMenu* menu = CreateContextMenu(this);
    if (menu == nullptr) {
        return;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    edit_->setFocus();
    menu->popup(edit_->viewport()->mapToGlobal(pos));
}

void COutputLogPane::OnCommand(uint32_t id) {
    switch (id) {
        case ID_EDIT_COPY:
            Copy();
            break;
        case ID_EDIT_SELECT_ALL:
            SelectAll();
            break;
        case ID_EDIT_CLEAR_ALL:
            ClearAll();
            break;
        default:
            break;
    }
}

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "can/write_log.h"
#include "res/ids.h"
#include "res/resources.h"
#include "ui/frame/output_log_pane.h"

namespace {

QColor BlockColor(const QTextBlock& block) {
    // The colour of the first character of the line.
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        return it.fragment().charFormat().foreground().color();
    }
    return {};
}

QAction* ActionOf(QMenu* menu, uint32_t id) {
    for (QAction* action : menu->actions()) {
        if (action->data().toUInt() == id) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace

class OutputLogPaneTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void levelLook_data();
    void levelLook();
    void lineFormat();
    void writeLogReachesPaneColoured();
    void linesWithoutSinkGoElsewhere();
    void floodFromThreadsStaysBounded();
    void stopJoiningLoggingWorkersDoesNotDeadlock();
    void contextMenuStatesAndCommands();
    void clearAllIsUndoable();
    void userSelectionSurvivesAppends();
    void destroyedWithQueuedLines();
};

void OutputLogPaneTest::levelLook_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QColor>("colour");
    const QColor text = QApplication::palette().color(QPalette::Active, QPalette::Text);
    QTest::newRow("info") << 0 << "I" << text;
    QTest::newRow("debug") << 1 << "D" << QColor(0, 100, 0);
    QTest::newRow("warning") << 2 << "W" << QColor(139, 139, 0);
    QTest::newRow("error") << 3 << "E" << QColor(255, 0, 0);
    QTest::newRow("seven") << 7 << " " << QColor(0, 0, 0);
    QTest::newRow("negative") << -1 << " " << QColor(0, 0, 0);
}

void OutputLogPaneTest::levelLook() {
    QFETCH(int, level);
    QFETCH(QString, letter);
    QFETCH(QColor, colour);
    QCOMPARE(QString(COutputLogPane::LevelLetter(level)), letter);
    QCOMPARE(COutputLogPane::LevelColor(level, QApplication::palette()), colour);

    COutputLogPane pane;
    pane.AddLogLine(level, "text\n");
    QCOMPARE(pane.FlushPending(), 1);
    const QTextBlock block = pane.Edit()->document()->firstBlock();
    QVERIFY(block.text().endsWith(QStringLiteral("[%1] text").arg(letter)));
    QCOMPARE(BlockColor(block), COutputLogPane::LevelColor(level, pane.Edit()->palette()));
}

void OutputLogPaneTest::lineFormat() {
    const QDateTime time(QDate(2026, 3, 4), QTime(5, 6, 7, 89));
    QCOMPARE(COutputLogPane::FormatLine(2, QStringLiteral("CAN1 [canBusOn] succeed.\n"), time),
             QStringLiteral("2026/03/04 05:06:07:089 [W] CAN1 [canBusOn] succeed.\n"));
    // The text is taken as given: no break added, a "%" is not a format.
    QCOMPARE(COutputLogPane::FormatLine(0, QStringLiteral("100%s"), time),
             QStringLiteral("2026/03/04 05:06:07:089 [I] 100%s"));
}

void OutputLogPaneTest::writeLogReachesPaneColoured() {
    COutputLogPane pane;
    SetLogSink([&pane](int level, const std::string& text) { pane.AddLogLine(level, text); });
    WriteLog(3, "CAN%d [%s] %s\n", 2, "canBusOff", "error text");
    WriteLog(7, "odd level\n");
    SetLogSink({});
    // Delivered by the event loop, not by the call.
    QCOMPARE(pane.LineCount(), 0);
    QTRY_COMPARE(pane.LineCount(), 2);
    const QTextBlock first = pane.Edit()->document()->firstBlock();
    QVERIFY(first.text().endsWith(QStringLiteral("[E] CAN2 [canBusOff] error text")));
    QCOMPARE(BlockColor(first), QColor(255, 0, 0));
    QVERIFY(first.next().text().endsWith(QStringLiteral("[ ] odd level")));
    QCOMPARE(BlockColor(first.next()), QColor(0, 0, 0));
}

void OutputLogPaneTest::linesWithoutSinkGoElsewhere() {
    COutputLogPane pane;
    SetLogSink([&pane](int level, const std::string& text) { pane.AddLogLine(level, text); });
    SetLogSink({});
    WriteLog(0, "after the pane went away\n");
    QTest::qWait(3 * COutputLogPane::kFlushDelayMs);
    QCOMPARE(pane.LineCount(), 0);
}

void OutputLogPaneTest::floodFromThreadsStaysBounded() {
    COutputLogPane pane;
    constexpr int kThreads = 4;
    constexpr int kLines = 15000;  // 60000 lines, three times the bound
    std::atomic<int> done{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&pane, &done, t] {
            for (int i = 0; i < kLines; ++i) {
                pane.AddLogLine(
                    i % 4, "thread " + std::to_string(t) + " line " + std::to_string(i) + "\n");
            }
            ++done;
        });
    }
    size_t maxPending = 0;
    while (done.load() < kThreads) {
        maxPending = std::max(maxPending, pane.PendingCount());
        QCoreApplication::processEvents();
    }
    for (auto& thread : threads) {
        thread.join();
    }
    QTRY_COMPARE(pane.PendingCount(), size_t{0});
    QVERIFY(maxPending <= static_cast<size_t>(COutputLogPane::kMaxLines));
    QCOMPARE(pane.LineCount(), COutputLogPane::kMaxLines);
    // The newest line is the final line of the thread that ended last, and
    // each thread's lines keep their order.
    const QString all = pane.Edit()->toPlainText();
    QVERIFY(all.endsWith(QStringLiteral(" line %1\n").arg(kLines - 1)));
    std::vector<int> lastSeen(kThreads, -1);
    for (const QString& line : all.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList words = line.split(u' ');
        const int t = words[words.size() - 3].toInt();
        const int i = words.last().toInt();
        QVERIFY(i > lastSeen[t]);
        lastSeen[t] = i;
    }
    // Every line keeps the colour of its own level.
    const QTextBlock last = pane.Edit()->document()->lastBlock().previous();
    const int level = last.text().contains(QStringLiteral("[E]"))   ? 3
                      : last.text().contains(QStringLiteral("[W]")) ? 2
                      : last.text().contains(QStringLiteral("[D]")) ? 1
                                                                    : 0;
    QCOMPARE(BlockColor(last), COutputLogPane::LevelColor(level, pane.Edit()->palette()));
}

void OutputLogPaneTest::stopJoiningLoggingWorkersDoesNotDeadlock() {
    // The stop of communication takes the manager lock and joins workers
    // that log while they hold it; the user-interface thread does not run
    // its event loop meanwhile. Delivery must not need it.
    COutputLogPane pane;
    SetLogSink([&pane](int level, const std::string& text) { pane.AddLogLine(level, text); });
    std::mutex managerLock;
    std::atomic<bool> stop{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t) {
        workers.emplace_back([&, t] {
            while (!stop.load()) {
                std::lock_guard<std::mutex> lock(managerLock);
                WriteLog(3, "CAN%d [canRead] failing\n", t + 1);
            }
            WriteLog(0, "CAN%d worker ends\n", t + 1);
        });
    }
    QTest::qWait(50);
    {
        std::lock_guard<std::mutex> lock(managerLock);
        stop = true;
    }
    for (auto& worker : workers) {
        worker.join();  // would hang forever with synchronous delivery
    }
    SetLogSink({});
    QTRY_COMPARE(pane.PendingCount(), size_t{0});
    const QString all = pane.Edit()->toPlainText();
    for (int t = 1; t <= 3; ++t) {
        QVERIFY(all.contains(QStringLiteral("[I] CAN%1 worker ends").arg(t)));
    }
}

void OutputLogPaneTest::contextMenuStatesAndCommands() {
    COutputLogPane pane;
    QMenu* empty = pane.CreateContextMenu(&pane);
    QVERIFY(empty != nullptr);
    const auto& resources = res::Resources::Instance();
    // The entries come from menu 116 in its order.
    QCOMPARE(empty->actions().size(), 3);
    QCOMPARE(empty->actions()[0]->data().toUInt(), uint32_t{ID_EDIT_COPY});
    QCOMPARE(empty->actions()[1]->data().toUInt(), uint32_t{ID_EDIT_SELECT_ALL});
    QCOMPARE(empty->actions()[2]->data().toUInt(), uint32_t{ID_EDIT_CLEAR_ALL});
    QVERIFY(resources.Menu(IDR_POPUP_EDIT) != nullptr);
    for (QAction* action : empty->actions()) {
        QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
    }
    delete empty;

    pane.AddLogLine(0, "first\n");
    pane.AddLogLine(1, "second\n");
    pane.FlushPending();
    QMenu* menu = pane.CreateContextMenu(&pane);
    QVERIFY(!ActionOf(menu, ID_EDIT_COPY)->isEnabled());  // nothing selected
    QVERIFY(ActionOf(menu, ID_EDIT_SELECT_ALL)->isEnabled());
    QVERIFY(ActionOf(menu, ID_EDIT_CLEAR_ALL)->isEnabled());
    ActionOf(menu, ID_EDIT_SELECT_ALL)->trigger();
    delete menu;

    menu = pane.CreateContextMenu(&pane);
    QVERIFY(ActionOf(menu, ID_EDIT_COPY)->isEnabled());
    QApplication::clipboard()->clear();
    ActionOf(menu, ID_EDIT_COPY)->trigger();
    const QString copied = QApplication::clipboard()->text();
    QVERIFY(copied.contains(QStringLiteral("[I] first")));
    QVERIFY(copied.contains(QStringLiteral("[D] second")));
    ActionOf(menu, ID_EDIT_CLEAR_ALL)->trigger();
    QVERIFY(!pane.HasText());
    delete menu;
}

void OutputLogPaneTest::clearAllIsUndoable() {
    COutputLogPane pane;
    pane.ClearAll();  // nothing to clear: nothing to undo
    QVERIFY(!pane.CanUndo());
    pane.AddLogLine(3, "red\n");
    pane.AddLogLine(0, "plain\n");
    pane.FlushPending();
    const QString before = pane.Edit()->toPlainText();
    pane.ClearAll();
    QCOMPARE(pane.LineCount(), 0);
    QVERIFY(pane.CanUndo());
    pane.AddLogLine(2, "after\n");
    pane.FlushPending();
    // Undo brings the cleared lines back in front.
    pane.Undo();
    QVERIFY(!pane.CanUndo());
    const QString all = pane.Edit()->toPlainText();
    QVERIFY(all.startsWith(before));
    QVERIFY(all.endsWith(QStringLiteral("[W] after\n")));
    QCOMPARE(pane.LineCount(), 3);
    QCOMPARE(BlockColor(pane.Edit()->document()->firstBlock()), QColor(255, 0, 0));
}

void OutputLogPaneTest::userSelectionSurvivesAppends() {
    COutputLogPane pane;
    pane.AddLogLine(0, "one\n");
    pane.FlushPending();
    QTextCursor cursor = pane.Edit()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    pane.Edit()->setTextCursor(cursor);
    const QString selected = pane.Edit()->textCursor().selectedText();
    pane.AddLogLine(3, "two\n");
    pane.FlushPending();
    // A line arriving while the user selects text for copying keeps the
    // selection and takes only its own colour.
    QCOMPARE(pane.Edit()->textCursor().selectedText(), selected);
    QCOMPARE(BlockColor(pane.Edit()->document()->firstBlock()),
             COutputLogPane::LevelColor(0, pane.Edit()->palette()));
    QCOMPARE(BlockColor(pane.Edit()->document()->firstBlock().next()), QColor(255, 0, 0));
}

void OutputLogPaneTest::destroyedWithQueuedLines() {
    auto* pane = new COutputLogPane;
    std::thread worker([pane] {
        for (int i = 0; i < 1000; ++i) {
            pane->AddLogLine(0, "queued\n");
        }
    });
    worker.join();
    delete pane;  // the posted flush dies with it
    QTest::qWait(2 * COutputLogPane::kFlushDelayMs);
}

QTEST_MAIN(OutputLogPaneTest)
#include "output_log_pane_test.moc"

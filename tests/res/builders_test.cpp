// Menus, toolbars and accelerators built from the built-in set, and the
// icons drawn from its vector images.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "res/ids.h"
#include "res/menu_builder.h"
#include "res/resources.h"
#include "res/shortcut_builder.h"
#include "res/toolbar_builder.h"

namespace {

QStringList TopLevelTitles(QMenuBar* bar) {
    QStringList titles;
    for (QAction* action : bar->actions()) {
        titles << action->text();
    }
    return titles;
}

// Counts pixels that differ from the first one: a blank image has none.
int InkedPixels(const QImage& image) {
    const QRgb background = image.pixel(0, 0);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) != background ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

class BuildersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mainMenuHasTheTopLevelPopupsInOrder() {
        QMenuBar bar;
        QVERIFY(res::FillMenuBar(&bar, IDR_MAINFRAME));
        const QStringList titles = TopLevelTitles(&bar);
        QCOMPARE(titles.size(), 9);
        QCOMPARE(titles.first(), QStringLiteral("ファイル(&F)"));
        QCOMPARE(titles.at(1), QStringLiteral("通信(&C)"));
        QCOMPARE(titles.last(), QStringLiteral("ヘルプ(&H)"));

        // The child frames' menu is the same without the recent-database popup.
        QMenuBar child;
        QVERIFY(res::FillMenuBar(&child, IDR_SorvaneTYPE));
        QVERIFY(res::FindSubMenuOf(&bar, ID_CANDB_RECENT1) != nullptr);
        QVERIFY(res::FindSubMenuOf(&child, ID_CANDB_RECENT1) == nullptr);
        QVERIFY(TopLevelTitles(&child).contains(QStringLiteral("モニタ(&N)")));
    }

    void unknownResourcesGiveNothing() {
        QMenuBar bar;
        QVERIFY(!res::FillMenuBar(&bar, 4242));
        QVERIFY(bar.actions().isEmpty());
        QWidget parent;
        QVERIFY(res::BuildPopupMenu(4242, &parent) == nullptr);
        QVERIFY(res::BuildPopupMenu(IDR_MENU_MONITOR, &parent, {}, 7) == nullptr);
        QVERIFY(res::BuildToolBar(4242, &parent) == nullptr);
    }

    void actionsCarryCommandPromptAndTooltip() {
        QMenuBar bar;
        QVERIFY(res::FillMenuBar(&bar, IDR_MAINFRAME));
        QMenu* comm = res::FindSubMenuOf(&bar, ID_COMM_START);
        QVERIFY(comm != nullptr);
        QAction* start = nullptr;
        for (QAction* action : comm->actions()) {
            if (action->data().toUInt() == ID_COMM_START) {
                start = action;
            }
        }
        QVERIFY(start != nullptr);
        QCOMPARE(start->statusTip(),
                 QStringLiteral("動作環境で有効にしたCANに接続し通信を開始します"));
        QCOMPARE(start->toolTip(), QStringLiteral("通信開始"));
        // Keys come from the accelerator table only, never from the action.
        QVERIFY(start->shortcut().isEmpty());
    }

    void factoryDecidesWhichActionsExist() {
        QWidget parent;
        int asked = 0;
        res::ActionFactory onlyStart = [&](uint32_t id, QObject* owner) -> QAction* {
            ++asked;
            return id == ID_COMM_START ? new QAction(owner) : nullptr;
        };
        QToolBar* bar = res::BuildToolBar(IDR_MAINFRAME, &parent, onlyStart);
        QVERIFY(bar != nullptr);
        QCOMPARE(asked, 5);
        QVERIFY(res::FindCommandAction(bar, ID_COMM_START) != nullptr);
        QVERIFY(res::FindCommandAction(bar, ID_COMM_STOP) == nullptr);
    }

    void mainToolbarHasItsTabSeparatedLabels() {
        QMainWindow window;
        QToolBar* bar = res::BuildToolBar(IDR_MAINFRAME, &window, {}, IDS_TOOLBAR_LABELS);
        QVERIFY(bar != nullptr);
        QCOMPARE(bar->iconSize(), QSize(32, 32));
        QStringList labels;
        int separators = 0;
        for (QAction* action : bar->actions()) {
            if (action->isSeparator()) {
                ++separators;
            } else {
                labels << action->text();
            }
        }
        QCOMPARE(separators, 3);
        QCOMPARE(labels.size(), 5);
        QCOMPARE(labels.first(), QStringLiteral("CANdbファイル\nのオープン"));
        QCOMPARE(labels.last(), QStringLiteral("環境\n設定"));
        QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }

    void accelerateKeysReachTheHandler() {
        QMainWindow window;
        QList<uint32_t> received;
        const QList<QShortcut*> keys = res::InstallShortcuts(
            IDR_MAINFRAME, &window, [&](uint32_t command) { received << command; });
        QCOMPARE(keys.size(), 6);
        for (QShortcut* key : keys) {
            if (key->key() == QKeySequence(Qt::SHIFT | Qt::Key_F2)) {
                Q_EMIT key->activated();
            }
        }
        QCOMPARE(received, QList<uint32_t>{ID_COMM_STOP});
    }

    void toolbarIconsAreCrispAtTwiceTheSizeAndHaveADisabledLook() {
        res::Resources& resources = res::Resources::Instance();
        const QIcon icon = resources.CellIcon(IDR_MAINFRAME, 0, IDB_MAINFRAME_DISABLED);
        QVERIFY(!icon.isNull());
        const QImage normal1x = icon.pixmap(QSize(32, 32), 1.0).toImage();
        const QImage normal2x = icon.pixmap(QSize(32, 32), 2.0).toImage();
        const QImage disabled = icon.pixmap(QSize(32, 32), 1.0, QIcon::Disabled).toImage();
        QCOMPARE(normal1x.size(), QSize(32, 32));
        QCOMPARE(normal2x.size(), QSize(64, 64));
        QVERIFY(InkedPixels(normal1x) > 50);
        // Drawn again at 2x rather than scaled up: more detail than four times a 1x pixel.
        QVERIFY(InkedPixels(normal2x) > 3 * InkedPixels(normal1x));
        QVERIFY(normal1x != disabled);
        QVERIFY(InkedPixels(disabled) > 0);
    }

    void everyWindowIconAndPictureDraws() {
        res::Resources& resources = res::Resources::Instance();
        for (uint32_t id :
             {IDR_MAINFRAME, IDI_MONITOR, IDI_STATISTICS, IDI_BUSLOAD, IDI_MESSAGEINFO}) {
            const QIcon icon = resources.Icon(id);
            QVERIFY2(!icon.isNull(), qPrintable(QString::number(id)));
            QVERIFY(InkedPixels(icon.pixmap(QSize(16, 16)).toImage()) > 10);
        }
        for (uint32_t id :
             {IDB_ABOUT_DAY, IDB_ABOUT_EVENING, IDB_ABOUT_NIGHT, IDB_CANDB_TREE, IDB_MENU_IMAGES}) {
            const QImage image = resources.Image(id);
            QVERIFY2(!image.isNull(), qPrintable(QString::number(id)));
            QVERIFY(InkedPixels(image) > 10);
        }
        QCOMPARE(resources.ImageCellSize(IDB_CANDB_TREE), QSize(16, 16));
        QVERIFY(resources.Image(4242).isNull());
    }
};

QTEST_MAIN(BuildersTest)
#include "builders_test.moc"

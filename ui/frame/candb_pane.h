#pragma once

#include <QDockWidget>
#include <QString>
#include <QStringList>

class QTreeWidget;

// The dockable pane on the left that lists the messages of the CANdb file
// opened last: one root and one child per message. The main frame fills it.
class CCANdbPane : public QDockWidget {
    Q_OBJECT

public:
    explicit CCANdbPane(QWidget* parent = nullptr);

    // Replaces the whole tree: the root text, then one child per message.
    void Fill(const QString& root, const QStringList& messages);
    QTreeWidget* Tree() const { return tree_; }

private:
    QTreeWidget* tree_;
};

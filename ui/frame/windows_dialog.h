#pragma once

#include <QDialog>

class QListWidget;
class QMdiArea;

// The windows dialog of the view menu: every view frame by its title,
// minimised ones included; the chosen one is restored and activated.
class CWindowsDialog : public QDialog {
    Q_OBJECT

public:
    CWindowsDialog(QMdiArea* area, QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    // Restores and activates the selected frame; false when none is selected.
    bool ActivateSelected();

private:
    QMdiArea* area_;
    QListWidget* list_;
};

#pragma once

#include <QDialog>
#include <vector>

#include "ui/dialogs/option_page.h"

class QPushButton;
class QTabWidget;
class COptionPageCan;
class COptionPageCommon;

// The options sheet: the Common page, the colour page's place and the five
// channel pages, in that order, with OK and Cancel (no Apply, no Help). It
// opens on the page that was active last time during this run.
//
// OK first checks every page that was shown, in page order; the first that
// fails keeps the sheet open on that page with its message and focus, and
// nothing is applied. Only when all pass are they applied, in page order.
class COptionPropSheet : public QDialog {
    Q_OBJECT
public:
    explicit COptionPropSheet(const COptionContext& context, QWidget* parent = nullptr);

    // Puts a page in the sheet at its place by position (a page of another
    // issue, such as the colour page at position 1, joins this way). The
    // sheet takes ownership.
    void InsertPage(COptionPage* page);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    COptionPage* Page(int tab) const;
    COptionPage* ActivePage() const;
    void SetActivePage(const COptionPage* page);
    COptionPageCommon* CommonPage() const { return common_; }
    COptionPageCan* CanPage(int index) const;
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    const COptionContext& Context() const { return context_; }

    // The position of the page active last during this run (Common at first).
    static int LastPagePosition();
    static void SetLastPagePosition(int position);

    void accept() override;
    void setVisible(bool visible) override;

private:
    void OnPageActivated(int tab);

    COptionContext context_;
    QTabWidget* tabs_;
    QPushButton* ok_;
    QPushButton* cancel_;
    std::vector<COptionPage*> pages_;  // in tab order
    COptionPageCommon* common_ = nullptr;
    COptionPageCan* can_[5] = {};
    bool opened_ = false;
};

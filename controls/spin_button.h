#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// An up-down control beside an edit field. Each step first reports its
// delta; with a buddy integer it then reads the buddy's number, steps it
// within the range (wrapping when asked) and writes it back.
//
// The range keeps the reversed default of the classic control (lower 100,
// upper 0): the up arrow moves towards upper, so its delta is -1 until a
// range with upper above lower is set.
class CSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit CSpinButton(QWidget* parent = nullptr);

    // The edit the control steps; the Up and Down keys in it step as well.
    // With setBuddyInt the buddy's text follows every step.
    void SetBuddy(QLineEdit* buddy, bool setBuddyInt);
    QLineEdit* Buddy() const { return buddy_; }
    void SetRange(int lower, int upper);
    int Lower() const { return lower_; }
    int Upper() const { return upper_; }
    void SetWrap(bool wrap) { wrap_ = wrap; }
    bool Wrap() const { return wrap_; }
    int Position() const { return position_; }

    // One step as the up (true) or down arrow gives it.
    void Step(bool up);

    QSize sizeHint() const override;

Q_SIGNALS:
    // Sent before the position changes: the proposed change (+1 or -1).
    void DeltaPos(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
    QLineEdit* buddy_ = nullptr;
    bool buddyInt_ = false;
    bool wrap_ = false;
    int lower_ = 100;
    int upper_ = 0;
    int position_ = 0;
};

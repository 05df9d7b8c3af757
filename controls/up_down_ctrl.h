#pragma once

#include <QWidget>

class QToolButton;

// Two stacked arrow buttons beside an edit box. They keep no position of
// their own: each step is reported as a delta, -1 for the upper arrow and +1
// for the lower one, as an up-down control with its default range reports
// it; the owner decides what a step does. The arrows repeat while held.
class CUpDownCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CUpDownCtrl(QWidget* parent = nullptr);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

Q_SIGNALS:
    void deltaPos(int delta);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

#pragma once

#include <QGroupBox>
#include <QRect>
#include <functional>

// A group box whose inner controls are its siblings lying inside its
// rectangle (dialog layout), not its children. When propagation is on, the
// box carries its explicit enabled state, visibility and moves over to them.
class CGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit CGroupBox(QWidget* parent = nullptr);
    CGroupBox(const QString& title, QWidget* parent);

    // Controls with only their top-left or bottom-right corner inside count.
    void SetIncludePartial(bool on) { includePartial_ = on; }
    // Walk only the siblings after the box and stop at the first outside it.
    void SetFollowingOnly(bool on) { followingOnly_ = on; }
    void SetPropagation(bool on) { propagation_ = on; }
    bool IncludePartial() const { return includePartial_; }
    bool FollowingOnly() const { return followingOnly_; }
    bool Propagation() const { return propagation_; }

    // Applies action to every inner control of rect (the box's own rectangle
    // when empty); an action returning false ends the walk. Returns the
    // number of controls the action was applied to.
    int ForEachInner(const std::function<bool(QWidget*)>& action, QRect rect = QRect()) const;

    void setVisible(bool visible) override;

protected:
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool includePartial_ = false;
    bool followingOnly_ = false;
    bool propagation_ = false;
    bool explicitEnabled_ = true;
    QRect lastGeometry_;
};

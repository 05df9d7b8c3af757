#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include "controls/dib_section.h"
#include "controls/plasma_routine.h"
#include "controls/water_routine.h"

// A picture that ripples like water where the mouse touches it, with a
// colour plasma faded in on top. The effect runs on its own 40 ms timer from
// the moment a source picture is set; without one the control shows nothing.
class CWaterDropCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kEffectTimerId = 1000;
    static constexpr int kEffectPeriodMs = 40;
    // Drops: a click or a drag, a plain mouse move, a random drop.
    static constexpr int kClickRadius = 50;
    static constexpr int kClickHeight = 500;
    static constexpr int kMoveRadius = 5;
    static constexpr int kMoveHeight = 50;

    explicit CWaterDropCtrl(QWidget* parent = nullptr);

    // The picture the effect runs over (a copy); the render picture starts
    // as its copy. False, and nothing shown, for a null picture.
    bool SetSource(const QImage& bitmap);
    bool HasSource() const { return !source_.IsNull(); }
    // Starts the effect timer and runs one step at once; nothing without a source.
    void StartEffect();
    void StopEffect();
    bool TimerStarted() const { return timerStarted_; }
    bool TimerActive() const { return timer_.isActive(); }
    const QTimer& EffectTimer() const { return timer_; }

    // One effect step: water (or the plain source), plasma blend and step,
    // repaint, perhaps a random drop. Nothing while the effect is inactive.
    void Step();
    // A drop into the water at a picture point.
    void Drop(int x, int y, int radius, int height);
    // Flat water, and the source shown again as it is.
    void ClearWater() { water_.ClearFields(); }
    void RestoreSource();

    void SetEffectActive(bool on) { effectActive_ = on; }
    bool EffectActive() const { return effectActive_; }
    void SetWaterEnabled(bool on) { waterEnabled_ = on; }
    void SetPlasmaEnabled(bool on) { plasmaEnabled_ = on; }
    void SetRandomDrops(bool on) { randomDrops_ = on; }
    void SetPlasmaLevel(int alpha) { plasma_.SetAlpha(alpha); }
    int PlasmaLevel() const { return plasma_.Alpha(); }

    const QImage& SourceImage() const { return source_.Image(); }
    const QImage& RenderImage() const { return render_.Image(); }
    CWaterRoutine& Water() { return water_; }
    const CPlasmaRoutine& Plasma() const { return plasma_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool AcceptsDrops() const { return effectActive_ && waterEnabled_ && HasSource(); }
    void DropAt(QPoint point, int radius, int height);

    QTimer timer_;
    bool timerStarted_ = false;
    bool randomDrops_ = false;
    bool effectActive_ = true;
    bool waterEnabled_ = true;
    bool plasmaEnabled_ = true;
    CDIBSection source_;
    CDIBSection render_;
    CWaterRoutine water_;
    CPlasmaRoutine plasma_;
};

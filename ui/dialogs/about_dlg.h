#pragma once

#include <QDialog>
#include <QTime>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "ui/dialogs/version_report.h"

class QLabel;
class QPushButton;
class CCopyrightLink;
class CStaticTreeCtrl;
class CWaterDropCtrl;

// The about box: the product line, a picture of the time of day rippling
// under the mouse with a plasma that fades in, the version report of the
// program, its language libraries and the two vendor libraries, and the
// credit link.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPlasmaTimerId = 1005;
    static constexpr int kPlasmaPeriodMs = 2000;
    static constexpr int kPlasmaStep = 3;
    // The last level that is raised once more: the fade-in ends at 54.
    static constexpr int kPlasmaLastRaised = 51;
    // Shown in grey: a version that is not known.
    static constexpr uint32_t kUnknownColor = 0x00C0C0C0;

    // clock gives the local time that picks the picture (now when empty).
    explicit CAboutDlg(const AboutVersions& versions, QWidget* parent = nullptr,
                       std::function<QTime()> clock = {});
    ~CAboutDlg() override;

    // The picture of an hour: night 0..7, day 8..15, evening 16..23.
    static uint32_t PictureForHour(int hour);
    // The picture shown, 0 when it could not be loaded.
    uint32_t PictureId() const { return pictureId_; }

    void OnPlasmaTimer();
    int PlasmaLevel() const { return plasmaLevel_; }
    bool PlasmaTimerActive() const { return plasmaTimer_.isActive(); }
    const QTimer& PlasmaTimer() const { return plasmaTimer_; }

    CWaterDropCtrl* WaterDrop() const { return waterDrop_; }
    CStaticTreeCtrl* VersionTree() const { return tree_; }
    CCopyrightLink* Link() const { return link_; }
    QLabel* ProductLabel() const { return product_; }

    void done(int result) override;

private:
    void InitDialog(const AboutVersions& versions, QTime now);
    void FillVersionTree(const AboutVersions& versions);
    void CloseEffect();

    CWaterDropCtrl* waterDrop_ = nullptr;
    CCopyrightLink* link_ = nullptr;
    CStaticTreeCtrl* tree_ = nullptr;
    int32_t plasmaLevel_ = 0;
    QLabel* product_ = nullptr;
    QPushButton* ok_ = nullptr;
    QTimer plasmaTimer_;
    uint32_t pictureId_ = 0;
    bool closed_ = false;
};

#pragma once

#include <QPointer>
#include <QPushButton>
#include <cstdint>

#include "controls/color_popup.h"

// A push button that shows a colour swatch and a drop-down arrow; a click
// opens a CColorPopup under it. A colour chosen there becomes the button's
// colour and is passed on with colorNotify (CPN_COLORCHOSEN).
class CColorPicker : public QPushButton {
    Q_OBJECT
public:
    // The swatch of a disabled picker.
    static constexpr uint32_t kDisabledSwatch = 0x00B3B3B3;

    explicit CColorPicker(QWidget* parent = nullptr, int id = 0);

    int ControlId() const { return controlId_; }
    uint32_t Color() const { return color_; }
    // Sets the colour and repaints; sends nothing.
    void SetColor(uint32_t color);

    // What a click does: the popup under the button with its colour. Null
    // while the button is disabled.
    CColorPopup* OpenPopup();
    // The popup while it is open, else null.
    CColorPopup* Popup() const { return popup_.data(); }

    // Geometry of the face, for painting and for tests.
    int SeparatorX() const;
    QRect SwatchRect() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // CPN_COLORCHOSEN with the colour the popup reported.
    void colorNotify(int code, uint32_t color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnPopupNotify(int code, uint32_t color);

    int controlId_;
    uint32_t color_ = kAutomaticColor;
    QPointer<CColorPopup> popup_;
};

#pragma once

// Scripting the colour popup in tests: its keys, and the colour dialog of
// its more-colours entry.

#include <QPointer>
#include <QTest>

#include "controls/color_popup.h"

// Answers the more-colours dialog (OK with answer, or cancel) while it
// lives, and remembers the colour it was opened with.
struct ScriptedColorDialog {
    bool ok = true;
    uint32_t answer = 0x00ABCDEF;
    uint32_t openedWith = 0;
    CColorPopup::ColorDialog previous;

    ScriptedColorDialog() {
        previous =
            CColorPopup::SetColorDialog([this](QWidget*, uint32_t initial, uint32_t* chosen) {
                openedWith = initial;
                *chosen = answer;
                return ok;
            });
    }
    ~ScriptedColorDialog() { CColorPopup::SetColorDialog(previous); }
    ScriptedColorDialog(const ScriptedColorDialog&) = delete;
    ScriptedColorDialog& operator=(const ScriptedColorDialog&) = delete;
};

// Keys written as letters: L R U D arrows, E Enter, S Space, X Escape. Stops
// when the popup has closed.
inline void TypeKeys(QWidget* popup, const char* keys) {
    const QPointer<QWidget> alive(popup);
    for (const char* k = keys; *k != 0 && !alive.isNull(); ++k) {
        const Qt::Key key = *k == 'L'   ? Qt::Key_Left
                            : *k == 'R' ? Qt::Key_Right
                            : *k == 'U' ? Qt::Key_Up
                            : *k == 'D' ? Qt::Key_Down
                            : *k == 'E' ? Qt::Key_Return
                            : *k == 'S' ? Qt::Key_Space
                                        : Qt::Key_Escape;
        QTest::keyClick(popup, key);
    }
}

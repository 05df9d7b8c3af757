#pragma once

// Drives the colour page as a user would: the tree's keys to reach an item,
// the picker's popup to choose, with the colour dialog scripted.

#include <QTest>

#include "controls/color_picker.h"
#include "controls/static_tree_ctrl.h"
#include "ui/dialogs/option_page_color.h"

// Answers the more-colours dialog with a colour while it lives.
struct ScriptedColorDialog {
    uint32_t answer = 0;
    CColorPopup::ColorDialog previous;
    ScriptedColorDialog() {
        previous = CColorPopup::SetColorDialog([this](QWidget*, uint32_t, uint32_t* chosen) {
            *chosen = answer;
            return true;
        });
    }
    ~ScriptedColorDialog() { CColorPopup::SetColorDialog(previous); }
    ScriptedColorDialog(const ScriptedColorDialog&) = delete;
    ScriptedColorDialog& operator=(const ScriptedColorDialog&) = delete;
};

// Home, then Down until the row of id is selected; false when never reached.
inline bool SelectWithKeys(COptionPageColor& page, uint32_t id) {
    CStaticTreeCtrl* tree = page.Tree();
    QTest::keyClick(tree, Qt::Key_Home);
    for (int i = 0; i < 40; ++i) {
        if (tree->SelectedItem() != nullptr && tree->SelectedItem()->data == id) {
            return true;
        }
        QTest::keyClick(tree, Qt::Key_Down);
    }
    return false;
}

// A click on the picker, then keys in its popup: U up, D down, anything
// else Enter.
inline void Pick(COptionPageColor& page, const char* keys) {
    page.Picker()->click();
    CColorPopup* popup = page.Picker()->Popup();
    QVERIFY(popup != nullptr);
    for (const char* k = keys; *k != 0; ++k) {
        QTest::keyClick(popup, *k == 'U' ? Qt::Key_Up : *k == 'D' ? Qt::Key_Down : Qt::Key_Return);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Any colour through the more-colours entry: six steps down always reach it.
inline void PickColor(COptionPageColor& page, uint32_t color) {
    ScriptedColorDialog dialog;
    dialog.answer = color;
    Pick(page, "DDDDDDE");
}

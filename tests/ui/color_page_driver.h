#pragma once

// Drives the colour page as a user would: the tree's keys to reach an item,
// the picker's popup to choose, with the colour dialog scripted.

#include <QTest>

#include "controls/color_picker.h"
#include "controls/static_tree_ctrl.h"
#include "tests/controls/color_test_support.h"
#include "ui/dialogs/option_page_color.h"

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

// A click on the picker, then keys in its popup (as TypeKeys writes them).
inline void Pick(COptionPageColor& page, const char* keys) {
    page.Picker()->click();
    QVERIFY(page.Picker()->Popup() != nullptr);
    TypeKeys(page.Picker()->Popup(), keys);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Any colour through the more-colours entry: six steps down always reach it.
inline void PickColor(COptionPageColor& page, uint32_t color) {
    ScriptedColorDialog dialog;
    dialog.answer = color;
    Pick(page, "DDDDDDE");
}

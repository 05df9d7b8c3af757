/*
 * Shorthands for writing a resource set as C data: menu items, dialog
 * controls and dialogs. Plain C, so that a language library can use it with
 * nothing else of the program.
 */
#ifndef SORVANE_RES_RESOURCE_MACROS_H
#define SORVANE_RES_RESOURCE_MACROS_H

#include "res/resource_set.h"

/* ---- Menus -------------------------------------------------------------- */
#define RES_CMD(id, text) \
    { SORVANE_MENU_COMMAND, (id), (text), 0, 0 }
#define RES_SEP \
    { SORVANE_MENU_SEPARATOR, 0, 0, 0, 0 }
#define RES_POPUP(text, items) \
    { SORVANE_MENU_POPUP, 0, (text), (items), SORVANE_RES_COUNT(items) }
#define RES_MENU(id, items) \
    { (id), (items), SORVANE_RES_COUNT(items) }

/* ---- Dialogs ------------------------------------------------------------ */
/* A control laid out by the code. */
#define RES_CTL(id, kind, text) \
    { (id), SORVANE_CONTROL_##kind, (text), 0, 0, 0, 0, 0, 0, 0 }
/* A control of a window class of the program's own. */
#define RES_CUSTOM(id, cls) \
    { (id), SORVANE_CONTROL_CUSTOM, 0, (cls), 0, 0, 0, 0, 0, 0 }
#define RES_DIALOG(id, caption, font, size, cx, cy, controls) \
    { (id), (caption), (font), (size), (cx), (cy), (controls), SORVANE_RES_COUNT(controls) }

#define RES_TREE_CLASS "COMMUI_STATIC_TREE_CTRL_CLASS"
#define RES_DUMP_CLASS "COMMUI_DUMP_CTRL_CLASS"

#endif /* SORVANE_RES_RESOURCE_MACROS_H */

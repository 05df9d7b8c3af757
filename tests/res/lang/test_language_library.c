/* A language library for the tests: a few translated strings, one menu and
 * one dialog text; everything else must come from the built-in set. It is
 * built as libSorvaneResKo.so so that loading by language code finds it. */
#include "res/ids.h"
#include "res/resource_set.h"

static const SorvaneResString kStrings[] = {
    {IDS_CONFIRM_EXIT, "Quit Sorvane?"},
    {ID_COMM_START, "Connect to the enabled CAN channels and start\nStart communication"},
    /* same arguments as the built-in format: used */
    {IDS_FMT_UPTIME_DAYS, "%d Tage %02d:%02d:%02d"},
    /* other arguments than the built-in format: must not be used */
    {IDS_FMT_CHANNEL_CAN, "CAN%s (CAN): %d"},
    /* not UTF-8: left out, the built-in text stays */
    {IDS_ERR_COMM_START, "\xC3\x28 broken"},
};

static const SorvaneResMenuItem kEditItems[] = {
    {SORVANE_MENU_COMMAND, ID_EDIT_COPY, "&Copy", 0, 0},
    {SORVANE_MENU_COMMAND, ID_EDIT_SELECT_ALL, "Select &All", 0, 0},
    {SORVANE_MENU_SEPARATOR, 0, 0, 0, 0},
    {SORVANE_MENU_COMMAND, ID_EDIT_CLEAR_ALL, "C&lear All", 0, 0},
};
static const SorvaneResMenuItem kEdit[] = {
    {SORVANE_MENU_POPUP, 0, "Edit", kEditItems, SORVANE_RES_COUNT(kEditItems)},
};
static const SorvaneResMenu kMenus[] = {
    {IDR_POPUP_EDIT, kEdit, SORVANE_RES_COUNT(kEdit)},
};

static const SorvaneResControl kSendControls[] = {
    {IDOK, SORVANE_CONTROL_DEFAULT_BUTTON, "Send", 0, 0, 0, 0, 0, 0, 0},
};
static const SorvaneResDialog kDialogs[] = {
    {IDD_SEND_MESSAGE, "Send Message", "Noto Sans", 9, 0, 0, kSendControls,
     SORVANE_RES_COUNT(kSendControls)},
};

static const SorvaneResourceSet kSet = {
    SORVANE_RES_FORMAT,
    (uint32_t)sizeof(SorvaneResourceSet),
    1042,
    "SorvaneResTest",
    {1, 3, 0, 7},
    kStrings,
    SORVANE_RES_COUNT(kStrings),
    kMenus,
    SORVANE_RES_COUNT(kMenus),
    kDialogs,
    SORVANE_RES_COUNT(kDialogs),
    0,
    0,
    0,
    0,
    0,
    0,
};

SORVANE_RES_EXPORT const SorvaneResourceSet* SorvaneGetResourceSet(void) {
    return &kSet;
}

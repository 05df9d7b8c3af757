/* The English menus: the built-in menus item for item, translated. */
#include "res/ids.h"
#include "res/language_set.h"
#include "res/resource_macros.h"

/* clang-format off */

/* ---- Popups shared by several menus ------------------------------------- */

static const SorvaneResMenuItem kRecent[] = {
    RES_CMD(ID_CANDB_RECENT1, "(none)"),
    RES_CMD(ID_CANDB_RECENT2, "(none)"),
    RES_CMD(ID_CANDB_RECENT3, "(none)"),
    RES_CMD(ID_CANDB_RECENT4, "(none)"),
};

static const SorvaneResMenuItem kBusOnOff[] = {
    RES_CMD(ID_BUS_ONOFF_CAN1, "CAN&1"),
    RES_CMD(ID_BUS_ONOFF_CAN2, "CAN&2"),
    RES_CMD(ID_BUS_ONOFF_CAN3, "CAN&3"),
    RES_CMD(ID_BUS_ONOFF_CAN4, "CAN&4"),
    RES_CMD(ID_BUS_ONOFF_CAN5, "CAN&5"),
};

static const SorvaneResMenuItem kStatisticsClear[] = {
    RES_CMD(ID_STATISTICS_CLEAR_CAN1, "CAN&1"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN2, "CAN&2"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN3, "CAN&3"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN4, "CAN&4"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN5, "CAN&5"),
    RES_SEP,
    RES_CMD(ID_STATISTICS_CLEAR_ALL, "&All"),
};

static const SorvaneResMenuItem kStatisticsClearPerChannel[] = {
    RES_CMD(ID_STATISTICS_CLEAR_CAN1, "CAN&1"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN2, "CAN&2"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN3, "CAN&3"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN4, "CAN&4"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN5, "CAN&5"),
};

static const SorvaneResMenuItem kGraphLines[] = {
    RES_CMD(ID_BUSLOAD_LINE_CAN1, "CAN&1"),
    RES_CMD(ID_BUSLOAD_LINE_CAN2, "CAN&2"),
    RES_CMD(ID_BUSLOAD_LINE_CAN3, "CAN&3"),
    RES_CMD(ID_BUSLOAD_LINE_CAN4, "CAN&4"),
    RES_CMD(ID_BUSLOAD_LINE_CAN5, "CAN&5"),
};

static const SorvaneResMenuItem kHistory[] = {
    RES_CMD(ID_BUSLOAD_HIST_30, "&1  30 Seconds"),
    RES_CMD(ID_BUSLOAD_HIST_60, "&2  60 Seconds"),
    RES_CMD(ID_BUSLOAD_HIST_120, "&3  120 Seconds"),
};

/* ---- Frame menus 133 and 135 -------------------------------------------- */

static const SorvaneResMenuItem kMainFile[] = {
    RES_CMD(ID_CANDB_OPEN, "Open CAN&db File...\tCtrl+D"),
    RES_POPUP("&Recent CANdb Files", kRecent),
    RES_SEP,
    RES_CMD(ID_ENV_IMPORT, "&Import Environment..."),
    RES_CMD(ID_ENV_EXPORT, "&Export Environment..."),
    RES_SEP,
    RES_CMD(ID_OPTIONS, "&Options...\tF10"),
    RES_SEP,
    RES_CMD(ID_APP_EXIT, "E&xit\tAlt+F4"),
};

static const SorvaneResMenuItem kChildFile[] = {
    RES_CMD(ID_CANDB_OPEN, "Open CAN&db File...\tCtrl+D"),
    RES_SEP,
    RES_CMD(ID_ENV_IMPORT, "&Import Environment..."),
    RES_CMD(ID_ENV_EXPORT, "&Export Environment..."),
    RES_SEP,
    RES_CMD(ID_OPTIONS, "&Options...\tF10"),
    RES_SEP,
    RES_CMD(ID_APP_EXIT, "E&xit\tAlt+F4"),
};

static const SorvaneResMenuItem kComm[] = {
    RES_CMD(ID_COMM_START, "&Start Communication\tF2"),
    RES_CMD(ID_COMM_STOP, "S&top Communication\tShift+F2"),
    RES_SEP,
    RES_CMD(ID_COMM_RESET, "&Reset Communication...\tCtrl+R"),
    RES_SEP,
    RES_POPUP("&Bus On/Off", kBusOnOff),
};

static const SorvaneResMenuItem kMessage[] = {
    RES_CMD(ID_SEND_MESSAGE, "&Send Message...\tCtrl+M"),
};

static const SorvaneResMenuItem kMonitor[] = {
    RES_CMD(ID_MONITOR_SCROLL, "Auto Sc&roll On/Off"),
    RES_SEP,
    RES_CMD(ID_MONITOR_COPY, "&Copy to Clipboard"),
    RES_SEP,
    RES_CMD(ID_MONITOR_SAVE_SETTING, "Real-&time Logging..."),
    RES_SEP,
    RES_CMD(ID_MONITOR_SAVE, "&Save Monitor Log..."),
    RES_SEP,
    RES_CMD(ID_MONITOR_CLEAR, "C&lear Monitor"),
};

static const SorvaneResMenuItem kStatistics[] = {
    RES_CMD(ID_STATISTICS_COPY, "&Copy to Clipboard"),
    RES_POPUP("C&lear Statistics", kStatisticsClear),
};

static const SorvaneResMenuItem kBusLoad[] = {
    RES_POPUP("&Graph Lines", kGraphLines),
    RES_POPUP("&History", kHistory),
    RES_CMD(ID_BUSLOAD_CLEAR, "C&lear Bus Load"),
};

static const SorvaneResMenuItem kMessageInfo[] = {
    RES_CMD(ID_MESSAGEINFO_COPY, "&Copy to Clipboard"),
    RES_CMD(ID_MESSAGEINFO_CLEAR, "C&lear Message List"),
};

static const SorvaneResMenuItem kView[] = {
    RES_CMD(ID_WINDOW_CASCADE, "&Cascade"),
    RES_CMD(ID_WINDOW_TILE_HORZ, "&Tile"),
};

static const SorvaneResMenuItem kHelp[] = {
    RES_CMD(ID_APP_ABOUT, "&About Sorvane..."),
};

static const SorvaneResMenuItem kMainFrameBar[] = {
    RES_POPUP("&File", kMainFile),
    RES_POPUP("&Communication", kComm),
    RES_POPUP("&Message", kMessage),
    RES_POPUP("&Monitor", kMonitor),
    RES_POPUP("&Statistics", kStatistics),
    RES_POPUP("&Bus Load", kBusLoad),
    RES_POPUP("Message &List", kMessageInfo),
    RES_POPUP("&View", kView),
    RES_POPUP("&Help", kHelp),
};

static const SorvaneResMenuItem kChildFrameBar[] = {
    RES_POPUP("&File", kChildFile),
    RES_POPUP("&Communication", kComm),
    RES_POPUP("&Message", kMessage),
    RES_POPUP("Mo&nitor", kMonitor),
    RES_POPUP("&Statistics", kStatistics),
    RES_POPUP("&Bus Load", kBusLoad),
    RES_POPUP("Message &List", kMessageInfo),
    RES_POPUP("&View", kView),
    RES_POPUP("&Help", kHelp),
};

/* ---- Popup menus -------------------------------------------------------- */

static const SorvaneResMenuItem kEditItems[] = {
    RES_CMD(ID_EDIT_COPY, "&Copy"),
    RES_CMD(ID_EDIT_SELECT_ALL, "Select &All"),
    RES_CMD(ID_EDIT_CLEAR_ALL, "C&lear All"),
};
static const SorvaneResMenuItem kEdit[] = {RES_POPUP("Edit", kEditItems)};

static const SorvaneResMenuItem kWindowItems[] = {
    RES_CMD(ID_WINDOW_NEW, "&New Window"),
};
static const SorvaneResMenuItem kWindow[] = {RES_POPUP("&Window", kWindowItems)};

static const SorvaneResMenuItem kThemeItems[] = {
    RES_CMD(ID_VIEW_APPLOOK_OFF_2007_BLUE, "Office 2007 (&Blue Style)"),
    RES_CMD(ID_VIEW_APPLOOK_OFF_2007_BLACK, "Office 2007 (B&lack Style)"),
    RES_CMD(ID_VIEW_APPLOOK_OFF_2007_SILVER, "Office 2007 (&Silver Style)"),
    RES_CMD(ID_VIEW_APPLOOK_OFF_2007_AQUA, "Office 2007 (&Aqua Style)"),
    RES_CMD(ID_VIEW_APPLOOK_WINDOWS_7, "Win&dows 7"),
};
static const SorvaneResMenuItem kTheme[] = {RES_POPUP("&Application Look", kThemeItems)};

static const SorvaneResMenuItem kMonitorContextItems[] = {
    RES_CMD(ID_MONITOR_SCROLL, "Auto Sc&roll On/Off"),
    RES_SEP,
    RES_CMD(ID_MONITOR_SAVE_SETTING, "Real-&time Logging..."),
    RES_SEP,
    RES_CMD(ID_MONITOR_SAVE, "&Save Monitor Log..."),
    RES_SEP,
    RES_CMD(ID_MONITOR_CLEAR, "C&lear Monitor"),
};
static const SorvaneResMenuItem kMonitorContext[] = {RES_POPUP("Menu", kMonitorContextItems)};

static const SorvaneResMenuItem kStatisticsContextItems[] = {
    RES_POPUP("Clear Statistics per Channel", kStatisticsClearPerChannel),
    RES_CMD(ID_STATISTICS_CLEAR_ALL, "Clear All Statistics"),
    RES_CMD(ID_STATISTICS_COPY, "&Copy to Clipboard"),
};
static const SorvaneResMenuItem kStatisticsContext[] = {RES_POPUP("Menu", kStatisticsContextItems)};

static const SorvaneResMenuItem kBusLoadContext[] = {RES_POPUP("Menu", kBusLoad)};

static const SorvaneResMenuItem kMessageInfoContextItems[] = {
    RES_CMD(ID_MESSAGEINFO_CLEAR, "&Clear Cycle Times"),
    RES_CMD(ID_MESSAGEINFO_COPY, "Copy to C&lipboard"),
};
static const SorvaneResMenuItem kMessageInfoContext[] = {RES_POPUP("Menu", kMessageInfoContextItems)};

static const SorvaneResMenuItem kBusLoadLinesDropDown[] = {RES_POPUP("Menu", kGraphLines)};
static const SorvaneResMenuItem kStatisticsClearDropDown[] = {RES_POPUP("Menu", kStatisticsClear)};

const SorvaneResMenu kLangMenus[] = {
    RES_MENU(IDR_POPUP_EDIT, kEdit),
    RES_MENU(IDR_MAINFRAME, kMainFrameBar),
    RES_MENU(IDR_SorvaneTYPE, kChildFrameBar),
    RES_MENU(IDR_POPUP_WINDOW, kWindow),
    RES_MENU(IDR_THEME_MENU, kTheme),
    RES_MENU(IDR_MENU_MONITOR, kMonitorContext),
    RES_MENU(IDR_MENU_STATISTICS, kStatisticsContext),
    RES_MENU(IDR_MENU_BUSLOAD, kBusLoadContext),
    RES_MENU(IDR_MENU_MESSAGEINFO, kMessageInfoContext),
    RES_MENU(IDR_MENU_BUSLOAD_LINES, kBusLoadLinesDropDown),
    RES_MENU(IDR_MENU_STATISTICS_CLEAR, kStatisticsClearDropDown),
};
/* clang-format on */

const uint32_t kLangMenuCount = SORVANE_RES_COUNT(kLangMenus);

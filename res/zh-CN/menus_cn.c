/* The Simplified-Chinese menus: the built-in menus item for item, translated. */
#include "res/ids.h"
#include "res/language_set.h"
#include "res/resource_macros.h"

/* clang-format off */

/* ---- Popups shared by several menus ------------------------------------- */

static const SorvaneResMenuItem kRecent[] = {
    RES_CMD(ID_CANDB_RECENT1, "(无)"),
    RES_CMD(ID_CANDB_RECENT2, "(无)"),
    RES_CMD(ID_CANDB_RECENT3, "(无)"),
    RES_CMD(ID_CANDB_RECENT4, "(无)"),
};

static const SorvaneResMenuItem kBusOnOff[] = {
    RES_CMD(ID_BUS_ONOFF_CAN1, "CAN1(&1)"),
    RES_CMD(ID_BUS_ONOFF_CAN2, "CAN2(&2)"),
    RES_CMD(ID_BUS_ONOFF_CAN3, "CAN3(&3)"),
    RES_CMD(ID_BUS_ONOFF_CAN4, "CAN4(&4)"),
    RES_CMD(ID_BUS_ONOFF_CAN5, "CAN5(&5)"),
};

static const SorvaneResMenuItem kStatisticsClear[] = {
    RES_CMD(ID_STATISTICS_CLEAR_CAN1, "CAN1(&1)"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN2, "CAN2(&2)"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN3, "CAN3(&3)"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN4, "CAN4(&4)"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN5, "CAN5(&5)"),
    RES_SEP,
    RES_CMD(ID_STATISTICS_CLEAR_ALL, "全部(&A)"),
};

static const SorvaneResMenuItem kStatisticsClearPerChannel[] = {
    RES_CMD(ID_STATISTICS_CLEAR_CAN1, "CAN1(&1)"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN2, "CAN2(&2)"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN3, "CAN3(&3)"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN4, "CAN4(&4)"),
    RES_CMD(ID_STATISTICS_CLEAR_CAN5, "CAN5(&5)"),
};

static const SorvaneResMenuItem kGraphLines[] = {
    RES_CMD(ID_BUSLOAD_LINE_CAN1, "CAN1(&1)"),
    RES_CMD(ID_BUSLOAD_LINE_CAN2, "CAN2(&2)"),
    RES_CMD(ID_BUSLOAD_LINE_CAN3, "CAN3(&3)"),
    RES_CMD(ID_BUSLOAD_LINE_CAN4, "CAN4(&4)"),
    RES_CMD(ID_BUSLOAD_LINE_CAN5, "CAN5(&5)"),
};

static const SorvaneResMenuItem kHistory[] = {
    RES_CMD(ID_BUSLOAD_HIST_30, "30秒(&1)"),
    RES_CMD(ID_BUSLOAD_HIST_60, "60秒(&2)"),
    RES_CMD(ID_BUSLOAD_HIST_120, "120秒(&3)"),
};

/* ---- Frame menus 133 and 135 -------------------------------------------- */

static const SorvaneResMenuItem kMainFile[] = {
    RES_CMD(ID_CANDB_OPEN, "打开 CANdb 文件(&D)...\tCtrl+D"),
    RES_POPUP("最近使用的 CANdb 文件(&R)", kRecent),
    RES_SEP,
    RES_CMD(ID_ENV_IMPORT, "导入环境设置(&I)..."),
    RES_CMD(ID_ENV_EXPORT, "导出环境设置(&E)..."),
    RES_SEP,
    RES_CMD(ID_OPTIONS, "环境设置(&O)...\tF10"),
    RES_SEP,
    RES_CMD(ID_APP_EXIT, "退出(&X)\tAlt+F4"),
};

static const SorvaneResMenuItem kChildFile[] = {
    RES_CMD(ID_CANDB_OPEN, "打开 CANdb 文件(&D)...\tCtrl+D"),
    RES_SEP,
    RES_CMD(ID_ENV_IMPORT, "导入环境设置(&I)..."),
    RES_CMD(ID_ENV_EXPORT, "导出环境设置(&E)..."),
    RES_SEP,
    RES_CMD(ID_OPTIONS, "环境设置(&O)...\tF10"),
    RES_SEP,
    RES_CMD(ID_APP_EXIT, "退出(&X)\tAlt+F4"),
};

static const SorvaneResMenuItem kComm[] = {
    RES_CMD(ID_COMM_START, "开始通信(&S)\tF2"),
    RES_CMD(ID_COMM_STOP, "停止通信(&T)\tShift+F2"),
    RES_SEP,
    RES_CMD(ID_COMM_RESET, "通讯复位(&R)...\tCtrl+R"),
    RES_SEP,
    RES_POPUP("总线 ON/OFF(&B)", kBusOnOff),
};

static const SorvaneResMenuItem kMessage[] = {
    RES_CMD(ID_SEND_MESSAGE, "发送报文(&S)...\tCtrl+M"),
};

static const SorvaneResMenuItem kMonitor[] = {
    RES_CMD(ID_MONITOR_SCROLL, "滚动有效/无效(&R)"),
    RES_SEP,
    RES_CMD(ID_MONITOR_COPY, "复制到剪贴板(&C)"),
    RES_SEP,
    RES_CMD(ID_MONITOR_SAVE_SETTING, "实时保存设置(&T)..."),
    RES_SEP,
    RES_CMD(ID_MONITOR_SAVE, "保存监视日志(&S)..."),
    RES_SEP,
    RES_CMD(ID_MONITOR_CLEAR, "清除监视(&L)"),
};

static const SorvaneResMenuItem kStatistics[] = {
    RES_CMD(ID_STATISTICS_COPY, "复制到剪贴板(&C)"),
    RES_POPUP("清除统计信息(&L)", kStatisticsClear),
};

static const SorvaneResMenuItem kBusLoad[] = {
    RES_POPUP("曲线显示(&G)", kGraphLines),
    RES_POPUP("历史显示(&H)", kHistory),
    RES_CMD(ID_BUSLOAD_CLEAR, "清除总线负载率(&L)"),
};

static const SorvaneResMenuItem kMessageInfo[] = {
    RES_CMD(ID_MESSAGEINFO_COPY, "复制到剪贴板(&C)"),
    RES_CMD(ID_MESSAGEINFO_CLEAR, "清除报文信息(&L)"),
};

static const SorvaneResMenuItem kView[] = {
    RES_CMD(ID_WINDOW_CASCADE, "层叠(&C)"),
    RES_CMD(ID_WINDOW_TILE_HORZ, "平铺(&T)"),
};

static const SorvaneResMenuItem kHelp[] = {
    RES_CMD(ID_APP_ABOUT, "版本信息(&A)..."),
};

static const SorvaneResMenuItem kMainFrameBar[] = {
    RES_POPUP("文件(&F)", kMainFile),
    RES_POPUP("通信(&C)", kComm),
    RES_POPUP("报文(&M)", kMessage),
    RES_POPUP("监视(&M)", kMonitor),
    RES_POPUP("统计信息(&S)", kStatistics),
    RES_POPUP("总线负载率(&B)", kBusLoad),
    RES_POPUP("报文信息(&L)", kMessageInfo),
    RES_POPUP("视图(&V)", kView),
    RES_POPUP("帮助(&H)", kHelp),
};

static const SorvaneResMenuItem kChildFrameBar[] = {
    RES_POPUP("文件(&F)", kChildFile),
    RES_POPUP("通信(&C)", kComm),
    RES_POPUP("报文(&M)", kMessage),
    RES_POPUP("监视(&N)", kMonitor),
    RES_POPUP("统计信息(&S)", kStatistics),
    RES_POPUP("总线负载率(&B)", kBusLoad),
    RES_POPUP("报文信息(&L)", kMessageInfo),
    RES_POPUP("视图(&V)", kView),
    RES_POPUP("帮助(&H)", kHelp),
};

/* ---- Popup menus -------------------------------------------------------- */

static const SorvaneResMenuItem kEditItems[] = {
    RES_CMD(ID_EDIT_COPY, "复制(&C)"),
    RES_CMD(ID_EDIT_SELECT_ALL, "全选(&A)"),
    RES_CMD(ID_EDIT_CLEAR_ALL, "全部清除(&L)"),
};
static const SorvaneResMenuItem kEdit[] = {RES_POPUP("编辑", kEditItems)};

static const SorvaneResMenuItem kWindowItems[] = {
    RES_CMD(ID_WINDOW_NEW, "打开新窗口(&N)"),
};
static const SorvaneResMenuItem kWindow[] = {RES_POPUP("窗口(&W)", kWindowItems)};

static const SorvaneResMenuItem kThemeItems[] = {
    RES_CMD(ID_VIEW_APPLOOK_OFF_2007_BLUE, "Office 2007 (蓝色样式)(&B)"),
    RES_CMD(ID_VIEW_APPLOOK_OFF_2007_BLACK, "Office 2007 (黑色样式)(&L)"),
    RES_CMD(ID_VIEW_APPLOOK_OFF_2007_SILVER, "Office 2007 (银色样式)(&S)"),
    RES_CMD(ID_VIEW_APPLOOK_OFF_2007_AQUA, "Office 2007 (水绿色样式)(&A)"),
    RES_CMD(ID_VIEW_APPLOOK_WINDOWS_7, "Windows 7(&D)"),
};
static const SorvaneResMenuItem kTheme[] = {RES_POPUP("应用程序外观(&A)", kThemeItems)};

static const SorvaneResMenuItem kMonitorContextItems[] = {
    RES_CMD(ID_MONITOR_SCROLL, "滚动有效/无效(&R)"),
    RES_SEP,
    RES_CMD(ID_MONITOR_SAVE_SETTING, "实时保存设置(&T)..."),
    RES_SEP,
    RES_CMD(ID_MONITOR_SAVE, "保存监视日志(&S)..."),
    RES_SEP,
    RES_CMD(ID_MONITOR_CLEAR, "清除监视(&L)"),
};
static const SorvaneResMenuItem kMonitorContext[] = {RES_POPUP("Menu", kMonitorContextItems)};

static const SorvaneResMenuItem kStatisticsContextItems[] = {
    RES_POPUP("清除统计信息(按 CAN)", kStatisticsClearPerChannel),
    RES_CMD(ID_STATISTICS_CLEAR_ALL, "清除统计信息(全部)"),
    RES_CMD(ID_STATISTICS_COPY, "复制到剪贴板(&C)"),
};
static const SorvaneResMenuItem kStatisticsContext[] = {RES_POPUP("Menu", kStatisticsContextItems)};

static const SorvaneResMenuItem kBusLoadContext[] = {RES_POPUP("Menu", kBusLoad)};

static const SorvaneResMenuItem kMessageInfoContextItems[] = {
    RES_CMD(ID_MESSAGEINFO_CLEAR, "清除周期信息(&C)"),
    RES_CMD(ID_MESSAGEINFO_COPY, "复制到剪贴板(&L)"),
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

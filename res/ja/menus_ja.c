/* The built-in Japanese menus. */
#include "res/ids.h"
#include "res/ja/builtin_ja.h"

#define CMD(id, text) \
    { SORVANE_MENU_COMMAND, (id), (text), 0, 0 }
#define SEP \
    { SORVANE_MENU_SEPARATOR, 0, 0, 0, 0 }
#define POPUP(text, items) \
    { SORVANE_MENU_POPUP, 0, (text), (items), SORVANE_RES_COUNT(items) }

/* clang-format off */

/* ---- Popups shared by several menus ------------------------------------- */

static const SorvaneResMenuItem kRecent[] = {
    CMD(ID_CANDB_RECENT1, "(なし)"),
    CMD(ID_CANDB_RECENT2, "(なし)"),
    CMD(ID_CANDB_RECENT3, "(なし)"),
    CMD(ID_CANDB_RECENT4, "(なし)"),
};

static const SorvaneResMenuItem kBusOnOff[] = {
    CMD(ID_BUS_ONOFF_CAN1, "CAN1 (&1)"),
    CMD(ID_BUS_ONOFF_CAN2, "CAN2 (&2)"),
    CMD(ID_BUS_ONOFF_CAN3, "CAN3 (&3)"),
    CMD(ID_BUS_ONOFF_CAN4, "CAN4 (&4)"),
    CMD(ID_BUS_ONOFF_CAN5, "CAN5 (&5)"),
};

static const SorvaneResMenuItem kStatisticsClear[] = {
    CMD(ID_STATISTICS_CLEAR_CAN1, "CAN1(&1)"),
    CMD(ID_STATISTICS_CLEAR_CAN2, "CAN2(&2)"),
    CMD(ID_STATISTICS_CLEAR_CAN3, "CAN3(&3)"),
    CMD(ID_STATISTICS_CLEAR_CAN4, "CAN4(&4)"),
    CMD(ID_STATISTICS_CLEAR_CAN5, "CAN5(&5)"),
    SEP,
    CMD(ID_STATISTICS_CLEAR_ALL, "すべて(&A)"),
};

static const SorvaneResMenuItem kStatisticsClearPerChannel[] = {
    CMD(ID_STATISTICS_CLEAR_CAN1, "CAN1(&1)"),
    CMD(ID_STATISTICS_CLEAR_CAN2, "CAN2(&2)"),
    CMD(ID_STATISTICS_CLEAR_CAN3, "CAN3(&3)"),
    CMD(ID_STATISTICS_CLEAR_CAN4, "CAN4(&4)"),
    CMD(ID_STATISTICS_CLEAR_CAN5, "CAN5(&5)"),
};

static const SorvaneResMenuItem kGraphLines[] = {
    CMD(ID_BUSLOAD_LINE_CAN1, "CAN1(&1)"),
    CMD(ID_BUSLOAD_LINE_CAN2, "CAN2(&2)"),
    CMD(ID_BUSLOAD_LINE_CAN3, "CAN3(&3)"),
    CMD(ID_BUSLOAD_LINE_CAN4, "CAN4(&4)"),
    CMD(ID_BUSLOAD_LINE_CAN5, "CAN5(&5)"),
};

static const SorvaneResMenuItem kHistory[] = {
    CMD(ID_BUSLOAD_HIST_30, "30秒(&1)"),
    CMD(ID_BUSLOAD_HIST_60, "60秒(&2)"),
    CMD(ID_BUSLOAD_HIST_120, "120秒(&3)"),
};

/* ---- Frame menus 133 and 135 -------------------------------------------- */

static const SorvaneResMenuItem kMainFile[] = {
    CMD(ID_CANDB_OPEN, "CANdbファイルのオープン(&D)...\tCtrl+D"),
    POPUP("最近使ったCANdbファイル(&R)", kRecent),
    SEP,
    CMD(ID_ENV_IMPORT, "動作環境のインポート(&I)..."),
    CMD(ID_ENV_EXPORT, "動作環境のエクスポート(&E)..."),
    SEP,
    CMD(ID_OPTIONS, "動作環境(&O)...\tF10"),
    SEP,
    CMD(ID_APP_EXIT, "終了(&X)\tAlt+F4"),
};

static const SorvaneResMenuItem kChildFile[] = {
    CMD(ID_CANDB_OPEN, "CANdbファイルのオープン(&D)...\tCtrl+D"),
    SEP,
    CMD(ID_ENV_IMPORT, "動作環境のインポート(&I)..."),
    CMD(ID_ENV_EXPORT, "動作環境のエクスポート(&E)..."),
    SEP,
    CMD(ID_OPTIONS, "動作環境(&O)...\tF10"),
    SEP,
    CMD(ID_APP_EXIT, "終了(&X)\tAlt+F4"),
};

static const SorvaneResMenuItem kComm[] = {
    CMD(ID_COMM_START, "通信開始(&S)\tF2"),
    CMD(ID_COMM_STOP, "通信停止(&T)\tShift+F2"),
    SEP,
    CMD(ID_COMM_RESET, "通信リセット(&R)...\tCtrl+R"),
    SEP,
    POPUP("バスON/OFF(&B)", kBusOnOff),
};

static const SorvaneResMenuItem kMessage[] = {
    CMD(ID_SEND_MESSAGE, "メッセージ送信(&S)...\tCtrl+M"),
};

static const SorvaneResMenuItem kMonitor[] = {
    CMD(ID_MONITOR_SCROLL, "スクロール有効/無効(&R)"),
    SEP,
    CMD(ID_MONITOR_COPY, "クリップボードにコピー(&C)"),
    SEP,
    CMD(ID_MONITOR_SAVE_SETTING, "保存設定(&T)..."),
    SEP,
    CMD(ID_MONITOR_SAVE, "モニタログ保存(&S)..."),
    SEP,
    CMD(ID_MONITOR_CLEAR, "モニタクリア(&L)"),
};

static const SorvaneResMenuItem kStatistics[] = {
    CMD(ID_STATISTICS_COPY, "クリップボードにコピー(&C)"),
    POPUP("統計情報クリア(&L)", kStatisticsClear),
};

static const SorvaneResMenuItem kBusLoad[] = {
    POPUP("グラフ線表示(&G)", kGraphLines),
    POPUP("履歴表示(&H)", kHistory),
    CMD(ID_BUSLOAD_CLEAR, "バス占有率クリア(&L)"),
};

static const SorvaneResMenuItem kMessageInfo[] = {
    CMD(ID_MESSAGEINFO_COPY, "クリップボードにコピー(&C)"),
    CMD(ID_MESSAGEINFO_CLEAR, "メッセージ情報クリア(&L)"),
};

static const SorvaneResMenuItem kView[] = {
    CMD(ID_WINDOW_CASCADE, "重ねて表示(&C)"),
    CMD(ID_WINDOW_TILE_HORZ, "並べて表示(&T)"),
};

static const SorvaneResMenuItem kHelp[] = {
    CMD(ID_APP_ABOUT, "バージョン情報(&A)..."),
};

static const SorvaneResMenuItem kMainFrameBar[] = {
    POPUP("ファイル(&F)", kMainFile),
    POPUP("通信(&C)", kComm),
    POPUP("メッセージ(&M)", kMessage),
    POPUP("モニタ(&M)", kMonitor),
    POPUP("統計情報(&S)", kStatistics),
    POPUP("バス占有率(&B)", kBusLoad),
    POPUP("メッセージ情報(&L)", kMessageInfo),
    POPUP("表示(&V)", kView),
    POPUP("ヘルプ(&H)", kHelp),
};

static const SorvaneResMenuItem kChildFrameBar[] = {
    POPUP("ファイル(&F)", kChildFile),
    POPUP("通信(&C)", kComm),
    POPUP("メッセージ(&M)", kMessage),
    POPUP("モニタ(&N)", kMonitor),
    POPUP("統計情報(&S)", kStatistics),
    POPUP("バス占有率(&B)", kBusLoad),
    POPUP("メッセージ情報(&L)", kMessageInfo),
    POPUP("表示(&V)", kView),
    POPUP("ヘルプ(&H)", kHelp),
};

/* ---- Popup menus -------------------------------------------------------- */

static const SorvaneResMenuItem kEditItems[] = {
    CMD(ID_EDIT_COPY, "コピー(&C)"),
    CMD(ID_EDIT_SELECT_ALL, "すべて選択(&A)"),
    CMD(ID_EDIT_CLEAR_ALL, "全てクリア(&L)"),
};
static const SorvaneResMenuItem kEdit[] = {POPUP("編集", kEditItems)};

static const SorvaneResMenuItem kWindowItems[] = {
    CMD(ID_WINDOW_NEW, "新しいウィンドウを開く(&N)"),
};
static const SorvaneResMenuItem kWindow[] = {POPUP("ウィンドウ(&W)", kWindowItems)};

static const SorvaneResMenuItem kThemeItems[] = {
    CMD(ID_VIEW_APPLOOK_OFF_2007_BLUE, "Office 2007 (ブルー スタイル)(&B)"),
    CMD(ID_VIEW_APPLOOK_OFF_2007_BLACK, "Office 2007 (ブラック スタイル)(&L)"),
    CMD(ID_VIEW_APPLOOK_OFF_2007_SILVER, "Office 2007 (シルバー スタイル)(&S)"),
    CMD(ID_VIEW_APPLOOK_OFF_2007_AQUA, "Office 2007 (アクア スタイル)(&A)"),
    CMD(ID_VIEW_APPLOOK_WINDOWS_7, "Windows 7(&D)"),
};
static const SorvaneResMenuItem kTheme[] = {POPUP("アプリケーションの外観(&A)", kThemeItems)};

static const SorvaneResMenuItem kMonitorContextItems[] = {
    CMD(ID_MONITOR_SCROLL, "スクロール有効/無効(&R)"),
    SEP,
    CMD(ID_MONITOR_SAVE_SETTING, "保存設定(&T)..."),
    SEP,
    CMD(ID_MONITOR_SAVE, "モニタログ保存(&S)..."),
    SEP,
    CMD(ID_MONITOR_CLEAR, "モニタクリア(&L)"),
};
static const SorvaneResMenuItem kMonitorContext[] = {POPUP("Menu", kMonitorContextItems)};

static const SorvaneResMenuItem kStatisticsContextItems[] = {
    POPUP("統計情報クリア(CAN単位)", kStatisticsClearPerChannel),
    CMD(ID_STATISTICS_CLEAR_ALL, "統計情報クリア(すべて)"),
    CMD(ID_STATISTICS_COPY, "クリップボードにコピー(&C)"),
};
static const SorvaneResMenuItem kStatisticsContext[] = {POPUP("Menu", kStatisticsContextItems)};

static const SorvaneResMenuItem kBusLoadContext[] = {POPUP("Menu", kBusLoad)};

static const SorvaneResMenuItem kMessageInfoContextItems[] = {
    CMD(ID_MESSAGEINFO_CLEAR, "周期情報のクリア(&C)"),
    CMD(ID_MESSAGEINFO_COPY, "クリップボードにコピー(&L)"),
};
static const SorvaneResMenuItem kMessageInfoContext[] = {POPUP("Menu", kMessageInfoContextItems)};

static const SorvaneResMenuItem kBusLoadLinesDropDown[] = {POPUP("Menu", kGraphLines)};
static const SorvaneResMenuItem kStatisticsClearDropDown[] = {POPUP("Menu", kStatisticsClear)};

#define MENU(id, items) {(id), (items), SORVANE_RES_COUNT(items)}

const SorvaneResMenu kJaMenus[] = {
    MENU(IDR_POPUP_EDIT, kEdit),
    MENU(IDR_MAINFRAME, kMainFrameBar),
    MENU(IDR_SorvaneTYPE, kChildFrameBar),
    MENU(IDR_POPUP_WINDOW, kWindow),
    MENU(IDR_THEME_MENU, kTheme),
    MENU(IDR_MENU_MONITOR, kMonitorContext),
    MENU(IDR_MENU_STATISTICS, kStatisticsContext),
    MENU(IDR_MENU_BUSLOAD, kBusLoadContext),
    MENU(IDR_MENU_MESSAGEINFO, kMessageInfoContext),
    MENU(IDR_MENU_BUSLOAD_LINES, kBusLoadLinesDropDown),
    MENU(IDR_MENU_STATISTICS_CLEAR, kStatisticsClearDropDown),
};
/* clang-format on */

const uint32_t kJaMenuCount = SORVANE_RES_COUNT(kJaMenus);

/* The built-in Japanese dialog texts. */
#include "res/ids.h"
#include "res/ja/builtin_ja.h"

/* A control laid out by the code, and one placed in dialog units. */
#define CTL(id, kind, text) \
    { (id), SORVANE_CONTROL_##kind, (text), 0, 0, 0, 0, 0, 0, 0 }
#define CUSTOM(id, cls) \
    { (id), SORVANE_CONTROL_CUSTOM, 0, (cls), 0, 0, 0, 0, 0, 0 }
#define TREE_CLASS "COMMUI_STATIC_TREE_CTRL_CLASS"
#define DUMP_CLASS "COMMUI_DUMP_CTRL_CLASS"
#define FONT "Meiryo UI"

/* clang-format off */
static const SorvaneResControl kAbout[] = {
    {IDC_STATIC_PRODUCT, SORVANE_CONTROL_LABEL,
     "Sorvane (Kvaser向けCAN通信モニタリングツール）", 0, 7, 3, 194, 8, 0, 0},
    {IDC_PICTURE, SORVANE_CONTROL_PICTURE, 0, 0, 7, 14, 172, 81, IDB_ABOUT_DAY, 0},
    {IDOK, SORVANE_CONTROL_DEFAULT_BUTTON, "OK", 0, 151, 99, 50, 14, 0, 0},
    {IDC_TREE_VERSION, SORVANE_CONTROL_CUSTOM, 0, TREE_CLASS, 7, 99, 142, 68, 0, 0},
    {IDC_MFCLINK_MAIL, SORVANE_CONTROL_LINK, "Copyright (C) 2022 Sorvane developers", 0,
     7, 169, 141, 10, 0, "mailto:support@sorvane.example"},
};

static const SorvaneResControl kOptionCommon[] = {
    CTL(IDC_LABEL_APPLOOK, LABEL, "アプリケーションの外観："),
    CTL(IDC_COMBO_APPLOOK, COMBO, 0),
    CTL(IDC_LABEL_THRESHOLD, LABEL, "バス占有率閾値："),
    CTL(IDC_EDIT_THRESHOLD, EDIT, 0),
    CTL(IDC_SPIN_THRESHOLD, SPIN, 0),
    CTL(IDC_LABEL_THRESHOLD_UNIT, LABEL, "% (0～100)"),
    CTL(IDC_LABEL_MAXLINE, LABEL, "モニタウィンドウ最大行数："),
    CTL(IDC_EDIT_MAXLINE, EDIT, 0),
    CTL(IDC_SPIN_MAXLINE, SPIN, 0),
    CTL(IDC_STATIC_MAXLINE_RANGE, LABEL, "(32767～2147483647)"),
    CTL(IDC_LABEL_STORE, LABEL, "動作環境情報格納先："),
    CTL(IDC_RADIO_INIFILE, RADIO, "INIファイル"),
    CTL(IDC_RADIO_REGISTRY, RADIO, "レジストリ"),
    CTL(IDC_LABEL_LANGUAGE, LABEL, "表示言語："),
    CTL(IDC_COMBO_LANGUAGE, COMBO, 0),
    CTL(IDC_STATIC_LANGUAGE_NOTE, LABEL, "※選択した言語は再起動後に有効になります。"),
};

static const SorvaneResControl kOptionCan[] = {
    CTL(IDC_CHECK_ENABLE, CHECKBOX, "有効"),
    CTL(IDC_STATIC_CANMODE, LABEL, "CANモード："),
    CTL(IDC_COMBO_CANMODE, COMBO, 0),
    CTL(IDC_GROUP_ARBITRATION, GROUPBOX, 0), /* caption: string 232 or 233 */
    CTL(IDC_LABEL_ARB_BITRATE, LABEL, "ビットレート："),
    CTL(IDC_COMBO_ARB_BITRATE, COMBO, 0),
    CTL(IDC_BUTTON_ARB_PRESET, BUTTON, "プリセット"),
    CTL(IDC_LABEL_ARB_SJW, LABEL, "SJW："),
    CTL(IDC_EDIT_ARB_SJW, EDIT, 0),
    CTL(IDC_SPIN_ARB_SJW, SPIN, 0),
    CTL(IDC_LABEL_ARB_TSEG1, LABEL, "TSEG1："),
    CTL(IDC_EDIT_ARB_TSEG1, EDIT, 0),
    CTL(IDC_SPIN_ARB_TSEG1, SPIN, 0),
    CTL(IDC_LABEL_ARB_TSEG2, LABEL, "TSEG2："),
    CTL(IDC_EDIT_ARB_TSEG2, EDIT, 0),
    CTL(IDC_SPIN_ARB_TSEG2, SPIN, 0),
    CTL(IDC_GROUP_DATA, GROUPBOX, 0), /* caption: string 234 */
    CTL(IDC_LABEL_DATA_BITRATE, LABEL, "ビットレート："),
    CTL(IDC_COMBO_DATA_BITRATE, COMBO, 0),
    CTL(IDC_BUTTON_DATA_PRESET, BUTTON, "プリセット"),
    CTL(IDC_LABEL_DATA_SJW, LABEL, "SJW："),
    CTL(IDC_EDIT_DATA_SJW, EDIT, 0),
    CTL(IDC_SPIN_DATA_SJW, SPIN, 0),
    CTL(IDC_LABEL_DATA_TSEG1, LABEL, "TSEG1："),
    CTL(IDC_EDIT_DATA_TSEG1, EDIT, 0),
    CTL(IDC_SPIN_DATA_TSEG1, SPIN, 0),
    CTL(IDC_LABEL_DATA_TSEG2, LABEL, "TSEG2："),
    CTL(IDC_EDIT_DATA_TSEG2, EDIT, 0),
    CTL(IDC_SPIN_DATA_TSEG2, SPIN, 0),
    CTL(IDC_STATIC_CAN_NOTE, LABEL, "※通信中は変更できません"),
};

static const SorvaneResControl kPreset[] = {
    CTL(IDC_LIST_PRESET, LIST, 0),
    CTL(IDOK, DEFAULT_BUTTON, "OK"),
    CTL(IDCANCEL, BUTTON, "キャンセル"),
};

static const SorvaneResControl kSendMessage[] = {
    CTL(IDOK, DEFAULT_BUTTON, "送信"),
    CTL(IDCANCEL, BUTTON, "閉じる"),
    CTL(IDC_LABEL_CHANNEL, LABEL, "CAN (1～5)："),
    CTL(IDC_COMBO_CHANNEL, COMBO, 0),
    CTL(IDC_STATIC_CHANNEL_INFO, LABEL, 0), /* "CAN" or "CAN-FD" at run time */
    CTL(IDC_LABEL_FRAMETYPE, LABEL, "フレーム種別："),
    CTL(IDC_COMBO_FRAMETYPE, COMBO, 0),
    CTL(IDC_LABEL_ID, LABEL, "ID (0～7FF)："),
    CTL(IDC_EDIT_ID, EDIT, "000"),
    CTL(IDC_SPIN_ID, SPIN, 0),
    CTL(IDC_LABEL_DLC, LABEL, "DLC："),
    CTL(IDC_COMBO_DLC, COMBO, 0),
    CTL(IDC_LABEL_DATA, LABEL, "Data："),
    CTL(IDC_EDIT_DATA0, EDIT, "00"),
    CTL(IDC_EDIT_DATA1, EDIT, "00"),
    CTL(IDC_EDIT_DATA2, EDIT, "00"),
    CTL(IDC_EDIT_DATA3, EDIT, "00"),
    CTL(IDC_EDIT_DATA4, EDIT, "00"),
    CTL(IDC_EDIT_DATA5, EDIT, "00"),
    CTL(IDC_EDIT_DATA6, EDIT, "00"),
    CTL(IDC_EDIT_DATA7, EDIT, "00"),
    CTL(IDC_BUTTON_BITEDIT, BUTTON, "■"),
    CUSTOM(IDC_DUMP_DATA, DUMP_CLASS),
    CTL(IDC_GROUP_FRAME, GROUPBOX, 0), /* invisible; enables what it covers */
    CTL(IDC_CHECK_BRS, CHECKBOX, "BRS"),
};

static const SorvaneResControl kDataBit[] = {
    CTL(IDC_STATIC_BYTE0 + 0, LABEL, "00"),
    CTL(IDC_STATIC_BYTE0 + 1, LABEL, "00"),
    CTL(IDC_STATIC_BYTE0 + 2, LABEL, "00"),
    CTL(IDC_STATIC_BYTE0 + 3, LABEL, "00"),
    CTL(IDC_STATIC_BYTE0 + 4, LABEL, "00"),
    CTL(IDC_STATIC_BYTE0 + 5, LABEL, "00"),
    CTL(IDC_STATIC_BYTE0 + 6, LABEL, "00"),
    CTL(IDC_STATIC_BYTE0 + 7, LABEL, "00"),
    CTL(IDC_STATIC_BITAREA, LABEL, "ビットデータ設定表示領域"), /* hidden placeholder */
    CTL(IDC_BUTTON_BITRESET, BUTTON, "リセット"),
    CTL(IDC_BUTTON_BITSET, BUTTON, "設定"),
};

static const SorvaneResControl kOptionColor[] = {
    CUSTOM(IDC_TREE_COLOR, TREE_CLASS),
    CTL(IDC_LABEL_COLOR, LABEL, "色："),
    CTL(IDC_COLOR_PICKER, BUTTON, 0),
    CTL(IDC_BUTTON_REVERT, BUTTON, "元に戻す"),
};

#define DIALOG(id, caption, size, cx, cy, controls) \
    {(id), (caption), FONT, (size), (cx), (cy), (controls), SORVANE_RES_COUNT(controls)}

const SorvaneResDialog kJaDialogs[] = {
    DIALOG(IDD_ABOUTBOX, "バージョン情報", 10, 204, 184, kAbout),
    DIALOG(IDD_OPTION_COMMON, "全般", 10, 0, 0, kOptionCommon),
    DIALOG(IDD_OPTION_CAN, "CAN", 10, 0, 0, kOptionCan),
    DIALOG(IDD_BUSPARAM_PRESET, "プリセット", 9, 0, 0, kPreset),
    DIALOG(IDD_SEND_MESSAGE, "メッセージ送信", 10, 0, 0, kSendMessage),
    DIALOG(IDD_DATA_BIT, "ビット設定", 9, 0, 0, kDataBit),
    DIALOG(IDD_OPTION_COLOR, "色情報", 10, 0, 0, kOptionColor),
};
/* clang-format on */

const uint32_t kJaDialogCount = SORVANE_RES_COUNT(kJaDialogs);

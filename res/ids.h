/*
 * Resource identifiers of Sorvane.
 *
 * The numbers are the contract between the program and every language
 * library: code names a string, menu, dialog, control, toolbar, accelerator
 * table, icon or bitmap only by these identifiers. Plain C so that a language
 * library written in C can use it as it stands.
 *
 * Kinds are separate name spaces: menu 133, toolbar 133, icon 133 and string
 * 133 are different resources. A command's string has the command's number.
 */
#ifndef SORVANE_RES_IDS_H
#define SORVANE_RES_IDS_H

/* ---- Version block ------------------------------------------------------ */
#define VS_VERSION_INFO 1

/* ---- Shared resource numbers of the frames ------------------------------ */
#define IDR_MAINFRAME 133   /* menu, toolbar, accelerators, icon, bitmap, title string */
#define IDR_SorvaneTYPE 135 /* child frames' menu and document template string */

/* ---- Menus -------------------------------------------------------------- */
#define IDR_POPUP_EDIT 116            /* output log pane: copy, select all, clear all */
#define IDR_POPUP_WINDOW 138          /* window popup: new window */
#define IDR_THEME_MENU 139            /* application look popup */
#define IDR_MENU_MONITOR 332          /* monitor context menu */
#define IDR_MENU_STATISTICS 333       /* statistics context menu */
#define IDR_MENU_BUSLOAD 334          /* bus-load context menu */
#define IDR_MENU_MESSAGEINFO 336      /* message-info context menu */
#define IDR_MENU_BUSLOAD_LINES 357    /* bus-load toolbar drop-down */
#define IDR_MENU_STATISTICS_CLEAR 358 /* statistics toolbar drop-down */

/* ---- Toolbars (each with its button strip of the same number) ----------- */
#define IDR_TOOLBAR_STATISTICS 316  /* 24 x 24 */
#define IDR_TOOLBAR_BUSLOAD 317     /* 24 x 24 */
#define IDR_TOOLBAR_MESSAGEINFO 318 /* 24 x 24 */
#define IDR_TOOLBAR_MONITOR 320     /* 24 x 24 */
/* IDR_MAINFRAME is the main toolbar, 32 x 32 */

/* ---- Icons -------------------------------------------------------------- */
/* IDR_MAINFRAME is the application icon */
#define IDI_MONITOR 313
#define IDI_STATISTICS 314
#define IDI_BUSLOAD 315
#define IDI_MESSAGEINFO 319

/* ---- Bitmaps ------------------------------------------------------------ */
/* Toolbar strips carry the toolbar's number (133, 316, 317, 318, 320). */
#define IDB_ABOUT_DAY 326 /* about picture, 08:00 to 15:59 */
#define IDB_PANE_ICONS 337
#define IDB_MENU_IMAGES 343 /* 16-pixel images of the main frame's image list */
#define IDB_MAINFRAME_DISABLED 346
#define IDB_TOOLBAR_MONITOR_DISABLED 347
#define IDB_TOOLBAR_BUSLOAD_DISABLED 348
#define IDB_TOOLBAR_STATISTICS_DISABLED 349
#define IDB_TOOLBAR_MESSAGEINFO_DISABLED 350
#define IDB_PRODUCT_LOGO 352
#define IDB_ABOUT_NIGHT 367   /* about picture, 00:00 to 07:59 */
#define IDB_ABOUT_EVENING 368 /* about picture, 16:00 to 23:59 */
#define IDB_CANDB_TREE 369    /* CANdb pane tree images, 4 of 16 x 16 */

/* ---- Dialogs ------------------------------------------------------------ */
#define IDD_ABOUTBOX 100
#define IDD_OPTION_COMMON 101
#define IDD_OPTION_CAN 102
#define IDD_BUSPARAM_PRESET 103
#define IDD_SEND_MESSAGE 104
#define IDD_DATA_BIT 105
#define IDD_OPTION_COLOR 106

/* ---- Dialog controls ---------------------------------------------------- */
#define IDOK 1
#define IDCANCEL 2
/* common page (101) */
#define IDC_COMBO_APPLOOK 1000
#define IDC_EDIT_THRESHOLD 1046
#define IDC_SPIN_THRESHOLD 1047
#define IDC_EDIT_MAXLINE 1048
#define IDC_SPIN_MAXLINE 1049
#define IDC_STATIC_MAXLINE_RANGE 1050
#define IDC_RADIO_INIFILE 1125
#define IDC_RADIO_REGISTRY 1126
#define IDC_COMBO_LANGUAGE 1127
#define IDC_STATIC_LANGUAGE_NOTE 1128
/* CAN page (102) */
#define IDC_COMBO_CANMODE 1001
#define IDC_GROUP_ARBITRATION 1002
#define IDC_COMBO_ARB_BITRATE 1003
#define IDC_BUTTON_ARB_PRESET 1004
#define IDC_EDIT_ARB_SJW 1005
#define IDC_GROUP_DATA 1006
#define IDC_EDIT_ARB_TSEG1 1007
#define IDC_EDIT_ARB_TSEG2 1008
#define IDC_COMBO_DATA_BITRATE 1009
#define IDC_BUTTON_DATA_PRESET 1010
#define IDC_EDIT_DATA_SJW 1011
#define IDC_EDIT_DATA_TSEG1 1012
#define IDC_EDIT_DATA_TSEG2 1013
#define IDC_CHECK_ENABLE 1014
#define IDC_SPIN_ARB_SJW 1015
#define IDC_SPIN_ARB_TSEG1 1016
#define IDC_SPIN_ARB_TSEG2 1017
#define IDC_SPIN_DATA_SJW 1018
#define IDC_SPIN_DATA_TSEG1 1019
#define IDC_SPIN_DATA_TSEG2 1020
#define IDC_STATIC_CANMODE 1021
#define IDC_STATIC_CAN_NOTE 1123
/* presets (103) */
#define IDC_LIST_PRESET 1022
/* about (100) */
#define IDC_PICTURE 1023
#define IDC_TREE_VERSION 1041
#define IDC_STATIC_PRODUCT 1122
#define IDC_MFCLINK_MAIL 1124
/* send message (104) */
#define IDC_STATIC_CHANNEL_INFO 1001
#define IDC_COMBO_CHANNEL 1024
#define IDC_COMBO_FRAMETYPE 1025
#define IDC_EDIT_ID 1026
#define IDC_SPIN_ID 1027
#define IDC_COMBO_DLC 1028
#define IDC_EDIT_DATA0 1029 /* data bytes 0..7 are 1029..1036 */
#define IDC_EDIT_DATA1 1030
#define IDC_EDIT_DATA2 1031
#define IDC_EDIT_DATA3 1032
#define IDC_EDIT_DATA4 1033
#define IDC_EDIT_DATA5 1034
#define IDC_EDIT_DATA6 1035
#define IDC_EDIT_DATA7 1036
#define IDC_BUTTON_BITEDIT 1037
#define IDC_DUMP_DATA 1044
#define IDC_GROUP_FRAME 1057
#define IDC_CHECK_BRS 1058 /* CAN FD data frames: bit-rate switch */
/* bit settings (105): the byte texts reuse 1029..1036 */
#define IDC_STATIC_BYTE0 1029
#define IDC_STATIC_BITAREA 1038
#define IDC_BUTTON_BITRESET 1039
#define IDC_BUTTON_BITSET 1040
/* colour page (106) */
#define IDC_TREE_COLOR 1042
#define IDC_COLOR_PICKER 1043
#define IDC_BUTTON_REVERT 1045
/* Labels. Plain static labels carry no number in a dialog template of the
 * original platform; they get one here so that their texts can be looked up. */
#define IDC_LABEL_APPLOOK 1201
#define IDC_LABEL_THRESHOLD 1202
#define IDC_LABEL_THRESHOLD_UNIT 1203
#define IDC_LABEL_MAXLINE 1204
#define IDC_LABEL_STORE 1205
#define IDC_LABEL_LANGUAGE 1206
#define IDC_LABEL_ARB_BITRATE 1211
#define IDC_LABEL_ARB_SJW 1212
#define IDC_LABEL_ARB_TSEG1 1213
#define IDC_LABEL_ARB_TSEG2 1214
#define IDC_LABEL_DATA_BITRATE 1215
#define IDC_LABEL_DATA_SJW 1216
#define IDC_LABEL_DATA_TSEG1 1217
#define IDC_LABEL_DATA_TSEG2 1218
#define IDC_LABEL_CHANNEL 1221
#define IDC_LABEL_FRAMETYPE 1222
#define IDC_LABEL_ID 1223
#define IDC_LABEL_DLC 1224
#define IDC_LABEL_DATA 1225
#define IDC_LABEL_COLOR 1231

/* ---- Commands (each has a string "prompt\ntooltip" of its number) ------- */
#define ID_WINDOW_MANAGER 136 /* standard windows dialog; its string is the menu text */
#define ID_COMM_START 32771
#define ID_COMM_STOP 32772
#define ID_BUS_ONOFF_CAN1 32773 /* CAN1..CAN5 are 32773..32777 */
#define ID_BUS_ONOFF_CAN2 32774
#define ID_BUS_ONOFF_CAN3 32775
#define ID_BUS_ONOFF_CAN4 32776
#define ID_BUS_ONOFF_CAN5 32777
#define ID_SEND_MESSAGE 32778
#define ID_MONITOR_FIRST 32780 /* monitor command range 32780..32787 */
#define ID_MONITOR_SCROLL 32781
#define ID_MONITOR_COPY 32782
#define ID_MONITOR_SAVE_SETTING 32783
#define ID_MONITOR_SAVE 32785
#define ID_MONITOR_CLEAR 32787
#define ID_MONITOR_LAST 32787
#define ID_STATISTICS_FIRST 32788 /* statistics command range 32788..32796 */
#define ID_STATISTICS_COPY 32789
#define ID_STATISTICS_CLEAR 32790      /* toolbar drop-down: clear all */
#define ID_STATISTICS_CLEAR_CAN1 32791 /* CAN1..CAN5 are 32791..32795 */
#define ID_STATISTICS_CLEAR_CAN2 32792
#define ID_STATISTICS_CLEAR_CAN3 32793
#define ID_STATISTICS_CLEAR_CAN4 32794
#define ID_STATISTICS_CLEAR_CAN5 32795
#define ID_STATISTICS_CLEAR_ALL 32796
#define ID_STATISTICS_LAST 32796
#define ID_BUSLOAD_FIRST 32797 /* bus-load command range 32797..32806 */
#define ID_BUSLOAD_CLEAR 32798
#define ID_BUSLOAD_LINE_CAN1 32799 /* CAN1..CAN5 are 32799..32803 */
#define ID_BUSLOAD_LINE_CAN2 32800
#define ID_BUSLOAD_LINE_CAN3 32801
#define ID_BUSLOAD_LINE_CAN4 32802
#define ID_BUSLOAD_LINE_CAN5 32803
#define ID_BUSLOAD_HIST_30 32804
#define ID_BUSLOAD_HIST_60 32805
#define ID_BUSLOAD_HIST_120 32806
#define ID_BUSLOAD_LAST 32806
#define ID_MESSAGEINFO_FIRST 32807 /* message-info command range 32807..32809 */
#define ID_MESSAGEINFO_COPY 32808
#define ID_MESSAGEINFO_CLEAR 32809
#define ID_MESSAGEINFO_LAST 32809
#define ID_OPTIONS 32810
#define ID_ENV_IMPORT 32811
#define ID_ENV_EXPORT 32812
#define ID_VIEW_APPLOOK_WIN_2000 32813
#define ID_VIEW_APPLOOK_OFF_XP 32814
#define ID_VIEW_APPLOOK_WIN_XP 32815
#define ID_VIEW_APPLOOK_OFF_2003 32816
#define ID_VIEW_APPLOOK_VS_2005 32817
#define ID_VIEW_APPLOOK_VS_2008 32818
#define ID_VIEW_APPLOOK_OFF_2007_BLUE 32819
#define ID_VIEW_APPLOOK_OFF_2007_BLACK 32820
#define ID_VIEW_APPLOOK_OFF_2007_SILVER 32821
#define ID_VIEW_APPLOOK_OFF_2007_AQUA 32822
#define ID_VIEW_APPLOOK_WINDOWS_7 32823
#define ID_BUSLOAD_LINE_ALL 32828
#define ID_CANDB_OPEN 32829
#define ID_CANDB_RECENT1 32830 /* recent entries 1..4 are 32830..32833 */
#define ID_CANDB_RECENT2 32831
#define ID_CANDB_RECENT3 32832
#define ID_CANDB_RECENT4 32833
#define ID_COMM_RESET 32834
/* standard frame commands */
#define ID_FILE_NEW 57600
#define ID_FILE_CLOSE 57602
#define ID_EDIT_CLEAR_ALL 57633
#define ID_EDIT_COPY 57634
#define ID_EDIT_SELECT_ALL 57642
#define ID_WINDOW_NEW 57648
#define ID_WINDOW_ARRANGE 57649
#define ID_WINDOW_CASCADE 57650
#define ID_WINDOW_TILE_HORZ 57651
#define ID_WINDOW_TILE_VERT 57652
#define ID_WINDOW_SPLIT 57653
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393

/* ---- Status-bar indicators ---------------------------------------------- */
/* Main frame panes 1..11 (pane 0 is the message pane); each text is one blank. */
#define ID_INDICATOR_PANE1 117
#define ID_INDICATOR_PANE2 118
#define ID_INDICATOR_PANE3 119
#define ID_INDICATOR_PANE4 120
#define ID_INDICATOR_PANE5 121
#define ID_INDICATOR_PANE6 122
#define ID_INDICATOR_PANE7 123
#define ID_INDICATOR_PANE8 124
#define ID_INDICATOR_PANE9 125
#define ID_INDICATOR_PANE10 126
#define ID_INDICATOR_PANE11 127
/* Width strings: each sizes one pane. */
#define ID_INDICATOR_LINECOUNT 32824 /* the monitor's record count */
#define ID_INDICATOR_BLANK1 32825
#define ID_INDICATOR_BLANK10 32826
#define ID_INDICATOR_BLANK3 32827

/* ---- Strings ------------------------------------------------------------ */
/* messages */
#define IDP_OLE_INIT_FAILED 100
#define IDS_ERR_BITRATE 217
#define IDS_ERR_SJW 218
#define IDS_ERR_TSEG1 219
#define IDS_ERR_TSEG2 220
#define IDS_ERR_NO_CHANNEL 221
#define IDS_ERR_COMM_START 222
#define IDS_ERR_INPUT 223
#define IDS_ERR_CANLIB_MISSING 224
#define IDS_CONFIRM_EXIT 229
#define IDS_FIRST_START 292
#define IDS_ERR_KVADBLIB_MISSING 305
#define IDS_ERR_LANGLIB_JA 317
#define IDS_ERR_LANGLIB_EN 318
#define IDS_ERR_LANGLIB_CN 319
#define IDS_ERR_LANGLIB_TW 320
#define IDS_ERR_LANGLIB_KO 321
#define IDS_ERR_CANDB_OPEN 371 /* %1 error code, %2 reason */
/* titles and captions (133 IDR_MAINFRAME and 135 IDR_SorvaneTYPE are strings too) */
#define IDS_WINDOWS_MANAGER 136
#define IDS_APP_TITLE 200
#define IDS_MONITOR_WINDOW 201
#define IDS_OPTION_SHEET 202
#define IDS_OPTION_COMMON 203
#define IDS_OPTION_CAN1 204 /* CAN1..CAN5 pages are 204..208 */
#define IDS_OPTION_CAN2 205
#define IDS_OPTION_CAN3 206
#define IDS_OPTION_CAN4 207
#define IDS_OPTION_CAN5 208
#define IDS_STATISTICS_WINDOW 209
#define IDS_OPTION_COLOR 210
#define IDS_MESSAGEINFO_WINDOW 211
#define IDS_BUSLOAD_WINDOW 212
#define IDS_ENV_IMPORT_TITLE 213
#define IDS_ENV_EXPORT_TITLE 214
#define IDS_MONITOR_SAVE_TITLE 215
#define IDS_LOG_PANE 216
#define IDS_MONITOR_HEADER 225
#define IDS_STATISTICS_HEADER 226
#define IDS_MESSAGEINFO_HEADER 227
#define IDS_EDIT_MENU 228
#define IDS_COMM_ACTIVE 230
#define IDS_COMM_IDLE 231
#define IDS_BUS_PARAMETERS 232
#define IDS_ARBITRATION_PARAMETERS 233
#define IDS_DATA_PARAMETERS 234
#define IDS_STAT_COL_ITEMS 235
#define IDS_STAT_COL_CAN1 236 /* CAN1..CAN5 are 236..240 */
#define IDS_STAT_COL_CAN2 237
#define IDS_STAT_COL_CAN3 238
#define IDS_STAT_COL_CAN4 239
#define IDS_STAT_COL_CAN5 240
/* statistics row labels: display 241..253, English 254..266 */
#define IDS_STAT_TX_MESSAGES 241
#define IDS_STAT_RX_TOTAL 242
#define IDS_STAT_STD_DATA 243
#define IDS_STAT_STD_REMOTE 244
#define IDS_STAT_EXT_DATA 245
#define IDS_STAT_EXT_REMOTE 246
#define IDS_STAT_ERROR_FRAMES 247
#define IDS_STAT_RX_PER_SECOND 248
#define IDS_STAT_TX_ERRORS 249
#define IDS_STAT_RX_ERRORS 250
#define IDS_STAT_OVERLOAD 251
#define IDS_STAT_BUSLOAD 252
#define IDS_STAT_BUSLOAD_PEAK 253
#define IDS_STAT_EN_TX_MESSAGES 254
#define IDS_STAT_EN_RX_TOTAL 255
#define IDS_STAT_EN_STD_DATA 256
#define IDS_STAT_EN_STD_REMOTE 257
#define IDS_STAT_EN_EXT_DATA 258
#define IDS_STAT_EN_EXT_REMOTE 259
#define IDS_STAT_EN_ERROR_FRAMES 260
#define IDS_STAT_EN_RX_PER_SECOND 261
#define IDS_STAT_EN_TX_ERRORS 262
#define IDS_STAT_EN_RX_ERRORS 263
#define IDS_STAT_EN_OVERLOAD 264
#define IDS_STAT_EN_BUSLOAD 265
#define IDS_STAT_EN_BUSLOAD_PEAK 266
/* monitor list columns 267..274 */
#define IDS_MON_COL_TIME 267
#define IDS_MON_COL_CAN 268
#define IDS_MON_COL_DIR 269
#define IDS_MON_COL_STATUS 270
#define IDS_MON_COL_TYPE 271
#define IDS_MON_COL_ID 272
#define IDS_MON_COL_DLC 273
#define IDS_MON_COL_DATA 274
/* message-info list columns 275..282 */
#define IDS_MSG_COL_CAN 275
#define IDS_MSG_COL_DIR 276
#define IDS_MSG_COL_STATUS 277
#define IDS_MSG_COL_TYPE 278
#define IDS_MSG_COL_ID 279
#define IDS_MSG_COL_DLC 280
#define IDS_MSG_COL_CYCLE 281
#define IDS_MSG_COL_COUNT 282
/* file dialog filters */
#define IDS_FILTER_MONITOR_OPEN 283
#define IDS_FILTER_MONITOR_SAVE 284
#define IDS_FILTER_ENV_IMPORT 285
#define IDS_FILTER_ENV_EXPORT 286
#define IDS_FILTER_CANDB 302
/* colour page item lists: group title, then its items, one per line */
#define IDS_COLOR_MONITOR 287
#define IDS_COLOR_STATISTICS 288
#define IDS_COLOR_MESSAGEINFO 289
#define IDS_COLOR_BUSLOAD 290
#define IDS_COLOR_MESSAGEDETAIL 308
#define IDS_TOOLBAR_LABELS 291 /* main toolbar labels separated by tabs */
#define IDS_CANDB_PANE 295
#define IDS_REMAINING 296
#define IDS_CANDB_OPEN_TITLE 297
#define IDS_ID 298
#define IDS_ENABLE_DISABLE 299
#define IDS_CANDB_ROOT 303
#define IDS_MESSAGE_DETAIL 304
#define IDS_DETAIL_COL_NAME 306
#define IDS_DETAIL_COL_VALUE 307
#define IDS_DETAIL_COL_DETAIL 309
#define IDS_RECENT_NONE 310
#define IDS_LANGUAGE_LIST 311 /* index 0..4 = language code */
#define IDS_LANGUAGE_NAME_JA 322
#define IDS_LANGUAGE_NAME_EN 323
#define IDS_LANGUAGE_NAME_CN 324
#define IDS_LANGUAGE_NAME_TW 325
#define IDS_LANGUAGE_NAME_KO 326
#define IDS_COLOR_NAME_FIRST 327 /* 40 palette colour names 327..366 */
#define IDS_COLOR_NAME_LAST 366
#define IDS_COLOR_AUTOMATIC 367
#define IDS_COLOR_MORE 368
#define IDS_PRESET_COL_BITRATE 369
#define IDS_PRESET_COL_SAMPLEPOINT 370
/* standard frame strings */
#define AFX_IDS_IDLEMESSAGE 57345
#define AFX_IDS_SCSIZE 61184
#define AFX_IDS_SCMOVE 61185
#define AFX_IDS_SCMINIMIZE 61186
#define AFX_IDS_SCMAXIMIZE 61187
#define AFX_IDS_SCNEXTWINDOW 61188
#define AFX_IDS_SCPREVWINDOW 61189
#define AFX_IDS_SCCLOSE 61190
#define AFX_IDS_SCRESTORE 61202
#define AFX_IDS_SCTASKLIST 61203

/* Texts the program formats or lists itself (printf formats where they hold
 * a conversion). A language library may translate them; a translation whose
 * conversions differ from the built-in text is not used. */
#define IDS_FMT_BUS_ONOFF 20001 /* "CAN%d: BUS %s (&%d)" */
#define IDS_BUS_ON 20002
#define IDS_BUS_OFF 20003
#define IDS_FMT_CHANNEL_CAN 20004   /* "CAN%d (CAN): %s" */
#define IDS_FMT_CHANNEL_CANFD 20005 /* "CAN%d (CAN-FD): [Arb=%s][Dat=%s]" */
#define IDS_FMT_UPTIME 20006        /* "%02d:%02d:%02d" */
#define IDS_FMT_UPTIME_DAYS 20007   /* "%d days %02d:%02d:%02d" */
#define IDS_BITRATE_125K 20010
#define IDS_BITRATE_250K 20011
#define IDS_BITRATE_500K 20012
#define IDS_BITRATE_1M 20013
#define IDS_BITRATE_2M 20014
#define IDS_BITRATE_4M 20015
#define IDS_BITRATE_8M 20016
#define IDS_TOOLBAR_MAIN_TITLE 20020
#define IDS_FMT_PANE_CAPTION 20021         /* CANdb and log panes: chick, blank, caption */
#define IDS_FMT_MESSAGE_PANE_CAPTION 20022 /* message pane: chick, caption */
#define IDS_FMT_CANDB_NODE 20023           /* "%s (0x%08X)" */
#define IDS_FMT_MONITOR_SAVING 20030       /* "%s%s に保存中..." */
#define IDS_FMT_MONITOR_OVERFLOW 20031     /* log line when the line limit is passed */
#define IDS_FMT_BUSLOAD_LEGEND 20040       /* " CAN%d" */
#define IDS_FMT_BUSLOAD_XAXIS 20041        /* "-%dsec" */
#define IDS_FMT_BUSLOAD_YAXIS 20042        /* "%d%% " */
#define IDS_FMT_STAT_BUSLOAD 20043         /* "%.2f %% " */
#define IDS_FMT_STAT_COUNT 20044           /* "%u " */
#define IDS_APPLOOK_LIST 20050             /* common page look names, one per line */
#define IDS_CANMODE_CAN 20060
#define IDS_CANMODE_CANFD 20061
#define IDS_FMT_SEND_CHANNEL 20070 /* "CAN %d" */
#define IDS_FRAMETYPE_REMOTE 20071
#define IDS_FRAMETYPE_STD 20072
#define IDS_FRAMETYPE_EXT 20073
#define IDS_LABEL_ID_EXT 20074   /* identifier label of the extended type */
#define IDS_FMT_BIT_COLUMN 20075 /* "B%d" */
#define IDS_FMT_BIT_ROW 20076    /* "D%d" */
#define IDS_BIT_INACTIVE 20077
#define IDS_FMT_SEND_DROPPED 20078 /* log line: a frame the channel could not take */
#define IDS_PRESET_COL_SJW 20080
#define IDS_PRESET_COL_TSEG1 20081
#define IDS_PRESET_COL_TSEG2 20082
#define IDS_FMT_PRESET_BITRATE 20083 /* "%u bps" */
/* the preset list's sample-point labels 0..8, one per line (a format) */
#define IDS_PRESET_SAMPLE_POINTS 20084
#define IDS_SHEET_OK 20085
#define IDS_SHEET_CANCEL 20086
#define IDS_ABOUT_64BIT 20090
#define IDS_ABOUT_APPLICATION 20091
#define IDS_FMT_ABOUT_APP_VERSION 20092
#define IDS_FMT_ABOUT_BUILD 20093
#define IDS_ABOUT_RESOURCE_LIBRARY 20094
#define IDS_FMT_ABOUT_LIBRARY_VERSION 20095
#define IDS_FMT_ABOUT_LIBRARY_TEXT 20096
#define IDS_ABOUT_UNKNOWN 20097
#define IDS_ABOUT_CANLIB 20098
#define IDS_FMT_ABOUT_LIB_VERSION 20099
#define IDS_ABOUT_LIB_VERSION 20100
#define IDS_FMT_ABOUT_PRODUCT_VERSION 20101
/* Message boxes of our own; %1, %2 are filled in by the box, not by printf. */
#define IDS_ERR_MONITOR_LOG_OPEN 21000 /* %1: the real-time save file cannot be opened */
#define IDS_ERR_MONITOR_SAVE 21001     /* %1: the monitor log could not be written */
#define IDS_ABOUT_PRODUCT_VERSION 20102
#define IDS_ABOUT_KVADBLIB 20103
#define IDS_FMT_ABOUT_DB_VERSION 20104
#define IDS_ABOUT_DB_VERSION 20105
#define IDS_FMT_ABOUT_DB_BUILD 20106
#define IDS_ABOUT_DB_BUILD 20107
#define IDS_ABOUT_MAIL_TIP 20108
#define IDS_DUMP_COL_ADDR 20110
#define IDS_DUMP_COL_HEX 20111
#define IDS_FMT_ENV_IMPORT_FAILED 20140 /* "%s" file, "%s" reason */
#define IDS_FMT_ENV_EXPORT_FAILED 20141 /* "%s" file, "%s" reason */
/* the monitor save dialogs: the monitor log first, then candump and ASC logs */
#define IDS_FILTER_MONITOR_FORMATS 20150

#endif /* SORVANE_RES_IDS_H */

// The built-in Japanese set: complete, consistent and exact.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "res/ids.h"
#include "res/language_library.h"
#include "res/resource_format.h"
#include "res/resource_lookup.h"

namespace {

class BuiltinSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(index.Build(SorvaneBuiltinResourceSet(), &error)) << error;
    }
    std::string Text(uint32_t id) const {
        const char* text = index.String(id);
        return text != nullptr ? text : "<missing>";
    }
    res::ResourceIndex index;
};

// Every command reached from a menu, toolbar or accelerator table, with the
// popup depth walked.
void CollectCommands(const SorvaneResMenuItem* items, uint32_t count, std::set<uint32_t>* out) {
    for (uint32_t i = 0; i < count; ++i) {
        if (items[i].kind == SORVANE_MENU_POPUP) {
            CollectCommands(items[i].items, items[i].itemCount, out);
        } else if (items[i].kind == SORVANE_MENU_COMMAND) {
            out->insert(items[i].id);
        }
    }
}

std::vector<std::string> Captions(const SorvaneResMenuItem* items, uint32_t count) {
    std::vector<std::string> out;
    for (uint32_t i = 0; i < count; ++i) {
        out.push_back(items[i].kind == SORVANE_MENU_SEPARATOR ? "-" : items[i].text);
    }
    return out;
}

const SorvaneResMenuItem* FindPopup(const SorvaneResMenuItem* items, uint32_t count,
                                    const std::string& caption) {
    for (uint32_t i = 0; i < count; ++i) {
        if (items[i].kind == SORVANE_MENU_POPUP && caption == items[i].text) {
            return &items[i];
        }
    }
    return nullptr;
}

TEST_F(BuiltinSetTest, SetIsCompleteWithoutProblems) {
    // Duplicates of one kind (strings, menus, controls of one dialog, ...)
    // and entries the index would leave out all show up here.
    for (const std::string& problem : index.Problems()) {
        ADD_FAILURE() << problem;
    }
    EXPECT_EQ(index.Language(), 1041u);
    SorvaneResVersion v = index.Version();
    EXPECT_EQ(v.major, 1);
    EXPECT_EQ(v.minor, 3);
    EXPECT_EQ(v.build, 0);
    EXPECT_EQ(v.revision, 0);
    EXPECT_EQ(res::PackVersion(v), 0x01030000u);

    EXPECT_EQ(index.MenuIds(),
              (std::vector<uint32_t>{116, 133, 135, 138, 139, 332, 333, 334, 336, 357, 358}));
    EXPECT_EQ(index.DialogIds(), (std::vector<uint32_t>{100, 101, 102, 103, 104, 105, 106}));
    EXPECT_EQ(index.ToolbarIds(), (std::vector<uint32_t>{133, 316, 317, 318, 320}));
    EXPECT_EQ(index.AccelTableIds(), (std::vector<uint32_t>{133}));
    EXPECT_EQ(index.ImageIds(SORVANE_IMAGE_ICON), (std::vector<uint32_t>{133, 313, 314, 315, 319}));
    EXPECT_EQ(index.ImageIds(SORVANE_IMAGE_BITMAP),
              (std::vector<uint32_t>{133, 316, 317, 318, 320, 326, 337, 343, 346, 347, 348, 349,
                                     350, 352, 367, 368, 369}));
}

TEST_F(BuiltinSetTest, NamesInIdsHeaderAreUniqueWithinTheirKind) {
    std::ifstream header(SORVANE_RES_IDS_HEADER);
    ASSERT_TRUE(header) << SORVANE_RES_IDS_HEADER;
    const std::regex define(R"(^#define ((IDS|IDP|AFX_IDS|ID|IDD|IDI|IDB)_\w+) (\d+))");
    std::map<std::string, std::map<unsigned long, std::string>> seen;  // kind -> number -> name
    std::string line;
    int names = 0;
    while (std::getline(header, line)) {
        std::smatch m;
        if (!std::regex_search(line, m, define)) {
            continue;
        }
        const std::string name = m[1];
        std::string kind = m[2];
        if (kind == "IDP" || kind == "AFX_IDS") {
            kind = "IDS";
        }
        // Range markers and indicators share numbers with real entries on purpose.
        if (name.ends_with("_FIRST") || name.ends_with("_LAST") ||
            name.starts_with("ID_INDICATOR")) {
            continue;
        }
        ++names;
        auto [it, fresh] = seen[kind].emplace(std::stoul(m[3]), name);
        EXPECT_TRUE(fresh) << name << " has the number of " << it->second;
    }
    EXPECT_GT(names, 250);
}

TEST_F(BuiltinSetTest, MessageTextsAreExact) {
    EXPECT_EQ(Text(IDS_ERR_NO_CHANNEL),
              "通信情報が設定されていません。\n動作環境で通信を行うCAN情報を設定してください。");
    EXPECT_EQ(Text(IDS_ERR_COMM_START), "通信開始に失敗しました。");
    EXPECT_EQ(Text(IDS_ERR_CANLIB_MISSING),
              "canlib32.dllをロードできませんでした。通信に関する制御ができません。\n"
              "CANLIBドライバをインストールしてください。");
    EXPECT_EQ(Text(IDS_CONFIRM_EXIT), "Sorvaneを終了してよろしいですか？");
    EXPECT_EQ(
        Text(IDS_FIRST_START),
        "Sorvaneの動作環境が設定されていません。\n画面情報やCAN通信パラメータを設定してください"
        "。\n　はい：動作環境の設定を行う\n　いいえ：動作環境の設定を行わずSorvaneを起動する(後"
        "で設定する)");
    EXPECT_EQ(Text(IDS_ERR_KVADBLIB_MISSING),
              "KvaDbLib.dllをロードできませんでした。CANdbに関する制御ができません。\n"
              "KvaDbLibドライバをインストールしてください。");
    EXPECT_EQ(Text(IDS_ERR_LANGLIB_JA),
              "選択した言語のリソースライブラリをロードできませんでした。\nSorvaneを日本語で表示し"
              "ます。");
    EXPECT_EQ(Text(IDS_ERR_LANGLIB_EN),
              "The resource library for the selected language could not be loaded. \n"
              "Display Sorvane in Japanese.");
    EXPECT_EQ(Text(IDS_ERR_LANGLIB_CN), "无法加载所选语言的资源库。\n用日语显示 Sorvane。");
    EXPECT_EQ(Text(IDS_ERR_LANGLIB_TW), "無法加載所選語言的資源庫。\n用日語顯示 Sorvane。");
    EXPECT_EQ(
        Text(IDS_ERR_LANGLIB_KO),
        "선택한 언어의 리소스 라이브러리를 로드할 수 없습니다. \nSorvane를 일본어로 표시하십시오.");
    EXPECT_EQ(Text(IDS_ERR_CANDB_OPEN),
              "CANdbファイルのオープンに失敗しました。\n\nエラーコード: %1\n理由: %2");
    // The 292 prompt's answer lines start with one full-width space.
    EXPECT_NE(Text(IDS_FIRST_START).find("\n\xE3\x80\x80はい"), std::string::npos);
}

TEST_F(BuiltinSetTest, HeadersLabelsAndListsAreExact) {
    EXPECT_EQ(Text(IDS_MONITOR_HEADER),
              "Chn Identifier Flg   DLC  D0...1...2...3...4...5...6..D7       Time     Dir");
    EXPECT_EQ(Text(IDS_STATISTICS_HEADER),
              "Item                            CAN1      CAN2      CAN3     CAN4      CAN5\n");
    EXPECT_EQ(Text(IDS_MESSAGEINFO_HEADER), "CAN  Dir   Type  ID    DLC  Cycle(ms)      Count\n");
    EXPECT_EQ(Text(IDS_ARBITRATION_PARAMETERS), "Arbitration Phase Parameters ");
    EXPECT_EQ(Text(IDS_STAT_STD_DATA), "\xE3\x80\x80標準データフレーム");  // full-width space
    EXPECT_EQ(Text(IDS_STAT_EN_STD_DATA), "  Std. Data");
    EXPECT_EQ(Text(IDS_STAT_BUSLOAD_PEAK), "バス占有率 (最大)");
    EXPECT_EQ(Text(IDS_PRESET_COL_BITRATE), "ﾋﾞｯﾄﾚｰﾄ");  // half-width katakana
    EXPECT_EQ(Text(IDS_TOOLBAR_LABELS),
              "CANdbファイル\nのオープン\t通信\n開始\t通信\n停止\tメッセージ\n送信\t環境\n設定");
    EXPECT_EQ(Text(IDS_LANGUAGE_LIST), "日本語\nEnglish\n简体中文\n繁體中文\n한국어");
    EXPECT_EQ(Text(IDS_FILTER_ENV_IMPORT), Text(IDS_FILTER_ENV_EXPORT));
    EXPECT_EQ(Text(IDS_FILTER_CANDB), "CANdbファイル(DBCフォーマット) (*.dbc)|*.dbc||");
    EXPECT_EQ(Text(IDS_CANDB_ROOT), "【メッセージ】");
    EXPECT_EQ(Text(IDS_RECENT_NONE), "(なし)");
    EXPECT_EQ(Text(IDR_MAINFRAME), "Sorvane");
    EXPECT_EQ(Text(IDR_SorvaneTYPE), "\nSorvane\nSorvane");
    // Columns in order.
    const char* monitor[] = {"Time", "CAN", "Dir", "Status", "Type", "ID", "DLC", "Data"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Text(IDS_MON_COL_TIME + i), monitor[i]);
    }
    EXPECT_EQ(Text(IDS_MSG_COL_CYCLE), "Cycle (ms)");
    // The forty colour names and the two popup buttons.
    for (uint32_t id = IDS_COLOR_NAME_FIRST; id <= IDS_COLOR_NAME_LAST; ++id) {
        EXPECT_NE(index.String(id), nullptr) << id;
    }
    EXPECT_EQ(Text(IDS_COLOR_NAME_FIRST), "黒");
    EXPECT_EQ(Text(IDS_COLOR_NAME_LAST), "白");
    EXPECT_EQ(Text(IDS_COLOR_NAME_FIRST + 7), "80%灰色");
    EXPECT_EQ(Text(IDS_COLOR_MORE), "その他...");
}

TEST_F(BuiltinSetTest, StatusBarTextsAndFormats) {
    EXPECT_EQ(Text(ID_INDICATOR_LINECOUNT), "999999999999");
    EXPECT_EQ(Text(ID_INDICATOR_BLANK1), " ");
    EXPECT_EQ(Text(ID_INDICATOR_BLANK10), std::string(10, ' '));
    EXPECT_EQ(Text(ID_INDICATOR_BLANK3), "   ");
    for (uint32_t id = ID_INDICATOR_PANE1; id <= ID_INDICATOR_PANE11; ++id) {
        EXPECT_EQ(Text(id), " ") << id;
    }
    EXPECT_EQ(Text(IDS_COMM_ACTIVE), "通信中");
    EXPECT_EQ(Text(IDS_COMM_IDLE), " ");

    using res::FormatText;
    EXPECT_EQ(FormatText(index.String(IDS_FMT_CHANNEL_CANFD), 1, index.String(IDS_BITRATE_500K),
                         index.String(IDS_BITRATE_2M)),
              "CAN1 (CAN-FD): [Arb=500Kbps][Dat=2Mbps]");
    EXPECT_EQ(FormatText(index.String(IDS_FMT_CHANNEL_CAN), 3, index.String(IDS_BITRATE_125K)),
              "CAN3 (CAN): 125Kbps");
    EXPECT_EQ(FormatText(index.String(IDS_FMT_UPTIME_DAYS), 1, 1, 0, 0), "1 days 01:00:00");
    EXPECT_EQ(FormatText(index.String(IDS_FMT_UPTIME), 23, 59, 59), "23:59:59");
    EXPECT_EQ(FormatText(index.String(IDS_FMT_BUS_ONOFF), 2, index.String(IDS_BUS_OFF), 2),
              "CAN2: BUS OFF (&2)");
    EXPECT_EQ(FormatText(index.String(IDS_FMT_CANDB_NODE), "EngineData", 0x18FEF100u),
              "EngineData (0x18FEF100)");
    EXPECT_EQ(FormatText(index.String(IDS_FMT_PANE_CAPTION), index.String(IDS_LOG_PANE)),
              "\U0001F424 ログウィンドウ");
    EXPECT_EQ(
        FormatText(index.String(IDS_FMT_MESSAGE_PANE_CAPTION), index.String(IDS_MESSAGE_DETAIL)),
        "\U0001F425メッセージ詳細");
    EXPECT_EQ(FormatText(index.String(IDS_FMT_BUSLOAD_YAXIS), 80), "80% ");
    EXPECT_EQ(FormatText(index.String(IDS_FMT_MONITOR_OVERFLOW), 65535LL),
              "モニタウィンドウ最大行数Over.ログをクリア (65535)\n");
    const char* bitrates[] = {"125Kbps", "250Kbps", "500Kbps", "1Mbps", "2Mbps", "4Mbps", "8Mbps"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(Text(IDS_BITRATE_125K + i), bitrates[i]);
    }
}

TEST_F(BuiltinSetTest, EveryFormatOfTheProgramIsAValidFormat) {
    for (uint32_t id : index.StringIds()) {
        if (res::IsFormatStringId(id)) {
            std::string signature;
            EXPECT_TRUE(res::PrintfSignature(index.String(id), &signature)) << id;
        }
    }
}

TEST_F(BuiltinSetTest, CommandsHavePromptAndTooltip) {
    std::set<uint32_t> commands;
    for (uint32_t id : index.MenuIds()) {
        const SorvaneResMenu* menu = index.Menu(id);
        CollectCommands(menu->items, menu->itemCount, &commands);
    }
    for (uint32_t id : index.ToolbarIds()) {
        const SorvaneResToolbar* toolbar = index.Toolbar(id);
        for (uint32_t i = 0; i < toolbar->buttonCount; ++i) {
            if (toolbar->buttons[i] != 0) {
                commands.insert(toolbar->buttons[i]);
            }
        }
    }
    const SorvaneResAccelTable* accels = index.AccelTable(IDR_MAINFRAME);
    for (uint32_t i = 0; i < accels->entryCount; ++i) {
        commands.insert(accels->entries[i].command);
    }
    EXPECT_GE(commands.size(), 50u);

    res::ResourceLookup lookup;
    ASSERT_TRUE(lookup.SetBuiltin(SorvaneBuiltinResourceSet(), nullptr));
    for (uint32_t id : commands) {
        ASSERT_NE(lookup.String(id), nullptr) << "command " << id << " has no string";
        EXPECT_FALSE(lookup.Prompt(id).empty()) << id;
        const bool noTooltip =
            (id >= ID_VIEW_APPLOOK_OFF_2007_BLUE && id <= ID_VIEW_APPLOOK_WINDOWS_7) ||
            (id >= ID_CANDB_RECENT1 && id <= ID_CANDB_RECENT4);
        EXPECT_EQ(lookup.Tooltip(id).empty(), noTooltip) << id;
    }
    EXPECT_EQ(lookup.Prompt(ID_COMM_START), "動作環境で有効にしたCANに接続し通信を開始します");
    EXPECT_EQ(lookup.Tooltip(ID_COMM_START), "通信開始");
    EXPECT_EQ(
        lookup.Prompt(ID_MONITOR_SAVE),
        "モニタウィンドウに表示されているログをテキストファイルに保存します(通信切断時のみ有効で"
        "す)");
    EXPECT_EQ(lookup.Tooltip(ID_MONITOR_SAVE_SETTING), "モニタログ保存設定/解除");
    EXPECT_EQ(lookup.Tooltip(ID_BUS_ONOFF_CAN1 + 4), "バスON/OFF(CAN5)");
    EXPECT_EQ(lookup.Tooltip(ID_STATISTICS_CLEAR), "統計情報クリア(すべて)");
    EXPECT_EQ(lookup.Tooltip(ID_BUSLOAD_LINE_ALL), "グラフ線(CAN1～5)の表示・非表示");
    EXPECT_EQ(lookup.Tooltip(ID_BUSLOAD_HIST_120), "履歴時間表示(120秒)");
    EXPECT_EQ(lookup.Tooltip(ID_COMM_RESET), "通信リセット");
}

TEST_F(BuiltinSetTest, MainAndChildMenus) {
    const SorvaneResMenu* main = index.Menu(IDR_MAINFRAME);
    const SorvaneResMenu* child = index.Menu(IDR_SorvaneTYPE);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(Captions(main->items, main->itemCount),
              (std::vector<std::string>{"ファイル(&F)", "通信(&C)", "メッセージ(&M)", "モニタ(&M)",
                                        "統計情報(&S)", "バス占有率(&B)", "メッセージ情報(&L)",
                                        "表示(&V)", "ヘルプ(&H)"}));
    EXPECT_EQ(std::string(child->items[3].text), "モニタ(&N)");

    const SorvaneResMenuItem* file = FindPopup(main->items, main->itemCount, "ファイル(&F)");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(Captions(file->items, file->itemCount),
              (std::vector<std::string>{
                  "CANdbファイルのオープン(&D)...\tCtrl+D", "最近使ったCANdbファイル(&R)", "-",
                  "動作環境のインポート(&I)...", "動作環境のエクスポート(&E)...", "-",
                  "動作環境(&O)...\tF10", "-", "終了(&X)\tAlt+F4"}));
    const SorvaneResMenuItem& recent = file->items[1];
    ASSERT_EQ(recent.itemCount, 4u);
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(recent.items[i].id, ID_CANDB_RECENT1 + i);
        EXPECT_STREQ(recent.items[i].text, "(なし)");
    }
    // The child menu is the same bar without the recent-file popup.
    std::set<uint32_t> mainCommands;
    std::set<uint32_t> childCommands;
    CollectCommands(main->items, main->itemCount, &mainCommands);
    CollectCommands(child->items, child->itemCount, &childCommands);
    for (uint32_t id = ID_CANDB_RECENT1; id <= ID_CANDB_RECENT4; ++id) {
        EXPECT_EQ(mainCommands.erase(id), 1u);
    }
    EXPECT_EQ(mainCommands, childCommands);
    // Ctrl+R and both menus reach the same reset command.
    EXPECT_EQ(childCommands.count(ID_COMM_RESET), 1u);

    const SorvaneResMenuItem* comm = FindPopup(main->items, main->itemCount, "通信(&C)");
    ASSERT_NE(comm, nullptr);
    const SorvaneResMenuItem* bus = FindPopup(comm->items, comm->itemCount, "バスON/OFF(&B)");
    ASSERT_NE(bus, nullptr);
    ASSERT_EQ(bus->itemCount, 5u);
    EXPECT_STREQ(bus->items[2].text, "CAN3 (&3)");
    EXPECT_EQ(bus->items[2].id, static_cast<uint32_t>(ID_BUS_ONOFF_CAN3));
}

TEST_F(BuiltinSetTest, PopupMenus) {
    auto firstPopup = [&](uint32_t id) -> const SorvaneResMenuItem& {
        const SorvaneResMenu* menu = index.Menu(id);
        EXPECT_NE(menu, nullptr) << id;
        EXPECT_EQ(menu->items[0].kind, static_cast<uint32_t>(SORVANE_MENU_POPUP)) << id;
        return menu->items[0];
    };
    const SorvaneResMenuItem& edit = firstPopup(IDR_POPUP_EDIT);
    EXPECT_STREQ(edit.text, "編集");
    EXPECT_EQ(Captions(edit.items, edit.itemCount),
              (std::vector<std::string>{"コピー(&C)", "すべて選択(&A)", "全てクリア(&L)"}));
    EXPECT_EQ(edit.items[2].id, static_cast<uint32_t>(ID_EDIT_CLEAR_ALL));

    const SorvaneResMenuItem& monitor = firstPopup(IDR_MENU_MONITOR);
    EXPECT_STREQ(monitor.text, "Menu");
    EXPECT_EQ(Captions(monitor.items, monitor.itemCount),
              (std::vector<std::string>{"スクロール有効/無効(&R)", "-", "保存設定(&T)...", "-",
                                        "モニタログ保存(&S)...", "-", "モニタクリア(&L)"}));
    const SorvaneResMenuItem& stats = firstPopup(IDR_MENU_STATISTICS);
    EXPECT_EQ(Captions(stats.items, stats.itemCount),
              (std::vector<std::string>{"統計情報クリア(CAN単位)", "統計情報クリア(すべて)",
                                        "クリップボードにコピー(&C)"}));
    const SorvaneResMenuItem& info = firstPopup(IDR_MENU_MESSAGEINFO);
    EXPECT_EQ(info.items[0].id, static_cast<uint32_t>(ID_MESSAGEINFO_CLEAR));
    EXPECT_STREQ(info.items[0].text, "周期情報のクリア(&C)");
    EXPECT_STREQ(info.items[1].text, "クリップボードにコピー(&L)");
    const SorvaneResMenuItem& dropDown = firstPopup(IDR_MENU_STATISTICS_CLEAR);
    EXPECT_EQ(Captions(dropDown.items, dropDown.itemCount),
              (std::vector<std::string>{"CAN1(&1)", "CAN2(&2)", "CAN3(&3)", "CAN4(&4)", "CAN5(&5)",
                                        "-", "すべて(&A)"}));
    EXPECT_EQ(firstPopup(IDR_MENU_BUSLOAD_LINES).itemCount, 5u);
    const SorvaneResMenuItem& looks = firstPopup(IDR_THEME_MENU);
    ASSERT_EQ(looks.itemCount, 5u);
    EXPECT_STREQ(looks.items[0].text, "Office 2007 (ブルー スタイル)(&B)");
    EXPECT_STREQ(looks.items[4].text, "Windows 7(&D)");
    EXPECT_EQ(looks.items[4].id, static_cast<uint32_t>(ID_VIEW_APPLOOK_WINDOWS_7));
    EXPECT_STREQ(firstPopup(IDR_POPUP_WINDOW).items[0].text, "新しいウィンドウを開く(&N)");
}

TEST_F(BuiltinSetTest, ToolbarsMatchTheirStrips) {
    struct Expected {
        uint32_t id;
        int size;
        std::vector<uint32_t> buttons;
        uint32_t disabled;
    };
    const Expected expected[] = {
        {133, 32, {32829, 0, 32771, 32772, 0, 32778, 0, 32810}, 346},
        {320, 24, {32781, 0, 32782, 0, 32783, 32785, 0, 32787}, 347},
        {316, 24, {32789, 0, 32790}, 349},
        {318, 24, {32808, 0, 32809}, 350},
        {317, 24, {32799, 32800, 32801, 32802, 32803, 0, 32798, 0, 32804, 32805, 32806}, 348},
    };
    for (const Expected& e : expected) {
        const SorvaneResToolbar* toolbar = index.Toolbar(e.id);
        ASSERT_NE(toolbar, nullptr) << e.id;
        EXPECT_EQ(toolbar->buttonWidth, e.size);
        EXPECT_EQ(toolbar->buttonHeight, e.size);
        EXPECT_EQ(std::vector<uint32_t>(toolbar->buttons, toolbar->buttons + toolbar->buttonCount),
                  e.buttons);
        EXPECT_EQ(toolbar->disabledBitmap, e.disabled);
        const SorvaneResImage* strip = index.Image(toolbar->bitmap);
        ASSERT_NE(strip, nullptr) << e.id;
        uint32_t cells = 0;
        for (uint32_t b : e.buttons) {
            cells += b != 0;
        }
        EXPECT_EQ(strip->cellCount, cells) << e.id;
        EXPECT_EQ(strip->cellWidth, e.size);
        const SorvaneResImage* disabled = index.Image(e.disabled);
        ASSERT_NE(disabled, nullptr);
        EXPECT_EQ(disabled->source, e.id);
    }
    const SorvaneResImage* menuImages = index.Image(IDB_MENU_IMAGES);
    ASSERT_NE(menuImages, nullptr);
    EXPECT_EQ(menuImages->cellWidth, 16);
    ASSERT_NE(menuImages->commands, nullptr);
    EXPECT_EQ(menuImages->commands[0], static_cast<uint32_t>(ID_CANDB_OPEN));
    const SorvaneResImage* tree = index.Image(IDB_CANDB_TREE);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->cellCount * tree->cellWidth, 64u);
    EXPECT_EQ(tree->cellHeight, 16);
}

TEST_F(BuiltinSetTest, AcceleratorTable) {
    const SorvaneResAccelTable* table = index.AccelTable(IDR_MAINFRAME);
    ASSERT_NE(table, nullptr);
    std::map<std::string, uint32_t> keys;
    for (uint32_t i = 0; i < table->entryCount; ++i) {
        keys[table->entries[i].key] = table->entries[i].command;
    }
    EXPECT_EQ(keys, (std::map<std::string, uint32_t>{{"Ctrl+D", 32829},
                                                     {"F2", 32771},
                                                     {"Shift+F2", 32772},
                                                     {"Ctrl+M", 32778},
                                                     {"F10", 32810},
                                                     {"Ctrl+R", 32834}}));
}

TEST_F(BuiltinSetTest, DialogTexts) {
    res::ResourceLookup lookup;
    ASSERT_TRUE(lookup.SetBuiltin(SorvaneBuiltinResourceSet(), nullptr));
    auto text = [&](uint32_t dialog, uint32_t control) {
        const char* t = lookup.DialogText(dialog, control);
        return std::string(t != nullptr ? t : "<none>");
    };
    EXPECT_STREQ(lookup.DialogCaption(IDD_ABOUTBOX), "バージョン情報");
    EXPECT_STREQ(lookup.DialogCaption(IDD_OPTION_COMMON), "全般");
    EXPECT_STREQ(lookup.DialogCaption(IDD_OPTION_CAN), "CAN");
    EXPECT_STREQ(lookup.DialogCaption(IDD_BUSPARAM_PRESET), "プリセット");
    EXPECT_STREQ(lookup.DialogCaption(IDD_SEND_MESSAGE), "メッセージ送信");
    EXPECT_STREQ(lookup.DialogCaption(IDD_DATA_BIT), "ビット設定");

    EXPECT_EQ(text(IDD_OPTION_COMMON, IDC_LABEL_THRESHOLD_UNIT), "% (0～100)");
    EXPECT_EQ(text(IDD_OPTION_COMMON, IDC_STATIC_MAXLINE_RANGE), "(32767～2147483647)");
    EXPECT_EQ(text(IDD_OPTION_COMMON, IDC_RADIO_INIFILE), "INIファイル");
    EXPECT_EQ(text(IDD_OPTION_COMMON, IDC_STATIC_LANGUAGE_NOTE),
              "※選択した言語は再起動後に有効になります。");
    EXPECT_EQ(text(IDD_OPTION_CAN, IDC_CHECK_ENABLE), "有効");
    EXPECT_EQ(text(IDD_OPTION_CAN, IDC_BUTTON_DATA_PRESET), "プリセット");
    EXPECT_EQ(text(IDD_OPTION_CAN, IDC_STATIC_CAN_NOTE), "※通信中は変更できません");
    EXPECT_EQ(text(IDD_BUSPARAM_PRESET, IDCANCEL), "キャンセル");
    EXPECT_EQ(text(IDD_SEND_MESSAGE, IDOK), "送信");
    EXPECT_EQ(text(IDD_SEND_MESSAGE, IDCANCEL), "閉じる");
    EXPECT_EQ(text(IDD_SEND_MESSAGE, IDC_LABEL_CHANNEL), "CAN (1～5)：");
    EXPECT_EQ(text(IDD_SEND_MESSAGE, IDC_LABEL_ID), "ID (0～7FF)：");
    EXPECT_EQ(text(IDD_SEND_MESSAGE, IDC_BUTTON_BITEDIT), "■");
    EXPECT_EQ(text(IDD_DATA_BIT, IDC_STATIC_BYTE0 + 7), "00");
    EXPECT_EQ(text(IDD_DATA_BIT, IDC_BUTTON_BITRESET), "リセット");
    EXPECT_EQ(text(IDD_OPTION_COLOR, IDC_BUTTON_REVERT), "元に戻す");
    EXPECT_EQ(text(IDD_SEND_MESSAGE, 9999), "<none>");

    // The same number names different controls in different dialogs.
    EXPECT_EQ(lookup.Control(IDD_OPTION_CAN, 1001)->kind,
              static_cast<uint32_t>(SORVANE_CONTROL_COMBO));
    EXPECT_EQ(lookup.Control(IDD_SEND_MESSAGE, 1001)->kind,
              static_cast<uint32_t>(SORVANE_CONTROL_LABEL));

    const SorvaneResDialog* about = lookup.Dialog(IDD_ABOUTBOX);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->cx, 204);
    EXPECT_EQ(about->cy, 184);
    EXPECT_STREQ(about->fontFace, "Meiryo UI");
    EXPECT_EQ(about->fontSize, 10);
    EXPECT_EQ(lookup.Dialog(IDD_DATA_BIT)->fontSize, 9);
    EXPECT_EQ(lookup.Dialog(IDD_BUSPARAM_PRESET)->fontSize, 9);
    const SorvaneResControl* tree = lookup.Control(IDD_ABOUTBOX, IDC_TREE_VERSION);
    EXPECT_STREQ(tree->className, "COMMUI_STATIC_TREE_CTRL_CLASS");
    EXPECT_EQ(tree->x, 7);
    EXPECT_EQ(tree->cy, 68);
    EXPECT_EQ(lookup.Control(IDD_ABOUTBOX, IDC_PICTURE)->image,
              static_cast<uint32_t>(IDB_ABOUT_DAY));
    EXPECT_EQ(std::string(lookup.Control(IDD_ABOUTBOX, IDC_MFCLINK_MAIL)->data).rfind("mailto:", 0),
              0u);
    EXPECT_STREQ(lookup.Control(IDD_SEND_MESSAGE, IDC_DUMP_DATA)->className,
                 "COMMUI_DUMP_CTRL_CLASS");
}

}  // namespace

// Checking of resource sets, fallback between sets, and format arguments.
#include <gtest/gtest.h>

#include <string>

#include "res/ids.h"
#include "res/resource_format.h"
#include "res/resource_lookup.h"

namespace {

// A set built in the test, all arrays empty until a case fills them.
SorvaneResourceSet EmptySet() {
    SorvaneResourceSet set{};
    set.format = SORVANE_RES_FORMAT;
    set.size = sizeof(SorvaneResourceSet);
    set.language = 2052;
    set.name = "TestSet";
    set.version = {1, 3, 0, 1};
    return set;
}

TEST(ResourceIndexTest, RefusesStructurallyBrokenSets) {
    res::ResourceIndex index;
    std::string error;
    EXPECT_FALSE(index.Build(nullptr, &error));
    EXPECT_FALSE(error.empty());

    SorvaneResourceSet set = EmptySet();
    set.format = 2;
    EXPECT_FALSE(index.Build(&set, &error));
    EXPECT_NE(error.find("format"), std::string::npos);

    set = EmptySet();
    set.size = sizeof(SorvaneResourceSet) - 8;  // built against an older layout
    EXPECT_FALSE(index.Build(&set, &error));

    set = EmptySet();
    set.stringCount = 3;  // announced, not given
    EXPECT_FALSE(index.Build(&set, &error));
    EXPECT_NE(error.find("strings"), std::string::npos);

    static const SorvaneResString one[] = {{1, "x"}};
    set = EmptySet();
    set.strings = one;
    set.stringCount = res::ResourceIndex::kMaxEntries + 1;
    EXPECT_FALSE(index.Build(&set, &error));
    EXPECT_FALSE(index.IsValid());

    set = EmptySet();
    EXPECT_TRUE(index.Build(&set, &error));  // empty but sound
    EXPECT_TRUE(index.IsValid());
    EXPECT_EQ(index.String(1), nullptr);
}

TEST(ResourceIndexTest, LeavesOutFaultyEntriesOnly) {
    static const SorvaneResString strings[] = {
        {10, "ten"},          {11, nullptr}, {12, "\xE3\x81"},  // truncated sequence
        {13, "\xC0\xAF"},                                       // overlong slash
        {14, "\xED\xA0\x80"},                                   // surrogate
        {10, "duplicate"},    {15, "五"},
    };
    static SorvaneResMenuItem loop[1];
    loop[0] = {SORVANE_MENU_POPUP, 0, "loop", loop, 1};  // points at itself
    static const SorvaneResMenuItem fine[] = {{SORVANE_MENU_COMMAND, 5, "&Five", nullptr, 0}};
    static const SorvaneResMenuItem missing[] = {{SORVANE_MENU_POPUP, 0, "gone", nullptr, 2}};
    static const SorvaneResMenu menus[] = {{1, loop, 1}, {2, fine, 1}, {3, missing, 1}};
    static const SorvaneResControl controls[] = {
        {7, SORVANE_CONTROL_LABEL, "a", nullptr, 0, 0, 0, 0, 0, nullptr},
        {7, SORVANE_CONTROL_LABEL, "b", nullptr, 0, 0, 0, 0, 0, nullptr},
    };
    static const SorvaneResDialog dialogs[] = {
        {100, "About", nullptr, 9, 0, 0, controls, 2},
        {101, "Broken", nullptr, 9, 0, 0, nullptr, 4},
    };
    static const uint32_t buttons[] = {1, 0, 2};
    static const SorvaneResToolbar toolbars[] = {
        {1, 24, 24, buttons, 3, 1, 0},
        {2, 0, 24, buttons, 3, 2, 0},   // no width
        {3, 24, 24, nullptr, 3, 3, 0},  // no buttons
    };
    static const SorvaneResShape shapes[] = {
        {SORVANE_SHAPE_RECT, 0, 0xFF000000u, 0, 0, 0, 0, 0, 4, 4, 0, nullptr}};
    static const SorvaneResVector cells[] = {{shapes, 1}};
    static const SorvaneResVector badCells[] = {{nullptr, 3}};
    static const SorvaneResImage images[] = {
        {1, SORVANE_IMAGE_BITMAP, 0, 4, 4, cells, 1, 0, nullptr, nullptr, 0, nullptr, 0},
        {1, SORVANE_IMAGE_ICON, 0, 4, 4, cells, 1, 0, nullptr, nullptr, 0, nullptr, 0},
        {2, SORVANE_IMAGE_BITMAP, 0, 0, 4, cells, 1, 0, nullptr, nullptr, 0, nullptr, 0},
        {3, SORVANE_IMAGE_BITMAP, 0, 4, 4, badCells, 1, 0, nullptr, nullptr, 0, nullptr, 0},
        {4, SORVANE_IMAGE_BITMAP, SORVANE_IMAGE_DISABLED, 0, 0, nullptr, 0, 4, nullptr, nullptr, 0,
         nullptr, 0},                                                    // its own source
        {5, 77, 0, 4, 4, cells, 1, 0, nullptr, nullptr, 0, nullptr, 0},  // unknown kind
    };
    SorvaneResourceSet set = EmptySet();
    set.strings = strings;
    set.stringCount = SORVANE_RES_COUNT(strings);
    set.menus = menus;
    set.menuCount = SORVANE_RES_COUNT(menus);
    set.dialogs = dialogs;
    set.dialogCount = SORVANE_RES_COUNT(dialogs);
    set.toolbars = toolbars;
    set.toolbarCount = SORVANE_RES_COUNT(toolbars);
    set.images = images;
    set.imageCount = SORVANE_RES_COUNT(images);

    res::ResourceIndex index;
    std::string error;
    ASSERT_TRUE(index.Build(&set, &error)) << error;
    EXPECT_STREQ(index.String(10), "ten");  // the first of two wins
    EXPECT_EQ(index.String(11), nullptr);
    EXPECT_EQ(index.String(12), nullptr);
    EXPECT_EQ(index.String(13), nullptr);
    EXPECT_EQ(index.String(14), nullptr);
    EXPECT_STREQ(index.String(15), "五");
    EXPECT_EQ(index.Menu(1), nullptr);  // the loop ends at the depth limit
    EXPECT_NE(index.Menu(2), nullptr);
    EXPECT_EQ(index.Menu(3), nullptr);
    EXPECT_NE(index.Dialog(100), nullptr);
    EXPECT_STREQ(index.Control(100, 7)->text, "a");
    EXPECT_EQ(index.Dialog(101), nullptr);
    EXPECT_NE(index.Toolbar(1), nullptr);
    EXPECT_EQ(index.Toolbar(2), nullptr);
    EXPECT_EQ(index.Toolbar(3), nullptr);
    EXPECT_NE(index.Image(1, SORVANE_IMAGE_BITMAP), nullptr);
    EXPECT_NE(index.Image(1, SORVANE_IMAGE_ICON), nullptr);  // same number, other kind
    EXPECT_EQ(index.Image(2), nullptr);
    EXPECT_EQ(index.Image(3), nullptr);
    EXPECT_EQ(index.Image(4), nullptr);
    EXPECT_EQ(index.Image(5, 77), nullptr);
    // 11, 12, 13, 14, duplicate 10, menus 1 and 3, control 7, dialog 101,
    // toolbars 2 and 3, images 2, 3, 4, 5.
    EXPECT_EQ(index.Problems().size(), 15u);
}

TEST(ResourceLookupTest, LanguageSetFirstThenBuiltin) {
    static const SorvaneResString strings[] = {
        {IDS_CONFIRM_EXIT, "退出 Sorvane？"},   {ID_COMM_STOP, "停止通信\n通讯停止"},
        {IDS_FMT_UPTIME, "%02d时%02d分%02d秒"},  // same arguments
        {IDS_FMT_CHANNEL_CANFD, "CAN%d [%d]"},   // other arguments
        {IDS_FMT_BUS_ONOFF, "CAN%d: %n"},        // writes through an argument
    };
    static const SorvaneResControl sendControls[] = {
        {IDOK, SORVANE_CONTROL_DEFAULT_BUTTON, "发送", nullptr, 0, 0, 0, 0, 0, nullptr},
        {IDCANCEL, SORVANE_CONTROL_BUTTON, nullptr, nullptr, 0, 0, 0, 0, 0, nullptr},
    };
    static const SorvaneResDialog dialogs[] = {
        {IDD_SEND_MESSAGE, "发送消息", nullptr, 9, 0, 0, sendControls, 2}};
    static const SorvaneResShape shapes[] = {
        {SORVANE_SHAPE_RECT, 0, 0xFF000000u, 0, 0, 0, 0, 0, 24, 24, 0, nullptr}};
    static const SorvaneResVector cells[] = {{shapes, 1}, {shapes, 1}};
    static const SorvaneResImage images[] = {
        {IDR_TOOLBAR_STATISTICS, SORVANE_IMAGE_BITMAP, 0, 24, 24, cells, 2, 0, nullptr, nullptr, 0,
         nullptr, 0},
        {IDB_TOOLBAR_STATISTICS_DISABLED, SORVANE_IMAGE_BITMAP, SORVANE_IMAGE_DISABLED, 0, 0,
         nullptr, 0, IDR_TOOLBAR_STATISTICS, nullptr, nullptr, 0, nullptr, 0},
        {IDB_TOOLBAR_MONITOR_DISABLED, SORVANE_IMAGE_BITMAP, SORVANE_IMAGE_DISABLED, 0, 0, nullptr,
         0, IDB_TOOLBAR_MESSAGEINFO_DISABLED, nullptr, nullptr, 0, nullptr, 0},  // a chain
    };
    SorvaneResourceSet set = EmptySet();
    set.strings = strings;
    set.stringCount = SORVANE_RES_COUNT(strings);
    set.dialogs = dialogs;
    set.dialogCount = 1;
    set.images = images;
    set.imageCount = SORVANE_RES_COUNT(images);

    res::ResourceLookup lookup;
    std::string error;
    ASSERT_TRUE(lookup.SetBuiltin(SorvaneBuiltinResourceSet(), &error)) << error;
    ASSERT_TRUE(lookup.SetLanguage(&set, &error)) << error;
    EXPECT_TRUE(lookup.HasLanguage());

    EXPECT_STREQ(lookup.String(IDS_CONFIRM_EXIT), "退出 Sorvane？");
    EXPECT_STREQ(lookup.String(IDS_ERR_COMM_START), "通信開始に失敗しました。");  // fallback
    EXPECT_EQ(lookup.Prompt(ID_COMM_STOP), "停止通信");
    EXPECT_EQ(lookup.Tooltip(ID_COMM_STOP), "通讯停止");
    EXPECT_EQ(lookup.Tooltip(ID_COMM_START), "通信開始");  // fallback
    EXPECT_STREQ(lookup.String(IDS_FMT_UPTIME), "%02d时%02d分%02d秒");
    EXPECT_STREQ(lookup.String(IDS_FMT_CHANNEL_CANFD), "CAN%d (CAN-FD): [Arb=%s][Dat=%s]");
    EXPECT_STREQ(lookup.String(IDS_FMT_BUS_ONOFF), "CAN%d: BUS %s (&%d)");

    EXPECT_STREQ(lookup.DialogCaption(IDD_SEND_MESSAGE), "发送消息");
    EXPECT_STREQ(lookup.DialogText(IDD_SEND_MESSAGE, IDOK), "发送");
    EXPECT_STREQ(lookup.DialogText(IDD_SEND_MESSAGE, IDCANCEL), "閉じる");      // no text: fallback
    EXPECT_STREQ(lookup.DialogText(IDD_SEND_MESSAGE, IDC_LABEL_DLC), "DLC：");  // not in the set
    EXPECT_STREQ(lookup.DialogCaption(IDD_DATA_BIT), "ビット設定");

    // The library's disabled strip shows the library's normal strip; a
    // disabled image pointing at another disabled image shows nothing.
    const SorvaneResImage* disabled = lookup.Image(IDB_TOOLBAR_STATISTICS_DISABLED);
    ASSERT_NE(disabled, nullptr);
    EXPECT_EQ(lookup.ImageSource(disabled), &images[0]);
    EXPECT_EQ(lookup.ImageSource(lookup.Image(IDB_TOOLBAR_MONITOR_DISABLED)), nullptr);
    // Untouched kinds come from the built-in set.
    EXPECT_NE(lookup.Menu(IDR_MAINFRAME), nullptr);
    EXPECT_EQ(lookup.Toolbar(IDR_MAINFRAME)->buttonWidth, 32);
    EXPECT_EQ(lookup.Version().minor, 3);  // the program's version, not the library's

    ASSERT_TRUE(lookup.SetLanguage(nullptr, nullptr));
    EXPECT_FALSE(lookup.HasLanguage());
    EXPECT_STREQ(lookup.String(IDS_CONFIRM_EXIT), "Sorvaneを終了してよろしいですか？");

    SorvaneResourceSet broken = EmptySet();
    broken.menuCount = 2;
    EXPECT_FALSE(lookup.SetLanguage(&broken, &error));
    EXPECT_FALSE(lookup.HasLanguage());
    EXPECT_STREQ(lookup.String(IDS_CONFIRM_EXIT), "Sorvaneを終了してよろしいですか？");
}

TEST(ResourceLookupTest, PromptAndTooltipSplit) {
    static const SorvaneResString strings[] = {
        {1, "prompt only"}, {2, "prompt\ntip"}, {3, "\nSorvane\nSorvane"}, {4, "p\n"}, {5, ""},
    };
    SorvaneResourceSet set = EmptySet();
    set.strings = strings;
    set.stringCount = SORVANE_RES_COUNT(strings);
    res::ResourceLookup lookup;
    ASSERT_TRUE(lookup.SetBuiltin(&set, nullptr));
    EXPECT_EQ(lookup.Prompt(1), "prompt only");
    EXPECT_EQ(lookup.Tooltip(1), "");
    EXPECT_EQ(lookup.Prompt(2), "prompt");
    EXPECT_EQ(lookup.Tooltip(2), "tip");
    EXPECT_EQ(lookup.Prompt(3), "");
    EXPECT_EQ(lookup.Tooltip(3), "Sorvane");  // only the second field
    EXPECT_EQ(lookup.Tooltip(4), "");
    EXPECT_EQ(lookup.Prompt(5), "");
    EXPECT_EQ(lookup.Prompt(99), "");
    EXPECT_EQ(lookup.Tooltip(99), "");
}

TEST(ResourceFormatTest, Signatures) {
    struct Case {
        const char* format;
        bool valid;
        const char* signature;
    };
    const Case cases[] = {
        {"plain", true, ""},
        {"%d%% ", true, "d"},
        {"%02d:%02d:%02d", true, "d,d,d"},
        {"CAN%d (CAN-FD): [Arb=%s][Dat=%s]", true, "d,s,s"},
        {"%-6.3f and %u", true, "f,d"},
        {"%lld", true, "lld"},
        {"%*d", true, "*,d"},
        {"%.*s", true, "*,s"},
        {"%08X", true, "d"},
        {"%n", false, ""},
        {"50%", false, ""},
        {"80%灰色", false, ""},
        {"%q", false, ""},
    };
    for (const Case& c : cases) {
        std::string signature = "unset";
        EXPECT_EQ(res::PrintfSignature(c.format, &signature), c.valid) << c.format;
        if (c.valid) {
            EXPECT_EQ(signature, c.signature) << c.format;
        }
    }
    EXPECT_FALSE(res::PrintfSignature(nullptr, nullptr));
    EXPECT_TRUE(res::SameArguments("%d days %02d:%02d:%02d", "%d日 %02d:%02d:%02d"));
    EXPECT_FALSE(res::SameArguments("CAN%d (CAN): %s", "CAN%s (CAN): %d"));
    EXPECT_FALSE(res::SameArguments("%d", "%d %d"));
    EXPECT_FALSE(res::SameArguments("%lld", "%d"));
}

TEST(ResourceFormatTest, FormatsLongTexts) {
    const std::string big(2000, 'x');
    EXPECT_EQ(res::FormatText("[%s]", big.c_str()), "[" + big + "]");
    EXPECT_EQ(res::FormatText("%s (0x%08X)", "Msg", 0x123u), "Msg (0x00000123)");
    EXPECT_EQ(res::FormatText(nullptr), "");
}

}  // namespace

// The delivered language libraries against the built-in set, and the check
// that compares them, fed one fault at a time.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "res/ids.h"
#include "res/language_library.h"
#include "res/translation_check.h"

namespace {

// ---- the delivered libraries -----------------------------------------------

struct Delivered {
    const char* path;
    const char* name;
    uint32_t language;
    uint32_t anchorId;  // a text the library must carry exactly
    const char* anchor;
    const char* firstMenu;  // caption of the main menu's first popup
};

const Delivered kDelivered[] = {
    {SORVANE_LANG_CN_LIB, "SorvaneResCn", 2052, ID_COMM_RESET,
     "重置通信环境，例如重新连接 CAN 库。\n通讯复位", "文件(&F)"},
    {SORVANE_LANG_EN_LIB, "SorvaneResEn", 1033, IDS_ERR_LANGLIB_EN,
     "The resource library for the selected language could not be loaded. \n"
     "Display Sorvane in Japanese.",
     "&File"},
};

// Hiragana, katakana and half-width katakana: Japanese that a translation
// left behind.
bool HasKana(const char* text) {
    for (const auto* p = reinterpret_cast<const unsigned char*>(text); p != nullptr && *p; ++p) {
        // U+3040..U+30FF are E3 81 80..E3 83 BF; U+FF66..U+FF9F are EF BD A6..EF BE 9F.
        if (p[0] == 0xE3 && p[1] >= 0x81 && p[1] <= 0x83) {
            return true;
        }
        if (p[0] == 0xEF && ((p[1] == 0xBD && p[2] >= 0xA6) || (p[1] == 0xBE && p[2] <= 0x9F))) {
            return true;
        }
    }
    return false;
}

void CollectCaptions(const SorvaneResMenuItem* items, uint32_t count,
                     std::vector<std::string>* out) {
    for (uint32_t i = 0; i < count; ++i) {
        if (items[i].text != nullptr) {
            out->push_back(items[i].text);
        }
        if (items[i].kind == SORVANE_MENU_POPUP) {
            CollectCaptions(items[i].items, items[i].itemCount, out);
        }
    }
}

TEST(DeliveredLibraries, StandInForTheBuiltInSetAndLeaveNoJapaneseBehind) {
    res::ResourceIndex builtin;
    ASSERT_TRUE(builtin.Build(SorvaneBuiltinResourceSet(), nullptr));
    for (const Delivered& d : kDelivered) {
        SCOPED_TRACE(d.name);
        res::LanguageLibrary library;
        ASSERT_EQ(library.Load(d.path), res::LibraryStatus::Loaded) << library.Error();
        res::ResourceIndex index;
        std::string error;
        ASSERT_TRUE(index.Build(library.Set(), &error)) << error;
        for (const std::string& problem : res::CheckTranslation(builtin, index)) {
            ADD_FAILURE() << d.name << ": " << problem;
        }
        EXPECT_STREQ(library.Set()->name, d.name);
        EXPECT_EQ(index.Language(), d.language);
        EXPECT_EQ(res::PackVersion(index.Version()), 0x01030000u);
        EXPECT_EQ(res::ProbeLibraryVersion(d.path), 0x01030000u);
        ASSERT_NE(index.String(d.anchorId), nullptr);
        EXPECT_STREQ(index.String(d.anchorId), d.anchor);
        EXPECT_STREQ(index.Menu(IDR_MAINFRAME)->items[0].text, d.firstMenu);

        std::vector<std::string> texts;
        for (uint32_t id : index.StringIds()) {
            // The missing-library messages stay in their own languages.
            if (id < IDS_ERR_LANGLIB_JA || id > IDS_ERR_LANGLIB_KO) {
                texts.push_back(index.String(id));
            }
        }
        for (uint32_t id : index.MenuIds()) {
            CollectCaptions(index.Menu(id)->items, index.Menu(id)->itemCount, &texts);
        }
        for (uint32_t id : index.DialogIds()) {
            const SorvaneResDialog* dialog = index.Dialog(id);
            texts.push_back(dialog->caption);
            for (uint32_t c = 0; c < dialog->controlCount; ++c) {
                if (dialog->controls[c].text != nullptr) {
                    texts.push_back(dialog->controls[c].text);
                }
            }
        }
        for (const std::string& text : texts) {
            EXPECT_FALSE(HasKana(text.c_str())) << "untranslated: " << text;
        }
    }
}

// ---- the check, fault by fault -----------------------------------------------

// A copy of the built-in set whose parts can be changed.
class MutableSet {
public:
    MutableSet() : set(*SorvaneBuiltinResourceSet()) {
        strings.assign(set.strings, set.strings + set.stringCount);
        menus.assign(set.menus, set.menus + set.menuCount);
        dialogs.assign(set.dialogs, set.dialogs + set.dialogCount);
        toolbars.assign(set.toolbars, set.toolbars + set.toolbarCount);
        accels.assign(set.accelTables, set.accelTables + set.accelTableCount);
        images.assign(set.images, set.images + set.imageCount);
    }

    // The set as it stands after the changes.
    const SorvaneResourceSet* Set() {
        set.strings = strings.data();
        set.stringCount = static_cast<uint32_t>(strings.size());
        set.menus = menus.data();
        set.menuCount = static_cast<uint32_t>(menus.size());
        set.dialogs = dialogs.data();
        set.dialogCount = static_cast<uint32_t>(dialogs.size());
        set.toolbars = toolbars.data();
        set.toolbarCount = static_cast<uint32_t>(toolbars.size());
        set.accelTables = accels.data();
        set.accelTableCount = static_cast<uint32_t>(accels.size());
        set.images = images.data();
        set.imageCount = static_cast<uint32_t>(images.size());
        return &set;
    }

    SorvaneResString& String(uint32_t id) {
        for (SorvaneResString& s : strings) {
            if (s.id == id) {
                return s;
            }
        }
        throw std::out_of_range("no string " + std::to_string(id));
    }
    void DropString(uint32_t id) {
        std::erase_if(strings, [id](auto& s) { return s.id == id; });
    }

    // The items of a menu, or of its popup at a path of indexes, as a
    // changeable copy put in place of the original.
    std::vector<SorvaneResMenuItem>& MenuItems(uint32_t menuId, std::vector<int> path = {}) {
        SorvaneResMenu& menu = Find(menus, menuId);
        auto& top = Own(menu.items, menu.itemCount);
        menu.items = top.data();
        std::vector<SorvaneResMenuItem>* items = &top;
        for (int index : path) {
            SorvaneResMenuItem& popup = (*items)[static_cast<size_t>(index)];
            auto& inner = Own(popup.items, popup.itemCount);
            popup.items = inner.data();
            items = &inner;
        }
        return *items;
    }

    std::vector<SorvaneResControl>& Controls(uint32_t dialogId) {
        SorvaneResDialog& dialog = Find(dialogs, dialogId);
        controlCopies.emplace_back(dialog.controls, dialog.controls + dialog.controlCount);
        dialog.controls = controlCopies.back().data();
        return controlCopies.back();
    }
    void SyncControls(uint32_t dialogId) {
        Find(dialogs, dialogId).controls = controlCopies.back().data();
        Find(dialogs, dialogId).controlCount = static_cast<uint32_t>(controlCopies.back().size());
    }
    SorvaneResControl& Control(uint32_t dialogId, uint32_t controlId) {
        for (SorvaneResControl& c : Controls(dialogId)) {
            if (c.id == controlId) {
                return c;
            }
        }
        throw std::out_of_range("no control " + std::to_string(controlId));
    }

    std::vector<SorvaneResAccel>& Accels() {
        SorvaneResAccelTable& table = accels[0];
        accelCopy.assign(table.entries, table.entries + table.entryCount);
        table.entries = accelCopy.data();
        return accelCopy;
    }

    SorvaneResourceSet set;
    std::vector<SorvaneResString> strings;
    std::vector<SorvaneResMenu> menus;
    std::vector<SorvaneResDialog> dialogs;
    std::vector<SorvaneResToolbar> toolbars;
    std::vector<SorvaneResAccelTable> accels;
    std::vector<SorvaneResImage> images;
    std::vector<uint32_t> buttons;
    std::vector<SorvaneResAccel> accelCopy;

private:
    template <typename T>
    static T& Find(std::vector<T>& items, uint32_t id) {
        for (T& item : items) {
            if (item.id == id) {
                return item;
            }
        }
        throw std::out_of_range("no resource " + std::to_string(id));
    }
    std::vector<SorvaneResMenuItem>& Own(const SorvaneResMenuItem* items, uint32_t count) {
        menuCopies.emplace_back(items, items + count);
        return menuCopies.back();
    }

    std::deque<std::vector<SorvaneResMenuItem>> menuCopies;  // never move
    std::deque<std::vector<SorvaneResControl>> controlCopies;
};

struct Fault {
    const char* name;
    std::function<void(MutableSet&)> apply;
    const char* expected;  // the one problem the check reports
};

const Fault kFaults[] = {
    {"string dropped", [](MutableSet& s) { s.DropString(IDS_ERR_INPUT); }, "string 223: missing"},
    {"string unknown to the program",
     [](MutableSet& s) {
         s.strings.push_back({9999, "?"});
     },
     "string 9999: not in the built-in set"},
    {"printf conversion changed",
     [](MutableSet& s) { s.String(IDS_FMT_BUS_ONOFF).text = "CAN%d: BUS %d (&%d)"; },
     "string 20001: reads the arguments (d,d,d), expected (d,s,d)"},
    {"placeholders swapped",
     [](MutableSet& s) { s.String(IDS_ERR_CANDB_OPEN).text = "%2\n\n理由\n%1"; },
     "string 371: format specifiers %2 %1, expected %1 %2"},
    {"placeholder lost",
     [](MutableSet& s) { s.String(IDS_ERR_MONITOR_SAVE).text = "保存できません。\n"; },
     "string 21001: format specifiers (none), expected %1"},
    {"tooltip lost", [](MutableSet& s) { s.String(ID_COMM_START).text = "通信を開始します"; },
     "string 32771: 0 line breaks, expected 1"},
    {"toolbar label lost",
     [](MutableSet& s) { s.String(IDS_TOOLBAR_LABELS).text = "a\nb\tc\nd\te\nf\tg\nh i\nj"; },
     "string 291: 3 tabs, expected 4"},
    {"missing-library message translated",
     [](MutableSet& s) { s.String(IDS_ERR_LANGLIB_EN).text = "Library missing.\nJapanese."; },
     "string 318: differs from the built-in text"},
    {"menu mnemonic changed",
     [](MutableSet& s) { s.MenuItems(IDR_MAINFRAME)[0].text = "ファイル(&G)"; },
     "menu 133/1: mnemonic \"g\", expected \"f\""},
    {"menu command changed",
     [](MutableSet& s) { s.MenuItems(IDR_MAINFRAME, {1})[0].id = ID_COMM_STOP; },
     "menu 133/2/1: command 32772, expected 32771"},
    {"menu accelerator text changed",
     [](MutableSet& s) { s.MenuItems(IDR_MAINFRAME, {1})[0].text = "通信開始(&S)\tF3"; },
     "menu 133/2/1: accelerator text \"F3\", expected \"F2\""},
    {"menu item dropped",
     [](MutableSet& s) {
         auto& items = s.MenuItems(IDR_SorvaneTYPE, {1, 5});
         items.pop_back();
         s.MenuItems(IDR_SorvaneTYPE, {1})[5].itemCount = 4;
     },
     "menu 135/2/6: 4 items, expected 5"},
    {"menu dropped",
     [](MutableSet& s) {
         std::erase_if(s.menus, [](auto& m) { return m.id == IDR_MENU_BUSLOAD_LINES; });
     },
     "menu 357: missing"},
    {"dialog control dropped",
     [](MutableSet& s) {
         std::erase_if(s.Controls(IDD_SEND_MESSAGE), [](auto& c) { return c.id == IDC_EDIT_ID; });
         s.SyncControls(IDD_SEND_MESSAGE);
     },
     "dialog 104 control 1026: missing"},
    {"dialog control of another class",
     [](MutableSet& s) { s.Control(IDD_ABOUTBOX, IDC_TREE_VERSION).className = "STATIC"; },
     "dialog 100 control 1041: window class STATIC, expected COMMUI_STATIC_TREE_CTRL_CLASS"},
    {"dialog control of another kind",
     [](MutableSet& s) {
         s.Control(IDD_OPTION_CAN, IDC_CHECK_ENABLE).kind = SORVANE_CONTROL_RADIO;
     },
     "dialog 102 control 1014: kind 4, expected 3"},
    {"dialog control text lost",
     [](MutableSet& s) { s.Control(IDD_OPTION_COMMON, IDC_RADIO_INIFILE).text = nullptr; },
     "dialog 101 control 1125: no text"},
    {"toolbar button changed",
     [](MutableSet& s) {
         SorvaneResToolbar& bar = s.toolbars[1];
         s.buttons.assign(bar.buttons, bar.buttons + bar.buttonCount);
         s.buttons[0] = ID_MONITOR_CLEAR;
         bar.buttons = s.buttons.data();
     },
     "toolbar 320: buttons differ from the built-in set"},
    {"accelerator sends another command",
     [](MutableSet& s) {
         for (auto& a : s.Accels()) {
             if (a.command == ID_COMM_RESET) {
                 a.command = ID_COMM_START;
             }
         }
     },
     "accelerators 133: Ctrl+R sends 32771, expected 32834"},
    {"older version",
     [](MutableSet& s) {
         s.set.version = {1, 2, 0, 0};
     },
     "version 1.2.0.0, expected 1.3.0.0"},
    {"image of another shape",
     [](MutableSet& s) {
         for (auto& image : s.images) {
             if (image.id == IDR_TOOLBAR_MONITOR && image.kind == SORVANE_IMAGE_BITMAP) {
                 image.cellCount = 4;
             }
         }
     },
     "bitmap 320: 4 cells of 24x24, expected 5 of 24x24"},
};

TEST(TranslationCheck, ReportsEachFaultOnce) {
    res::ResourceIndex builtin;
    ASSERT_TRUE(builtin.Build(SorvaneBuiltinResourceSet(), nullptr));
    {
        MutableSet unchanged;
        res::ResourceIndex index;
        ASSERT_TRUE(index.Build(unchanged.Set(), nullptr));
        EXPECT_EQ(res::CheckTranslation(builtin, index), std::vector<std::string>{});
    }
    for (const Fault& fault : kFaults) {
        SCOPED_TRACE(fault.name);
        MutableSet set;
        fault.apply(set);
        res::ResourceIndex index;
        ASSERT_TRUE(index.Build(set.Set(), nullptr));
        const std::vector<std::string> problems = res::CheckTranslation(builtin, index);
        ASSERT_EQ(problems.size(), 1u) << ::testing::PrintToString(problems);
        EXPECT_EQ(problems[0].rfind(fault.expected, 0), 0u) << problems[0];
    }
}

TEST(TranslationCheck, SpecifiersAndMnemonics) {
    using FormatList = std::vector<std::string>;
    const std::pair<const char*, FormatList> specifiers[] = {
        {"CAN%d: BUS %s (&%d)", {"%d", "%s", "%d"}},
        {"エラーコード: %1\n理由: %2", {"%1", "%2"}},
        {"%d%% ", {"%d"}},
        {"%.2f %% ", {"%.2f"}},
        {"%lld %08X %-5u", {"%lld", "%08X", "%-5u"}},
        {"80%灰色", {}},
        {"Gray-80%", {}},
        {"80% Gray", {}},
        {"% (0～100)", {}},
        {"%", {}},
        {"%%1", {}},
        {nullptr, {}},
    };
    for (const auto& [text, expected] : specifiers) {
        EXPECT_EQ(res::FormatSpecifiers(text), expected) << (text != nullptr ? text : "null");
    }
    const std::pair<const char*, const char*> mnemonics[] = {
        {"&File", "f"}, {"文件(&F)", "f"}, {"CAN&1", "1"}, {"Save && Exit", ""}, {"A&&B &c", "c"},
        {"end&", ""},   {"&文件", "文"},   {"", ""},       {nullptr, ""},
    };
    for (const auto& [caption, expected] : mnemonics) {
        EXPECT_EQ(res::Mnemonic(caption), expected) << (caption != nullptr ? caption : "null");
    }
}

}  // namespace

#include "res/translation_check.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <map>
#include <set>
#include <utility>

#include "platform/os/format.h"
#include "res/ids.h"
#include "res/resource_format.h"

namespace res {

namespace {

// Length of the UTF-8 sequence that starts with byte c (1 for a stray byte).
size_t SequenceLength(unsigned char c) {
    if (c >= 0xF0) {
        return 4;
    }
    if (c >= 0xE0) {
        return 3;
    }
    return c >= 0xC0 ? 2 : 1;
}

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& part : parts) {
        out += out.empty() ? "" : " ";
        out += part;
    }
    return out.empty() ? "(none)" : out;
}

size_t Count(const char* text, char c) {
    return static_cast<size_t>(std::count(text, text + std::strlen(text), c));
}

// The accelerator text of a menu caption: what follows the tab.
std::string AcceleratorText(const char* caption) {
    const char* tab = caption != nullptr ? std::strchr(caption, '\t') : nullptr;
    return tab != nullptr ? std::string(tab + 1) : std::string();
}

std::string Quoted(const std::string& text) {
    return text.empty() ? "none" : "\"" + text + "\"";
}

class Checker {
public:
    Checker(const ResourceIndex& reference, const ResourceIndex& translation)
        : ref_(reference), lang_(translation) {}

    std::vector<std::string> Run() {
        for (const std::string& problem : lang_.Problems()) {
            problems_.push_back("left out: " + problem);
        }
        const SorvaneResVersion a = ref_.Version();
        const SorvaneResVersion b = lang_.Version();
        if (a.major != b.major || a.minor != b.minor || a.build != b.build ||
            a.revision != b.revision) {
            Add("version %u.%u.%u.%u, expected %u.%u.%u.%u", b.major, b.minor, b.build, b.revision,
                a.major, a.minor, a.build, a.revision);
        }
        Strings();
        Menus();
        Dialogs();
        Toolbars();
        Accelerators();
        Images();
        return std::move(problems_);
    }

private:
    void Add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        problems_.push_back(os::VFormat(format, args));
        va_end(args);
    }

    // Identifiers of the translation the reference does not know: unused at
    // best, a typo of the identifier at worst.
    void Extra(const char* kind, const std::vector<uint32_t>& reference,
               const std::vector<uint32_t>& translation) {
        for (uint32_t id : translation) {
            if (!std::binary_search(reference.begin(), reference.end(), id)) {
                Add("%s %u: not in the built-in set", kind, id);
            }
        }
    }

    void Strings() {
        for (uint32_t id : ref_.StringIds()) {
            const char* expected = ref_.String(id);
            const char* text = lang_.String(id);
            if (text == nullptr) {
                Add("string %u: missing", id);
                continue;
            }
            if (id >= IDS_ERR_LANGLIB_JA && id <= IDS_ERR_LANGLIB_KO) {
                if (std::strcmp(expected, text) != 0) {
                    Add("string %u: differs from the built-in text, which every set shows", id);
                }
                continue;
            }
            if (IsFormatStringId(id)) {
                if (!SameArguments(expected, text)) {
                    std::string a;
                    std::string b;
                    PrintfSignature(expected, &a);
                    const bool valid = PrintfSignature(text, &b);
                    Add("string %u: reads the arguments (%s), expected (%s)", id,
                        valid ? b.c_str() : "invalid format", a.c_str());
                }
            } else if (FormatSpecifiers(expected) != FormatSpecifiers(text)) {
                Add("string %u: format specifiers %s, expected %s", id,
                    Join(FormatSpecifiers(text)).c_str(), Join(FormatSpecifiers(expected)).c_str());
            }
            for (const auto& [c, name] :
                 {std::pair{'\n', "line breaks"}, std::pair{'\t', "tabs"}}) {
                if (Count(expected, c) != Count(text, c)) {
                    Add("string %u: %zu %s, expected %zu", id, Count(text, c), name,
                        Count(expected, c));
                }
            }
        }
        Extra("string", ref_.StringIds(), lang_.StringIds());
    }

    void MenuItems(uint32_t menuId, const std::string& path, const SorvaneResMenuItem* expected,
                   uint32_t expectedCount, const SorvaneResMenuItem* items, uint32_t count) {
        if (count != expectedCount) {
            Add("menu %u%s: %u items, expected %u", menuId, path.c_str(), count, expectedCount);
            return;
        }
        for (uint32_t i = 0; i < count; ++i) {
            const SorvaneResMenuItem& want = expected[i];
            const SorvaneResMenuItem& item = items[i];
            const std::string where = os::Format("%s/%u", path.c_str(), i + 1);
            if (item.kind != want.kind) {
                Add("menu %u%s: item kind %u, expected %u", menuId, where.c_str(), item.kind,
                    want.kind);
                continue;
            }
            if (item.kind == SORVANE_MENU_SEPARATOR) {
                continue;
            }
            if (item.kind == SORVANE_MENU_COMMAND && item.id != want.id) {
                Add("menu %u%s: command %u, expected %u", menuId, where.c_str(), item.id, want.id);
            }
            if (item.text == nullptr || *item.text == 0) {
                Add("menu %u%s: no caption", menuId, where.c_str());
                continue;
            }
            if (Mnemonic(item.text) != Mnemonic(want.text)) {
                Add("menu %u%s: mnemonic %s, expected %s", menuId, where.c_str(),
                    Quoted(Mnemonic(item.text)).c_str(), Quoted(Mnemonic(want.text)).c_str());
            }
            if (AcceleratorText(item.text) != AcceleratorText(want.text)) {
                Add("menu %u%s: accelerator text %s, expected %s", menuId, where.c_str(),
                    Quoted(AcceleratorText(item.text)).c_str(),
                    Quoted(AcceleratorText(want.text)).c_str());
            }
            if (item.kind == SORVANE_MENU_POPUP) {
                MenuItems(menuId, where, want.items, want.itemCount, item.items, item.itemCount);
            }
        }
    }

    void Menus() {
        for (uint32_t id : ref_.MenuIds()) {
            const SorvaneResMenu* want = ref_.Menu(id);
            const SorvaneResMenu* menu = lang_.Menu(id);
            if (menu == nullptr) {
                Add("menu %u: missing", id);
                continue;
            }
            MenuItems(id, "", want->items, want->itemCount, menu->items, menu->itemCount);
        }
        Extra("menu", ref_.MenuIds(), lang_.MenuIds());
    }

    void Dialogs() {
        for (uint32_t id : ref_.DialogIds()) {
            const SorvaneResDialog* want = ref_.Dialog(id);
            const SorvaneResDialog* dialog = lang_.Dialog(id);
            if (dialog == nullptr) {
                Add("dialog %u: missing", id);
                continue;
            }
            if ((dialog->caption == nullptr || *dialog->caption == 0) &&
                (want->caption != nullptr && *want->caption != 0)) {
                Add("dialog %u: no caption", id);
            }
            std::set<uint32_t> known;
            for (uint32_t c = 0; c < want->controlCount; ++c) {
                const SorvaneResControl& w = want->controls[c];
                known.insert(w.id);
                const SorvaneResControl* control = lang_.Control(id, w.id);
                if (control == nullptr) {
                    Add("dialog %u control %u: missing", id, w.id);
                    continue;
                }
                Control(id, w, *control);
            }
            for (uint32_t c = 0; c < dialog->controlCount; ++c) {
                if (known.count(dialog->controls[c].id) == 0) {
                    Add("dialog %u control %u: not in the built-in set", id,
                        dialog->controls[c].id);
                }
            }
        }
        Extra("dialog", ref_.DialogIds(), lang_.DialogIds());
    }

    void Control(uint32_t dialogId, const SorvaneResControl& want,
                 const SorvaneResControl& control) {
        if (control.kind != want.kind) {
            Add("dialog %u control %u: kind %u, expected %u", dialogId, want.id, control.kind,
                want.kind);
        }
        const auto same = [](const char* a, const char* b) {
            return (a == nullptr) == (b == nullptr) && (a == nullptr || std::strcmp(a, b) == 0);
        };
        if (!same(want.className, control.className)) {
            Add("dialog %u control %u: window class %s, expected %s", dialogId, want.id,
                control.className != nullptr ? control.className : "none",
                want.className != nullptr ? want.className : "none");
        }
        if (control.image != want.image) {
            Add("dialog %u control %u: image %u, expected %u", dialogId, want.id, control.image,
                want.image);
        }
        if (want.text != nullptr && *want.text != 0) {
            if (control.text == nullptr || *control.text == 0) {
                Add("dialog %u control %u: no text", dialogId, want.id);
            } else if (Mnemonic(control.text) != Mnemonic(want.text)) {
                Add("dialog %u control %u: mnemonic %s, expected %s", dialogId, want.id,
                    Quoted(Mnemonic(control.text)).c_str(), Quoted(Mnemonic(want.text)).c_str());
            }
        }
    }

    void Toolbars() {
        for (uint32_t id : ref_.ToolbarIds()) {
            const SorvaneResToolbar* want = ref_.Toolbar(id);
            const SorvaneResToolbar* bar = lang_.Toolbar(id);
            if (bar == nullptr) {
                Add("toolbar %u: missing", id);
                continue;
            }
            const std::vector<uint32_t> a(want->buttons, want->buttons + want->buttonCount);
            const std::vector<uint32_t> b(bar->buttons, bar->buttons + bar->buttonCount);
            if (a != b) {
                Add("toolbar %u: buttons differ from the built-in set", id);
            }
            if (bar->buttonWidth != want->buttonWidth || bar->buttonHeight != want->buttonHeight) {
                Add("toolbar %u: buttons of %ux%u, expected %ux%u", id, bar->buttonWidth,
                    bar->buttonHeight, want->buttonWidth, want->buttonHeight);
            }
            if (bar->bitmap != want->bitmap || bar->disabledBitmap != want->disabledBitmap) {
                Add("toolbar %u: strips %u/%u, expected %u/%u", id, bar->bitmap,
                    bar->disabledBitmap, want->bitmap, want->disabledBitmap);
            }
        }
        Extra("toolbar", ref_.ToolbarIds(), lang_.ToolbarIds());
    }

    static std::map<std::string, uint32_t> Keys(const SorvaneResAccelTable& table) {
        std::map<std::string, uint32_t> keys;
        for (uint32_t i = 0; i < table.entryCount; ++i) {
            const SorvaneResAccel& entry = table.entries[i];
            keys[entry.key != nullptr ? entry.key : ""] = entry.command;
        }
        return keys;
    }

    void Accelerators() {
        for (uint32_t id : ref_.AccelTableIds()) {
            const SorvaneResAccelTable* table = lang_.AccelTable(id);
            if (table == nullptr) {
                Add("accelerators %u: missing", id);
                continue;
            }
            const auto want = Keys(*ref_.AccelTable(id));
            const auto keys = Keys(*table);
            for (const auto& [key, command] : want) {
                auto it = keys.find(key);
                if (it == keys.end()) {
                    Add("accelerators %u: %s missing", id, key.c_str());
                } else if (it->second != command) {
                    Add("accelerators %u: %s sends %u, expected %u", id, key.c_str(), it->second,
                        command);
                }
            }
            for (const auto& [key, command] : keys) {
                if (want.count(key) == 0) {
                    Add("accelerators %u: %s not in the built-in set", id, key.c_str());
                }
            }
        }
        Extra("accelerators", ref_.AccelTableIds(), lang_.AccelTableIds());
    }

    void Images() {
        for (uint32_t kind : {uint32_t{SORVANE_IMAGE_ICON}, uint32_t{SORVANE_IMAGE_BITMAP}}) {
            const char* name = kind == SORVANE_IMAGE_ICON ? "icon" : "bitmap";
            for (uint32_t id : lang_.ImageIds(kind)) {
                const SorvaneResImage* want = ref_.Image(id, kind);
                const SorvaneResImage* image = lang_.Image(id, kind);
                if (want == nullptr) {
                    Add("%s %u: not in the built-in set", name, id);
                } else if ((want->flags & SORVANE_IMAGE_DISABLED) == 0 &&
                           (image->cellCount != want->cellCount ||
                            image->cellWidth != want->cellWidth ||
                            image->cellHeight != want->cellHeight)) {
                    Add("%s %u: %u cells of %ux%u, expected %u of %ux%u", name, id,
                        image->cellCount, image->cellWidth, image->cellHeight, want->cellCount,
                        want->cellWidth, want->cellHeight);
                }
            }
        }
    }

    const ResourceIndex& ref_;
    const ResourceIndex& lang_;
    std::vector<std::string> problems_;
};

}  // namespace

std::vector<std::string> FormatSpecifiers(const char* text) {
    std::vector<std::string> out;
    if (text == nullptr) {
        return out;
    }
    for (const char* p = text; *p != 0; ++p) {
        if (*p != '%') {
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            continue;
        }
        if (*p >= '1' && *p <= '9') {
            out.emplace_back(start, p + 1);
            continue;
        }
        // Flags without the blank: in a text "80% Gray" the '%' is a word.
        const char* q = p;
        while (*q != 0 && std::strchr("-+#0", *q) != nullptr) {
            ++q;
        }
        while (*q >= '0' && *q <= '9') {
            ++q;
        }
        if (*q == '.') {
            ++q;
            while (*q >= '0' && *q <= '9') {
                ++q;
            }
        }
        while (*q != 0 && std::strchr("hljztL", *q) != nullptr) {
            ++q;
        }
        if (*q != 0 && std::strchr("diouxXeEfFgGaAcsp", *q) != nullptr) {
            out.emplace_back(start, q + 1);
            p = q;
        } else {
            --p;  // text; look at what follows the '%' again
        }
    }
    return out;
}

std::string Mnemonic(const char* caption) {
    if (caption == nullptr) {
        return {};
    }
    for (const char* p = caption; *p != 0; ++p) {
        if (*p != '&') {
            continue;
        }
        if (p[1] == '&') {
            ++p;
            continue;
        }
        if (p[1] == 0) {
            break;
        }
        const auto lead = static_cast<unsigned char>(p[1]);
        if (lead < 0x80) {
            const char c = static_cast<char>(lead);
            return std::string(1, c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
        }
        return std::string(p + 1, strnlen(p + 1, SequenceLength(lead)));
    }
    return {};
}

std::vector<std::string> CheckTranslation(const ResourceIndex& reference,
                                          const ResourceIndex& translation) {
    if (!reference.IsValid() || !translation.IsValid()) {
        return {"no usable set to compare"};
    }
    return Checker(reference, translation).Run();
}

}  // namespace res

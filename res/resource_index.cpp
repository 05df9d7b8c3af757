#include "res/resource_index.h"

#include <algorithm>

#include "platform/os/format.h"

namespace res {

namespace {

template <typename Map>
std::vector<uint32_t> SortedKeys(const Map& map) {
    std::vector<uint32_t> ids;
    ids.reserve(map.size());
    for (const auto& entry : map) {
        ids.push_back(entry.first);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

// An array the set announces but does not supply makes the whole set unusable:
// the set was built against another layout or is corrupt.
bool CheckArray(const void* array, uint32_t count, const char* what, std::string* error) {
    if (count > ResourceIndex::kMaxEntries) {
        *error = os::Format("%s: %u entries is more than a set can hold", what, count);
        return false;
    }
    if (count > 0 && array == nullptr) {
        *error = os::Format("%s: %u entries announced but none given", what, count);
        return false;
    }
    return true;
}

uint64_t ImageKey(uint32_t kind, uint32_t id) {
    return (static_cast<uint64_t>(kind) << 32) | id;
}

}  // namespace

bool IsValidUtf8(const char* text) {
    if (text == nullptr) {
        return false;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        unsigned char c = *p;
        int extra = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++p;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                return false;  // also stops at the terminator
            }
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        p += extra + 1;
    }
    return true;
}

void ResourceIndex::Clear() {
    set_ = nullptr;
    strings_.clear();
    menus_.clear();
    dialogs_.clear();
    toolbars_.clear();
    accelTables_.clear();
    images_.clear();
    problems_.clear();
}

void ResourceIndex::Note(const char* kind, uint32_t id, const std::string& why) {
    problems_.push_back(os::Format("%s %u: %s", kind, id, why.c_str()));
}

bool ResourceIndex::CheckMenuItems(const SorvaneResMenuItem* items, uint32_t count, int depth,
                                   std::string* why) const {
    if (depth > kMaxMenuDepth) {
        *why = "popups nested too deep";
        return false;
    }
    if (count > kMaxEntries || (count > 0 && items == nullptr)) {
        *why = "popup items missing";
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const SorvaneResMenuItem& item = items[i];
        if (item.kind == SORVANE_MENU_POPUP &&
            !CheckMenuItems(item.items, item.itemCount, depth + 1, why)) {
            return false;
        }
        if (item.kind != SORVANE_MENU_SEPARATOR && item.text != nullptr &&
            !IsValidUtf8(item.text)) {
            *why = os::Format("item %u: caption is not UTF-8", i);
            return false;
        }
    }
    return true;
}

bool ResourceIndex::CheckImage(const SorvaneResImage& image, std::string* why) const {
    if (image.flags & SORVANE_IMAGE_DISABLED) {
        if (image.source == 0 || image.source == image.id) {
            *why = "disabled image without a source";
            return false;
        }
        return true;
    }
    bool hasPng = image.png != nullptr && image.pngSize > 0;
    if (!hasPng) {
        if (image.cellWidth == 0 || image.cellHeight == 0 || image.cellWidth > kMaxImageSide ||
            image.cellHeight > kMaxImageSide) {
            *why = "cell size out of range";
            return false;
        }
        if (image.cells == nullptr || image.cellCount == 0 ||
            image.cellCount * static_cast<uint64_t>(image.cellWidth) > kMaxImageSide * 16ull) {
            *why = "no cells";
            return false;
        }
        for (uint32_t c = 0; c < image.cellCount; ++c) {
            const SorvaneResVector& cell = image.cells[c];
            if (cell.shapeCount > kMaxEntries || (cell.shapeCount > 0 && cell.shapes == nullptr)) {
                *why = os::Format("cell %u: shapes missing", c);
                return false;
            }
        }
    }
    return true;
}

bool ResourceIndex::Build(const SorvaneResourceSet* set, std::string* error) {
    Clear();
    std::string scratch;
    if (error == nullptr) {
        error = &scratch;
    }
    if (set == nullptr) {
        *error = "no resource set";
        return false;
    }
    if (set->format != SORVANE_RES_FORMAT) {
        *error = os::Format("resource set format %u, expected %u", set->format, SORVANE_RES_FORMAT);
        return false;
    }
    if (set->size < sizeof(SorvaneResourceSet)) {
        *error = os::Format("resource set of %u bytes, expected %zu", set->size,
                            sizeof(SorvaneResourceSet));
        return false;
    }
    if (!CheckArray(set->strings, set->stringCount, "strings", error) ||
        !CheckArray(set->menus, set->menuCount, "menus", error) ||
        !CheckArray(set->dialogs, set->dialogCount, "dialogs", error) ||
        !CheckArray(set->toolbars, set->toolbarCount, "toolbars", error) ||
        !CheckArray(set->accelTables, set->accelTableCount, "accelerators", error) ||
        !CheckArray(set->images, set->imageCount, "images", error)) {
        return false;
    }

    // The first entry of an identifier wins; later duplicates are noted.
    for (uint32_t i = 0; i < set->stringCount; ++i) {
        const SorvaneResString& s = set->strings[i];
        if (s.text == nullptr || !IsValidUtf8(s.text)) {
            Note("string", s.id, s.text == nullptr ? "no text" : "text is not UTF-8");
        } else if (!strings_.emplace(s.id, s.text).second) {
            Note("string", s.id, "duplicate");
        }
    }
    for (uint32_t i = 0; i < set->menuCount; ++i) {
        const SorvaneResMenu& m = set->menus[i];
        std::string why;
        if (!CheckMenuItems(m.items, m.itemCount, 0, &why)) {
            Note("menu", m.id, why);
        } else if (!menus_.emplace(m.id, &m).second) {
            Note("menu", m.id, "duplicate");
        }
    }
    for (uint32_t i = 0; i < set->dialogCount; ++i) {
        const SorvaneResDialog& d = set->dialogs[i];
        if (d.controlCount > kMaxEntries || (d.controlCount > 0 && d.controls == nullptr)) {
            Note("dialog", d.id, "controls missing");
            continue;
        }
        if (dialogs_.count(d.id) != 0) {
            Note("dialog", d.id, "duplicate");
            continue;
        }
        DialogEntry entry;
        entry.dialog = &d;
        for (uint32_t c = 0; c < d.controlCount; ++c) {
            const SorvaneResControl& control = d.controls[c];
            if (control.text != nullptr && !IsValidUtf8(control.text)) {
                Note("dialog", d.id, os::Format("control %u: text is not UTF-8", control.id));
            } else if (!entry.controls.emplace(control.id, &control).second) {
                Note("dialog", d.id, os::Format("control %u: duplicate", control.id));
            }
        }
        dialogs_.emplace(d.id, std::move(entry));
    }
    for (uint32_t i = 0; i < set->toolbarCount; ++i) {
        const SorvaneResToolbar& t = set->toolbars[i];
        if (t.buttonCount > kMaxEntries || (t.buttonCount > 0 && t.buttons == nullptr)) {
            Note("toolbar", t.id, "buttons missing");
        } else if (t.buttonWidth == 0 || t.buttonHeight == 0 || t.buttonWidth > 256 ||
                   t.buttonHeight > 256) {
            Note("toolbar", t.id, "button size out of range");
        } else if (!toolbars_.emplace(t.id, &t).second) {
            Note("toolbar", t.id, "duplicate");
        }
    }
    for (uint32_t i = 0; i < set->accelTableCount; ++i) {
        const SorvaneResAccelTable& a = set->accelTables[i];
        if (a.entryCount > kMaxEntries || (a.entryCount > 0 && a.entries == nullptr)) {
            Note("accelerators", a.id, "entries missing");
        } else if (!accelTables_.emplace(a.id, &a).second) {
            Note("accelerators", a.id, "duplicate");
        }
    }
    for (uint32_t i = 0; i < set->imageCount; ++i) {
        const SorvaneResImage& image = set->images[i];
        std::string why;
        if (!CheckImage(image, &why)) {
            Note("image", image.id, why);
        } else if (image.kind != SORVANE_IMAGE_ICON && image.kind != SORVANE_IMAGE_BITMAP) {
            Note("image", image.id, "unknown kind");
        } else if (!images_.emplace(ImageKey(image.kind, image.id), &image).second) {
            Note("image", image.id, "duplicate");
        }
    }
    set_ = set;
    return true;
}

SorvaneResVersion ResourceIndex::Version() const {
    return set_ != nullptr ? set_->version : SorvaneResVersion{0, 0, 0, 0};
}

uint32_t ResourceIndex::Language() const {
    return set_ != nullptr ? set_->language : 0;
}

const char* ResourceIndex::String(uint32_t id) const {
    auto it = strings_.find(id);
    return it != strings_.end() ? it->second : nullptr;
}

const SorvaneResMenu* ResourceIndex::Menu(uint32_t id) const {
    auto it = menus_.find(id);
    return it != menus_.end() ? it->second : nullptr;
}

const SorvaneResDialog* ResourceIndex::Dialog(uint32_t id) const {
    auto it = dialogs_.find(id);
    return it != dialogs_.end() ? it->second.dialog : nullptr;
}

const SorvaneResControl* ResourceIndex::Control(uint32_t dialogId, uint32_t controlId) const {
    auto it = dialogs_.find(dialogId);
    if (it == dialogs_.end()) {
        return nullptr;
    }
    auto control = it->second.controls.find(controlId);
    return control != it->second.controls.end() ? control->second : nullptr;
}

const SorvaneResToolbar* ResourceIndex::Toolbar(uint32_t id) const {
    auto it = toolbars_.find(id);
    return it != toolbars_.end() ? it->second : nullptr;
}

const SorvaneResAccelTable* ResourceIndex::AccelTable(uint32_t id) const {
    auto it = accelTables_.find(id);
    return it != accelTables_.end() ? it->second : nullptr;
}

const SorvaneResImage* ResourceIndex::Image(uint32_t id, uint32_t kind) const {
    auto it = images_.find(ImageKey(kind, id));
    return it != images_.end() ? it->second : nullptr;
}

std::vector<uint32_t> ResourceIndex::StringIds() const {
    return SortedKeys(strings_);
}
std::vector<uint32_t> ResourceIndex::MenuIds() const {
    return SortedKeys(menus_);
}
std::vector<uint32_t> ResourceIndex::DialogIds() const {
    return SortedKeys(dialogs_);
}
std::vector<uint32_t> ResourceIndex::ToolbarIds() const {
    return SortedKeys(toolbars_);
}
std::vector<uint32_t> ResourceIndex::AccelTableIds() const {
    return SortedKeys(accelTables_);
}
std::vector<uint32_t> ResourceIndex::ImageIds(uint32_t kind) const {
    std::vector<uint32_t> ids;
    for (const auto& entry : images_) {
        if ((entry.first >> 32) == kind) {
            ids.push_back(static_cast<uint32_t>(entry.first));
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace res

#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "res/resource_set.h"

namespace res {

// Lookup tables over one resource set, built once after checking the set.
// A set that is structurally broken (wrong format, arrays missing) is
// refused as a whole; single bad entries (no text, invalid UTF-8, popups
// nested too deep, an image without cells) are left out and listed in
// Problems(), so that a faulty translation costs that entry only.
class ResourceIndex {
public:
    ResourceIndex() = default;

    // Indexes set; false with a reason when the set cannot be used at all.
    bool Build(const SorvaneResourceSet* set, std::string* error);
    void Clear();

    bool IsValid() const { return set_ != nullptr; }
    const SorvaneResourceSet* Set() const { return set_; }
    SorvaneResVersion Version() const;
    uint32_t Language() const;

    // Null when the set does not hold the identifier.
    const char* String(uint32_t id) const;
    const SorvaneResMenu* Menu(uint32_t id) const;
    const SorvaneResDialog* Dialog(uint32_t id) const;
    // The control of a dialog, null when either is missing.
    const SorvaneResControl* Control(uint32_t dialogId, uint32_t controlId) const;
    const SorvaneResToolbar* Toolbar(uint32_t id) const;
    const SorvaneResAccelTable* AccelTable(uint32_t id) const;
    // Icons and bitmaps are separate kinds: icon 133 and bitmap 133 differ.
    const SorvaneResImage* Image(uint32_t id, uint32_t kind = SORVANE_IMAGE_BITMAP) const;

    // Identifiers of each kind, for tests and tools.
    std::vector<uint32_t> StringIds() const;
    std::vector<uint32_t> MenuIds() const;
    std::vector<uint32_t> DialogIds() const;
    std::vector<uint32_t> ToolbarIds() const;
    std::vector<uint32_t> AccelTableIds() const;
    std::vector<uint32_t> ImageIds(uint32_t kind = SORVANE_IMAGE_BITMAP) const;

    // Entries left out while indexing, one text each.
    const std::vector<std::string>& Problems() const { return problems_; }

    // Limits that keep a faulty set from making the program loop or allocate
    // without bound.
    static constexpr uint32_t kMaxEntries = 1u << 20;
    static constexpr int kMaxMenuDepth = 8;
    static constexpr uint32_t kMaxImageSide = 4096;

private:
    bool CheckMenuItems(const SorvaneResMenuItem* items, uint32_t count, int depth,
                        std::string* why) const;
    bool CheckImage(const SorvaneResImage& image, std::string* why) const;
    void Note(const char* kind, uint32_t id, const std::string& why);

    struct DialogEntry {
        const SorvaneResDialog* dialog = nullptr;
        std::unordered_map<uint32_t, const SorvaneResControl*> controls;
    };

    const SorvaneResourceSet* set_ = nullptr;
    std::unordered_map<uint32_t, const char*> strings_;
    std::unordered_map<uint32_t, const SorvaneResMenu*> menus_;
    std::unordered_map<uint32_t, DialogEntry> dialogs_;
    std::unordered_map<uint32_t, const SorvaneResToolbar*> toolbars_;
    std::unordered_map<uint32_t, const SorvaneResAccelTable*> accelTables_;
    // keyed by kind << 32 | id
    std::unordered_map<uint64_t, const SorvaneResImage*> images_;
    std::vector<std::string> problems_;
};

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const char* text);

}  // namespace res

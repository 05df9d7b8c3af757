#include "res/resource_lookup.h"

#include <cstring>

#include "res/resource_format.h"

namespace res {

bool ResourceLookup::SetBuiltin(const SorvaneResourceSet* set, std::string* error) {
    return builtin_.Build(set, error);
}

bool ResourceLookup::SetLanguage(const SorvaneResourceSet* set, std::string* error) {
    if (set == nullptr) {
        language_.Clear();
        return true;
    }
    return language_.Build(set, error);
}

const char* ResourceLookup::String(uint32_t id) const {
    const char* builtin = builtin_.String(id);
    if (const char* translated = language_.String(id)) {
        if (!IsFormatStringId(id) || builtin == nullptr || SameArguments(builtin, translated)) {
            return translated;
        }
    }
    return builtin;
}

std::string ResourceLookup::Prompt(uint32_t commandId) const {
    const char* text = String(commandId);
    if (text == nullptr) {
        return {};
    }
    const char* end = std::strchr(text, '\n');
    return end != nullptr ? std::string(text, end) : std::string(text);
}

std::string ResourceLookup::Tooltip(uint32_t commandId) const {
    const char* text = String(commandId);
    const char* start = text != nullptr ? std::strchr(text, '\n') : nullptr;
    if (start == nullptr) {
        return {};
    }
    ++start;
    const char* end = std::strchr(start, '\n');
    return end != nullptr ? std::string(start, end) : std::string(start);
}

const SorvaneResMenu* ResourceLookup::Menu(uint32_t id) const {
    const SorvaneResMenu* menu = language_.Menu(id);
    return menu != nullptr ? menu : builtin_.Menu(id);
}

const SorvaneResDialog* ResourceLookup::Dialog(uint32_t id) const {
    const SorvaneResDialog* dialog = language_.Dialog(id);
    return dialog != nullptr ? dialog : builtin_.Dialog(id);
}

const char* ResourceLookup::DialogCaption(uint32_t dialogId) const {
    const SorvaneResDialog* dialog = language_.Dialog(dialogId);
    if (dialog != nullptr && dialog->caption != nullptr && IsValidUtf8(dialog->caption)) {
        return dialog->caption;
    }
    dialog = builtin_.Dialog(dialogId);
    return dialog != nullptr ? dialog->caption : nullptr;
}

const SorvaneResControl* ResourceLookup::Control(uint32_t dialogId, uint32_t controlId) const {
    const SorvaneResControl* control = language_.Control(dialogId, controlId);
    return control != nullptr ? control : builtin_.Control(dialogId, controlId);
}

const char* ResourceLookup::DialogText(uint32_t dialogId, uint32_t controlId) const {
    const SorvaneResControl* control = language_.Control(dialogId, controlId);
    if (control != nullptr && control->text != nullptr) {
        return control->text;
    }
    control = builtin_.Control(dialogId, controlId);
    return control != nullptr ? control->text : nullptr;
}

const SorvaneResToolbar* ResourceLookup::Toolbar(uint32_t id) const {
    const SorvaneResToolbar* toolbar = language_.Toolbar(id);
    return toolbar != nullptr ? toolbar : builtin_.Toolbar(id);
}

const SorvaneResAccelTable* ResourceLookup::AccelTable(uint32_t id) const {
    const SorvaneResAccelTable* table = language_.AccelTable(id);
    return table != nullptr ? table : builtin_.AccelTable(id);
}

const SorvaneResImage* ResourceLookup::Image(uint32_t id, uint32_t kind) const {
    const SorvaneResImage* image = language_.Image(id, kind);
    return image != nullptr ? image : builtin_.Image(id, kind);
}

const SorvaneResImage* ResourceLookup::ImageSource(const SorvaneResImage* image) const {
    if (image == nullptr || (image->flags & SORVANE_IMAGE_DISABLED) == 0) {
        return image;
    }
    // Look in the image's own set first so that a library's disabled strip
    // shows the library's normal strip.
    const ResourceIndex& own =
        language_.Image(image->id, image->kind) == image ? language_ : builtin_;
    const SorvaneResImage* source = own.Image(image->source, image->kind);
    if (source == nullptr) {
        source = Image(image->source, image->kind);
    }
    if (source == nullptr || (source->flags & SORVANE_IMAGE_DISABLED) != 0) {
        return nullptr;  // one level only: no chains, no loops
    }
    return source;
}

}  // namespace res

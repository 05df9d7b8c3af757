#pragma once

#include <cstdint>
#include <string>

#include "res/resource_index.h"

namespace res {

// Answers lookups by identifier from the language library's set first and
// from the built-in set second, kind by kind (a whole menu, dialog, toolbar,
// accelerator table or image comes from one set; a dialog's control texts
// fall back one by one).
class ResourceLookup {
public:
    // Indexes the built-in set; false when it is unusable (a build fault).
    bool SetBuiltin(const SorvaneResourceSet* set, std::string* error);
    // Puts a language set in front; null removes it. False (and no language
    // set) when the set is unusable.
    bool SetLanguage(const SorvaneResourceSet* set, std::string* error);

    const ResourceIndex& Builtin() const { return builtin_; }
    const ResourceIndex& Language() const { return language_; }
    bool HasLanguage() const { return language_.IsValid(); }

    // The text of a string, null when neither set holds it. A translated
    // format (identifiers 20000..20999) that reads other arguments than the
    // built-in one is passed over.
    const char* String(uint32_t id) const;
    // Status-bar prompt of a command: its string up to the first line break.
    std::string Prompt(uint32_t commandId) const;
    // Tooltip of a command: the text after the first line break, up to the
    // next one; empty when the string has none.
    std::string Tooltip(uint32_t commandId) const;

    const SorvaneResMenu* Menu(uint32_t id) const;
    const SorvaneResDialog* Dialog(uint32_t id) const;
    const char* DialogCaption(uint32_t dialogId) const;
    // A control's text, null when no set has the control or the text.
    const char* DialogText(uint32_t dialogId, uint32_t controlId) const;
    const SorvaneResControl* Control(uint32_t dialogId, uint32_t controlId) const;
    const SorvaneResToolbar* Toolbar(uint32_t id) const;
    const SorvaneResAccelTable* AccelTable(uint32_t id) const;
    const SorvaneResImage* Image(uint32_t id, uint32_t kind = SORVANE_IMAGE_BITMAP) const;
    // The image a disabled image shows, resolved in the set that holds it;
    // the image itself for a normal one; null when missing.
    const SorvaneResImage* ImageSource(const SorvaneResImage* image) const;

    // Version of the program's resources: the built-in set's.
    SorvaneResVersion Version() const { return builtin_.Version(); }

private:
    ResourceIndex builtin_;
    ResourceIndex language_;
};

}  // namespace res

#pragma once

#include <string>
#include <vector>

#include "res/resource_index.h"

namespace res {

// Compares a language set with the set it translates (the built-in one) and
// lists every difference the program would trip over, one line each:
// - every string, menu, dialog with its controls, toolbar and accelerator
//   table of the reference exists in the translation, and nothing else does;
// - a string keeps its format specifiers in order (printf conversions, %1,
//   %2 placeholders) and its line breaks and tabs, which the code splits on;
// - the messages about a missing language library read as in the reference,
//   because they are shown in the user's language, not the set's;
// - a menu keeps its shape item for item: kinds, command identifiers, the
//   mnemonic letter and the accelerator text after the tab;
// - a dialog control keeps its kind, window class and image, and a text
//   where the reference has one, with the same mnemonic;
// - toolbars and accelerator tables are the same; images are optional
//   (they carry no text) but must match the reference where given;
// - the set carries the reference's version.
// An empty list means the translation can stand in for the reference.
std::vector<std::string> CheckTranslation(const ResourceIndex& reference,
                                          const ResourceIndex& translation);

// The format specifiers of a text in order: printf conversions ("%d",
// "%02X", "%lld") and the placeholders "%1" to "%9"; "%%" is not one. A '%'
// before anything else (a blank, a letter that is no conversion, the end)
// is text.
std::vector<std::string> FormatSpecifiers(const char* text);

// The mnemonic of a caption: the character after a single '&', lower case
// for ASCII; empty when there is none ("&&" is a literal ampersand).
std::string Mnemonic(const char* caption);

}  // namespace res

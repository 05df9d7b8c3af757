#pragma once

// DBC files come as UTF-8 or in the Windows code page of the tool that wrote
// them. The reader works on UTF-8 only.

#include <string>
#include <string_view>

namespace kvadb {

bool IsValidUtf8(std::string_view text);
// Each byte as a Windows-1252 character; the five unassigned bytes keep
// their C1 code points, as the Windows conversion gives them.
std::string Windows1252ToUtf8(std::string_view text);
// The file content as UTF-8: a UTF-8 byte-order mark is dropped, a file that
// is not valid UTF-8 is read as Windows-1252.
std::string NormaliseFileText(std::string_view content);
// The longest prefix of at most maxBytes bytes that ends on a character boundary.
size_t Utf8PrefixLength(std::string_view text, size_t maxBytes);

}  // namespace kvadb

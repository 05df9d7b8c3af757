#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace os {

// Replaces the file at path with contents so that a reader only ever sees the
// old or the new contents: a temporary file in the same folder is written and
// synced, renamed over the target and the folder synced. A symbolic link is
// followed, and an existing file keeps its permission bits. False (with a
// message in *error when given) when any step fails; the old file then stays
// as it was and the temporary file is removed.
bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         std::string* error = nullptr);

// Reads a whole regular file. False when it cannot be opened or read, or when
// it is larger than maxSize bytes. *missing is set when it does not exist.
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error = nullptr,
                   size_t maxSize = 64u << 20, bool* missing = nullptr);

// Tests use this hook to simulate a failure (full disk, power loss) after the
// temporary file has been written and before it replaces the target: when it
// returns false the write fails as a real failure would. nullptr removes it.
using AtomicWriteHook = bool (*)(const std::string& tempPath);
void SetAtomicWriteHookForTest(AtomicWriteHook hook);

}  // namespace os

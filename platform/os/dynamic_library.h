#pragma once

#include <string>

namespace os {

// A loaded shared library; null when loading failed.
using LibraryHandle = void*;

// Loads by plain file name through the system search order (LD_LIBRARY_PATH,
// the executable's RUNPATH, the system folders). A name with a slash is a path.
LibraryHandle LoadLibraryByName(const std::string& name);
// Loads exactly the file at path; never searches.
LibraryHandle LoadLibraryByPath(const std::string& path);
// The address of an exported symbol, or null.
void* GetSymbol(LibraryHandle library, const char* name);
bool FreeLibrary(LibraryHandle library);
// The loader's text for the last failure of this thread, empty when none.
std::string LastLibraryError();

// Resolves a symbol into a typed function pointer; leaves target untouched
// when the symbol is missing so that a fallback already stored there stays.
template <typename Fn>
bool ResolveSymbol(LibraryHandle library, const char* name, Fn& target) {
    void* symbol = GetSymbol(library, name);
    if (symbol == nullptr) {
        return false;
    }
    target = reinterpret_cast<Fn>(symbol);
    return true;
}

}  // namespace os

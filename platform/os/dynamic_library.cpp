#include "dynamic_library.h"

#include <dlfcn.h>

namespace os {

namespace {
thread_local std::string lastError;

LibraryHandle Open(const std::string& file) {
    if (file.empty()) {
        lastError = "empty library name";
        return nullptr;
    }
    dlerror();
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        lastError = text != nullptr ? text : "cannot load " + file;
    } else {
        lastError.clear();
    }
    return handle;
}
}  // namespace

LibraryHandle LoadLibraryByName(const std::string& name) {
    return Open(name);
}

LibraryHandle LoadLibraryByPath(const std::string& path) {
    // dlopen searches only for names without a slash; make a bare file name
    // relative to the working folder so that it is never searched for.
    if (!path.empty() && path.find('/') == std::string::npos) {
        return Open("./" + path);
    }
    return Open(path);
}

void* GetSymbol(LibraryHandle library, const char* name) {
    if (library == nullptr || name == nullptr) {
        return nullptr;
    }
    dlerror();
    return dlsym(library, name);
}

bool FreeLibrary(LibraryHandle library) {
    return library != nullptr && dlclose(library) == 0;
}

std::string LastLibraryError() {
    return lastError;
}

}  // namespace os

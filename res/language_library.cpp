#include "res/language_library.h"

#include "platform/os/paths.h"

namespace res {

namespace {

constexpr LanguageLibraryInfo kLibraries[kLanguageLibraryCount] = {
    {kLanguageEnglish, 1033, "SorvaneResEn", "libSorvaneResEn.so"},
    {kLanguageSimplifiedChinese, 2052, "SorvaneResCn", "libSorvaneResCn.so"},
    {kLanguageTraditionalChinese, 1028, "SorvaneResTw", "libSorvaneResTw.so"},
    {kLanguageKorean, 1042, "SorvaneResKo", "libSorvaneResKo.so"},
};

}  // namespace

const LanguageLibraryInfo* FindLanguageLibrary(int code) {
    for (const LanguageLibraryInfo& info : kLibraries) {
        if (info.code == code) {
            return &info;
        }
    }
    return nullptr;
}

std::string LanguageLibraryPath(const std::string& folder, int code) {
    const LanguageLibraryInfo* info = FindLanguageLibrary(code);
    return info != nullptr ? os::JoinPath(folder, info->fileName) : std::string();
}

uint32_t PackVersion(const SorvaneResVersion& version) {
    return (static_cast<uint32_t>(version.major & 0xFF) << 24) |
           (static_cast<uint32_t>(version.minor & 0xFF) << 16) |
           (static_cast<uint32_t>(version.build & 0xFF) << 8) |
           static_cast<uint32_t>(version.revision & 0xFF);
}

const char* LibraryStatusName(LibraryStatus status) {
    switch (status) {
        case LibraryStatus::Loaded:
            return "loaded";
        case LibraryStatus::NotFound:
            return "not found";
        case LibraryStatus::LoadFailed:
            return "cannot be loaded";
        case LibraryStatus::NoEntryPoint:
            return "no entry point";
        case LibraryStatus::BadSet:
            return "no usable resource set";
    }
    return "unknown";
}

LanguageLibrary::~LanguageLibrary() {
    Unload();
}

void LanguageLibrary::Unload() {
    set_ = nullptr;
    if (handle_ != nullptr) {
        os::FreeLibrary(handle_);
        handle_ = nullptr;
    }
    path_.clear();
}

LibraryStatus LanguageLibrary::Load(const std::string& path) {
    Unload();
    error_.clear();
    if (path.empty() || !os::FileExists(path)) {
        error_ = path.empty() ? "no library path" : path + ": no such file";
        return LibraryStatus::NotFound;
    }
    os::LibraryHandle handle = os::LoadLibraryByPath(path);
    if (handle == nullptr) {
        error_ = os::LastLibraryError();
        return LibraryStatus::LoadFailed;
    }
    SorvaneResEntryPointFn entry = nullptr;
    if (!os::ResolveSymbol(handle, SORVANE_RES_ENTRY_POINT, entry) || entry == nullptr) {
        error_ = path + ": " SORVANE_RES_ENTRY_POINT " is not exported";
        os::FreeLibrary(handle);
        return LibraryStatus::NoEntryPoint;
    }
    const SorvaneResourceSet* set = entry();
    if (set == nullptr || set->format != SORVANE_RES_FORMAT ||
        set->size < sizeof(SorvaneResourceSet)) {
        error_ = path + ": " + (set == nullptr ? "no resource set" : "unsupported set format");
        os::FreeLibrary(handle);
        return LibraryStatus::BadSet;
    }
    handle_ = handle;
    set_ = set;
    path_ = path;
    return LibraryStatus::Loaded;
}

uint32_t ProbeLibraryVersion(const std::string& path) {
    LanguageLibrary library;
    if (library.Load(path) != LibraryStatus::Loaded) {
        return 0;
    }
    return PackVersion(library.Set()->version);
}

}  // namespace res

#pragma once

#include <cstdint>
#include <string>

#include "platform/os/dynamic_library.h"
#include "res/resource_set.h"

namespace res {

// The language codes of the settings and their libraries. Code 0 is the
// built-in Japanese set and has no library.
struct LanguageLibraryInfo {
    int code;
    uint32_t languageId;   // 1033 English, 2052 Simplified Chinese, ...
    const char* name;      // the library's name as the version report shows it
    const char* fileName;  // the shared library beside the program
};

constexpr int kLanguageJapanese = 0;
constexpr int kLanguageEnglish = 1;
constexpr int kLanguageSimplifiedChinese = 2;
constexpr int kLanguageTraditionalChinese = 3;
constexpr int kLanguageKorean = 4;
constexpr int kLanguageLibraryCount = 4;

// Codes 1 to 4 in this order: English, Simplified Chinese, Traditional
// Chinese, Korean. Null for any other code.
const LanguageLibraryInfo* FindLanguageLibrary(int code);
// The library file of a code in folder ("" when the code has none).
std::string LanguageLibraryPath(const std::string& folder, int code);
// One byte per part, major in the top byte; parts above 255 keep their low byte.
uint32_t PackVersion(const SorvaneResVersion& version);

enum class LibraryStatus {
    Loaded,        // the library's set is in use
    NotFound,      // no file at the path
    LoadFailed,    // the file is not a loadable library
    NoEntryPoint,  // the library does not export the entry point
    BadSet,        // the entry point gave no set or one that cannot be used
};

const char* LibraryStatusName(LibraryStatus status);

// One loaded language library. It stays loaded until Unload or destruction,
// because the lookups hand out pointers into its data.
class LanguageLibrary {
public:
    LanguageLibrary() = default;
    ~LanguageLibrary();
    LanguageLibrary(const LanguageLibrary&) = delete;
    LanguageLibrary& operator=(const LanguageLibrary&) = delete;

    // Loads the file at path (never searched for) and asks it for its set.
    // The set is only fetched here; checking its contents is the index's job.
    LibraryStatus Load(const std::string& path);
    void Unload();

    bool IsLoaded() const { return set_ != nullptr; }
    const SorvaneResourceSet* Set() const { return set_; }
    const std::string& Path() const { return path_; }
    // Why the last Load failed, empty after success.
    const std::string& Error() const { return error_; }

private:
    os::LibraryHandle handle_ = nullptr;
    const SorvaneResourceSet* set_ = nullptr;
    std::string path_;
    std::string error_;
};

// The packed version a library reports through its entry point, 0 when the
// file is missing, not a library, has no entry point or no usable set.
// Loads the file only for the question.
uint32_t ProbeLibraryVersion(const std::string& path);

}  // namespace res

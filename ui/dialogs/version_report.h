#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "res/language_library.h"

class CCanLib;
struct AppSettings;

// The versions the about dialog reports; 0 stands for unknown.
struct AboutVersions {
    uint32_t exeVersionMS = 0;  // major << 16 | minor
    uint32_t exeVersionLS = 0;  // build << 16 | revision
    std::string buildDate;
    std::string buildNumber;
    // Packed versions of the English, Simplified-Chinese, Traditional-Chinese
    // and Korean libraries: major in the top byte, then minor and build.
    std::array<uint32_t, res::kLanguageLibraryCount> resLibVersion{};
    uint32_t canlibVersion = 0;         // major << 8 | minor
    uint32_t canlibProductVersion = 0;  // one byte per part, major first
    int dbMajor = 0;                    // the database library's version a, b and build c
    int dbMinor = 0;
    int dbBuild = 0;

    // From the settings record (program, build and language libraries), the
    // CAN library binding (null: unknown) and the database library binding.
    static AboutVersions Collect(const AppSettings& settings, const CCanLib* canLib);
};

// One line of the version report: a root or a line under the root before it.
struct VersionReportLine {
    QString text;
    bool root = false;
    bool unknown = false;  // shown in grey
};

// The four roots with their lines, in the order shown.
std::vector<VersionReportLine> BuildVersionReport(const AboutVersions& versions);

// The packed version of each language library in folder, in the order of
// AboutVersions::resLibVersion; 0 for a library that is not there or not usable.
std::array<uint32_t, res::kLanguageLibraryCount> ProbeResourceLibraries(const std::string& folder);

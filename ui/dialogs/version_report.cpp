#include "ui/dialogs/version_report.h"

#include "can/can_lib.h"
#include "candb/kvadb_binding.h"
#include "res/resources.h"
#include "settings/app_settings.h"

AboutVersions AboutVersions::Collect(const AppSettings& settings, const CCanLib* canLib) {
    AboutVersions v;
    v.exeVersionMS = settings.exeVersionMS;
    v.exeVersionLS = settings.exeVersionLS;
    if (v.exeVersionMS == 0 && v.exeVersionLS == 0) {
        ReadProgramVersion(&v.exeVersionMS, &v.exeVersionLS);
    }
    v.buildDate = settings.buildDate;
    v.buildNumber = settings.buildNumber;
    for (size_t i = 0; i < v.resLibVersion.size(); ++i) {
        v.resLibVersion[i] = settings.resLibVersion[i];
    }
    if (canLib != nullptr && canLib->IsCanLibLoaded()) {
        v.canlibVersion = canLib->LibraryVersion();
        v.canlibProductVersion = canLib->ProductVersion();
    }
    candb::KvaDbVersion(v.dbMajor, v.dbMinor, v.dbBuild);
    return v;
}

namespace {

int Byte(uint32_t value, int shift) {
    return static_cast<int>((value >> shift) & 0xFF);
}

}  // namespace

std::vector<VersionReportLine> BuildVersionReport(const AboutVersions& v) {
    const res::Resources& r = res::Resources::Instance();
    const QString unknown = r.String(IDS_ABOUT_UNKNOWN);
    std::vector<VersionReportLine> lines;
    const auto root = [&lines](const QString& text) { lines.push_back({text, true, false}); };
    const auto line = [&lines](const QString& text) { lines.push_back({text, false, false}); };
    // A label followed by "(unknown)", in grey.
    const auto missing = [&lines, &unknown](const QString& label) {
        lines.push_back({label + unknown, false, true});
    };

    root(r.String(IDS_ABOUT_APPLICATION));
    line(r.Format(IDS_FMT_ABOUT_APP_VERSION, static_cast<int>(v.exeVersionMS >> 16),
                  static_cast<int>(v.exeVersionMS & 0xFFFF),
                  static_cast<int>(v.exeVersionLS >> 16)));
    line(r.Format(IDS_FMT_ABOUT_BUILD, v.buildDate.c_str(), v.buildNumber.c_str()));

    root(r.String(IDS_ABOUT_RESOURCE_LIBRARY));
    for (int i = 0; i < res::kLanguageLibraryCount; ++i) {
        const res::LanguageLibraryInfo* info = res::FindLanguageLibrary(i + 1);
        const char* name = info != nullptr ? info->name : "";
        const uint32_t packed = v.resLibVersion[static_cast<size_t>(i)];
        if (packed != 0) {
            line(r.Format(IDS_FMT_ABOUT_LIBRARY_VERSION, name, Byte(packed, 24), Byte(packed, 16),
                          Byte(packed, 8)));
        } else {
            lines.push_back(
                {r.Format(IDS_FMT_ABOUT_LIBRARY_TEXT, name, unknown.toUtf8().constData()), false,
                 true});
        }
    }

    root(r.String(IDS_ABOUT_CANLIB));
    if (v.canlibVersion != 0) {
        line(r.Format(IDS_FMT_ABOUT_LIB_VERSION, Byte(v.canlibVersion, 8),
                      Byte(v.canlibVersion, 0)));
    } else {
        missing(r.String(IDS_ABOUT_LIB_VERSION));
    }
    const uint32_t p = v.canlibProductVersion;
    if (p != 0) {
        line(r.Format(IDS_FMT_ABOUT_PRODUCT_VERSION, Byte(p, 24), Byte(p, 16), Byte(p, 8),
                      Byte(p, 0)));
    } else {
        missing(r.String(IDS_ABOUT_PRODUCT_VERSION));
    }

    root(r.String(IDS_ABOUT_KVADBLIB));
    const auto a = static_cast<uint32_t>(v.dbMajor);
    const auto b = static_cast<uint32_t>(v.dbMinor);
    const auto c = static_cast<uint32_t>(v.dbBuild);
    if (a != 0) {
        line(r.Format(IDS_FMT_ABOUT_DB_VERSION, Byte(a, 8), Byte(a, 0), Byte(b, 8), Byte(b, 0)));
    } else {
        missing(r.String(IDS_ABOUT_DB_VERSION));
    }
    if (c != 0) {
        line(r.Format(IDS_FMT_ABOUT_DB_BUILD, Byte(c, 8), Byte(c, 0)));
    } else {
        missing(r.String(IDS_ABOUT_DB_BUILD));
    }
    return lines;
}

std::array<uint32_t, res::kLanguageLibraryCount> ProbeResourceLibraries(const std::string& folder) {
    std::array<uint32_t, res::kLanguageLibraryCount> versions{};
    for (int code = 1; code <= res::kLanguageLibraryCount; ++code) {
        versions[static_cast<size_t>(code - 1)] =
            res::ProbeLibraryVersion(res::LanguageLibraryPath(folder, code));
    }
    return versions;
}

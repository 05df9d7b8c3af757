#include "settings/settings_store.h"

#include <cstdlib>

#include "platform/os/paths.h"
#include "settings/profile_store.h"
#include "settings/registry_store.h"

std::string DefaultSettingsFilePath() {
    if (const char* file = std::getenv("SORVANE_SETTINGS_FILE"); file != nullptr && *file != 0) {
        return file;
    }
    const std::string name = std::string(kApplicationName).append(".ini");
    const std::string besideProgram = os::JoinPath(os::ProgramDir(), name);
    if (os::IsDirectoryWritable(os::ProgramDir()) || os::FileExists(besideProgram)) {
        return besideProgram;
    }
    return os::JoinPath(os::JoinPath(os::ConfigDir(), kApplicationName), name);
}

CSettingsStore::CSettingsStore(AppSettings& settings, os::Registry& registry)
    : settings_(settings), registry_(registry) {}

void CSettingsStore::SetDefaultSettings(const SystemColors& colors) {
    ::SetDefaultSettings(settings_, colors);
    settingsFilePath = DefaultSettingsFilePath();
}

bool CSettingsStore::LoadSettings(const std::string& path) {
    ReadProgramVersion(&settings_.exeVersionMS, &settings_.exeVersionLS);
    error_.clear();
    switch (settings_.configFile) {
        case 0:
            return CProfileStore::Load(settings_, path, copyWorkspace_ ? &registry_ : nullptr,
                                       screen, &error_);
        case 1:
            CRegistryStore::Load(settings_, registry_, screen);
            return true;
        default:
            return true;
    }
}

bool CSettingsStore::SaveSettings(const std::string& path, uint32_t groups) {
    error_.clear();
    switch (settings_.configFile) {
        case 0:
            // The user's own settings folder may not exist yet on a first start.
            if (path == settingsFilePath) {
                os::MakeDirectories(os::DirName(path));
            }
            return CProfileStore::Save(settings_, path, groups, registry_, &error_);
        case 1:
            return CRegistryStore::Save(settings_, registry_, groups, &error_);
        default:
            error_ = "no settings store " + std::to_string(settings_.configFile);
            return false;
    }
}

void CSettingsStore::CheckSettingsStore(When when) {
    if (when == When::Start) {
        if (!registry_.Reload()) {
            return;  // an unreadable registry is left as it is
        }
        os::RegValue value;
        if (registry_.QueryValue(GroupPath(SettingsGroup::Common), "ConfigFile", &value) &&
            value.data.size() >= 4) {
            settings_.configFile = static_cast<uint32_t>(value.data[0]) |
                                   (static_cast<uint32_t>(value.data[1]) << 8) |
                                   (static_cast<uint32_t>(value.data[2]) << 16) |
                                   (static_cast<uint32_t>(value.data[3]) << 24);
        }
    }
    if (settings_.configFile == 0) {
        registry_.BeginBatch();
        registry_.DeleteTree(VendorPath());
        registry_.DeleteTree(LegacyVendorPath());
        registry_.EndBatch();
    }
}

bool CSettingsStore::ImportSettings(const std::string& path) {
    ReadProgramVersion(&settings_.exeVersionMS, &settings_.exeVersionLS);
    error_.clear();
    return CProfileStore::Load(settings_, path, &registry_, screen, &error_);
}

bool CSettingsStore::ExportSettings(const std::string& path) {
    error_.clear();
    return CProfileStore::Save(settings_, path, ENV_ALL, registry_, &error_);
}

bool ReadStoredSettings(AppSettings& settings, os::Registry& registry) {
    settings.configFile = 0;
    os::RegValue value;
    if (registry.QueryValue(GroupPath(SettingsGroup::Common), "ConfigFile", &value) &&
        value.data.size() >= 4) {
        settings.configFile = static_cast<uint32_t>(value.data[0]) |
                              (static_cast<uint32_t>(value.data[1]) << 8) |
                              (static_cast<uint32_t>(value.data[2]) << 16) |
                              (static_cast<uint32_t>(value.data[3]) << 24);
    }
    CSettingsStore store(settings, registry);
    store.SetDefaultSettings();
    store.SetCopyWorkspaceOnLoad(false);
    return store.LoadSettings(store.settingsFilePath);
}

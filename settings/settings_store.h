#pragma once

#include <cstdint>
#include <string>

#include "platform/os/registry.h"
#include "settings/app_settings.h"
#include "settings/settings_codec.h"

// Loads and saves AppSettings in the store chosen by configFile: the settings
// file (0) or the registry (1). Import and export always use the profile
// format on the file given, whatever the store.
class CSettingsStore {
public:
    enum class When { Start, Exit };

    CSettingsStore(AppSettings& settings, os::Registry& registry);

    // Defaults of every field, and settingsFilePath.
    void SetDefaultSettings(const SystemColors& colors = {});
    // Loads every group from the current store; path is the settings file
    // read when configFile is 0. False when that file cannot be read (the
    // settings are then unchanged).
    bool LoadSettings(const std::string& path);
    // Writes the selected groups to the current store. False when nothing
    // could be written (or configFile names no store).
    bool SaveSettings(const std::string& path, uint32_t groups);
    bool SaveAllSettings(uint32_t groups) { return SaveSettings(settingsFilePath, groups); }
    // At start: configFile comes from the registry's COMMON "ConfigFile" when
    // there is one. At exit the choice made during the run stands. With the
    // settings-file store the registry trees of both vendor keys are removed.
    void CheckSettingsStore(When when);

    bool ImportSettings(const std::string& path);
    bool ExportSettings(const std::string& path);

    // Whether LoadSettings copies the Workspace sections of the settings file
    // into the registry (off for read-only inspection).
    void SetCopyWorkspaceOnLoad(bool copy) { copyWorkspace_ = copy; }

    const std::string& LastError() const { return error_; }

    std::string settingsFilePath;
    ScreenSize screen;

private:
    AppSettings& settings_;
    os::Registry& registry_;
    bool copyWorkspace_ = true;
    std::string error_;
};

// The stored settings as the program would find them at its next start
// (store choice, defaults, load), for tools that only read them: nothing is
// written and the registry is not cleaned. False when nothing is stored yet.
bool ReadStoredSettings(AppSettings& settings, os::Registry& registry);

// The settings file: $SORVANE_SETTINGS_FILE when set; else Sorvane.ini beside
// the program when that folder is writable or already holds the file; else
// ConfigDir()/Sorvane/Sorvane.ini.
std::string DefaultSettingsFilePath();

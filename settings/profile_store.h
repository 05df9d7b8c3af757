#pragma once

#include <cstdint>
#include <string>

#include "platform/os/registry.h"
#include "settings/app_settings.h"
#include "settings/settings_codec.h"

// The settings file side of the store: the profile format, with the window
// layout ("Workspace") copied between the file and the registry.
class CProfileStore {
public:
    // Buffer size of one decoded value.
    static constexpr uint32_t kValueBufferSize = 32767;

    static bool Load(AppSettings& settings, const std::string& path, os::Registry* workspace,
                     const ScreenSize& screen, std::string* error);
    static bool Save(const AppSettings& settings, const std::string& path, uint32_t groups,
                     os::Registry& registry, std::string* error);
};

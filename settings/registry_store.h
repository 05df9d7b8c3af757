#pragma once

#include <cstdint>
#include <string>

#include "platform/os/registry.h"
#include "settings/app_settings.h"
#include "settings/settings_codec.h"

// The registry side of the store: one key per group, one value per key.
class CRegistryStore {
public:
    static void Load(AppSettings& settings, const os::Registry& registry, const ScreenSize& screen);
    static bool Save(const AppSettings& settings, os::Registry& registry, uint32_t groups,
                     std::string* error);
};

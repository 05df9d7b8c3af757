#pragma once

#include <cstdint>
#include <string>

#include "app/app_settings.h"
#include "app/settings_codec.h"
#include "platform/os/registry.h"

// The registry side of the store: one key per group, one value per key.
class CRegistryStore {
public:
    static void Load(AppSettings& settings, const os::Registry& registry, const ScreenSize& screen);
    static bool Save(const AppSettings& settings, os::Registry& registry, uint32_t groups,
                     std::string* error);
};

#include "settings/registry_store.h"

#include "settings/profile_store.h"

void CRegistryStore::Load(AppSettings& settings, const os::Registry& registry,
                          const ScreenSize& screen) {
    for (int g = 0; g < kSettingsGroupCount; ++g) {
        const auto group = static_cast<SettingsGroup>(g);
        const std::string path = GroupPath(group);
        os::RegValue value;
        for (size_t i = 0; registry.EnumValue(path, i, &value); ++i) {
            // An oversized value is skipped; the rest of the group still loads.
            if (value.type == os::RegType::None ||
                value.data.size() > CProfileStore::kValueBufferSize) {
                continue;
            }
            ApplyStoredValue(settings, group, value.name, value.data.data(),
                             static_cast<uint32_t>(value.data.size()), screen);
        }
    }
    CheckFrameOrders(settings);
}

bool CRegistryStore::Save(const AppSettings& settings, os::Registry& registry, uint32_t groups,
                          std::string* error) {
    registry.BeginBatch();
    for (const StoredValue& value : CollectStoredValues(settings, groups)) {
        registry.SetValue(GroupPath(value.group), value.key, value.regType, value.data.data(),
                          value.data.size());
    }
    const bool ok = registry.EndBatch();
    if (!ok && error != nullptr) {
        *error = registry.LastError();
    }
    return ok;
}

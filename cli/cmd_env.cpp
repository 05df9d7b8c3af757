// sorvane-cli env: shows, exports and imports the stored settings.

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "platform/os/registry.h"
#include "settings/app_settings.h"
#include "settings/settings_codec.h"
#include "settings/settings_store.h"

namespace {

constexpr const char* kUsage =
    "sorvane-cli env show [--file F]   print every setting (current store, or file F)\n"
    "sorvane-cli env export F          write all settings to F in the profile format\n"
    "sorvane-cli env import F          load F and save all settings to the current store";

uint32_t Get32(const uint8_t* d) {
    return static_cast<uint32_t>(d[0]) | (static_cast<uint32_t>(d[1]) << 8) |
           (static_cast<uint32_t>(d[2]) << 16) | (static_cast<uint32_t>(d[3]) << 24);
}

std::string Ints(const std::vector<uint8_t>& data) {
    std::string text;
    for (size_t i = 0; i + 4 <= data.size(); i += 4) {
        if (i != 0) {
            text += ',';
        }
        text += std::to_string(static_cast<int32_t>(Get32(&data[i])));
    }
    return text;
}

std::string Params(const BusParams& p) {
    char text[128];
    std::snprintf(text, sizeof text, "%d,%u,%u,%u,%u,%u", p.bitrate, p.tseg1, p.tseg2, p.sjw,
                  p.noSamp, p.syncMode);
    return text;
}

std::string Describe(const AppSettings& settings, const StoredValue& value) {
    char text[256];
    const std::string& key = value.key;
    if (key == "AppVersion") {
        const uint64_t v = settings.storedAppVersion;
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", static_cast<unsigned>((v >> 16) & 0xFFFF),
                      static_cast<unsigned>(v & 0xFFFF), static_cast<unsigned>((v >> 48) & 0xFFFF),
                      static_cast<unsigned>((v >> 32) & 0xFFFF));
        return text;
    }
    if (value.form == ProfileForm::Text) {
        std::string quoted(1, '"');
        quoted.append(value.data.begin(), value.data.end() - 1);
        quoted.push_back('"');
        return quoted;
    }
    if (value.group == SettingsGroup::Can) {
        const ChannelSettings c = DecodeChannel(value.data.data());
        std::snprintf(text, sizeof text, "enabled=%d mode=%d arbitration=%s data=%s", c.enabled,
                      c.mode, Params(c.arbitration).c_str(), Params(c.data).c_str());
        return text;
    }
    if (value.group == SettingsGroup::Frame) {
        const FramePlacement f = DecodePlacement(value.data.data());
        std::snprintf(text, sizeof text, "rect=%d,%d,%d,%d showCmd=%d order=%d", f.left, f.top,
                      f.right, f.bottom, f.showCmd, f.order);
        return text;
    }
    if (key == "Color.Line") {
        std::string colours;
        for (size_t i = 0; i + 4 <= value.data.size(); i += 4) {
            std::snprintf(text, sizeof text, "%s0x%08X", i == 0 ? "" : ",", Get32(&value.data[i]));
            colours += text;
        }
        return colours;
    }
    if (value.form == ProfileForm::Bytes) {
        return Ints(value.data);
    }
    const uint32_t v = Get32(value.data.data());
    if (key.rfind("Color.", 0) == 0) {
        std::snprintf(text, sizeof text, "0x%08X", v);
    } else if (key == "Language") {
        std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(v));
    } else {
        std::snprintf(text, sizeof text, "%u", v);
    }
    return text;
}

const char* StoreName(uint32_t configFile) {
    return configFile == 0 ? "settings file" : configFile == 1 ? "registry" : "none";
}

int Show(CSettingsStore& store, AppSettings& settings, os::Registry& registry, const char* file) {
    // Inspection only: read the store choice without the clean-up of the check.
    os::RegValue value;
    if (registry.QueryValue(GroupPath(SettingsGroup::Common), "ConfigFile", &value) &&
        value.data.size() >= 4) {
        settings.configFile = Get32(value.data.data());
    }
    store.SetDefaultSettings();
    store.SetCopyWorkspaceOnLoad(false);
    bool loaded = false;
    if (file != nullptr) {
        const uint32_t configFile = settings.configFile;
        settings.configFile = 0;
        loaded = store.LoadSettings(file);
        if (settings.configFile == 0) {
            settings.configFile = configFile;
        }
        if (!loaded) {
            std::fprintf(stderr, "sorvane-cli env: cannot read %s: %s\n", file,
                         store.LastError().c_str());
            return kExitFailure;
        }
    } else {
        loaded = store.LoadSettings(store.settingsFilePath);
        if (!loaded) {
            std::fprintf(stderr, "sorvane-cli env: no stored settings (%s); defaults shown\n",
                         store.settingsFilePath.c_str());
        }
    }
    for (const StoredValue& v : CollectStoredValues(settings, ENV_ALL)) {
        std::printf("%s.%s = %s\n", GroupName(v.group), v.key.c_str(),
                    Describe(settings, v).c_str());
    }
    return kExitOk;
}

int RunEnvCommand(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(argc < 2 ? stderr : stdout, "%s\n", kUsage);
        return argc < 2 ? kExitUsage : kExitOk;
    }
    const std::string action = argv[1];
    AppSettings& settings = GlobalSettings();
    os::Registry registry(os::Registry::DefaultFilePath(kVendorKey));
    CSettingsStore store(settings, registry);

    if (action == "show") {
        const char* file = nullptr;
        if (argc == 4 && std::strcmp(argv[2], "--file") == 0) {
            file = argv[3];
        } else if (argc != 2) {
            std::fprintf(stderr, "%s\n", kUsage);
            return kExitUsage;
        }
        return Show(store, settings, registry, file);
    }
    if ((action != "export" && action != "import") || argc != 3) {
        std::fprintf(stderr, "%s\n", kUsage);
        return kExitUsage;
    }
    const std::string file = argv[2];
    // The same steps as a run of the program: check, defaults, load, act, exit check.
    store.CheckSettingsStore(CSettingsStore::When::Start);
    store.SetDefaultSettings();
    store.LoadSettings(store.settingsFilePath);
    int status = kExitOk;
    if (action == "export") {
        if (store.ExportSettings(file)) {
            std::printf("exported the settings to %s\n", file.c_str());
        } else {
            std::fprintf(stderr, "sorvane-cli env: cannot write %s: %s\n", file.c_str(),
                         store.LastError().c_str());
            status = kExitFailure;
        }
    } else if (!store.ImportSettings(file)) {
        std::fprintf(stderr, "sorvane-cli env: cannot read %s: %s\n", file.c_str(),
                     store.LastError().c_str());
        status = kExitFailure;
    } else if (!store.SaveAllSettings(ENV_ALL)) {
        std::fprintf(stderr, "sorvane-cli env: cannot save the settings (%s): %s\n",
                     StoreName(settings.configFile), store.LastError().c_str());
        status = kExitFailure;
    } else {
        std::printf("imported %s into the %s%s%s\n", file.c_str(), StoreName(settings.configFile),
                    settings.configFile == 0 ? " " : "",
                    settings.configFile == 0 ? store.settingsFilePath.c_str() : "");
    }
    store.CheckSettingsStore(CSettingsStore::When::Exit);
    return status;
}

const bool registered = RegisterCliCommand({"env", kUsage, &RunEnvCommand});

}  // namespace

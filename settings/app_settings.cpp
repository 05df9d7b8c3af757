#include "settings/app_settings.h"

#include "res/resource_version.h"

AppSettings& GlobalSettings() {
    static AppSettings settings;
    return settings;
}

void SetDefaultSettings(AppSettings& settings, const SystemColors& colors) {
    const uint32_t configFile = settings.configFile;
    settings = AppSettings{};
    settings.configFile = configFile;
    settings.monitorColorTextOk = colors.windowText;
    settings.monitorColorBkgnd = colors.window;
    settings.statisticsColorText = colors.windowText;
    settings.statisticsColorBkgnd = colors.window;
    settings.messageInfoColorText = colors.windowText;
    settings.messageInfoColorBkgnd = colors.window;
    settings.messageDetailColorText = colors.windowText;
    settings.messageDetailColorBkgnd = colors.window;
    settings.busLoadColorBkgnd = colors.window;
    settings.busLoadColorScaleLine = colors.buttonFace;
    settings.busLoadColorScaleText = colors.windowText;
}

void ReadProgramVersion(uint32_t* ms, uint32_t* ls) {
    *ms = (static_cast<uint32_t>(SORVANE_VERSION_MAJOR) << 16) | SORVANE_VERSION_MINOR;
    *ls = (static_cast<uint32_t>(SORVANE_VERSION_BUILD) << 16) | SORVANE_VERSION_REVISION;
}

CanConfig CanConfigFromSettings(const AppSettings& settings) {
    CanConfig config{};
    for (int i = 0; i < kChannelCount; ++i) {
        config.can[i] = settings.can[i];
    }
    config.busLoadThreshold = settings.busLoadThreshold;
    return config;
}

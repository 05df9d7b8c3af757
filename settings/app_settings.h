#pragma once

#include <cstdint>
#include <string>

#include "can/can_config.h"
#include "can/channel_settings.h"
#include "settings/frame_placement.h"

// Save groups: each bit selects the keys that SaveSettings writes.
inline constexpr uint32_t ENV_APPVERSION = 0x1;
inline constexpr uint32_t ENV_APPLOOK = 0x2;
inline constexpr uint32_t ENV_CANDB_RECENT = 0x4;
inline constexpr uint32_t ENV_CONFIGFILE = 0x8;
inline constexpr uint32_t ENV_LANGUAGE = 0x10;
inline constexpr uint32_t ENV_CAN1 = 0x20;
inline constexpr uint32_t ENV_CAN2 = 0x40;
inline constexpr uint32_t ENV_CAN3 = 0x80;
inline constexpr uint32_t ENV_CAN4 = 0x100;
inline constexpr uint32_t ENV_CAN5 = 0x200;
inline constexpr uint32_t ENV_FRAME_MONITOR = 0x400;
inline constexpr uint32_t ENV_FRAME_BUSLOAD = 0x800;
inline constexpr uint32_t ENV_FRAME_STATISTICS = 0x1000;
inline constexpr uint32_t ENV_FRAME_MESSAGEINFO = 0x2000;
inline constexpr uint32_t ENV_MONITOR_COLUMN = 0x4000;
inline constexpr uint32_t ENV_MONITOR_MAXLINE = 0x8000;
inline constexpr uint32_t ENV_MONITOR_COLOR = 0x10000;
inline constexpr uint32_t ENV_STATISTICS_COLUMN = 0x20000;
inline constexpr uint32_t ENV_STATISTICS_COLOR = 0x40000;
inline constexpr uint32_t ENV_MESSAGEINFO_COLUMN = 0x80000;
inline constexpr uint32_t ENV_MESSAGEINFO_COLOR = 0x100000;
inline constexpr uint32_t ENV_MESSAGEDETAIL_COLUMN = 0x200000;
inline constexpr uint32_t ENV_MESSAGEDETAIL_COLOR = 0x400000;
inline constexpr uint32_t ENV_BUSLOAD_HISTTIME = 0x800000;
inline constexpr uint32_t ENV_BUSLOAD_THRESHOLD = 0x1000000;
inline constexpr uint32_t ENV_BUSLOAD_COLOR = 0x2000000;
inline constexpr uint32_t ENV_WORKSPACE = 0x4000000;
inline constexpr uint32_t ENV_ALL = 0xFFFFFFFF;

inline constexpr int kRecentCandbCount = 4;
inline constexpr int kRecentCandbMaxChars = 259;
inline constexpr uint32_t kDefaultAppLook = 32819;
inline constexpr uint64_t kDefaultMaxLine = 65535;

// The system colours the defaults take (0x00BBGGRR). The GUI passes the
// palette's; the core uses the classic values.
struct SystemColors {
    uint32_t windowText = 0x00000000;
    uint32_t window = 0x00FFFFFF;
    uint32_t buttonFace = 0x00F0F0F0;
};

inline constexpr ChannelSettings kDefaultChannel{
    0, 0, {500000, 12, 3, 1, 0, 0}, {0, 0, 0, 0, 0, 0}};
static_assert(kChannelCount == 5, "the settings hold five channel records");

// Every persistent setting of the program. Colours are 0x00BBGGRR.
struct AppSettings {
    // COMMON and program information
    int32_t notConfigured = 1;  // not stored
    uint64_t storedAppVersion = 0;
    uint32_t exeVersionMS = 0;
    uint32_t exeVersionLS = 0;
    uint32_t canlibVersion[2] = {};  // not stored
    uint32_t resLibVersion[4] = {};  // not stored
    uint32_t appLook = kDefaultAppLook;
    std::string recentCandb[kRecentCandbCount];  // UTF-8, at most 259 characters
    std::string buildDate = "20220523";          // not stored
    std::string buildNumber = "6284";            // not stored
    uint32_t configFile = 0;                     // 0 settings file, 1 registry
    int32_t language = -1;

    // FRAME
    FramePlacement frameMonitor{0, 0, 0, 0, 5, 0};
    FramePlacement frameBusLoad{0, 0, 0, 0, 5, 1};
    FramePlacement frameStatistics{0, 0, 0, 0, 5, 2};
    FramePlacement frameMessageInfo{0, 0, 0, 0, 5, 3};

    // MONITOR
    int32_t monitorColumn[8] = {110, 40, 40, 50, 40, 40, 40, 320};
    uint64_t monitorMaxLine = kDefaultMaxLine;
    uint32_t monitorColorTextOk = 0;
    uint32_t monitorColorTextNg = 0x000000FF;
    uint32_t monitorColorBkgnd = 0x00FFFFFF;

    // STATISTICS
    int32_t statisticsColumn[6] = {180, 60, 60, 60, 60, 60};
    uint32_t statisticsColorText = 0;
    uint32_t statisticsColorBkgnd = 0x00FFFFFF;

    // MESSAGEINFO
    int32_t messageInfoColumn[7] = {40, 40, 50, 40, 40, 80, 80};
    uint32_t messageInfoColorText = 0;
    uint32_t messageInfoColorBkgnd = 0x00FFFFFF;

    // MESSAGEDETAIL
    int32_t messageDetailColumn[3] = {80, 60, 60};
    uint32_t messageDetailColorText = 0;
    uint32_t messageDetailColorBkgnd = 0x00FFFFFF;

    // BUSLOAD
    uint32_t busLoadHistTime = 1;
    uint32_t busLoadThreshold = 80;
    uint32_t busLoadColorLine[5] = {0x00FF0000, 0x0071B33C, 0x00B5E4FF, 0x003F85CD, 0x00DDA0DD};
    uint32_t busLoadColorBkgnd = 0x00FFFFFF;
    uint32_t busLoadColorScaleLine = 0x00F0F0F0;
    uint32_t busLoadColorScaleText = 0;
    uint32_t busLoadColorThreshold = 0x000000FF;

    // CAN
    ChannelSettings can[kChannelCount] = {kDefaultChannel, kDefaultChannel, kDefaultChannel,
                                          kDefaultChannel, kDefaultChannel};
};

static_assert(sizeof(AppSettings::monitorColumn) == 32, "monitor columns are stored as 32 bytes");
static_assert(sizeof(AppSettings::statisticsColumn) == 24, "statistics columns: 24 bytes");
static_assert(sizeof(AppSettings::messageInfoColumn) == 28, "message-info columns: 28 bytes");
static_assert(sizeof(AppSettings::messageDetailColumn) == 12, "message-detail columns: 12 bytes");
static_assert(sizeof(AppSettings::busLoadColorLine) == 20, "bus-load line colours: 20 bytes");

// The program's one settings record.
AppSettings& GlobalSettings();

// Every field to its default, notConfigured 1; configFile is left as it is
// (the store check decides it).
void SetDefaultSettings(AppSettings& settings, const SystemColors& colors = {});

// The program's own version words, what "AppVersion" stores.
void ReadProgramVersion(uint32_t* ms, uint32_t* ls);

// What the channel manager needs from the settings at each start.
CanConfig CanConfigFromSettings(const AppSettings& settings);

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/registry.h"
#include "settings/app_settings.h"

// The vendor key under which both stores keep the settings, and the key an
// older version used (removed by the store check).
inline constexpr const char* kVendorKey = "Velmara";
inline constexpr const char* kLegacyVendorKey = "VelmaraSoft";
inline constexpr const char* kApplicationName = "Sorvane";

enum class SettingsGroup {
    Common,
    Can,
    Frame,
    Monitor,
    Statistics,
    MessageInfo,
    MessageDetail,
    BusLoad
};
inline constexpr int kSettingsGroupCount = 8;

// "COMMON", "CAN", ... in load and save order.
const char* GroupName(SettingsGroup group);
// "SOFTWARE\" + vendor key + "\Sorvane\" + group: registry key and section name.
std::string GroupPath(SettingsGroup group);
std::string VendorPath();        // "SOFTWARE\" + vendor key
std::string LegacyVendorPath();  // "SOFTWARE\" + legacy vendor key
std::string WorkspacePath();     // "SOFTWARE\" + vendor key + "\Sorvane\Workspace"

// How a key is written to the settings file.
enum class ProfileForm { Text, Bytes, Dword };

// One key as it is stored: the bytes are the registry data (texts with their
// terminating NUL) and, without the NUL, what the settings file holds.
struct StoredValue {
    SettingsGroup group;
    std::string key;
    ProfileForm form;
    os::RegType regType;
    std::vector<uint8_t> data;
};

// The keys selected by the group bits, in the exact order of the save.
std::vector<StoredValue> CollectStoredValues(const AppSettings& settings, uint32_t groups);

// The screen the frame rectangles are checked against; 0 x 0 when unknown
// (no check).
struct ScreenSize {
    int32_t width = 0;
    int32_t height = 0;
};

// Gives one stored value to its group's key handler: key names ignoring case,
// unknown keys ignored, data from the start of the buffer, then validation.
// A value shorter than the handler needs is ignored (the setting keeps its
// value), except "Color.Line", which sets as many colours as it holds.
void ApplyStoredValue(AppSettings& settings, SettingsGroup group, const std::string& key,
                      const uint8_t* data, uint32_t length, const ScreenSize& screen);

// After a FRAME group: the four orders must together be 0, 1, 2 and 3.
void CheckFrameOrders(AppSettings& settings);

// Little-endian stored forms of the records.
std::vector<uint8_t> EncodeChannel(const ChannelSettings& channel);
ChannelSettings DecodeChannel(const uint8_t* data);
std::vector<uint8_t> EncodePlacement(const FramePlacement& placement);
FramePlacement DecodePlacement(const uint8_t* data);

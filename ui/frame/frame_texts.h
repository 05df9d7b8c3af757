#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "can/channel_settings.h"

// The texts the main frame composes for its status bar and menus.
namespace frame_texts {

// "125Kbps" .. "8Mbps" for the seven rates of the presets; any other rate
// gives an empty text.
QString BitrateText(int32_t bitrate);
// "CAN1 (CAN): 500Kbps" or "CAN1 (CAN-FD): [Arb=500Kbps][Dat=2Mbps]".
QString ChannelLabel(int index, const ChannelSettings& settings);
// "%02d:%02d:%02d", or "%d days %02d:%02d:%02d" from one day on.
QString UptimeText(uint64_t elapsedSeconds);
// "CAN%d: BUS %s (&%d)": OFF while the bus is on, ON while it is off.
QString BusMenuText(int index, bool busOn);
// The recent list after opening path: path first, then the old non-empty
// entries that differ from it ignoring case, in their order; at most four.
std::vector<std::string> UpdatedRecentList(const std::vector<std::string>& recent,
                                           const std::string& path, size_t limit = 4);

}  // namespace frame_texts

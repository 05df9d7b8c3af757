#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The library's bus statistics of one channel as the program keeps them:
// seven 32-bit figures, whatever width the library's record has.
struct BusStatisticsBlock {
    uint32_t stdData;
    uint32_t stdRemote;
    uint32_t extData;
    uint32_t extRemote;
    uint32_t errFrame;
    uint32_t busLoad;  // hundredths of a percent, 0..10000
    uint32_t overruns;
};

// Every figure of a channel shown by the statistics window.
struct ChannelStatistics {
    BusStatisticsBlock bus;
    uint32_t txErrors;
    uint32_t rxErrors;
    uint32_t overrunErrors;
    uint32_t txCount;      // frames handed to the library for sending
    uint32_t rxTotal;      // sum of the five frame counts of the latest pass
    uint32_t rxPerSecond;  // received frames per second between the two latest passes
    uint32_t busLoadPeak;  // highest bus load since the last clear
};

inline constexpr size_t kBusLoadHistoryLength = 240;

// The latest bus-load values of a channel, newest first; at 0.5 s a pass the
// 240 values cover two minutes.
class BusLoadHistory {
public:
    void Push(uint32_t busLoad);
    void Clear() { values_.clear(); }
    size_t Size() const { return values_.size(); }
    std::vector<uint32_t> Values() const { return {values_.begin(), values_.end()}; }

private:
    std::deque<uint32_t> values_;
};

// 32-bit wrap-around sum of the five received-frame counts.
uint32_t RxTotal(const BusStatisticsBlock& bus);
// Frames per second over the interval between two passes, rounded; 0 when the
// clock did not advance.
uint32_t RxPerSecond(uint32_t total, uint32_t previousTotal, uint32_t now, uint32_t previousTime);
// Whether a pass warns: the load reaches the threshold (percent) and is a new peak.
bool BusLoadWarns(uint32_t busLoad, uint32_t busLoadPeak, uint32_t thresholdPercent);
// "Busload Over Threshould. (85%)" for a load of 8500.
std::string BusLoadWarningText(uint32_t busLoad);

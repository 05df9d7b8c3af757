#pragma once

#include <cstdint>
#include <vector>

#include "can/bus_statistics.h"

class CCanManager;

// What the statistics window and the bus-load graph read and change in the
// channel layer: the figures of each channel, the bus-load histories and the
// statistics workers' wake-up. The channel manager is the one source of the
// program; the views' tests put their own figures behind it.
class CStatisticsSource {
public:
    virtual ~CStatisticsSource() = default;

    virtual ChannelStatistics Statistics(int index) const = 0;
    // The channel's bus-load history, newest first.
    virtual std::vector<uint32_t> BusLoadHistory(int index) const = 0;
    // Wakes the statistics worker of every channel that has one.
    virtual void RefreshStatistics() = 0;
    // 1 done, 0 when the channel's counters could not be reset.
    virtual int ClearStatistics(int index) = 0;
    virtual void ClearBusLoadHistory(int index) = 0;
    // Empties the history and leaves busLoad as its only, oldest value.
    virtual void SeedBusLoadHistory(int index, uint32_t busLoad) = 0;
};

// The channel manager as the views' source.
class CManagerStatisticsSource : public CStatisticsSource {
public:
    explicit CManagerStatisticsSource(CCanManager* manager) : manager_(manager) {}

    ChannelStatistics Statistics(int index) const override;
    std::vector<uint32_t> BusLoadHistory(int index) const override;
    void RefreshStatistics() override;
    int ClearStatistics(int index) override;
    void ClearBusLoadHistory(int index) override;
    void SeedBusLoadHistory(int index, uint32_t busLoad) override;

private:
    CCanManager* manager_;
};

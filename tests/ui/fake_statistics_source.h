#pragma once

#include <array>
#include <vector>

#include "settings/app_settings.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/frame/statistics_source.h"

// Figures and histories the view tests set, with a record of what the
// views asked for.
class FakeStatisticsSource : public CStatisticsSource {
public:
    std::array<ChannelStatistics, kChannelCount> stats{};
    std::array<std::vector<uint32_t>, kChannelCount> histories;
    int refreshes = 0;
    std::vector<int> cleared;

    ChannelStatistics Statistics(int i) const override { return stats[static_cast<size_t>(i)]; }
    std::vector<uint32_t> BusLoadHistory(int i) const override {
        return histories[static_cast<size_t>(i)];
    }
    void RefreshStatistics() override { ++refreshes; }
    int ClearStatistics(int i) override {
        cleared.push_back(i);
        stats[static_cast<size_t>(i)] = {};
        histories[static_cast<size_t>(i)].clear();
        return 1;
    }
    void ClearBusLoadHistory(int i) override { histories[static_cast<size_t>(i)].clear(); }
    void PushBusLoadHistory(int i, uint32_t v) override {
        auto& h = histories[static_cast<size_t>(i)];
        h.insert(h.begin(), v);
    }
};

// The frame backend with a settings record of its own.
class SettingsBackend : public FakeFrameBackend {
public:
    AppSettings settings;
    AppSettings* Settings() override { return &settings; }
    ChannelSettings Channel(int i) const override { return settings.can[i]; }

    void EnableChannels(std::initializer_list<int> indexes) {
        for (int i : indexes) {
            settings.can[i].enabled = 1;
        }
    }
};

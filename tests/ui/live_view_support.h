#pragma once

#include <QMdiArea>
#include <QTest>
#include <array>
#include <vector>

#include "controls/cmd_ui.h"
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
    void SeedBusLoadHistory(int i, uint32_t v) override { histories[static_cast<size_t>(i)] = {v}; }
};

// The frame backend with a settings record of its own.
class SettingsBackend : public FakeFrameBackend {
public:
    AppSettings settings;
    AppSettings* Settings() override { return &settings; }
    ChannelSettings Channel(int i) const override { return settings.can[i]; }
};

// A view frame on its own in an MDI area, over a fake source, with the
// channels given enabled.
template <class Frame>
struct ViewFixture {
    SettingsBackend backend;
    FakeStatisticsSource source;
    QMdiArea area;
    Frame* frame = new Frame;

    explicit ViewFixture(std::initializer_list<int> enabled) {
        for (int i : enabled) {
            backend.settings.can[i].enabled = 1;
        }
        area.addSubWindow(frame);
        frame->SetBackend(&backend);
        frame->SetStatisticsSource(&source);
        area.resize(900, 600);
    }
    bool Create() {
        if (!frame->Create(nullptr)) {
            return false;
        }
        area.show();
        frame->showMaximized();
        return QTest::qWaitForWindowExposed(&area);
    }
    CCmdUI State(uint32_t id) {
        CCmdUI ui;
        return frame->RouteCommand(id, &ui) ? ui : CCmdUI{};
    }
    void Run(uint32_t id) { frame->RouteCommand(id, nullptr); }
    void Post(int type) {
        QEvent event(static_cast<QEvent::Type>(type));
        QCoreApplication::sendEvent(frame, &event);
    }
};

#pragma once

// The monitor and message-info frames over a real channel manager on our
// virtual bus, for the tests of the live views.

#include <QMdiArea>
#include <QTest>
#include <QThread>

#include "can/can_manager.h"
#include "candb/candb_manager.h"
#include "settings/app_settings.h"
#include "tests/can/manager_test_support.h"
#include "tests/ui/fake_frame_backend.h"
#include "ui/frame/message_info_frame.h"
#include "ui/frame/monitor_frame.h"
#include "ui/frame/user_events.h"

// The frame backend of the program, over a real manager on our library.
class LiveBackend : public FakeFrameBackend {
public:
    explicit LiveBackend(const CanConfig& config)
        : manager([config] { return config; }, SORVANE_TEST_CANLIB) {
        for (int c = 0; c < kChannelCount; ++c) {
            channels[c] = config.can[c];
        }
    }
    CCanManager manager;
    AppSettings settings;
    CCANdbManager candb;

    bool Connected() const override { return manager.Connected(); }
    int Start() override { return manager.Start(); }
    void Stop() override { manager.Stop(); }
    CCanManager* Manager() override { return &manager; }
    AppSettings* Settings() override { return &settings; }
    CCANdbManager* Candb() override { return &candb; }
};

// CAN1 classic and CAN2 CAN FD, each alone on its bus.
inline CanConfig TwoChannels() {
    return Config({{0, Classic500k()}, {1, Fd500k2M()}});
}

// The monitor and message-info frames side by side, as the main frame makes
// them, without the main frame.
struct Views {
    explicit Views(LiveBackend& backend) {
        area.resize(1400, 700);
        monitor = new CMonitorFrame;
        info = new CMessageInfoFrame;
        for (CChildFrmBase* frame :
             {static_cast<CChildFrmBase*>(monitor), static_cast<CChildFrmBase*>(info)}) {
            area.addSubWindow(frame);
            frame->SetBackend(&backend);
            created = created && frame->Create(nullptr);
        }
        monitor->setGeometry(0, 0, 1000, 600);
        info->setGeometry(1000, 0, 400, 600);
        area.show();
        ok = created && QTest::qWaitForWindowExposed(&area);
    }
    QMdiArea area;
    CMonitorFrame* monitor = nullptr;
    CMessageInfoFrame* info = nullptr;
    bool created = true;
    bool ok = false;
};

// One view-timer tick, as at a stop: the frames refresh at once.
inline void Tick(CChildFrmBase* frame) {
    QEvent stop(kEventCommStop);
    QCoreApplication::sendEvent(frame, &stop);
}

inline CCmdUI State(CChildFrmBase* frame, uint32_t id) {
    CCmdUI ui;
    frame->OnFrameCommand(id, &ui);
    return ui;
}

inline void Run(CChildFrmBase* frame, uint32_t id) {
    frame->OnFrameCommand(id, nullptr);
}

// Injects frames one queue's worth at a time, so the library never drops.
inline bool InjectMany(Vcan& vcan, CCanManager& manager, size_t count, uint32_t id) {
    const uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const size_t start = manager.Frames().Size();
    for (size_t i = 0; i < count; ++i) {
        while (i - (manager.Frames().Size() - start) > 4096) {
            QThread::usleep(100);
        }
        if (vcan.inject(0, static_cast<long>(id), data, 8, kMsgStd) <= 0) {
            return false;
        }
    }
    return WaitUntil([&] { return manager.Frames().Size() - start == count; });
}

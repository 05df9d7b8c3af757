#pragma once

#include <memory>

#include "ui/frame/statistics_source.h"

class CChildFrmBase;
struct AppSettings;

// What the statistics window and the bus-load graph read from the program
// through their frame's backend: the settings record, the communication
// state and the statistics source. A frame made without a backend (or
// whose backend has no settings or manager) gets defaults and no figures.
class CLiveViewInputs {
public:
    explicit CLiveViewInputs(const CChildFrmBase* frame);
    ~CLiveViewInputs();

    AppSettings& Settings() const;
    bool Connected() const;
    // Enabled and, while communicating, active (started on the bus).
    bool EnabledAndActive(int index) const;
    // Enabled and, while communicating, on the bus now.
    bool EnabledAndOnBus(int index) const;

    // The source given, else the backend's channel manager; null when there
    // is neither.
    CStatisticsSource* Source();
    // Not owned; null returns to the channel manager.
    void SetSource(CStatisticsSource* source) { source_ = source; }

private:
    bool Enabled(int index) const;

    const CChildFrmBase* frame_;
    CStatisticsSource* source_ = nullptr;
    std::unique_ptr<CManagerStatisticsSource> managerSource_;
    std::unique_ptr<AppSettings> ownSettings_;
};

#include "ui/frame/statistics_source.h"

#include "can/can_manager.h"

ChannelStatistics CManagerStatisticsSource::Statistics(int index) const {
    return manager_ != nullptr ? manager_->Statistics(index) : ChannelStatistics{};
}

std::vector<uint32_t> CManagerStatisticsSource::BusLoadHistory(int index) const {
    return manager_ != nullptr ? manager_->BusLoadHistoryValues(index) : std::vector<uint32_t>{};
}

void CManagerStatisticsSource::RefreshStatistics() {
    if (manager_ != nullptr) {
        manager_->RefreshStatistics();
    }
}

int CManagerStatisticsSource::ClearStatistics(int index) {
    return manager_ != nullptr ? manager_->ClearStatistics(index) : 1;
}

void CManagerStatisticsSource::ClearBusLoadHistory(int index) {
    if (manager_ != nullptr) {
        manager_->ClearBusLoadHistory(index);
    }
}

void CManagerStatisticsSource::SeedBusLoadHistory(int index, uint32_t busLoad) {
    if (manager_ != nullptr) {
        manager_->SeedBusLoadHistory(index, busLoad);
    }
}

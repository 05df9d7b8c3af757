#include "bus_statistics.h"

#include "platform/os/format.h"

void BusLoadHistory::Push(uint32_t busLoad) {
    values_.push_front(busLoad);
    while (values_.size() > kBusLoadHistoryLength) {
        values_.pop_back();
    }
}

uint32_t RxTotal(const BusStatisticsBlock& bus) {
    return bus.stdData + bus.stdRemote + bus.extData + bus.extRemote + bus.errFrame;
}

uint32_t RxPerSecond(uint32_t total, uint32_t previousTotal, uint32_t now, uint32_t previousTime) {
    const uint32_t frames = total - previousTotal;
    const uint32_t elapsed = now - previousTime;
    if (elapsed == 0) {
        return 0;
    }
    const double rate = static_cast<double>(frames) / static_cast<double>(elapsed) * 1000000.0;
    // A few frames over a microsecond would overflow the figure; keep it at the top.
    if (rate + 0.5 >= 4294967295.0) {
        return UINT32_MAX;
    }
    return static_cast<uint32_t>(rate + 0.5);
}

bool BusLoadWarns(uint32_t busLoad, uint32_t busLoadPeak, uint32_t thresholdPercent) {
    return busLoad / 100.0 >= static_cast<double>(thresholdPercent) && busLoad > busLoadPeak;
}

std::string BusLoadWarningText(uint32_t busLoad) {
    return os::Format("%s (%.f%%)", "Busload Over Threshould.", busLoad / 100.0);
}

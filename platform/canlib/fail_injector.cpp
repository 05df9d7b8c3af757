#include "fail_injector.h"

#include <cstring>

namespace vcan {
namespace {

constexpr const char* kEntryPoints[] = {
    "canInitializeLibrary",
    "canClose",
    "canBusOn",
    "canBusOff",
    "canSetBusParams",
    "canSetBusParamsFd",
    "canAccept",
    "canReadErrorCounters",
    "canWrite",
    "canRead",
    "canGetErrorText",
    "canGetVersion",
    "canGetVersionEx",
    "canIoCtl",
    "canReadTimer",
    "canOpenChannel",
    "canGetNumberOfChannels",
    "canParamGetCount",
    "canParamGetName",
    "canParamGetChannelNumber",
    "canResetBus",
    "canUnloadLibrary",
    "canRequestBusStatistics",
    "canGetBusStatistics",
};

}  // namespace

bool FailInjector::Arm(const char* entryPoint, int status, int count) {
    if (!entryPoint || count < -1)
        return false;
    bool known = false;
    for (const char* name : kEntryPoints)
        known = known || std::strcmp(name, entryPoint) == 0;
    if (!known)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    if (count == 0) {
        entries_.erase(entryPoint);
    } else {
        entries_[entryPoint] = {status, count};
    }
    armed_.store(!entries_.empty(), std::memory_order_release);
    return true;
}

bool FailInjector::TakeSlow(const char* entryPoint, int* status) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = entries_.find(entryPoint);
    if (it == entries_.end())
        return false;
    *status = it->second.status;
    if (it->second.count > 0 && --it->second.count == 0)
        entries_.erase(it);
    armed_.store(!entries_.empty(), std::memory_order_release);
    return true;
}

}  // namespace vcan

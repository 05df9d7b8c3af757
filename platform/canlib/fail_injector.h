// Failures armed by the test controls: the next calls of a named entry point give a status.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace vcan {

class FailInjector {
public:
    // False when `entryPoint` is not one of the library's entry points.
    bool Arm(const char* entryPoint, int status, int count);
    // True (with the status) when the call of `entryPoint` is to fail. Costs one relaxed
    // atomic load while nothing is armed.
    bool Take(const char* entryPoint, int* status) {
        if (!armed_.load(std::memory_order_acquire))
            return false;
        return TakeSlow(entryPoint, status);
    }

private:
    struct Armed {
        int status = 0;
        int count = 0;  // -1: every call
    };
    bool TakeSlow(const char* entryPoint, int* status);

    std::atomic<bool> armed_{false};
    std::mutex mutex_;
    std::map<std::string, Armed> entries_;
};

}  // namespace vcan

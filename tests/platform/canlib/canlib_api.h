// The entry points of a CAN interface library resolved with dlopen/dlsym, as the program
// resolves them, plus the vcanTest* controls of ours.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "canlib.h"
#include "canlib_testctl.h"

namespace canlib_test {

struct CanlibApi {
    void* module = nullptr;
    decltype(&::canInitializeLibrary) canInitializeLibrary = nullptr;
    decltype(&::canUnloadLibrary) canUnloadLibrary = nullptr;
    decltype(&::canOpenChannel) canOpenChannel = nullptr;
    decltype(&::canClose) canClose = nullptr;
    decltype(&::canBusOn) canBusOn = nullptr;
    decltype(&::canBusOff) canBusOff = nullptr;
    decltype(&::canResetBus) canResetBus = nullptr;
    decltype(&::canSetBusParams) canSetBusParams = nullptr;
    decltype(&::canSetBusParamsFd) canSetBusParamsFd = nullptr;
    decltype(&::canAccept) canAccept = nullptr;
    decltype(&::canReadErrorCounters) canReadErrorCounters = nullptr;
    decltype(&::canWrite) canWrite = nullptr;
    decltype(&::canRead) canRead = nullptr;
    decltype(&::canGetErrorText) canGetErrorText = nullptr;
    decltype(&::canGetVersion) canGetVersion = nullptr;
    decltype(&::canGetVersionEx) canGetVersionEx = nullptr;
    decltype(&::canIoCtl) canIoCtl = nullptr;
    decltype(&::canReadTimer) canReadTimer = nullptr;
    decltype(&::canGetNumberOfChannels) canGetNumberOfChannels = nullptr;
    decltype(&::canParamGetCount) canParamGetCount = nullptr;
    decltype(&::canParamGetName) canParamGetName = nullptr;
    decltype(&::canParamGetChannelNumber) canParamGetChannelNumber = nullptr;
    decltype(&::canRequestBusStatistics) canRequestBusStatistics = nullptr;
    decltype(&::canGetBusStatistics) canGetBusStatistics = nullptr;
    decltype(&::canGetChannelData) canGetChannelData = nullptr;
    decltype(&::vcanTestSocketCanStandIn) vcanTestSocketCanStandIn = nullptr;
    decltype(&::vcanTestConfigure) vcanTestConfigure = nullptr;
    decltype(&::vcanTestGetConfigErrors) vcanTestGetConfigErrors = nullptr;
    decltype(&::vcanTestInjectFrame) vcanTestInjectFrame = nullptr;
    decltype(&::vcanTestSetChannelPresent) vcanTestSetChannelPresent = nullptr;
    decltype(&::vcanTestFailNext) vcanTestFailNext = nullptr;
    decltype(&::vcanTestSetBusLoad) vcanTestSetBusLoad = nullptr;
    decltype(&::vcanTestSetErrorCounters) vcanTestSetErrorCounters = nullptr;
    decltype(&::vcanTestSetTimer) vcanTestSetTimer = nullptr;
    std::string missing;  // names of the symbols not found, blank-separated

    template <typename F>
    void Resolve(F* slot, const char* name) {
        *slot = reinterpret_cast<F>(dlsym(module, name));
        if (*slot == nullptr)
            missing += std::string(name) + " ";
    }

    // Loads the library at `path` and resolves every entry point; false when it cannot be
    // loaded. Symbols a variant lacks are left null and named in `missing`.
    bool Load(const char* path) {
        module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr)
            return false;
#define CANLIB_TEST_RESOLVE(name) Resolve(&name, #name)
        CANLIB_TEST_RESOLVE(canInitializeLibrary);
        CANLIB_TEST_RESOLVE(canUnloadLibrary);
        CANLIB_TEST_RESOLVE(canOpenChannel);
        CANLIB_TEST_RESOLVE(canClose);
        CANLIB_TEST_RESOLVE(canBusOn);
        CANLIB_TEST_RESOLVE(canBusOff);
        CANLIB_TEST_RESOLVE(canResetBus);
        CANLIB_TEST_RESOLVE(canSetBusParams);
        CANLIB_TEST_RESOLVE(canSetBusParamsFd);
        CANLIB_TEST_RESOLVE(canAccept);
        CANLIB_TEST_RESOLVE(canReadErrorCounters);
        CANLIB_TEST_RESOLVE(canWrite);
        CANLIB_TEST_RESOLVE(canRead);
        CANLIB_TEST_RESOLVE(canGetErrorText);
        CANLIB_TEST_RESOLVE(canGetVersion);
        CANLIB_TEST_RESOLVE(canGetVersionEx);
        CANLIB_TEST_RESOLVE(canIoCtl);
        CANLIB_TEST_RESOLVE(canReadTimer);
        CANLIB_TEST_RESOLVE(canGetNumberOfChannels);
        CANLIB_TEST_RESOLVE(canParamGetCount);
        CANLIB_TEST_RESOLVE(canParamGetName);
        CANLIB_TEST_RESOLVE(canParamGetChannelNumber);
        CANLIB_TEST_RESOLVE(canRequestBusStatistics);
        CANLIB_TEST_RESOLVE(canGetBusStatistics);
        CANLIB_TEST_RESOLVE(canGetChannelData);
        CANLIB_TEST_RESOLVE(vcanTestSocketCanStandIn);
        CANLIB_TEST_RESOLVE(vcanTestConfigure);
        CANLIB_TEST_RESOLVE(vcanTestGetConfigErrors);
        CANLIB_TEST_RESOLVE(vcanTestInjectFrame);
        CANLIB_TEST_RESOLVE(vcanTestSetChannelPresent);
        CANLIB_TEST_RESOLVE(vcanTestFailNext);
        CANLIB_TEST_RESOLVE(vcanTestSetBusLoad);
        CANLIB_TEST_RESOLVE(vcanTestSetErrorCounters);
        CANLIB_TEST_RESOLVE(vcanTestSetTimer);
#undef CANLIB_TEST_RESOLVE
        return true;
    }
};

// The full library, loaded once per test binary (the library is process-wide state; every
// test starts from vcanTestConfigure).
inline CanlibApi& Lib() {
    static CanlibApi api = [] {
        CanlibApi a;
        a.Load(SORVANE_TEST_CANLIB);
        return a;
    }();
    return api;
}

// A received frame.
struct RxFrame {
    long id = 0;
    uint8_t data[64] = {};
    unsigned dlc = 0;
    unsigned flags = 0;
    unsigned long time = 0;
};

inline canStatus ReadFrame(canHandle h, RxFrame* f) {
    return Lib().canRead(h, &f->id, f->data, &f->dlc, &f->flags, &f->time);
}

// Opens a virtual channel (with `extra` flags), sets 500 kbit/s and goes on bus; -1 on failure.
inline canHandle OpenOnBus(int channel, int extra = 0, long bitrate = canBITRATE_500K) {
    CanlibApi& l = Lib();
    const canHandle h = l.canOpenChannel(channel, canOPEN_ACCEPT_VIRTUAL | extra);
    if (h < 0)
        return -1;
    if (l.canSetBusParams(h, bitrate, 0, 0, 0, 0, 0) != canOK)
        return -1;
    if (l.canBusOn(h) != canOK)
        return -1;
    return h;
}

// Opens one more handle on a channel whose timing another handle holds, and goes on bus.
inline canHandle OpenSharedOnBus(int channel) {
    CanlibApi& l = Lib();
    const canHandle h = l.canOpenChannel(channel, canOPEN_ACCEPT_VIRTUAL);
    if (h < 0 || l.canBusOn(h) != canOK)
        return -1;
    return h;
}

// Opens a CAN FD channel at 500 kbit/s nominal and `dataRate` (a canFD_BITRATE_* code).
inline canHandle OpenFdOnBus(int channel, long dataRate = canFD_BITRATE_2M_80P) {
    CanlibApi& l = Lib();
    const canHandle h = l.canOpenChannel(channel, canOPEN_ACCEPT_VIRTUAL | canOPEN_CAN_FD);
    if (h < 0)
        return -1;
    if (l.canSetBusParams(h, canFD_BITRATE_500K_80P, 0, 0, 0, 0, 0) != canOK)
        return -1;
    if (l.canSetBusParamsFd(h, dataRate, 0, 0, 0) != canOK)
        return -1;
    if (l.canBusOn(h) != canOK)
        return -1;
    return h;
}

// Drains the handle's queue; returns the number of frames read.
inline int Drain(canHandle h) {
    RxFrame f;
    int n = 0;
    while (ReadFrame(h, &f) == canOK)
        ++n;
    return n;
}

// The fixture of the library tests: the library loaded with every entry
// point, and the bus back at its defaults before each test.
class CanlibFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Lib().module, nullptr) << dlerror();
        ASSERT_TRUE(Lib().missing.empty()) << "missing: " << Lib().missing;
        ASSERT_EQ(Lib().vcanTestConfigure(nullptr), canOK);
    }
    CanlibApi& l = Lib();
};

}  // namespace canlib_test

#include <gtest/gtest.h>

#include <cstring>

#include "can/can_manager.h"
#include "manager_test_support.h"

TEST(CanLibMissing, EverySlotFailsWithItsFallbackAndStartLogsNothing) {
    LogCapture log;
    CCanManager manager(
        [] {
            return Config({{0, Classic500k()}, {2, Classic500k()}});
        },
        "/nonexistent/libcanlib.so.1");
    EXPECT_FALSE(manager.Lib().IsCanLibLoaded());
    EXPECT_FALSE(manager.Lib().LoadError().empty());
    EXPECT_EQ(manager.Lib().LibraryVersion(), 0u);
    EXPECT_EQ(manager.Lib().ProductVersion(), 0u);
    EXPECT_EQ(manager.Lib().CanErrorText(kCanErrNotImplemented), "");

    const CanLibFunctions& api = manager.Lib().Api();
    int count = 7;
    EXPECT_EQ(api.canGetNumberOfChannels(&count), kCanErrNotImplemented);
    EXPECT_EQ(api.canOpenChannel(0, 0xA0), kCanErrParam);
    EXPECT_EQ(api.canReadTimer(0), 0u);
    EXPECT_EQ(api.canGetVersionEx(0), 0u);
    EXPECT_EQ(api.canBusOn(0), kCanErrNotImplemented);
    canlib_abi::BusStatistics stats{};
    EXPECT_EQ(api.canGetBusStatistics(0, &stats, sizeof stats), kCanErrNotImplemented);

    EXPECT_EQ(manager.Start(), 0);
    EXPECT_FALSE(manager.Connected());
    EXPECT_TRUE(log.Take().empty());
    EXPECT_FALSE(manager.ToggleBus(0));
    EXPECT_EQ(manager.ClearStatistics(0), 1);
    EXPECT_EQ(manager.ClearStatistics(9), 1);
    CanFrameRecord frame;
    std::memset(&frame, 0, sizeof frame);
    EXPECT_FALSE(manager.QueueFrame(frame));
    manager.Stop();
    manager.ResetCommunication();
    EXPECT_FALSE(manager.Lib().IsCanLibLoaded());
}

TEST(CanLibMissing, TableNamesInResolutionOrder) {
    EXPECT_STREQ(kCanLibEntryNames[0], "canInitializeLibrary");
    EXPECT_STREQ(kCanLibEntryNames[5], "canSetBusParamsFd");
    EXPECT_STREQ(kCanLibEntryNames[14], "canReadTimer");
    EXPECT_STREQ(kCanLibEntryNames[15], "canOpenChannel");
    EXPECT_STREQ(kCanLibEntryNames[23], "canGetBusStatistics");
    static_assert(sizeof(CanLibFunctions) == kCanLibSlotCount * sizeof(void*));
}

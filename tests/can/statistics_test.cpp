#include <gtest/gtest.h>

#include "can/bus_statistics.h"

TEST(BusStatistics, TotalWrapsAndRateRounds) {
    BusStatisticsBlock bus{1, 2, 3, 4, 5, 0, 9};
    EXPECT_EQ(RxTotal(bus), 15u);
    bus.stdData = 0xFFFFFFFFu;
    EXPECT_EQ(RxTotal(bus), 13u);
    // 1500 frames in 0.5 s.
    EXPECT_EQ(RxPerSecond(2500, 1000, 1500000, 1000000), 3000u);
    // 1 frame in 3 s: 0.333 rounds to 0; 2 frames in 3 s: 0.667 rounds to 1.
    EXPECT_EQ(RxPerSecond(1, 0, 3000001, 1), 0u);
    EXPECT_EQ(RxPerSecond(2, 0, 3000001, 1), 1u);
    // Counter and clock both wrapped between the passes.
    EXPECT_EQ(RxPerSecond(99, 0xFFFFFFFFu - 100, 499999, 0xFFFFFFFFu - 500000), 200u);
    // The clock did not advance: no division by zero.
    EXPECT_EQ(RxPerSecond(500, 100, 77, 77), 0u);
    EXPECT_EQ(RxPerSecond(4000000000u, 0, 2, 1), UINT32_MAX);
}

TEST(BusStatistics, WarningNeedsThresholdAndNewPeak) {
    EXPECT_TRUE(BusLoadWarns(8000, 0, 80));
    EXPECT_FALSE(BusLoadWarns(7990, 8000, 80));
    EXPECT_TRUE(BusLoadWarns(8100, 8000, 80));
    EXPECT_FALSE(BusLoadWarns(8000, 8000, 80));
    EXPECT_FALSE(BusLoadWarns(7999, 0, 80));
    EXPECT_TRUE(BusLoadWarns(1, 0, 0));
    EXPECT_FALSE(BusLoadWarns(0, 0, 0));
    EXPECT_FALSE(BusLoadWarns(10000, 0, 101));
    EXPECT_EQ(BusLoadWarningText(8500), "Busload Over Threshould. (85%)");
    EXPECT_EQ(BusLoadWarningText(8000), "Busload Over Threshould. (80%)");
    EXPECT_EQ(BusLoadWarningText(8070), "Busload Over Threshould. (81%)");
    EXPECT_EQ(BusLoadWarningText(10000), "Busload Over Threshould. (100%)");
}

TEST(BusStatistics, HistoryKeeps240NewestFirst) {
    BusLoadHistory history;
    for (uint32_t i = 1; i <= 241; ++i)
        history.Push(i);
    ASSERT_EQ(history.Size(), 240u);
    const auto values = history.Values();
    EXPECT_EQ(values.front(), 241u);
    EXPECT_EQ(values.back(), 2u);
    history.Clear();
    EXPECT_EQ(history.Size(), 0u);
}

#include "platform/os/debug_output.h"

#include <gtest/gtest.h>

#include <regex>

TEST(DebugOutput, LineHasDateTimeMillisecondsLevelAndText) {
    const std::string line = os::FormatDebugLine(3, "CAN1 [canBusOn] failed\n");
    const std::regex form(
        R"(^\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}:\d{3} \[3\] CAN1 \[canBusOn\] failed\n$)");
    EXPECT_TRUE(std::regex_match(line, form)) << line;
}

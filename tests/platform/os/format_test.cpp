#include "platform/os/format.h"

#include <gtest/gtest.h>

TEST(Format, FormatsLikePrintfIncludingLongResults) {
    EXPECT_EQ(os::Format("CAN%d [%s] %s\n", 3, "canBusOn", "succeed."),
              "CAN3 [canBusOn] succeed.\n");
    EXPECT_EQ(os::Format("%08X|%2X|%-5s|", 0x123u, 8u, "RE"), "00000123| 8|RE   |");
    EXPECT_EQ(os::Format("%s", ""), "");
    // Longer than the stack buffer: the second pass must produce every byte.
    const std::string big(5000, 'x');
    const std::string out = os::Format("<%s>", big.c_str());
    ASSERT_EQ(out.size(), 5002u);
    EXPECT_EQ(out.front(), '<');
    EXPECT_EQ(out.back(), '>');
    EXPECT_EQ(out.substr(1, 5000), big);
}

TEST(Format, KeepsEmbeddedUtf8) {
    EXPECT_EQ(os::Format("%s (%.f%%)", "通信", 85.0), "通信 (85%)");
}

#include "platform/os/dynamic_library.h"

#include <gtest/gtest.h>

namespace {
using StrlenFn = size_t (*)(const char*);
}

TEST(DynamicLibrary, LoadsByPlainNameThroughTheSearchOrder) {
    os::LibraryHandle libc = os::LoadLibraryByName("libc.so.6");
    ASSERT_NE(libc, nullptr) << os::LastLibraryError();
    StrlenFn fn = nullptr;
    ASSERT_TRUE(os::ResolveSymbol(libc, "strlen", fn));
    EXPECT_EQ(fn("abcd"), 4u);
    EXPECT_TRUE(os::FreeLibrary(libc));
}

TEST(DynamicLibrary, MissingLibraryAndSymbolKeepTheFallback) {
    EXPECT_EQ(os::LoadLibraryByName("libdoes-not-exist-sorvane.so.9"), nullptr);
    EXPECT_FALSE(os::LastLibraryError().empty());
    EXPECT_EQ(os::LoadLibraryByName(""), nullptr);

    os::LibraryHandle libc = os::LoadLibraryByName("libc.so.6");
    ASSERT_NE(libc, nullptr);
    StrlenFn fallback = [](const char*) -> size_t { return 99; };
    StrlenFn slot = fallback;
    EXPECT_FALSE(os::ResolveSymbol(libc, "no_such_symbol_sorvane", slot));
    EXPECT_EQ(slot, fallback);
    EXPECT_EQ(os::GetSymbol(nullptr, "strlen"), nullptr);
    EXPECT_EQ(os::GetSymbol(libc, nullptr), nullptr);
    os::FreeLibrary(libc);
    EXPECT_FALSE(os::FreeLibrary(nullptr));
}

TEST(DynamicLibrary, PathLoadNeverSearches) {
    // A bare name given as a path means the working folder, not the system.
    EXPECT_EQ(os::LoadLibraryByPath("libc.so.6"), nullptr);
    EXPECT_EQ(os::LoadLibraryByPath("/nonexistent/folder/libc.so.6"), nullptr);
}

// Loading language libraries by path, and what a bad library gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "res/ids.h"
#include "res/language_library.h"
#include "res/resource_lookup.h"

namespace {

TEST(LanguageLibraryTest, LibraryNamesAndPaths) {
    const char* files[] = {"libSorvaneResEn.so", "libSorvaneResCn.so", "libSorvaneResTw.so",
                           "libSorvaneResKo.so"};
    const uint32_t languages[] = {1033, 2052, 1028, 1042};
    for (int code = 1; code <= 4; ++code) {
        const res::LanguageLibraryInfo* info = res::FindLanguageLibrary(code);
        ASSERT_NE(info, nullptr) << code;
        EXPECT_STREQ(info->fileName, files[code - 1]);
        EXPECT_EQ(info->languageId, languages[code - 1]);
        EXPECT_EQ(res::LanguageLibraryPath("/opt/sorvane/bin", code),
                  std::string("/opt/sorvane/bin/") + files[code - 1]);
    }
    for (int code : {-1, 0, 5, 7}) {
        EXPECT_EQ(res::FindLanguageLibrary(code), nullptr) << code;
        EXPECT_EQ(res::LanguageLibraryPath("/x", code), "") << code;
    }
    EXPECT_EQ(res::PackVersion({1, 3, 0, 0}), 0x01030000u);
    EXPECT_EQ(res::PackVersion({2, 10, 300, 4}), 0x020A2C04u);  // 300 keeps its low byte
}

TEST(LanguageLibraryTest, LoadsTheTestLibraryAndFallsBack) {
    res::LanguageLibrary library;
    ASSERT_EQ(library.Load(SORVANE_TEST_LANG_LIB), res::LibraryStatus::Loaded) << library.Error();
    ASSERT_TRUE(library.IsLoaded());
    EXPECT_STREQ(library.Set()->name, "SorvaneResTest");
    EXPECT_EQ(library.Set()->language, 1042u);

    res::ResourceLookup lookup;
    ASSERT_TRUE(lookup.SetBuiltin(SorvaneBuiltinResourceSet(), nullptr));
    std::string error;
    ASSERT_TRUE(lookup.SetLanguage(library.Set(), &error)) << error;
    EXPECT_STREQ(lookup.String(IDS_CONFIRM_EXIT), "Quit Sorvane?");
    EXPECT_EQ(lookup.Tooltip(ID_COMM_START), "Start communication");
    EXPECT_STREQ(lookup.String(IDS_FMT_UPTIME_DAYS), "%d Tage %02d:%02d:%02d");
    // Its channel format reads other arguments, its 222 is not UTF-8.
    EXPECT_STREQ(lookup.String(IDS_FMT_CHANNEL_CAN), "CAN%d (CAN): %s");
    EXPECT_STREQ(lookup.String(IDS_ERR_COMM_START), "通信開始に失敗しました。");
    EXPECT_EQ(lookup.Language().Problems().size(), 1u);
    // Everything it does not hold.
    EXPECT_STREQ(lookup.String(IDS_ERR_NO_CHANNEL),
                 "通信情報が設定されていません。\n動作環境で通信を行うCAN情報を設定してください。");
    EXPECT_STREQ(lookup.Menu(IDR_POPUP_EDIT)->items[0].text, "Edit");
    EXPECT_STREQ(lookup.Menu(IDR_MENU_MONITOR)->items[0].text, "Menu");
    EXPECT_EQ(lookup.Toolbar(IDR_TOOLBAR_BUSLOAD)->buttonCount, 11u);
    EXPECT_NE(lookup.AccelTable(IDR_MAINFRAME), nullptr);
    EXPECT_NE(lookup.Image(IDB_CANDB_TREE), nullptr);

    EXPECT_EQ(res::ProbeLibraryVersion(SORVANE_TEST_LANG_LIB), 0x01030007u);
    // Probing the same file leaves the loaded copy usable.
    EXPECT_STREQ(lookup.String(IDS_CONFIRM_EXIT), "Quit Sorvane?");
    lookup.SetLanguage(nullptr, nullptr);
    library.Unload();
    EXPECT_FALSE(library.IsLoaded());
}

TEST(LanguageLibraryTest, FindsTheLibraryOfALanguageCodeInAFolder) {
    res::LanguageLibrary library;
    const std::string path = res::LanguageLibraryPath(SORVANE_TEST_LANG_DIR, 4);
    EXPECT_EQ(path, SORVANE_TEST_LANG_LIB);
    EXPECT_EQ(library.Load(path), res::LibraryStatus::Loaded) << library.Error();
    // The other three languages have no library there.
    for (int code = 1; code <= 3; ++code) {
        res::LanguageLibrary other;
        EXPECT_EQ(other.Load(res::LanguageLibraryPath(SORVANE_TEST_LANG_DIR, code)),
                  res::LibraryStatus::NotFound);
        EXPECT_EQ(res::ProbeLibraryVersion(res::LanguageLibraryPath(SORVANE_TEST_LANG_DIR, code)),
                  0u);
    }
}

TEST(LanguageLibraryTest, BadLibrariesAreReportedAndLeaveNothingLoaded) {
    res::LanguageLibrary library;
    EXPECT_EQ(library.Load(""), res::LibraryStatus::NotFound);
    EXPECT_EQ(library.Load("/nonexistent/libSorvaneResCn.so"), res::LibraryStatus::NotFound);
    EXPECT_NE(library.Error().find("no such file"), std::string::npos);

    EXPECT_EQ(library.Load(SORVANE_TEST_NOENTRY_LIB), res::LibraryStatus::NoEntryPoint);
    EXPECT_NE(library.Error().find("SorvaneGetResourceSet"), std::string::npos);
    EXPECT_FALSE(library.IsLoaded());

    EXPECT_EQ(library.Load(SORVANE_TEST_BADFORMAT_LIB), res::LibraryStatus::BadSet);
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(res::ProbeLibraryVersion(SORVANE_TEST_BADFORMAT_LIB), 0u);
    EXPECT_EQ(res::ProbeLibraryVersion(SORVANE_TEST_NOENTRY_LIB), 0u);

    // A file of the right name that is no library at all.
    const std::string fake = testing::TempDir() + "/libSorvaneResEn.so";
    {
        std::ofstream out(fake);
        out << "not an ELF file\n";
    }
    EXPECT_EQ(library.Load(fake), res::LibraryStatus::LoadFailed);
    EXPECT_FALSE(library.Error().empty());
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(res::ProbeLibraryVersion(fake), 0u);
    std::remove(fake.c_str());

    // A failed load after a good one drops the good one too: the caller
    // asked for another language.
    ASSERT_EQ(library.Load(SORVANE_TEST_LANG_LIB), res::LibraryStatus::Loaded);
    EXPECT_EQ(library.Load(SORVANE_TEST_NOENTRY_LIB), res::LibraryStatus::NoEntryPoint);
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_STREQ(res::LibraryStatusName(res::LibraryStatus::BadSet), "no usable resource set");
}

}  // namespace

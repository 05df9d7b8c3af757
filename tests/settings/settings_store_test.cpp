#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/os/atomic_file.h"
#include "platform/os/paths.h"
#include "settings/profile.h"
#include "test_folder.h"

namespace {

const std::string kCommon = "SOFTWARE\\Velmara\\Sorvane\\COMMON";
const std::string kCan = "SOFTWARE\\Velmara\\Sorvane\\CAN";
const std::string kWorkspace = "SOFTWARE\\Velmara\\Sorvane\\Workspace";

class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsStoreTest()
        : registry_(folder_.File("cfg/Velmara/registry.dat")), store_(settings_, registry_) {
        store_.SetDefaultSettings();
        store_.settingsFilePath = folder_.File("Sorvane.ini");
    }

    // Every stored field changed from its default.
    void Fill(AppSettings& s) {
        s.exeVersionMS = 0x00010003;
        s.appLook = 32822;
        s.recentCandb[0] = "/home/\xE5\xA4\xAA\xE9\x83\x8E/\xE8\xA8\xAD\xE5\xAE\x9A.dbc";
        s.recentCandb[3] = "C:\\dbc\\x y.dbc";
        s.language = 2;
        s.can[0] = ChannelSettings{1, 1, {1000000, 31, 8, 8, 1, 0}, {4000000, 7, 2, 2, 0, 0}};
        s.can[4] = ChannelSettings{1, 0, {250000, 13, 2, 1, 0, 0}, {}};
        s.frameMonitor = {10, 20, 630, 470, 3, 2};
        s.frameStatistics = {0, 0, 100, 100, 6, 0};
        s.frameBusLoad.showCmd = 1;  // the default 5 loads as 1
        s.frameMessageInfo = {5, 5, 50, 50, 1, 3};
        s.frameBusLoad.order = 1;
        s.monitorColumn[7] = 999;
        s.monitorMaxLine = 100000;
        s.monitorColorBkgnd = 0x00123456;
        s.statisticsColumn[0] = 7;
        s.messageInfoColumn[6] = -1;
        s.messageDetailColorText = 0x00ABCDEF;
        s.busLoadHistTime = 2;
        s.busLoadThreshold = 55;
        s.busLoadColorLine[4] = 0x00010101;
        s.busLoadColorScaleText = 0x00020202;
    }

    static void ExpectSame(const AppSettings& a, const AppSettings& b) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(a.recentCandb[i], b.recentCandb[i]);
        }
        const auto x = CollectStoredValues(a, ENV_ALL & ~ENV_APPVERSION);
        const auto y = CollectStoredValues(b, ENV_ALL & ~ENV_APPVERSION);
        ASSERT_EQ(x.size(), y.size());
        for (size_t i = 0; i < x.size(); ++i) {
            EXPECT_EQ(x[i].data, y[i].data) << x[i].key;
        }
    }

    TestFolder folder_;
    AppSettings settings_;
    os::Registry registry_;
    CSettingsStore store_;
};

TEST_F(SettingsStoreTest, FirstStartHasNothingToLoad) {
    // The defaults mark the record unconfigured, whatever it held before.
    settings_.notConfigured = 0;
    Fill(settings_);
    const std::string path = store_.settingsFilePath;
    store_.SetDefaultSettings();
    store_.settingsFilePath = path;
    EXPECT_EQ(settings_.notConfigured, 1);
    EXPECT_FALSE(store_.LoadSettings(store_.settingsFilePath));
    EXPECT_FALSE(store_.LastError().empty());
    // A load that found nothing leaves every setting at its default; only a
    // successful load at start-up (the program's) clears the mark.
    AppSettings defaults;
    CSettingsStore other(defaults, registry_);
    other.SetDefaultSettings();
    ExpectSame(settings_, defaults);
    EXPECT_EQ(settings_.notConfigured, 1);
    EXPECT_EQ(settings_.appLook, 32819u);
    settings_.configFile = 1;
    EXPECT_TRUE(store_.LoadSettings(store_.settingsFilePath));  // the registry always loads
    settings_.configFile = 5;
    EXPECT_TRUE(store_.LoadSettings(store_.settingsFilePath));
    EXPECT_FALSE(store_.SaveSettings(store_.settingsFilePath, ENV_ALL));
}

TEST_F(SettingsStoreTest, FileRoundTripOfEveryField) {
    Fill(settings_);
    ASSERT_TRUE(store_.SaveAllSettings(ENV_ALL));
    AppSettings loaded;
    CSettingsStore other(loaded, registry_);
    other.SetDefaultSettings();
    ASSERT_TRUE(other.LoadSettings(store_.settingsFilePath));
    ExpectSame(settings_, loaded);
    EXPECT_EQ(loaded.storedAppVersion & 0xFFFFFFFF, 0x00010003u);
    const std::string text = ReadText(store_.settingsFilePath);
    EXPECT_EQ(text.find("\xEF\xBB\xBF"), std::string::npos);
    EXPECT_NE(text.find("[SOFTWARE\\Velmara\\Sorvane\\COMMON]\r\n\"AppVersion\"=hex:03,00,01,00,"),
              std::string::npos);
    EXPECT_NE(text.find("\"CANdb.Recent.01\"=\"/home/\xE5\xA4\xAA"), std::string::npos);
    EXPECT_NE(text.find("\"CAN1\"=hex:01,00,00,00,01,00,00,00,40,42,0f,00,1f,00,00,00"),
              std::string::npos);
    EXPECT_NE(text.find("\"MaxLine\"=dword:000186a0\r\n"), std::string::npos);
    // Sections in group order, keys in save order.
    EXPECT_LT(text.find("\"ConfigFile\""), text.find("\"Language\""));
    EXPECT_LT(text.find("\\COMMON]"), text.find("\\CAN]"));
    EXPECT_LT(text.find("\\MESSAGEDETAIL]"), text.find("\\BUSLOAD]"));
}

TEST_F(SettingsStoreTest, RegistryRoundTripOfEveryField) {
    Fill(settings_);
    settings_.configFile = 1;
    ASSERT_TRUE(store_.SaveAllSettings(ENV_ALL));
    EXPECT_FALSE(os::FileExists(store_.settingsFilePath));
    os::RegValue value;
    ASSERT_TRUE(registry_.QueryValue(kCommon, "AppVersion", &value));
    EXPECT_EQ(value.type, os::RegType::Dword);
    EXPECT_EQ(value.data.size(), 8u);
    ASSERT_TRUE(registry_.QueryValue(kCommon, "CANdb.Recent.04", &value));
    EXPECT_EQ(value.type, os::RegType::Sz);
    EXPECT_EQ(value.data.back(), 0);
    os::Registry reopened(registry_.FilePath());
    AppSettings loaded;
    CSettingsStore other(loaded, reopened);
    other.CheckSettingsStore(CSettingsStore::When::Start);
    EXPECT_EQ(loaded.configFile, 1u);
    other.SetDefaultSettings();
    ASSERT_TRUE(other.LoadSettings("ignored"));
    ExpectSame(settings_, loaded);
}

TEST_F(SettingsStoreTest, SavingOneChannelTouchesOnlyItsLine) {
    ASSERT_TRUE(store_.SaveAllSettings(ENV_ALL));
    std::string before = ReadText(store_.settingsFilePath);
    settings_.can[2].enabled = 1;
    settings_.appLook = 1;  // changed in memory, not saved with ENV_CAN3
    ASSERT_TRUE(store_.SaveSettings(store_.settingsFilePath, ENV_CAN3));
    const std::string after = ReadText(store_.settingsFilePath);
    const size_t at = before.find("\"CAN3\"=hex:00");
    ASSERT_NE(at, std::string::npos);
    before.replace(at, std::strlen("\"CAN3\"=hex:00"), "\"CAN3\"=hex:01");
    EXPECT_EQ(after, before);
}

TEST_F(SettingsStoreTest, ExportKeepsForeignSectionsAndHandWrittenLines) {
    const std::string file = folder_.File("export.txt");
    WriteText(file, "[Mine]\r\nnote=\"keep me\"\r\n[" + kCommon +
                        "]\r\n# my comment\r\n"
                        "\"Language\"=dword:00000004\r\n");
    Fill(settings_);
    ASSERT_TRUE(store_.ExportSettings(file));
    const std::string text = ReadText(file);
    EXPECT_EQ(text.rfind("[Mine]\r\nnote=\"keep me\"\r\n[" + kCommon +
                             "]\r\n# my comment\r\n"
                             "\"Language\"=dword:00000002\r\n\"AppVersion\"=",
                         0),
              0u)
        << text;
}

TEST_F(SettingsStoreTest, FileFromAnotherProgramLoads) {
    // CR LF, sections in another order and case, a repeated section, spaces
    // in front, comments and values of no known form.
    WriteText(store_.settingsFilePath,
              "# written by hand\r\n"
              "[software\\velmara\\sorvane\\busload]\r\n"
              "  \"Threshould\"=dword:00000032\r\n"
              "[SOFTWARE\\Velmara\\Sorvane\\COMMON]\r\n"
              "\"Language\"=dword:00000001   # English\r\n"
              "\"ApplicationLook\"=32822\r\n"
              "[software\\velmara\\sorvane\\busload]\r\n"
              "\"Threshould\"=dword:00000033\r\n"
              "\"HistTime\"=\"2\"\r\n");
    ASSERT_TRUE(store_.LoadSettings(store_.settingsFilePath));
    EXPECT_EQ(settings_.busLoadThreshold, 0x33u);  // later line of the merged section wins
    EXPECT_EQ(settings_.language, 1);
    EXPECT_EQ(settings_.appLook, 32819u);      // no known form: ignored
    EXPECT_EQ(settings_.busLoadHistTime, 1u);  // a text where a number belongs: ignored
}

bool Interrupt(const std::string&) {
    return false;
}

TEST_F(SettingsStoreTest, InterruptedSaveKeepsTheOldFileAndReportsFailure) {
    ASSERT_TRUE(store_.SaveAllSettings(ENV_ALL));
    const std::string before = ReadText(store_.settingsFilePath);
    settings_.busLoadThreshold = 12;
    os::SetAtomicWriteHookForTest(&Interrupt);
    const bool saved = store_.SaveAllSettings(ENV_ALL);
    os::SetAtomicWriteHookForTest(nullptr);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(store_.LastError().empty());
    EXPECT_EQ(ReadText(store_.settingsFilePath), before);
    settings_.configFile = 1;
    os::SetAtomicWriteHookForTest(&Interrupt);
    EXPECT_FALSE(store_.SaveAllSettings(ENV_ALL));
    os::SetAtomicWriteHookForTest(nullptr);
}

TEST_F(SettingsStoreTest, WorkspaceTravelsBetweenFileAndRegistry) {
    WriteText(store_.settingsFilePath,
              "[" + kWorkspace +
                  "\\MainFrame]\r\n\"State\"=hex:01,02\r\n\"Name\"=\"\xE6\x97\xA5\"\r\n"
                  "\"Count\"=dword:00000007\r\n\"Odd\"=junk\r\n"
                  "[software\\velmara\\sorvane\\workspace\\Lower]\r\n\"X\"=dword:1\r\n");
    ASSERT_TRUE(store_.LoadSettings(store_.settingsFilePath));
    os::RegValue value;
    ASSERT_TRUE(registry_.QueryValue(kWorkspace + "\\MainFrame", "State", &value));
    EXPECT_EQ(value.type, os::RegType::Binary);
    EXPECT_EQ(value.data, (std::vector<uint8_t>{1, 2}));
    ASSERT_TRUE(registry_.QueryValue(kWorkspace + "\\MainFrame", "Name", &value));
    EXPECT_EQ(value.type, os::RegType::Sz);
    EXPECT_EQ(value.data, (std::vector<uint8_t>{0xE6, 0x97, 0xA5, 0}));
    ASSERT_TRUE(registry_.QueryValue(kWorkspace + "\\MainFrame", "Count", &value));
    EXPECT_EQ(value.type, os::RegType::Dword);
    EXPECT_FALSE(registry_.QueryValue(kWorkspace + "\\MainFrame", "Odd", &value));
    EXPECT_FALSE(registry_.KeyExists(kWorkspace + "\\Lower"));  // Workspace matches in case

    // The framework changes the layout during the run; the exit save carries it back.
    registry_.SetBinary(kWorkspace + "\\MainFrame", "State", {9});
    registry_.SetDword(kWorkspace + "\\Pane", "Visible", 1);
    registry_.SetDword(kWorkspace, "TopLevel", 1);            // not copied
    registry_.SetDword(kWorkspace + "\\Pane\\Deep", "X", 1);  // not copied
    const std::string exported = folder_.File("out.ini");
    ASSERT_TRUE(store_.SaveSettings(exported, ENV_WORKSPACE));
    EXPECT_EQ(ReadText(exported), "[" + kWorkspace +
                                      "\\MainFrame]\r\n\"State\"=hex:09\r\n"
                                      "\"Name\"=\"\xE6\x97\xA5\"\r\n\"Count\"=dword:00000007\r\n"
                                      "[" +
                                      kWorkspace + "\\Pane]\r\n\"Visible\"=dword:00000001\r\n");
}

TEST_F(SettingsStoreTest, StoreCheckRemovesRegistryTreesOnlyForTheSettingsFile) {
    registry_.SetDword(kCommon, "Language", 1);
    registry_.SetDword("SOFTWARE\\VelmaraSoft\\Sorvane\\COMMON", "Language", 1);
    registry_.SetDword("SOFTWARE\\Someone", "Else", 1);
    settings_.configFile = 0;
    store_.CheckSettingsStore(CSettingsStore::When::Start);
    EXPECT_FALSE(registry_.KeyExists("SOFTWARE\\Velmara"));
    EXPECT_FALSE(registry_.KeyExists("SOFTWARE\\VelmaraSoft"));
    EXPECT_TRUE(registry_.KeyExists("SOFTWARE\\Someone"));

    registry_.SetDword(kCommon, "ConfigFile", 1);
    store_.CheckSettingsStore(CSettingsStore::When::Start);
    EXPECT_EQ(settings_.configFile, 1u);
    EXPECT_TRUE(registry_.KeyExists(kCommon));
    // Switched to the settings file during the run: the exit check follows that choice.
    settings_.configFile = 0;
    ASSERT_TRUE(store_.SaveAllSettings(ENV_ALL));
    store_.CheckSettingsStore(CSettingsStore::When::Exit);
    EXPECT_FALSE(registry_.KeyExists(kCommon));
    AppSettings next;
    CSettingsStore nextRun(next, registry_);
    nextRun.CheckSettingsStore(CSettingsStore::When::Start);
    EXPECT_EQ(next.configFile, 0u);
}

TEST_F(SettingsStoreTest, ImportReadsTheProfileFormatWhateverTheStore) {
    const std::string file = folder_.File("import.ini");
    WriteText(file, "[" + kCan +
                        "]\r\n\"CAN2\"=hex:01,00,00,00,00,00,00,00,20,a1,07,00\r\n"
                        "\"CAN3\"=hex:01,00,00,00,00,00,00,00,40,42,0f,00,0d,00,00,00,02,00,00,00,"
                        "01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,"
                        "00,00,00,00,00,00,00,00,00,00,00,00\r\n");
    settings_.configFile = 1;
    ASSERT_TRUE(store_.ImportSettings(file));
    EXPECT_EQ(settings_.can[1].enabled, 0);  // 12 bytes of 56: ignored
    EXPECT_EQ(settings_.can[2].enabled, 1);
    EXPECT_EQ(settings_.can[2].arbitration.bitrate, 1000000);
    EXPECT_EQ(settings_.can[2].arbitration.tseg1, 13u);
    EXPECT_FALSE(store_.ImportSettings(folder_.File("missing.ini")));
    EXPECT_EQ(settings_.can[2].enabled, 1);
    ASSERT_TRUE(store_.ExportSettings(folder_.File("exported.ini")));
    EXPECT_TRUE(os::FileExists(folder_.File("exported.ini")));
}

}  // namespace

namespace {

TEST(ReadStoredSettings, ReadsTheCurrentStoreWithoutChangingIt) {
    TestFolder folder;
    os::Registry registry(folder.File("registry.dat"));
    setenv("SORVANE_SETTINGS_FILE", folder.File("Sorvane.ini").c_str(), 1);
    AppSettings settings;
    EXPECT_FALSE(ReadStoredSettings(settings, registry));
    EXPECT_EQ(settings.can[0].enabled, 0);
    WriteText(folder.File("Sorvane.ini"),
              "[SOFTWARE\\Velmara\\Sorvane\\BUSLOAD]\r\n\"Threshould\"=dword:00000021\r\n"
              "[SOFTWARE\\Velmara\\Sorvane\\Workspace\\X]\r\n\"a\"=dword:1\r\n");
    EXPECT_TRUE(ReadStoredSettings(settings, registry));
    EXPECT_EQ(CanConfigFromSettings(settings).busLoadThreshold, 0x21u);
    EXPECT_FALSE(registry.KeyExists("SOFTWARE\\Velmara\\Sorvane\\Workspace\\X"));
    // With the registry store the registry is read and the file is not.
    registry.SetDword("SOFTWARE\\Velmara\\Sorvane\\COMMON", "ConfigFile", 1);
    registry.SetDword("SOFTWARE\\Velmara\\Sorvane\\BUSLOAD", "Threshould", 0x22);
    EXPECT_TRUE(ReadStoredSettings(settings, registry));
    EXPECT_EQ(settings.busLoadThreshold, 0x22u);
    // The tools have no screen: a window place far off every screen is read as stored.
    registry.SetDword("SOFTWARE\\Velmara\\Sorvane\\COMMON", "ConfigFile", 0);
    WriteText(folder.File("Sorvane.ini"),
              "[SOFTWARE\\Velmara\\Sorvane\\FRAME]\r\n\"Frame.Monitor\"=hex:"
              "a0,0f,00,00,b8,0b,00,00,c0,12,00,00,10,0e,00,00,01,00,00,00,00,00,00,00\r\n");
    EXPECT_TRUE(ReadStoredSettings(settings, registry));
    EXPECT_EQ(settings.frameMonitor.left, 4000);
    EXPECT_EQ(settings.frameMonitor.top, 3000);
    EXPECT_EQ(settings.frameMonitor.right, 4800);
    EXPECT_EQ(settings.frameMonitor.bottom, 3600);
    unsetenv("SORVANE_SETTINGS_FILE");
}

}  // namespace

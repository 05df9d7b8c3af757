#include "settings/settings_codec.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/profile.h"

namespace {

std::vector<uint8_t> Le(std::initializer_list<uint32_t> words) {
    std::vector<uint8_t> out;
    for (const uint32_t w : words) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<uint8_t>(w >> (8 * i)));
        }
    }
    return out;
}

void Apply(AppSettings& s, SettingsGroup g, const char* key, const std::vector<uint8_t>& data,
           ScreenSize screen = {}) {
    ApplyStoredValue(s, g, key, data.data(), static_cast<uint32_t>(data.size()), screen);
}

TEST(SettingsDefaults, EveryGroupHasItsDefaultAndConfigFileStays) {
    AppSettings s;
    s.configFile = 1;
    s.appLook = 1;
    s.can[2].enabled = 1;
    SetDefaultSettings(s, SystemColors{0x00010203, 0x00A0B0C0, 0x00111111});
    EXPECT_EQ(s.configFile, 1u);
    EXPECT_EQ(s.notConfigured, 1);
    EXPECT_EQ(s.appLook, 32819u);
    EXPECT_EQ(s.language, -1);
    EXPECT_EQ(s.buildDate, "20220523");
    EXPECT_EQ(s.buildNumber, "6284");
    EXPECT_EQ(s.monitorMaxLine, 65535u);
    EXPECT_EQ(s.monitorColorTextOk, 0x00010203u);
    EXPECT_EQ(s.monitorColorTextNg, 0x000000FFu);
    EXPECT_EQ(s.busLoadColorScaleLine, 0x00111111u);
    EXPECT_EQ(s.busLoadColorBkgnd, 0x00A0B0C0u);
    EXPECT_EQ(s.frameMessageInfo.order, 3);
    EXPECT_EQ(s.frameBusLoad.showCmd, 5);
    for (const ChannelSettings& c : s.can) {
        EXPECT_EQ(c.enabled, 0);
        EXPECT_EQ(c.arbitration.bitrate, 500000);
        EXPECT_EQ(c.arbitration.tseg1, 12u);
        EXPECT_EQ(c.arbitration.tseg2, 3u);
        EXPECT_EQ(c.arbitration.sjw, 1u);
        EXPECT_EQ(c.data.bitrate, 0);
    }
}

TEST(StoredForms, RecordsAreLittleEndianByteForByte) {
    ChannelSettings c{1, 1, {500000, 0x102, 3, 4, 5, 6}, {2000000, 7, 8, 9, 10, 11}};
    const auto bytes = EncodeChannel(c);
    EXPECT_EQ(bytes, Le({1, 1, 500000, 0x102, 3, 4, 5, 6, 2000000, 7, 8, 9, 10, 11}));
    ASSERT_EQ(bytes.size(), 56u);
    EXPECT_EQ(bytes[8], 0x20);  // 500000 = 0x0007A120
    EXPECT_EQ(bytes[9], 0xA1);
    EXPECT_EQ(bytes[10], 0x07);
    const ChannelSettings back = DecodeChannel(bytes.data());
    EXPECT_EQ(std::memcmp(&back, &c, sizeof c), 0);
    FramePlacement f{-1, 2, 300, 400, 3, 2};
    EXPECT_EQ(EncodePlacement(f), Le({0xFFFFFFFF, 2, 300, 400, 3, 2}));
    EXPECT_EQ(DecodePlacement(EncodePlacement(f).data()).left, -1);
}

TEST(StoredForms, SaveOrderKeysAndSizes) {
    AppSettings s;
    s.exeVersionMS = 0x00010003;
    s.exeVersionLS = 0x00020004;
    s.recentCandb[0] = "/data/\xE6\x97\xA5.dbc";
    const auto values = CollectStoredValues(s, ENV_ALL);
    std::string order;
    for (const StoredValue& v : values) {
        order.append(GroupName(v.group)).append(".").append(v.key).append(":");
        order.append(std::to_string(v.data.size())).append(" ");
    }
    EXPECT_EQ(order,
              "COMMON.AppVersion:8 COMMON.ApplicationLook:4 COMMON.CANdb.Recent.01:14 "
              "COMMON.CANdb.Recent.02:1 COMMON.CANdb.Recent.03:1 COMMON.CANdb.Recent.04:1 "
              "COMMON.ConfigFile:4 COMMON.Language:4 CAN.CAN1:56 CAN.CAN2:56 CAN.CAN3:56 "
              "CAN.CAN4:56 CAN.CAN5:56 FRAME.Frame.Monitor:24 FRAME.Frame.BusLoad:24 "
              "FRAME.Frame.Statistics:24 FRAME.Frame.MessageInfo:24 MONITOR.Column:32 "
              "MONITOR.MaxLine:4 MONITOR.Color.Text.OK:4 MONITOR.Color.Text.NG:4 "
              "MONITOR.Color.Bkgnd:4 STATISTICS.Column:24 STATISTICS.Color.Text:4 "
              "STATISTICS.Color.Bkgnd:4 MESSAGEINFO.Column:28 MESSAGEINFO.Color.Text:4 "
              "MESSAGEINFO.Color.Bkgnd:4 MESSAGEDETAIL.Column:12 MESSAGEDETAIL.Color.Text:4 "
              "MESSAGEDETAIL.Color.Bkgnd:4 BUSLOAD.HistTime:4 BUSLOAD.Threshould:4 "
              "BUSLOAD.Color.Line:20 BUSLOAD.Color.Bkgnd:4 BUSLOAD.Color.Scale.Line:4 "
              "BUSLOAD.Color.Scale.Text:4 BUSLOAD.Color.Threshould:4 ");
    EXPECT_EQ(values[0].regType, os::RegType::Dword);
    EXPECT_EQ(values[0].data, Le({0x00010003, 0x00020004}));
    EXPECT_EQ(values[2].regType, os::RegType::Sz);
    EXPECT_EQ(values[8].regType, os::RegType::Binary);
    EXPECT_EQ(FormatProfileBytes(values[17].data.data(), 8), "hex:6e,00,00,00,28,00,00,00");
    EXPECT_EQ(FormatProfileDword(values[1].data[0] | (values[1].data[1] << 8)), "dword:00008033");
    const auto can3 = CollectStoredValues(s, ENV_CAN3);
    ASSERT_EQ(can3.size(), 1u);
    EXPECT_EQ(can3[0].key, "CAN3");
    EXPECT_TRUE(CollectStoredValues(s, ENV_WORKSPACE).empty());
}

TEST(KeyHandlers, ChannelValidation) {
    AppSettings s;
    auto load = [&](ChannelSettings c) {
        Apply(s, SettingsGroup::Can, "can2", EncodeChannel(c));
        return s.can[1];
    };
    EXPECT_EQ(load({1, 1, {500000, 1, 1, 1, 0, 0}, {2000000, 1, 1, 1, 0, 0}}).arbitration.bitrate,
              500000);
    EXPECT_EQ(load({1, 1, {250000, 1, 1, 1, 0, 0}, {2000000, 1, 1, 1, 0, 0}}).arbitration.bitrate,
              1000000);
    EXPECT_EQ(load({1, 1, {500000, 1, 1, 1, 0, 0}, {8000001, 1, 1, 1, 0, 0}}).data.bitrate,
              1000000);
    EXPECT_EQ(load({1, 0, {2000000, 1, 1, 1, 0, 0}, {}}).arbitration.bitrate, 500000);
    EXPECT_EQ(load({1, 0, {125000, 1, 1, 1, 0, 0}, {}}).arbitration.bitrate, 125000);
    EXPECT_EQ(load({1, 0, {124999, 1, 1, 1, 0, 0}, {}}).arbitration.bitrate, 500000);
    const ChannelSettings odd =
        load({2, 7, {1000000, 0x1FF, 0x203, 0x301, 9, 9}, {0, 0x1FF, 0, 0, 0, 0}});
    EXPECT_EQ(odd.enabled, 0);
    EXPECT_EQ(odd.mode, 0);
    EXPECT_EQ(odd.arbitration.tseg1, 0xFFu);
    EXPECT_EQ(odd.arbitration.tseg2, 3u);
    EXPECT_EQ(odd.arbitration.sjw, 1u);
    EXPECT_EQ(odd.arbitration.noSamp, 9u);  // not checked
    EXPECT_EQ(odd.data.tseg1, 0x1FFu);      // classic mode leaves the data phase alone
    EXPECT_EQ(load({-1, 1, {500000, 0, 0, 0, 0, 0}, {500000, 0x100, 0, 0, 0, 0}}).data.tseg1, 0u);
    EXPECT_EQ(s.can[1].enabled, 0);
    // Too short: ignored, the channel keeps what it had.
    s.can[0].enabled = 1;
    Apply(s, SettingsGroup::Can, "CAN1", std::vector<uint8_t>(55, 0));
    EXPECT_EQ(s.can[0].enabled, 1);
}

TEST(KeyHandlers, MaxLineHistTimeThresholdAndColours) {
    AppSettings s;
    auto maxLine = [&](uint32_t v) {
        s.monitorMaxLine = 1;
        Apply(s, SettingsGroup::Monitor, "MaxLine", Le({v}));
        return s.monitorMaxLine;
    };
    EXPECT_EQ(maxLine(32766), 65535u);
    EXPECT_EQ(maxLine(32767), 32767u);
    EXPECT_EQ(maxLine(2147483647u), 2147483647u);
    EXPECT_EQ(maxLine(2147483648u), 65535u);
    Apply(s, SettingsGroup::BusLoad, "HistTime", Le({3}));
    EXPECT_EQ(s.busLoadHistTime, 1u);
    Apply(s, SettingsGroup::BusLoad, "histtime", Le({2}));
    EXPECT_EQ(s.busLoadHistTime, 2u);
    Apply(s, SettingsGroup::BusLoad, "Threshould", Le({101}));
    EXPECT_EQ(s.busLoadThreshold, 80u);
    Apply(s, SettingsGroup::BusLoad, "Threshould", Le({100}));
    EXPECT_EQ(s.busLoadThreshold, 100u);
    Apply(s, SettingsGroup::Monitor, "Color.Text.NG", Le({0xFF123456}));
    EXPECT_EQ(s.monitorColorTextNg, 0x00123456u);
    Apply(s, SettingsGroup::MessageDetail, "COLOR.BKGND", Le({0xAB000001}));
    EXPECT_EQ(s.messageDetailColorBkgnd, 1u);
    const uint32_t before[5] = {s.busLoadColorLine[0], s.busLoadColorLine[1], s.busLoadColorLine[2],
                                s.busLoadColorLine[3], s.busLoadColorLine[4]};
    Apply(s, SettingsGroup::BusLoad, "Color.Line", Le({0xFF000001, 0xFF000002}));
    EXPECT_EQ(s.busLoadColorLine[0], 1u);
    EXPECT_EQ(s.busLoadColorLine[1], 2u);
    EXPECT_EQ(s.busLoadColorLine[2], before[2]);
    EXPECT_EQ(s.busLoadColorLine[4], before[4]);
    Apply(s, SettingsGroup::BusLoad, "Color.Threshould", Le({0x01020304}));
    EXPECT_EQ(s.busLoadColorThreshold, 0x00020304u);
    Apply(s, SettingsGroup::Statistics, "Column", Le({1, 2, 3, 4, 5}));  // 20 of 24 bytes
    EXPECT_EQ(s.statisticsColumn[0], 180);
    Apply(s, SettingsGroup::Statistics, "Column", Le({1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(s.statisticsColumn[5], 6);
    Apply(s, SettingsGroup::Monitor, "Unknown", Le({1}));
    Apply(s, SettingsGroup::Common, "Language", Le({7}));
    EXPECT_EQ(s.language, 7);  // stored without checks; start-up resolves it
}

TEST(KeyHandlers, FramesOffScreenAndOrders) {
    AppSettings s;
    const ScreenSize screen{1920, 1080};
    Apply(s, SettingsGroup::Frame, "Frame.Monitor", EncodePlacement({-50, -60, 2000, 1100, 3, 1}),
          screen);
    EXPECT_EQ(s.frameMonitor.left, 0);
    EXPECT_EQ(s.frameMonitor.bottom, 0);
    EXPECT_EQ(s.frameMonitor.showCmd, 3);
    Apply(s, SettingsGroup::Frame, "Frame.BusLoad", EncodePlacement({-50, 10, 2000, 1100, 5, 9}),
          screen);
    EXPECT_EQ(s.frameBusLoad.left, -50);  // the top edge is on the screen
    EXPECT_EQ(s.frameBusLoad.showCmd, 1);
    EXPECT_EQ(s.frameBusLoad.order, 0);
    CheckFrameOrders(s);  // monitor 1, bus load 0, statistics 2, message info 3: all present
    EXPECT_EQ(s.frameMonitor.order, 1);
    EXPECT_EQ(s.frameBusLoad.order, 0);
    s.frameStatistics.order = 1;
    CheckFrameOrders(s);
    EXPECT_EQ(s.frameMonitor.order, 0);
    EXPECT_EQ(s.frameBusLoad.order, 1);
    EXPECT_EQ(s.frameStatistics.order, 2);
    EXPECT_EQ(s.frameMessageInfo.order, 3);
    Apply(s, SettingsGroup::Frame, "Frame.Statistics", EncodePlacement({-5, -5, -1, -1, 4, 4}));
    EXPECT_EQ(s.frameStatistics.left, -5);  // no screen known: the rectangle stays
    EXPECT_EQ(s.frameStatistics.order, 4);
}

TEST(KeyHandlers, RecentFilesTexts) {
    AppSettings s;
    const std::string japanese = "/home/\xE5\xA4\xAA\xE9\x83\x8E/\xE6\x97\xA5.dbc";
    std::vector<uint8_t> data(japanese.begin(), japanese.end());
    data.push_back(0);
    Apply(s, SettingsGroup::Common, "CANdb.Recent.02", data);
    EXPECT_EQ(s.recentCandb[1], japanese);
    const std::string quoted = "\"a\"b\"";
    Apply(s, SettingsGroup::Common, "candb.recent.03", {quoted.begin(), quoted.end()});
    EXPECT_EQ(s.recentCandb[2], "ab");
    std::string longText;
    for (int i = 0; i < 300; ++i) {
        longText += "\xE6\x97\xA5";
    }
    Apply(s, SettingsGroup::Common, "CANdb.Recent.04", {longText.begin(), longText.end()});
    EXPECT_EQ(s.recentCandb[3].size(), 259u * 3);
    Apply(s, SettingsGroup::Common, "CANdb.Recent.01", {0xFF, 0xFE, 0x41});
    EXPECT_EQ(s.recentCandb[0], "");  // not text: ignored
    Apply(s, SettingsGroup::Common, "CANdb.Recent.05", data);
    Apply(s, SettingsGroup::Common, "AppVersion", Le({0x00010002, 0x00030004}));
    EXPECT_EQ(s.storedAppVersion, 0x0003000400010002ull);
}

TEST(CanConfig, TakesTheFiveChannelsAndTheThreshold) {
    AppSettings s;
    s.can[4] = ChannelSettings{1, 1, {1000000, 31, 8, 8, 0, 0}, {4000000, 7, 2, 2, 0, 0}};
    s.busLoadThreshold = 42;
    const CanConfig config = CanConfigFromSettings(s);
    EXPECT_EQ(config.busLoadThreshold, 42u);
    EXPECT_EQ(std::memcmp(&config.can[4], &s.can[4], sizeof(ChannelSettings)), 0);
    EXPECT_EQ(config.can[0].arbitration.bitrate, 500000);
}

}  // namespace

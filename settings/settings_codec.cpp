#include "settings/settings_codec.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kGroupNames[kSettingsGroupCount] = {
    "COMMON", "CAN", "FRAME", "MONITOR", "STATISTICS", "MESSAGEINFO", "MESSAGEDETAIL", "BUSLOAD"};

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Is(const std::string& key, const char* name) {
    const size_t n = std::strlen(name);
    if (key.size() != n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        if (Lower(key[i]) != Lower(name[i])) {
            return false;
        }
    }
    return true;
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

uint32_t Get32(const uint8_t* data) {
    return static_cast<uint32_t>(data[0]) | (static_cast<uint32_t>(data[1]) << 8) |
           (static_cast<uint32_t>(data[2]) << 16) | (static_cast<uint32_t>(data[3]) << 24);
}

int32_t GetI32(const uint8_t* data) {
    return static_cast<int32_t>(Get32(data));
}

template <size_t N>
std::vector<uint8_t> EncodeInts(const int32_t (&values)[N]) {
    std::vector<uint8_t> out;
    for (const int32_t v : values) {
        Put32(out, static_cast<uint32_t>(v));
    }
    return out;
}

template <size_t N>
bool DecodeInts(int32_t (&values)[N], const uint8_t* data, uint32_t length) {
    if (length < N * 4) {
        return false;
    }
    for (size_t i = 0; i < N; ++i) {
        values[i] = GetI32(data + 4 * i);
    }
    return true;
}

void PutParams(std::vector<uint8_t>& out, const BusParams& p) {
    Put32(out, static_cast<uint32_t>(p.bitrate));
    Put32(out, p.tseg1);
    Put32(out, p.tseg2);
    Put32(out, p.sjw);
    Put32(out, p.noSamp);
    Put32(out, p.syncMode);
}

BusParams GetParams(const uint8_t* d) {
    return BusParams{GetI32(d),     Get32(d + 4),  Get32(d + 8),
                     Get32(d + 12), Get32(d + 16), Get32(d + 20)};
}

// A colour as loaded: the high byte is never part of it.
uint32_t Colour(const uint8_t* data) {
    return Get32(data) & 0x00FFFFFF;
}

bool IsUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        if (c < 0x80) {
            extra = 0;
        } else if ((c >> 5) == 6) {
            extra = 1;
        } else if ((c >> 4) == 14) {
            extra = 2;
        } else if ((c >> 3) == 30) {
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

// The first n characters (code points) of a UTF-8 text.
std::string FirstChars(const std::string& text, size_t n) {
    size_t i = 0;
    size_t count = 0;
    while (i < text.size() && count < n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
            ++i;
        }
        ++count;
    }
    return text.substr(0, i);
}

void ValidateChannel(ChannelSettings& c) {
    if (static_cast<uint32_t>(c.enabled) > 1) {
        c.enabled = 0;
    }
    if (c.mode != kChannelModeCan && c.mode != kChannelModeCanFd) {
        c.mode = kChannelModeCan;
    }
    auto low8 = [](BusParams& p) {
        p.tseg1 &= 0xFF;
        p.tseg2 &= 0xFF;
        p.sjw &= 0xFF;
    };
    if (c.mode == kChannelModeCan) {
        if (c.arbitration.bitrate < 125000 || c.arbitration.bitrate > 1000000) {
            c.arbitration.bitrate = 500000;
        }
        low8(c.arbitration);
    } else {
        if (c.arbitration.bitrate < 500000 || c.arbitration.bitrate > 8000000) {
            c.arbitration.bitrate = 1000000;
        }
        if (c.data.bitrate < 500000 || c.data.bitrate > 8000000) {
            c.data.bitrate = 1000000;
        }
        low8(c.arbitration);
        low8(c.data);
    }
}

void ValidatePlacement(FramePlacement& f, const ScreenSize& screen) {
    if (f.showCmd != 1 && f.showCmd != 3 && f.showCmd != 6) {
        f.showCmd = 1;
    }
    if (static_cast<uint32_t>(f.order) > 4) {
        f.order = 0;
    }
    if (screen.width <= 0 || screen.height <= 0) {
        return;  // no screen to check against
    }
    auto within = [](int32_t v, int32_t limit) { return v >= 0 && v <= limit; };
    if (!(within(f.left, screen.width) || within(f.top, screen.height) ||
          within(f.right, screen.width) || within(f.bottom, screen.height))) {
        f.left = f.top = f.right = f.bottom = 0;
    }
}

void ApplyCommon(AppSettings& s, const std::string& key, const uint8_t* d, uint32_t n) {
    if (Is(key, "AppVersion")) {
        if (n >= 8) {
            s.storedAppVersion =
                static_cast<uint64_t>(Get32(d)) | (static_cast<uint64_t>(Get32(d + 4)) << 32);
        }
    } else if (Is(key, "ApplicationLook")) {
        if (n >= 4) {
            s.appLook = Get32(d);
        }
    } else if (Is(key, "ConfigFile")) {
        if (n >= 4) {
            s.configFile = Get32(d);
        }
    } else if (Is(key, "Language")) {
        if (n >= 4) {
            s.language = GetI32(d);
        }
    } else {
        for (int i = 0; i < kRecentCandbCount; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "CANdb.Recent.%02d", i + 1);
            if (!Is(key, name)) {
                continue;
            }
            std::string text(reinterpret_cast<const char*>(d), n);
            text = text.substr(0, text.find('\0'));
            std::string clean;
            for (const char c : text) {
                if (c != '"') {
                    clean += c;
                }
            }
            if (IsUtf8(clean)) {
                s.recentCandb[i] = FirstChars(clean, kRecentCandbMaxChars);
            }
        }
    }
}

void ApplyFrame(AppSettings& s, const std::string& key, const uint8_t* d, uint32_t n,
                const ScreenSize& screen) {
    FramePlacement* target = Is(key, "Frame.Monitor")       ? &s.frameMonitor
                             : Is(key, "Frame.BusLoad")     ? &s.frameBusLoad
                             : Is(key, "Frame.Statistics")  ? &s.frameStatistics
                             : Is(key, "Frame.MessageInfo") ? &s.frameMessageInfo
                                                            : nullptr;
    if (target != nullptr && n >= sizeof(FramePlacement)) {
        *target = DecodePlacement(d);
        ValidatePlacement(*target, screen);
    }
}

void ApplyMonitor(AppSettings& s, const std::string& key, const uint8_t* d, uint32_t n) {
    if (Is(key, "Column")) {
        DecodeInts(s.monitorColumn, d, n);
    } else if (n < 4) {
        return;
    } else if (Is(key, "MaxLine")) {
        const uint32_t v = Get32(d);
        s.monitorMaxLine = v >= 32767 && v <= 2147483647u ? v : kDefaultMaxLine;
    } else if (Is(key, "Color.Text.OK")) {
        s.monitorColorTextOk = Colour(d);
    } else if (Is(key, "Color.Text.NG")) {
        s.monitorColorTextNg = Colour(d);
    } else if (Is(key, "Color.Bkgnd")) {
        s.monitorColorBkgnd = Colour(d);
    }
}

template <size_t N>
void ApplyList(int32_t (&columns)[N], uint32_t& text, uint32_t& bkgnd, const std::string& key,
               const uint8_t* d, uint32_t n) {
    if (Is(key, "Column")) {
        DecodeInts(columns, d, n);
    } else if (n >= 4 && Is(key, "Color.Text")) {
        text = Colour(d);
    } else if (n >= 4 && Is(key, "Color.Bkgnd")) {
        bkgnd = Colour(d);
    }
}

void ApplyBusLoad(AppSettings& s, const std::string& key, const uint8_t* d, uint32_t n) {
    if (Is(key, "Color.Line")) {
        for (uint32_t i = 0; i < 5 && (i + 1) * 4 <= n; ++i) {
            s.busLoadColorLine[i] = Colour(d + 4 * i);
        }
    } else if (n < 4) {
        return;
    } else if (Is(key, "HistTime")) {
        const uint32_t v = Get32(d);
        s.busLoadHistTime = v > 2 ? 1 : v;
    } else if (Is(key, "Threshould")) {
        const uint32_t v = Get32(d);
        s.busLoadThreshold = v > 100 ? 80 : v;
    } else if (Is(key, "Color.Bkgnd")) {
        s.busLoadColorBkgnd = Colour(d);
    } else if (Is(key, "Color.Scale.Line")) {
        s.busLoadColorScaleLine = Colour(d);
    } else if (Is(key, "Color.Scale.Text")) {
        s.busLoadColorScaleText = Colour(d);
    } else if (Is(key, "Color.Threshould")) {
        s.busLoadColorThreshold = Colour(d);
    }
}

}  // namespace

const char* GroupName(SettingsGroup group) {
    return kGroupNames[static_cast<int>(group)];
}

std::string VendorPath() {
    return std::string("SOFTWARE\\").append(kVendorKey);
}
std::string LegacyVendorPath() {
    return std::string("SOFTWARE\\").append(kLegacyVendorKey);
}

std::string GroupPath(SettingsGroup group) {
    return VendorPath().append("\\").append(kApplicationName).append("\\").append(GroupName(group));
}

std::string WorkspacePath() {
    return VendorPath().append("\\").append(kApplicationName).append("\\Workspace");
}

std::vector<uint8_t> EncodeChannel(const ChannelSettings& c) {
    std::vector<uint8_t> out;
    Put32(out, static_cast<uint32_t>(c.enabled));
    Put32(out, static_cast<uint32_t>(c.mode));
    PutParams(out, c.arbitration);
    PutParams(out, c.data);
    return out;
}

ChannelSettings DecodeChannel(const uint8_t* d) {
    return ChannelSettings{GetI32(d), GetI32(d + 4), GetParams(d + 8), GetParams(d + 32)};
}

std::vector<uint8_t> EncodePlacement(const FramePlacement& f) {
    std::vector<uint8_t> out;
    for (const int32_t v : {f.left, f.top, f.right, f.bottom, f.showCmd, f.order}) {
        Put32(out, static_cast<uint32_t>(v));
    }
    return out;
}

FramePlacement DecodePlacement(const uint8_t* d) {
    return FramePlacement{GetI32(d),      GetI32(d + 4),  GetI32(d + 8),
                          GetI32(d + 12), GetI32(d + 16), GetI32(d + 20)};
}

std::vector<StoredValue> CollectStoredValues(const AppSettings& s, uint32_t groups) {
    std::vector<StoredValue> out;
    auto dword = [&](SettingsGroup g, const char* key, uint32_t v) {
        std::vector<uint8_t> data;
        Put32(data, v);
        out.push_back({g, key, ProfileForm::Dword, os::RegType::Dword, std::move(data)});
    };
    auto bytes = [&](SettingsGroup g, const char* key, std::vector<uint8_t> data,
                     os::RegType type = os::RegType::Binary) {
        out.push_back({g, key, ProfileForm::Bytes, type, std::move(data)});
    };
    using G = SettingsGroup;
    if (groups & ENV_APPVERSION) {
        std::vector<uint8_t> data;
        Put32(data, s.exeVersionMS);
        Put32(data, s.exeVersionLS);
        bytes(G::Common, "AppVersion", std::move(data), os::RegType::Dword);
    }
    if (groups & ENV_APPLOOK) {
        dword(G::Common, "ApplicationLook", s.appLook);
    }
    if (groups & ENV_CANDB_RECENT) {
        for (int i = 0; i < kRecentCandbCount; ++i) {
            char key[32];
            std::snprintf(key, sizeof key, "CANdb.Recent.%02d", i + 1);
            std::vector<uint8_t> data(s.recentCandb[i].begin(), s.recentCandb[i].end());
            data.push_back(0);
            out.push_back({G::Common, key, ProfileForm::Text, os::RegType::Sz, std::move(data)});
        }
    }
    if (groups & ENV_CONFIGFILE) {
        dword(G::Common, "ConfigFile", s.configFile);
    }
    if (groups & ENV_LANGUAGE) {
        dword(G::Common, "Language", static_cast<uint32_t>(s.language));
    }
    for (int i = 0; i < kChannelCount; ++i) {
        if (groups & (ENV_CAN1 << i)) {
            bytes(G::Can, std::string("CAN").append(std::to_string(i + 1)).c_str(),
                  EncodeChannel(s.can[i]));
        }
    }
    if (groups & ENV_FRAME_MONITOR) {
        bytes(G::Frame, "Frame.Monitor", EncodePlacement(s.frameMonitor));
    }
    if (groups & ENV_FRAME_BUSLOAD) {
        bytes(G::Frame, "Frame.BusLoad", EncodePlacement(s.frameBusLoad));
    }
    if (groups & ENV_FRAME_STATISTICS) {
        bytes(G::Frame, "Frame.Statistics", EncodePlacement(s.frameStatistics));
    }
    if (groups & ENV_FRAME_MESSAGEINFO) {
        bytes(G::Frame, "Frame.MessageInfo", EncodePlacement(s.frameMessageInfo));
    }
    if (groups & ENV_MONITOR_COLUMN) {
        bytes(G::Monitor, "Column", EncodeInts(s.monitorColumn));
    }
    if (groups & ENV_MONITOR_MAXLINE) {
        dword(G::Monitor, "MaxLine", static_cast<uint32_t>(s.monitorMaxLine));
    }
    if (groups & ENV_MONITOR_COLOR) {
        dword(G::Monitor, "Color.Text.OK", s.monitorColorTextOk);
        dword(G::Monitor, "Color.Text.NG", s.monitorColorTextNg);
        dword(G::Monitor, "Color.Bkgnd", s.monitorColorBkgnd);
    }
    if (groups & ENV_STATISTICS_COLUMN) {
        bytes(G::Statistics, "Column", EncodeInts(s.statisticsColumn));
    }
    if (groups & ENV_STATISTICS_COLOR) {
        dword(G::Statistics, "Color.Text", s.statisticsColorText);
        dword(G::Statistics, "Color.Bkgnd", s.statisticsColorBkgnd);
    }
    if (groups & ENV_MESSAGEINFO_COLUMN) {
        bytes(G::MessageInfo, "Column", EncodeInts(s.messageInfoColumn));
    }
    if (groups & ENV_MESSAGEINFO_COLOR) {
        dword(G::MessageInfo, "Color.Text", s.messageInfoColorText);
        dword(G::MessageInfo, "Color.Bkgnd", s.messageInfoColorBkgnd);
    }
    if (groups & ENV_MESSAGEDETAIL_COLUMN) {
        bytes(G::MessageDetail, "Column", EncodeInts(s.messageDetailColumn));
    }
    if (groups & ENV_MESSAGEDETAIL_COLOR) {
        dword(G::MessageDetail, "Color.Text", s.messageDetailColorText);
        dword(G::MessageDetail, "Color.Bkgnd", s.messageDetailColorBkgnd);
    }
    if (groups & ENV_BUSLOAD_HISTTIME) {
        dword(G::BusLoad, "HistTime", s.busLoadHistTime);
    }
    if (groups & ENV_BUSLOAD_THRESHOLD) {
        dword(G::BusLoad, "Threshould", s.busLoadThreshold);
    }
    if (groups & ENV_BUSLOAD_COLOR) {
        std::vector<uint8_t> line;
        for (const uint32_t c : s.busLoadColorLine) {
            Put32(line, c);
        }
        bytes(G::BusLoad, "Color.Line", std::move(line));
        dword(G::BusLoad, "Color.Bkgnd", s.busLoadColorBkgnd);
        dword(G::BusLoad, "Color.Scale.Line", s.busLoadColorScaleLine);
        dword(G::BusLoad, "Color.Scale.Text", s.busLoadColorScaleText);
        dword(G::BusLoad, "Color.Threshould", s.busLoadColorThreshold);
    }
    return out;
}

void ApplyStoredValue(AppSettings& s, SettingsGroup group, const std::string& key, const uint8_t* d,
                      uint32_t n, const ScreenSize& screen) {
    switch (group) {
        case SettingsGroup::Common:
            ApplyCommon(s, key, d, n);
            break;
        case SettingsGroup::Can:
            for (int i = 0; i < kChannelCount; ++i) {
                if (Is(key, std::string("CAN").append(std::to_string(i + 1)).c_str()) &&
                    n >= sizeof(ChannelSettings)) {
                    s.can[i] = DecodeChannel(d);
                    ValidateChannel(s.can[i]);
                }
            }
            break;
        case SettingsGroup::Frame:
            ApplyFrame(s, key, d, n, screen);
            break;
        case SettingsGroup::Monitor:
            ApplyMonitor(s, key, d, n);
            break;
        case SettingsGroup::Statistics:
            ApplyList(s.statisticsColumn, s.statisticsColorText, s.statisticsColorBkgnd, key, d, n);
            break;
        case SettingsGroup::MessageInfo:
            ApplyList(s.messageInfoColumn, s.messageInfoColorText, s.messageInfoColorBkgnd, key, d,
                      n);
            break;
        case SettingsGroup::MessageDetail:
            ApplyList(s.messageDetailColumn, s.messageDetailColorText, s.messageDetailColorBkgnd,
                      key, d, n);
            break;
        case SettingsGroup::BusLoad:
            ApplyBusLoad(s, key, d, n);
            break;
    }
}

void CheckFrameOrders(AppSettings& s) {
    bool seen[4] = {};
    for (const FramePlacement* f :
         {&s.frameMonitor, &s.frameBusLoad, &s.frameStatistics, &s.frameMessageInfo}) {
        if (f->order >= 0 && f->order < 4) {
            seen[f->order] = true;
        }
    }
    if (!(seen[0] && seen[1] && seen[2] && seen[3])) {
        s.frameMonitor.order = 0;
        s.frameBusLoad.order = 1;
        s.frameStatistics.order = 2;
        s.frameMessageInfo.order = 3;
    }
}

#include "ui/frame/frame_texts.h"

#include "res/resources.h"

namespace frame_texts {

QString BitrateText(int32_t bitrate) {
    uint32_t id = 0;
    switch (bitrate) {
        case 125000:
            id = IDS_BITRATE_125K;
            break;
        case 250000:
            id = IDS_BITRATE_250K;
            break;
        case 500000:
            id = IDS_BITRATE_500K;
            break;
        case 1000000:
            id = IDS_BITRATE_1M;
            break;
        case 2000000:
            id = IDS_BITRATE_2M;
            break;
        case 4000000:
            id = IDS_BITRATE_4M;
            break;
        case 8000000:
            id = IDS_BITRATE_8M;
            break;
        default:
            return QString();
    }
    return res::Resources::Instance().String(id);
}

QString ChannelLabel(int index, const ChannelSettings& settings) {
    const auto& resources = res::Resources::Instance();
    const QByteArray arbitration = BitrateText(settings.arbitration.bitrate).toUtf8();
    if (settings.mode == kChannelModeCanFd) {
        const QByteArray data = BitrateText(settings.data.bitrate).toUtf8();
        return resources.Format(IDS_FMT_CHANNEL_CANFD, index + 1, arbitration.constData(),
                                data.constData());
    }
    return resources.Format(IDS_FMT_CHANNEL_CAN, index + 1, arbitration.constData());
}

QString UptimeText(uint64_t elapsed) {
    const int s = static_cast<int>(elapsed % 60);
    const int m = static_cast<int>((elapsed / 60) % 60);
    const int h = static_cast<int>((elapsed / 3600) % 24);
    const uint64_t d = elapsed / 86400;
    const auto& resources = res::Resources::Instance();
    if (d == 0) {
        return resources.Format(IDS_FMT_UPTIME, h, m, s);
    }
    return resources.Format(IDS_FMT_UPTIME_DAYS, static_cast<int>(d), h, m, s);
}

QString BusMenuText(int index, bool busOn) {
    const auto& resources = res::Resources::Instance();
    const QByteArray state = resources.String(busOn ? IDS_BUS_OFF : IDS_BUS_ON).toUtf8();
    return resources.Format(IDS_FMT_BUS_ONOFF, index + 1, state.constData(), index + 1);
}

std::vector<std::string> UpdatedRecentList(const std::vector<std::string>& recent,
                                           const std::string& path, size_t limit) {
    std::vector<std::string> result;
    result.push_back(path);
    const QString newPath = QString::fromStdString(path);
    for (const std::string& entry : recent) {
        if (result.size() >= limit) {
            break;
        }
        if (entry.empty() ||
            QString::fromStdString(entry).compare(newPath, Qt::CaseInsensitive) == 0) {
            continue;
        }
        result.push_back(entry);
    }
    result.resize(limit);
    return result;
}

}  // namespace frame_texts

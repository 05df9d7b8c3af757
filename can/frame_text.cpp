#include "frame_text.h"

#include <algorithm>
#include <cstdio>

namespace {

// A length above 64 comes only from a damaged record; never read past data.
uint32_t StoredBytes(const CanFrameRecord& record) {
    return std::min<uint32_t>(record.dlc, kMaxFrameBytes);
}

// "  %02X" without a formatting call per byte: the live log writes a line per
// frame inside the manager lock.
void AppendByte(std::string& text, uint8_t byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const char group[4] = {' ', ' ', kHex[byte >> 4], kHex[byte & 0xF]};
    text.append(group, 4);
}

// The first row: " %d    %08X  %-5s %2X%-32s  %13s %s".
void AppendFirstRow(std::string& text, const CanFrameRecord& record) {
    char head[64];
    const int headLength =
        std::snprintf(head, sizeof head, " %d    %08X  %-5s %2X", record.channel, record.id,
                      FrameTypeText(record.flags).c_str(), record.dlc);
    text.append(head, static_cast<size_t>(std::max(headLength, 0)));

    const size_t dataStart = text.size();
    if (record.dlc == 0) {
        text += "  00";
    } else {
        const uint32_t first = std::min<uint32_t>(StoredBytes(record), 8);
        for (uint32_t i = 0; i < first; ++i) {
            AppendByte(text, record.data[i]);
        }
    }
    text.append(32 - (text.size() - dataStart), ' ');

    // The time is formatted with "  %-6.6f" and then right-aligned in 13.
    char time[40];
    const int timeLength = std::snprintf(time, sizeof time, "  %-6.6f",
                                         static_cast<double>(record.timestamp) / 1000000.0);
    text += "  ";
    if (timeLength < 13) {
        text.append(static_cast<size_t>(13 - timeLength), ' ');
    }
    text.append(time, static_cast<size_t>(std::max(timeLength, 0)));
    text += ' ';
    text += record.direction != 0 ? 'R' : 'T';
}

}  // namespace

std::string FrameTypeText(uint32_t flags) {
    std::string text;
    if (flags & kMsgRtr)
        text += 'R';
    if (flags & kMsgExt)
        text += 'E';
    if (flags & kFdMsgFdf)
        text += 'F';
    if (flags & kFdMsgBrs)
        text += 'B';
    return text;
}

std::string FormatFrameLine(const CanFrameRecord& record) {
    std::string text;
    text.reserve(80);
    AppendFirstRow(text, record);
    const uint32_t bytes = StoredBytes(record);
    for (uint32_t row = 8; row < bytes; row += 8) {
        text += "\n                        ";
        for (uint32_t i = row; i < bytes && i < row + 8; ++i) {
            AppendByte(text, record.data[i]);
        }
    }
    return text;
}

std::string FormatFrameClipboardLine(const CanFrameRecord& record) {
    std::string text;
    text.reserve(80);
    AppendFirstRow(text, record);
    text += '\n';
    return text;
}

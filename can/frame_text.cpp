#include "frame_text.h"

#include <algorithm>

#include "log_text.h"

namespace {

// A length above 64 comes only from a damaged record; never read past data.
uint32_t StoredBytes(const CanFrameRecord& record) {
    return std::min<uint32_t>(record.dlc, kMaxFrameBytes);
}

using log_text::AppendNumber;

void AppendByte(std::string& text, uint8_t byte) {
    text += "  ";
    log_text::AppendHexByte(text, byte);
}

// The first row: " %d    %08X  %-5s %2X%-32s  %13s %s", the time being
// "  %-6.6f" of the seconds. Written without a formatting call: the live log
// formats a line per frame inside the manager lock.
void AppendFirstRow(std::string& text, const CanFrameRecord& record, uint64_t time) {
    text += ' ';
    AppendNumber(text, record.channel, 10, 0, ' ');
    text += "    ";
    AppendNumber(text, record.id, 16, 8, '0');
    text += "  ";
    const size_t typeStart = text.size();
    text += FrameTypeText(record.flags);
    text.append(5 - (text.size() - typeStart), ' ');
    text += ' ';
    AppendNumber(text, record.dlc, 16, 2, ' ');

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

    // Microseconds are whole millionths: the seconds with six decimals are
    // exactly the integer's digits around a point.
    const uint64_t seconds = time / 1000000;
    size_t digits = 1;
    for (uint64_t rest = seconds / 10; rest != 0; rest /= 10) {
        ++digits;
    }
    const size_t timeLength = 2 + digits + 7;
    text += "  ";
    if (timeLength < 13) {
        text.append(13 - timeLength, ' ');
    }
    text += "  ";
    AppendNumber(text, seconds, 10, 0, ' ');
    text += '.';
    AppendNumber(text, time % 1000000, 10, 6, '0');
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

void AppendFrameLine(std::string& text, const CanFrameRecord& record, std::string_view rowBreak) {
    AppendFrameLineAt(text, record, record.timestamp, rowBreak);
}

void AppendFrameLineAt(std::string& text, const CanFrameRecord& record, uint64_t time,
                       std::string_view rowBreak) {
    AppendFirstRow(text, record, time);
    const uint32_t bytes = StoredBytes(record);
    for (uint32_t row = 8; row < bytes; row += 8) {
        text += rowBreak;
        text.append(24, ' ');
        for (uint32_t i = row; i < bytes && i < row + 8; ++i) {
            AppendByte(text, record.data[i]);
        }
    }
}

std::string FormatFrameLine(const CanFrameRecord& record) {
    std::string text;
    text.reserve(80);
    AppendFrameLine(text, record, "\n");
    return text;
}

std::string FormatFrameClipboardLine(const CanFrameRecord& record) {
    std::string text;
    text.reserve(80);
    AppendFirstRow(text, record, record.timestamp);
    text += '\n';
    return text;
}

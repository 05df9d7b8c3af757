#include "ui/frame/live_view_text.h"

#include <algorithm>
#include <cstdio>

#include "can/frame_list.h"
#include "can/frame_text.h"

namespace live_text {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// snprintf's count, kept within the buffer it wrote.
int Written(int n, size_t size) {
    return n < 0 ? 0 : std::min(n, static_cast<int>(size) - 1);
}

// The type letters in their fixed order: remote, extended, FD, bit-rate switch.
int TypeLetters(uint32_t flags, char (&out)[5]) {
    int n = 0;
    if (flags & kMsgRtr)
        out[n++] = 'R';
    if (flags & kMsgExt)
        out[n++] = 'E';
    if (flags & kFdMsgFdf)
        out[n++] = 'F';
    if (flags & kFdMsgBrs)
        out[n++] = 'B';
    out[n] = '\0';
    return n;
}

// "%03X" of the low 11 bits: always three digits.
void Id11(uint32_t id, char (&out)[4]) {
    const uint32_t low = id & 0x7FF;
    out[0] = kHex[low >> 8];
    out[1] = kHex[(low >> 4) & 0xF];
    out[2] = kHex[low & 0xF];
    out[3] = '\0';
}

// "%02X" of the low 7 bits: always two digits.
void Dlc7(uint32_t dlc, char (&out)[3]) {
    const uint32_t low = dlc & 0x7F;
    out[0] = kHex[low >> 4];
    out[1] = kHex[low & 0xF];
    out[2] = '\0';
}

Cell Text(const char* text, int length) {
    return Cell{text, length};
}

}  // namespace

void FormatMonitorRow(const CanFrameRecord& record, MonitorRow& row) {
    const int time = Written(std::snprintf(row.time, sizeof row.time, "  %-6.6f",
                                           static_cast<double>(record.timestamp) / 1000000.0),
                             sizeof row.time);
    const int channel = Written(
        std::snprintf(row.channel, sizeof row.channel, "%u", record.channel), sizeof row.channel);
    const int type = TypeLetters(record.flags, row.type);
    Id11(record.id, row.id);
    Dlc7(record.dlc, row.dlc);

    int data = 0;
    const uint32_t bytes = std::min<uint32_t>(record.dlc, kMaxFrameBytes);
    if (bytes == 0) {
        std::copy_n("  00", 4, row.data);
        data = 4;
    } else {
        for (uint32_t i = 0; i < bytes; ++i) {
            const uint8_t b = record.data[i];
            row.data[data++] = ' ';
            row.data[data++] = ' ';
            row.data[data++] = kHex[b >> 4];
            row.data[data++] = kHex[b & 0xF];
        }
    }

    row.cells[0] = Text(row.time, time);
    row.cells[1] = Text(row.channel, channel);
    row.cells[2] = record.direction != 0 ? Text("R", 1) : Text("T", 1);
    row.cells[3] = record.status != 0 ? Text("OK", 2) : Text("NG", 2);
    row.cells[4] = Text(row.type, type);
    row.cells[5] = Text(row.id, 3);
    row.cells[6] = Text(row.dlc, 2);
    row.cells[7] = Text(row.data, data);
}

void FormatMessageInfoRow(const MessageInfoEntry& entry, MessageInfoRow& row) {
    const int channel = Written(std::snprintf(row.channel, sizeof row.channel, "%u", entry.channel),
                                sizeof row.channel);
    const int type = TypeLetters(entry.flags, row.type);
    Id11(entry.id, row.id);
    Dlc7(entry.dlc, row.dlc);
    const int cycle = Written(std::snprintf(row.cycle, sizeof row.cycle, "  %-6.3f",
                                            static_cast<double>(entry.cycle) / 1000.0),
                              sizeof row.cycle);
    const int count =
        Written(std::snprintf(row.count, sizeof row.count, "  %u", entry.count), sizeof row.count);

    row.cells[0] = Text(row.channel, channel);
    row.cells[1] = entry.direction != 0 ? Text("R", 1) : Text("T", 1);
    row.cells[2] = Text(row.type, type);
    row.cells[3] = Text(row.id, 3);
    row.cells[4] = Text(row.dlc, 2);
    row.cells[5] = Text(row.cycle, cycle);
    row.cells[6] = Text(row.count, count);
}

std::string MessageInfoCopyLine(const MessageInfoEntry& entry) {
    MessageInfoRow row;
    FormatMessageInfoRow(entry, row);
    char cycle[48];
    std::snprintf(cycle, sizeof cycle, "%.3f", static_cast<double>(entry.cycle) / 1000.0);
    char count[16];
    std::snprintf(count, sizeof count, "%u", entry.count);
    char line[160];
    const int n =
        std::snprintf(line, sizeof line, " %s    %s %5s    %3s   %2s  %10s %10s\n", row.channel,
                      entry.direction != 0 ? "R" : "T", row.type, row.id, row.dlc, cycle, count);
    return std::string(line, static_cast<size_t>(Written(n, sizeof line)));
}

std::string MonitorCopyText(const std::string& header, const FrameList& frames, size_t count) {
    std::string text;
    // About one line of 75 characters per classic frame.
    text.reserve(header.size() + 1 + count * 76);
    text += header;
    text += '\n';
    for (size_t i = 0; i < count; ++i) {
        text += FormatFrameLine(frames.At(i));
        text += '\n';
    }
    return text;
}

}  // namespace live_text

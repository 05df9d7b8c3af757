#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "can/can_frame_record.h"
#include "can/message_info_table.h"

class FrameList;

// The texts of the live views: the cells of a monitor row and of a
// message-info row as the lists draw them, and the lines of their clipboard
// copies. Rows are formatted into fixed buffers, so painting a row allocates
// nothing.
namespace live_text {

// One cell: its characters (not terminated) and their number.
struct Cell {
    const char* text = "";
    int length = 0;
};

struct MonitorRow {
    static constexpr int kColumns = 8;
    char time[40];
    char channel[12];
    char type[5];
    char id[4];
    char dlc[3];
    char data[kMaxFrameBytes * 4];
    Cell cells[kColumns];
};

// Time "  %-6.6f" s, channel index, R/T, OK/NG, type letters, the low 11 bits
// of the identifier "%03X", the length "%02X" and "  %02X" per data byte
// ("  00" without bytes).
void FormatMonitorRow(const CanFrameRecord& record, MonitorRow& row);

struct MessageInfoRow {
    static constexpr int kColumns = 7;
    char channel[12];
    char type[5];
    char id[4];
    char dlc[3];
    char cycle[48];
    char count[16];
    Cell cells[kColumns];
};

// Screen form: cycle "  %-6.3f" ms, count "  %u".
void FormatMessageInfoRow(const MessageInfoEntry& entry, MessageInfoRow& row);
// Copy form: " %s    %s %5s    %3s   %2s  %10s %10s\n" with cycle "%.3f" and
// count "%u".
std::string MessageInfoCopyLine(const MessageInfoEntry& entry);

// The monitor's copy: the header and a line break, then the first count
// records of the list, one line each; a frame longer than eight bytes goes on
// in continuation rows under the data column, each ending with a line break.
std::string MonitorCopyText(const std::string& header, const FrameList& frames, size_t count);

}  // namespace live_text

#pragma once

#include <string>
#include <string_view>

#include "can_frame_record.h"

// The column header of monitor text output (IDS_MONITOR_HEADER of the
// resource set); log files start with it.
inline constexpr const char kMonitorHeaderText[] =
    "Chn Identifier Flg   DLC  D0...1...2...3...4...5...6..D7       Time     Dir";

// One frame as one monitor text line, without its final line end. CAN FD
// frames longer than eight bytes continue on further rows ("\n", 24 blanks,
// then the next eight bytes), so the bytes stay under the data column.
std::string FormatFrameLine(const CanFrameRecord& record);
// The same line appended to text, with rowBreak between its rows (the log
// files store "\r\n").
void AppendFrameLine(std::string& text, const CanFrameRecord& record, std::string_view rowBreak);
// The same with the time in microseconds given apart from the record: a
// log read from another tool may hold times past the 32-bit channel clock.
void AppendFrameLineAt(std::string& text, const CanFrameRecord& record, uint64_t time,
                       std::string_view rowBreak);
// The clipboard form: the first row only, ending with "\n".
std::string FormatFrameClipboardLine(const CanFrameRecord& record);
// The type letters: R remote, E extended, F CAN FD, B bit-rate switch.
std::string FrameTypeText(uint32_t flags);

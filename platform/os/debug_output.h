#pragma once

#include <string>

namespace os {

// The line the program writes to the debugger output when no log window
// exists: local date and time with milliseconds, the level, the text.
std::string FormatDebugLine(int level, const std::string& text);
// Writes FormatDebugLine to stderr in one write, adding a line end when the
// text has none.
void OutputDebugLine(int level, const std::string& text);

}  // namespace os

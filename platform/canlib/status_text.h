// Texts of the library's statuses.
#pragma once

namespace vcan {

// The text for a status; an unknown status gives "Unknown error (N)" in `buf`.
const char* StatusText(int status, char* buf, unsigned bufsiz);

}  // namespace vcan

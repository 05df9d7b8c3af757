#include "status_text.h"

#include <cstdio>

#include "canlib.h"

namespace vcan {

const char* StatusText(int status, char* buf, unsigned bufsiz) {
    switch (status) {
        case canOK:
            return "No error";
        case canERR_PARAM:
            return "Error in parameter";
        case canERR_NOMSG:
            return "No messages available";
        case canERR_NOTFOUND:
            return "Specified device or channel not found";
        case canERR_NOMEM:
            return "Out of memory";
        case canERR_NOCHANNELS:
            return "No channels available";
        case canERR_NOTINITIALIZED:
            return "Library not initialized";
        case canERR_NOHANDLES:
            return "Can't get handle";
        case canERR_INVHANDLE:
            return "Handle is invalid";
        case canERR_TXBUFOFL:
            return "Transmit buffer overflow";
        case canERR_NOT_SUPPORTED:
            return "Operation not supported by the channel";
        case canERR_NO_ACCESS:
            return "Access denied: another handle holds init access";
        case canERR_NOT_IMPLEMENTED:
            return "Not implemented";
        case canERR_OFF_BUS:
            return "Channel is not on the bus";
        case canERR_LINK_DOWN:
            return "Network interface is down";
        default:
            break;
    }
    if (buf != nullptr && bufsiz > 0) {
        std::snprintf(buf, bufsiz, "Unknown error (%d)", status);
        return buf;
    }
    return "Unknown error";
}

}  // namespace vcan

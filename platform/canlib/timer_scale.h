// canIoCtl's timer-scale functions, the same for every kind of handle.
#pragma once

#include <cstdint>
#include <cstring>

#include "canlib.h"

namespace vcan {

// Handles canIOCTL_SET_TIMER_SCALE and canIOCTL_GET_TIMER_SCALE on a handle's scale (timer
// units in microseconds): true with the call's status in *status, false for other functions.
inline bool TimerScaleIoCtl(unsigned func, void* buf, unsigned buflen, uint32_t* scaleUs,
                            int* status) {
    if (func != canIOCTL_SET_TIMER_SCALE && func != canIOCTL_GET_TIMER_SCALE)
        return false;
    uint32_t value = 0;
    if (!buf || buflen < sizeof value) {
        *status = canERR_PARAM;
    } else if (func == canIOCTL_GET_TIMER_SCALE) {
        std::memcpy(buf, scaleUs, sizeof *scaleUs);
        *status = canOK;
    } else {
        std::memcpy(&value, buf, sizeof value);
        // Time stamps and the clock count the time since open in the new unit.
        if (value != 0)
            *scaleUs = value;
        *status = value != 0 ? canOK : canERR_PARAM;
    }
    return true;
}

}  // namespace vcan

/*
 * Test controls of the Sorvane CAN interface library. They are not part of the CAN API: every
 * one carries the prefix vcanTest and returns a status of canlib.h (or a count where said).
 * Channels are indexes 0..n-1 as for canOpenChannel; handles are those of canOpenChannel.
 */
#ifndef SORVANE_CANLIB_TESTCTL_H
#define SORVANE_CANLIB_TESTCTL_H

#include <stddef.h>

#include "canlib.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Closes every handle and initialises the library again from the scenario text (the INI keys
 * of docs/vcan.md); NULL or "" gives the defaults. The environment variable is not read. */
CANLIB_API canStatus vcanTestConfigure(const char* iniText);

/* Copies the scenario problems found by the last initialisation, one line each, into buf
 * (always zero-terminated when bufsiz > 0). Returns the number of problems. */
CANLIB_API int vcanTestGetConfigErrors(char* buf, size_t bufsiz);

/* Delivers a frame to the channel as if it had been received from the bus (counted in the
 * channel's statistics). Returns the number of handles that queued it, or a status. */
CANLIB_API int vcanTestInjectFrame(int channel, long id, const void* msg, unsigned int dlc,
                                   unsigned int flags);

/* Makes a channel present (1) or absent (0). An absent channel cannot be opened, receives
 * nothing, and its open handles answer canERR_NOTFOUND until it is present again. */
CANLIB_API canStatus vcanTestSetChannelPresent(int channel, int present);

/* Makes the next `count` calls of the named entry point (for example "canWrite") fail with
 * `status`; count -1 fails every call until disarmed with count 0. Entry points that return a
 * value give 0 (canReadTimer, canGetVersion, canGetVersionEx) or the status (canOpenChannel). */
CANLIB_API canStatus vcanTestFailNext(const char* entryPoint, int status, int count);

/* Makes the statistics of the channel report `load` (hundredths of a percent, passed on as
 * given) as bus load; -1 returns to the measured load. */
CANLIB_API canStatus vcanTestSetBusLoad(int channel, long load);

/* Sets the channel's transmit and receive error counters and its overrun count. A transmit
 * error counter above 255 puts the channel into the bus-off state (canBusOn or canResetBus
 * recover it). */
CANLIB_API canStatus vcanTestSetErrorCounters(int channel, unsigned int txErr, unsigned int rxErr,
                                              unsigned int overruns);

/* Moves the handle's clock so that canReadTimer reads `value` (timer units) now. */
CANLIB_API canStatus vcanTestSetTimer(const canHandle hnd, unsigned long value);

/* Maps the channel to the SocketCAN backend with `fd` standing in for the CAN socket: a
 * datagram socket (one end of a socket pair) whose peer plays the kernel, writing struct
 * can_frame and struct canfd_frame datagrams for the handles to read and reading what they
 * write. Each handle opened on the channel afterwards uses its own duplicate of fd, so open
 * one at a time. The interface's link is left out: bus on and off need no netlink, and the
 * timing calls keep the rates for the bus load. fd -1 returns the channel to the scenario.
 * The library keeps its own duplicate until then or the next vcanTestConfigure. */
CANLIB_API canStatus vcanTestSocketCanStandIn(int channel, int fd);

#ifdef __cplusplus
}
#endif

#endif /* SORVANE_CANLIB_TESTCTL_H */

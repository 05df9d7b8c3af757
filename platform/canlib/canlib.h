/*
 * Sorvane CAN interface library (libcanlib.so.1): the C API of the vendor's CAN interface
 * library, declared with the vendor's public C types, over virtual channels on a simulated
 * bus. Every entry point returns a status (0 success, negative failure) unless it returns a
 * value (canOpenChannel, canReadTimer, canGetVersion, canGetVersionEx).
 *
 * Types: identifiers and bit rates are long, time stamps and statistics fields unsigned long,
 * lengths, flags, timing values and error counters unsigned int, sizes size_t. On LP64 Linux
 * long is 64 bits wide: callers must pass objects of these types, not 32-bit record fields.
 *
 * The channel clock counts timer units since the handle was opened; the unit is 1000 us until
 * canIoCtl(canIOCTL_SET_TIMER_SCALE) sets another one. Clock and time stamps wrap at 2^32.
 */
#ifndef SORVANE_CANLIB_H
#define SORVANE_CANLIB_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(SORVANE_CANLIB_BUILD)
#define CANLIB_API __attribute__((visibility("default")))
#else
#define CANLIB_API
#endif

typedef int canHandle;
typedef int canStatus;

/* Statuses. */
#define canOK 0
#define canERR_PARAM (-1)
#define canERR_NOMSG (-2)
#define canERR_NOTFOUND (-3)
#define canERR_NOMEM (-4)
#define canERR_NOCHANNELS (-5)
#define canERR_NOTINITIALIZED (-8)
#define canERR_NOHANDLES (-9)
#define canERR_INVHANDLE (-10)
#define canERR_TXBUFOFL (-13)
#define canERR_NOT_SUPPORTED (-19)
#define canERR_NO_ACCESS (-31)
#define canERR_NOT_IMPLEMENTED (-32)
/* Ours: a write or bus operation on a handle that is not on the bus, or in the bus-off state. */
#define canERR_OFF_BUS (-50)
/* Ours: the channel's network interface is down and this process may not bring it up. */
#define canERR_LINK_DOWN (-51)

/* canOpenChannel flags. */
#define canOPEN_EXCLUSIVE 0x0008
#define canOPEN_ACCEPT_VIRTUAL 0x0020
#define canOPEN_REQUIRE_INIT_ACCESS 0x0080
#define canOPEN_NO_INIT_ACCESS 0x0100
#define canOPEN_CAN_FD 0x0400
#define canOPEN_CAN_FD_NONISO 0x0800

/* Message flags (canRead, canWrite). */
#define canMSG_RTR 0x0001
#define canMSG_STD 0x0002
#define canMSG_EXT 0x0004
#define canMSG_ERROR_FRAME 0x0020
#define canMSG_TXACK 0x0040
/* Set on the first frame read after the receive queue lost frames. */
#define canMSGERR_SW_OVERRUN 0x0400
#define canFDMSG_FDF 0x010000
#define canFDMSG_BRS 0x020000
#define canFDMSG_ESI 0x040000

/* canIoCtl functions. */
#define canIOCTL_CLEAR_ERROR_COUNTERS 5
#define canIOCTL_SET_TIMER_SCALE 6
#define canIOCTL_GET_RX_BUFFER_LEVEL 8
#define canIOCTL_GET_TX_BUFFER_LEVEL 9
#define canIOCTL_FLUSH_RX_BUFFER 10
#define canIOCTL_FLUSH_TX_BUFFER 11
#define canIOCTL_GET_TIMER_SCALE 12
/* Writes an eventfd (int64 in the 8-byte buffer), owned by the library, that becomes readable
 * when a frame is queued for the handle. Read it to reset it before draining with canRead,
 * as with an auto-reset event; a wake-up without a frame is harmless (canRead gives
 * canERR_NOMSG). */
#define canIOCTL_GET_EVENTHANDLE 14

/* canGetVersionEx items. */
#define canVERSION_CANLIB32_VERSION 0
#define canVERSION_CANLIB32_PRODVER 1
#define canVERSION_CANLIB32_PRODVER32 2

/* canGetChannelData items. */
/* A one-line description of the channel: virtual and its bus, or the SocketCAN interface with
 * its link state, CAN state and bit rates. */
#define canCHANNELDATA_CHANNEL_NAME 13

/* canAccept flags. */
#define canFILTER_NULL_MASK 0
#define canFILTER_ACCEPT 1
#define canFILTER_REJECT 2
#define canFILTER_SET_CODE_STD 3
#define canFILTER_SET_MASK_STD 4
#define canFILTER_SET_CODE_EXT 5
#define canFILTER_SET_MASK_EXT 6

/* Predefined bit rates for canSetBusParams (the timing arguments are then ignored). */
#define canBITRATE_1M (-1)
#define canBITRATE_500K (-2)
#define canBITRATE_250K (-3)
#define canBITRATE_125K (-4)
#define canBITRATE_100K (-5)
#define canBITRATE_62K (-6)
#define canBITRATE_50K (-7)
#define canBITRATE_83K (-8)
#define canBITRATE_10K (-9)
/* Predefined CAN FD rates, for either phase. */
#define canFD_BITRATE_500K_80P (-1000)
#define canFD_BITRATE_1M_80P (-1001)
#define canFD_BITRATE_2M_80P (-1002)
#define canFD_BITRATE_4M_80P (-1003)
#define canFD_BITRATE_8M_60P (-1004)

/* Bus statistics: what the channel saw on the bus since it was opened or reset. */
typedef struct canBusStatistics_s {
    unsigned long stdData;   /* standard data frames received */
    unsigned long stdRemote; /* standard remote frames received */
    unsigned long extData;   /* extended data frames received */
    unsigned long extRemote; /* extended remote frames received */
    unsigned long errFrame;  /* error frames */
    unsigned long busLoad;   /* hundredths of a percent, 0..10000 */
    unsigned long overruns;  /* frames lost because a receive queue was full */
} canBusStatistics;

CANLIB_API void canInitializeLibrary(void);
CANLIB_API canStatus canClose(const canHandle hnd);
CANLIB_API canStatus canBusOn(const canHandle hnd);
CANLIB_API canStatus canBusOff(const canHandle hnd);
CANLIB_API canStatus canSetBusParams(const canHandle hnd, long freq, unsigned int tseg1,
                                     unsigned int tseg2, unsigned int sjw, unsigned int noSamp,
                                     unsigned int syncmode);
CANLIB_API canStatus canSetBusParamsFd(const canHandle hnd, long freq_brs, unsigned int tseg1_brs,
                                       unsigned int tseg2_brs, unsigned int sjw_brs);
CANLIB_API canStatus canAccept(const canHandle hnd, const long envelope, const unsigned int flag);
CANLIB_API canStatus canReadErrorCounters(const canHandle hnd, unsigned int* txErr,
                                          unsigned int* rxErr, unsigned int* ovErr);
CANLIB_API canStatus canWrite(const canHandle hnd, long id, void* msg, unsigned int dlc,
                              unsigned int flag);
CANLIB_API canStatus canRead(const canHandle hnd, long* id, void* msg, unsigned int* dlc,
                             unsigned int* flag, unsigned long* time);
CANLIB_API canStatus canGetErrorText(canStatus err, char* buf, unsigned int bufsiz);
CANLIB_API unsigned short canGetVersion(void);
CANLIB_API unsigned int canGetVersionEx(unsigned int itemCode);
CANLIB_API canStatus canIoCtl(const canHandle hnd, unsigned int func, void* buf,
                              unsigned int buflen);
CANLIB_API unsigned long canReadTimer(const canHandle hnd);
CANLIB_API canHandle canOpenChannel(int channel, int flags);
CANLIB_API canStatus canGetNumberOfChannels(int* channelCount);
CANLIB_API canStatus canParamGetCount(void);
CANLIB_API canStatus canParamGetName(int index, char* buffer, int maxlen);
CANLIB_API canStatus canParamGetChannelNumber(int index);
CANLIB_API canStatus canResetBus(const canHandle hnd);
CANLIB_API canStatus canUnloadLibrary(void);
CANLIB_API canStatus canGetChannelData(int channel, int item, void* buffer, size_t bufsize);
CANLIB_API canStatus canRequestBusStatistics(const canHandle hnd);
CANLIB_API canStatus canGetBusStatistics(const canHandle hnd, canBusStatistics* stat,
                                         size_t bufsiz);

#ifdef __cplusplus
}
#endif

#endif /* SORVANE_CANLIB_H */

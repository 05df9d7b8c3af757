#pragma once

// Our CAN database library: the kvaDb C interface over our own DBC reader.
// Every function returns a status (0 success, negative failure); texts are
// UTF-8, zero-terminated and cut to the caller's buffer at a character
// boundary. Handles stay valid until the database is closed.

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(KVADBLIB_BUILDING)
#define KVADB_API __attribute__((visibility("default")))
#else
#define KVADB_API
#endif

typedef int KvaDbStatus;
typedef void* KvaDbHnd;
typedef void* KvaDbMessageHnd;
typedef void* KvaDbSignalHnd;
typedef void* KvaDbEnumValueHnd;

enum {
    kvaDbOK = 0,
    kvaDbErr_Fail = -1,
    kvaDbErr_NoDatabase = -2,
    kvaDbErr_Param = -3,
    kvaDbErr_NoMsg = -4,
    kvaDbErr_NoSignal = -5,
    kvaDbErr_Internal = -6,
    kvaDbErr_DbFileOpen = -7,
    kvaDbErr_DatabaseInternal = -8,
    kvaDbErr_NoNode = -9,
    kvaDbErr_NoAttrib = -10,
    kvaDbErr_OnlyOneAllowed = -11,
    kvaDbErr_WrongOwner = -12,
    kvaDbErr_InUse = -13,
    kvaDbErr_BufferSize = -14,
    kvaDbErr_DbFileParse = -15,
    kvaDbErr_NoEnumValue = -16,
};

// Database flags (kvaDbGetFlags).
#define KVADB_DATABASE_J1939 0x0001u

// Message flags (kvaDbGetMsgId). The file's identifier carries the extended
// marker in bit 31; we report it here and give the identifier without it.
#define KVADB_MESSAGE_EXT 0x80000000u
#define KVADB_MESSAGE_J1939 0x00000001u
#define KVADB_MESSAGE_WAKEUP 0x00000002u
#define KVADB_MESSAGE_FD 0x00000004u

// Signal byte order (kvaDbGetSignalEncoding).
enum { kvaDb_Intel = 0, kvaDb_Motorola = 1 };

// Signal representation (kvaDbGetSignalRepresentationType).
enum {
    kvaDb_Invalid = 0,
    kvaDb_Signed = 1,
    kvaDb_Unsigned = 2,
    kvaDb_Float = 3,
    kvaDb_Double = 4,
};

// Signal mode (kvaDbGetSignalMode); a multiplexed signal gives its
// multiplexer value (0 or above).
#define KVADB_MUX_SIGNAL (-2)
#define KVADB_MUX_INDEPENDENT (-1)

KVADB_API KvaDbStatus kvaDbGetVersion(int* major, int* minor, int* build);
KVADB_API KvaDbStatus kvaDbGetErrorText(KvaDbStatus error, char* buf, size_t buflen);
// The text of this thread's last failed kvaDbReadFile: the line and what was
// expected there. *buflen gives the buffer size and receives the length needed
// (with the terminating zero).
KVADB_API KvaDbStatus kvaDbGetLastParseError(char* buf, unsigned int* buflen);

// Our own addition to the interface: the statements the last successful
// kvaDbReadFile of the handle skipped, or read only in part, because they
// were malformed. The count is that of the whole file; the first 1000 are
// listed, in file order, each with its 1-based line and reason.
KVADB_API KvaDbStatus kvaDbGetReadProblemCount(KvaDbHnd dh, unsigned int* count);
KVADB_API KvaDbStatus kvaDbGetReadProblem(KvaDbHnd dh, unsigned int index, int* line, char* buf,
                                          size_t buflen);

KVADB_API KvaDbStatus kvaDbOpen(KvaDbHnd* dh);
KVADB_API KvaDbStatus kvaDbClose(KvaDbHnd dh);
KVADB_API KvaDbStatus kvaDbReadFile(KvaDbHnd dh, const char* filename);
KVADB_API KvaDbStatus kvaDbGetFlags(KvaDbHnd dh, unsigned int* flags);

KVADB_API KvaDbStatus kvaDbGetFirstMsg(KvaDbHnd dh, KvaDbMessageHnd* mh);
KVADB_API KvaDbStatus kvaDbGetNextMsg(KvaDbHnd dh, KvaDbMessageHnd* mh);
KVADB_API KvaDbStatus kvaDbGetMsgName(KvaDbMessageHnd mh, char* buf, size_t buflen);
KVADB_API KvaDbStatus kvaDbGetMsgComment(KvaDbMessageHnd mh, char* buf, size_t buflen);
KVADB_API KvaDbStatus kvaDbGetMsgId(KvaDbMessageHnd mh, unsigned int* id, unsigned int* flags);
KVADB_API KvaDbStatus kvaDbGetMsgFlags(KvaDbMessageHnd mh, unsigned int* flags);
KVADB_API KvaDbStatus kvaDbGetMsgDlc(KvaDbMessageHnd mh, unsigned int* dlc);

KVADB_API KvaDbStatus kvaDbGetFirstSignal(KvaDbMessageHnd mh, KvaDbSignalHnd* sh);
KVADB_API KvaDbStatus kvaDbGetNextSignal(KvaDbMessageHnd mh, KvaDbSignalHnd* sh);
KVADB_API KvaDbStatus kvaDbGetSignalName(KvaDbSignalHnd sh, char* buf, size_t buflen);
KVADB_API KvaDbStatus kvaDbGetSignalComment(KvaDbSignalHnd sh, char* buf, size_t buflen);
KVADB_API KvaDbStatus kvaDbGetSignalUnit(KvaDbSignalHnd sh, char* buf, size_t buflen);
KVADB_API KvaDbStatus kvaDbGetSignalEncoding(KvaDbSignalHnd sh, int* encoding);
KVADB_API KvaDbStatus kvaDbGetSignalRepresentationType(KvaDbSignalHnd sh, int* type);
KVADB_API KvaDbStatus kvaDbGetSignalValueLimits(KvaDbSignalHnd sh, double* minval, double* maxval);
KVADB_API KvaDbStatus kvaDbGetSignalValueScaling(KvaDbSignalHnd sh, double* factor, double* offset);
// The start bit is the position of the least significant bit, numbered
// 8 * byte + bit for both byte orders.
KVADB_API KvaDbStatus kvaDbGetSignalValueSize(KvaDbSignalHnd sh, int* startbit, int* length);
KVADB_API KvaDbStatus kvaDbGetSignalMode(KvaDbSignalHnd sh, int* mode);

KVADB_API KvaDbStatus kvaDbGetFirstEnumValue(KvaDbSignalHnd sh, KvaDbEnumValueHnd* eh);
KVADB_API KvaDbStatus kvaDbGetNextEnumValue(KvaDbSignalHnd sh, KvaDbEnumValueHnd* eh);
KVADB_API KvaDbStatus kvaDbGetEnumValue(KvaDbEnumValueHnd eh, int* val, char* buf, size_t buflen);

#ifdef __cplusplus
}
#endif

#pragma once

// The process-wide binding to the CAN database library: a table of entry
// points, each slot holding a fallback that returns -1 until the library
// supplies the function, so every call can be made unconditionally.

#include <cstddef>
#include <string>

namespace candb {

// The slots, in table order.
enum KvaDbSlot : int {
    kSlotOpen,
    kSlotSetDummyFileName,
    kSlotGetDatabaseName,
    kSlotGetVersion,
    kSlotGetErrorText,
    kSlotGetLastParseError,
    kSlotClose,
    kSlotReadFile,
    kSlotGetFlags,
    kSlotGetProtocol,
    kSlotGetProtocolProperties,
    kSlotGetFirstMsg,
    kSlotGetNextMsg,
    kSlotGetMsgById,
    kSlotGetMsgByPGN,
    kSlotGetMsgByName,
    kSlotGetMsgName,
    kSlotGetMsgQualifiedName,
    kSlotGetMsgComment,
    kSlotGetMsgId,
    kSlotGetMsgIdEx,
    kSlotGetMsgFlags,
    kSlotGetMsgDlc,
    kSlotGetMsgSendNode,
    kSlotGetMsgMux,
    kSlotGetFirstSignal,
    kSlotGetNextSignal,
    kSlotGetSignalByName,
    kSlotGetSignalMode,
    kSlotGetSignalMessage,
    kSlotGetSignalValueFloat,
    kSlotGetSignalValueInteger,
    kSlotRetrieveSignalValuePhys,
    kSlotRetrieveSignalValueRaw,
    kSlotRetrieveSignalValueRaw64,
    kSlotGetSignalValueEnum,
    kSlotGetSignalValueLimits,
    kSlotGetSignalValueScaling,
    kSlotGetSignalValueSize,
    kSlotGetSignalName,
    kSlotGetSignalQualifiedName,
    kSlotGetSignalComment,
    kSlotGetSignalUnit,
    kSlotGetSignalEncoding,
    kSlotGetSignalRepresentationType,
    kSlotGetSignalPresentationType,
    kSlotGetFirstNode,
    kSlotGetNextNode,
    kSlotGetNodeByName,
    kSlotGetNodeAttributeIntByName,
    kSlotGetNodeName,
    kSlotGetNodeComment,
    kSlotSignalContainsReceiveNode,
    kSlotStoreSignalValuePhys,
    kSlotStoreSignalValueRaw,
    kSlotStoreSignalValueRaw64,
    kSlotGetFirstAttributeDefinition,
    kSlotGetAttributeDefinitionByName,
    kSlotGetNextAttributeDefinition,
    kSlotGetAttributeDefinitionType,
    kSlotGetAttributeDefinitionOwner,
    kSlotGetAttributeDefinitionName,
    kSlotGetAttributeDefinitionInt,
    kSlotGetAttributeDefinitionFloat,
    kSlotGetAttributeDefinitionString,
    kSlotGetAttributeDefinitionEnumeration,
    kSlotGetAttributeDefinitionEnumValueByName,
    kSlotGetAttributeDefinitionEnumNameByValue,
    kSlotGetAttributeDefinitionEnumFirst,
    kSlotGetAttributeDefinitionEnumNext,
    kSlotGetFirstEnumValue,
    kSlotGetNextEnumValue,
    kSlotGetEnumValue,
    kSlotGetFirstEnumValuePair,
    kSlotGetNextEnumValuePair,
    kSlotGetFirstMsgAttribute,
    kSlotGetMsgAttributeByName,
    kSlotGetAttributeByName,
    kSlotGetFirstSignalAttribute,
    kSlotGetSignalAttributeByName,
    kSlotGetFirstNodeAttribute,
    kSlotGetNodeAttributeByName,
    kSlotGetFirstAttribute,
    kSlotGetNextAttribute,
    kSlotGetAttributeType,
    kSlotGetAttributeName,
    kSlotGetAttributeValueInt,
    kSlotGetAttributeValueFloat,
    kSlotGetAttributeValueString,
    kSlotGetAttributeValueEnumeration,
    kSlotMsgDlcToBytes,
    kSlotBytesToMsgDlc,
    kSlotCount
};
static_assert(kSlotCount == 92, "the entry-point table has 92 slots");

using KvaDbHandle = void*;

// The typed entry points the program calls.
struct KvaDbApi {
    int (*open)(KvaDbHandle*);
    int (*getVersion)(int*, int*, int*);
    int (*getErrorText)(int, char*, size_t);
    int (*close)(KvaDbHandle);
    int (*readFile)(KvaDbHandle, const char*);
    int (*getFlags)(KvaDbHandle, unsigned int*);
    int (*getFirstMsg)(KvaDbHandle, KvaDbHandle*);
    int (*getNextMsg)(KvaDbHandle, KvaDbHandle*);
    int (*getMsgName)(KvaDbHandle, char*, size_t);
    int (*getMsgComment)(KvaDbHandle, char*, size_t);
    int (*getMsgId)(KvaDbHandle, unsigned int*, unsigned int*);
    int (*getMsgDlc)(KvaDbHandle, unsigned int*);
    int (*getFirstSignal)(KvaDbHandle, KvaDbHandle*);
    int (*getNextSignal)(KvaDbHandle, KvaDbHandle*);
    int (*getSignalMode)(KvaDbHandle, int*);
    int (*getSignalValueLimits)(KvaDbHandle, double*, double*);
    int (*getSignalValueScaling)(KvaDbHandle, double*, double*);
    int (*getSignalValueSize)(KvaDbHandle, int*, int*);
    int (*getSignalName)(KvaDbHandle, char*, size_t);
    int (*getSignalComment)(KvaDbHandle, char*, size_t);
    int (*getSignalUnit)(KvaDbHandle, char*, size_t);
    int (*getSignalEncoding)(KvaDbHandle, int*);
    int (*getSignalRepresentationType)(KvaDbHandle, int*);
    int (*getFirstEnumValue)(KvaDbHandle, KvaDbHandle*);
    int (*getNextEnumValue)(KvaDbHandle, KvaDbHandle*);
    int (*getEnumValue)(KvaDbHandle, int*, char*, size_t);
    // Our library's own additions, outside the table: what a read skipped.
    // A library without them reports nothing skipped.
    int (*getReadProblemCount)(KvaDbHandle, unsigned int*);
    int (*getReadProblem)(KvaDbHandle, unsigned int, int*, char*, size_t);
};

// The entry-point name of a slot.
const char* KvaDbSlotName(int slot);
// Whether the library supplied the slot's entry point.
bool KvaDbSlotResolved(int slot);
// The typed entry points; fallbacks where the library has none.
const KvaDbApi& KvaDb();
bool KvaDbLoaded();
void KvaDbVersion(int& major, int& minor, int& build);
// The file that is loaded: SORVANE_KVADBLIB, else our library in the
// private library folder.
std::string KvaDbLibraryPath();

// Loads on the first acquire and unloads, slots back to their fallbacks,
// on the last release.
void AcquireKvaDb();
void ReleaseKvaDb();

}  // namespace candb

#include "candb/kvadb_binding.h"

#include <cstdlib>
#include <mutex>

#include "platform/os/dynamic_library.h"
#include "platform/os/paths.h"

namespace candb {

namespace {

constexpr const char* kSlotNames[kSlotCount] = {"kvaDbOpen",
                                                "kvaDbSetDummyFileName",
                                                "kvaDbGetDatabaseName",
                                                "kvaDbGetVersion",
                                                "kvaDbGetErrorText",
                                                "kvaDbGetLastParseError",
                                                "kvaDbClose",
                                                "kvaDbReadFile",
                                                "kvaDbGetFlags",
                                                "kvaDbGetProtocol",
                                                "kvaDbGetProtocolProperties",
                                                "kvaDbGetFirstMsg",
                                                "kvaDbGetNextMsg",
                                                "kvaDbGetMsgById",
                                                "kvaDbGetMsgByPGN",
                                                "kvaDbGetMsgByName",
                                                "kvaDbGetMsgName",
                                                "kvaDbGetMsgQualifiedName",
                                                "kvaDbGetMsgComment",
                                                "kvaDbGetMsgId",
                                                "kvaDbGetMsgIdEx",
                                                "kvaDbGetMsgFlags",
                                                "kvaDbGetMsgDlc",
                                                "kvaDbGetMsgSendNode",
                                                "kvaDbGetMsgMux",
                                                "kvaDbGetFirstSignal",
                                                "kvaDbGetNextSignal",
                                                "kvaDbGetSignalByName",
                                                "kvaDbGetSignalMode",
                                                "kvaDbGetSignalMessage",
                                                "kvaDbGetSignalValueFloat",
                                                "kvaDbGetSignalValueInteger",
                                                "kvaDbRetrieveSignalValuePhys",
                                                "kvaDbRetrieveSignalValueRaw",
                                                "kvaDbRetrieveSignalValueRaw64",
                                                "kvaDbGetSignalValueEnum",
                                                "kvaDbGetSignalValueLimits",
                                                "kvaDbGetSignalValueScaling",
                                                "kvaDbGetSignalValueSize",
                                                "kvaDbGetSignalName",
                                                "kvaDbGetSignalQualifiedName",
                                                "kvaDbGetSignalComment",
                                                "kvaDbGetSignalUnit",
                                                "kvaDbGetSignalEncoding",
                                                "kvaDbGetSignalRepresentationType",
                                                "kvaDbGetSignalPresentationType",
                                                "kvaDbGetFirstNode",
                                                "kvaDbGetNextNode",
                                                "kvaDbGetNodeByName",
                                                "kvaDbGetNodeAttributeIntByName",
                                                "kvaDbGetNodeName",
                                                "kvaDbGetNodeComment",
                                                "kvaDbSignalContainsReceiveNode",
                                                "kvaDbStoreSignalValuePhys",
                                                "kvaDbStoreSignalValueRaw",
                                                "kvaDbStoreSignalValueRaw64",
                                                "kvaDbGetFirstAttributeDefinition",
                                                "kvaDbGetAttributeDefinitionByName",
                                                "kvaDbGetNextAttributeDefinition",
                                                "kvaDbGetAttributeDefinitionType",
                                                "kvaDbGetAttributeDefinitionOwner",
                                                "kvaDbGetAttributeDefinitionName",
                                                "kvaDbGetAttributeDefinitionInt",
                                                "kvaDbGetAttributeDefinitionFloat",
                                                "kvaDbGetAttributeDefinitionString",
                                                "kvaDbGetAttributeDefinitionEnumeration",
                                                "kvaDbGetAttributeDefinitionEnumValueByName",
                                                "kvaDbGetAttributeDefinitionEnumNameByValue",
                                                "kvaDbGetAttributeDefinitionEnumFirst",
                                                "kvaDbGetAttributeDefinitionEnumNext",
                                                "kvaDbGetFirstEnumValue",
                                                "kvaDbGetNextEnumValue",
                                                "kvaDbGetEnumValue",
                                                "kvaDbGetFirstEnumValuePair",
                                                "kvaDbGetNextEnumValuePair",
                                                "kvaDbGetFirstMsgAttribute",
                                                "kvaDbGetMsgAttributeByName",
                                                "kvaDbGetAttributeByName",
                                                "kvaDbGetFirstSignalAttribute",
                                                "kvaDbGetSignalAttributeByName",
                                                "kvaDbGetFirstNodeAttribute",
                                                "kvaDbGetNodeAttributeByName",
                                                "kvaDbGetFirstAttribute",
                                                "kvaDbGetNextAttribute",
                                                "kvaDbGetAttributeType",
                                                "kvaDbGetAttributeName",
                                                "kvaDbGetAttributeValueInt",
                                                "kvaDbGetAttributeValueFloat",
                                                "kvaDbGetAttributeValueString",
                                                "kvaDbGetAttributeValueEnumeration",
                                                "kvaDbMsgDlcToBytes",
                                                "kvaDbBytesToMsgDlc"};

// The library's general failure status, given by every fallback.
template <typename... Args>
int Fallback(Args...) {
    return -1;
}

KvaDbApi Fallbacks() {
    KvaDbApi api{};
    api.open = &Fallback<KvaDbHandle*>;
    api.getVersion = &Fallback<int*, int*, int*>;
    api.getErrorText = &Fallback<int, char*, size_t>;
    api.close = &Fallback<KvaDbHandle>;
    api.readFile = &Fallback<KvaDbHandle, const char*>;
    api.getFlags = &Fallback<KvaDbHandle, unsigned int*>;
    api.getFirstMsg = &Fallback<KvaDbHandle, KvaDbHandle*>;
    api.getNextMsg = &Fallback<KvaDbHandle, KvaDbHandle*>;
    api.getMsgName = &Fallback<KvaDbHandle, char*, size_t>;
    api.getMsgComment = &Fallback<KvaDbHandle, char*, size_t>;
    api.getMsgId = &Fallback<KvaDbHandle, unsigned int*, unsigned int*>;
    api.getMsgDlc = &Fallback<KvaDbHandle, unsigned int*>;
    api.getFirstSignal = &Fallback<KvaDbHandle, KvaDbHandle*>;
    api.getNextSignal = &Fallback<KvaDbHandle, KvaDbHandle*>;
    api.getSignalMode = &Fallback<KvaDbHandle, int*>;
    api.getSignalValueLimits = &Fallback<KvaDbHandle, double*, double*>;
    api.getSignalValueScaling = &Fallback<KvaDbHandle, double*, double*>;
    api.getSignalValueSize = &Fallback<KvaDbHandle, int*, int*>;
    api.getSignalName = &Fallback<KvaDbHandle, char*, size_t>;
    api.getSignalComment = &Fallback<KvaDbHandle, char*, size_t>;
    api.getSignalUnit = &Fallback<KvaDbHandle, char*, size_t>;
    api.getSignalEncoding = &Fallback<KvaDbHandle, int*>;
    api.getSignalRepresentationType = &Fallback<KvaDbHandle, int*>;
    api.getFirstEnumValue = &Fallback<KvaDbHandle, KvaDbHandle*>;
    api.getNextEnumValue = &Fallback<KvaDbHandle, KvaDbHandle*>;
    api.getEnumValue = &Fallback<KvaDbHandle, int*, char*, size_t>;
    api.getReadProblemCount = &Fallback<KvaDbHandle, unsigned int*>;
    api.getReadProblem = &Fallback<KvaDbHandle, unsigned int, int*, char*, size_t>;
    return api;
}

struct Binding {
    std::mutex mutex;
    int users = 0;
    os::LibraryHandle module = nullptr;
    KvaDbApi api = Fallbacks();
    void* slots[kSlotCount] = {};
    int major = 0;
    int minor = 0;
    int build = 0;
};

Binding& TheBinding() {
    static Binding binding;
    return binding;
}

template <typename Fn>
void Take(Binding& b, int slot, Fn& target) {
    if (b.slots[slot] != nullptr) {
        target = reinterpret_cast<Fn>(b.slots[slot]);
    }
}

template <typename Fn>
void TakeExtension(Binding& b, const char* name, Fn& target) {
    if (void* symbol = os::GetSymbol(b.module, name)) {
        target = reinterpret_cast<Fn>(symbol);
    }
}

void Load(Binding& b) {
    b.module = os::LoadLibraryByPath(KvaDbLibraryPath());
    if (b.module == nullptr) {
        return;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        b.slots[slot] = os::GetSymbol(b.module, kSlotNames[slot]);
    }
    Take(b, kSlotOpen, b.api.open);
    Take(b, kSlotGetVersion, b.api.getVersion);
    Take(b, kSlotGetErrorText, b.api.getErrorText);
    Take(b, kSlotClose, b.api.close);
    Take(b, kSlotReadFile, b.api.readFile);
    Take(b, kSlotGetFlags, b.api.getFlags);
    Take(b, kSlotGetFirstMsg, b.api.getFirstMsg);
    Take(b, kSlotGetNextMsg, b.api.getNextMsg);
    Take(b, kSlotGetMsgName, b.api.getMsgName);
    Take(b, kSlotGetMsgComment, b.api.getMsgComment);
    Take(b, kSlotGetMsgId, b.api.getMsgId);
    Take(b, kSlotGetMsgDlc, b.api.getMsgDlc);
    Take(b, kSlotGetFirstSignal, b.api.getFirstSignal);
    Take(b, kSlotGetNextSignal, b.api.getNextSignal);
    Take(b, kSlotGetSignalMode, b.api.getSignalMode);
    Take(b, kSlotGetSignalValueLimits, b.api.getSignalValueLimits);
    Take(b, kSlotGetSignalValueScaling, b.api.getSignalValueScaling);
    Take(b, kSlotGetSignalValueSize, b.api.getSignalValueSize);
    Take(b, kSlotGetSignalName, b.api.getSignalName);
    Take(b, kSlotGetSignalComment, b.api.getSignalComment);
    Take(b, kSlotGetSignalUnit, b.api.getSignalUnit);
    Take(b, kSlotGetSignalEncoding, b.api.getSignalEncoding);
    Take(b, kSlotGetSignalRepresentationType, b.api.getSignalRepresentationType);
    Take(b, kSlotGetFirstEnumValue, b.api.getFirstEnumValue);
    Take(b, kSlotGetNextEnumValue, b.api.getNextEnumValue);
    Take(b, kSlotGetEnumValue, b.api.getEnumValue);
    TakeExtension(b, "kvaDbGetReadProblemCount", b.api.getReadProblemCount);
    TakeExtension(b, "kvaDbGetReadProblem", b.api.getReadProblem);
    b.api.getVersion(&b.major, &b.minor, &b.build);
}

void Unload(Binding& b) {
    b.api = Fallbacks();
    for (void*& slot : b.slots) {
        slot = nullptr;
    }
    b.major = b.minor = b.build = 0;
    if (b.module != nullptr) {
        os::FreeLibrary(b.module);
        b.module = nullptr;
    }
}

}  // namespace

const char* KvaDbSlotName(int slot) {
    return slot >= 0 && slot < kSlotCount ? kSlotNames[slot] : "";
}

bool KvaDbSlotResolved(int slot) {
    return slot >= 0 && slot < kSlotCount && TheBinding().slots[slot] != nullptr;
}

const KvaDbApi& KvaDb() {
    return TheBinding().api;
}

bool KvaDbLoaded() {
    return TheBinding().module != nullptr;
}

void KvaDbVersion(int& major, int& minor, int& build) {
    const Binding& b = TheBinding();
    major = b.major;
    minor = b.minor;
    build = b.build;
}

std::string KvaDbLibraryPath() {
    if (const char* chosen = std::getenv("SORVANE_KVADBLIB"); chosen != nullptr && *chosen) {
        return chosen;
    }
    return os::JoinPath(os::PrivateLibraryDir(), "libkvadblib.so");
}

void AcquireKvaDb() {
    Binding& b = TheBinding();
    std::lock_guard<std::mutex> lock(b.mutex);
    if (b.users++ == 0) {
        Load(b);
    }
}

void ReleaseKvaDb() {
    Binding& b = TheBinding();
    std::lock_guard<std::mutex> lock(b.mutex);
    if (b.users > 0 && --b.users == 0) {
        Unload(b);
    }
}

}  // namespace candb

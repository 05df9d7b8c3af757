#include "can_lib.h"

#include <cstdlib>
#include <cstring>

namespace {

using namespace canlib_abi;

// Fallbacks: what a slot answers while the library or the entry point is missing.
void FbInitializeLibrary() {}
Status FbHandle(Handle) {
    return kCanErrNotImplemented;
}
Status FbSetBusParams(Handle, long, unsigned int, unsigned int, unsigned int, unsigned int,
                      unsigned int) {
    return kCanErrNotImplemented;
}
Status FbSetBusParamsFd(Handle, long, unsigned int, unsigned int, unsigned int) {
    return kCanErrNotImplemented;
}
Status FbAccept(Handle, long, unsigned int) {
    return kCanErrNotImplemented;
}
Status FbReadErrorCounters(Handle, unsigned int*, unsigned int*, unsigned int*) {
    return kCanErrNotImplemented;
}
Status FbWrite(Handle, long, void*, unsigned int, unsigned int) {
    return kCanErrNotImplemented;
}
Status FbRead(Handle, long*, void*, unsigned int*, unsigned int*, unsigned long*) {
    return kCanErrNotImplemented;
}
Status FbGetErrorText(Status, char*, unsigned int) {
    return kCanErrNotImplemented;
}
unsigned short FbGetVersion() {
    return 0;
}
unsigned int FbGetVersionEx(unsigned int) {
    return 0;
}
Status FbIoCtl(Handle, unsigned int, void*, unsigned int) {
    return kCanErrNotImplemented;
}
unsigned long FbReadTimer(Handle) {
    return 0;
}
Handle FbOpenChannel(int, int) {
    return kCanErrParam;
}
Status FbGetNumberOfChannels(int*) {
    return kCanErrNotImplemented;
}
Status FbNoArgs() {
    return kCanErrNotImplemented;
}
Status FbParamGetName(int, char*, int) {
    return kCanErrNotImplemented;
}
Status FbParamGetChannelNumber(int) {
    return kCanErrNotImplemented;
}
Status FbGetBusStatistics(Handle, BusStatistics*, size_t) {
    return kCanErrNotImplemented;
}

template <typename Fn>
void Resolve(os::LibraryHandle module, int slot, Fn& target) {
    os::ResolveSymbol(module, kCanLibEntryNames[slot], target);
}

}  // namespace

const char* const kCanLibEntryNames[kCanLibSlotCount] = {
    "canInitializeLibrary",
    "canClose",
    "canBusOn",
    "canBusOff",
    "canSetBusParams",
    "canSetBusParamsFd",
    "canAccept",
    "canReadErrorCounters",
    "canWrite",
    "canRead",
    "canGetErrorText",
    "canGetVersion",
    "canGetVersionEx",
    "canIoCtl",
    "canReadTimer",
    "canOpenChannel",
    "canGetNumberOfChannels",
    "canParamGetCount",
    "canParamGetName",
    "canParamGetChannelNumber",
    "canResetBus",
    "canUnloadLibrary",
    "canRequestBusStatistics",
    "canGetBusStatistics",
};

CanLibFunctions CanLibFallbacks() {
    CanLibFunctions f{};
    f.canInitializeLibrary = FbInitializeLibrary;
    f.canClose = FbHandle;
    f.canBusOn = FbHandle;
    f.canBusOff = FbHandle;
    f.canSetBusParams = FbSetBusParams;
    f.canSetBusParamsFd = FbSetBusParamsFd;
    f.canAccept = FbAccept;
    f.canReadErrorCounters = FbReadErrorCounters;
    f.canWrite = FbWrite;
    f.canRead = FbRead;
    f.canGetErrorText = FbGetErrorText;
    f.canGetVersion = FbGetVersion;
    f.canGetVersionEx = FbGetVersionEx;
    f.canIoCtl = FbIoCtl;
    f.canReadTimer = FbReadTimer;
    f.canOpenChannel = FbOpenChannel;
    f.canGetNumberOfChannels = FbGetNumberOfChannels;
    f.canParamGetCount = FbNoArgs;
    f.canParamGetName = FbParamGetName;
    f.canParamGetChannelNumber = FbParamGetChannelNumber;
    f.canResetBus = FbHandle;
    f.canUnloadLibrary = FbNoArgs;
    f.canRequestBusStatistics = FbHandle;
    f.canGetBusStatistics = FbGetBusStatistics;
    return f;
}

CCanLib::CCanLib(std::string libraryFile) : api_(CanLibFallbacks()) {
    if (libraryFile.empty()) {
        const char* chosen = std::getenv("SORVANE_CANLIB");
        if (chosen != nullptr && chosen[0] != '\0') {
            libraryFile = chosen;
            fileIsPath_ = true;
        } else {
            libraryFile = "libcanlib.so.1";
        }
    } else {
        fileIsPath_ = libraryFile.find('/') != std::string::npos;
    }
    libraryFile_ = std::move(libraryFile);
}

CCanLib::~CCanLib() {
    ReleaseCanLib();
}

void CCanLib::LoadCanLib() {
    ReleaseCanLib();
    libraryVersion_ = 0;
    productVersion_ = 0;
    module_ =
        fileIsPath_ ? os::LoadLibraryByPath(libraryFile_) : os::LoadLibraryByName(libraryFile_);
    if (module_ == nullptr) {
        loadError_ = os::LastLibraryError();
        return;
    }
    loadError_.clear();
    // Start from the fallbacks so that no slot of an earlier library survives
    // in a name the new one does not export.
    api_ = CanLibFallbacks();
    int slot = 0;
    Resolve(module_, slot++, api_.canInitializeLibrary);
    Resolve(module_, slot++, api_.canClose);
    Resolve(module_, slot++, api_.canBusOn);
    Resolve(module_, slot++, api_.canBusOff);
    Resolve(module_, slot++, api_.canSetBusParams);
    Resolve(module_, slot++, api_.canSetBusParamsFd);
    Resolve(module_, slot++, api_.canAccept);
    Resolve(module_, slot++, api_.canReadErrorCounters);
    Resolve(module_, slot++, api_.canWrite);
    Resolve(module_, slot++, api_.canRead);
    Resolve(module_, slot++, api_.canGetErrorText);
    Resolve(module_, slot++, api_.canGetVersion);
    Resolve(module_, slot++, api_.canGetVersionEx);
    Resolve(module_, slot++, api_.canIoCtl);
    Resolve(module_, slot++, api_.canReadTimer);
    Resolve(module_, slot++, api_.canOpenChannel);
    Resolve(module_, slot++, api_.canGetNumberOfChannels);
    Resolve(module_, slot++, api_.canParamGetCount);
    Resolve(module_, slot++, api_.canParamGetName);
    Resolve(module_, slot++, api_.canParamGetChannelNumber);
    Resolve(module_, slot++, api_.canResetBus);
    Resolve(module_, slot++, api_.canUnloadLibrary);
    Resolve(module_, slot++, api_.canRequestBusStatistics);
    Resolve(module_, slot++, api_.canGetBusStatistics);

    api_.canInitializeLibrary();
    libraryVersion_ = api_.canGetVersionEx(kCanVersionCanlib32Version);
    productVersion_ = api_.canGetVersionEx(kCanVersionCanlib32ProdVer32);
}

void CCanLib::ReleaseCanLib() {
    if (module_ != nullptr) {
        api_.canUnloadLibrary();
        os::FreeLibrary(module_);
        module_ = nullptr;
    }
    // The slots pointed into the unloaded module; calling one now must fail
    // with a status, not jump into unmapped code.
    api_ = CanLibFallbacks();
}

std::string CCanLib::CanErrorText(int status) const {
    char buffer[512];
    std::memset(buffer, 0, sizeof buffer);
    api_.canGetErrorText(status, buffer, sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    return std::string(buffer, std::strlen(buffer));
}

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/os/dynamic_library.h"

// The CAN interface library is loaded at run time and never linked, so the
// program declares the entry points it uses itself, with the C types of the
// vendor's public API. On LP64 `long` is 64 bits: identifiers, bit rates, time
// stamps and statistics fields are wider there than the frame record's fields,
// so every call goes through locals of these types.
namespace canlib_abi {

using Status = int;
using Handle = int;

// The library's bus statistics record (seven unsigned longs: 56 bytes on LP64).
struct BusStatistics {
    unsigned long stdData;
    unsigned long stdRemote;
    unsigned long extData;
    unsigned long extRemote;
    unsigned long errFrame;
    unsigned long busLoad;  // hundredths of a percent
    unsigned long overruns;
};

using InitializeLibraryFn = void (*)();
using CloseFn = Status (*)(Handle);
using BusOnFn = Status (*)(Handle);
using BusOffFn = Status (*)(Handle);
using SetBusParamsFn = Status (*)(Handle, long freq, unsigned int tseg1, unsigned int tseg2,
                                  unsigned int sjw, unsigned int noSamp, unsigned int syncMode);
using SetBusParamsFdFn = Status (*)(Handle, long freqBrs, unsigned int tseg1Brs,
                                    unsigned int tseg2Brs, unsigned int sjwBrs);
using AcceptFn = Status (*)(Handle, long envelope, unsigned int flag);
using ReadErrorCountersFn = Status (*)(Handle, unsigned int* txErr, unsigned int* rxErr,
                                       unsigned int* ovErr);
using WriteFn = Status (*)(Handle, long id, void* msg, unsigned int dlc, unsigned int flag);
using ReadFn = Status (*)(Handle, long* id, void* msg, unsigned int* dlc, unsigned int* flag,
                          unsigned long* time);
using GetErrorTextFn = Status (*)(Status err, char* buf, unsigned int bufsiz);
using GetVersionFn = unsigned short (*)();
using GetVersionExFn = unsigned int (*)(unsigned int itemCode);
using IoCtlFn = Status (*)(Handle, unsigned int func, void* buf, unsigned int buflen);
using ReadTimerFn = unsigned long (*)(Handle);
using OpenChannelFn = Handle (*)(int channel, int flags);
using GetNumberOfChannelsFn = Status (*)(int* channelCount);
using ParamGetCountFn = Status (*)();
using ParamGetNameFn = Status (*)(int index, char* buffer, int maxLen);
using ParamGetChannelNumberFn = Status (*)(int index);
using ResetBusFn = Status (*)(Handle);
using UnloadLibraryFn = Status (*)();
using RequestBusStatisticsFn = Status (*)(Handle);
using GetBusStatisticsFn = Status (*)(Handle, BusStatistics* stat, size_t bufsiz);

}  // namespace canlib_abi

// Status codes and constants of the library that the program names.
inline constexpr int kCanOk = 0;
inline constexpr int kCanErrParam = -1;
inline constexpr int kCanErrNoMsg = -2;
inline constexpr int kCanErrInvHandle = -10;
inline constexpr int kCanErrNotImplemented = -32;

inline constexpr int kCanOpenRequireInitAccess = 0x80;
inline constexpr int kCanOpenAcceptVirtual = 0x20;
inline constexpr int kCanOpenNoInitAccess = 0x100;
inline constexpr int kCanOpenCanFd = 0x400;

inline constexpr unsigned int kCanIoctlSetTimerScale = 6;
inline constexpr unsigned int kCanIoctlGetEventHandle = 14;

inline constexpr unsigned int kCanVersionCanlib32Version = 0;
inline constexpr unsigned int kCanVersionCanlib32ProdVer32 = 2;

// The function table, in resolution order. Every slot holds a fallback until
// the library supplies the entry point, so every call can be made at any time.
struct CanLibFunctions {
    canlib_abi::InitializeLibraryFn canInitializeLibrary;
    canlib_abi::CloseFn canClose;
    canlib_abi::BusOnFn canBusOn;
    canlib_abi::BusOffFn canBusOff;
    canlib_abi::SetBusParamsFn canSetBusParams;
    canlib_abi::SetBusParamsFdFn canSetBusParamsFd;
    canlib_abi::AcceptFn canAccept;
    canlib_abi::ReadErrorCountersFn canReadErrorCounters;
    canlib_abi::WriteFn canWrite;
    canlib_abi::ReadFn canRead;
    canlib_abi::GetErrorTextFn canGetErrorText;
    canlib_abi::GetVersionFn canGetVersion;
    canlib_abi::GetVersionExFn canGetVersionEx;
    canlib_abi::IoCtlFn canIoCtl;
    canlib_abi::ReadTimerFn canReadTimer;
    canlib_abi::OpenChannelFn canOpenChannel;
    canlib_abi::GetNumberOfChannelsFn canGetNumberOfChannels;
    canlib_abi::ParamGetCountFn canParamGetCount;
    canlib_abi::ParamGetNameFn canParamGetName;
    canlib_abi::ParamGetChannelNumberFn canParamGetChannelNumber;
    canlib_abi::ResetBusFn canResetBus;
    canlib_abi::UnloadLibraryFn canUnloadLibrary;
    canlib_abi::RequestBusStatisticsFn canRequestBusStatistics;
    canlib_abi::GetBusStatisticsFn canGetBusStatistics;
};

inline constexpr int kCanLibSlotCount = 24;
// The exported names in table order.
extern const char* const kCanLibEntryNames[kCanLibSlotCount];
// The table as it is before any load: every slot at its fallback.
CanLibFunctions CanLibFallbacks();

// The binding: the loaded library, its function table and its two versions.
// Owned by the channel manager; loading and releasing happen on the
// user-interface thread while no worker runs.
class CCanLib {
public:
    // libraryFile empty: the file named by SORVANE_CANLIB, else the plain name
    // libcanlib.so.1 through the system's library search.
    explicit CCanLib(std::string libraryFile = {});
    ~CCanLib();
    CCanLib(const CCanLib&) = delete;
    CCanLib& operator=(const CCanLib&) = delete;

    // Loads the library and fills the table; a missing library leaves the
    // module null and the table at its fallbacks. Loading again first
    // releases what is loaded.
    void LoadCanLib();
    // canUnloadLibrary, then unloads the module. The table keeps its slots
    // until the next load overwrites them, so slots of an unloaded library are
    // reset to the fallbacks here rather than left dangling.
    void ReleaseCanLib();
    bool IsCanLibLoaded() const { return module_ != nullptr; }
    // The library's text for a status; empty with the fallback.
    std::string CanErrorText(int status) const;

    // canGetVersionEx(0) and canGetVersionEx(2) as read right after loading.
    uint32_t LibraryVersion() const { return libraryVersion_; }
    uint32_t ProductVersion() const { return productVersion_; }
    // The file that LoadCanLib opens.
    const std::string& LibraryFile() const { return libraryFile_; }
    // The loader's text when the last load failed.
    const std::string& LoadError() const { return loadError_; }

    const CanLibFunctions& Api() const { return api_; }

private:
    std::string libraryFile_;
    bool fileIsPath_ = false;
    os::LibraryHandle module_ = nullptr;
    CanLibFunctions api_;
    uint32_t libraryVersion_ = 0;
    uint32_t productVersion_ = 0;
    std::string loadError_;
};

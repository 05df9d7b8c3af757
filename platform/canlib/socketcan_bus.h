// The SocketCAN backend behind the C API: channels that the scenario maps to a CAN network
// interface (`socketcan = can0`). Each handle owns a raw CAN socket; bus on and off switch its
// reception and, where this process may, the interface's link; bit timing goes to the
// interface through netlink; statistics count the frames the handle saw and sent, as the
// virtual bus does, and the error counters and bus state come from the interface.
//
// Locking: the table lock guards the handle slots and the per-channel access, briefly; each
// handle has its own lock, so that one channel's netlink round trips never hold up another
// channel's reads; the link lock orders the changes this process makes to the interfaces.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "bit_timing.h"
#include "canlib.h"
#include "frame_bits.h"
#include "socketcan_clock.h"
#include "socketcan_netlink.h"
#include "socketcan_notifier.h"
#include "socketcan_port.h"

namespace vcan {

// Handles of this backend follow those of the virtual bus.
constexpr int kSocketHandleBase = 64;
constexpr int kMaxSocketHandles = 64;

inline bool IsSocketCanHandle(int hnd) {
    return hnd >= kSocketHandleBase && hnd < kSocketHandleBase + kMaxSocketHandles;
}

// Where the handles of a channel go: a network interface, a socket standing in for the CAN
// socket, or both (the interface's link then still managed).
struct SocketCanTarget {
    std::string interface;
    int standInFd = -1;
    bool txAck = false;
    Stuffing stuffing = Stuffing::kWorstCase;
};

// Bit timing as the kernel takes it for a controller of `clockHz`: time quanta and segments
// when the rate is exact at that clock with these quanta, else the bit rate and the sample
// point for the kernel to fit (clockHz 0: unknown).
can_bittiming KernelTiming(const BitTiming& timing, uint32_t clockHz);
// Sample point of a timing in tenths of a percent.
uint32_t SamplePoint(const BitTiming& timing);
// Whether the interface's timing already is the requested one: the same bit rate and a sample
// point within one percent.
bool SameTiming(const can_bittiming& current, const BitTiming& wanted);

// One line on stderr about a channel: "libcanlib: CANn: ...".
void SayChannel(int channel, const char* format, ...) __attribute__((format(printf, 2, 3)));

class SocketCanBus {
public:
    // `links`: the interface operations; the kernel's when null. Not owned.
    explicit SocketCanBus(LinkControl* links = nullptr) : links_(links ? *links : kernel_) {}
    ~SocketCanBus() { CloseAll(); }
    SocketCanBus(const SocketCanBus&) = delete;
    SocketCanBus& operator=(const SocketCanBus&) = delete;

    int Open(int channel, const SocketCanTarget& target, int flags);
    int Close(int hnd);
    // Closes every handle and ends the notification thread.
    void CloseAll();

    int BusOn(int hnd);
    int BusOff(int hnd);
    int ResetBus(int hnd);
    int SetBusParams(int hnd, long freq, unsigned tseg1, unsigned tseg2, unsigned sjw,
                     unsigned noSamp);
    int SetBusParamsFd(int hnd, long freq, unsigned tseg1, unsigned tseg2, unsigned sjw);
    int Accept(int hnd, long envelope, unsigned flag);
    int ReadErrorCounters(int hnd, unsigned* txErr, unsigned* rxErr, unsigned* ovErr);
    int Write(int hnd, long id, const void* msg, unsigned dlc, unsigned flags);
    int Read(int hnd, long* id, void* msg, unsigned* dlc, unsigned* flags, unsigned long* time);
    int IoCtl(int hnd, unsigned func, void* buf, unsigned buflen);
    unsigned long ReadTimer(int hnd);
    int RequestStatistics(int hnd);
    int GetStatistics(int hnd, canBusStatistics* stat, size_t bufsiz);
    int SetTimer(int hnd, unsigned long value);

    // One line about the target: the interface, its link and CAN state and bit rates.
    std::string Describe(const SocketCanTarget& target);

private:
    struct Handle {
        std::mutex lock;  // guards everything below
        bool open = true;
        int channel = 0;
        std::string name;  // the interface, or "stand-in"
        int ifindex = 0;   // 0: no interface link to manage
        bool fd = false;
        bool initAccess = false;
        bool txAck = false;
        Stuffing stuffing = Stuffing::kWorstCase;
        SocketCanPort port;
        int eventFd = -1;
        bool onBus = false;
        int64_t openNs = 0;
        uint32_t scaleUs = 1000;
        uint32_t timerOffset = 0;
        StampMapper stamps;
        DropCounter drops;
        RawDatagram batch[SocketCanPort::kBatch];
        int batchCount = 0;
        int batchNext = 0;
        int64_t batchRealNs = 0;  // the two clocks when the batch was read
        int64_t batchMonoNs = 0;
        bool lostFrames = false;  // the next frame read carries the overrun flag
        uint32_t overruns = 0;
        // Told by the interface's error messages.
        ControllerState state = ControllerState::kUnknown;
        bool haveCounters = false;
        unsigned txErr = 0;
        unsigned rxErr = 0;
        Acceptance acceptance;
        // Rates for the bus load: the interface's own where it has them, else those asked for.
        long nominalRate = 0;
        long dataRate = 0;
        uint32_t stdData = 0, stdRemote = 0, extData = 0, extRemote = 0, errFrames = 0;
        uint64_t wireNs = 0;
        int64_t statsSinceNs = 0;
        canBusStatistics snapshot{};
    };
    // What this process did to an interface's link, to undo it when its handles are done.
    struct LinkUse {
        int onBus = 0;           // our handles on the bus on it
        bool broughtUp = false;  // it was down and we brought it up
        bool takenDown = false;  // it was up and we took it down to change its timing
    };
    using HandlePtr = std::shared_ptr<Handle>;

    // The open handle, locked; null (and status) otherwise.
    HandlePtr Lock(int hnd, std::unique_lock<std::mutex>* lock, int* status);
    // fn(handle) under the handle's lock, or the status of an invalid handle.
    template <typename Fn>
    int WithHandle(int hnd, Fn&& fn) {
        std::unique_lock<std::mutex> lock;
        int status = canOK;
        const HandlePtr h = Lock(hnd, &lock, &status);
        return h ? fn(*h) : status;
    }
    int SetTiming(int hnd, BitTiming timing, bool dataPhase);
    int DecodeNext(Handle& h, long* id, void* msg, unsigned* dlc, unsigned* flags,
                   unsigned long* time);
    void CountSent(Handle& h, const KernelFrame& frame);
    void BusOffLocked(Handle& h);
    void CloseLocked(Handle& h);
    // Link changes of the interface: the link lock is taken inside.
    int LinkBusOn(Handle& h);
    void LinkBusOff(Handle& h);
    void LinkRestoreOnClose(Handle& h);
    void RestartIfBusOff(Handle& h);
    int ApplyTiming(Handle& h, const BitTiming& timing, bool dataPhase);
    int TakeLinkDown(Handle& h, const LinkInfo& link);
    void RestoreTakenDown(Handle& h);

    std::mutex mutex_;  // the table below
    HandlePtr handles_[kMaxSocketHandles];
    std::map<int, int> initHolder_;  // channel -> handle holding init access
    std::map<int, int> exclusive_;   // channel -> handle opened exclusively
    LinkControl kernel_;
    LinkControl& links_;
    std::mutex linkMutex_;  // the link changes and `uses_`
    std::map<std::string, LinkUse> uses_;
    ReadyNotifier notifier_;
};

}  // namespace vcan

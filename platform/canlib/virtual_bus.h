// The virtual bus behind the C API: channels, handles, delivery between handles that are on
// the bus at the same bit rates, bus statistics, simulated nodes and flood sources. One
// mutex guards everything; every entry point holds it for one short operation only.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bit_timing.h"
#include "canlib.h"
#include "rx_queue.h"
#include "vcan_config.h"

namespace vcan {

int64_t NowNs();

// A frame travelling on the bus.
struct BusFrame {
    uint32_t id = 0;
    uint32_t flags = 0;  // canMSG_* / canFDMSG_* as sent, without canMSG_STD
    unsigned length = 0;
    const uint8_t* data = nullptr;
    int64_t timeNs = 0;
};

class VirtualBus {
public:
    VirtualBus();
    ~VirtualBus();
    VirtualBus(const VirtualBus&) = delete;
    VirtualBus& operator=(const VirtualBus&) = delete;

    // Reads the scenario of SORVANE_VCAN_CONFIG once; later calls do nothing.
    void Initialize();
    // Closes every handle and stops the simulation; the next call initialises again.
    void Unload();
    // Test control: closes every handle and starts again from `iniText`.
    int Configure(const std::string& iniText);
    int ConfigErrors(char* buf, size_t bufsiz);

    int ChannelCount(int* count);
    // The scenario of a channel, its bus's stuffing rule and whether it is present now;
    // false for a channel that does not exist.
    bool ChannelSetup(int channel, ChannelConfig* config, Stuffing* stuffing, bool* present);
    int Open(int channel, int flags);
    int Close(int hnd);
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

    int InjectFrame(int channel, long id, const void* msg, unsigned dlc, unsigned flags);
    int SetChannelPresent(int channel, int present);
    int SetBusLoad(int channel, long load);
    int SetErrorCounters(int channel, unsigned txErr, unsigned rxErr, unsigned overruns);
    int SetTimer(int hnd, unsigned long value);

private:
    struct Channel {
        ChannelConfig config;
        bool present = true;
        int initHolder = -1;  // handle holding init access
        bool exclusive = false;
        BitTiming nominal;
        BitTiming data{2000000, 15, 4, 4, 1};
        unsigned txErr = 0;
        unsigned rxErr = 0;
        long loadOverride = -1;
    };
    struct PendingFrame {
        uint32_t id;
        uint32_t flags;
        unsigned length;
        uint8_t data[64];
    };
    struct Handle {
        bool used = false;
        int channel = 0;
        bool fd = false;
        bool initAccess = false;
        bool onBus = false;
        bool busOffState = false;
        int64_t openNs = 0;
        uint32_t timerOffset = 0;
        uint32_t scaleUs = 1000;
        RxQueue rx;
        int eventFd = -1;
        bool lostFrames = false;  // the next frame read carries the overrun flag
        uint32_t overruns = 0;
        std::vector<PendingFrame> pending;
        uint32_t codeStd = 0, maskStd = 0, codeExt = 0, maskExt = 0;
        // Counted since the last canResetBus; snapshot taken by canRequestBusStatistics.
        uint32_t stdData = 0, stdRemote = 0, extData = 0, extRemote = 0, errFrames = 0;
        uint64_t wireNs = 0;  // time the bus was busy since the last request
        int64_t statsSinceNs = 0;
        canBusStatistics snapshot{};
        // Flood of the maximum rate: frames handed out since the last empty answer.
        unsigned floodBurst = 0;
        uint32_t floodCounter = 0;
    };
    struct NodeSource {
        int message = -1;  // index into config_.messages; -1: error frames of `node`
        int node = -1;
        int channel = -1;  // flood at a set rate on this channel
        int64_t periodNs = 0;
        int64_t dueNs = 0;
        uint8_t data[64] = {};
        uint32_t counter = 0;
        uint64_t rng = 0;
    };

    void EnsureLocked() {
        if (!initialized_)
            InitializeFromEnvironmentLocked();
    }
    void InitializeFromEnvironmentLocked();
    void InitializeLocked(const std::string& text, const std::string& origin, bool report);
    void CloseAllLocked();
    void StopSimulation(std::unique_lock<std::mutex>& lock);
    void StartSimulationLocked();
    void SimulationThread(uint64_t generation);
    void RunDueLocked(int64_t now, int64_t* nextDue);
    void EmitMessageLocked(NodeSource& src, int64_t timeNs);
    void EmitErrorFrameLocked(int node, int64_t timeNs);
    void EmitFloodLocked(NodeSource& src, int64_t timeNs);

    Handle* Get(int hnd);
    int Usable(int hnd, Handle** out);  // valid handle on a present channel
    int BusOf(const Handle& h) const {
        return channels_[static_cast<size_t>(h.channel)].config.bus;
    }
    const BitTiming& NominalOf(const Handle& h) const {
        return channels_[static_cast<size_t>(h.channel)].nominal;
    }
    const BitTiming& DataOf(const Handle& h) const {
        return channels_[static_cast<size_t>(h.channel)].data;
    }
    bool Listens(const Handle& h, int bus, long nominal, long data, uint32_t flags) const;
    bool NodeListens(const NodeConfig& n, int bus, long nominal, long data, uint32_t flags) const;
    bool Acknowledged(int sender, int bus, long nominal, long data, uint32_t flags) const;
    uint64_t WireNs(const BusFrame& f, long nominal, long data) const;
    // Puts a frame on `bus` at the given rates: every listening handle but `sender` queues
    // it; remote frames are answered by the nodes that answer them. Returns the receivers.
    int DeliverLocked(const BusFrame& f, int bus, long nominal, long data, int sender);
    void QueueLocked(Handle& h, const BusFrame& f, uint32_t extraFlags);
    void CountSeen(Handle& h, const BusFrame& f, uint64_t wireNs);
    void AnswerRemoteLocked(const BusFrame& f, int bus, long nominal, long data);
    void FlushPendingLocked(int bus);
    bool FloodReadLocked(Handle& h);
    void Signal(Handle& h);
    uint32_t Units(const Handle& h, int64_t timeNs) const;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread sim_;
    uint64_t generation_ = 0;  // a simulation thread runs while its generation is current
    bool initialized_ = false;
    VcanConfig config_;
    std::vector<Channel> channels_;
    std::vector<Handle> handles_;
    std::vector<NodeSource> sources_;
};

}  // namespace vcan

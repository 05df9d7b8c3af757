// The virtual bus behind the CAN API: channels, handles, simulated nodes and flood sources.
// One lock guards the whole model; no call waits while holding it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bit_timing.h"
#include "canlib.h"
#include "frame_bits.h"
#include "rx_queue.h"
#include "vcan_config.h"

namespace vcan {

constexpr int kMaxHandles = 64;

struct Frame {
    uint32_t id = 0;
    uint32_t flags = 0;   // canMSG_* / canFDMSG_* as sent
    uint32_t length = 0;  // DLC (classic, 0..15) or byte count (FD)
    uint8_t data[64] = {};
};

struct ChannelState {
    ChannelConfig config;
    bool present = true;
    BitTiming nominal;
    BitTiming data{2000000, 29, 10, 10, 1};
    unsigned txErr = 0;
    unsigned rxErr = 0;
    unsigned long overruns = 0;
    bool busOff = false;
    long loadOverride = -1;
    // Statistics since open or reset, and the snapshot of the last request.
    unsigned long counts[5] = {};  // stdData, stdRemote, extData, extRemote, errFrame
    double busyNs = 0;
    int64_t lastRequestNs = 0;
    canBusStatistics snapshot{};
    int openHandles = 0;
};

struct HandleState {
    bool used = false;
    int channel = -1;
    bool fd = false;
    bool initAccess = false;
    bool exclusive = false;
    bool busOn = false;
    bool lostFrames = false;
    RxQueue rx;
    int eventFd = -1;
    unsigned timerScaleUs = 1000;
    int64_t openNs = 0;
    uint64_t timerOffset = 0;
    uint32_t codeStd = 0, maskStd = 0, codeExt = 0, maskExt = 0;
    std::deque<Frame> pending;
    // Flood source state.
    uint64_t floodSeq = 0;
    unsigned floodBurstLeft = 0;
    int64_t floodStartNs = 0;
};

struct MessageRun {
    int64_t nextNs = 0;
    MessageConfig config;
};

struct NodeRun {
    NodeConfig config;
    int64_t nextErrorNs = 0;
    uint64_t rng = 0;
};

class Bus {
public:
    static Bus& Instance();

    void Initialize();  // from SORVANE_VCAN_CONFIG once
    void Unload();
    canStatus Configure(const std::string& text, const std::string& origin);
    std::string ConfigErrors();
    int ConfigErrorCount();

    canHandle Open(int channel, int flags);
    canStatus Close(canHandle h);
    canStatus BusOn(canHandle h);
    canStatus BusOff(canHandle h);
    canStatus ResetBus(canHandle h);
    canStatus SetBusParams(canHandle h, long freq, unsigned tseg1, unsigned tseg2, unsigned sjw,
                           unsigned noSamp);
    canStatus SetBusParamsFd(canHandle h, long freq, unsigned tseg1, unsigned tseg2, unsigned sjw);
    canStatus Accept(canHandle h, long envelope, unsigned flag);
    canStatus ReadErrorCounters(canHandle h, unsigned* tx, unsigned* rx, unsigned* ov);
    canStatus Write(canHandle h, long id, const void* msg, unsigned dlc, unsigned flag);
    canStatus Read(canHandle h, long* id, void* msg, unsigned* dlc, unsigned* flag,
                   unsigned long* time);
    canStatus IoCtl(canHandle h, unsigned func, void* buf, unsigned buflen);
    canStatus ReadTimer(canHandle h, unsigned long* value);
    canStatus ChannelCount(int* count);
    canStatus RequestStatistics(canHandle h);
    canStatus GetStatistics(canHandle h, canBusStatistics* stat, size_t size);

    // Test controls.
    int InjectFrame(int channel, long id, const void* msg, unsigned dlc, unsigned flags);
    canStatus SetChannelPresent(int channel, bool present);
    canStatus SetBusLoad(int channel, long load);
    canStatus SetErrorCounters(int channel, unsigned tx, unsigned rx, unsigned overruns);
    canStatus SetTimer(canHandle h, unsigned long value);
    canStatus FailNext(const char* entryPoint, int status, int count);
    // True (with the status) when the named entry point is armed to fail now.
    bool Failing(const char* entryPoint, int* status);

private:
    Bus() = default;
    ~Bus();

    void EnsureInitialized();  // lock held
    void ApplyConfig(const VcanConfig& config);
    void CloseAll();
    HandleState* Lookup(canHandle h, canStatus* status);
    uint64_t TimerUnits(const HandleState& h, int64_t ns) const;

    // Puts a frame on the bus of `bus` at the given rates; `sender` (or -1) is the channel
    // that sent it and `senderHandle` the handle not to receive it. Returns the number of
    // channels other than the sender's that took it (the acknowledgers).
    int Deliver(int bus, long nominalRate, long dataRate, const Frame& f, int64_t ns,
                int senderChannel, int senderHandle, bool countSender);
    bool Acknowledged(int bus, long nominalRate, long dataRate, bool fd, int senderChannel) const;
    void QueueFrame(HandleState& h, const Frame& f, int64_t ns);
    void CountFrame(ChannelState& c, const Frame& f, double busyNs);
    double BusyNs(const Frame& f, long nominalRate, long dataRate) const;
    void AnswerRemote(int bus, long nominalRate, uint32_t id, bool extended, int64_t ns);
    void FlushPending(int bus);
    bool FloodFrame(HandleState& h, int64_t ns);

    void StartSimulation();
    void StopSimulation();
    void SimulationLoop();
    int64_t RunSimulation(int64_t now);  // next wake-up time

    std::mutex mutex_;
    bool initialized_ = false;
    VcanConfig config_;
    std::vector<ChannelState> channels_;
    HandleState handles_[kMaxHandles];
    std::vector<NodeRun> nodes_;
    std::vector<MessageRun> messages_;

    struct FailRule {
        std::string name;
        int status = 0;
        int count = 0;
    };
    std::vector<FailRule> failRules_;
    std::atomic<bool> anyFailRule_{false};

    std::thread simulation_;
    std::condition_variable wake_;
    bool stopSimulation_ = false;
};

int64_t NowNs();

}  // namespace vcan

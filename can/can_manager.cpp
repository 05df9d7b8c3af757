#include "can_manager.h"

#include <new>
#include <system_error>
#include <utility>

#include "write_log.h"

namespace {

constexpr int kOpenFlagsClassic = kCanOpenRequireInitAccess | kCanOpenAcceptVirtual;
constexpr int kOpenFlagsClassicShared = kCanOpenNoInitAccess | kCanOpenAcceptVirtual;

}  // namespace

CCanManager::CCanManager(CanConfigProvider config, std::string libraryFile)
    : stopEvent_(os::Event::Create(os::ResetMode::Manual, false)),
      config_(std::move(config)),
      lib_(std::move(libraryFile)) {
    lib_.LoadCanLib();
}

CCanManager::~CCanManager() {
    // Joinable threads must not outlive the manager, whoever forgot the stop.
    EndCommunication();
    Release();
}

void CCanManager::SetConfigProvider(CanConfigProvider config) {
    config_ = std::move(config);
}

void CCanManager::LogCall(int index, const char* entryPoint, int status) const {
    if (status == kCanOk) {
        WriteLog(kLogInfo, "CAN%d [%s] %s\n", index + 1, entryPoint, "succeed.");
    } else {
        WriteLog(kLogError, "CAN%d [%s] %s\n", index + 1, entryPoint,
                 lib_.CanErrorText(status).c_str());
    }
}

void CCanManager::ResetChannelStates(const CanConfig& config) {
    std::lock_guard<std::mutex> hold(lock_);
    for (int i = 0; i < kChannelCount; ++i) {
        ChannelState& ch = channels_[i];
        ch.mode = config.can[i].mode;
        ch.handle = -1;
        ch.active = 0;
        ch.busOn = 0;
        ch.txEvent.Close();
        ch.statsEvent.Close();
        ch.history.Clear();
        // The counters and the peak of the previous run stay; the rate starts afresh.
        ch.previousTime = 0;
        ch.previousTotal = 0;
    }
}

int CCanManager::Start() {
    if (queue_ != nullptr) {
        return connected_;  // already started; the owner stops first
    }
    const CanConfig config = config_ ? config_() : CanConfig{};
    ResetChannelStates(config);
    busLoadThreshold_ = config.busLoadThreshold;
    connected_ = 0;
    failed_.store(false, std::memory_order_release);
    stopping_.store(false, std::memory_order_release);
    stopEvent_.Reset();

    int count = 0;
    if (Api().canGetNumberOfChannels(&count) != kCanOk || count == 0) {
        return 0;
    }
    queue_.reset(new (std::nothrow) CanDataQueue);
    if (queue_ == nullptr) {
        WriteLog(kLogError, "%s\n", "Out of memory: communication not started.");
        return 0;
    }
    for (int i = 0; i < kChannelCount; ++i) {
        if (config.can[i].enabled != 0) {
            StartChannel(i, config.can[i]);
        }
    }
    if (connected_ == 0) {
        // Nothing reached the bus and no stop will follow: leave nothing behind.
        EndCommunication();
    }
    return connected_;
}

void CCanManager::StartChannel(int index, const ChannelSettings& settings) {
    ChannelState& ch = channels_[index];
    const bool fd = settings.mode == kChannelModeCanFd;
    const int canFd = fd ? kCanOpenCanFd : 0;
    int handle = Api().canOpenChannel(index, kOpenFlagsClassic | canFd);
    if (handle < 0) {
        handle = Api().canOpenChannel(index, kOpenFlagsClassicShared | canFd);
    }
    if (handle < 0) {
        LogCall(index, "canOpenChannel", kCanErrInvHandle);
        return;
    }
    ch.handle = handle;
    LogCall(index, "canOpenChannel", kCanOk);

    uint32_t scale = 1;  // time stamps in microseconds
    LogCall(index, "canIoCtl",
            Api().canIoCtl(handle, kCanIoctlSetTimerScale, &scale, sizeof scale));

    if (!StartWorkers(index)) {
        return;
    }

    const BusParams& arb = settings.arbitration;
    if (settings.mode == kChannelModeCan || fd) {
        const int status = Api().canSetBusParams(handle, arb.bitrate, arb.tseg1, arb.tseg2, arb.sjw,
                                                 arb.noSamp, 0);
        LogCall(index, "canSetBusParams", status);
        if (status != kCanOk) {
            return;
        }
    }
    if (fd) {
        const BusParams& dat = settings.data;
        const int status =
            Api().canSetBusParamsFd(handle, dat.bitrate, dat.tseg1, dat.tseg2, dat.sjw);
        LogCall(index, "canSetBusParamsFd", status);
        if (status != kCanOk) {
            return;
        }
    }
    const int status = Api().canBusOn(handle);
    LogCall(index, "canBusOn", status);
    if (status == kCanOk) {
        ch.busOn = 1;
        ch.active = 1;
        connected_ = 1;
    }
}

bool CCanManager::StartWorkers(int index) {
    ChannelState& ch = channels_[index];
    ch.txEvent = os::Event::Create(os::ResetMode::Auto, true);
    ch.statsEvent = os::Event::Create(os::ResetMode::Auto, true);
    if (!ch.txEvent.IsValid() || !ch.statsEvent.IsValid() || !stopEvent_.IsValid()) {
        WriteLog(kLogError, "CAN%d %s\n", index + 1, "No event for the channel's workers.");
        ch.txEvent.Close();
        ch.statsEvent.Close();
        return false;
    }
    try {
        ch.txThread = std::thread(&CCanManager::TransmitWorker, this, index);
        ch.rxThread = std::thread(&CCanManager::ReceiveWorker, this, index);
        ch.statsThread = std::thread(&CCanManager::StatisticsWorker, this, index);
    } catch (const std::system_error& error) {
        WriteLog(kLogError, "CAN%d %s %s\n", index + 1, "No worker thread:", error.what());
        return false;  // the threads that did start end at stop
    }
    return true;
}

void CCanManager::Stop() {
    EndCommunication();
}

void CCanManager::EndCommunication() {
    stopping_.store(true, std::memory_order_release);
    // One manual-reset event wakes every worker, whatever it waits for. The
    // live log stays on until they have ended, so that a frame listed while
    // they stop is in the log as well.
    stopEvent_.Set();
    for (int i = 0; i < kChannelCount; ++i) {
        ChannelState& ch = channels_[i];
        for (std::thread* worker : {&ch.statsThread, &ch.rxThread, &ch.txThread}) {
            if (worker->joinable()) {
                worker->join();
            }
        }
        ch.txEvent.Close();
        ch.statsEvent.Close();
        if (ch.handle >= 0) {
            CloseChannel(i);
        }
        ch.active = 0;
    }
    FrameLogFile closing;
    {
        std::lock_guard<std::mutex> hold(lock_);
        logHookOn_ = false;
        closing = std::move(realtimeLog_);
        realtimeLogOpen_.store(false, std::memory_order_release);
    }
    closing.Close();
    realtimeLogName_.clear();
    queue_.reset();  // queued frames are discarded unsent
    connected_ = 0;
}

void CCanManager::CloseChannel(int index) {
    ChannelState& ch = channels_[index];
    // A channel that never reached the bus is only closed.
    if (ch.active != 0) {
        LogCall(index, "canResetBus", Api().canResetBus(ch.handle));
        const int off = Api().canBusOff(ch.handle);
        LogCall(index, "canBusOff", off);
        if (off == kCanOk) {
            ch.busOn = 0;
        }
    }
    const int closed = Api().canClose(ch.handle);
    LogCall(index, "canClose", closed);
    if (closed == kCanOk) {
        ch.handle = -1;
    }
}

bool CCanManager::ToggleBus(int index) {
    if (!Valid(index) || channels_[index].active == 0 || channels_[index].handle < 0) {
        return false;
    }
    ChannelState& ch = channels_[index];
    if (ch.busOn != 0) {
        const int status = Api().canBusOff(ch.handle);
        LogCall(index, "canBusOff", status);
        if (status == kCanOk)
            ch.busOn = 0;
        return status == kCanOk;
    }
    const int status = Api().canBusOn(ch.handle);
    LogCall(index, "canBusOn", status);
    if (status == kCanOk)
        ch.busOn = 1;
    return status == kCanOk;
}

void CCanManager::ResetCommunication() {
    if (queue_ != nullptr) {
        EndCommunication();
    }
    Release();
    ResetChannelStates(config_ ? config_() : CanConfig{});
    lib_.LoadCanLib();
    std::lock_guard<std::mutex> hold(lock_);
    logHookOn_ = false;
}

void CCanManager::Release() {
    FrameLogFile closing;
    {
        std::lock_guard<std::mutex> hold(lock_);
        closing = std::move(realtimeLog_);
        realtimeLogOpen_.store(false, std::memory_order_release);
        frames_.Clear();
    }
    closing.Close();
    lib_.ReleaseCanLib();
}

int CCanManager::ClearStatistics(int index) {
    if (!Valid(index)) {
        return 1;
    }
    ChannelState& ch = channels_[index];
    if (ch.handle >= 0) {
        const int status = Api().canResetBus(ch.handle);
        if (status != kCanOk) {
            LogCall(index, "canResetBus", status);
            return 0;
        }
    }
    std::lock_guard<std::mutex> hold(lock_);
    ch.stats = ChannelStatistics{};
    ch.history.Clear();
    // The library's counts restart at the reset; so does the rate.
    ch.previousTime = 0;
    ch.previousTotal = 0;
    return 1;
}

void CCanManager::RefreshStatistics() {
    for (ChannelState& ch : channels_) {
        if (ch.statsEvent.IsValid()) {
            ch.statsEvent.Set();
        }
    }
}

void CCanManager::SetRealtimeLog(const std::string& name, LogFormat format) {
    FrameLogFile previous;
    if (!name.empty()) {
        // Opened outside the lock so that no worker waits for the file system.
        FrameLogFile file;
        file.Open(name, format);
        std::lock_guard<std::mutex> hold(lock_);
        previous = std::exchange(realtimeLog_, std::move(file));
        realtimeLogOpen_.store(realtimeLog_.IsOpen(), std::memory_order_release);
        logHookOn_ = true;
    } else {
        std::lock_guard<std::mutex> hold(lock_);
        logHookOn_ = false;
    }
    previous.Close();
    realtimeLogName_ = name;
}

bool CCanManager::SaveFrameList(const std::string& path, const SaveProgress& progress,
                                LogFormat format) const {
    return SaveFrameListToFile(frames_, path, progress, format);
}

bool CCanManager::QueueFrame(const CanFrameRecord& record) {
    if (queue_ == nullptr || !Valid(record.channel) ||
        !channels_[record.channel].txEvent.IsValid()) {
        return false;
    }
    if (!queue_->Push(record)) {
        return false;
    }
    channels_[record.channel].txEvent.Set();
    return true;
}

ChannelStatistics CCanManager::Statistics(int index) const {
    if (!Valid(index))
        return {};
    std::lock_guard<std::mutex> hold(lock_);
    return channels_[index].stats;
}

std::vector<uint32_t> CCanManager::BusLoadHistoryValues(int index) const {
    if (!Valid(index))
        return {};
    std::lock_guard<std::mutex> hold(lock_);
    return channels_[index].history.Values();
}

void CCanManager::ClearBusLoadHistory(int index) {
    if (!Valid(index))
        return;
    std::lock_guard<std::mutex> hold(lock_);
    channels_[index].history.Clear();
}

bool CCanManager::SeedBusLoadHistory(int index, uint32_t busLoad) {
    if (!Valid(index))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    channels_[index].history.Clear();
    try {
        channels_[index].history.Push(busLoad);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

size_t CCanManager::ClearFrames() {
    std::lock_guard<std::mutex> hold(lock_);
    const size_t cleared = frames_.Size();
    frames_.Clear();
    return cleared;
}

std::vector<MessageInfoEntry> CCanManager::MessageInfo() const {
    std::lock_guard<std::mutex> hold(lock_);
    return messageInfo_.Entries();
}

size_t CCanManager::MessageInfoRows(size_t first, size_t max,
                                    std::vector<MessageInfoEntry>& out) const {
    out.clear();
    std::lock_guard<std::mutex> hold(lock_);
    messageInfo_.Rows(first, max, out);
    return messageInfo_.Size();
}

size_t CCanManager::MessageInfoCount() const {
    std::lock_guard<std::mutex> hold(lock_);
    return messageInfo_.Size();
}

void CCanManager::ClearMessageInfo() {
    std::lock_guard<std::mutex> hold(lock_);
    messageInfo_.Clear();
}

void CCanManager::SetFrameListLimit(size_t maxRecords) {
    std::lock_guard<std::mutex> hold(lock_);
    frames_.SetLimit(maxRecords);
}

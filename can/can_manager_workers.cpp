// The three workers of a running channel. Each waits on its own event and on
// the stop event, holds the manager lock for one frame or one statistics pass,
// and never waits inside it. The live log's lines of what a worker took in one
// go are written together before the worker waits again.

#include <array>
#include <cstring>
#include <new>

#include "can_manager.h"
#include "write_log.h"

namespace {

// A burst of this many frames marks a busy bus (a few kilo-frames a second).
constexpr size_t kBusyBurstFrames = 16;
constexpr int kBusyPauseMs = 5;

// Waits for the worker's own event or for stop; true when the worker should go on.
bool WaitForWork(os::Event& own, os::Event& stop) {
    std::array<os::Event*, 2> events{&own, &stop};
    return os::WaitAny(events) == 0;
}

}  // namespace

bool CCanManager::RecordFrame(uint8_t direction, int index, const CanFrameRecord& record) {
    const uint8_t channel = static_cast<uint8_t>(index);
    if (direction == kDirectionReceived) {
        if (!frames_.Append(record)) {
            FailOutOfMemory(index, "FrameList");
            return false;
        }
        if (!messageInfo_.Update(direction, channel, record)) {
            FailOutOfMemory(index, "MessageInfoTable");
            return false;
        }
    } else {
        if (!messageInfo_.Update(direction, channel, record)) {
            FailOutOfMemory(index, "MessageInfoTable");
            return false;
        }
        if (!frames_.Append(record)) {
            FailOutOfMemory(index, "FrameList");
            return false;
        }
    }
    if (logHookOn_) {
        // Written once the worker's batch is listed (FlushRealtimeLog); a very
        // long batch is written in parts.
        realtimeLog_.AddFrame(record);
        if (realtimeLog_.Pending() >= kLogBatchBytes) {
            realtimeLog_.Flush();
        }
    }
    return true;
}

void CCanManager::FlushRealtimeLog() {
    if (!realtimeLogOpen_.load(std::memory_order_acquire)) {
        return;
    }
    std::lock_guard<std::mutex> hold(lock_);
    realtimeLog_.Flush();
}

void CCanManager::FailOutOfMemory(int index, const char* container) {
    // Only the first worker to fail reports; every worker then ends and the
    // owner sees Failed() and calls Stop.
    if (!failed_.exchange(true, std::memory_order_acq_rel)) {
        WriteLog(kLogError, "CAN%d [%s] %s\n", index + 1, container,
                 "Out of memory: communication ended.");
    }
    stopping_.store(true, std::memory_order_release);
    stopEvent_.Set();
}

void CCanManager::TransmitWorker(int index) {
    ChannelState& ch = channels_[index];
    const canlib_abi::Handle handle = ch.handle;
    const unsigned int fdFlag = ch.mode == kChannelModeCanFd ? kFdMsgFdf : 0;
    CanDataQueue& queue = *queue_;
    while (WaitForWork(ch.txEvent, stopEvent_) && !Stopping()) {
        CanFrameRecord record;
        // Frames still queued when stop comes are discarded unsent.
        while (!Stopping() && queue.Pop(index, record)) {
            std::lock_guard<std::mutex> hold(lock_);
            const int status = Api().canWrite(handle, static_cast<long>(record.id), record.data,
                                              record.dlc, record.flags | fdFlag);
            ++ch.stats.txCount;
            record.channel = static_cast<uint8_t>(index);
            record.direction = kDirectionTransmitted;
            record.status = status == kCanOk ? kStatusOk : kStatusNg;
            record.timestamp = static_cast<uint32_t>(Api().canReadTimer(handle));
            if (!RecordFrame(kDirectionTransmitted, index, record)) {
                return;
            }
        }
        FlushRealtimeLog();
    }
}

void CCanManager::ReceiveWorker(int index) {
    ChannelState& ch = channels_[index];
    const canlib_abi::Handle handle = ch.handle;
    // The library writes its notification descriptor into an 8-byte field.
    int64_t notification = -1;
    const int status =
        Api().canIoCtl(handle, kCanIoctlGetEventHandle, &notification, sizeof notification);
    if (status != kCanOk) {
        LogCall(index, "canIoCtl", status);
        return;
    }
    // The library owns the descriptor; it is never closed here.
    os::Event rxEvent =
        os::Event::Adopt(static_cast<int>(notification), os::ResetMode::Auto, false);
    CanFrameRecord record;
    std::memset(&record, 0, sizeof record);
    while (WaitForWork(rxEvent, stopEvent_) && !Stopping()) {
        size_t burst = 0;
        for (;;) {
            // The library's types are wider than the record's fields on LP64.
            long id = 0;
            unsigned int dlc = 0;
            unsigned int flags = 0;
            unsigned long time = 0;
            if (Api().canRead(handle, &id, record.data, &dlc, &flags, &time) != kCanOk) {
                break;  // normally no message: the burst is over
            }
            record.id = static_cast<uint32_t>(id);
            record.dlc = dlc;
            record.flags = flags;
            record.timestamp = static_cast<uint32_t>(time);
            record.channel = static_cast<uint8_t>(index);
            record.direction = kDirectionReceived;
            record.status = kStatusOk;
            std::lock_guard<std::mutex> hold(lock_);
            if (!RecordFrame(kDirectionReceived, index, record)) {
                return;
            }
            ++burst;
            if (Stopping()) {
                break;
            }
        }
        // Every line of the burst is in the file before the worker waits again.
        FlushRealtimeLog();
        // On a busy bus the library gathers the next frames into one burst
        // while the worker pauses, instead of waking it for every few; the
        // pause is far below what fills a receive queue, and a stop ends it.
        if (burst >= kBusyBurstFrames) {
            stopEvent_.Wait(kBusyPauseMs);
        }
    }
}

void CCanManager::StatisticsWorker(int index) {
    ChannelState& ch = channels_[index];
    const canlib_abi::Handle handle = ch.handle;
    while (WaitForWork(ch.statsEvent, stopEvent_) && !Stopping()) {
        std::lock_guard<std::mutex> hold(lock_);
        int status = Api().canRequestBusStatistics(handle);
        if (status != kCanOk) {
            // The channel keeps running; its figures stay as they are until restarted.
            LogCall(index, "canRequestBusStatistics", status);
            return;
        }
        ChannelStatistics& st = ch.stats;
        // Read into the library's record (unsigned long fields), then keep 32 bits.
        canlib_abi::BusStatistics bus{st.bus.stdData,   st.bus.stdRemote, st.bus.extData,
                                      st.bus.extRemote, st.bus.errFrame,  st.bus.busLoad,
                                      st.bus.overruns};
        status = Api().canGetBusStatistics(handle, &bus, sizeof bus);
        if (status != kCanOk) {
            LogCall(index, "canGetBusStatistics", status);
        }
        st.bus = BusStatisticsBlock{
            static_cast<uint32_t>(bus.stdData),  static_cast<uint32_t>(bus.stdRemote),
            static_cast<uint32_t>(bus.extData),  static_cast<uint32_t>(bus.extRemote),
            static_cast<uint32_t>(bus.errFrame), static_cast<uint32_t>(bus.busLoad),
            static_cast<uint32_t>(bus.overruns)};
        st.rxTotal = RxTotal(st.bus);
        const uint32_t now = static_cast<uint32_t>(Api().canReadTimer(handle));
        if (ch.previousTime != 0) {
            st.rxPerSecond = RxPerSecond(st.rxTotal, ch.previousTotal, now, ch.previousTime);
        }
        unsigned int txErrors = st.txErrors;
        unsigned int rxErrors = st.rxErrors;
        unsigned int overruns = st.overrunErrors;
        status = Api().canReadErrorCounters(handle, &txErrors, &rxErrors, &overruns);
        if (status != kCanOk) {
            LogCall(index, "canReadErrorCounters", status);
        } else {
            st.txErrors = txErrors;
            st.rxErrors = rxErrors;
            st.overrunErrors = overruns;
        }
        if (BusLoadWarns(st.bus.busLoad, st.busLoadPeak, busLoadThreshold_)) {
            WriteLog(kLogWarning, "CAN%d %s\n", index + 1,
                     BusLoadWarningText(st.bus.busLoad).c_str());
        }
        if (st.bus.busLoad > st.busLoadPeak) {
            st.busLoadPeak = st.bus.busLoad;
        }
        try {
            ch.history.Push(st.bus.busLoad);
        } catch (const std::bad_alloc&) {
            FailOutOfMemory(index, "BusLoadHistory");
            return;
        }
        ch.previousTotal = st.rxTotal;
        ch.previousTime = now;
    }
}

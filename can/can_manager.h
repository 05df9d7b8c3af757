#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "can_config.h"
#include "can_data_queue.h"
#include "can_frame_record.h"
#include "can_lib.h"
#include "channel_state.h"
#include "frame_list.h"
#include "frame_log_file.h"
#include "message_info_table.h"

// Runs up to five CAN or CAN FD channels: opens each enabled one, sets its
// timing, puts it on the bus and runs a transmit, a receive and a statistics
// worker for it. Frames go into the frame list, the message-info table and the
// live log under one hold of the manager lock each. All public operations run
// on the user-interface thread; the workers never wait for it.
class CCanManager {
public:
    // Loads the library (libraryFile as for CCanLib). The provider supplies the
    // channel settings and the bus-load threshold at every start.
    explicit CCanManager(CanConfigProvider config = {}, std::string libraryFile = {});
    ~CCanManager();
    CCanManager(const CCanManager&) = delete;
    CCanManager& operator=(const CCanManager&) = delete;

    void SetConfigProvider(CanConfigProvider config);

    // 1 when at least one channel reached the bus. A start that returns 0
    // leaves nothing running and nothing open.
    int Start();
    // Ends every worker (woken and joined), takes every opened channel off the
    // bus and closes it, closes the live log and discards queued frames.
    void Stop();
    // Bus off when on, bus on when off; false when the library refused or the
    // channel is not running.
    bool ToggleBus(int index);
    // Release, then load the library again. Stops first when communicating.
    void ResetCommunication();
    // Closes the live log, empties the frame list and releases the library.
    void Release();

    // 1 done, 0 when the library refused to reset the channel.
    int ClearStatistics(int index);
    // Wakes every running statistics worker for one pass.
    void RefreshStatistics();
    // Empty name: stop writing lines (the file stays open until stop). The
    // monitor log unless another format is asked for.
    void SetRealtimeLog(const std::string& name, LogFormat format = LogFormat::Monitor);
    const std::string& RealtimeLogName() const { return realtimeLogName_; }
    bool SaveFrameList(const std::string& path, const SaveProgress& progress,
                       LogFormat format = LogFormat::Monitor) const;

    // What the send dialog does: queue the frame for the channel it names and
    // wake that channel's transmit worker. False when that channel does not
    // run or memory ran out.
    bool QueueFrame(const CanFrameRecord& record);

    // Queries for the windows.
    bool Connected() const { return connected_ != 0; }
    // True once a worker ran out of memory: communication has ended and the
    // owner should call Stop.
    bool Failed() const { return failed_.load(std::memory_order_acquire); }
    int32_t Active(int index) const { return Valid(index) ? channels_[index].active : 0; }
    int32_t BusOn(int index) const { return Valid(index) ? channels_[index].busOn : 0; }
    int32_t Handle(int index) const { return Valid(index) ? channels_[index].handle : -1; }
    int32_t Mode(int index) const { return Valid(index) ? channels_[index].mode : 0; }
    bool HasTxEvent(int index) const { return Valid(index) && channels_[index].txEvent.IsValid(); }
    ChannelStatistics Statistics(int index) const;
    std::vector<uint32_t> BusLoadHistoryValues(int index) const;
    void ClearBusLoadHistory(int index);
    // Empties a channel's history and puts busLoad in it as its only value,
    // in one hold of the lock: a statistics pass lands before or after, so
    // the seed is always the oldest value. False when memory ran out.
    bool SeedBusLoadHistory(int index, uint32_t busLoad);

    // The frame list is read without the lock: records below Size() are complete.
    const FrameList& Frames() const { return frames_; }
    // Empties the frame list; returns the number of records it held, taken
    // under the lock so that no frame is counted twice or missed.
    size_t ClearFrames();
    // A copy of the message-info table in display order, taken under the lock.
    std::vector<MessageInfoEntry> MessageInfo() const;
    // Up to max entries from display row first on, copied into out in one walk
    // under the lock; returns the number of entries the table held then.
    size_t MessageInfoRows(size_t first, size_t max, std::vector<MessageInfoEntry>& out) const;
    size_t MessageInfoCount() const;
    void ClearMessageInfo();

    const CCanLib& Lib() const { return lib_; }
    // Lets tests bound the frame list to reach its out-of-memory path.
    void SetFrameListLimit(size_t maxRecords);

private:
    static bool Valid(int index) { return index >= 0 && index < kChannelCount; }
    const CanLibFunctions& Api() const { return lib_.Api(); }
    // One output-log line for a library call of a channel (index 0..4).
    void LogCall(int index, const char* entryPoint, int status) const;
    void ResetChannelStates(const CanConfig& config);
    void StartChannel(int index, const ChannelSettings& settings);
    bool StartWorkers(int index);
    // Wakes and joins every worker, then takes the channels off the bus and
    // closes them; shared by Stop and by a start that failed.
    void EndCommunication();
    void CloseChannel(int index);

    void TransmitWorker(int index);
    void ReceiveWorker(int index);
    void StatisticsWorker(int index);
    // Lists one frame; under the manager lock. False when memory ran out.
    bool RecordFrame(uint8_t direction, int index, const CanFrameRecord& record);
    // Writes the live log's waiting lines; a worker calls it before it waits.
    void FlushRealtimeLog();
    // Ends communication from a worker after memory ran out; under the lock.
    void FailOutOfMemory(int index, const char* container);
    bool Stopping() const { return stopping_.load(std::memory_order_acquire); }

    mutable std::mutex lock_;  // the manager lock
    std::unique_ptr<CanDataQueue> queue_;
    int32_t connected_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> failed_{false};
    // Manual-reset; set by stop so that every worker wakes whatever it waits for.
    os::Event stopEvent_;
    ChannelState channels_[kChannelCount];
    uint32_t busLoadThreshold_ = 80;

    // A batch of log lines is written once it reaches this size.
    static constexpr size_t kLogBatchBytes = 64 * 1024;
    std::string realtimeLogName_;
    FrameLogFile realtimeLog_;  // under the lock
    bool logHookOn_ = false;    // under the lock
    // Whether a live log file is held, so workers without one skip the lock.
    std::atomic<bool> realtimeLogOpen_{false};

    FrameList frames_;
    MessageInfoTable messageInfo_;  // under the lock

    CanConfigProvider config_;
    CCanLib lib_;
};

#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

#include "can_frame_record.h"

// Every frame received or sent since the list was last emptied, in arrival
// order. Records live in fixed-size chunks that never move, and the size is
// published after the record is complete, so the user-interface thread reads
// any record below Size() in place while workers keep appending. Writers are
// serialised by the channel manager's lock; Clear runs under it too.
class FrameList {
public:
    static constexpr size_t kChunkRecords = 16384;
    // Enough directory slots for a billion records; each slot costs 8 bytes.
    static constexpr size_t kMaxChunks = 65536;

    // maxRecords bounds the list below what memory allows (0: no bound of
    // our own); an append beyond it fails like an exhausted allocation.
    explicit FrameList(size_t maxRecords = 0);
    ~FrameList();
    FrameList(const FrameList&) = delete;
    FrameList& operator=(const FrameList&) = delete;

    // Adds a copy at the end. False when no storage could be had; the list is
    // then unchanged.
    bool Append(const CanFrameRecord& record);
    size_t Size() const { return size_.load(std::memory_order_acquire); }
    // The record at index < Size(). The reference stays valid for the life of
    // the list; after Clear its slot is reused by later appends.
    const CanFrameRecord& At(size_t index) const;
    // Size to 0; the chunks are kept for the frames that follow.
    void Clear();

    // Bounds the list (0: no bound of our own); writer side, under the lock.
    void SetLimit(size_t maxRecords);

    // Bytes held for records and the chunk directory.
    size_t StorageBytes() const;

private:
    std::unique_ptr<std::atomic<CanFrameRecord*>[]> chunks_;
    std::atomic<size_t> size_{0};
    size_t chunkCount_ = 0;  // chunks allocated; writer side only
    size_t maxRecords_;
};

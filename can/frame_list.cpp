#include "frame_list.h"

#include <new>

FrameList::FrameList(size_t maxRecords) : chunks_(new std::atomic<CanFrameRecord*>[kMaxChunks]) {
    SetLimit(maxRecords);
    for (size_t i = 0; i < kMaxChunks; ++i) {
        chunks_[i].store(nullptr, std::memory_order_relaxed);
    }
}

FrameList::~FrameList() {
    for (size_t i = 0; i < chunkCount_; ++i) {
        delete[] chunks_[i].load(std::memory_order_relaxed);
    }
}

bool FrameList::Append(const CanFrameRecord& record) {
    const size_t index = size_.load(std::memory_order_relaxed);
    if (index >= maxRecords_) {
        return false;
    }
    const size_t chunk = index / kChunkRecords;
    if (chunk >= chunkCount_) {
        CanFrameRecord* fresh = new (std::nothrow) CanFrameRecord[kChunkRecords];
        if (fresh == nullptr) {
            return false;
        }
        chunks_[chunk].store(fresh, std::memory_order_release);
        ++chunkCount_;
    }
    chunks_[chunk].load(std::memory_order_relaxed)[index % kChunkRecords] = record;
    size_.store(index + 1, std::memory_order_release);
    return true;
}

const CanFrameRecord& FrameList::At(size_t index) const {
    return chunks_[index / kChunkRecords].load(std::memory_order_acquire)[index % kChunkRecords];
}

void FrameList::SetLimit(size_t maxRecords) {
    constexpr size_t kCapacity = kChunkRecords * kMaxChunks;
    maxRecords_ = maxRecords == 0 || maxRecords > kCapacity ? kCapacity : maxRecords;
}

void FrameList::Clear() {
    size_.store(0, std::memory_order_release);
}

size_t FrameList::StorageBytes() const {
    return chunkCount_ * kChunkRecords * sizeof(CanFrameRecord) +
           kMaxChunks * sizeof(std::atomic<CanFrameRecord*>);
}

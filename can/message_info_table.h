#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "can_frame_record.h"

// The latest frame of one identifier, direction and channel.
struct MessageInfoEntry {
    uint32_t flags;
    uint32_t id;
    uint32_t dlc;
    uint32_t timestamp;
    uint8_t channel;
    uint8_t direction;
    uint32_t cycle;  // microseconds since the previous frame of this key, 0 for the first
    uint32_t count;  // frames seen for this key
};

// Ascending keys give the display order: identifier, then transmitted before
// received, then channel. Only the low 16 bits of the identifier take part,
// so 0x123 and 0x10123 share an entry.
constexpr uint32_t MessageInfoKey(uint32_t id, uint8_t direction, uint8_t channel) {
    return ((id & 0xFFFFu) << 16) | (static_cast<uint32_t>(direction) << 8) | channel;
}

// One entry per key; not locked itself: the channel manager's lock guards it.
class MessageInfoTable {
public:
    // False when memory ran out inserting a new key; the table is then unchanged.
    bool Update(uint8_t direction, uint8_t channel, const CanFrameRecord& record);
    size_t Size() const { return entries_.size(); }
    // The entries in key order.
    std::vector<MessageInfoEntry> Entries() const;
    // Appends up to max entries from position first (in key order) to out.
    // out's storage is reused, so a caller that keeps it allocates nothing.
    void Rows(size_t first, size_t max, std::vector<MessageInfoEntry>& out) const;
    // The entry of a key, or null.
    const MessageInfoEntry* Find(uint32_t key) const;
    void Clear() { entries_.clear(); }

private:
    std::map<uint32_t, MessageInfoEntry> entries_;
};

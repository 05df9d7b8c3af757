#include "message_info_table.h"

#include <iterator>
#include <new>

bool MessageInfoTable::Update(uint8_t direction, uint8_t channel, const CanFrameRecord& record) {
    const uint32_t key = MessageInfoKey(record.id, direction, channel);
    auto found = entries_.find(key);
    if (found == entries_.end()) {
        try {
            found = entries_.emplace(key, MessageInfoEntry{}).first;
        } catch (const std::bad_alloc&) {
            return false;
        }
    } else {
        // Unsigned difference: a clock that wrapped still gives the interval.
        found->second.cycle = record.timestamp - found->second.timestamp;
    }
    MessageInfoEntry& entry = found->second;
    entry.flags = record.flags;
    entry.id = record.id;
    entry.dlc = record.dlc;
    entry.timestamp = record.timestamp;
    entry.channel = channel;
    entry.direction = direction;
    ++entry.count;
    return true;
}

std::vector<MessageInfoEntry> MessageInfoTable::Entries() const {
    std::vector<MessageInfoEntry> out;
    out.reserve(entries_.size());
    for (const auto& [key, entry] : entries_) {
        out.push_back(entry);
    }
    return out;
}

void MessageInfoTable::Rows(size_t first, size_t max, std::vector<MessageInfoEntry>& out) const {
    if (max == 0 || first >= entries_.size()) {
        return;
    }
    auto it = std::next(entries_.begin(), static_cast<std::ptrdiff_t>(first));
    for (size_t n = 0; n < max && it != entries_.end(); ++n, ++it) {
        out.push_back(it->second);
    }
}

const MessageInfoEntry* MessageInfoTable::Find(uint32_t key) const {
    const auto found = entries_.find(key);
    return found == entries_.end() ? nullptr : &found->second;
}

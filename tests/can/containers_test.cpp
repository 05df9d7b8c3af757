#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "can/can_data_queue.h"
#include "can/frame_list.h"
#include "can/message_info_table.h"

namespace {

CanFrameRecord Frame(uint32_t id, uint32_t timestamp, uint8_t channel = 0,
                     uint8_t direction = kDirectionReceived) {
    CanFrameRecord r;
    std::memset(&r, 0, sizeof r);
    r.id = id;
    r.dlc = 8;
    r.timestamp = timestamp;
    r.channel = channel;
    r.direction = direction;
    r.status = kStatusOk;
    for (int i = 0; i < 8; ++i)
        r.data[i] = static_cast<uint8_t>(id + i);
    return r;
}

}  // namespace

TEST(FrameList, AppendsAcrossChunksAndKeepsRecordsInPlace) {
    FrameList list;
    const size_t n = FrameList::kChunkRecords * 2 + 7;
    const CanFrameRecord* first = nullptr;
    for (size_t i = 0; i < n; ++i) {
        ASSERT_TRUE(list.Append(Frame(static_cast<uint32_t>(i), static_cast<uint32_t>(i * 10))));
        if (i == 0)
            first = &list.At(0);
    }
    ASSERT_EQ(list.Size(), n);
    // Growth never moves a record the user interface may be reading.
    EXPECT_EQ(first, &list.At(0));
    for (size_t i : {size_t{0}, FrameList::kChunkRecords - 1, FrameList::kChunkRecords, n - 1}) {
        EXPECT_EQ(list.At(i).id, i);
        EXPECT_EQ(list.At(i).timestamp, i * 10);
    }
}

TEST(FrameList, ClearKeepsStorageAndLimitFailsWithoutChange) {
    FrameList list(3);
    for (uint32_t i = 0; i < 3; ++i)
        ASSERT_TRUE(list.Append(Frame(i, i)));
    EXPECT_FALSE(list.Append(Frame(99, 99)));
    EXPECT_EQ(list.Size(), 3u);
    EXPECT_EQ(list.At(2).id, 2u);
    const size_t bytes = list.StorageBytes();
    const CanFrameRecord* slot = &list.At(0);
    list.Clear();
    EXPECT_EQ(list.Size(), 0u);
    EXPECT_EQ(list.StorageBytes(), bytes);
    ASSERT_TRUE(list.Append(Frame(7, 7)));
    EXPECT_EQ(&list.At(0), slot);
    EXPECT_EQ(list.At(0).id, 7u);
}

// The user-interface thread walks the list while a worker appends: every
// record below the published size must be complete.
TEST(FrameList, ConcurrentReaderSeesOnlyCompleteRecords) {
    FrameList list;
    constexpr uint32_t kFrames = 200000;
    std::atomic<bool> done{false};
    std::atomic<uint64_t> bad{0};
    std::thread reader([&] {
        size_t seen = 0;
        while (!done.load() || seen < list.Size()) {
            const size_t size = list.Size();
            for (; seen < size; ++seen) {
                const CanFrameRecord& r = list.At(seen);
                if (r.id != seen || r.timestamp != seen * 3 ||
                    r.data[7] != static_cast<uint8_t>(seen + 7))
                    bad.fetch_add(1);
            }
        }
    });
    for (uint32_t i = 0; i < kFrames; ++i)
        ASSERT_TRUE(list.Append(Frame(i, i * 3)));
    done.store(true);
    reader.join();
    EXPECT_EQ(bad.load(), 0u);
    EXPECT_EQ(list.Size(), kFrames);
}

TEST(CanDataQueue, EachChannelFirstInFirstOutAndOnlyItsOwnFrames) {
    CanDataQueue queue;
    CanFrameRecord out = Frame(0, 0);
    EXPECT_FALSE(queue.Pop(0, out));
    for (uint32_t i = 1; i <= 3; ++i) {
        ASSERT_TRUE(queue.Push(Frame(i, 0, 0)));
        ASSERT_TRUE(queue.Push(Frame(0x100 + i, 0, 4)));
    }
    EXPECT_EQ(queue.Count(), 6u);
    // A channel with nothing queued takes nothing, even with others waiting.
    EXPECT_FALSE(queue.Pop(1, out));
    for (uint32_t i = 1; i <= 3; ++i) {
        ASSERT_TRUE(queue.Pop(4, out));
        EXPECT_EQ(out.id, 0x100 + i);
        EXPECT_EQ(out.channel, 4);
    }
    EXPECT_FALSE(queue.Pop(4, out));
    for (uint32_t i = 1; i <= 3; ++i) {
        ASSERT_TRUE(queue.Pop(0, out));
        EXPECT_EQ(out.id, i);
    }
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_FALSE(queue.Pop(0, out));
    // A record naming no channel is refused, and no lane outside the five exists.
    EXPECT_FALSE(queue.Push(Frame(7, 0, kChannelCount)));
    EXPECT_FALSE(queue.Pop(kChannelCount, out));
    EXPECT_FALSE(queue.Pop(-1, out));
    EXPECT_EQ(queue.Count(), 0u);
}

TEST(CanDataQueue, ProducerAndChannelConsumersLoseNothing) {
    CanDataQueue queue;
    constexpr uint32_t kFrames = 50000;
    std::thread producer([&] {
        for (uint32_t i = 0; i < kFrames; ++i)
            queue.Push(Frame(i, 0, static_cast<uint8_t>(i % 2)));
    });
    std::atomic<uint32_t> wrong{0};
    auto consume = [&](int channel, uint32_t expected) {
        uint32_t next = static_cast<uint32_t>(channel);
        CanFrameRecord out;
        for (uint32_t got = 0; got < expected;) {
            if (queue.Pop(channel, out)) {
                if (out.id != next || out.channel != channel)
                    wrong.fetch_add(1);
                next += 2;
                ++got;
            }
        }
    };
    std::thread other([&] { consume(1, kFrames / 2); });
    consume(0, kFrames / 2);
    producer.join();
    other.join();
    EXPECT_EQ(wrong.load(), 0u);
    EXPECT_EQ(queue.Count(), 0u);
}

TEST(MessageInfoTable, KeyOrderSharesLow16BitsAndSplitsDirections) {
    MessageInfoTable table;
    EXPECT_EQ(MessageInfoKey(0x123, 1, 2), 0x01230102u);
    ASSERT_TRUE(table.Update(kDirectionReceived, 1, Frame(0x123, 100, 1)));
    CanFrameRecord ext = Frame(0x10123, 300, 1);
    ext.flags = kMsgExt;
    ASSERT_TRUE(table.Update(kDirectionReceived, 1, ext));
    EXPECT_EQ(table.Size(), 1u);  // 0x123 and 0x10123 meet under one key
    const MessageInfoEntry* e = table.Find(MessageInfoKey(0x123, kDirectionReceived, 1));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->id, 0x10123u);
    EXPECT_EQ(e->flags, kMsgExt);
    EXPECT_EQ(e->count, 2u);
    EXPECT_EQ(e->cycle, 200u);

    ASSERT_TRUE(table.Update(kDirectionTransmitted, 1, Frame(0x123, 50, 1, kDirectionTransmitted)));
    ASSERT_TRUE(table.Update(kDirectionReceived, 0, Frame(0x124, 50, 0)));
    ASSERT_TRUE(table.Update(kDirectionReceived, 0, Frame(0x123, 50, 0)));
    const auto entries = table.Entries();
    ASSERT_EQ(entries.size(), 4u);
    // Identifier, then transmitted before received, then channel.
    EXPECT_EQ(entries[0].direction, kDirectionTransmitted);
    EXPECT_EQ(entries[1].direction, kDirectionReceived);
    EXPECT_EQ(entries[1].channel, 0);
    EXPECT_EQ(entries[2].channel, 1);
    EXPECT_EQ(entries[3].id, 0x124u);
}

TEST(MessageInfoTable, CycleOfFirstSecondAndWrappedFrames) {
    MessageInfoTable table;
    const uint32_t key = MessageInfoKey(0x7FF, kDirectionReceived, 4);
    ASSERT_TRUE(table.Update(kDirectionReceived, 4, Frame(0x7FF, 0xFFFFF000u, 4)));
    EXPECT_EQ(table.Find(key)->cycle, 0u);
    EXPECT_EQ(table.Find(key)->count, 1u);
    ASSERT_TRUE(table.Update(kDirectionReceived, 4, Frame(0x7FF, 0xFFFFF000u + 10000u, 4)));
    // The clock wrapped: 0xFFFFF000 + 10000 is 0x1710 after the wrap.
    EXPECT_EQ(table.Find(key)->timestamp, 0x1710u);
    EXPECT_EQ(table.Find(key)->cycle, 10000u);
    EXPECT_EQ(table.Find(key)->count, 2u);
    table.Clear();
    EXPECT_EQ(table.Size(), 0u);
    EXPECT_EQ(table.Find(key), nullptr);
}

TEST(MessageInfoTable, RowsCopyAWindowInKeyOrder) {
    MessageInfoTable table;
    for (uint32_t id : {0x500u, 0x100u, 0x300u, 0x200u, 0x400u}) {
        ASSERT_TRUE(table.Update(kDirectionReceived, 0, Frame(id, 0)));
    }
    struct Case {
        size_t first, max;
        std::vector<uint32_t> ids;
    };
    const Case cases[] = {
        {0, 2, {0x100, 0x200}},
        {3, 5, {0x400, 0x500}},
        {4, 1, {0x500}},
        {5, 1, {}},
        {0, 0, {}},
        {99, 3, {}},
        {1, SIZE_MAX, {0x200, 0x300, 0x400, 0x500}},
    };
    std::vector<MessageInfoEntry> out;
    for (const Case& c : cases) {
        out.clear();
        table.Rows(c.first, c.max, out);
        std::vector<uint32_t> ids;
        for (const MessageInfoEntry& e : out)
            ids.push_back(e.id);
        EXPECT_EQ(ids, c.ids) << "first " << c.first << " max " << c.max;
    }
    // Appends: the caller keeps its storage between paints.
    out.assign(1, MessageInfoEntry{});
    table.Rows(0, 1, out);
    EXPECT_EQ(out.size(), 2u);
}

// Entry points called from several threads at once: two writers, three readers waiting on
// their event handles, statistics and error counters polled alongside.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "canlib_api.h"

namespace canlib_test {
namespace {

constexpr int kFramesPerWriter = 20000;

struct ReaderResult {
    int frames[2] = {0, 0};
    int outOfOrder = 0;
    int overrunFlags = 0;
    int badData = 0;
};

void ReadUntilDone(canHandle h, int fd, ReaderResult* r) {
    uint32_t next[2] = {0, 0};
    int idle = 0;
    while (r->frames[0] + r->frames[1] < 2 * kFramesPerWriter && idle < 200) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10) != 1) {
            ++idle;  // a wake-up can be missed only if frames are lost: give up after 2 s
            continue;
        }
        uint64_t counter = 0;
        if (read(fd, &counter, sizeof counter) != 8)
            break;
        idle = 0;
        for (RxFrame f; ReadFrame(h, &f) == canOK;) {
            const int w = f.id == 0x100 ? 0 : f.id == 0x200 ? 1 : -1;
            if (w < 0 || f.dlc != 8) {
                ++r->badData;
                continue;
            }
            uint32_t seq = 0;
            std::memcpy(&seq, f.data, sizeof seq);
            uint32_t check = 0;
            std::memcpy(&check, f.data + 4, sizeof check);
            if (check != ~seq)
                ++r->badData;
            if (seq != next[w])
                ++r->outOfOrder;
            next[w] = seq + 1;
            ++r->frames[w];
            if (f.flags & canMSGERR_SW_OVERRUN)
                ++r->overrunFlags;
        }
    }
}

TEST(CanlibConcurrencyTest, TwoWritersThreeReadersWithEventWaits) {
    CanlibApi& l = Lib();
    ASSERT_NE(l.module, nullptr) << dlerror();
    ASSERT_EQ(l.vcanTestConfigure("[CAN3]\nrx_queue = 65536\n[CAN4]\nrx_queue = 65536\n"
                                  "[CAN5]\nrx_queue = 65536\n"),
              canOK);
    const canHandle w0 = OpenOnBus(0);
    const canHandle w1 = OpenOnBus(1);
    ASSERT_GE(w0, 0);
    ASSERT_GE(w1, 0);
    canHandle readers[3];
    int fds[3];
    for (int i = 0; i < 3; ++i) {
        readers[i] = OpenOnBus(2 + i);
        ASSERT_GE(readers[i], 0);
        uint8_t buf[8];
        ASSERT_EQ(l.canIoCtl(readers[i], canIOCTL_GET_EVENTHANDLE, buf, sizeof buf), canOK);
        int64_t fd = -1;
        std::memcpy(&fd, buf, sizeof fd);
        fds[i] = static_cast<int>(fd);
    }

    ReaderResult results[3];
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back(ReadUntilDone, readers[i], fds[i], &results[i]);
    }
    std::atomic<int> writeFailures{0};
    std::atomic<bool> writing{true};
    auto writer = [&](canHandle h, long id) {
        for (uint32_t seq = 0; seq < kFramesPerWriter; ++seq) {
            uint8_t d[8];
            const uint32_t inv = ~seq;
            std::memcpy(d, &seq, 4);
            std::memcpy(d + 4, &inv, 4);
            canStatus s;
            while ((s = l.canWrite(h, id, d, 8, canMSG_STD)) == canERR_TXBUFOFL) {
                std::this_thread::yield();
            }
            if (s != canOK)
                ++writeFailures;
        }
    };
    std::thread t0(writer, w0, 0x100);
    std::thread t1(writer, w1, 0x200);
    // Statistics, counters, timers and the writers' own queues are used meanwhile.
    std::thread poller([&] {
        while (writing.load()) {
            canBusStatistics st{};
            l.canRequestBusStatistics(readers[0]);
            l.canGetBusStatistics(readers[0], &st, sizeof st);
            unsigned tx = 0, rx = 0, ov = 0;
            l.canReadErrorCounters(w0, &tx, &rx, &ov);
            l.canReadTimer(readers[1]);
            Drain(w0);
            Drain(w1);
        }
    });
    t0.join();
    t1.join();
    for (std::thread& t : threads)
        t.join();
    writing = false;
    poller.join();

    EXPECT_EQ(writeFailures.load(), 0);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(results[i].frames[0], kFramesPerWriter);
        EXPECT_EQ(results[i].frames[1], kFramesPerWriter);
        EXPECT_EQ(results[i].outOfOrder, 0);
        EXPECT_EQ(results[i].badData, 0);
        EXPECT_EQ(results[i].overrunFlags, 0);
        const canBusStatistics st = [&] {
            canBusStatistics s{};
            l.canRequestBusStatistics(readers[i]);
            l.canGetBusStatistics(readers[i], &s, sizeof s);
            return s;
        }();
        EXPECT_EQ(st.stdData, 2u * kFramesPerWriter);
    }
}

TEST(CanlibConcurrencyTest, OpenCloseAndBusChangesWhileTrafficRuns) {
    CanlibApi& l = Lib();
    ASSERT_NE(l.module, nullptr) << dlerror();
    ASSERT_EQ(l.vcanTestConfigure(nullptr), canOK);
    const canHandle tx = OpenOnBus(0);
    ASSERT_GE(tx, 0);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        uint8_t d[8] = {};
        while (!stop.load())
            l.canWrite(tx, 0x10, d, 8, canMSG_STD);
    });
    std::thread churn([&] {
        for (int i = 0; i < 300; ++i) {
            const canHandle h = OpenOnBus(1 + i % 4);
            if (h >= 0) {
                Drain(h);
                l.canBusOff(h);
                l.canClose(h);
            }
        }
    });
    std::thread stats([&] {
        const canHandle h = OpenOnBus(4);
        for (int i = 0; i < 300 && h >= 0; ++i) {
            canBusStatistics st{};
            l.canRequestBusStatistics(h);
            l.canGetBusStatistics(h, &st, sizeof st);
            EXPECT_LE(st.busLoad, 10000u);
            Drain(h);
        }
    });
    churn.join();
    stats.join();
    stop = true;
    writer.join();
    EXPECT_EQ(l.canClose(tx), canOK);
}

}  // namespace
}  // namespace canlib_test

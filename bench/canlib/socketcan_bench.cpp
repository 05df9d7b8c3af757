// The SocketCAN backend's receive and send paths, with a datagram socket pair standing in for
// the CAN socket: a feeder thread plays the kernel. Prints frames per second, the processor
// time per frame of the thread that calls the library, and the wake-ups per burst.
#include <dlfcn.h>
#include <linux/can.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "canlib.h"
#include "canlib_testctl.h"

namespace {

template <typename Fn>
Fn Sym(void* lib, const char* name) {
    return reinterpret_cast<Fn>(dlsym(lib, name));
}

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct Api {
    decltype(&vcanTestConfigure) configure;
    decltype(&vcanTestSocketCanStandIn) standIn;
    decltype(&canOpenChannel) open;
    decltype(&canSetBusParams) setBusParams;
    decltype(&canSetBusParamsFd) setBusParamsFd;
    decltype(&canBusOn) busOn;
    decltype(&canClose) close;
    decltype(&canWrite) write;
    decltype(&canRead) read;
    decltype(&canIoCtl) ioctl;
};

// Opens channel 0 on a fresh socket pair; returns the handle, the peer end in *peer.
canHandle OpenPair(const Api& api, bool fd, int* peer) {
    int sv[2];
    if (socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, sv) != 0)
        return -1;
    api.configure("");
    api.standIn(0, sv[1]);
    ::close(sv[1]);
    *peer = sv[0];
    const canHandle h = api.open(0, fd ? 0x4A0 : 0xA0);
    api.setBusParams(h, 500000, 13, 2, 1, 1, 0);
    if (fd)
        api.setBusParamsFd(h, 2000000, 15, 4, 4);
    api.busOn(h);
    return h;
}

// The receive worker's way: wait for the event, drain with canRead until no message.
void BenchReceive(const Api& api, bool fd, long frames) {
    int peer = -1;
    const canHandle h = OpenPair(api, fd, &peer);
    int64_t event = -1;
    api.ioctl(h, canIOCTL_GET_EVENTHANDLE, &event, sizeof event);
    std::thread feeder([&] {
        canfd_frame k{};
        k.can_id = 0x123;
        k.len = fd ? 64 : 8;
        const size_t size = fd ? CANFD_MTU : CAN_MTU;
        for (long i = 0; i < frames; ++i) {
            std::memcpy(k.data, &i, sizeof i);
            if (send(peer, &k, size, 0) != static_cast<ssize_t>(size))
                break;
        }
    });
    long got = 0;
    long wakeups = 0;
    long data[8] = {};
    long id = 0;
    unsigned dlc = 0, flags = 0;
    unsigned long time = 0;
    const double cpu0 = ThreadCpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    while (got < frames) {
        pollfd p{static_cast<int>(event), POLLIN, 0};
        if (poll(&p, 1, 2000) != 1)
            break;
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(static_cast<int>(event), &count, sizeof count);
        ++wakeups;
        while (api.read(h, &id, data, &dlc, &flags, &time) == canOK)
            ++got;
    }
    const double wall = Since(t0);
    const double cpu = ThreadCpuSeconds() - cpu0;
    feeder.join();
    std::printf(
        "socket -> canRead (%s):  %6.3f million frames/s, reader %6.0f ns cpu/frame, "
        "%5.1f frames per wake-up (%ld frames)\n",
        fd ? "CAN FD 64 B" : "classic 8 B", static_cast<double>(got) / wall / 1e6,
        cpu / static_cast<double>(got) * 1e9,
        static_cast<double>(got) / static_cast<double>(wakeups ? wakeups : 1), got);
    api.close(h);
    ::close(peer);
}

// The transmit worker's way: one canWrite per frame; a full queue is retried.
void BenchSend(const Api& api, long frames) {
    int peer = -1;
    const canHandle h = OpenPair(api, false, &peer);
    std::atomic<long> drained{0};
    std::thread drain([&] {
        canfd_frame k{};
        while (drained < frames) {
            pollfd p{peer, POLLIN, 0};
            if (poll(&p, 1, 2000) != 1)
                break;
            while (recv(peer, &k, sizeof k, MSG_DONTWAIT) > 0)
                ++drained;
        }
    });
    unsigned char data[8] = {};
    long full = 0;
    const double cpu0 = ThreadCpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    for (long i = 0; i < frames;) {
        std::memcpy(data, &i, sizeof i);
        const int status = api.write(h, 0x321, data, 8, 0);
        if (status == canOK) {
            ++i;
        } else if (status == canERR_TXBUFOFL) {
            ++full;
            std::this_thread::yield();
        } else {
            std::printf("canWrite: status %d\n", status);
            break;
        }
    }
    const double cpu = ThreadCpuSeconds() - cpu0;
    drain.join();
    const double wall = Since(t0);
    std::printf(
        "canWrite -> socket (classic 8 B): %6.3f million frames/s, writer %6.0f ns "
        "cpu/frame, %ld answers of a full queue (%ld frames)\n",
        static_cast<double>(drained) / wall / 1e6, cpu / static_cast<double>(frames) * 1e9, full,
        drained.load());
    api.close(h);
    ::close(peer);
}

}  // namespace

int main() {
    void* lib = dlopen(CANLIB_PATH, RTLD_NOW);
    if (!lib) {
        std::fprintf(stderr, "socketcan_bench: %s\n", dlerror());
        return 1;
    }
    const Api api{Sym<decltype(&vcanTestConfigure)>(lib, "vcanTestConfigure"),
                  Sym<decltype(&vcanTestSocketCanStandIn)>(lib, "vcanTestSocketCanStandIn"),
                  Sym<decltype(&canOpenChannel)>(lib, "canOpenChannel"),
                  Sym<decltype(&canSetBusParams)>(lib, "canSetBusParams"),
                  Sym<decltype(&canSetBusParamsFd)>(lib, "canSetBusParamsFd"),
                  Sym<decltype(&canBusOn)>(lib, "canBusOn"),
                  Sym<decltype(&canClose)>(lib, "canClose"),
                  Sym<decltype(&canWrite)>(lib, "canWrite"),
                  Sym<decltype(&canRead)>(lib, "canRead"),
                  Sym<decltype(&canIoCtl)>(lib, "canIoCtl")};
    constexpr long kFrames = 1000000;
    BenchReceive(api, false, kFrames);
    BenchReceive(api, true, kFrames);
    BenchSend(api, kFrames);
    return 0;
}

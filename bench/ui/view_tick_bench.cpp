// Prints what the statistics tick and the bus-load graph's repaint cost the
// user-interface thread while the virtual bus floods all five channels at
// the bus limit and the main window shows its four view frames. Figures,
// not pass/fail.
//
// usage: bench_view_ticks [ticks [frames-per-second-per-channel]]
//        (defaults 20 ticks, 500 ms apart, and 20000 frames/s, 98 % of the wire)

#include <time.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMdiArea>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "can/can_manager.h"
#include "settings/app_settings.h"
#include "ui/frame/bus_load_frame.h"
#include "ui/frame/frame_backend.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/statistics_frame.h"

namespace {

// Five classic channels at 1 Mbit/s, each flooded with empty data frames at
// about the rate the wire carries.
constexpr int kDefaultFloodRate = 20000;

QByteArray Scenario(int rate) {
    QByteArray text = "[vcan]\nchannels = 5\nstuffing = actual\n";
    for (int c = 1; c <= kChannelCount; ++c) {
        text += QStringLiteral("[CAN%1]\nflood = %2\nflood_length = 0\nflood_id = 0x%3\n")
                    .arg(c)
                    .arg(rate)
                    .arg(0x100 + c, 0, 16)
                    .toLatin1();
    }
    return text;
}
// The monitor's default line limit: the list is emptied beyond it, as the
// monitor does, so that a long run stays within memory.
constexpr size_t kMaxFrames = 65535;

// The program's backend with the real channel manager and an in-memory
// settings record.
class BenchBackend : public CFrameBackend {
public:
    BenchBackend() : manager_([this] { return CanConfigFromSettings(settings_); }) {
        for (ChannelSettings& ch : settings_.can) {
            ch = ChannelSettings{1, kChannelModeCan, {1000000, 13, 2, 1, 1, 0}, {}};
        }
    }
    CCanManager& ManagerRef() { return manager_; }

    bool Connected() const override { return manager_.Connected(); }
    int Start() override { return manager_.Start(); }
    void Stop() override { manager_.Stop(); }
    bool ChannelActive(int i) const override { return manager_.Active(i) != 0; }
    bool ChannelBusOn(int i) const override { return manager_.BusOn(i) != 0; }
    void ToggleBus(int i) override { manager_.ToggleBus(i); }
    void ResetCommunication() override {}
    ChannelSettings Channel(int i) const override { return settings_.can[i]; }
    uint32_t AppLook() const override { return settings_.appLook; }
    void SetAppLook(uint32_t look) override { settings_.appLook = look; }
    void SaveAppLook() override {}
    std::vector<std::string> RecentCandb() const override { return {}; }
    void SetRecentCandb(const std::vector<std::string>&) override {}
    bool NotConfigured() const override { return false; }
    FramePlacement Placement(int i) const override { return {0, 0, 0, 0, 5, i}; }
    void SetPlacement(int, const FramePlacement&) override {}
    std::vector<uint8_t> WindowLayout(const std::string&) const override { return {}; }
    void SetWindowLayout(const std::string&, const std::vector<uint8_t>&) override {}
    bool ImportEnvironment(const std::string&) override { return false; }
    bool ExportEnvironment(const std::string&) override { return false; }
    bool CandbLibraryLoaded() const override { return false; }
    CandbResult OpenCandb(const std::string&) override { return {}; }
    CCanManager* Manager() override { return &manager_; }
    AppSettings* Settings() override { return &settings_; }

private:
    AppSettings settings_;
    CCanManager manager_;
};

void RunEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Wall time and the user-interface thread's own processor time: on a busy
// machine the thread may wait for a processor in the middle of a paint,
// which the wall time counts and the thread time does not.
struct Stamp {
    double wallMs;
    double threadMs;
};

Stamp Now() {
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    const auto wall = std::chrono::steady_clock::now().time_since_epoch();
    return {std::chrono::duration<double, std::milli>(wall).count(),
            cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6};
}

struct Figures {
    std::vector<double> wall;
    std::vector<double> thread;
    void Add(const Stamp& from, const Stamp& to) {
        wall.push_back(to.wallMs - from.wallMs);
        thread.push_back(to.threadMs - from.threadMs);
    }
    static void Line(const char* what, const char* clock, std::vector<double> ms) {
        std::sort(ms.begin(), ms.end());
        double sum = 0;
        for (double v : ms) {
            sum += v;
        }
        const auto at = [&ms](double q) {
            return ms[std::min(ms.size() - 1, static_cast<size_t>(q * ms.size()))];
        };
        std::printf("%-32s %-6s mean %6.3f ms  p50 %6.3f  p90 %6.3f  max %6.3f  (%zu ticks)\n",
                    what, clock, sum / ms.size(), at(0.5), at(0.9), ms.back(), ms.size());
    }
    void Print(const char* what) const {
        Line(what, "thread", thread);
        Line("", "wall", wall);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const int rate = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultFloodRate;
    QTemporaryFile scenario;
    if (!scenario.open() || scenario.write(Scenario(rate)) < 0 || !scenario.flush()) {
        std::printf("cannot write the bus scenario\n");
        return 1;
    }
    qputenv("SORVANE_VCAN_CONFIG", scenario.fileName().toLocal8Bit());
    qputenv("SORVANE_CANLIB", SORVANE_BENCH_CANLIB);

    QApplication app(argc, argv);
    BenchBackend backend;
    CMainFrame frame(&backend);
    if (!frame.Create()) {
        std::printf("main frame not created\n");
        return 1;
    }
    frame.resize(1600, 1000);
    frame.show();
    frame.MdiArea()->tileSubWindows();
    auto* statistics = qobject_cast<CStatisticsFrame*>(frame.ViewFrame(2));
    auto* busLoad = qobject_cast<CBusLoadFrame*>(frame.ViewFrame(1));
    if (statistics == nullptr || busLoad == nullptr) {
        std::printf("view frames missing\n");
        return 1;
    }
    CCanManager& manager = backend.ManagerRef();
    frame.StartCommunication();
    if (!manager.Connected()) {
        std::printf("start failed\n");
        return 1;
    }
    RunEvents(2000);  // the first passes and a full bus

    Figures tick, graph, both;
    size_t frames = 0;
    for (int i = 0; i < ticks; ++i) {
        // The frames' own timers run in between, as in the program.
        RunEvents(500);
        if (manager.Frames().Size() > kMaxFrames) {
            frames += manager.Frames().Size();
            manager.ClearFrames();
        }
        // Each view alone, painted at once...
        const Stamp t0 = Now();
        statistics->OnViewTimer();
        statistics->List()->viewport()->repaint();
        const Stamp t1 = Now();
        busLoad->OnViewTimer();
        busLoad->Graph()->repaint();
        const Stamp t2 = Now();
        tick.Add(t0, t1);
        graph.Add(t1, t2);
        // ...and both ticks as the event loop paints them: one pass over
        // what the ticks invalidated, once the other views' updates are out.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const Stamp t3 = Now();
        statistics->OnViewTimer();
        busLoad->OnViewTimer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const Stamp t4 = Now();
        both.Add(t3, t4);
    }
    frames += manager.Frames().Size();
    std::printf("five channels flooded at %d frames/s each, 1 Mbit/s, all four views shown\n",
                rate);
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelStatistics s = manager.Statistics(c);
        std::printf("CAN%d: %u frames/s, bus load %.2f %% (peak %.2f %%), overruns %u\n", c + 1,
                    s.rxPerSecond, s.bus.busLoad / 100.0, s.busLoadPeak / 100.0, s.overrunErrors);
    }
    std::printf("frames listed during the measured ticks: %zu\n", frames);
    tick.Print("statistics tick + list repaint:");
    graph.Print("bus-load tick + graph repaint:");
    both.Print("both ticks, one paint pass:");
    frame.StopCommunication();
    return 0;
}

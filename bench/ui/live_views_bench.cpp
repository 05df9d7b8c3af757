// The live views at the bus limit, and what painting them costs. Figures, not
// pass/fail.
//
// 1. The whole program (main frame, four view frames, channel manager, our
//    virtual bus in the same process) with five channels at 1 Mbit/s, each fed
//    by a flood source of about 21 000 frames/s, communicating for N seconds
//    with every view frame shown and auto-scroll on. Printed: the longest
//    event-loop stall of the user-interface thread, the process CPU time per
//    second, the user-interface thread's share, where that thread spent its
//    time (per view frame: its timer ticks, its painting and its other events,
//    measured generically for whatever view frames exist), and whether every
//    frame offered is in the frame list or was cleared by the line limit.
// 2. One paint of a screen of monitor rows over 100 and over 10 million
//    records.
// 3. One refresh of the message-info list with 2000 distinct entries.
//
// usage: bench_live_views [seconds] [library-file]
#include <dlfcn.h>
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMdiArea>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "can/can_manager.h"
#include "can/frame_list.h"
#include "can/write_log.h"
#include "res/ids.h"
#include "settings/app_settings.h"
#include "ui/frame/child_frm_base.h"
#include "ui/frame/frame_backend.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/message_info_list.h"
#include "ui/frame/monitor_frame.h"
#include "ui/frame/monitor_list.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// Time the user-interface thread spends handling events, by the view frame
// (or other part) that received them. Nested deliveries (a frame's paint
// inside the main window's repaint) count for the innermost receiver only.
class TimedApp : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (!measuring_) {
            return QApplication::notify(receiver, event);
        }
        const Clock::time_point t0 = Clock::now();
        stack_.push_back(Level{Key(receiver, event), {}});
        const bool result = QApplication::notify(receiver, event);
        const Clock::duration elapsed = Clock::now() - t0;
        const Level level = stack_.back();
        stack_.pop_back();
        costs_[level.key] += elapsed - level.nested;
        if (stack_.empty()) {
            if (elapsed > longestEvent_) {
                longestEvent_ = elapsed;
                longestKey_ = level.key;
            }
        } else {
            stack_.back().nested += elapsed;
        }
        return result;
    }

    // Timer ids of the view frames, so that their ticks count for them.
    void NameTimer(int timerId, const std::string& frame) { timerOwners_[timerId] = frame; }
    void Measure(bool on) { measuring_ = on; }
    const std::map<std::string, Clock::duration>& Costs() const { return costs_; }
    Clock::duration LongestEvent() const { return longestEvent_; }
    const std::string& LongestEventReceiver() const { return longestKey_; }

private:
    struct Level {
        std::string key;
        Clock::duration nested;
    };

    std::string Key(QObject* receiver, QEvent* event) const {
        const char* kind = event->type() == QEvent::Paint ? "paint" : "events";
        if (const auto* timer = qobject_cast<QTimer*>(receiver)) {
            const auto owner = timerOwners_.find(timer->objectName().toInt());
            if (owner != timerOwners_.end() && !timer->objectName().isEmpty()) {
                return owner->second + " / timer " + timer->objectName().toStdString();
            }
        }
        for (QObject* o = receiver; o != nullptr; o = o->parent()) {
            if (qobject_cast<CChildFrmBase*>(o) != nullptr) {
                return o->objectName().toStdString() + " / " + kind;
            }
        }
        return std::string("main window and the rest / ") + kind;
    }

    bool measuring_ = false;
    std::vector<Level> stack_;
    std::map<std::string, Clock::duration> costs_;
    std::map<int, std::string> timerOwners_;
    Clock::duration longestEvent_{};
    std::string longestKey_;
};

// The main frame's view of a channel manager and a settings record.
class BenchBackend : public CFrameBackend {
public:
    BenchBackend(AppSettings& settings, const std::string& library)
        : settings_(settings),
          manager_([this] { return CanConfigFromSettings(settings_); }, library) {}

    bool Connected() const override { return manager_.Connected(); }
    int Start() override { return manager_.Start(); }
    void Stop() override { manager_.Stop(); }
    bool ChannelActive(int index) const override { return manager_.Active(index) != 0; }
    bool ChannelBusOn(int index) const override { return manager_.BusOn(index) != 0; }
    void ToggleBus(int index) override { manager_.ToggleBus(index); }
    void ResetCommunication() override { manager_.ResetCommunication(); }
    ChannelSettings Channel(int index) const override { return settings_.can[index]; }
    uint32_t AppLook() const override { return settings_.appLook; }
    void SetAppLook(uint32_t look) override { settings_.appLook = look; }
    void SaveAppLook() override {}
    std::vector<std::string> RecentCandb() const override { return {}; }
    void SetRecentCandb(const std::vector<std::string>&) override {}
    bool NotConfigured() const override { return false; }
    FramePlacement Placement(int index) const override { return {0, 0, 0, 0, 5, index}; }
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
    AppSettings& settings_;
    CCanManager manager_;
};

uint32_t Counter(const CanFrameRecord& r) {
    uint32_t value = 0;
    std::memcpy(&value, r.data, sizeof value);
    return value;
}

// ---- 1. the whole program at the bus limit --------------------------------

void BusLimit(TimedApp& app, const std::string& library, int seconds) {
    using Configure = int (*)(const char*);
    void* module = dlopen(library.c_str(), RTLD_NOW);
    auto configure =
        module ? reinterpret_cast<Configure>(dlsym(module, "vcanTestConfigure")) : nullptr;
    if (configure == nullptr) {
        std::printf("no test controls in %s\n", library.c_str());
        return;
    }
    // Each channel alone on its bus with its flood source. Frames of four
    // bytes, so that each carries the source's counter: a frame missing
    // between the first and the last one listed shows as a gap.
    constexpr int kFramesPerSecond = 21000;
    std::string ini = "[vcan]\nchannels = 5\n";
    for (int c = 1; c <= kChannelCount; ++c) {
        ini += "[CAN" + std::to_string(c) + "]\nbus = " + std::to_string(c) +
               "\nflood = " + std::to_string(kFramesPerSecond) + "\nflood_length = 4\n";
    }
    configure(ini.c_str());

    AppSettings settings;
    for (ChannelSettings& ch : settings.can) {
        ch = ChannelSettings{1, kChannelModeCan, {1000000, 13, 2, 1, 1, 0}, {}};
    }
    settings.busLoadThreshold = 100;
    BenchBackend backend(settings, library);
    CMainFrame frame(&backend);
    if (!frame.Create()) {
        std::printf("main frame not created\n");
        return;
    }
    frame.resize(1600, 1000);
    frame.show();
    frame.MdiArea()->tileSubWindows();
    for (int i = 0; i < CMainFrame::kViewFrameCount; ++i) {
        if (CChildFrmBase* view = frame.ViewFrame(i)) {
            app.NameTimer(view->Params().timerId, view->objectName().toStdString());
        }
    }
    QApplication::processEvents();
    auto* monitor = static_cast<CMonitorFrame*>(frame.ViewFrame(0));
    CCanManager& manager = *backend.Manager();

    // The probe: a precise timer whose late ticks are the stalls of the loop.
    constexpr int kProbeMs = 5;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(kProbeMs);
    Clock::time_point lastTick;
    Clock::duration longestGap{};
    // The first counter of each channel, read before the line limit clears it.
    std::vector<int64_t> firstCounter(kChannelCount, -1);
    size_t scanned = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        if (lastTick != Clock::time_point{}) {
            longestGap = std::max(longestGap, now - lastTick);
        }
        lastTick = now;
        if (std::count(firstCounter.begin(), firstCounter.end(), -1) == 0) {
            return;
        }
        const FrameList& frames = manager.Frames();
        const size_t size = frames.Size();
        for (; scanned < size; ++scanned) {
            const CanFrameRecord& r = frames.At(scanned);
            if (firstCounter[r.channel] < 0) {
                firstCounter[r.channel] = Counter(r);
            }
        }
    });

    const double cpu0 = ProcessCpuSeconds();
    const double ui0 = ThreadCpuSeconds();
    const Clock::time_point t0 = Clock::now();
    app.Measure(true);
    frame.OnCommand(ID_COMM_START);
    if (!backend.Connected()) {
        std::printf("communication did not start\n");
        return;
    }
    probe.start();
    QTimer::singleShot(seconds * 1000, [&] {
        probe.stop();
        QApplication::exit(0);
    });
    QApplication::exec();
    app.Measure(false);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double cpu = ProcessCpuSeconds() - cpu0;
    const double ui = ThreadCpuSeconds() - ui0;
    frame.OnCommand(ID_COMM_STOP);
    QApplication::processEvents();

    // Every frame from each channel's first listed one to its last is either
    // in the list or was cleared by the line limit.
    const FrameList& frames = manager.Frames();
    std::vector<int64_t> lastCounter(kChannelCount, -1);
    for (size_t i = 0; i < frames.Size(); ++i) {
        const CanFrameRecord& r = frames.At(i);
        lastCounter[r.channel] = std::max<int64_t>(lastCounter[r.channel], Counter(r));
    }
    uint64_t offered = 0;
    for (int c = 0; c < kChannelCount; ++c) {
        if (firstCounter[c] >= 0 && lastCounter[c] >= firstCounter[c]) {
            offered += static_cast<uint64_t>(lastCounter[c] - firstCounter[c] + 1);
        }
    }
    const uint64_t listed = frames.Size();
    const uint64_t cleared = monitor->ClearedRecords();

    std::printf(
        "bus limit: 5 channels at 1 Mbit/s, %d frames/s each (4 data bytes), %.1f s, "
        "every view frame shown, auto-scroll on\n",
        kFramesPerSecond, wall);
    std::printf(
        "  frames offered %llu = %.0f/s; listed %llu + cleared by the line limit %llu "
        "= %llu: %s\n",
        static_cast<unsigned long long>(offered), offered / wall,
        static_cast<unsigned long long>(listed), static_cast<unsigned long long>(cleared),
        static_cast<unsigned long long>(listed + cleared),
        listed + cleared == offered ? "none lost" : "FRAMES LOST");
    std::printf(
        "  longest event-loop stall %.1f ms (probe every %d ms; longest single event "
        "%.1f ms, %s)\n",
        Ms(longestGap) - kProbeMs, kProbeMs, Ms(app.LongestEvent()),
        app.LongestEventReceiver().c_str());
    std::printf("  CPU: process %.3f s/s, user-interface thread %.3f s/s, others %.3f s/s\n",
                cpu / wall, ui / wall, (cpu - ui) / wall);
    std::printf("  user-interface thread time by receiver (ms per second):\n");
    for (const auto& [key, cost] : app.Costs()) {
        std::printf("    %-48s %8.2f\n", key.c_str(), Ms(cost) / wall);
    }
    // The statistics tick (which also wakes the statistics workers) and the
    // graph's repaint both come every 500 ms: their cost per tick.
    const auto frameCost = [&app](const std::string& name) {
        double ms = 0;
        for (const auto& [key, cost] : app.Costs()) {
            if (key.rfind(name + " / ", 0) == 0) {
                ms += Ms(cost);
            }
        }
        return ms;
    };
    const double ticks = wall / 0.5;
    const double statistics = frameCost("CStatisticsFrame") / ticks;
    const double graph = frameCost("CBusLoadFrame") / ticks;
    std::printf(
        "  statistics tick and bus-load graph repaint: %.2f ms per 500 ms tick "
        "(statistics %.2f, graph %.2f)\n",
        statistics + graph, statistics, graph);
}

// ---- 2. and 3. painting ----------------------------------------------------

// Paints a list's rows (its viewport) into an image: what a repaint of the
// list costs, without the window system.
// With tick set, each paint follows the list's timer path (scroll range and
// position), as a refresh does.
// Mean microseconds of one, as thread CPU time (what the machine's other
// load does not change) and as wall time.
struct PaintCost {
    double cpuUs;
    double wallUs;
};

template <typename List>
PaintCost MeanPaint(List* list, int paints, bool tick) {
    QImage target(list->viewport()->size(), QImage::Format_RGB32);
    list->viewport()->render(&target);
    const double cpu0 = ThreadCpuSeconds();
    const Clock::time_point t0 = Clock::now();
    for (int i = 0; i < paints; ++i) {
        if (tick) {
            list->UpdateItemCount();
        }
        list->viewport()->render(&target, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    }
    const double wall = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
    return {(ThreadCpuSeconds() - cpu0) * 1e6 / paints, wall / paints};
}

// A list sized to a screen of rows: its header and 60 rows.
template <typename List>
void SizeForRows(QWidget& owner, List* list, int rows) {
    const int h = list->HeaderHeight() + rows * list->RowHeight();
    owner.resize(900, h + 40);
    list->setGeometry(0, 0, 900, h + 40);
    owner.show();
    QApplication::processEvents();
    list->setGeometry(0, 0, 900, h + 40 + (h - list->viewport()->height()));
    QApplication::processEvents();
}

void MonitorPaint(size_t records) {
    FrameList frames;
    CanFrameRecord r{};
    r.dlc = 8;
    r.direction = 1;
    r.status = 1;
    for (size_t i = 0; i < records; ++i) {
        r.id = static_cast<uint32_t>(i * 2654435761u) & 0x7FF;
        r.timestamp = static_cast<uint32_t>(i * 97);
        r.status = (i % 50) != 0;
        std::memcpy(r.data, &i, sizeof i);
        if (!frames.Append(r)) {
            std::printf("monitor paint: no memory for %zu records\n", records);
            return;
        }
    }
    // A limit above the records, so that the timer path keeps them.
    AppSettings settings;
    settings.monitorMaxLine = records + 1;
    QWidget owner;
    auto* list = new CMonitorList(&owner);
    list->SetSettings(&settings);
    list->SetSource(&frames, [&frames] {
        const size_t n = frames.Size();
        frames.Clear();
        return n;
    });
    list->Create(&owner, CMonitorFrame::kListControlId);
    SizeForRows(owner, list, 60);
    list->UpdateItemCount();
    const PaintCost paint = MeanPaint(list, 300, false);
    const PaintCost refresh = MeanPaint(list, 300, true);
    std::printf(
        "monitor: %d rows over %zu records: one paint %.1f us CPU (%.1f us wall), "
        "with the timer path %.1f us CPU (top row %d)\n",
        list->VisibleRows(), records, paint.cpuUs, paint.wallUs, refresh.cpuUs, list->TopIndex());
}

void MessageInfoPaint(const std::string& library, size_t entries) {
    using Inject = int (*)(int, long, const void*, unsigned, unsigned);
    using Configure = int (*)(const char*);
    void* module = dlopen(library.c_str(), RTLD_NOW);
    auto inject = module ? reinterpret_cast<Inject>(dlsym(module, "vcanTestInjectFrame")) : nullptr;
    auto configure =
        module ? reinterpret_cast<Configure>(dlsym(module, "vcanTestConfigure")) : nullptr;
    if (inject == nullptr || configure == nullptr) {
        return;
    }
    configure("[vcan]\nchannels = 5\n");
    CanConfig config{};
    config.can[0] = ChannelSettings{1, kChannelModeCan, {1000000, 13, 2, 1, 1, 0}, {}};
    config.busLoadThreshold = 100;
    CCanManager manager([config] { return config; }, library);
    if (manager.Start() != 1) {
        std::printf("message info: start failed\n");
        return;
    }
    const uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    // Distinct keys: 16 identifier bits count, so ids 0..entries-1 on one channel.
    for (size_t i = 0; i < entries; ++i) {
        while (inject(0, static_cast<long>(i), data, 8, i < 0x800 ? 0x2 : 0x4) <= 0) {
        }
    }
    while (manager.Frames().Size() < entries) {
        QThread::usleep(100);
    }
    QWidget owner;
    auto* list = new CMessageInfoList(&owner);
    list->SetSource(&manager);
    list->Create(&owner, 59650);
    SizeForRows(owner, list, 60);
    list->UpdateItemCount();  // auto-scroll: the last rows, the longest walk
    const PaintCost refresh = MeanPaint(list, 300, true);
    std::printf(
        "message info: one refresh (timer path + paint of %d rows) with %zu entries: "
        "%.1f us CPU (%.1f us wall) (top row %d)\n",
        list->VisibleRows(), manager.MessageInfoCount(), refresh.cpuUs, refresh.wallUs,
        list->TopIndex());
    manager.Stop();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::string library = argc > 2 ? argv[2] : SORVANE_BENCH_CANLIB;
    TimedApp app(argc, argv);
    SetLogSink([](int, const std::string&) {});
    std::printf("library: %s, platform: %s\n", library.c_str(),
                QGuiApplication::platformName().toUtf8().constData());
    BusLimit(app, library, seconds);
    MonitorPaint(100);
    MonitorPaint(10'000'000);
    MessageInfoPaint(library, 2000);
    SetLogSink({});
    return 0;
}

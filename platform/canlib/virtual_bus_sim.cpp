// The virtual bus's scenario: set-up from the INI file, the simulated nodes running in real
// time, the flood sources and the test controls.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "virtual_bus.h"

namespace vcan {
namespace {

// A simulation that fell this far behind (a stopped process, a starved machine) skips the
// frames it missed instead of sending them all at once.
constexpr int64_t kMaxBacklogNs = 1000000000;
constexpr int kMaxFramesPerSourceAndRun = 100000;
constexpr int64_t kMinSleepNs = 1000000;
constexpr int64_t kIdleSleepNs = 100000000;

uint64_t NextRandom(uint64_t& s) {
    s ^= s >> 12;
    s ^= s << 25;
    s ^= s >> 27;
    return s * 0x2545F4914F6CDD1Dull;
}

// Exponentially distributed interval for events at `rate` per second.
int64_t RandomIntervalNs(uint64_t& rng, double rate) {
    const double u = (static_cast<double>(NextRandom(rng) >> 11) + 1.0) / 9007199254740993.0;
    return static_cast<int64_t>(-std::log(u) / rate * 1e9) + 1;
}

}  // namespace

void VirtualBus::InitializeFromEnvironmentLocked() {
    const char* path = std::getenv("SORVANE_VCAN_CONFIG");
    std::string text;
    std::string origin = "defaults";
    std::vector<std::string> readErrors;
    if (path && *path) {
        origin = path;
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::ostringstream all;
            all << in.rdbuf();
            text = all.str();
        } else {
            readErrors.push_back(origin + ": cannot be read; the default channels are used");
        }
    }
    InitializeLocked(text, origin, true);
    config_.errors.insert(config_.errors.begin(), readErrors.begin(), readErrors.end());
    for (const std::string& e : readErrors)
        std::fprintf(stderr, "libcanlib: %s\n", e.c_str());
}

void VirtualBus::InitializeLocked(const std::string& text, const std::string& origin, bool report) {
    config_.Parse(text, origin);
    if (report) {
        for (const std::string& e : config_.errors)
            std::fprintf(stderr, "libcanlib: %s\n", e.c_str());
    }
    channels_.assign(config_.channels.size(), Channel());
    for (size_t i = 0; i < channels_.size(); ++i) {
        channels_[i].config = config_.channels[i];
        channels_[i].present = config_.channels[i].present;
    }
    initialized_ = true;
    StartSimulationLocked();
}

void VirtualBus::CloseAllLocked() {
    for (Handle& h : handles_) {
        if (h.used && h.eventFd >= 0)
            close(h.eventFd);
    }
    handles_.clear();
    for (Channel& ch : channels_) {
        ch.initHolder = -1;
        ch.exclusive = false;
    }
}

void VirtualBus::StartSimulationLocked() {
    sources_.clear();
    const int64_t start = NowNs();
    for (size_t i = 0; i < config_.messages.size(); ++i) {
        const MessageConfig& m = config_.messages[i];
        NodeSource src;
        src.message = static_cast<int>(i);
        src.node = m.node;
        src.periodNs = static_cast<int64_t>(m.periodMs * 1e6);
        if (m.periodMs > 0 && src.periodNs < 1)
            src.periodNs = 1;
        src.dueNs = src.periodNs > 0 ? start + static_cast<int64_t>(m.offsetMs * 1e6) : INT64_MAX;
        std::memcpy(src.data, m.data, sizeof src.data);
        sources_.push_back(src);
    }
    for (size_t i = 0; i < config_.nodes.size(); ++i) {
        const NodeConfig& n = config_.nodes[i];
        if (n.errorRate <= 0)
            continue;
        NodeSource src;
        src.node = static_cast<int>(i);
        src.rng = (static_cast<uint64_t>(n.seed) + 1) * 0x9E3779B97F4A7C15ull;
        src.dueNs = start + RandomIntervalNs(src.rng, n.errorRate);
        sources_.push_back(src);
    }
    for (size_t c = 0; c < config_.channels.size(); ++c) {
        const FloodConfig& f = config_.channels[c].flood;
        if (f.mode != FloodConfig::Mode::kRate)
            continue;
        NodeSource src;
        src.channel = static_cast<int>(c);
        src.periodNs = std::max<int64_t>(1, static_cast<int64_t>(1e9 / f.rate));
        src.dueNs = start + src.periodNs;
        sources_.push_back(src);
    }
    bool scheduled = false;
    for (const NodeSource& s : sources_)
        scheduled = scheduled || s.dueNs != INT64_MAX;
    if (scheduled && !sim_.joinable()) {
        sim_ = std::thread(&VirtualBus::SimulationThread, this, generation_);
    }
}

void VirtualBus::StopSimulation(std::unique_lock<std::mutex>& lock) {
    ++generation_;
    wake_.notify_all();
    std::thread t = std::move(sim_);
    if (t.joinable()) {
        lock.unlock();
        t.join();
        lock.lock();
    }
}

void VirtualBus::SimulationThread(uint64_t generation) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (generation == generation_) {
        const int64_t now = NowNs();
        int64_t next = now + kIdleSleepNs;
        RunDueLocked(now, &next);
        next = std::max(next, now + kMinSleepNs);
        wake_.wait_until(lock,
                         std::chrono::steady_clock::time_point(std::chrono::nanoseconds(next)));
    }
}

void VirtualBus::RunDueLocked(int64_t now, int64_t* nextDue) {
    for (NodeSource& src : sources_) {
        if (src.dueNs == INT64_MAX)
            continue;
        if (now - src.dueNs > kMaxBacklogNs)
            src.dueNs = now;
        for (int k = 0; src.dueNs <= now && k < kMaxFramesPerSourceAndRun; ++k) {
            if (src.channel >= 0) {
                EmitFloodLocked(src, src.dueNs);
                src.dueNs += src.periodNs;
            } else if (src.message >= 0) {
                EmitMessageLocked(src, src.dueNs);
                src.dueNs += src.periodNs;
            } else {
                EmitErrorFrameLocked(src.node, src.dueNs);
                src.dueNs += RandomIntervalNs(
                    src.rng, config_.nodes[static_cast<size_t>(src.node)].errorRate);
            }
        }
        *nextDue = std::min(*nextDue, src.dueNs);
    }
}

void VirtualBus::EmitMessageLocked(NodeSource& src, int64_t timeNs) {
    MessageConfig& m = config_.messages[static_cast<size_t>(src.message)];
    const NodeConfig& node = config_.nodes[static_cast<size_t>(m.node)];
    BusFrame f;
    f.id = m.id;
    f.flags = (m.extended ? canMSG_EXT : 0) | (m.remoteRequest ? canMSG_RTR : 0) |
              (m.fd ? canFDMSG_FDF : 0) | (m.brs ? canFDMSG_BRS : 0);
    f.length = m.length;
    if (!m.remoteRequest) {
        for (FieldGenerator& g : m.fields)
            g.Apply(src.data);
    }
    f.data = src.data;
    f.timeNs = timeNs;
    DeliverLocked(f, node.bus, node.bitrate, node.dataBitrate, -1);
}

void VirtualBus::EmitErrorFrameLocked(int node, int64_t timeNs) {
    const NodeConfig& n = config_.nodes[static_cast<size_t>(node)];
    BusFrame f{0, canMSG_ERROR_FRAME, 0, nullptr, timeNs};
    DeliverLocked(f, n.bus, n.bitrate, n.dataBitrate, -1);
}

void VirtualBus::EmitFloodLocked(NodeSource& src, int64_t timeNs) {
    const FloodConfig& fc = config_.channels[static_cast<size_t>(src.channel)].flood;
    uint8_t data[64] = {};
    std::memcpy(data, &src.counter, sizeof src.counter);
    ++src.counter;
    BusFrame f{fc.id,
               (fc.extended ? canMSG_EXT : 0u) | (fc.fd ? canFDMSG_FDF : 0u) |
                   (fc.brs ? canFDMSG_BRS : 0u),
               fc.length, data, timeNs};
    for (Handle& h : handles_) {
        if (!h.used || h.channel != src.channel)
            continue;
        if (!Listens(h, BusOf(h), NominalOf(h).bitrate, DataOf(h).bitrate, f.flags))
            continue;
        CountSeen(h, f, WireNs(f, NominalOf(h).bitrate, DataOf(h).bitrate));
        QueueLocked(h, f, 0);
    }
}

bool VirtualBus::FloodReadLocked(Handle& h) {
    const FloodConfig& fc = channels_[static_cast<size_t>(h.channel)].config.flood;
    if (fc.mode != FloodConfig::Mode::kMax)
        return false;
    const uint32_t flags = (fc.extended ? canMSG_EXT : 0u) | (fc.fd ? canFDMSG_FDF : 0u) |
                           (fc.brs ? canFDMSG_BRS : 0u);
    if (!Listens(h, BusOf(h), NominalOf(h).bitrate, DataOf(h).bitrate, flags))
        return false;
    if (h.floodBurst >= fc.burst) {
        // One empty answer ends the reader's burst; the event brings it straight back.
        h.floodBurst = 0;
        Signal(h);
        return false;
    }
    // Frames are made in small batches under one clock reading: the reader takes them faster
    // than the clock would advance between two of them anyway.
    uint8_t data[64] = {};
    const int64_t now = NowNs();
    const long nominal = NominalOf(h).bitrate;
    const long dataRate = DataOf(h).bitrate;
    BusFrame f{fc.id, flags, fc.length, data, now};
    uint64_t wire = WireNs(f, nominal, dataRate);
    const size_t room = h.rx.Capacity() - h.rx.Size();
    const unsigned batch = static_cast<unsigned>(
        std::min<size_t>({size_t{64}, room, static_cast<size_t>(fc.burst - h.floodBurst)}));
    for (unsigned i = 0; i < batch; ++i) {
        std::memcpy(data, &h.floodCounter, sizeof h.floodCounter);
        ++h.floodCounter;
        if (config_.stuffing == Stuffing::kActual)
            wire = WireNs(f, nominal, dataRate);
        CountSeen(h, f, wire);
        QueueLocked(h, f, 0);
    }
    h.floodBurst += batch;
    return !h.rx.Empty();
}

void VirtualBus::Unload() {
    std::unique_lock<std::mutex> lock(mutex_);
    StopSimulation(lock);
    CloseAllLocked();
    initialized_ = false;
}

int VirtualBus::Configure(const std::string& iniText) {
    std::unique_lock<std::mutex> lock(mutex_);
    StopSimulation(lock);
    CloseAllLocked();
    InitializeLocked(iniText, "scenario", false);
    return canOK;
}

int VirtualBus::ConfigErrors(char* buf, size_t bufsiz) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureLocked();
    if (buf && bufsiz > 0) {
        std::string all;
        for (const std::string& e : config_.errors)
            all += e + "\n";
        const size_t n = std::min(all.size(), bufsiz - 1);
        std::memcpy(buf, all.data(), n);
        buf[n] = '\0';
    }
    return static_cast<int>(config_.errors.size());
}

int VirtualBus::InjectFrame(int channel, long id, const void* msg, unsigned dlc, unsigned flags) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureLocked();
    if (channel < 0 || static_cast<size_t>(channel) >= channels_.size())
        return canERR_NOTFOUND;
    if ((flags & canMSG_STD) && (flags & canMSG_EXT))
        return canERR_PARAM;
    if (id < 0 || id > 0x1FFFFFFF || (!(flags & canMSG_EXT) && id > 0x7FF))
        return canERR_PARAM;
    if ((flags & canFDMSG_FDF) ? !IsValidFdLength(dlc) : dlc > 8)
        return canERR_PARAM;
    if (dlc > 0 && !msg && !(flags & (canMSG_RTR | canMSG_ERROR_FRAME)))
        return canERR_PARAM;
    BusFrame f{static_cast<uint32_t>(id),
               flags & (canMSG_RTR | canMSG_EXT | canMSG_ERROR_FRAME | canFDMSG_FDF | canFDMSG_BRS |
                        canFDMSG_ESI),
               (flags & canMSG_ERROR_FRAME) ? 0 : dlc, static_cast<const uint8_t*>(msg), NowNs()};
    int queued = 0;
    for (Handle& h : handles_) {
        if (!h.used || h.channel != channel)
            continue;
        if (!Listens(h, BusOf(h), NominalOf(h).bitrate, DataOf(h).bitrate, f.flags))
            continue;
        CountSeen(h, f, WireNs(f, NominalOf(h).bitrate, DataOf(h).bitrate));
        QueueLocked(h, f, 0);
        ++queued;
    }
    return queued;
}

int VirtualBus::SetChannelPresent(int channel, int present) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureLocked();
    if (channel < 0 || static_cast<size_t>(channel) >= channels_.size())
        return canERR_NOTFOUND;
    channels_[static_cast<size_t>(channel)].present = present != 0;
    return canOK;
}

int VirtualBus::SetBusLoad(int channel, long load) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureLocked();
    if (channel < 0 || static_cast<size_t>(channel) >= channels_.size())
        return canERR_NOTFOUND;
    if (load < -1)
        return canERR_PARAM;
    channels_[static_cast<size_t>(channel)].loadOverride = load;
    return canOK;
}

int VirtualBus::SetErrorCounters(int channel, unsigned txErr, unsigned rxErr, unsigned overruns) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureLocked();
    if (channel < 0 || static_cast<size_t>(channel) >= channels_.size())
        return canERR_NOTFOUND;
    Channel& ch = channels_[static_cast<size_t>(channel)];
    ch.txErr = txErr;
    ch.rxErr = rxErr;
    for (Handle& h : handles_) {
        if (!h.used || h.channel != channel)
            continue;
        h.overruns = overruns;
        if (txErr > 255) {
            h.busOffState = true;
            h.pending.clear();
        }
    }
    return canOK;
}

int VirtualBus::SetTimer(int hnd, unsigned long value) {
    std::lock_guard<std::mutex> lock(mutex_);
    Handle* h = Get(hnd);
    if (!h)
        return canERR_INVHANDLE;
    const uint32_t now = Units(*h, NowNs()) - h->timerOffset;
    h->timerOffset = static_cast<uint32_t>(value) - now;
    return canOK;
}

}  // namespace vcan

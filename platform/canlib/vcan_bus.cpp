#include "vcan_bus.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace vcan {

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

constexpr int64_t kNsPerMs = 1000000;
// A simulation that fell this far behind (a stopped debugger, a suspended machine) skips
// ahead instead of sending the missed frames in one burst.
constexpr int64_t kMaxCatchUpNs = 1000 * kNsPerMs;

unsigned DataBytes(const Frame& f) {
    if (f.flags & (canMSG_RTR | canMSG_ERROR_FRAME))
        return 0;
    if (f.flags & canFDMSG_FDF)
        return f.length;
    return std::min(f.length, 8u);
}

bool IsFd(const Frame& f) {
    return (f.flags & canFDMSG_FDF) != 0;
}

void SignalEvent(int fd) {
    if (fd < 0)
        return;
    const uint64_t one = 1;
    // A full counter or an interrupted write leaves the descriptor readable anyway.
    [[maybe_unused]] ssize_t n = ::write(fd, &one, sizeof one);
}

uint64_t NextRandom(uint64_t* state) {
    uint64_t x = *state;
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    *state = x;
    return x;
}

// Exponentially distributed gap for a mean rate per second.
int64_t RandomGapNs(uint64_t* state, double ratePerSecond) {
    const double u = (static_cast<double>(NextRandom(state) >> 11) + 1.0) / 9007199254740993.0;
    const double seconds = -std::log(u) / ratePerSecond;
    return std::max<int64_t>(1000, static_cast<int64_t>(seconds * 1e9));
}

}  // namespace

Bus& Bus::Instance() {
    // Never destroyed: entry points may still be called from threads at exit.
    static Bus* bus = new Bus();
    return *bus;
}

Bus::~Bus() {
    StopSimulation();
}

void Bus::Initialize() {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureInitialized();
}

void Bus::EnsureInitialized() {
    if (initialized_)
        return;
    VcanConfig config;
    const char* path = std::getenv("SORVANE_VCAN_CONFIG");
    if (path != nullptr && *path != '\0') {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            config.errors.push_back(std::string(path) + ": cannot be read; default channels");
        } else {
            std::stringstream text;
            text << in.rdbuf();
            config.Parse(text.str(), path);
        }
        for (const std::string& e : config.errors)
            std::fprintf(stderr, "vcan: %s\n", e.c_str());
    }
    ApplyConfig(config);
}

void Bus::ApplyConfig(const VcanConfig& config) {
    config_ = config;
    channels_.assign(static_cast<size_t>(config.channelCount), ChannelState());
    for (size_t i = 0; i < channels_.size(); ++i) {
        channels_[i].config = config.channels[i];
        channels_[i].present = config.channels[i].present;
    }
    const int64_t now = NowNs();
    nodes_.clear();
    for (const NodeConfig& n : config.nodes) {
        NodeRun run;
        run.config = n;
        run.rng = 0x9E3779B97F4A7C15ull ^ (static_cast<uint64_t>(n.seed) * 0x100000001B3ull);
        if (run.rng == 0)
            run.rng = 1;
        run.nextErrorNs = n.errorRate > 0 ? now + RandomGapNs(&run.rng, n.errorRate) : 0;
        nodes_.push_back(run);
    }
    messages_.clear();
    for (const MessageConfig& m : config.messages) {
        MessageRun run;
        run.config = m;
        run.nextNs = now + static_cast<int64_t>(m.offsetMs * kNsPerMs);
        messages_.push_back(run);
    }
    initialized_ = true;
}

canStatus Bus::Configure(const std::string& text, const std::string& origin) {
    StopSimulation();
    std::lock_guard<std::mutex> lock(mutex_);
    CloseAll();
    VcanConfig config;
    if (!text.empty())
        config.Parse(text, origin);
    ApplyConfig(config);
    return canOK;
}

std::string Bus::ConfigErrors() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    for (const std::string& e : config_.errors)
        out += e + "\n";
    return out;
}

int Bus::ConfigErrorCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(config_.errors.size());
}

void Bus::CloseAll() {
    for (HandleState& h : handles_) {
        if (h.used) {
            if (h.eventFd >= 0)
                ::close(h.eventFd);
            h = HandleState();
        }
    }
    for (ChannelState& c : channels_)
        c.openHandles = 0;
}

void Bus::Unload() {
    StopSimulation();
    std::lock_guard<std::mutex> lock(mutex_);
    CloseAll();
    initialized_ = false;
}

HandleState* Bus::Lookup(canHandle h, canStatus* status) {
    EnsureInitialized();
    if (h < 0 || h >= kMaxHandles || !handles_[h].used) {
        *status = canERR_INVHANDLE;
        return nullptr;
    }
    HandleState& hs = handles_[h];
    if (!channels_[static_cast<size_t>(hs.channel)].present) {
        *status = canERR_NOTFOUND;
        return nullptr;
    }
    *status = canOK;
    return &hs;
}

uint64_t Bus::TimerUnits(const HandleState& h, int64_t ns) const {
    const int64_t us = (ns - h.openNs) / 1000;
    return static_cast<uint64_t>(us < 0 ? 0 : us) / h.timerScaleUs + h.timerOffset;
}

canHandle Bus::Open(int channel, int flags) {
    std::unique_lock<std::mutex> lock(mutex_);
    EnsureInitialized();
    if (channel < 0 || channel >= static_cast<int>(channels_.size()))
        return canERR_NOTFOUND;
    ChannelState& c = channels_[static_cast<size_t>(channel)];
    if (!c.present)
        return canERR_NOTFOUND;
    if (c.config.isVirtual && !(flags & canOPEN_ACCEPT_VIRTUAL))
        return canERR_NOTFOUND;
    const bool fd = (flags & (canOPEN_CAN_FD | canOPEN_CAN_FD_NONISO)) != 0;
    if (fd && !c.config.fdCapable)
        return canERR_NOT_SUPPORTED;
    bool initTaken = false;
    bool anyOpen = false;
    for (const HandleState& h : handles_) {
        if (h.used && h.channel == channel) {
            anyOpen = true;
            initTaken = initTaken || h.initAccess;
            if (h.exclusive)
                return canERR_NO_ACCESS;
        }
    }
    if ((flags & canOPEN_EXCLUSIVE) && anyOpen)
        return canERR_NO_ACCESS;
    if ((flags & canOPEN_REQUIRE_INIT_ACCESS) && initTaken)
        return canERR_NO_ACCESS;
    int index = -1;
    for (int i = 0; i < kMaxHandles; ++i) {
        if (!handles_[i].used) {
            index = i;
            break;
        }
    }
    if (index < 0)
        return canERR_NOHANDLES;
    HandleState& h = handles_[index];
    h = HandleState();
    if (!h.rx.Reset(c.config.rxQueue))
        return canERR_NOMEM;
    h.eventFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (h.eventFd < 0) {
        h.rx.Release();
        return canERR_NOMEM;
    }
    h.used = true;
    h.channel = channel;
    h.fd = fd;
    h.exclusive = (flags & canOPEN_EXCLUSIVE) != 0;
    h.initAccess = !(flags & canOPEN_NO_INIT_ACCESS) && !initTaken;
    h.openNs = NowNs();
    if (c.openHandles++ == 0) {
        // A controller opened afresh starts its statistics and counters from zero.
        std::memset(c.counts, 0, sizeof c.counts);
        c.busyNs = 0;
        c.lastRequestNs = h.openNs;
        c.snapshot = canBusStatistics{};
        c.txErr = c.rxErr = 0;
        c.overruns = 0;
        c.busOff = false;
    }
    return index;
}

canStatus Bus::Close(canHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureInitialized();
    if (handle < 0 || handle >= kMaxHandles || !handles_[handle].used)
        return canERR_INVHANDLE;
    HandleState& h = handles_[handle];
    --channels_[static_cast<size_t>(h.channel)].openHandles;
    if (h.eventFd >= 0)
        ::close(h.eventFd);
    h = HandleState();
    return canOK;
}

canStatus Bus::BusOn(canHandle handle) {
    bool simulate = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        canStatus s;
        HandleState* h = Lookup(handle, &s);
        if (!h)
            return s;
        ChannelState& c = channels_[static_cast<size_t>(h->channel)];
        c.busOff = false;
        h->busOn = true;
        if (c.config.flood.mode != FloodConfig::Mode::kOff) {
            h->floodBurstLeft = c.config.flood.burst;
            h->floodStartNs = NowNs();
            if (c.config.flood.mode == FloodConfig::Mode::kMax)
                SignalEvent(h->eventFd);
        }
        FlushPending(c.config.bus);
        simulate = !messages_.empty() || !nodes_.empty() ||
                   c.config.flood.mode == FloodConfig::Mode::kRate;
    }
    if (simulate)
        StartSimulation();
    return canOK;
}

canStatus Bus::BusOff(canHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    h->busOn = false;
    h->pending.clear();
    return canOK;
}

canStatus Bus::ResetBus(canHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    ChannelState& c = channels_[static_cast<size_t>(h->channel)];
    c.txErr = c.rxErr = 0;
    c.overruns = 0;
    c.busOff = false;
    for (HandleState& other : handles_) {
        if (other.used && other.channel == h->channel) {
            other.pending.clear();
            other.lostFrames = false;
        }
    }
    return canOK;
}

canStatus Bus::SetBusParams(canHandle handle, long freq, unsigned tseg1, unsigned tseg2,
                            unsigned sjw, unsigned noSamp) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    if (!h->initAccess)
        return canERR_NO_ACCESS;
    BitTiming t{freq, tseg1, tseg2, sjw, noSamp};
    if (freq < 0) {
        if (!PredefinedTiming(freq, Phase::kNominal, h->fd, &t))
            return canERR_PARAM;
    } else if (!IsValidTiming(t, Phase::kNominal) || (!h->fd && freq > 1000000)) {
        return canERR_PARAM;
    }
    ChannelState& c = channels_[static_cast<size_t>(h->channel)];
    c.nominal = t;
    FlushPending(c.config.bus);
    return canOK;
}

canStatus Bus::SetBusParamsFd(canHandle handle, long freq, unsigned tseg1, unsigned tseg2,
                              unsigned sjw) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    if (!h->fd)
        return canERR_PARAM;
    if (!h->initAccess)
        return canERR_NO_ACCESS;
    BitTiming t{freq, tseg1, tseg2, sjw, 1};
    if (freq < 0) {
        if (!PredefinedTiming(freq, Phase::kData, true, &t))
            return canERR_PARAM;
    } else if (!IsValidTiming(t, Phase::kData)) {
        return canERR_PARAM;
    }
    ChannelState& c = channels_[static_cast<size_t>(h->channel)];
    c.data = t;
    FlushPending(c.config.bus);
    return canOK;
}

canStatus Bus::Accept(canHandle handle, long envelope, unsigned flag) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    const uint32_t v = static_cast<uint32_t>(envelope);
    switch (flag) {
        case canFILTER_NULL_MASK:
            h->maskStd = h->maskExt = 0;
            return canOK;
        case canFILTER_SET_CODE_STD:
            h->codeStd = v & 0x7FF;
            return canOK;
        case canFILTER_SET_MASK_STD:
            h->maskStd = v & 0x7FF;
            return canOK;
        case canFILTER_SET_CODE_EXT:
            h->codeExt = v & 0x1FFFFFFF;
            return canOK;
        case canFILTER_SET_MASK_EXT:
            h->maskExt = v & 0x1FFFFFFF;
            return canOK;
        case canFILTER_ACCEPT:
        case canFILTER_REJECT:
            return canERR_NOT_IMPLEMENTED;
        default:
            return canERR_PARAM;
    }
}

canStatus Bus::ReadErrorCounters(canHandle handle, unsigned* tx, unsigned* rx, unsigned* ov) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    const ChannelState& c = channels_[static_cast<size_t>(h->channel)];
    if (tx)
        *tx = c.txErr;
    if (rx)
        *rx = c.rxErr;
    if (ov)
        *ov = static_cast<unsigned>(c.overruns);
    return canOK;
}

double Bus::BusyNs(const Frame& f, long nominalRate, long dataRate) const {
    WireBits bits;
    if (f.flags & canMSG_ERROR_FRAME) {
        bits = ErrorFrameWireBits();
    } else {
        FrameFormat fmt;
        fmt.id = f.id;
        fmt.extended = (f.flags & canMSG_EXT) != 0;
        fmt.remote = (f.flags & canMSG_RTR) != 0;
        fmt.fd = IsFd(f);
        fmt.brs = (f.flags & canFDMSG_BRS) != 0;
        fmt.esi = (f.flags & canFDMSG_ESI) != 0;
        fmt.length = fmt.fd ? f.length : std::min(f.length, 8u);
        bits = FrameWireBits(fmt, f.data, config_.stuffing);
    }
    double ns = bits.nominal * 1e9 / static_cast<double>(nominalRate > 0 ? nominalRate : 500000);
    if (bits.data) {
        const long rate = dataRate > 0 ? dataRate : nominalRate;
        ns += bits.data * 1e9 / static_cast<double>(rate > 0 ? rate : 500000);
    }
    return ns;
}

void Bus::CountFrame(ChannelState& c, const Frame& f, double busyNs) {
    int kind;
    if (f.flags & canMSG_ERROR_FRAME) {
        kind = 4;
    } else {
        const bool ext = (f.flags & canMSG_EXT) != 0;
        const bool rtr = (f.flags & canMSG_RTR) != 0;
        kind = (ext ? 2 : 0) + (rtr ? 1 : 0);
    }
    ++c.counts[kind];
    c.busyNs += busyNs;
}

void Bus::QueueFrame(HandleState& h, const Frame& f, int64_t ns) {
    if (f.flags & canMSG_EXT) {
        if ((f.id & h.maskExt) != (h.codeExt & h.maskExt))
            return;
    } else if (!(f.flags & canMSG_ERROR_FRAME)) {
        if ((f.id & h.maskStd) != (h.codeStd & h.maskStd))
            return;
    }
    const bool wasEmpty = h.rx.Empty();
    if (!h.rx.Push(ns, f.id, f.flags, f.length, DataBytes(f), f.data)) {
        ++channels_[static_cast<size_t>(h.channel)].overruns;
        h.lostFrames = true;
        return;
    }
    // The reader drains until the queue is empty, so only the first frame needs a wake-up.
    if (wasEmpty)
        SignalEvent(h.eventFd);
}

bool Bus::Acknowledged(int bus, long nominalRate, long dataRate, bool fd, int senderChannel) const {
    for (const HandleState& h : handles_) {
        if (!h.used || !h.busOn || h.channel == senderChannel)
            continue;
        const ChannelState& c = channels_[static_cast<size_t>(h.channel)];
        if (!c.present || c.busOff || c.config.bus != bus || c.nominal.bitrate != nominalRate)
            continue;
        if (fd && (!h.fd || c.data.bitrate != dataRate))
            continue;
        return true;
    }
    for (const NodeRun& n : nodes_) {
        if (n.config.bus != bus || n.config.bitrate != nominalRate)
            continue;
        if (fd && n.config.dataBitrate != dataRate)
            continue;
        return true;
    }
    return false;
}

int Bus::Deliver(int bus, long nominalRate, long dataRate, const Frame& f, int64_t ns,
                 int senderChannel, int senderHandle, bool countSender) {
    const bool fd = IsFd(f);
    const double busy = BusyNs(f, nominalRate, dataRate);
    int takers = 0;
    // Each controller counts the frame once, however many handles it has.
    uint64_t counted = 0;
    for (int i = 0; i < kMaxHandles; ++i) {
        HandleState& h = handles_[i];
        if (!h.used || !h.busOn)
            continue;
        ChannelState& c = channels_[static_cast<size_t>(h.channel)];
        if (!c.present || c.busOff || c.config.bus != bus || c.nominal.bitrate != nominalRate)
            continue;
        if (fd && (!h.fd || c.data.bitrate != dataRate))
            continue;
        const uint64_t bit = 1ull << (h.channel % 64);
        if (!(counted & bit)) {
            counted |= bit;
            if (h.channel != senderChannel || countSender)
                CountFrame(c, f, busy);
            if (h.channel != senderChannel)
                ++takers;
        }
        if (i != senderHandle)
            QueueFrame(h, f, ns);
    }
    if (countSender && senderChannel >= 0 && !(counted & (1ull << (senderChannel % 64)))) {
        CountFrame(channels_[static_cast<size_t>(senderChannel)], f, busy);
    }
    return takers;
}

void Bus::AnswerRemote(int bus, long nominalRate, uint32_t id, bool extended, int64_t ns) {
    for (MessageRun& m : messages_) {
        const MessageConfig& mc = m.config;
        if (!mc.answersRemote || mc.id != id || mc.extended != extended || mc.fd)
            continue;
        const NodeConfig& node = nodes_[static_cast<size_t>(mc.node)].config;
        if (node.bus != bus || node.bitrate != nominalRate)
            continue;
        Frame f;
        f.id = mc.id;
        f.flags = mc.extended ? canMSG_EXT : canMSG_STD;
        f.length = mc.length;
        std::memcpy(f.data, mc.data, sizeof f.data);
        for (FieldGenerator& g : m.config.fields)
            g.Apply(f.data);
        Deliver(bus, node.bitrate, node.dataBitrate, f, ns, -1, -1, false);
    }
}

void Bus::FlushPending(int bus) {
    const int64_t now = NowNs();
    for (int i = 0; i < kMaxHandles; ++i) {
        HandleState& h = handles_[i];
        if (!h.used || !h.busOn || h.pending.empty())
            continue;
        ChannelState& c = channels_[static_cast<size_t>(h.channel)];
        if (c.config.bus != bus || c.busOff)
            continue;
        while (!h.pending.empty()) {
            const Frame f = h.pending.front();
            if (!Acknowledged(bus, c.nominal.bitrate, c.data.bitrate, IsFd(f), h.channel))
                break;
            h.pending.pop_front();
            Deliver(bus, c.nominal.bitrate, c.data.bitrate, f, now, h.channel, i, true);
            if (c.config.txAck) {
                Frame ack = f;
                ack.flags |= canMSG_TXACK;
                QueueFrame(h, ack, now);
            }
        }
    }
}

canStatus Bus::Write(canHandle handle, long id, const void* msg, unsigned dlc, unsigned flag) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    ChannelState& c = channels_[static_cast<size_t>(h->channel)];
    if (!h->busOn || c.busOff)
        return canERR_OFF_BUS;
    Frame f;
    const bool ext = (flag & canMSG_EXT) != 0;
    const bool fd = (flag & canFDMSG_FDF) != 0;
    const bool rtr = (flag & canMSG_RTR) != 0;
    const bool err = (flag & canMSG_ERROR_FRAME) != 0;
    if (id < 0 || id > (ext ? 0x1FFFFFFFL : 0x7FFL))
        return canERR_PARAM;
    if ((flag & canFDMSG_BRS) && !fd)
        return canERR_PARAM;
    if (fd) {
        if (!h->fd || rtr || !IsValidFdLength(dlc))
            return canERR_PARAM;
    } else if (dlc > 15) {
        return canERR_PARAM;
    }
    f.id = err ? 0 : static_cast<uint32_t>(id);
    f.flags =
        err ? canMSG_ERROR_FRAME
            : (flag & (canMSG_RTR | canFDMSG_FDF | canFDMSG_BRS)) | (ext ? canMSG_EXT : canMSG_STD);
    f.length = err ? 0 : dlc;
    const unsigned bytes = DataBytes(f);
    if (bytes > 0) {
        if (msg == nullptr)
            return canERR_PARAM;
        std::memcpy(f.data, msg, bytes);
    }
    const int64_t now = NowNs();
    const int bus = c.config.bus;
    if (err) {
        Deliver(bus, c.nominal.bitrate, c.data.bitrate, f, now, h->channel, handle, true);
        return canOK;
    }
    if (!h->pending.empty() ||
        !Acknowledged(bus, c.nominal.bitrate, c.data.bitrate, fd, h->channel)) {
        // Nobody acknowledges: the controller keeps retrying the frame, as on a real bus,
        // and every failed attempt raises the transmit error counter up to error passive.
        if (h->pending.size() >= c.config.txQueue)
            return canERR_TXBUFOFL;
        h->pending.push_back(f);
        c.txErr = std::min(c.txErr + 8, 128u);
        return canOK;
    }
    if (c.txErr > 0 && c.txErr < 256)
        --c.txErr;
    Deliver(bus, c.nominal.bitrate, c.data.bitrate, f, now, h->channel, handle, true);
    if (c.config.txAck) {
        Frame ack = f;
        ack.flags |= canMSG_TXACK;
        QueueFrame(*h, ack, now);
    }
    if (rtr)
        AnswerRemote(bus, c.nominal.bitrate, f.id, ext, now);
    return canOK;
}

bool Bus::FloodFrame(HandleState& h, int64_t ns) {
    ChannelState& c = channels_[static_cast<size_t>(h.channel)];
    const FloodConfig& fl = c.config.flood;
    if (fl.mode == FloodConfig::Mode::kOff || !h.busOn || c.busOff)
        return false;
    if (fl.mode == FloodConfig::Mode::kMax) {
        if (h.floodBurstLeft == 0) {
            // One empty answer after each burst, as a reader that caught up would see;
            // the event stays set so that a waiting reader comes straight back.
            h.floodBurstLeft = fl.burst;
            SignalEvent(h.eventFd);
            return false;
        }
        --h.floodBurstLeft;
    } else {
        const double due = static_cast<double>(ns - h.floodStartNs) * 1e-9 * fl.rate;
        if (static_cast<double>(h.floodSeq) >= due)
            return false;
    }
    Frame f;
    f.id = fl.id;
    f.flags = (fl.extended ? canMSG_EXT : canMSG_STD) | (fl.fd ? canFDMSG_FDF : 0u) |
              (fl.brs ? canFDMSG_BRS : 0u);
    f.length = fl.length;
    const uint64_t seq = h.floodSeq++;
    std::memcpy(f.data, &seq, std::min<unsigned>(8, fl.length));
    // The bus load of a flood is that of back-to-back frames of one format.
    CountFrame(c, f, BusyNs(f, c.nominal.bitrate, c.data.bitrate));
    h.rx.Push(ns, f.id, f.flags, f.length, DataBytes(f), f.data);
    return true;
}

canStatus Bus::Read(canHandle handle, long* id, void* msg, unsigned* dlc, unsigned* flag,
                    unsigned long* time) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    if (id == nullptr || dlc == nullptr || flag == nullptr)
        return canERR_PARAM;
    if (h->rx.Empty() && !FloodFrame(*h, NowNs()))
        return canERR_NOMSG;
    const QueuedFrame* q = h->rx.Front();
    const unsigned bytes = (q->flags & (canMSG_RTR | canMSG_ERROR_FRAME))
                               ? 0
                               : ((q->flags & canFDMSG_FDF) ? q->length : std::min(q->length, 8u));
    if (bytes > 0 && msg == nullptr)
        return canERR_PARAM;
    if (bytes > 0)
        std::memcpy(msg, q->data, bytes);
    *id = static_cast<long>(q->id);
    *dlc = q->length;
    *flag = q->flags;
    if (h->lostFrames) {
        *flag |= canMSGERR_SW_OVERRUN;
        h->lostFrames = false;
    }
    if (time)
        *time = static_cast<unsigned long>(TimerUnits(*h, q->timeNs) & 0xFFFFFFFFull);
    h->rx.PopFront();
    return canOK;
}

canStatus Bus::IoCtl(canHandle handle, unsigned func, void* buf, unsigned buflen) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    switch (func) {
        case canIOCTL_SET_TIMER_SCALE: {
            if (buf == nullptr || buflen < sizeof(uint32_t))
                return canERR_PARAM;
            uint32_t scale;
            std::memcpy(&scale, buf, sizeof scale);
            if (scale == 0)
                return canERR_PARAM;
            // The clock keeps its reading; only the unit changes from now on.
            const int64_t now = NowNs();
            const uint64_t units = TimerUnits(*h, now);
            h->timerScaleUs = scale;
            h->openNs = now;
            h->timerOffset = units * 0;  // a new unit restarts the count, as after open
            return canOK;
        }
        case canIOCTL_GET_EVENTHANDLE: {
            if (buf == nullptr || buflen < sizeof(int64_t))
                return canERR_PARAM;
            const int64_t fd = h->eventFd;
            std::memcpy(buf, &fd, sizeof fd);
            return canOK;
        }
        default:
            return canERR_NOT_IMPLEMENTED;
    }
}

canStatus Bus::ReadTimer(canHandle handle, unsigned long* value) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    *value = static_cast<unsigned long>(TimerUnits(*h, NowNs()) & 0xFFFFFFFFull);
    return canOK;
}

canStatus Bus::ChannelCount(int* count) {
    if (count == nullptr)
        return canERR_PARAM;
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureInitialized();
    *count = static_cast<int>(channels_.size());
    return canOK;
}

canStatus Bus::RequestStatistics(canHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    ChannelState& c = channels_[static_cast<size_t>(h->channel)];
    const int64_t now = NowNs();
    const int64_t interval = now - c.lastRequestNs;
    canBusStatistics& st = c.snapshot;
    st.stdData = c.counts[0];
    st.stdRemote = c.counts[1];
    st.extData = c.counts[2];
    st.extRemote = c.counts[3];
    st.errFrame = c.counts[4];
    st.overruns = c.overruns;
    if (interval > 0) {
        const double load = c.busyNs / static_cast<double>(interval) * 10000.0;
        st.busLoad = static_cast<unsigned long>(std::min(10000.0, std::max(0.0, load + 0.5)));
        c.busyNs = 0;
        c.lastRequestNs = now;
    }
    if (c.loadOverride >= 0)
        st.busLoad = static_cast<unsigned long>(c.loadOverride);
    return canOK;
}

canStatus Bus::GetStatistics(canHandle handle, canBusStatistics* stat, size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    if (stat == nullptr || size < sizeof(canBusStatistics))
        return canERR_PARAM;
    *stat = channels_[static_cast<size_t>(h->channel)].snapshot;
    return canOK;
}

// ---- test controls ---------------------------------------------------------------------

int Bus::InjectFrame(int channel, long id, const void* msg, unsigned dlc, unsigned flags) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureInitialized();
    if (channel < 0 || channel >= static_cast<int>(channels_.size()))
        return canERR_NOTFOUND;
    ChannelState& c = channels_[static_cast<size_t>(channel)];
    const bool fd = (flags & canFDMSG_FDF) != 0;
    const bool ext = (flags & canMSG_EXT) != 0;
    if (id < 0 || id > (ext ? 0x1FFFFFFFL : 0x7FFL))
        return canERR_PARAM;
    if (fd ? !IsValidFdLength(dlc) : dlc > 15)
        return canERR_PARAM;
    Frame f;
    f.id = static_cast<uint32_t>(id);
    f.flags = flags & (canMSG_RTR | canMSG_ERROR_FRAME | canFDMSG_FDF | canFDMSG_BRS |
                       canFDMSG_ESI | canMSG_TXACK);
    f.flags |= ext ? canMSG_EXT : ((flags & canMSG_ERROR_FRAME) ? 0u : canMSG_STD);
    f.length = dlc;
    const unsigned bytes = DataBytes(f);
    if (bytes > 0) {
        if (msg == nullptr)
            return canERR_PARAM;
        std::memcpy(f.data, msg, bytes);
    }
    if (!c.present)
        return 0;
    const int64_t now = NowNs();
    int queued = 0;
    bool counted = false;
    for (HandleState& h : handles_) {
        if (!h.used || h.channel != channel || !h.busOn)
            continue;
        if (fd && !h.fd)
            continue;
        if (!counted) {
            CountFrame(c, f, BusyNs(f, c.nominal.bitrate, c.data.bitrate));
            counted = true;
        }
        const size_t before = h.rx.Size();
        QueueFrame(h, f, now);
        queued += h.rx.Size() > before ? 1 : 0;
    }
    return queued;
}

canStatus Bus::SetChannelPresent(int channel, bool present) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureInitialized();
    if (channel < 0 || channel >= static_cast<int>(channels_.size()))
        return canERR_NOTFOUND;
    channels_[static_cast<size_t>(channel)].present = present;
    return canOK;
}

canStatus Bus::SetBusLoad(int channel, long load) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureInitialized();
    if (channel < 0 || channel >= static_cast<int>(channels_.size()))
        return canERR_NOTFOUND;
    ChannelState& c = channels_[static_cast<size_t>(channel)];
    c.loadOverride = load < 0 ? -1 : load;
    if (load >= 0)
        c.snapshot.busLoad = static_cast<unsigned long>(load);
    return canOK;
}

canStatus Bus::SetErrorCounters(int channel, unsigned tx, unsigned rx, unsigned overruns) {
    std::lock_guard<std::mutex> lock(mutex_);
    EnsureInitialized();
    if (channel < 0 || channel >= static_cast<int>(channels_.size()))
        return canERR_NOTFOUND;
    ChannelState& c = channels_[static_cast<size_t>(channel)];
    c.txErr = tx;
    c.rxErr = rx;
    c.overruns = overruns;
    c.busOff = tx > 255;
    return canOK;
}

canStatus Bus::SetTimer(canHandle handle, unsigned long value) {
    std::lock_guard<std::mutex> lock(mutex_);
    canStatus s;
    HandleState* h = Lookup(handle, &s);
    if (!h)
        return s;
    h->openNs = NowNs();
    h->timerOffset = value;
    return canOK;
}

canStatus Bus::FailNext(const char* entryPoint, int status, int count) {
    if (entryPoint == nullptr || *entryPoint == '\0')
        return canERR_PARAM;
    std::lock_guard<std::mutex> lock(mutex_);
    failRules_.erase(std::remove_if(failRules_.begin(), failRules_.end(),
                                    [&](const FailRule& r) { return r.name == entryPoint; }),
                     failRules_.end());
    if (count != 0)
        failRules_.push_back({entryPoint, status, count});
    anyFailRule_.store(!failRules_.empty(), std::memory_order_release);
    return canOK;
}

bool Bus::Failing(const char* entryPoint, int* status) {
    if (!anyFailRule_.load(std::memory_order_acquire))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < failRules_.size(); ++i) {
        FailRule& r = failRules_[i];
        if (r.name != entryPoint)
            continue;
        *status = r.status;
        if (r.count > 0 && --r.count == 0) {
            failRules_.erase(failRules_.begin() + static_cast<long>(i));
            anyFailRule_.store(!failRules_.empty(), std::memory_order_release);
        }
        return true;
    }
    return false;
}

// ---- simulation ------------------------------------------------------------------------

void Bus::StartSimulation() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (simulation_.joinable())
        return;
    stopSimulation_ = false;
    simulation_ = std::thread([this] { SimulationLoop(); });
}

void Bus::StopSimulation() {
    std::thread worker;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopSimulation_ = true;
        worker.swap(simulation_);
    }
    wake_.notify_all();
    if (worker.joinable())
        worker.join();
}

void Bus::SimulationLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopSimulation_) {
        const int64_t now = NowNs();
        const int64_t next = RunSimulation(now);
        const auto wait = std::chrono::nanoseconds(std::max<int64_t>(next - now, 100000));
        wake_.wait_for(lock, wait);
    }
}

int64_t Bus::RunSimulation(int64_t now) {
    int64_t next = now + 100 * kNsPerMs;
    for (MessageRun& m : messages_) {
        const MessageConfig& mc = m.config;
        if (mc.periodMs <= 0)
            continue;
        const int64_t period =
            std::max<int64_t>(static_cast<int64_t>(mc.periodMs * kNsPerMs), 1000);
        if (now - m.nextNs > kMaxCatchUpNs)
            m.nextNs = now;
        const NodeConfig& node = nodes_[static_cast<size_t>(mc.node)].config;
        while (m.nextNs <= now) {
            Frame f;
            f.id = mc.id;
            f.flags = (mc.extended ? canMSG_EXT : canMSG_STD) |
                      (mc.remoteRequest ? canMSG_RTR : 0u) | (mc.fd ? canFDMSG_FDF : 0u) |
                      (mc.brs ? canFDMSG_BRS : 0u);
            f.length = mc.length;
            if (!mc.remoteRequest) {
                std::memcpy(f.data, mc.data, sizeof f.data);
                for (FieldGenerator& g : m.config.fields)
                    g.Apply(f.data);
            }
            Deliver(node.bus, node.bitrate, node.dataBitrate, f, m.nextNs, -1, -1, false);
            if (mc.remoteRequest) {
                AnswerRemote(node.bus, node.bitrate, mc.id, mc.extended, m.nextNs);
            }
            m.nextNs += period;
        }
        next = std::min(next, m.nextNs);
    }
    for (NodeRun& n : nodes_) {
        if (n.config.errorRate <= 0)
            continue;
        if (now - n.nextErrorNs > kMaxCatchUpNs)
            n.nextErrorNs = now;
        while (n.nextErrorNs <= now) {
            Frame f;
            f.flags = canMSG_ERROR_FRAME;
            Deliver(n.config.bus, n.config.bitrate, n.config.dataBitrate, f, n.nextErrorNs, -1, -1,
                    false);
            for (ChannelState& c : channels_) {
                if (c.config.bus == n.config.bus && c.rxErr < 127)
                    ++c.rxErr;
            }
            n.nextErrorNs += RandomGapNs(&n.rng, n.config.errorRate);
        }
        next = std::min(next, n.nextErrorNs);
    }
    // Rate floods: wake their readers as frames fall due.
    for (HandleState& h : handles_) {
        if (!h.used || !h.busOn)
            continue;
        const FloodConfig& fl = channels_[static_cast<size_t>(h.channel)].config.flood;
        if (fl.mode != FloodConfig::Mode::kRate)
            continue;
        const double due = static_cast<double>(now - h.floodStartNs) * 1e-9 * fl.rate;
        if (h.rx.Empty() && static_cast<double>(h.floodSeq) < due)
            SignalEvent(h.eventFd);
        next = std::min(next, now + kNsPerMs);
    }
    return next;
}

}  // namespace vcan

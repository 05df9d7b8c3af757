// sorvane-cli capture: runs the channel manager without the GUI, prints the
// output log to stderr and the frames to stdout, and the statistics at the end.

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "can/can_manager.h"
#include "can/frame_text.h"
#include "can/log_format.h"
#include "commands.h"
#include "settings/app_settings.h"
#include "settings/settings_store.h"

namespace {

constexpr char kUsage[] =
    "usage: sorvane-cli capture [--channel N[:fd]]... [--bitrate B] [--data-bitrate B]\n"
    "                           [--tseg T1:T2:SJW[:NOSAMP]] [--data-tseg T1:T2:SJW]\n"
    "                           [--threshold PERCENT] [--seconds S] [--log FILE]\n"
    "                           [--save FILE] [--log-format FORMAT] [--quiet]\n"
    "  --channel N[:fd]  run CANN (1..5), classic or CAN FD; repeatable (default: the\n"
    "                    stored channel settings, else CAN1)\n"
    "  --bitrate B       arbitration bit rate in bit/s (default 500000)\n"
    "  --data-bitrate B  CAN FD data-phase bit rate in bit/s (default 2000000)\n"
    "  --tseg, --data-tseg  time segments of the arbitration or data phase\n"
    "                    (default: chosen for the bit rate)\n"
    "  --threshold P     bus-load warning threshold in percent (default 80)\n"
    "  --seconds S       stop after S seconds (default: at Ctrl+C)\n"
    "  --log FILE        write every frame to FILE while capturing\n"
    "  --save FILE       save the whole frame list to FILE at the end\n"
    "  --log-format F    format of the --log and --save files: monitor (default),\n"
    "                    candump (the candump -L log) or asc (the ASC log)\n"
    "  --quiet           do not print the frames\n";

volatile sig_atomic_t interrupted = 0;
void OnSignal(int) {
    interrupted = 1;
}

bool ParseUnsigned(const char* text, unsigned long max, unsigned long* out) {
    if (text == nullptr || *text < '0' || *text > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (errno != 0 || *end != '\0' || v > max)
        return false;
    *out = v;
    return true;
}

// "T1:T2:SJW" or "T1:T2:SJW:NOSAMP".
bool ParseTseg(const char* text, BusParams* params, bool withSamples) {
    unsigned long v[4] = {0, 0, 0, 1};
    std::string rest = text;
    int n = 0;
    while (n < 4) {
        const size_t colon = rest.find(':');
        const std::string part = rest.substr(0, colon);
        if (!ParseUnsigned(part.c_str(), 1024, &v[n]))
            return false;
        ++n;
        if (colon == std::string::npos)
            break;
        rest = rest.substr(colon + 1);
        if (n == 4)
            return false;
    }
    if (n < 3 || (n == 4 && !withSamples))
        return false;
    params->tseg1 = static_cast<uint32_t>(v[0]);
    params->tseg2 = static_cast<uint32_t>(v[1]);
    params->sjw = static_cast<uint32_t>(v[2]);
    params->noSamp = static_cast<uint32_t>(v[3]);
    return true;
}

// A timing for the bit rate on an 80 MHz controller clock with the sample
// point near 80 %: the most quanta per bit that divide the clock evenly.
bool ChooseTiming(int32_t bitrate, BusParams* params) {
    constexpr uint64_t kClock = 80000000;
    for (uint64_t quanta = 80; quanta >= 5; --quanta) {
        const uint64_t perBit = static_cast<uint64_t>(bitrate) * quanta;
        if (perBit == 0 || kClock % perBit != 0 || kClock / perBit > 1024)
            continue;
        const uint32_t tseg2 = static_cast<uint32_t>(quanta / 5 > 0 ? quanta / 5 : 1);
        params->tseg1 = static_cast<uint32_t>(quanta - 1 - tseg2);
        params->tseg2 = tseg2;
        params->sjw = tseg2;
        params->noSamp = 1;
        return true;
    }
    return false;
}

struct Options {
    bool channels[kChannelCount] = {};
    bool fd[kChannelCount] = {};
    bool anyChannel = false;
    BusParams arbitration{500000, 0, 0, 0, 1, 0};
    BusParams data{2000000, 0, 0, 0, 1, 0};
    bool arbitrationTseg = false;
    bool dataTseg = false;
    unsigned long threshold = 80;
    double seconds = 0;
    std::string log;
    std::string save;
    LogFormat logFormat = LogFormat::Monitor;
    bool quiet = false;
};

int Usage(const char* problem) {
    std::fprintf(stderr, "sorvane-cli capture: %s\n%s", problem, kUsage);
    return kExitUsage;
}

int ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needValue = [&]() { return value != nullptr && (++i, true); };
        unsigned long number = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return -1;
        } else if (arg == "--channel") {
            if (!needValue())
                return Usage("--channel needs a channel number");
            std::string v = value;
            bool fd = false;
            if (v.size() > 3 && v.compare(v.size() - 3, 3, ":fd") == 0) {
                fd = true;
                v.resize(v.size() - 3);
            }
            if (!ParseUnsigned(v.c_str(), 5, &number) || number < 1)
                return Usage("--channel takes 1 to 5, optionally followed by :fd");
            o->channels[number - 1] = true;
            o->fd[number - 1] = fd;
            o->anyChannel = true;
        } else if (arg == "--bitrate" || arg == "--data-bitrate") {
            if (!needValue() || !ParseUnsigned(value, 16000000, &number) || number == 0)
                return Usage((arg + " needs a bit rate from 1 to 16000000").c_str());
            (arg == "--bitrate" ? o->arbitration : o->data).bitrate = static_cast<int32_t>(number);
        } else if (arg == "--tseg") {
            if (!needValue() || !ParseTseg(value, &o->arbitration, true))
                return Usage("--tseg takes T1:T2:SJW or T1:T2:SJW:NOSAMP");
            o->arbitrationTseg = true;
        } else if (arg == "--data-tseg") {
            if (!needValue() || !ParseTseg(value, &o->data, false))
                return Usage("--data-tseg takes T1:T2:SJW");
            o->dataTseg = true;
        } else if (arg == "--threshold") {
            if (!needValue() || !ParseUnsigned(value, 100, &o->threshold))
                return Usage("--threshold takes a percentage from 0 to 100");
        } else if (arg == "--seconds") {
            char* end = nullptr;
            if (!needValue() || (o->seconds = std::strtod(value, &end), *end != '\0') ||
                !(o->seconds > 0 && o->seconds < 1e7))
                return Usage("--seconds takes a positive number");
        } else if (arg == "--log") {
            if (!needValue() || *value == '\0')
                return Usage("--log needs a file name");
            o->log = value;
        } else if (arg == "--save") {
            if (!needValue() || *value == '\0')
                return Usage("--save needs a file name");
            o->save = value;
        } else if (arg == "--log-format") {
            const auto format = needValue() ? LogFormatFromName(value) : std::nullopt;
            if (!format)
                return Usage("--log-format takes monitor, candump or asc");
            o->logFormat = *format;
        } else if (arg == "--quiet") {
            o->quiet = true;
        } else {
            return Usage(("unknown option '" + arg + "'").c_str());
        }
    }
    if (!o->arbitrationTseg && !ChooseTiming(o->arbitration.bitrate, &o->arbitration))
        return Usage("no timing fits the bit rate; give --tseg");
    if (!o->dataTseg && !ChooseTiming(o->data.bitrate, &o->data))
        return Usage("no timing fits the data bit rate; give --data-tseg");
    return 0;
}

// The channels of the command line; without --channel, the stored settings
// (channels and threshold), and CAN1 in classic mode when they enable none.
CanConfig CaptureConfig(const Options& o) {
    if (!o.anyChannel) {
        AppSettings stored;
        os::Registry registry(os::Registry::DefaultFilePath(kVendorKey));
        ReadStoredSettings(stored, registry);
        const CanConfig config = CanConfigFromSettings(stored);
        for (const ChannelSettings& channel : config.can) {
            if (channel.enabled)
                return config;
        }
        std::fprintf(stderr,
                     "sorvane-cli capture: no channel enabled in the stored settings; "
                     "using CAN1\n");
    }
    CanConfig config{};
    for (int i = 0; i < kChannelCount; ++i) {
        const bool on = o.anyChannel ? o.channels[i] : i == 0;
        config.can[i] = ChannelSettings{on ? 1 : 0, o.fd[i] ? kChannelModeCanFd : kChannelModeCan,
                                        o.arbitration, o.data};
    }
    config.busLoadThreshold = static_cast<uint32_t>(o.threshold);
    return config;
}

void PrintStatistics(const CCanManager& manager, const CanConfig& config) {
    static constexpr const char* kLabels[13] = {
        "Busload",     "Busload (Peak)", "Tx Messages",   "Rx Messages (Total)", "  Std. Data",
        "  Ext. Data", "  Std. Remote",  "  Ext. Remote", "  Error Frames",      "Rx Messages (/s)",
        "Tx Errors",   "Rx Errors",      "Overload"};
    std::printf("%-22s", "Items");
    for (int c = 0; c < kChannelCount; ++c) {
        if (config.can[c].enabled)
            std::printf(" %12s", ("CAN" + std::to_string(c + 1)).c_str());
    }
    std::printf("\n");
    for (int row = 0; row < 13; ++row) {
        std::printf("%-22s", kLabels[row]);
        for (int c = 0; c < kChannelCount; ++c) {
            if (!config.can[c].enabled)
                continue;
            const ChannelStatistics s = manager.Statistics(c);
            const uint32_t values[13] = {
                s.bus.busLoad, s.busLoadPeak,   s.txCount,       s.rxTotal,      s.bus.stdData,
                s.bus.extData, s.bus.stdRemote, s.bus.extRemote, s.bus.errFrame, s.rxPerSecond,
                s.txErrors,    s.rxErrors,      s.overrunErrors};
            if (row < 2) {
                std::printf(" %11.2f%%", values[row] / 100.0);
            } else {
                std::printf(" %12u", values[row]);
            }
        }
        std::printf("\n");
    }
    std::printf("frames: %zu\n", manager.Frames().Size());
}

// Prints the frames listed from printed on; returns the number listed.
size_t PrintFrames(const CCanManager& manager, size_t printed, bool quiet) {
    const size_t size = manager.Frames().Size();
    for (; !quiet && printed < size; ++printed) {
        std::fputs(FormatFrameLine(manager.Frames().At(printed)).c_str(), stdout);
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
    return size;
}

int RunCapture(int argc, char** argv) {
    Options options;
    const int parsed = ParseOptions(argc, argv, &options);
    if (parsed != 0)
        return parsed < 0 ? kExitOk : parsed;
    const CanConfig config = CaptureConfig(options);

    CCanManager manager([config] { return config; });
    if (!manager.Lib().IsCanLibLoaded()) {
        std::fprintf(stderr, "sorvane-cli capture: cannot load %s: %s\n",
                     manager.Lib().LibraryFile().c_str(), manager.Lib().LoadError().c_str());
        return kExitFailure;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    // Set before the start, so that the log holds every frame the list holds.
    if (!options.log.empty())
        manager.SetRealtimeLog(options.log, options.logFormat);
    if (manager.Start() == 0) {
        std::fprintf(stderr, "sorvane-cli capture: communication could not be started\n");
        return kExitFailure;
    }

    using Clock = std::chrono::steady_clock;
    const auto begin = Clock::now();
    auto nextStatistics = begin;
    size_t printed = 0;
    while (!interrupted && !manager.Failed()) {
        const auto now = Clock::now();
        if (options.seconds > 0 &&
            std::chrono::duration<double>(now - begin).count() >= options.seconds)
            break;
        if (now >= nextStatistics) {
            manager.RefreshStatistics();
            nextStatistics += std::chrono::milliseconds(500);
        }
        printed = PrintFrames(manager, printed, options.quiet);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // One last pass so that the figures include the final frames.
    manager.RefreshStatistics();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    manager.Stop();
    // The frames that came after the last pass are printed too.
    PrintFrames(manager, printed, options.quiet);
    const bool failed = manager.Failed();

    int status = failed ? kExitFailure : kExitOk;
    if (!options.save.empty()) {
        if (manager.SaveFrameList(options.save, nullptr, options.logFormat)) {
            std::fprintf(stderr, "sorvane-cli capture: saved %zu frames to %s\n",
                         manager.Frames().Size(), options.save.c_str());
        } else {
            std::fprintf(stderr, "sorvane-cli capture: cannot save to %s\n", options.save.c_str());
            status = kExitFailure;
        }
    }
    PrintStatistics(manager, config);
    return status;
}

const bool registered = RegisterCliCommand(
    {"capture",
     "sorvane-cli capture [--channel N[:fd]]... [--bitrate B] [--seconds S] [--log F] [--save F]\n"
     "                    [--log-format monitor|candump|asc]\n"
     "                                     run channels and capture their frames",
     &RunCapture});

}  // namespace

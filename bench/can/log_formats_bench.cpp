// Prints how fast the log formats are written and converted: the line of a
// frame in each format (the live log formats one per frame inside the manager
// lock), and the conversion of a file of a million frames between the
// formats with the peak memory (the conversion streams: memory stays flat).
// Figures, not pass/fail.
//
// usage: log_formats_bench [frames]

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "can/frame_log_file.h"
#include "can/log_convert.h"
#include "can/log_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// A bench-like mix: classic, extended, remote, CAN FD with 20 and 64 bytes.
std::vector<CanFrameRecord> Frames(size_t count) {
    std::vector<CanFrameRecord> frames(count);
    for (size_t i = 0; i < count; ++i) {
        CanFrameRecord& r = frames[i];
        r.timestamp = static_cast<uint32_t>(i * 137);
        r.channel = static_cast<uint8_t>(i % 5);
        r.direction = kDirectionReceived;
        r.status = kStatusOk;
        switch (i % 5) {
            case 0:
                r.id = 0x123;
                r.dlc = 8;
                break;
            case 1:
                r.id = 0x18DAF110;
                r.flags = kMsgExt;
                r.dlc = 8;
                break;
            case 2:
                r.id = 0x1AB;
                r.flags = kMsgRtr;
                r.dlc = 4;
                break;
            case 3:
                r.id = 0x456;
                r.flags = kFdMsgFdf | kFdMsgBrs;
                r.dlc = 20;
                break;
            default:
                r.id = 0x1FFFFFF;
                r.flags = kMsgExt | kFdMsgFdf;
                r.dlc = 64;
                break;
        }
        for (uint32_t b = 0; b < r.dlc; ++b) {
            r.data[b] = static_cast<uint8_t>(i + b);
        }
    }
    return frames;
}

off_t FileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_size : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    const std::vector<CanFrameRecord> frames = Frames(count);
    std::printf(
        "log formats, %zu mixed frames (classic, extended, remote, CAN FD 20 and 64 bytes)\n",
        count);

    char folder[] = "/tmp/sorvane_log_bench_XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = folder;
    FrameLogFile file;
    if (!file.Create(dir + "/frames.log", LogFormat::Candump)) {
        std::perror("create");
        return 1;
    }
    for (const CanFrameRecord& r : frames) {
        file.AddFrame(r);
        if (file.Pending() > (1 << 20)) {
            file.Flush();
        }
    }
    file.Close();

    std::printf("\nconverting files (peak memory of the process before: %ld KiB):\n", PeakRssKb());
    const struct {
        const char* from;
        const char* to;
    } steps[] = {
        {"frames.log", "frames.asc"}, {"frames.asc", "frames.txt"}, {"frames.txt", "back.log"}};
    for (const auto& step : steps) {
        const std::string in = dir + "/" + step.from;
        const auto start = Clock::now();
        const LogConversion r = ConvertLogFile(in, dir + "/" + step.to, {}, {});
        const double s = Seconds(start);
        if (!r.ok) {
            std::printf("  %s -> %s failed: %s\n", step.from, step.to, r.error.c_str());
            continue;
        }
        std::printf("  %-10s -> %-10s %6.2f M frames/s  %7.1f MB/s read  peak memory %ld KiB\n",
                    step.from, step.to, r.frames / s / 1e6, FileSize(in) / s / 1e6, PeakRssKb());
    }
    std::system(("rm -rf '" + dir + "'").c_str());

    std::printf("\nformatting one line a frame (the live log's work inside the lock):\n");
    for (const LogFormat format : {LogFormat::Monitor, LogFormat::Candump, LogFormat::Asc}) {
        LogWriter writer(format, LogWriter::Options{false, std::nullopt, 0});
        std::string text;
        text.reserve(count * 220);
        const auto start = Clock::now();
        for (const CanFrameRecord& r : frames) {
            writer.Append(text, LogFrameOf(r));
        }
        const double s = Seconds(start);
        std::printf("  %-8s %8.2f M frames/s  %7.1f MB/s  %6.1f bytes a frame\n",
                    LogFormatName(format), count / s / 1e6, text.size() / s / 1e6,
                    static_cast<double>(text.size()) / count);
    }

    return 0;
}

// sorvane-cli convert: a log from one format into another, for the tools
// that read candump or ASC logs and back.

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "can/log_convert.h"
#include "commands.h"

namespace {

constexpr char kUsage[] =
    "usage: sorvane-cli convert IN OUT [--from FORMAT] [--to FORMAT]\n"
    "  FORMAT is one of\n"
    "    monitor  Sorvane's monitor log, the live form or the saved form with its header (.txt)\n"
    "    candump  the candump -L log of can-utils (.log)\n"
    "    asc      the ASC log of the analysers, classic and CAN FD lines (.asc)\n"
    "  --from    the format of IN (default: told by its lines, else by its extension)\n"
    "  --to      the format of OUT (default: told by its extension, else monitor)\n"
    "  OUT is replaced only when all of IN was read; a line that cannot be read is\n"
    "  named and nothing is written.\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "sorvane-cli convert: %s\n%s", problem.c_str(), kUsage);
    return kExitUsage;
}

int RunConvert(int argc, char** argv) {
    std::optional<LogFormat> formats[2];
    const char* files[2] = {nullptr, nullptr};
    int fileCount = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        }
        if (arg == "--from" || arg == "--to") {
            if (i + 1 >= argc) {
                return Usage(arg + " needs a format: monitor, candump or asc");
            }
            const auto format = LogFormatFromName(argv[++i]);
            if (!format) {
                std::string problem = "'";
                problem += argv[i];
                problem += "' is not a format: monitor, candump or asc";
                return Usage(problem);
            }
            formats[arg == "--from" ? 0 : 1] = format;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage("unknown option '" + arg + "'");
        } else if (fileCount < 2) {
            files[fileCount++] = argv[i];
        } else {
            return Usage("more than two files");
        }
    }
    if (fileCount < 2) {
        return Usage("give the file to read and the file to write");
    }
    const LogConversion result = ConvertLogFile(files[0], files[1], formats[0], formats[1]);
    for (const std::string& note : result.notes) {
        std::fprintf(stderr, "sorvane-cli convert: %s\n", note.c_str());
    }
    if (!result.ok) {
        std::fprintf(stderr, "sorvane-cli convert: %s; %s was not written\n", result.error.c_str(),
                     files[1]);
        return kExitFailure;
    }
    std::printf("%zu frames from %s (%s) to %s (%s)\n", result.frames, files[0],
                LogFormatName(result.from), files[1], LogFormatName(result.to));
    return kExitOk;
}

const bool registered = RegisterCliCommand(
    {"convert",
     "sorvane-cli convert IN OUT [--from FMT] [--to FMT]\n"
     "                                     convert between the monitor, candump and ASC logs",
     &RunConvert});

}  // namespace

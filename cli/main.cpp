// sorvane-cli: the channel, settings and database layers without the GUI.

#include <cstdio>
#include <cstring>
#include <vector>

#include "commands.h"

namespace {

std::vector<CliCommand>& Commands() {
    static std::vector<CliCommand> commands;
    return commands;
}

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: sorvane-cli <command> [options]\n\ncommands:\n");
    for (const CliCommand& command : Commands()) {
        std::fprintf(out, "%s\n", command.usage);
    }
    std::fprintf(out, "\nsorvane-cli <command> --help shows the options of a command.\n");
}

}  // namespace

bool RegisterCliCommand(const CliCommand& command) {
    Commands().push_back(command);
    return true;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        PrintUsage(stdout);
        return kExitOk;
    }
    for (const CliCommand& command : Commands()) {
        if (std::strcmp(argv[1], command.name) == 0) {
            return command.run(argc - 1, argv + 1);
        }
    }
    std::fprintf(stderr, "sorvane-cli: unknown command '%s'\n\n", argv[1]);
    PrintUsage(stderr);
    return kExitUsage;
}

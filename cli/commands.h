#pragma once

// One sub-command of sorvane-cli. Each command file registers itself with a
// static registrar, so the dispatcher needs no list of its own:
//   static const bool registered = RegisterCliCommand({"dbc", "...", &RunDbcCommand});
// run gets argv with argv[0] being the command's name; it returns the exit
// status (0 success, 1 failure, 2 bad arguments).
struct CliCommand {
    const char* name;
    const char* usage;  // one or more lines "sorvane-cli <name> ..." shown in the overview
    int (*run)(int argc, char** argv);
};

bool RegisterCliCommand(const CliCommand& command);

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs a command line through the shell and collects what it prints, the way
// the end-to-end tests of the command-line tools see a run.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace test_support {

struct CommandResult {
    int status = -1;  // the exit status, -1 when the command did not exit normally
    std::string out;
};

inline CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace test_support

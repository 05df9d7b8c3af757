#pragma once

// Files the channel-layer tests write and read back.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A file name of this test run in the test folder.
inline std::string TempPath(const char* name) {
    return std::string(::testing::TempDir()) + "/sorvane_" + name + "_" + std::to_string(getpid());
}

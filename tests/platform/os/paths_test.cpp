#include "platform/os/paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

TEST(Paths, ProgramFolderAndPrivateLibraryFolder) {
    const std::string exe = os::ProgramPath();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(os::BaseName(exe), "os_tests");
    EXPECT_EQ(os::JoinPath(os::ProgramDir(), "os_tests"), exe);
    EXPECT_EQ(os::PrivateLibraryDir(), os::DirName(os::ProgramDir()) + "/lib/sorvane");
}

TEST(Paths, ConfigFolderFollowsXdgThenHome) {
    const char* savedXdg = getenv("XDG_CONFIG_HOME");
    const std::string keepXdg = savedXdg ? savedXdg : "";
    setenv("XDG_CONFIG_HOME", "/tmp/sorvane-xdg", 1);
    EXPECT_EQ(os::ConfigDir(), "/tmp/sorvane-xdg");
    // Relative values are invalid by the XDG rules and are ignored.
    setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    EXPECT_EQ(os::ConfigDir(), os::HomeDir() + "/.config");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(os::ConfigDir(), os::HomeDir() + "/.config");
    if (savedXdg)
        setenv("XDG_CONFIG_HOME", keepXdg.c_str(), 1);
}

TEST(Paths, SplittingAndJoining) {
    EXPECT_EQ(os::DirName("/a/b/c.ini"), "/a/b");
    EXPECT_EQ(os::DirName("/c.ini"), "/");
    EXPECT_EQ(os::DirName("c.ini"), ".");
    EXPECT_EQ(os::BaseName("/a/b/c.ini"), "c.ini");
    EXPECT_EQ(os::JoinPath("/a/", "b"), "/a/b");
    EXPECT_EQ(os::JoinPath("", "b"), "b");
}

TEST(Paths, MakeDirectoriesAndWritability) {
    char tmpl[] = "/tmp/sorvane-paths-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string deep = std::string(tmpl) + "/x/y/z";
    EXPECT_TRUE(os::MakeDirectories(deep));
    EXPECT_TRUE(os::MakeDirectories(deep));  // exists already
    EXPECT_TRUE(os::IsDirectoryWritable(deep));
    EXPECT_FALSE(os::FileExists(deep));  // a folder is not a file
    EXPECT_FALSE(os::IsDirectoryWritable(std::string(tmpl) + "/missing"));
    std::system((std::string("rm -rf ") + tmpl).c_str());
}

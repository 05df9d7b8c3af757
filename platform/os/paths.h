#pragma once

#include <string>

namespace os {

// Full path of the running executable.
std::string ProgramPath();
// The folder of the executable (no trailing slash).
std::string ProgramDir();
// The folder of our own vendor-API libraries: lib/sorvane beside the
// program's folder, where the executable's RUNPATH points.
std::string PrivateLibraryDir();
// The user's configuration folder: $XDG_CONFIG_HOME, else ~/.config.
std::string ConfigDir();
// The user's home folder.
std::string HomeDir();

// Path helpers on '/'-separated texts.
std::string JoinPath(const std::string& folder, const std::string& name);
std::string DirName(const std::string& path);
std::string BaseName(const std::string& path);
bool FileExists(const std::string& path);
bool IsDirectoryWritable(const std::string& folder);
// Creates the folder and its parents; true when it exists afterwards.
bool MakeDirectories(const std::string& folder);

}  // namespace os

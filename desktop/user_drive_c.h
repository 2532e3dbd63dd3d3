// Where drive c: lives for a desktop user on Linux: a folder in the user's data directory, as the
// XDG base directory rules place it ($XDG_DATA_HOME, else ~/.local/share).
#pragma once

#include <filesystem>

namespace varnet::desktop {

// <data home>/varnet-test/drive_c. An XDG_DATA_HOME that is unset, empty or relative is ignored,
// as the rules say; without HOME either, the working directory's drive_c.
std::filesystem::path UserDriveCFolder(const char* xdgDataHome, const char* home);

// The same from the process's environment.
std::filesystem::path UserDriveCFolder();

}  // namespace varnet::desktop

#include "desktop/user_drive_c.h"

#include <cstdlib>

namespace varnet::desktop {
namespace {

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

}  // namespace

std::filesystem::path UserDriveCFolder(const char* xdgDataHome, const char* home) {
  std::filesystem::path dataHome;
  if (IsAbsolute(xdgDataHome)) {
    dataHome = xdgDataHome;
  } else if (IsAbsolute(home)) {
    dataHome = std::filesystem::path(home) / ".local" / "share";
  } else {
    return "drive_c";
  }
  return dataHome / "varnet-test" / "drive_c";
}

std::filesystem::path UserDriveCFolder() {
  return UserDriveCFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

}  // namespace varnet::desktop

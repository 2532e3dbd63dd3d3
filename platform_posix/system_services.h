// The small services of the system on Linux: the Windows family the dialog sees, the tick count and
// the desktop shell.
#pragma once

#include <string>

#include "platform/drive_c_folder.h"
#include "platform/system_api.h"

namespace varnet::posix {

// The NT family: requests travel on the COM port handle (there is no 9x driver to open here).
// The value is the one Windows 7 gives (version 6.1, build 7601).
class NtFamilySystem : public SystemInfo {
 public:
  static constexpr DWORD kVersion = 0x1DB10106u;
  DWORD GetVersion() override { return kVersion; }
};

// Milliseconds of the steady clock, wrapping at 2^32 as GetTickCount does.
class SteadyTickClock : public Clock {
 public:
  DWORD GetTickCount() override;
};

// Opens a document of drive c: with the desktop's opener (`xdg-open` by default), detached: the
// opener runs in the background of a shell that ends at once, so the dialog never waits for it.
// A path outside drive c: opens nothing.
class DesktopShell : public Shell {
 public:
  explicit DesktopShell(const DriveCFolder& driveC, std::string opener = "xdg-open")
      : driveC_(driveC), opener_(std::move(opener)) {}
  void OpenDocument(const std::string& path) override;

 private:
  const DriveCFolder& driveC_;
  std::string opener_;
};

}  // namespace varnet::posix
